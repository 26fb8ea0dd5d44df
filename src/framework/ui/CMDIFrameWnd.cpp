#include "CMDIFrameWnd.h"

#include "AcceleratorTable.h"
#include "AfxRes.h"
#include "CCmdUI.h"
#include "CCommandRouter.h"
#include "CControlBars.h"
#include "CDocTemplate.h"
#include "CMDIArranger.h"
#include "CMDIChildWnd.h"
#include "CProgressDialogSink.h"
#include "CRecentFileList.h"
#include "CStatusBar.h"
#include "CToolBar.h"
#include "CView.h"
#include "CWinApp.h"
#include "IconResource.h"
#include "MenuResource.h"
#include "StringTable.h"

#include "framework/core/CDocument.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QShowEvent>
#include <QUrl>

#include <algorithm>

namespace {

// Ids of the Window pop-up's own commands: a pop-up holding one of them is
// the one the window list goes into.
constexpr int kFirstWindowCommand = ID_WINDOW_NEW;
constexpr int kLastWindowCommand = ID_WINDOW_NEW + 15;

// Properties that mark the items the frame adds and removes itself.
constexpr char kRecentPlaceholder[] = "kantelRecentPlaceholder";
constexpr char kRecentEntry[] = "kantelRecentEntry";
constexpr char kWindowEntry[] = "kantelWindowEntry";
constexpr char kWindowMenu[] = "kantelWindowMenu";

QString Escaped(const QString& title) {
    // Qt reads "[*]" in a title as the modified mark.
    return QString(title).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

QString MenuEscaped(const QString& text) {
    return QString(text).replace(u'&', QStringLiteral("&&"));
}

QStringList LocalFiles(const QMimeData* pData) {
    QStringList files;
    if (pData != nullptr && pData->hasUrls()) {
        for (const QUrl& url : pData->urls()) {
            if (url.isLocalFile()) {
                files.append(url.toLocalFile());
            }
        }
    }
    return files;
}

void RemoveMarked(QMenu* pPopup, const char* property) {
    const QList<QAction*> actions = pPopup->actions();
    for (QAction* pAction : actions) {
        if (pAction->property(property).toBool()) {
            pPopup->removeAction(pAction);
            delete pAction;
        }
    }
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
      m_pControlBars(std::make_unique<CControlBars>(*this)) {
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
        QIcon icon;
        for (const char* image : pIcon->images) {
            icon.addFile(QString::fromUtf8(image));
        }
        setWindowIcon(icon);
    }

    m_pMDIClient = new QMdiArea(this);
    m_pArranger = std::make_unique<CMDIArranger>(m_pMDIClient);
    m_pMDIClient->setViewMode(QMdiArea::SubWindowView);
    m_pMDIClient->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(m_pMDIClient);
    QObject::connect(m_pMDIClient, &QMdiArea::subWindowActivated, this, [this] {
        OnUpdateFrameMenu();
        OnUpdateFrameTitle(true);
        RequestCmdUIUpdate();
    });

    if (const AcceleratorTable* pTable = AcceleratorTable::Find(nIDResource)) {
        for (const Accelerator& accel : pTable->entries) {
            QAction* pAction = GetCommandAction(accel.nId);
            QList<QKeySequence> keys = pAction->shortcuts();
            keys.append(QKeySequence(accel.key));
            // Enter on the keypad is the same key to the user.
            if (accel.key.key() == Qt::Key_Return) {
                keys.append(QKeySequence(QKeyCombination(
                    accel.key.keyboardModifiers() | Qt::KeypadModifier, Qt::Key_Enter)));
            }
            pAction->setShortcuts(keys);
        }
    }
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
    if (QAction* pAction = m_actions.value(nID)) {
        return pAction;
    }
    auto* pAction = new QAction(this);
    pAction->setData(nID);
    pAction->setStatusTip(StringTable::Prompt(nID));
    pAction->setToolTip(StringTable::ToolTip(nID));
    pAction->setShortcutContext(Qt::WindowShortcut);
    // Menus of this era show no toolbar images.
    pAction->setIconVisibleInMenu(false);
    QObject::connect(pAction, &QAction::triggered, this, [this, nID] { OnCommand(nID); });
    addAction(pAction);
    m_actions.insert(nID, pAction);
    return pAction;
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
    for (QAction* pAction : std::as_const(m_actions)) {
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
    RebuildRecentFiles(pPopup);
    if (pPopup->property(kWindowMenu).toBool()) {
        RebuildWindowList(pPopup);
    }
    const QList<QAction*> actions = pPopup->actions();
    for (QAction* pAction : actions) {
        if (!pAction->isSeparator()) {
            UpdateCmdUI(pAction);
        }
    }
}

const QList<QMenu*>& CMDIFrameWnd::MenuBar(int nIDResource) {
    auto it = m_menuBars.find(nIDResource);
    if (it != m_menuBars.end()) {
        return *it;
    }
    QList<QMenu*> popups;
    if (const MenuResource* pMenu = MenuResource::Find(nIDResource)) {
        for (const MenuPopup& popup : pMenu->popups) {
            auto* pPopup = new QMenu(QString::fromUtf8(popup.pszText), this);
            for (const MenuItem& item : popup.items) {
                if (item.IsSeparator()) {
                    pPopup->addSeparator();
                    continue;
                }
                const QString text = QString::fromUtf8(item.pszText);
                if (item.nId == ID_FILE_MRU_FILE1) {
                    // Stands in for the recent files while there are none.
                    QAction* pPlaceholder = pPopup->addAction(text);
                    pPlaceholder->setEnabled(false);
                    pPlaceholder->setProperty(kRecentPlaceholder, true);
                    continue;
                }
                if (item.bGrayed) {
                    pPopup->addAction(text)->setEnabled(false);
                    continue;
                }
                QAction* pAction = GetCommandAction(item.nId);
                if (pAction->text().isEmpty()) {
                    pAction->setText(text);
                }
                pPopup->addAction(pAction);
                if (item.nId >= kFirstWindowCommand && item.nId <= kLastWindowCommand) {
                    pPopup->setProperty(kWindowMenu, true);
                }
            }
            QObject::connect(pPopup, &QMenu::aboutToShow, this,
                             [this, pPopup] { OnInitMenuPopup(pPopup); });
            popups.append(pPopup);
        }
    }
    return *m_menuBars.insert(nIDResource, popups);
}

void CMDIFrameWnd::OnUpdateFrameMenu() {
    CMDIChildWnd* pChild = MDIGetActive();
    int nIDMenu = pChild != nullptr ? pChild->GetMenuResourceId() : m_nIDResource;
    if (MenuBar(nIDMenu).isEmpty()) {
        nIDMenu = m_nIDResource;
    }
    if (nIDMenu == m_nCurrentMenu) {
        return;
    }
    m_nCurrentMenu = nIDMenu;
    QMenuBar* pBar = menuBar();
    pBar->clear();
    for (QMenu* pPopup : MenuBar(nIDMenu)) {
        pBar->addMenu(pPopup);
    }
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

void CMDIFrameWnd::RebuildRecentFiles(QMenu* pPopup) {
    QAction* pPlaceholder = nullptr;
    for (QAction* pAction : pPopup->actions()) {
        if (pAction->property(kRecentPlaceholder).toBool()) {
            pPlaceholder = pAction;
        }
    }
    if (pPlaceholder == nullptr) {
        return;
    }
    RemoveMarked(pPopup, kRecentEntry);
    CWinApp* pApp = AfxGetApp();
    const CRecentFileList* pList = pApp != nullptr ? pApp->m_pRecentFileList.get() : nullptr;
    const int nCount = pList != nullptr ? pList->GetCount() : 0;
    pPlaceholder->setVisible(nCount == 0);
    const QString currentDir = QDir::currentPath();
    for (int i = 0; i < nCount; ++i) {
        const int nID = ID_FILE_MRU_FILE1 + i;
        auto* pEntry = new QAction(pList->GetMenuText(i, currentDir), pPopup);
        pEntry->setData(nID);
        pEntry->setStatusTip(StringTable::Prompt(nID));
        pEntry->setProperty(kRecentEntry, true);
        QObject::connect(pEntry, &QAction::triggered, this, [this, nID] { OnCommand(nID); });
        pPopup->insertAction(pPlaceholder, pEntry);
    }
}

void CMDIFrameWnd::RebuildWindowList(QMenu* pPopup) {
    RemoveMarked(pPopup, kWindowEntry);
    const QList<CMDIChildWnd*> frames = GetChildFrames();
    if (frames.isEmpty()) {
        return;
    }
    pPopup->addSeparator()->setProperty(kWindowEntry, true);
    CMDIChildWnd* pActive = MDIGetActive();
    for (qsizetype i = 0; i < frames.size(); ++i) {
        // Only the first nine get a mnemonic digit.
        const QString number =
            i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1);
        QAction* pEntry = pPopup->addAction(number + MenuEscaped(frames.at(i)->GetWindowText()));
        pEntry->setProperty(kWindowEntry, true);
        pEntry->setStatusTip(StringTable::Load(AFX_IDS_MDICHILD));
        pEntry->setCheckable(true);
        pEntry->setChecked(frames.at(i) == pActive);
        const QPointer<CMDIChildWnd> pFrame(frames.at(i));
        QObject::connect(pEntry, &QAction::triggered, this, [pFrame] {
            if (pFrame != nullptr) {
                pFrame->MDIActivate();
            }
        });
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
    if (m_bAcceptFiles && !LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CMDIFrameWnd::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (!m_bAcceptFiles || files.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    activateWindow();
    CWinApp* pApp = AfxGetApp();
    for (const QString& file : files) {
        if (pApp != nullptr) {
            pApp->OpenDocumentFile(file);
        }
    }
}
