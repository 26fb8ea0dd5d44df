#pragma once

// The editor as a user meets it, for the tests of this folder, on the shared
// WindowTestKit: the real application object, its main frame and list
// windows, started offscreen
// with the settings store, the game ini file and the single-instance key in
// a temporary folder. Modal dialogs and message boxes go to a scripted
// runner, sounds to a recorder, context menus to a runner that records where
// they open. Each test program is one source file that includes this header
// once.

#include "BankBuilder.h"
#include "DialogDriver.h"
#include "IniFileSettingsStore.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedFilePicker.h"
#include "ScriptedMenuRunner.h"
#include "ScriptedModalRunner.h"
#include "TestFolder.h"
#include "WindowTestKit.h"

#include "app/CKantelApp.h"
#include "app/CMainFrame.h"
#include "cli/CDemoBank.h"
#include "doc/CKantelDoc.h"
#include "framework/ui/CDialog.h"
#include "framework/ui/CDocManager.h"
#include "framework/ui/CListCtrl.h"
#include "framework/ui/CMDIChildWnd.h"
#include "res/resource.h"
#include "views/CEventView.h"
#include "views/CKantelView.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Runs each modal window with another runner and then gives the activation
// back to the window that had it, as the desktop's window manager does when
// a dialog goes; the offscreen platform leaves the gone dialog active, and
// the main frame's keys would then reach nobody.
class WindowManagerRunner final : public CModalRunner {
public:
    explicit WindowManagerRunner(CModalRunner& inner) : m_inner(inner), m_guard(this) {}

    int RunModal(QDialog& dialog) override {
        const QPointer<QWidget> before = QApplication::activeWindow();
        const int result = m_inner.RunModal(dialog);
        if (before != nullptr && before->isVisible()) {
            QApplication::setActiveWindow(before);
        }
        return result;
    }

private:
    CModalRunner& m_inner;
    CSeam<CModalRunner>::Guard m_guard;
};

// ---------------------------------------------------------------------------
// The fixture: a temporary folder holding the settings store, an empty Wine
// prefix (no game is installed) and the demo bank; the editor started in it.

class EditorTest : public WindowTest {
protected:
    void SetUp() override {
        PrepareFolder();
        ASSERT_TRUE(StartEditor());
    }

    void TearDown() override {
        QuitEditor();
        m_settings.reset();
    }

    // Settings and game ini file in the test's folder.
    void PrepareFolder() {
        // Each test starts an editor of its own; none may hand its files to
        // an editor the developer has running.
        qputenv("KANTEL_INSTANCE_KEY", "none");
        qputenv("WINEPREFIX", folder.FilePath(QStringLiteral("wine")).toLocal8Bit());
        m_settings = std::make_unique<IniFileSettingsStore>(SettingsFile());
    }

    QString SettingsFile() const { return folder.FilePath(QStringLiteral("settings.ini")); }

    // InitInstance as the program's entry point runs it; its result. The
    // application puts its own message boxes in place; the recorder goes
    // over them.
    bool StartEditor() {
        app = std::make_unique<CKantelApp>();
        m_bStarted = app->InitInstance();
        frame = dynamic_cast<CMainFrame*>(app->m_pMainWnd);
        if (!m_bStarted || frame == nullptr) {
            return false;
        }
        prompts = std::make_unique<RecordingPromptSink>();
        QApplication::setActiveWindow(frame);
        return true;
    }

    // Closes the main frame as the close box does (unsaved changes are
    // dropped), then ends the application as its message loop would. After
    // a failed start, only what the entry point does then.
    void QuitEditor() {
        if (!app) {
            return;
        }
        if (prompts) {
            prompts->answers = QList<int>(32, IDNO);
        }
        if (m_bStarted && frame != nullptr) {
            frame->close();
        }
        DeleteClosedWindows();
        prompts.reset();
        app->ExitInstance();
        DeleteClosedWindows();
        delete frame.data();
        app.reset();
    }

    // --- Banks ------------------------------------------------------------------

    // The demo bank of kantel-cli in a folder of its own; its path.
    QString WriteDemoBank(const QString& subfolder = QStringLiteral("demo")) {
        const QString dir = folder.FilePath(subfolder);
        const QString error = CDemoBank::Write(dir);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return dir + QStringLiteral("/Bnk_1.bnm");
    }

    // Writes a file of the test's folder, making its folder first; its path.
    QString WriteFile(const QString& name, const QByteArray& bytes) {
        QDir(folder.Path()).mkpath(QFileInfo(folder.FilePath(name)).path());
        return folder.Write(name, bytes);
    }

    CKantelDoc* Open(const QString& path) {
        return dynamic_cast<CKantelDoc*>(app->OpenDocumentFile(path));
    }

    CKantelDoc* OpenDemoBank() { return Open(WriteDemoBank()); }

    // --- Windows ----------------------------------------------------------------

    CMDIChildWnd* ActiveWindow() const { return frame->MDIGetActive(); }
    QList<CMDIChildWnd*> Windows() const { return frame->GetChildFrames(); }

    template <class View> static View* ViewOf(CMDIChildWnd* pWindow) {
        return pWindow != nullptr ? dynamic_cast<View*>(pWindow->GetActiveView()) : nullptr;
    }
    CKantelView* ActiveResourceView() const { return ViewOf<CKantelView>(ActiveWindow()); }
    CEventView* ActiveEventView() const { return ViewOf<CEventView>(ActiveWindow()); }

    static QStringList Captions(const QList<CMDIChildWnd*>& windows) {
        QStringList captions;
        for (CMDIChildWnd* pWindow : windows) {
            captions.append(pWindow->GetWindowText());
        }
        return captions;
    }

    // --- The user's hands ------------------------------------------------------

    static QPoint RowPoint(const CListCtrl& list, int row, int column = 0) {
        return list.visualRect(list.model()->index(row, column)).center();
    }
    static void ClickRow(CListCtrl& list, int row) {
        list.scrollTo(list.model()->index(row, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(list, row));
    }
    static void DoubleClickRow(CListCtrl& list, int row) {
        list.scrollTo(list.model()->index(row, 0));
        const QPoint at = RowPoint(list, row);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    static int Selected(const CListCtrl& list) { return list.GetNextItem(-1, LVNI_SELECTED); }
    // The texts a row shows, as the list's model hands them to the painter.
    static QStringList RowTexts(const CListCtrl& list, int row) {
        QStringList texts;
        for (int column = 0; column < list.model()->columnCount(); ++column) {
            texts.append(list.model()->index(row, column).data().toString());
        }
        return texts;
    }
    static QStringList ColumnTitles(const CListCtrl& list) {
        QStringList titles;
        for (int column = 0; column < list.model()->columnCount(); ++column) {
            titles.append(list.model()->headerData(column, Qt::Horizontal).toString());
        }
        return titles;
    }

    // What the platform sends for the Menu key: a context-menu request with
    // the keyboard as its reason, to the widget with the focus.
    static void AskForContextMenuByKeyboard(CListCtrl& list) {
        const QPoint inside(5, 5);
        QContextMenuEvent event(QContextMenuEvent::Keyboard, inside, list.mapToGlobal(inside));
        QCoreApplication::sendEvent(&list, &event);
    }

    // --- Menus and commands ------------------------------------------------------

    QMainWindow* MenuWindow() const override { return frame; }

    // Whether command nID is enabled now, as a menu or the toolbar shows it.
    bool IsEnabled(int nID) const {
        QAction* pAction = frame->GetCommandAction(nID);
        frame->UpdateCmdUI(pAction);
        return pAction->isEnabled();
    }

    TestFolder folder;
    // Every modal dialog and message box goes here; tests add scripts.
    ScriptedModalRunner dialogs;
    WindowManagerRunner windowManager{dialogs};
    RecordingSoundPlayer sounds;
    // File dialogs answer with the scripted paths (Cancel when none is left).
    ScriptedFilePicker files;
    std::unique_ptr<CKantelApp> app;
    std::unique_ptr<RecordingPromptSink> prompts;
    QPointer<CMainFrame> frame;

private:
    std::unique_ptr<IniFileSettingsStore> m_settings;
    bool m_bStarted = false;
};
