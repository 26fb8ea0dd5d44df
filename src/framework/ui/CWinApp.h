#pragma once

#include "CCmdTarget.h"

#include "framework/core/AfxMessageBox.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class CCommandLineInfo;
class CDocManager;
class CDocTemplate;
class CDocument;
class CMDIFrameWnd;
class CRecentFileList;
class QSettings;

// The application: start-up, the message loop and exit, the settings store
// and its profile functions, the recent-file list, and the last stop of the
// command route. The program derives one class and makes one static object
// of it; main() hands over to AfxWinMain:
//
//   CMyApp theApp;                       // constructor installs m_pDocManager
//   int main(int argc, char* argv[]) { return AfxWinMain(argc, argv); }
//
//   bool CMyApp::InitInstance() {
//       SetRegistryKey("QXR");           // QSettings("QXR", m_pszAppName)
//       LoadStdProfileSettings(8);
//       AddDocTemplate(new CMultiDocTemplate(IDR_BNMTYPE, ...));
//       auto* pMainFrame = new CMainFrame;
//       if (!pMainFrame->LoadFrame(IDR_MAINFRAME))
//           return false;                // the frame deletes itself
//       m_pMainWnd = pMainFrame;
//       ...
//   }
//
// The base map handles the recent files (ID_FILE_MRU_FILE1..16) and
// ID_APP_EXIT; a derived map adds ON_COMMAND(ID_FILE_OPEN, OnFileOpen) and
// ON_COMMAND(ID_FILE_NEW, OnFileNew) when it wants the framework's ones.
class CWinApp : public CCmdTarget {
public:
    // Without a name the application takes string AFX_IDS_APP_TITLE.
    explicit CWinApp(const QString& appName = QString());
    ~CWinApp() override;

    virtual bool InitInstance();
    // Runs the event loop until the main window has closed, then ExitInstance.
    virtual int Run();
    // Writes the recent-file list; returns the program's exit code.
    virtual int ExitInstance();

    // --- Settings store -------------------------------------------------
    // Profile values go to QSettings(key, m_pszAppName) from now on.
    void SetRegistryKey(const QString& key);
    // Makes the recent-file list of nMaxMRU entries and reads it.
    void LoadStdProfileSettings(int nMaxMRU = 4);
    void SaveStdProfileSettings();

    // Missing entries, and integers that do not read as numbers, give the
    // default.
    int GetProfileInt(const QString& section, const QString& entry, int nDefault) const;
    QString GetProfileString(const QString& section, const QString& entry,
                             const QString& strDefault = QString()) const;
    // GetProfileString of each entry, the store opened once.
    QStringList GetProfileStrings(const QString& section, const QStringList& entries) const;
    QByteArray GetProfileBinary(const QString& section, const QString& entry) const;
    bool WriteProfileInt(const QString& section, const QString& entry, int nValue);
    bool WriteProfileString(const QString& section, const QString& entry, const QString& value);
    bool WriteProfileBinary(const QString& section, const QString& entry, const QByteArray& value);
    bool DeleteProfileSection(const QString& section);
    // A handle on this application's store (the profile functions use it).
    std::unique_ptr<QSettings> OpenSettingsStore() const;

    // --- Documents --------------------------------------------------------
    // The document manager takes ownership.
    void AddDocTemplate(CDocTemplate* pTemplate);
    // Opens path (or activates the window of the document that has it open);
    // nullptr when it could not be opened, the user having been told why.
    virtual CDocument* OpenDocumentFile(const QString& path);
    virtual void AddToRecentFileList(const QString& path);
    // Asks about every modified document; false when the user cancelled.
    bool SaveAllModified();
    void CloseAllDocuments(bool bEndSession);
    bool DoPromptFileName(QString& fileName, int nIDSTitle, unsigned lFlags, bool bOpenFileDialog,
                          CDocTemplate* pTemplate);

    // --- Command line -----------------------------------------------------
    // Every argument after the program's name, in order.
    void ParseCommandLine(CCommandLineInfo& rCmdInfo) const;
    // Opens the named file, makes a new document, or does nothing, as asked;
    // false when that failed.
    bool ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // --- Framework command handlers ---------------------------------------
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    void OnOpenRecentFile(int nID);

    QString m_pszAppName;
    QString m_pszRegistryKey;
    // The main frame; the application does not own it (it deletes itself
    // when closed).
    CMDIFrameWnd* m_pMainWnd = nullptr;
    // Owned; made on first use when the derived class installed none.
    CDocManager* m_pDocManager = nullptr;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    int m_nCmdShow;

    DECLARE_MESSAGE_MAP()
};

// The one application object, or nullptr.
CWinApp* AfxGetApp();
// The application's main frame, or nullptr.
CMDIFrameWnd* AfxGetMainWnd();
// The framework's entry point: makes the QApplication, runs InitInstance and
// then Run (or ExitInstance alone when InitInstance failed).
int AfxWinMain(int argc, char* argv[]);
// A message box with the string nIDPrompt of the string table.
int AfxMessageBox(int nIDPrompt, unsigned nType = MB_OK);
