#include "EditorTestKit.h"

#include "framework/ui/CStatusBar.h"
#include "framework/ui/CToolBar.h"

#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>

#include <cstdlib>

namespace {

const QStringList kNoBankMenus{QStringLiteral("&File"), QStringLiteral("&Game"),
                               QStringLiteral("&View"), QStringLiteral("&Help")};
const QStringList kBankMenus{QStringLiteral("&File"),  QStringLiteral("&Edit"),
                             QStringLiteral("&Sound"), QStringLiteral("&Game"),
                             QStringLiteral("&View"),  QStringLiteral("&Window"),
                             QStringLiteral("&Help")};

std::string Text(const QRect& r) {
    return QStringLiteral("(%1, %2) %3 x %4")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

class MainFrame : public EditorTest {
protected:
    // Closes the editor and starts it again on the same settings store.
    void Restart() {
        QuitEditor();
        StartEditor();
    }

    QString StoredPlacement() const {
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        return settings.value(QStringLiteral("Settings/window_pos")).toString();
    }

    // Writes the settings store's "Settings" section by hand, as a user
    // editing the file would (values with commas stay unquoted).
    void WriteSettingsByHand(const QByteArray& lines) {
        QFile file(SettingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Settings]\n" + lines + "\n");
    }

    // Where the frame goes without a stored placement: four fifths of the
    // screen, centred.
    bool ShowsDefaultPlacement() const {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect outer = frame->frameGeometry();
        return frame->size() == available.size() * 4 / 5 &&
               std::abs(outer.center().x() - available.center().x()) <= 2 &&
               std::abs(outer.center().y() - available.center().y()) <= 2;
    }
};

TEST_F(MainFrame, MenuBarFollowsTheFirstAndTheLastBankWindow) {
    EXPECT_EQ(MenuBarTitles(), kNoBankMenus);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kantel"));

    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(MenuBarTitles(), kBankMenus);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kantel - Bnk_1.bnm"));

    // An event window keeps the bank's menu bar after the resource window
    // has gone.
    QTest::keyClick(&ActiveResourceView()->GetListCtrl(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(Windows().size(), 2);
    Windows().at(0)->close();
    DeleteClosedWindows();
    ASSERT_EQ(Windows().size(), 1);
    ASSERT_NE(ActiveEventView(), nullptr);
    EXPECT_EQ(MenuBarTitles(), kBankMenus);

    Windows().at(0)->close();
    DeleteClosedWindows();
    EXPECT_TRUE(Windows().isEmpty());
    EXPECT_EQ(MenuBarTitles(), kNoBankMenus);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kantel"));
    EXPECT_EQ(app->m_pDocManager->GetOpenDocumentCount(), 0);
}

TEST_F(MainFrame, WindowMenuListsEveryWindowByItsViewsCaption) {
    ASSERT_NE(OpenDemoBank(), nullptr);
    QTest::keyClick(&ActiveResourceView()->GetListCtrl(), Qt::Key_R, Qt::ControlModifier);
    QTest::keyClick(&ActiveResourceView()->GetListCtrl(), Qt::Key_E, Qt::ControlModifier);
    const QStringList items = Items(OpenPopup(QStringLiteral("&Window")));
    // No window number follows the title: the frames do not add it.
    EXPECT_EQ(items.mid(items.indexOf(QStringLiteral("&Arrange Icons")) + 1),
              (QStringList{QStringLiteral("-"), QStringLiteral("&1 Bnk_1.bnm - Resource View"),
                           QStringLiteral("&2 Bnk_1.bnm - Resource View"),
                           QStringLiteral("&3 Bnk_1.bnm - Event View (checked)")}));
    EXPECT_EQ(items.mid(0, 2), (QStringList{QStringLiteral("&New Resource View\tCtrl+R"),
                                            QStringLiteral("New &Event View\tCtrl+E")}));
}

TEST_F(MainFrame, BanksOfOneNameFromTwoFoldersAreToldApartByTheirFolders) {
    ASSERT_NE(Open(WriteDemoBank(QStringLiteral("korvex/sound"))), nullptr);
    CMDIChildWnd* pFirst = ActiveWindow();
    ASSERT_NE(Open(WriteDemoBank(QStringLiteral("lunaris/sound"))), nullptr);
    frame->OnCommand(ID_WINDOW_NEW_EVENT_VIEW);
    // Both end in "sound": one folder more tells them apart, in every window.
    EXPECT_EQ(Captions(Windows()),
              (QStringList{QStringLiteral("Bnk_1.bnm (korvex/sound) - Resource View"),
                           QStringLiteral("Bnk_1.bnm (lunaris/sound) - Resource View"),
                           QStringLiteral("Bnk_1.bnm (lunaris/sound) - Event View")}));
    // Alone again, the bank is its file's name.
    frame->OnCommand(ID_FILE_CLOSE);
    DeleteClosedWindows();
    EXPECT_EQ(Captions(Windows()), QStringList{QStringLiteral("Bnk_1.bnm - Resource View")});
    EXPECT_EQ(Windows().value(0), pFirst);
}

TEST_F(MainFrame, NewEventViewWithoutABankWindowIsDisabledAndReportsTheFailedCommand) {
    EXPECT_FALSE(IsEnabled(ID_WINDOW_NEW_EVENT_VIEW));
    frame->OnIdleUpdateCmdUI();
    EXPECT_FALSE(frame->GetCommandAction(ID_WINDOW_NEW_EVENT_VIEW)->isEnabled());
    QTest::keyClick(frame, Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(prompts->prompts.isEmpty());

    // Reached all the same (a stale toolbar button), the command says it
    // failed and makes nothing.
    frame->OnCmdMsg(ID_WINDOW_NEW_EVENT_VIEW, CN_COMMAND, nullptr);
    ASSERT_EQ(prompts->prompts.size(), 1);
    EXPECT_EQ(prompts->prompts.at(0).text, QStringLiteral("Command failed."));
    EXPECT_EQ(prompts->prompts.at(0).type, static_cast<unsigned>(MB_OK));
    EXPECT_TRUE(Windows().isEmpty());
}

TEST_F(MainFrame, NewEventViewOpensOnTheActiveWindowsBank) {
    CKantelDoc* pFirst = OpenDemoBank();
    CKantelDoc* pSecond = Open(WriteDemoBank(QStringLiteral("second")));
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pSecond, nullptr);
    Windows().at(0)->MDIActivate();
    EXPECT_TRUE(IsEnabled(ID_WINDOW_NEW_EVENT_VIEW));
    frame->GetCommandAction(ID_WINDOW_NEW_EVENT_VIEW)->trigger(); // toolbar button
    ASSERT_NE(ActiveEventView(), nullptr);
    EXPECT_EQ(ActiveEventView()->GetDocument(), pFirst);
    EXPECT_EQ(Windows().size(), 3);
    EXPECT_EQ(app->m_pDocManager->GetOpenDocumentCount(), 2);
}

TEST_F(MainFrame, NewWindowsCascadeFromTheTopLeftAndStayInsideTheArea) {
    frame->resize(900, 640);
    QCoreApplication::processEvents();
    const QRect area = frame->GetMDIClient()->viewport()->rect();
    ASSERT_NE(OpenDemoBank(), nullptr);
    // Event views, further resource views and a second bank, enough for the
    // cascade to start again at the top left.
    for (int i = 0; i < 8; ++i) {
        frame->OnCommand(i % 3 == 2 ? ID_WINDOW_NEW : ID_WINDOW_NEW_EVENT_VIEW);
    }
    ASSERT_NE(Open(WriteDemoBank(QStringLiteral("second"))), nullptr);
    const QList<CMDIChildWnd*> windows = Windows();
    ASSERT_EQ(windows.size(), 10);
    EXPECT_EQ(windows.at(0)->geometry().topLeft(), area.topLeft());
    const int step = windows.at(1)->geometry().top() - windows.at(0)->geometry().top();
    EXPECT_GE(step, 16);
    int restarts = 0;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const QRect r = windows.at(i)->geometry();
        EXPECT_TRUE(area.contains(r)) << i << ": " << Text(r) << " outside " << Text(area);
        EXPECT_GE(r.width(), area.width() / 2) << i;
        EXPECT_GE(r.height(), area.height() / 2) << i;
        EXPECT_EQ(r.left() - area.left(), r.top() - area.top()) << i << ": off the diagonal";
        if (i > 0) {
            const QRect before = windows.at(i - 1)->geometry();
            if (r.topLeft() == area.topLeft()) {
                ++restarts;
            } else {
                EXPECT_EQ(r.topLeft(), before.topLeft() + QPoint(step, step)) << i;
            }
        }
    }
    EXPECT_GE(restarts, 1);

    // Once every window is gone, the next starts at the top left again.
    for (CMDIChildWnd* pWindow : windows) {
        pWindow->DestroyWindow();
    }
    DeleteClosedWindows();
    prompts->answers = QList<int>(4, IDNO);
    app->CloseAllDocuments(false);
    ASSERT_NE(OpenDemoBank(), nullptr);
    EXPECT_EQ(ActiveWindow()->geometry().topLeft(), area.topLeft());
}

TEST_F(MainFrame, WindowsStayReachableWhenTheFrameShrinks) {
    ASSERT_NE(OpenDemoBank(), nullptr);
    ActiveWindow()->setGeometry(40, 30, 1100, 700);
    frame->resize(900, 600);
    QCoreApplication::processEvents();
    // Scrolled to its far corner, the area shows the window's right edge.
    QMdiArea* area = frame->GetMDIClient();
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    EXPECT_LE(ActiveWindow()->geometry().right(), area->viewport()->width());
}

TEST_F(MainFrame, StoredPlacementOfTenNumbersIsAppliedWithoutItsShowCommand) {
    QuitEditor();
    WriteSettingsByHand("window_pos=0,3,-1,-1,-1,-1,100,80,740,560");
    StartEditor();
    EXPECT_EQ(frame->geometry(), QRect(100, 80, 640, 480));
    EXPECT_FALSE(frame->isMaximized()) << "the stored show command is not applied";
    EXPECT_TRUE(frame->isVisible());

    // Blanks before a number and text after the tenth are accepted.
    QuitEditor();
    WriteSettingsByHand("window_pos=\" 0, 1, -1, -1, -1, -1, 50, 60, 650, 500 and more\"");
    StartEditor();
    EXPECT_EQ(frame->geometry(), QRect(50, 60, 600, 440));
}

TEST_F(MainFrame, PlacementThatIsNotTenNumbersIsIgnoredAndReplacedAtClose) {
    for (const QByteArray& stored :
         {QByteArray("window_pos=0,1,-1,-1,-1,-1,100,80,900"),
          QByteArray("window_pos=0,1,a,b,-1,-1,100,80,900,700"), QByteArray("window_pos=")}) {
        QuitEditor();
        WriteSettingsByHand(stored);
        StartEditor();
        EXPECT_TRUE(ShowsDefaultPlacement()) << stored.toStdString();

        frame->setGeometry(30, 40, 500, 400);
        QuitEditor();
        EXPECT_EQ(StoredPlacement(), QStringLiteral("0,1,-1,-1,-1,-1,30,40,530,440"))
            << stored.toStdString();
        StartEditor();
    }
}

TEST_F(MainFrame, FirstStartUsesTheDefaultPlacementAndCloseWritesTenNumbers) {
    EXPECT_TRUE(ShowsDefaultPlacement());
    const QRect shown = frame->geometry();
    QuitEditor();
    const QStringList fields = StoredPlacement().split(u',');
    ASSERT_EQ(fields.size(), 10);
    for (const QString& field : fields) {
        bool ok = false;
        field.toInt(&ok);
        EXPECT_TRUE(ok) << field.toStdString();
    }
    EXPECT_EQ(fields.mid(0, 2), (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
    EXPECT_EQ(fields.mid(6),
              (QStringList{QString::number(shown.left()), QString::number(shown.top()),
                           QString::number(shown.left() + shown.width()),
                           QString::number(shown.top() + shown.height())}));
}

TEST_F(MainFrame, MaximizedFrameIsStoredWithFlagTwoAndStartsAtItsNormalPlaceNextTime) {
    frame->setGeometry(60, 50, 600, 400);
    frame->showMaximized();
    ASSERT_TRUE(frame->isMaximized());
    QuitEditor();
    EXPECT_EQ(StoredPlacement(), QStringLiteral("2,3,-1,-1,-1,-1,60,50,660,450"));

    StartEditor();
    EXPECT_FALSE(frame->isMaximized());
    EXPECT_EQ(frame->geometry(), QRect(60, 50, 600, 400));
}

TEST_F(MainFrame, PlacementAndBarStateAreWrittenEvenWhenTheCloseIsCancelled) {
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    pDoc->SetModifiedFlag(true);
    frame->setGeometry(70, 90, 640, 480);
    prompts->answers = {IDCANCEL};
    frame->OnCommand(ID_APP_EXIT);
    DeleteClosedWindows();
    ASSERT_FALSE(frame.isNull()) << "cancelled: the editor keeps running";
    EXPECT_EQ(prompts->Texts(), QStringList{QStringLiteral("Save changes to Bnk_1.bnm?")});
    EXPECT_EQ(Windows().size(), 1);
    EXPECT_EQ(StoredPlacement(), QStringLiteral("0,1,-1,-1,-1,-1,70,90,710,570"));
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    EXPECT_TRUE(settings.contains(QStringLiteral("BarState/Layout")));
}

// Drags the toolbar by its handle away from every dock area, so it floats.
void FloatToolBar(CToolBar& bar) {
    const QPoint handle(4, bar.height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, handle, bar.mapToGlobal(handle), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &press);
    const QPoint away(handle.x() + 300, handle.y() + 300);
    QMouseEvent move(QEvent::MouseMove, away, bar.mapToGlobal(away), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, away, bar.mapToGlobal(away), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &release);
}

TEST_F(MainFrame, ToolbarLeftFloatingIsFloatingAgainAtTheNextStart) {
    EXPECT_FALSE(frame->m_wndToolBar.isFloating());
    EXPECT_EQ(frame->toolBarArea(&frame->m_wndToolBar), Qt::TopToolBarArea);
    FloatToolBar(frame->m_wndToolBar);
    ASSERT_TRUE(frame->m_wndToolBar.isFloating()) << "the drag did not float the toolbar";
    Restart();
    EXPECT_TRUE(frame->m_wndToolBar.isFloating());
    EXPECT_TRUE(frame->m_wndToolBar.isVisible());

    // Hidden from the View menu, it stays hidden.
    frame->OnCommand(ID_VIEW_TOOLBAR);
    frame->OnCommand(ID_VIEW_STATUS_BAR);
    Restart();
    EXPECT_TRUE(frame->m_wndToolBar.isHidden());
    EXPECT_TRUE(frame->m_wndStatusBar.isHidden());
}

TEST_F(MainFrame, StopIsEnabledOnlyWhileASoundPlays) {
    QAction* pStop = frame->GetCommandAction(ID_SOUND_STOP);
    EXPECT_FALSE(IsEnabled(ID_SOUND_STOP));
    ASSERT_NE(OpenDemoBank(), nullptr);
    CListCtrl& list = ActiveResourceView()->GetListCtrl();
    EXPECT_FALSE(IsEnabled(ID_SOUND_STOP));

    // Play, then Stop from the Sound menu: the sound is stopped as the
    // platform's call stops one, with no file.
    ClickRow(list, 0);
    frame->OnCommand(ID_SOUND_PLAY);
    EXPECT_TRUE(pStop->isEnabled()) << "the toolbar button shows it at once";
    QMenu* pSound = OpenPopup(QStringLiteral("&Sound"));
    EXPECT_EQ(Items(pSound), (QStringList{QStringLiteral("&Play\tSpace"), QStringLiteral("&Stop"),
                                          QStringLiteral("-"), QStringLiteral("&Import Sound..."),
                                          QStringLiteral("&Export Sounds..."),
                                          QStringLiteral("Replace from &Folder...")}));
    Item(pSound, QStringLiteral("&Stop"))->trigger();
    ASSERT_EQ(sounds.sounds.size(), 2);
    EXPECT_EQ(sounds.sounds.at(1).path, QString());
    EXPECT_FALSE(sounds.IsPlaying());
    EXPECT_FALSE(pStop->isEnabled());
    EXPECT_EQ(Items(OpenPopup(QStringLiteral("&Sound"))),
              (QStringList{QStringLiteral("&Play\tSpace"), QStringLiteral("&Stop (off)"),
                           QStringLiteral("-"), QStringLiteral("&Import Sound..."),
                           QStringLiteral("&Export Sounds..."),
                           QStringLiteral("Replace from &Folder...")}));

    // Space plays with no command run; a sound that ends by itself turns
    // Stop off as well, once the event loop gets to it.
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([pStop] { return pStop->isEnabled(); }, 5000));
    sounds.Finish();
    EXPECT_TRUE(QTest::qWaitFor([pStop] { return !pStop->isEnabled(); }, 5000));

    // A sound that outlives its bank's window can still be stopped from
    // the toolbar.
    QTest::keyClick(&list, Qt::Key_Space);
    frame->OnCommand(ID_FILE_CLOSE);
    DeleteClosedWindows();
    ASSERT_EQ(ActiveWindow(), nullptr);
    EXPECT_TRUE(IsEnabled(ID_SOUND_STOP));
    pStop->trigger();
    EXPECT_FALSE(sounds.IsPlaying());
    EXPECT_FALSE(IsEnabled(ID_SOUND_STOP));
}

TEST_F(MainFrame, ToolbarAndStatusBarOfTheMainFrame) {
    QStringList buttons;
    for (QAction* pAction : frame->m_wndToolBar.actions()) {
        buttons.append(pAction->isSeparator() ? QStringLiteral("-")
                                              : QString::number(pAction->data().toInt()));
        if (!pAction->isSeparator()) {
            EXPECT_FALSE(pAction->icon().isNull()) << pAction->toolTip().toStdString();
        }
    }
    EXPECT_EQ(buttons, (QStringList{"57601", "57603", "57643", "57644", "-", "32786", "32787", "-",
                                    "32776", "32777", "-", "32772", "-", "57648", "32784", "-",
                                    "57650", "57651", "57652"}));
    EXPECT_EQ(frame->m_wndStatusBar.GetCount(), 4);
    EXPECT_EQ(frame->m_wndStatusBar.GetMessageText(), QStringLiteral("Ready"));
    EXPECT_EQ(frame->m_wndStatusBar.GetPaneText(2), QStringLiteral("NUM"));
    EXPECT_EQ(frame->GetCommandAction(ID_WINDOW_NEW_EVENT_VIEW)->statusTip(),
              QStringLiteral("Open another event window for the active document"));
}

} // namespace
