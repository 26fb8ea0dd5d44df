#include "CWinApp.h"

#include "AfxRes.h"
#include "AfxWin.h"
#include "CCommandLineInfo.h"
#include "CDocManager.h"
#include "CMDIFrameWnd.h"
#include "CRecentFileList.h"
#include "CSettingsStore.h"
#include "CStartUpThread.h"
#include "CToolBarArrowStyle.h"
#include "StringTable.h"

#include <QApplication>
#include <QScopeGuard>
#include <QSettings>
#include <QStringList>
#include <QStyle>
#include <QVariant>

namespace {

CWinApp* g_pApp = nullptr;

QString ProfileKey(const QString& section, const QString& entry) {
    return section + u'/' + entry;
}

// A profile string as stored, or strDefault for none.
QString StringOf(const QVariant& value, const QString& strDefault) {
    if (!value.isValid()) {
        return strDefault;
    }
    // An ini line written by hand with commas and no quotes reads as a list.
    if (value.userType() == QMetaType::QStringList) {
        return value.toStringList().join(u',');
    }
    return value.toString();
}

// Windows left for deletion must go while the QApplication still exists.
void DeletePendingWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

CWinApp* AfxGetApp() {
    return g_pApp;
}

CMDIFrameWnd* AfxGetMainWnd() {
    return g_pApp != nullptr ? g_pApp->m_pMainWnd : nullptr;
}

int AfxMessageBox(int nIDPrompt, unsigned nType) {
    return AfxMessageBox(StringTable::Load(nIDPrompt), nType);
}

int AfxWinMain(int argc, char* argv[]) {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) {
        return -1;
    }
    // Fontconfig and the session bus are made ready while the display
    // answers.
    CStartUpThread startUp;
    QApplication application(argc, argv);
    const auto waitForStartUp = qScopeGuard([&startUp] { startUp.Wait(); });
    startUp.NameApplicationFont();
    // The style Qt chose (or -style named), with toolbar arrows that cost no
    // image plugins at start.
    QApplication::setStyle(new CToolBarArrowStyle(QApplication::style()->name()));
    // The loop ends when the main frame has closed, not when the last window
    // of any kind (a floating toolbar, a message box) goes.
    QApplication::setQuitOnLastWindowClosed(false);
    QCoreApplication::setApplicationName(pApp->m_pszAppName);

    int result = 0;
    if (pApp->InitInstance()) {
        result = pApp->Run();
    } else {
        DeletePendingWindows();
        result = pApp->ExitInstance();
    }
    DeletePendingWindows();
    delete pApp->m_pMainWnd;
    // The templates, and any document still open, go while the QApplication
    // exists, not with the static application object after it.
    delete pApp->m_pDocManager;
    pApp->m_pDocManager = nullptr;
    return result;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(const QString& appName)
    : m_pszAppName(appName.isEmpty() ? StringTable::Load(AFX_IDS_APP_TITLE) : appName),
      m_nCmdShow(SW_SHOWNORMAL) {
    g_pApp = this;
}

CWinApp::~CWinApp() {
    delete m_pDocManager;
    if (g_pApp == this) {
        g_pApp = nullptr;
    }
}

bool CWinApp::InitInstance() {
    return true;
}

int CWinApp::Run() {
    if (m_pMainWnd != nullptr) {
        QApplication::exec();
    }
    DeletePendingWindows();
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    SaveStdProfileSettings();
    return 0;
}

void CWinApp::SetRegistryKey(const QString& key) {
    m_pszRegistryKey = key;
}

void CWinApp::LoadStdProfileSettings(int nMaxMRU) {
    m_pRecentFileList.reset();
    if (nMaxMRU > 0) {
        m_pRecentFileList = std::make_unique<CRecentFileList>(QStringLiteral("Recent File List"),
                                                              QStringLiteral("File%d"), nMaxMRU);
        m_pRecentFileList->ReadList(*this);
    }
}

void CWinApp::SaveStdProfileSettings() {
    if (m_pRecentFileList) {
        m_pRecentFileList->WriteList(*this);
    }
}

std::unique_ptr<QSettings> CWinApp::OpenSettingsStore() const {
    const QString organization = m_pszRegistryKey.isEmpty() ? m_pszAppName : m_pszRegistryKey;
    return CSeam<CSettingsStore>::Current().Open(organization, m_pszAppName);
}

int CWinApp::GetProfileInt(const QString& section, const QString& entry, int nDefault) const {
    const QVariant value = OpenSettingsStore()->value(ProfileKey(section, entry));
    if (!value.isValid()) {
        return nDefault;
    }
    bool ok = false;
    const int n = value.toString().trimmed().toInt(&ok);
    return ok ? n : nDefault;
}

QString CWinApp::GetProfileString(const QString& section, const QString& entry,
                                  const QString& strDefault) const {
    return StringOf(OpenSettingsStore()->value(ProfileKey(section, entry)), strDefault);
}

QStringList CWinApp::GetProfileStrings(const QString& section, const QStringList& entries) const {
    const std::unique_ptr<QSettings> store = OpenSettingsStore();
    QStringList values;
    values.reserve(entries.size());
    for (const QString& entry : entries) {
        values.append(StringOf(store->value(ProfileKey(section, entry)), QString()));
    }
    return values;
}

QByteArray CWinApp::GetProfileBinary(const QString& section, const QString& entry) const {
    return OpenSettingsStore()->value(ProfileKey(section, entry)).toByteArray();
}

bool CWinApp::WriteProfileInt(const QString& section, const QString& entry, int nValue) {
    auto settings = OpenSettingsStore();
    settings->setValue(ProfileKey(section, entry), nValue);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool CWinApp::WriteProfileString(const QString& section, const QString& entry,
                                 const QString& value) {
    auto settings = OpenSettingsStore();
    settings->setValue(ProfileKey(section, entry), value);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool CWinApp::WriteProfileBinary(const QString& section, const QString& entry,
                                 const QByteArray& value) {
    auto settings = OpenSettingsStore();
    settings->setValue(ProfileKey(section, entry), value);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool CWinApp::DeleteProfileSection(const QString& section) {
    auto settings = OpenSettingsStore();
    settings->remove(section);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
    if (m_pDocManager == nullptr) {
        m_pDocManager = new CDocManager;
    }
    m_pDocManager->AddDocTemplate(pTemplate);
}

CDocument* CWinApp::OpenDocumentFile(const QString& path) {
    return m_pDocManager != nullptr ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

void CWinApp::AddToRecentFileList(const QString& path) {
    if (m_pRecentFileList) {
        m_pRecentFileList->Add(path);
    }
}

bool CWinApp::SaveAllModified() {
    return m_pDocManager == nullptr || m_pDocManager->SaveAllModified();
}

void CWinApp::CloseAllDocuments(bool bEndSession) {
    if (m_pDocManager != nullptr) {
        m_pDocManager->CloseAllDocuments(bEndSession);
    }
}

bool CWinApp::DoPromptFileName(QString& fileName, int nIDSTitle, unsigned lFlags,
                               bool bOpenFileDialog, CDocTemplate* pTemplate) {
    return m_pDocManager != nullptr &&
           m_pDocManager->DoPromptFileName(fileName, nIDSTitle, lFlags, bOpenFileDialog, pTemplate);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) const {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool bFlag = argument.size() > 1 && argument.startsWith(u'-');
        rCmdInfo.ParseParam(bFlag ? argument.mid(1) : argument, bFlag, i + 1 == arguments.size());
    }
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr)) {
            OnFileNew();
        }
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNothing:
        return true;
    }
    return false;
}

void CWinApp::OnFileNew() {
    if (m_pDocManager != nullptr) {
        m_pDocManager->OnFileNew();
    }
}

void CWinApp::OnFileOpen() {
    if (m_pDocManager != nullptr) {
        m_pDocManager->OnFileOpen();
    }
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd != nullptr) {
        m_pMainWnd->close();
    }
}

void CWinApp::OnOpenRecentFile(int nID) {
    const int nIndex = nID - ID_FILE_MRU_FILE1;
    if (!m_pRecentFileList || nIndex < 0 || nIndex >= m_pRecentFileList->GetCount()) {
        return;
    }
    // A file that is gone (or no longer a bank) leaves the list.
    if (OpenDocumentFile((*m_pRecentFileList)[nIndex]) == nullptr) {
        m_pRecentFileList->Remove(nIndex);
    }
}
