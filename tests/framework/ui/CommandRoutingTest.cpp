#include "MdiTestKit.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

class CommandRouting : public MdiTest {
protected:
    QAction* Action(int nID) const { return frame->GetCommandAction(nID); }

    // Chooses a command the way a menu click does.
    QStringList Run(int nID) {
        g_commandLog.clear();
        frame->OnIdleUpdateCmdUI();
        Action(nID)->trigger();
        return g_commandLog;
    }

    void SelectRow(int nRow) {
        ActiveView()->GetListCtrl().SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED,
                                                 LVIS_SELECTED | LVIS_FOCUSED);
    }
};

TEST_F(CommandRouting, FirstTargetOnTheRouteHandlesTheCommand) {
    Open(QStringLiteral("a.txt"));
    SelectRow(0);
    // Each command has handlers from some target down to the application;
    // the first of view, document, child frame, main frame, application wins.
    EXPECT_EQ(Run(ID_EDIT_PROPERTIES), QStringList{QStringLiteral("view")});
    EXPECT_EQ(Run(ID_VIEW_HEADER), QStringList{QStringLiteral("document")});
    EXPECT_EQ(Run(ID_EDIT_ALL_BANKED), QStringList{QStringLiteral("child frame")});
    EXPECT_EQ(Run(ID_EDIT_ALL_EXTERNAL), QStringList{QStringLiteral("main frame")});
    EXPECT_EQ(Run(ID_HELP_HOMEPAGE), QStringList{QStringLiteral("application")});
}

TEST_F(CommandRouting, WithoutDocumentWindowTheRouteStartsAtTheMainFrame) {
    EXPECT_EQ(Run(ID_VIEW_HEADER), QStringList{QStringLiteral("main frame")});
    EXPECT_EQ(Run(ID_HELP_HOMEPAGE), QStringList{QStringLiteral("application")});
}

TEST_F(CommandRouting, CommandWithoutHandlerIsDisabledAndDoesNothing) {
    frame->OnIdleUpdateCmdUI();
    // Nobody handles New Event View in this program; no view, no Properties.
    EXPECT_FALSE(Action(ID_WINDOW_NEW_EVENT_VIEW)->isEnabled());
    EXPECT_FALSE(Action(ID_EDIT_PROPERTIES)->isEnabled());
    EXPECT_FALSE(Action(ID_FILE_SAVE)->isEnabled());
    EXPECT_TRUE(Action(ID_FILE_OPEN)->isEnabled());
    EXPECT_FALSE(frame->OnCommand(ID_WINDOW_NEW_EVENT_VIEW));
    EXPECT_FALSE(frame->OnCommand(ID_EDIT_PROPERTIES));
    EXPECT_TRUE(g_commandLog.isEmpty());

    // The document's framework commands come with its window.
    Open(QStringLiteral("a.txt"));
    frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(Action(ID_FILE_SAVE)->isEnabled());
    EXPECT_TRUE(Action(ID_FILE_CLOSE)->isEnabled());
}

TEST_F(CommandRouting, UpdateHandlerEnablesAndADisabledCommandIsNotRun) {
    Open(QStringLiteral("a.txt"));
    frame->OnIdleUpdateCmdUI();
    EXPECT_FALSE(Action(ID_EDIT_PROPERTIES)->isEnabled());
    // Even when asked directly, a command its update handler disables stays
    // undone.
    EXPECT_FALSE(frame->OnCommand(ID_EDIT_PROPERTIES));
    EXPECT_TRUE(g_commandLog.isEmpty());

    SelectRow(1);
    frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(Action(ID_EDIT_PROPERTIES)->isEnabled());
    EXPECT_TRUE(Action(ID_SOUND_PLAY)->isEnabled());
}

TEST_F(CommandRouting, RadioMarkFollowsTheApplicationInMenuAndToolbar) {
    QMenu* pGame = OpenPopup(QStringLiteral("&Game"));
    ASSERT_NE(pGame, nullptr);
    EXPECT_EQ(Items(pGame),
              (QStringList{QStringLiteral("&Korvex (checked)"), QStringLiteral("&Lunaris")}));

    Run(ID_GAME_LUNARIS);
    EXPECT_EQ(app->m_nGame, 1);
    // The toolbar button is the same action: it shows pressed.
    EXPECT_TRUE(Action(ID_GAME_LUNARIS)->isChecked());
    EXPECT_FALSE(Action(ID_GAME_KORVEX)->isChecked());
    EXPECT_TRUE(frame->m_wndToolBar.actions().contains(Action(ID_GAME_LUNARIS)));

    // Choosing the marked item again keeps its mark.
    Run(ID_GAME_LUNARIS);
    EXPECT_TRUE(Action(ID_GAME_LUNARIS)->isChecked());

    // The document menu bar shows the same mark.
    Open(QStringLiteral("a.txt"));
    pGame = OpenPopup(QStringLiteral("&Game"));
    ASSERT_NE(pGame, nullptr);
    EXPECT_EQ(Items(pGame),
              (QStringList{QStringLiteral("&Korvex"), QStringLiteral("&Lunaris (checked)")}));
    EXPECT_TRUE(pGame->actions().at(0)->actionGroup() != nullptr &&
                pGame->actions().at(0)->actionGroup()->isExclusive())
        << "a radio item is drawn with a bullet";
}

TEST_F(CommandRouting, CheckMarkShowsWhetherABarIsShown) {
    QMenu* pView = OpenPopup(QStringLiteral("&View"));
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(Items(pView), (QStringList{QStringLiteral("&Toolbar (checked)"),
                                         QStringLiteral("&Status Bar (checked)")}));
    Run(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(frame->m_wndToolBar.isHidden());
    pView = OpenPopup(QStringLiteral("&View"));
    EXPECT_EQ(Items(pView),
              (QStringList{QStringLiteral("&Toolbar"), QStringLiteral("&Status Bar (checked)")}));
    Run(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(frame->m_wndStatusBar.isHidden());
    Run(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(frame->m_wndToolBar.isHidden());
}

TEST_F(CommandRouting, AcceleratorKeysGoThroughTheRouting) {
    Open(QStringLiteral("a.txt"));
    CListCtrl& list = ActiveView()->GetListCtrl();

    g_commandLog.clear();
    QTest::keyClick(&list, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(g_commandLog, QStringList{QStringLiteral("document")});

    // Alt+Enter is Properties; it counts only once a row is selected, and
    // the state is asked for when the key arrives, not at the last idle time.
    g_commandLog.clear();
    QTest::keyClick(&list, Qt::Key_Return, Qt::AltModifier);
    EXPECT_TRUE(g_commandLog.isEmpty());
    SelectRow(2);
    QTest::keyClick(&list, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(g_commandLog, QStringList{QStringLiteral("view")});
    g_commandLog.clear();
    QTest::keyClick(&list, Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
    EXPECT_EQ(g_commandLog, QStringList{QStringLiteral("view")});
}

TEST_F(CommandRouting, CtrlOOpensTheFileDialogWithOrWithoutDocuments) {
    QTest::keyClick(frame, Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(app->Manager().prompts.size(), 1);
    EXPECT_TRUE(app->Manager().prompts.at(0).bOpen);
    EXPECT_EQ(app->Manager().prompts.at(0).nIDSTitle, AFX_IDS_OPENFILE);
}

TEST_F(CommandRouting, BracketKeysTileTheDocumentWindows) {
    Open(QStringLiteral("a.txt"));
    Open(QStringLiteral("b.txt"));
    const QList<CMDIChildWnd*> windows = frame->GetChildFrames();
    ASSERT_EQ(windows.size(), 2);
    const QSize area = frame->GetMDIClient()->viewport()->size();

    QTest::keyClick(&ActiveView()->GetListCtrl(), Qt::Key_BracketLeft);
    // Horizontally: full width, one above the other, the area shared out.
    const QRect top = windows.at(1)->geometry(); // the active one comes first
    const QRect bottom = windows.at(0)->geometry();
    EXPECT_EQ(top, QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(bottom, QRect(0, top.height(), area.width(), area.height() - top.height()));

    QTest::keyClick(&ActiveView()->GetListCtrl(), Qt::Key_BracketRight);
    // Vertically: full height, side by side.
    const QRect left = windows.at(1)->geometry();
    const QRect right = windows.at(0)->geometry();
    EXPECT_EQ(left, QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(right, QRect(left.width(), 0, area.width() - left.width(), area.height()));
}

TEST_F(CommandRouting, ToolbarFollowsTheStateWhenTheEventLoopGoesIdle) {
    Open(QStringLiteral("a.txt"));
    frame->OnIdleUpdateCmdUI();
    QAction* pProperties = Action(ID_EDIT_PROPERTIES);
    ASSERT_FALSE(pProperties->isEnabled());
    SelectRow(0);
    EXPECT_FALSE(pProperties->isEnabled()) << "nothing has asked yet";

    // Let the loop run dry once: it asks the update handlers before it waits.
    QEventLoop loop;
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(pProperties->isEnabled());
}

// Lets the event loop run, with nothing to do, for ms milliseconds.
void Idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until nothing is left for it to do: what a change
// posted, the zero timers that started and what they posted in turn.
void Settle() {
    QEventLoop loop;
    for (int pass = 0; pass < 1000 && loop.processEvents(); ++pass) {
    }
}

TEST_F(CommandRouting, UpdateHandlersRunAfterEachChangeTheyDependOnAndNeverWhileIdle) {
    RowsDocument* pDoc = Open(QStringLiteral("a.txt"));
    Open(QStringLiteral("b.txt"));
    // How often the Korvex handler runs for a change and the idle time after.
    const auto updatesFor = [&](const std::function<void()>& change) {
        Settle();
        app->m_nKorvexUpdates = 0;
        change();
        Settle();
        return app->m_nKorvexUpdates;
    };

    // Only time shows that nothing asks on a clock of its own.
    EXPECT_EQ(updatesFor([] { Idle(300); }), 0) << "an idle editor asks nothing";
    EXPECT_GT(updatesFor([&] { frame->GetChildFrames().first()->MDIActivate(); }), 0)
        << "active window";
    EXPECT_GT(updatesFor([&] { SelectRow(1); }), 0) << "selection";
    EXPECT_GT(updatesFor([&] { pDoc->SetModifiedFlag(true); }), 0) << "modified flag";
    EXPECT_EQ(updatesFor([&] { pDoc->SetModifiedFlag(true); }), 0) << "the flag did not change";
    EXPECT_GT(updatesFor([&] { frame->OnCommand(ID_GAME_LUNARIS); }), 0) << "a command ran";
    EXPECT_GT(updatesFor([&] { OpenPopup(QStringLiteral("&Game")); }), 0) << "menu opens";
    EXPECT_GT(updatesFor([&] { frame->menuBar()->setFocus(); }), 0) << "focus";
    EXPECT_GT(updatesFor([&] { ActiveView()->GetListCtrl().setFocus(); }), 0) << "focus back";
    EXPECT_EQ(updatesFor([] { Idle(300); }), 0) << "and nothing once all is shown";

    // Several changes before the loop gets to them make one update.
    EXPECT_EQ(updatesFor([&] {
                  SelectRow(2);
                  SelectRow(0);
                  pDoc->SetModifiedFlag(false);
              }),
              1);
}

TEST_F(CommandRouting, BracketKeysDoNothingWithoutDocumentWindow) {
    frame->OnIdleUpdateCmdUI();
    EXPECT_FALSE(Action(ID_WINDOW_TILE_HORZ)->isEnabled());
    EXPECT_FALSE(Action(ID_WINDOW_CASCADE)->isEnabled());
    EXPECT_FALSE(Action(ID_WINDOW_NEW)->isEnabled());
}

} // namespace
