#pragma once

// A small program on the framework for the tests of this folder: a document
// of text rows, a list view of them, a child frame, a main frame with toolbar
// and status bar, an application and a document manager whose file dialog
// answers as scripted, on the shared WindowTestKit. Each test program is one source file that
// includes this header once.

#include "IniFileSettingsStore.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "ScriptedMenuRunner.h"
#include "TestFolder.h"
#include "TestResources.h"
#include "WindowTestKit.h"

#include "framework/core/CArchive.h"
#include "framework/core/CDocument.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/ui/CCmdUI.h"
#include "framework/ui/CDocCommandMap.h"
#include "framework/ui/CDocManager.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CListView.h"
#include "framework/ui/CMDIChildWnd.h"
#include "framework/ui/CMDIFrameWnd.h"
#include "framework/ui/CMenu.h"
#include "framework/ui/CMultiDocTemplate.h"
#include "framework/ui/CStatusBar.h"
#include "framework/ui/CToolBar.h"
#include "framework/ui/CWinApp.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStringList>

#include <gtest/gtest.h>

#include <iterator>
#include <memory>

// The small program's resource tables, in place before any test runs.
class TestResourcesEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { TestResources::Register(); }
};

inline ::testing::Environment* const g_testResourcesEnvironment =
    ::testing::AddGlobalTestEnvironment(new TestResourcesEnvironment);

// Who handled each command, in order, and how many documents were closed.
inline QStringList g_commandLog;
inline int g_closedDocuments = 0;

// ---------------------------------------------------------------------------
// The document: one row per line of its file. A first line "broken" makes
// loading fail.

class RowsDocument : public CDocument {
public:
    void Serialize(CArchive& archive) override {
        CFile& file = *archive.GetFile();
        if (archive.IsLoading()) {
            QByteArray bytes(static_cast<qsizetype>(file.GetLength()), '\0');
            file.Read(bytes.data(), bytes.size());
            rows = QString::fromUtf8(bytes).split(u'\n', Qt::SkipEmptyParts);
            if (rows.value(0) == QStringLiteral("broken")) {
                throw CFileException(CFileException::invalidFile, file.GetFilePath());
            }
            return;
        }
        const QByteArray bytes = rows.join(u'\n').toUtf8();
        file.Write(bytes.constData(), bytes.size());
    }
    void DeleteContents() override { rows.clear(); }
    void OnCloseDocument() override {
        ++g_closedDocuments;
        CDocument::OnCloseDocument();
    }

    // Commands registered through CDocCommandMap.
    void OnDocumentCommand() { g_commandLog.append(QStringLiteral("document")); }

    QStringList rows;
};

// ---------------------------------------------------------------------------
// The view: one row per document row, columns "Row" and "Text"; its caption
// is the document's title, " - Rows" and " *" when modified.

class RowsView : public CListView {
public:
    RowsDocument* GetDocument() const { return static_cast<RowsDocument*>(CView::GetDocument()); }

    void OnUpdate(IDocumentView* /*pSender*/, qintptr /*lHint*/, void* /*pHint*/) override {
        ++updates;
        CListCtrl& list = GetListCtrl();
        list.DeleteAllItems();
        if (list.GetColumnCount() == 0) {
            list.InsertColumn(0, QStringLiteral("Row"), LVCFMT_LEFT, 60);
            list.InsertColumn(1, QStringLiteral("Text"), LVCFMT_RIGHT, 120);
        }
        list.SetItemCount(static_cast<int>(GetDocument()->rows.size()));
        QString caption = GetDocument()->GetTitle() + QStringLiteral(" - Rows");
        if (GetDocument()->IsModified()) {
            caption += QStringLiteral(" *");
        }
        GetParentFrame()->SetWindowText(caption);
    }

    QString GetCellText(int nItem, int nSubItem) const override {
        ++cellRequests;
        if (nSubItem == 0) {
            return QString::number(nItem);
        }
        return GetDocument()->rows.value(nItem);
    }

    void OnDblclk() override { events.append(QStringLiteral("dblclk")); }
    void OnKeydown(int nKey) override { events.append(QStringLiteral("key %1").arg(nKey)); }
    void OnContextMenu(QWidget* /*pWnd*/, QPoint point) override {
        contextPoints.append(point);
        if (GetListCtrl().GetNextItem(-1, LVNI_SELECTED) < 0) {
            return;
        }
        CMenu menu;
        if (menu.LoadMenu(IDR_CONTEXT)) {
            QPoint at = point;
            QRect label;
            const int nSelected = GetListCtrl().GetNextItem(-1, LVNI_SELECTED);
            if (at == QPoint(-1, -1) && GetListCtrl().GetItemRect(nSelected, &label, LVIR_LABEL)) {
                at = label.center();
                GetListCtrl().ClientToScreen(&at);
            }
            menu.GetSubMenu(0)->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x(), at.y(),
                                               AfxGetMainWnd());
        }
    }

    // Handles Properties and Play when a row is selected.
    void OnEditProperties() { g_commandLog.append(QStringLiteral("view")); }
    void OnUpdateEditProperties(CCmdUI* pCmdUI) {
        pCmdUI->Enable(GetListCtrl().GetNextItem(-1, LVNI_SELECTED) >= 0);
    }

    int updates = 0;
    mutable int cellRequests = 0;
    QStringList events;
    QList<QPoint> contextPoints;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RowsView, CListView)
ON_COMMAND(ID_EDIT_PROPERTIES, OnEditProperties)
ON_UPDATE_COMMAND_UI(ID_EDIT_PROPERTIES, OnUpdateEditProperties)
ON_COMMAND(ID_SOUND_PLAY, OnEditProperties)
ON_UPDATE_COMMAND_UI(ID_SOUND_PLAY, OnUpdateEditProperties)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------
// Frames

// The view owns the caption, as in the program.
class RowsFrame : public CMDIChildWnd {
public:
    bool PreCreateWindow(CREATESTRUCT& cs) override {
        cs.style &= ~FWS_ADDTOTITLE;
        return CMDIChildWnd::PreCreateWindow(cs);
    }

    // Handles the Header command (32771) after view and document.
    void OnFrameCommand() { g_commandLog.append(QStringLiteral("child frame")); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RowsFrame, CMDIChildWnd)
ON_COMMAND(ID_VIEW_HEADER, OnFrameCommand)
ON_COMMAND(ID_EDIT_ALL_BANKED, OnFrameCommand)
END_MESSAGE_MAP()

class MainFrame : public CMDIFrameWnd {
public:
    int OnCreate() override {
        if (CMDIFrameWnd::OnCreate() == -1) {
            return -1;
        }
        if (!m_wndToolBar.Create(this) || !m_wndToolBar.LoadToolBar(IDR_MAINFRAME)) {
            return -1;
        }
        static const int indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                         ID_INDICATOR_SCRL};
        if (!m_wndStatusBar.Create(this) ||
            !m_wndStatusBar.SetIndicators(indicators, static_cast<int>(std::size(indicators)))) {
            return -1;
        }
        m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                                 CBRS_SIZE_DYNAMIC);
        m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_wndToolBar);
        LoadBarState(QStringLiteral("BarState"));
        return 0;
    }

    void OnClose() override {
        SaveBarState(QStringLiteral("BarState"));
        CMDIFrameWnd::OnClose();
    }

    // Handles Header, All Banked and All External after view, document and
    // child frame.
    void OnMainCommand() { g_commandLog.append(QStringLiteral("main frame")); }

    CToolBar m_wndToolBar;
    CStatusBar m_wndStatusBar;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MainFrame, CMDIFrameWnd)
ON_COMMAND(ID_VIEW_HEADER, OnMainCommand)
ON_COMMAND(ID_EDIT_ALL_BANKED, OnMainCommand)
ON_COMMAND(ID_EDIT_ALL_EXTERNAL, OnMainCommand)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------
// Application and document manager

class ScriptedDocManager : public CDocManager {
public:
    struct Prompt {
        int nIDSTitle;
        bool bOpen;
        QString initial;
        CDocTemplate* pTemplate;
    };

    bool DoPromptFileName(QString& fileName, int nIDSTitle, unsigned /*lFlags*/,
                          bool bOpenFileDialog, CDocTemplate* pTemplate) override {
        prompts.append(Prompt{nIDSTitle, bOpenFileDialog, fileName, pTemplate});
        if (answers.isEmpty() || answers.first().isEmpty()) {
            if (!answers.isEmpty()) {
                answers.removeFirst();
            }
            return false;
        }
        fileName = answers.takeFirst();
        return true;
    }

    QList<Prompt> prompts;
    // Paths in order; an empty one cancels.
    QStringList answers;
};

class TestApp : public CWinApp {
public:
    TestApp() { m_pDocManager = new ScriptedDocManager; }

    ScriptedDocManager& Manager() { return *static_cast<ScriptedDocManager*>(m_pDocManager); }

    void OnGameKorvex() { m_nGame = 0; }
    void OnGameLunaris() { m_nGame = 1; }
    void OnUpdateGameKorvex(CCmdUI* pCmdUI) {
        ++m_nKorvexUpdates;
        pCmdUI->SetRadio(m_nGame == 0);
    }
    void OnUpdateGameLunaris(CCmdUI* pCmdUI) { pCmdUI->SetRadio(m_nGame == 1); }
    // Also handles Header, All Banked, All External and Home Page, last on
    // the route.
    void OnAppCommand() { g_commandLog.append(QStringLiteral("application")); }

    int m_nGame = 0;
    // How often the Korvex command's state was asked for.
    int m_nKorvexUpdates = 0;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND(ID_GAME_KORVEX, OnGameKorvex)
ON_UPDATE_COMMAND_UI(ID_GAME_KORVEX, OnUpdateGameKorvex)
ON_COMMAND(ID_GAME_LUNARIS, OnGameLunaris)
ON_UPDATE_COMMAND_UI(ID_GAME_LUNARIS, OnUpdateGameLunaris)
ON_COMMAND(ID_VIEW_HEADER, OnAppCommand)
ON_COMMAND(ID_EDIT_ALL_BANKED, OnAppCommand)
ON_COMMAND(ID_EDIT_ALL_EXTERNAL, OnAppCommand)
ON_COMMAND(ID_HELP_HOMEPAGE, OnAppCommand)
ON_COMMAND(ID_APP_ABOUT, OnAppCommand)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------
// The fixture: settings in a temporary folder, a recording prompt sink, the
// application with one registered template of RowsDocument / RowsFrame /
// RowsView (resource 129), and a shown main frame of resource 128.

class MdiTest : public WindowTest {
protected:
    void SetUp() override {
        m_settings =
            std::make_unique<IniFileSettingsStore>(folder.FilePath(QStringLiteral("settings.ini")));
        app = std::make_unique<TestApp>();
        app->SetRegistryKey(QStringLiteral("QXR"));
        app->LoadStdProfileSettings(8);
        pTemplate = new CMultiDocTemplate(
            IDR_BNMTYPE, [] { return new RowsDocument; }, [] { return new RowsFrame; },
            [] { return new RowsView; });
        app->AddDocTemplate(pTemplate);
        g_commandLog.clear();
        g_closedDocuments = 0;
        CDocCommandMap::Register<RowsDocument>({
            {ID_VIEW_HEADER, &RowsDocument::OnDocumentCommand},
        });
        StartFrame();
    }

    void TearDown() override {
        if (app->m_pMainWnd != nullptr) {
            app->CloseAllDocuments(true);
        }
        delete frame.data();
        DeleteClosedWindows();
        app.reset();
        CDocCommandMap::Unregister(typeid(RowsDocument));
    }

    // A main frame as the application makes it.
    void StartFrame() {
        auto* pFrame = new MainFrame;
        ASSERT_TRUE(pFrame->LoadFrame(IDR_MAINFRAME));
        app->m_pMainWnd = pFrame;
        pFrame->DragAcceptFiles();
        pFrame->resize(800, 600);
        pFrame->show();
        QApplication::setActiveWindow(pFrame);
        frame = pFrame;
    }

    QString WriteRows(const QString& name, const QString& text) {
        return folder.Write(name, text.toUtf8());
    }

    RowsDocument* Open(const QString& name, const QString& text = QStringLiteral("a\nb\nc")) {
        return static_cast<RowsDocument*>(app->OpenDocumentFile(WriteRows(name, text)));
    }

    RowsView* ActiveView() const {
        CMDIChildWnd* pChild = frame->MDIGetActive();
        return pChild != nullptr ? dynamic_cast<RowsView*>(pChild->GetActiveView()) : nullptr;
    }

    QMainWindow* MenuWindow() const override { return frame; }

    TestFolder folder;
    RecordingPromptSink prompts;
    std::unique_ptr<TestApp> app;
    CMultiDocTemplate* pTemplate = nullptr;
    QPointer<MainFrame> frame;

private:
    std::unique_ptr<IniFileSettingsStore> m_settings;
};
