#include "CMDIFrameWnd.h"

#include "AfxRes.h"
#include "CCmdUI.h"
#include "CCommandRouter.h"
#include "CControlBars.h"
#include "CDocTemplate.h"
#include "CFileDrop.h"
#include "CFrameMenus.h"
#include "CMDIArranger.h"
#include "CMDIChildWnd.h"
#include "CProgressDialogSink.h"
#include "CStatusBar.h"
#include "CToolBar.h"
#include "CView.h"
#include "CWinApp.h"
#include "IconResource.h"
#include "StringTable.h"

#include "framework/core/CDocument.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenu>
#include <QShowEvent>

namespace {

QString Escaped(const QString& title) {
    // Qt reads "[*]" in a title as the modified mark.
    return QString(title).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

} // namespace

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CCmdTarget)
ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateMDIWindowCmd)
ON_COMMAND_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnMDIWindowCmd)
ON_UPDATE_COMMAND_UI_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnUpdateMDIWindowCmd)
ON_COMMAND_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnMDIWindowCmd)
ON_UPDATE_COMMAND_UI_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnUpdateMDIWindowCmd)
ON_COMMAND_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, OnBarCheck)
ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
END_MESSAGE_MAP()

CMDIFrameWnd::CMDIFrameWnd()
    : m_pRouter(std::make_unique<CCommandRouter>(*this)),
      m_pArranger(std::make_unique<CMDIArranger>(nullptr)),
      m_pControlBars(std::make_unique<CControlBars>(*this)),
      m_pMenus(std::make_unique<CFrameMenus>(
          *this, CFrameMenus::Hooks{[this](int nID) { OnCommand(nID); },
                                    [this](QMenu* pPopup) { OnInitMenuPopup(pPopup); },
                                    [this] { return GetChildFrames(); },
                                    [this] { return MDIGetActive(); }})) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

CMDIFrameWnd::~CMDIFrameWnd() {
    m_pRouter->Detach();
    // The views must leave their documents while this frame is still whole:
    // a document closing with its last view looks for its windows here.
    if (m_pMDIClient != nullptr) {
        const QList<QMdiSubWindow*> windows = m_pMDIClient->subWindowList();
        for (QMdiSubWindow* pWindow : windows) {
            if (auto* pChild = dynamic_cast<CMDIChildWnd*>(pWindow)) {
                if (CView* pView = pChild->GetActiveView()) {
                    pView->DetachDocument();
                }
            }
        }
    }
    if (CWinApp* pApp = AfxGetApp(); pApp != nullptr && pApp->m_pMainWnd == this) {
        pApp->m_pMainWnd = nullptr;
    }
}

bool CMDIFrameWnd::LoadFrame(int nIDResource, unsigned dwDefaultStyle) {
    m_nIDResource = nIDResource;
    m_dwStyle = dwDefaultStyle;
    m_strTitle = StringTable::Load(nIDResource);
    if (m_strTitle.isEmpty() && AfxGetApp() != nullptr) {
        m_strTitle = AfxGetApp()->m_pszAppName;
    }
    setWindowTitle(Escaped(m_strTitle));
    if (const IconResource* pIcon = IconResource::Find(nIDResource)) {
        setWindowIcon(pIcon->LoadWindowIcon());
    }

    m_pMDIClient = new QMdiArea(this);
    m_pArranger = std::make_unique<CMDIArranger>(m_pMDIClient);
    m_pMDIClient->setViewMode(QMdiArea::SubWindowView);
    m_pMDIClient->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    // A frame made smaller than its windows must leave them reachable: the
    // area scrolls to their edges and buttons rather than cutting them off.
    m_pMDIClient->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMDIClient->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_pMDIClient);
    QObject::connect(m_pMDIClient, &QMdiArea::subWindowActivated, this, [this] {
        OnUpdateFrameMenu();
        OnUpdateFrameTitle(true);
        RequestCmdUIUpdate();
    });

    m_pMenus->AddAccelerators(nIDResource);
    OnUpdateFrameMenu();

    m_pRouter->Attach();

    if (OnCreate() == -1) {
        m_pRouter->Detach();
        deleteLater();
        return false;
    }
    OnUpdateFrameTitle(true);
    // The bars made by OnCreate show the commands' states from the start.
    RequestCmdUIUpdate();
    return true;
}

int CMDIFrameWnd::OnCreate() {
    return 0;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive() const {
    if (m_pMDIClient == nullptr) {
        return nullptr;
    }
    auto* pChild = dynamic_cast<CMDIChildWnd*>(m_pMDIClient->currentSubWindow());
    return pChild != nullptr && !pChild->isHidden() ? pChild : nullptr;
}

QList<CMDIChildWnd*> CMDIFrameWnd::GetChildFrames() const {
    QList<CMDIChildWnd*> frames;
    if (m_pMDIClient != nullptr) {
        for (QMdiSubWindow* pWindow : m_pMDIClient->subWindowList(QMdiArea::CreationOrder)) {
            auto* pChild = dynamic_cast<CMDIChildWnd*>(pWindow);
            if (pChild != nullptr && !pChild->isHidden()) {
                frames.append(pChild);
            }
        }
    }
    return frames;
}

// ---------------------------------------------------------------------------
// Commands

bool CMDIFrameWnd::OnCommand(int nID) {
    return m_pRouter->RunCommand(nID);
}

bool CMDIFrameWnd::OnCmdMsg(int nID, int nCode, CCmdUI* pCmdUI) {
    return m_pRouter->Route(nID, nCode, pCmdUI);
}

QAction* CMDIFrameWnd::GetCommandAction(int nID) {
    return m_pMenus->Action(nID);
}

void CMDIFrameWnd::UpdateCmdUI(QAction* pAction) {
    m_pRouter->UpdateCmdUI(pAction);
}

void CMDIFrameWnd::RequestCmdUIUpdate() {
    m_pRouter->RequestUpdate();
}

void CMDIFrameWnd::OnIdleUpdateCmdUI() {
    if (m_bInIdle || m_pMDIClient == nullptr) {
        return;
    }
    m_bInIdle = true;
    for (QAction* pAction : std::as_const(m_pMenus->Actions())) {
        UpdateCmdUI(pAction);
    }
    OnUpdateFrameMenu();
    OnUpdateFrameTitle(true);
    m_bInIdle = false;
}

void CMDIFrameWnd::OnInitMenuPopup(QMenu* pPopup) {
    if (pPopup == nullptr) {
        return;
    }
    m_pMenus->Prepare(pPopup);
    const QList<QAction*> actions = pPopup->actions();
    for (QAction* pAction : actions) {
        if (!pAction->isSeparator()) {
            UpdateCmdUI(pAction);
        }
    }
}

int CMDIFrameWnd::GetMenuResourceId() const {
    return m_pMenus->Current();
}

void CMDIFrameWnd::OnUpdateFrameMenu() {
    CMDIChildWnd* pChild = MDIGetActive();
    int nIDMenu = pChild != nullptr ? pChild->GetMenuResourceId() : m_nIDResource;
    if (!m_pMenus->HasMenu(nIDMenu)) {
        nIDMenu = m_nIDResource;
    }
    m_pMenus->Show(nIDMenu);
}

void CMDIFrameWnd::OnUpdateFrameTitle(bool bAddToTitle) {
    if ((m_dwStyle & FWS_ADDTOTITLE) == 0) {
        return;
    }
    CMDIChildWnd* pChild = MDIGetActive();
    if (pChild != nullptr && pChild->isMaximized()) {
        // Qt shows the maximized window's caption in the frame's title.
        return;
    }
    QString title = m_strTitle;
    CDocument* pDoc = pChild != nullptr ? pChild->GetActiveDocument() : nullptr;
    if (bAddToTitle && pDoc != nullptr && !pDoc->GetTitle().isEmpty()) {
        title += QStringLiteral(" - ") + pDoc->GetTitle();
    }
    if (windowTitle() != Escaped(title)) {
        setWindowTitle(Escaped(title));
    }
}

// ---------------------------------------------------------------------------
// The frame's own commands

void CMDIFrameWnd::OnWindowNew() {
    CMDIChildWnd* pActive = MDIGetActive();
    CDocument* pDoc = pActive != nullptr ? pActive->GetActiveDocument() : nullptr;
    CDocTemplate* pTemplate = CDocTemplate::GetDocTemplate(pDoc);
    if (pDoc == nullptr || pTemplate == nullptr) {
        AfxMessageBox(AFX_IDP_COMMAND_FAILURE, MB_OK);
        return;
    }
    CMDIChildWnd* pFrame = pTemplate->CreateNewFrame(pDoc, pActive);
    if (pFrame != nullptr) {
        pTemplate->InitialUpdateFrame(pFrame, pDoc);
    }
}

void CMDIFrameWnd::OnMDIWindowCmd(int nID) {
    switch (nID) {
    case ID_WINDOW_ARRANGE:
        MDIIconArrange();
        break;
    case ID_WINDOW_CASCADE:
        MDICascade();
        break;
    case ID_WINDOW_TILE_HORZ:
        MDITile(true);
        break;
    case ID_WINDOW_TILE_VERT:
        MDITile(false);
        break;
    case ID_NEXT_PANE:
        MDINext(false);
        break;
    case ID_PREV_PANE:
        MDINext(true);
        break;
    default:
        break;
    }
}

void CMDIFrameWnd::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI) {
    pCmdUI->Enable(MDIGetActive() != nullptr);
}

void CMDIFrameWnd::OnBarCheck(int nID) {
    if (QWidget* pBar = GetControlBar(nID)) {
        ShowControlBar(pBar, pBar->isHidden());
    }
}

void CMDIFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
    QWidget* pBar = GetControlBar(pCmdUI->m_nID);
    pCmdUI->Enable(pBar != nullptr);
    pCmdUI->SetCheck(pBar != nullptr && !pBar->isHidden() ? 1 : 0);
}

// ---------------------------------------------------------------------------
// Window arrangement

namespace {

QList<QMdiSubWindow*> asSubWindows(const QList<CMDIChildWnd*>& frames) {
    return {frames.cbegin(), frames.cend()};
}

} // namespace

void CMDIFrameWnd::MDICascade() {
    m_pArranger->Cascade(asSubWindows(GetChildFrames()), MDIGetActive());
}

QRect CMDIFrameWnd::NextChildRect() {
    return m_pArranger->NextChildRect(*this, GetChildFrames().isEmpty());
}

void CMDIFrameWnd::MDITile(bool bHorizontal) {
    m_pArranger->Tile(asSubWindows(GetChildFrames()), MDIGetActive(), bHorizontal);
}

void CMDIFrameWnd::MDIIconArrange() {
    m_pArranger->IconArrange(asSubWindows(GetChildFrames()));
}

void CMDIFrameWnd::MDINext(bool bPrevious) {
    m_pArranger->Next(bPrevious);
}

// ---------------------------------------------------------------------------
// Control bars

void CMDIFrameWnd::RegisterControlBar(int nID, QWidget* pBar) {
    m_pControlBars->Register(nID, pBar);
}

QWidget* CMDIFrameWnd::GetControlBar(int nID) const {
    return m_pControlBars->Get(nID);
}

unsigned CMDIFrameWnd::GetDockingSides() const {
    return m_pControlBars->DockingSides();
}

void CMDIFrameWnd::EnableDocking(unsigned dwDockStyle) {
    m_pControlBars->EnableDocking(dwDockStyle);
}

void CMDIFrameWnd::DockControlBar(CToolBar* pBar) {
    m_pControlBars->Dock(pBar);
}

void CMDIFrameWnd::ShowControlBar(QWidget* pBar, bool bShow, bool /*bDelay*/) {
    CControlBars::Show(pBar, bShow);
}

void CMDIFrameWnd::SaveBarState(const QString& profileName) const {
    m_pControlBars->Save(profileName);
}

void CMDIFrameWnd::LoadBarState(const QString& profileName) {
    m_pControlBars->Load(profileName);
}

// ---------------------------------------------------------------------------
// Placement

bool CMDIFrameWnd::GetWindowPlacement(WINDOWPLACEMENT* pPlacement) const {
    if (pPlacement == nullptr) {
        return false;
    }
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    pPlacement->length = kWindowPlacementLength;
    pPlacement->flags = 0;
    pPlacement->showCmd = static_cast<unsigned>(
        isMinimized() ? SW_SHOWMINIMIZED : (isMaximized() ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL));
    pPlacement->ptMinPosition = POINT{-1, -1};
    pPlacement->ptMaxPosition = POINT{-1, -1};
    pPlacement->rcNormalPosition = RECT{normal.left(), normal.top(), normal.left() + normal.width(),
                                        normal.top() + normal.height()};
    return true;
}

bool CMDIFrameWnd::SetWindowPlacement(const WINDOWPLACEMENT* pPlacement) {
    if (pPlacement == nullptr) {
        return false;
    }
    const RECT& r = pPlacement->rcNormalPosition;
    if (r.right > r.left && r.bottom > r.top) {
        setGeometry(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    }
    if (pPlacement->showCmd != static_cast<unsigned>(SW_HIDE)) {
        ShowWindow(static_cast<int>(pPlacement->showCmd));
    }
    return true;
}

void CMDIFrameWnd::ShowWindow(int nCmdShow) {
    switch (nCmdShow) {
    case SW_HIDE:
        hide();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        showMinimized();
        break;
    case SW_SHOWMAXIMIZED:
        showMaximized();
        break;
    default:
        showNormal();
        break;
    }
}

void CMDIFrameWnd::UpdateWindow() {
    if (isVisible()) {
        repaint();
    }
}

void CMDIFrameWnd::DragAcceptFiles(bool bAccept) {
    m_bAcceptFiles = bAccept;
    setAcceptDrops(bAccept);
}

// ---------------------------------------------------------------------------
// Events

void CMDIFrameWnd::OnClose() {
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        if (!pApp->SaveAllModified()) {
            return;
        }
        pApp->CloseAllDocuments(false);
    }
    m_bCloseAccepted = true;
}

void CMDIFrameWnd::closeEvent(QCloseEvent* event) {
    // Work in progress keeps the window alive until it is done.
    if (CProgressDialogSink::IsBusy()) {
        event->ignore();
        return;
    }
    m_bCloseAccepted = false;
    OnClose();
    if (!m_bCloseAccepted) {
        event->ignore();
        return;
    }
    event->accept();
    if (CWinApp* pApp = AfxGetApp(); pApp != nullptr && pApp->m_pMainWnd == this) {
        QCoreApplication::quit();
    }
    deleteLater();
}

void CMDIFrameWnd::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    m_pControlBars->KeepFloatingAbove();
}

void CMDIFrameWnd::dragEnterEvent(QDragEnterEvent* event) {
    if (m_bAcceptFiles) {
        CFileDrop::AcceptEnter(event);
    }
}

void CMDIFrameWnd::dropEvent(QDropEvent* event) {
    const QStringList files = m_bAcceptFiles ? CFileDrop::Take(event) : QStringList();
    if (files.isEmpty()) {
        return;
    }
    activateWindow();
    CWinApp* pApp = AfxGetApp();
    for (const QString& file : files) {
        if (pApp != nullptr) {
            pApp->OpenDocumentFile(file);
        }
    }
}
