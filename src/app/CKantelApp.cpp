#include "CKantelApp.h"

#include "CAboutDlg.h"
#include "CBnmManager.h"
#include "CHeaderDialogViewer.h"
#include "CMainFrame.h"
#include "CSingleInstance.h"
#include "GameDirectories.h"
#include "ShellCommands.h"

#include "doc/CKantelDoc.h"
#include "format/CWaveReader.h"
#include "framework/core/CPromptSink.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CCommandLineInfo.h"
#include "framework/ui/CDocCommandMap.h"
#include "framework/ui/CDocumentFileWatcher.h"
#include "framework/ui/CMessageBoxPromptSink.h"
#include "framework/ui/CMultiDocTemplate.h"
#include "framework/ui/CProgressDialogSink.h"
#include "framework/ui/IWaveDuration.h"
#include "res/KantelResources.h"
#include "res/resource.h"
#include "views/CCheckView.h"
#include "views/CChildFrame.h"
#include "views/CDiffView.h"
#include "views/CEventView.h"
#include "views/CKantelView.h"

#include <QCoreApplication>
#include <QFileInfo>

#ifndef KANTEL_HOMEPAGE_URL
#define KANTEL_HOMEPAGE_URL "https://www.perlume.com/kantel/"
#endif

namespace {

const char* const kSettings = "Settings";
const char* const kGame = "Game";

} // namespace

// Message boxes, progress of long work and the Header command are shown as
// windows while the editor runs; the seams have their defaults again after
// it exits.
namespace {

// The program's wave reader times what the framework plays.
class CWaveReaderDuration final : public IWaveDuration {
public:
    qint64 DurationMs(QIODevice& device) const override { return CWaveReader::DurationMs(device); }
};

} // namespace

struct CKantelApp::DesktopSeams {
    CWaveReaderDuration waveDuration;
    CSeam<IWaveDuration>::Guard waveDurationGuard{&waveDuration};
    CMessageBoxPromptSink messageBoxes;
    CProgressDialogSink progress;
    CHeaderDialogViewer headerViewer;
    CSeam<CPromptSink>::Guard messageBoxesGuard{&messageBoxes};
    CSeam<IProgressSink>::Guard progressGuard{&progress};
    CSeam<IHeaderViewer>::Guard headerViewerGuard{&headerViewer};
};

BEGIN_MESSAGE_MAP(CKantelApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_HELP_HOMEPAGE, OnHelpHomePage)
ON_COMMAND(ID_HELP_INDEX, OnHelpFile)
ON_COMMAND(ID_GAME_KORVEX, OnGameKorvex)
ON_UPDATE_COMMAND_UI(ID_GAME_KORVEX, OnUpdateGameKorvex)
ON_COMMAND(ID_GAME_LUNARIS, OnGameLunaris)
ON_UPDATE_COMMAND_UI(ID_GAME_LUNARIS, OnUpdateGameLunaris)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

namespace {

// The application's base takes its name from the string table, so the
// tables must be registered before it is made.
QString RegisterResources() {
    KantelResources::Register();
    return QString();
}

} // namespace

CKantelApp::CKantelApp() : CWinApp(RegisterResources()) {
    m_pDocManager = new CBnmManager;
}

CKantelApp::~CKantelApp() = default;

namespace {

// The bank commands the document answers in every window of it.
void registerDocCommands() {
    CDocCommandMap::Register<CKantelDoc>({
        {ID_VIEW_HEADER, &CKantelDoc::OnViewHeader},
        {ID_EDIT_ALL_EXTERNAL, &CKantelDoc::OnEditAllExternal},
        {ID_EDIT_ALL_BANKED, &CKantelDoc::OnEditAllBanked},
        {ID_FILE_PRINT_SETUP, nullptr, [](CKantelDoc&, CCmdUI* pCmdUI) { pCmdUI->Enable(false); }},
        {ID_FILE_PRINT, nullptr, [](CKantelDoc&, CCmdUI* pCmdUI) { pCmdUI->Enable(false); }},
        {ID_FILE_PRINT_PREVIEW, nullptr,
         [](CKantelDoc&, CCmdUI* pCmdUI) { pCmdUI->Enable(false); }},
    });
}

} // namespace

bool CKantelApp::InitInstance() {
    m_pDesktopSeams = std::make_unique<DesktopSeams>();
    registerDocCommands();

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (HandOverToRunningEditor(cmdInfo)) {
        return false;
    }

    SetRegistryKey(QStringLiteral("QXR"));
    LoadStdProfileSettings(8);
    LoadGameSettings();
    AddDocTemplates();

    auto* pMainFrame = new CMainFrame;
    if (!pMainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        return false;
    }
    m_pMainWnd = pMainFrame;
    pMainFrame->DragAcceptFiles(true);
    // Another program (kantel-cli, a second editor) may save an open bank.
    new CDocumentFileWatcher([this] { return OpenDocuments(); }, pMainFrame);
    ListenForSecondStarts(pMainFrame);

    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileNew) {
        cmdInfo.m_nShellCommand = CCommandLineInfo::FileNothing;
    }
    if (!ProcessShellCommand(cmdInfo)) {
        return false;
    }
    pMainFrame->ShowWindow(m_nCmdShow);
    pMainFrame->UpdateWindow();
    return true;
}

bool CKantelApp::HandOverToRunningEditor(const CCommandLineInfo& cmdInfo) {
    // A second start hands its bank to the editor that is already running.
    const QString key = qEnvironmentVariable("KANTEL_INSTANCE_KEY");
    if (key == QStringLiteral("none")) {
        return false;
    }
    m_pSingleInstance = new CSingleInstance(key);
    QStringList files;
    if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen) {
        files << QFileInfo(cmdInfo.m_strFileName).absoluteFilePath();
    }
    if (m_pSingleInstance->HandOver(files)) {
        delete m_pSingleInstance;
        m_pSingleInstance = nullptr;
        return true;
    }
    return false;
}

void CKantelApp::LoadGameSettings() {
    if (const char* korvex = ReadKorvexSetting("Directory", nullptr)) {
        m_bHaveGameDir = 1;
        m_strKorvexPath = QString::fromLatin1(korvex);
    }
    if (const char* lunaris = ReadLunarisSetting("Directory", nullptr)) {
        m_bHaveGameDir = 1;
        m_strLunarisPath = QString::fromLatin1(lunaris);
    }
    m_nGame = GetProfileInt(QString::fromLatin1(kSettings), QString::fromLatin1(kGame), m_nGame);
    if (m_nGame > 1) {
        m_nGame = 1;
    }
    if (m_nGame < 0) {
        m_nGame = 0;
    }
}

void CKantelApp::AddDocTemplates() {
    AddDocTemplate(new CMultiDocTemplate(
        IDR_BNMTYPE, [] { return new CKantelDoc; }, [] { return new CChildFrame; },
        [] { return new CKantelView; }));
    m_pEventViewTemplate = new CMultiDocTemplate(
        IDR_BNMTYPE, [] { return new CKantelDoc; }, [] { return new CChildFrame; },
        [] { return new CEventView; });
    m_pCheckViewTemplate = new CMultiDocTemplate(
        IDR_BNMTYPE, [] { return new CKantelDoc; }, [] { return new CChildFrame; },
        [] { return new CCheckView; });
    m_pDiffViewTemplate = new CMultiDocTemplate(
        IDR_BNMTYPE, [] { return new CKantelDoc; }, [] { return new CChildFrame; },
        [] { return new CDiffView; });
}

QList<CDocument*> CKantelApp::OpenDocuments() const {
    QList<CDocument*> documents;
    QList<CDocTemplate*> templates = m_pDocManager->GetTemplates();
    templates << m_pEventViewTemplate << m_pCheckViewTemplate;
    for (const CDocTemplate* docTemplate : templates) {
        for (CDocument* document :
             docTemplate != nullptr ? docTemplate->GetDocuments() : QList<CDocument*>()) {
            if (!documents.contains(document)) {
                documents.append(document);
            }
        }
    }
    return documents;
}

void CKantelApp::ListenForSecondStarts(CMainFrame* pMainFrame) {
    if (m_pSingleInstance == nullptr || !m_pSingleInstance->Listen()) {
        return;
    }
    QObject::connect(m_pSingleInstance, &CSingleInstance::FilesReceived, pMainFrame,
                     [this](const QStringList& files) {
                         for (const QString& file : files) {
                             OpenDocumentFile(file);
                         }
                         if (m_pMainWnd != nullptr) {
                             if (m_pMainWnd->isMinimized()) {
                                 m_pMainWnd->showNormal();
                             }
                             m_pMainWnd->raise();
                             m_pMainWnd->activateWindow();
                         }
                     });
}

int CKantelApp::ExitInstance() {
    if (!m_pszRegistryKey.isEmpty()) {
        WriteProfileInt(QString::fromLatin1(kSettings), QString::fromLatin1(kGame), m_nGame);
    }
    delete m_pEventViewTemplate;
    m_pEventViewTemplate = nullptr;
    delete m_pCheckViewTemplate;
    m_pCheckViewTemplate = nullptr;
    delete m_pDiffViewTemplate;
    m_pDiffViewTemplate = nullptr;
    delete m_pSingleInstance;
    m_pSingleInstance = nullptr;
    CDocCommandMap::Unregister(typeid(CKantelDoc));
    m_pDesktopSeams.reset();
    return CWinApp::ExitInstance();
}

QString CKantelApp::GetGameDirectory() const {
    return m_nGame == 0 ? m_strKorvexPath : m_strLunarisPath;
}

QString CKantelApp::GetDefaultPath() const {
    if (m_bHaveGameDir == 0) {
        return QString();
    }
    return GetGameDirectory() +
           (m_nGame == 0 ? QStringLiteral("kvdatab\\resson\\") : QStringLiteral("datab\\resson\\"));
}

void CKantelApp::OnAppAbout() {
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}

void CKantelApp::OnHelpFile() {
    // The help file in the current folder comes first, as it always has; a
    // program started from the desktop menu has the home folder there, so
    // the copy installed with the program is the next place to look (in its
    // data folder: the doc folder may be left out of a minimal system).
    QString help = QStringLiteral("Kantel.txt");
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kantel/Kantel.txt");
    if (!QFileInfo::exists(help) && QFileInfo::exists(installed)) {
        help = QFileInfo(installed).canonicalFilePath();
    }
    OpenWithShell(help.toUtf8().constData(), "Error opening file 'Kantel.txt'");
}

void CKantelApp::OnHelpHomePage() {
    OpenWithShell(KANTEL_HOMEPAGE_URL, "Error opening home page");
}

void CKantelApp::OnGameKorvex() {
    m_nGame = 0;
}

void CKantelApp::OnUpdateGameKorvex(CCmdUI* pCmdUI) {
    pCmdUI->SetRadio(m_nGame == 0);
}

void CKantelApp::OnGameLunaris() {
    m_nGame = 1;
}

void CKantelApp::OnUpdateGameLunaris(CCmdUI* pCmdUI) {
    pCmdUI->SetRadio(m_nGame == 1);
}
