#pragma once

#include "framework/ui/CWinApp.h"

#include <QList>
#include <QString>

#include <memory>

class CCmdUI;
class CCommandLineInfo;
class CDocument;
class CMainFrame;
class CMultiDocTemplate;
class CSingleInstance;

// The editor application: start-up and exit, the current game and the two
// games' folders, and the application's commands (About, Help, Home Page,
// the Game menu).
class CKantelApp : public CWinApp {
public:
    CKantelApp();
    ~CKantelApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    // The current game's installation folder (Windows form), or empty.
    QString GetGameDirectory() const;
    // The current game's sound bank folder for the file dialogs, or empty.
    QString GetDefaultPath() const;

    void OnAppAbout();
    void OnHelpFile();
    void OnHelpHomePage();
    void OnGameKorvex();
    void OnUpdateGameKorvex(CCmdUI* pCmdUI);
    void OnGameLunaris();
    void OnUpdateGameLunaris(CCmdUI* pCmdUI);

    CMultiDocTemplate* m_pEventViewTemplate = nullptr;
    // The Check Bank window's; kept, like the event view's, by the application.
    CMultiDocTemplate* m_pCheckViewTemplate = nullptr;
    // The Compare With window's, kept the same way.
    CMultiDocTemplate* m_pDiffViewTemplate = nullptr;
    QString m_strKorvexPath;
    QString m_strLunarisPath;
    int m_bHaveGameDir = 0;
    int m_nGame = 0;

    // Where a second start hands its files over; null when the tests or the
    // command line asked for an instance of its own.
    CSingleInstance* m_pSingleInstance = nullptr;

private:
    // The steps of InitInstance.

    // True when an editor that is already running took the command line's
    // bank: this start ends then.
    bool HandOverToRunningEditor(const CCommandLineInfo& cmdInfo);
    void LoadGameSettings();
    void AddDocTemplates();
    // Every open document, of the bank windows and the application's own
    // templates, once each.
    QList<CDocument*> OpenDocuments() const;
    // Opens the files a second start hands over and brings the window up.
    void ListenForSecondStarts(CMainFrame* pMainFrame);

    struct DesktopSeams;
    std::unique_ptr<DesktopSeams> m_pDesktopSeams;

    DECLARE_MESSAGE_MAP()
};
