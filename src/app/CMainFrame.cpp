#include "CMainFrame.h"

#include "CKantelApp.h"

#include "doc/CKantelDoc.h"
#include "format/CBankSnapshot.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CDocTemplate.h"
#include "framework/ui/CFileDialog.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CMultiDocTemplate.h"
#include "framework/ui/CSoundPlayer.h"
#include "framework/ui/CWinApp.h"
#include "framework/ui/PlaySound.h"
#include "res/resource.h"
#include "views/CDiffView.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

namespace {

const int kIndicators[] = {
    ID_SEPARATOR,
    ID_INDICATOR_CAPS,
    ID_INDICATOR_NUM,
    ID_INDICATOR_SCRL,
};

const char* const kSettings = "Settings";
const char* const kWindowPos = "window_pos";

} // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CMDIFrameWnd)
ON_COMMAND(ID_WINDOW_NEW_EVENT_VIEW, OnWindowNewEventView)
ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW_EVENT_VIEW, OnUpdateWindowNewEventView)
ON_COMMAND(ID_FILE_CHECK_BANK, OnFileCheckBank)
ON_UPDATE_COMMAND_UI(ID_FILE_CHECK_BANK, OnUpdateFileCheckBank)
ON_COMMAND(ID_FILE_COMPARE, OnFileCompare)
ON_UPDATE_COMMAND_UI(ID_FILE_COMPARE, OnUpdateFileCheckBank)
ON_COMMAND(ID_SOUND_STOP, OnSoundStop)
ON_UPDATE_COMMAND_UI(ID_SOUND_STOP, OnUpdateSoundStop)
ON_COMMAND_RANGE(ID_VIEW_WAVEFORM, ID_VIEW_WAVEFORM, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_WAVEFORM, OnUpdateControlBarMenu)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate() {
    if (CMDIFrameWnd::OnCreate() == -1) {
        return -1;
    }
    WINDOWPLACEMENT placement{};
    if (LoadWindowPlacement(&placement)) {
        // The frame shows itself later with the start-up show command; the
        // stored one is not applied.
        placement.showCmd = SW_HIDE;
        SetWindowPlacement(&placement);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // First start: most of the screen, for a list of nineteen columns.
        const QRect available = screen->availableGeometry();
        resize(available.size() * 4 / 5);
        move(available.center() - rect().center());
    }
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME)) {
        return -1;
    }
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, static_cast<int>(std::size(kIndicators)))) {
        return -1;
    }
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                             CBRS_SIZE_DYNAMIC);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);

    // Hidden until the View menu shows it; the bar layout then keeps it.
    // The layout finds it by its object name.
    m_wndWaveformBar.setObjectName(QStringLiteral("WaveformBar"));
    m_wndWaveformBar.setWindowTitle(QCoreApplication::translate("CMainFrame", "Waveform"));
    m_wndWaveformBar.setWidget(&m_wndWaveform);
    addDockWidget(Qt::BottomDockWidgetArea, &m_wndWaveformBar);
    m_wndWaveformBar.hide();
    RegisterControlBar(ID_VIEW_WAVEFORM, &m_wndWaveformBar);
    QObject::connect(&m_wndWaveformBar, &QDockWidget::visibilityChanged, this, [this](bool bShown) {
        if (bShown) {
            m_wndWaveform.Follow(MDIGetActive());
        }
    });

    LoadBarState(QStringLiteral("BarState"));
    return 0;
}

void CMainFrame::OnIdleUpdateCmdUI() {
    CMDIFrameWnd::OnIdleUpdateCmdUI();
    // A hidden pane catches up when it is shown.
    if (!m_wndWaveformBar.isHidden()) {
        m_wndWaveform.Follow(MDIGetActive());
    }
}

void CMainFrame::OnSoundStop() {
    PlaySound(QString(), SND_ASYNC);
}

void CMainFrame::OnUpdateSoundStop(CCmdUI* pCmdUI) {
    pCmdUI->Enable(CSeam<CSoundPlayer>::Current().IsPlaying());
}

void CMainFrame::OnClose() {
    SaveBarState(QStringLiteral("BarState"));
    WINDOWPLACEMENT placement{};
    placement.length = kWindowPlacementLength;
    if (GetWindowPlacement(&placement)) {
        placement.flags = 0;
        if (IsZoomed()) {
            placement.flags |= WPF_RESTORETOMAXIMIZED;
        }
        SaveWindowPlacement(&placement);
    }
    CMDIFrameWnd::OnClose();
}

bool CMainFrame::LoadWindowPlacement(WINDOWPLACEMENT* out) const {
    const QString text = AfxGetApp()->GetProfileString(QString::fromLatin1(kSettings),
                                                       QString::fromLatin1(kWindowPos));
    if (text.isEmpty()) {
        return false;
    }
    const QByteArray bytes = text.toLatin1();
    WINDOWPLACEMENT wp{};
    const int fields =
        std::sscanf(bytes.constData(), "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", &wp.flags, &wp.showCmd,
                    &wp.ptMinPosition.x, &wp.ptMinPosition.y, &wp.ptMaxPosition.x,
                    &wp.ptMaxPosition.y, &wp.rcNormalPosition.left, &wp.rcNormalPosition.top,
                    &wp.rcNormalPosition.right, &wp.rcNormalPosition.bottom);
    if (fields != 10) {
        return false;
    }
    wp.length = kWindowPlacementLength;
    *out = wp;
    return true;
}

void CMainFrame::SaveWindowPlacement(const WINDOWPLACEMENT* in) const {
    const QString text = QString::asprintf(
        "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", in->flags, in->showCmd, in->ptMinPosition.x,
        in->ptMinPosition.y, in->ptMaxPosition.x, in->ptMaxPosition.y, in->rcNormalPosition.left,
        in->rcNormalPosition.top, in->rcNormalPosition.right, in->rcNormalPosition.bottom);
    AfxGetApp()->WriteProfileString(QString::fromLatin1(kSettings), QString::fromLatin1(kWindowPos),
                                    text);
}

void CMainFrame::OnWindowNewEventView() {
    auto* pApp = static_cast<CKantelApp*>(AfxGetApp());
    OpenViewWindow(pApp->m_pEventViewTemplate);
}

void CMainFrame::OnUpdateWindowNewEventView(CCmdUI* pCmdUI) {
    pCmdUI->Enable(MDIGetActive() != nullptr);
}

void CMainFrame::OnFileCheckBank() {
    auto* pApp = static_cast<CKantelApp*>(AfxGetApp());
    OpenViewWindow(pApp->m_pCheckViewTemplate);
}

void CMainFrame::OnUpdateFileCheckBank(CCmdUI* pCmdUI) {
    pCmdUI->Enable(MDIGetActive() != nullptr);
}

void CMainFrame::OnFileCompare() {
    CMDIChildWnd* pActiveChild = MDIGetActive();
    auto* pDoc = dynamic_cast<CKantelDoc*>(
        pActiveChild != nullptr ? pActiveChild->GetActiveDocument() : nullptr);
    auto* pApp = static_cast<CKantelApp*>(AfxGetApp());
    if (pDoc == nullptr || pApp->m_pDiffViewTemplate == nullptr) {
        AfxMessageBox(AFX_IDP_COMMAND_FAILURE, MB_OK);
        return;
    }
    CFileDialog dlg(true, QString(), QString(), OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, QString(),
                    this);
    dlg.m_ofn.strFilter = QCoreApplication::translate("CMainFrame", "Kantel Files (*.bnm)") +
                          QStringLiteral("|*.bnm|") + CFileDialog::AllFilesFilterName() +
                          QStringLiteral("|*.*||");
    dlg.m_ofn.strTitle = QCoreApplication::translate("CMainFrame", "Compare With");
    dlg.m_ofn.strInitialDir = QFileInfo(pDoc->GetPathName()).absolutePath();
    if (dlg.DoModal() != IDOK) {
        return;
    }
    CResult<std::unique_ptr<CBankSnapshot>> other = CBankSnapshot::Read(dlg.GetPathName());
    if (!other) {
        AfxMessageBox(other.Error().text, MB_OK | MB_ICONHAND);
        return;
    }
    CMDIChildWnd* pFrame = pApp->m_pDiffViewTemplate->CreateNewFrame(pDoc, pActiveChild);
    if (pFrame == nullptr) {
        return;
    }
    if (auto* pView = dynamic_cast<CDiffView*>(pFrame->GetActiveView())) {
        pView->SetOtherBank(std::move(other.Value()));
    }
    pApp->m_pDiffViewTemplate->InitialUpdateFrame(pFrame, pDoc, true);
}

void CMainFrame::OpenViewWindow(CDocTemplate* pTemplate) {
    CMDIChildWnd* pActiveChild = MDIGetActive();
    CDocument* pDocument = pActiveChild != nullptr ? pActiveChild->GetActiveDocument() : nullptr;
    if (pDocument == nullptr || pTemplate == nullptr) {
        AfxMessageBox(AFX_IDP_COMMAND_FAILURE, MB_OK);
        return;
    }
    CMDIChildWnd* pFrame = pTemplate->CreateNewFrame(pDocument, pActiveChild);
    if (pFrame == nullptr) {
        return;
    }
    pTemplate->InitialUpdateFrame(pFrame, pDocument, true);
}
