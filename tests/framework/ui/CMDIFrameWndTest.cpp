#include "MdiTestKit.h"
#include "ScriptedKeyboardLocks.h"

#include "framework/ui/CProgressDialogSink.h"
#include "framework/ui/CRecentFileList.h"

#include <QLabel>
#include <QMimeData>
#include <QSettings>
#include <QStyleOptionTitleBar>
#include <QTest>
#include <QToolButton>
#include <QUrl>

namespace {

const QStringList kNoDocumentMenus{QStringLiteral("&File"), QStringLiteral("&Game"),
                                   QStringLiteral("&View"), QStringLiteral("&Help")};
const QStringList kDocumentMenus{QStringLiteral("&File"),  QStringLiteral("&Edit"),
                                 QStringLiteral("&Sound"), QStringLiteral("&Game"),
                                 QStringLiteral("&View"),  QStringLiteral("&Window"),
                                 QStringLiteral("&Help")};

class MDIFrame : public MdiTest {
protected:
    // The window list at the end of the Window pop-up.
    QStringList WindowList() {
        QMenu* pWindow = OpenPopup(QStringLiteral("&Window"));
        if (pWindow == nullptr) {
            return {};
        }
        const QStringList items = Items(pWindow);
        const qsizetype last = items.indexOf(QStringLiteral("&Arrange Icons"));
        return items.mid(last + 1);
    }

    void CloseWindow(CMDIChildWnd* pWindow) {
        pWindow->close();
        DeleteClosedWindows();
    }
};

TEST_F(MDIFrame, MenuBarSwitchesWithTheFirstAndLastDocumentWindow) {
    EXPECT_EQ(MenuBarTitles(), kNoDocumentMenus);
    EXPECT_EQ(frame->GetMenuResourceId(), IDR_MAINFRAME);

    RowsDocument* pDoc = Open(QStringLiteral("a.txt"));
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(MenuBarTitles(), kDocumentMenus);

    // A second window of the document (New Window, Ctrl+R) and closing the
    // first leave the document menu.
    QTest::keyClick(&ActiveView()->GetListCtrl(), Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(frame->GetChildFrames().size(), 2);
    CloseWindow(frame->GetChildFrames().first());
    EXPECT_EQ(MenuBarTitles(), kDocumentMenus);

    CloseWindow(frame->GetChildFrames().first());
    EXPECT_TRUE(frame->GetChildFrames().isEmpty());
    EXPECT_EQ(MenuBarTitles(), kNoDocumentMenus);
    EXPECT_EQ(g_closedDocuments, 1);
}

TEST_F(MDIFrame, FileMenusOfBothMenuBars) {
    EXPECT_EQ(Items(OpenPopup(QStringLiteral("&File"))),
              (QStringList{QStringLiteral("&Open...\tCtrl+O"), QStringLiteral("-"),
                           QStringLiteral("Recent File (off)"), QStringLiteral("-"),
                           QStringLiteral("E&xit")}));
    Open(QStringLiteral("a.txt"));
    const QString path = folder.FilePath(QStringLiteral("a.txt"));
    EXPECT_EQ(Items(OpenPopup(QStringLiteral("&File"))),
              (QStringList{QStringLiteral("&Open...\tCtrl+O"), QStringLiteral("&Close"),
                           QStringLiteral("&Save\tCtrl+S"), QStringLiteral("Save &As..."),
                           QStringLiteral("-"),
                           QStringLiteral("&1 ") + CRecentFileList::AbbreviateName(path, 30),
                           QStringLiteral("-"), QStringLiteral("E&xit")}));
}

TEST_F(MDIFrame, WindowMenuListsTheOpenWindowsWithTheirCaptions) {
    Open(QStringLiteral("a.txt"));
    Open(QStringLiteral("R&B.txt"));
    EXPECT_EQ(WindowList(), (QStringList{QStringLiteral("-"), QStringLiteral("&1 a.txt - Rows"),
                                         QStringLiteral("&2 R&&B.txt - Rows (checked)")}));

    // Choosing an entry activates that window.
    QMenu* pWindow = OpenPopup(QStringLiteral("&Window"));
    pWindow->actions().at(pWindow->actions().size() - 2)->trigger();
    EXPECT_EQ(frame->MDIGetActive(), frame->GetChildFrames().first());
    EXPECT_EQ(WindowList().value(1), QStringLiteral("&1 a.txt - Rows (checked)"));

    // The view's new caption shows at the next opening.
    RowsDocument* pDoc = ActiveView()->GetDocument();
    pDoc->SetModifiedFlag(true);
    pDoc->UpdateAllViews(nullptr);
    EXPECT_EQ(WindowList().value(1), QStringLiteral("&1 a.txt - Rows * (checked)"));
}

TEST_F(MDIFrame, WindowMenuNumbersOnlyTheFirstNineWithMnemonics) {
    for (int i = 0; i < 10; ++i) {
        Open(QStringLiteral("f%1.txt").arg(i));
    }
    const QStringList list = WindowList();
    ASSERT_EQ(list.size(), 11);
    EXPECT_EQ(list.at(9), QStringLiteral("&9 f8.txt - Rows"));
    EXPECT_EQ(list.at(10), QStringLiteral("10 f9.txt - Rows (checked)"));
}

TEST_F(MDIFrame, NewWindowShowsTheActiveDocumentAgainAndAllViewsRefresh) {
    RowsDocument* pDoc = Open(QStringLiteral("a.txt"));
    frame->OnCommand(ID_WINDOW_NEW);
    ASSERT_EQ(pDoc->GetViews().size(), 2);
    EXPECT_EQ(frame->GetChildFrames().size(), 2);

    pDoc->rows.append(QStringLiteral("d"));
    pDoc->SetModifiedFlag(true);
    pDoc->UpdateAllViews(nullptr);
    for (CMDIChildWnd* pWindow : frame->GetChildFrames()) {
        auto* pView = dynamic_cast<RowsView*>(pWindow->GetActiveView());
        EXPECT_EQ(pView->GetListCtrl().GetItemCount(), 4);
        EXPECT_EQ(pWindow->GetWindowText(), QStringLiteral("a.txt - Rows *"));
    }
}

TEST_F(MDIFrame, NewWindowWithoutActiveDocumentReportsTheFailedCommand) {
    // The command is disabled then; the handler itself still refuses.
    frame->OnCmdMsg(ID_WINDOW_NEW, CN_COMMAND, nullptr);
    EXPECT_EQ(prompts.Texts(), QStringList{QStringLiteral("Command failed.")});
    EXPECT_TRUE(frame->GetChildFrames().isEmpty());
}

TEST_F(MDIFrame, ClosingTheLastWindowOfAModifiedDocumentAsksToSave) {
    RowsDocument* pDoc = Open(QStringLiteral("a.txt"));
    frame->OnCommand(ID_WINDOW_NEW);
    pDoc->rows = QStringList{QStringLiteral("changed")};
    pDoc->SetModifiedFlag(true);

    // Not the last window: closes without a question.
    CloseWindow(frame->GetChildFrames().first());
    EXPECT_TRUE(prompts.prompts.isEmpty());
    ASSERT_EQ(frame->GetChildFrames().size(), 1);

    // Cancel keeps the window and the document.
    prompts.answers = {IDCANCEL};
    CloseWindow(frame->GetChildFrames().first());
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts.at(0).text, QStringLiteral("Save changes to a.txt?"));
    EXPECT_EQ(prompts.prompts.at(0).type & MB_TYPEMASK, MB_YESNOCANCEL);
    EXPECT_EQ(frame->GetChildFrames().size(), 1);
    EXPECT_EQ(g_closedDocuments, 0);

    // Yes saves, then closes.
    prompts.answers = {IDYES};
    CloseWindow(frame->GetChildFrames().first());
    EXPECT_TRUE(frame->GetChildFrames().isEmpty());
    EXPECT_EQ(g_closedDocuments, 1);
    EXPECT_EQ(folder.Read(QStringLiteral("a.txt")), QByteArray("changed"));
}

// The middle of a document window's close button, in its own coordinates.
QPoint CloseButtonCentre(CMDIChildWnd* pWindow) {
    QStyleOptionTitleBar options;
    options.initFrom(pWindow);
    options.subControls = QStyle::SC_All;
    options.titleBarFlags = pWindow->windowFlags();
    options.titleBarState = pWindow->windowState();
    options.text = pWindow->windowTitle();
    options.icon = pWindow->windowIcon();
    const int height = pWindow->style()->pixelMetric(QStyle::PM_TitleBarHeight, &options, pWindow);
    options.rect = QRect(0, 0, pWindow->width(), height);
    return pWindow->style()
        ->subControlRect(QStyle::CC_TitleBar, &options, QStyle::SC_TitleBarCloseButton, pWindow)
        .center();
}

TEST_F(MDIFrame, EveryClickOnTheCloseButtonAsksAgainAfterACancel) {
    RowsDocument* pDoc = Open(QStringLiteral("a.txt"));
    pDoc->SetModifiedFlag(true);
    CMDIChildWnd* pWindow = frame->GetChildFrames().first();
    const QPoint button = CloseButtonCentre(pWindow);
    QTest::mouseMove(pWindow, button);
    for (int click = 1; click <= 3; ++click) {
        prompts.answers = {IDCANCEL};
        QTest::mouseClick(pWindow, Qt::LeftButton, Qt::NoModifier, button);
        ASSERT_EQ(prompts.prompts.size(), click) << "click " << click << " was ignored";
        // The question's box takes the pointer while it is up and gives it
        // back when it goes; the pointer has not moved.
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(pWindow, &leave);
        const QPointF at(button);
        QEnterEvent enter(at, at, pWindow->mapToGlobal(at));
        QCoreApplication::sendEvent(pWindow, &enter);
    }
    EXPECT_EQ(frame->GetChildFrames().size(), 1);
    prompts.answers = {IDNO};
    QTest::mouseClick(pWindow, Qt::LeftButton, Qt::NoModifier, button);
    DeleteClosedWindows();
    EXPECT_TRUE(frame->GetChildFrames().isEmpty());
}

TEST_F(MDIFrame, AnsweringNoClosesWithoutSaving) {
    RowsDocument* pDoc = Open(QStringLiteral("a.txt"), QStringLiteral("old"));
    pDoc->rows = QStringList{QStringLiteral("changed")};
    pDoc->SetModifiedFlag(true);
    prompts.answers = {IDNO};
    frame->OnCommand(ID_FILE_CLOSE);
    DeleteClosedWindows();
    EXPECT_EQ(prompts.Texts(), QStringList{QStringLiteral("Save changes to a.txt?")});
    EXPECT_TRUE(frame->GetChildFrames().isEmpty());
    EXPECT_EQ(folder.Read(QStringLiteral("a.txt")), QByteArray("old"));
}

TEST_F(MDIFrame, ClosingTheMainFrameAsksAboutEachModifiedDocumentAndMayBeCancelled) {
    RowsDocument* pA = Open(QStringLiteral("a.txt"));
    Open(QStringLiteral("b.txt"));
    RowsDocument* pC = Open(QStringLiteral("c.txt"));
    pA->SetModifiedFlag(true);
    pC->SetModifiedFlag(true);

    prompts.answers = {IDNO, IDCANCEL};
    frame->OnCommand(ID_APP_EXIT);
    DeleteClosedWindows();
    ASSERT_FALSE(frame.isNull());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(prompts.Texts(), (QStringList{QStringLiteral("Save changes to a.txt?"),
                                            QStringLiteral("Save changes to c.txt?")}));
    EXPECT_EQ(frame->GetChildFrames().size(), 3);
    // The frame saved its bars before it asked.
    QSettings settings(folder.FilePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    EXPECT_TRUE(settings.contains(QStringLiteral("BarState/Layout")));

    prompts.answers = {IDNO, IDNO};
    frame->OnCommand(ID_APP_EXIT);
    DeleteClosedWindows();
    EXPECT_TRUE(frame.isNull());
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_EQ(g_closedDocuments, 3);
}

TEST_F(MDIFrame, ToolbarHoldsTheCommandsOfToolbar128) {
    QStringList buttons;
    for (QAction* pAction : frame->m_wndToolBar.actions()) {
        buttons.append(pAction->isSeparator() ? QStringLiteral("-") : pAction->toolTip());
    }
    EXPECT_EQ(buttons,
              (QStringList{QStringLiteral("Open"), QStringLiteral("Save"), QStringLiteral("-"),
                           QStringLiteral("Korvex Default"), QStringLiteral("Lunaris Default"),
                           QStringLiteral("-"), QStringLiteral("Play"), QStringLiteral("-"),
                           QStringLiteral("Properties"), QStringLiteral("-"),
                           QStringLiteral("New Resource View"), QStringLiteral("New Event View"),
                           QStringLiteral("-"), QStringLiteral("Cascade Windows"),
                           QStringLiteral("Tile Windows"), QStringLiteral("Tile Windows")}));
    EXPECT_EQ(frame->m_wndToolBar.iconSize(), QSize(16, 15));
    for (QAction* pAction : frame->m_wndToolBar.actions()) {
        if (!pAction->isSeparator()) {
            EXPECT_FALSE(pAction->icon().isNull()) << pAction->toolTip().toStdString();
        }
    }

    // With no document: only Open and the two games can be used.
    frame->OnIdleUpdateCmdUI();
    QStringList enabled;
    for (QAction* pAction : frame->m_wndToolBar.actions()) {
        if (!pAction->isSeparator() && pAction->isEnabled()) {
            enabled.append(pAction->toolTip());
        }
    }
    EXPECT_EQ(enabled, (QStringList{QStringLiteral("Open"), QStringLiteral("Korvex Default"),
                                    QStringLiteral("Lunaris Default")}));
}

TEST_F(MDIFrame, StatusBarShowsThePromptOfTheHighlightedCommandAndReadyOtherwise) {
    EXPECT_EQ(frame->m_wndStatusBar.GetMessageText(), QStringLiteral("Ready"));
    EXPECT_EQ(frame->m_wndStatusBar.GetCount(), 4);
    EXPECT_EQ(frame->m_wndStatusBar.GetPaneText(1), QStringLiteral("CAP"));
    EXPECT_EQ(frame->m_wndStatusBar.GetPaneText(3), QStringLiteral("SCRL"));

    QMenu* pFile = OpenPopup(QStringLiteral("&File"));
    // Qt sends a highlighted item's prompt to the widget that opened its menu.
    pFile->actions().at(0)->showStatusText(frame->menuBar());
    EXPECT_EQ(frame->m_wndStatusBar.GetMessageText(), QStringLiteral("Open an existing document"));
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(frame, &leave);
    EXPECT_EQ(frame->m_wndStatusBar.GetMessageText(), QStringLiteral("Ready"));

    // A toolbar button gives its prompt while the pointer rests on it.
    QWidget* pButton = frame->m_wndToolBar.widgetForAction(frame->GetCommandAction(ID_GAME_KORVEX));
    ASSERT_NE(pButton, nullptr);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), pButton->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(pButton, &enter);
    EXPECT_EQ(frame->m_wndStatusBar.GetMessageText(),
              QStringLiteral("Use Korvex path as default path"));
}

TEST_F(MDIFrame, TitleNamesTheActiveDocument) {
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kantel"));
    Open(QStringLiteral("a.txt"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kantel - a.txt"));
    frame->OnCommand(ID_FILE_CLOSE);
    DeleteClosedWindows();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Kantel"));
}

TEST_F(MDIFrame, CaptionsAreShownAsWritten) {
    // "[*]" would be Qt's modified mark.
    Open(QStringLiteral("x[*].txt"));
    EXPECT_EQ(frame->MDIGetActive()->GetWindowText(), QStringLiteral("x[*].txt - Rows"));
    EXPECT_EQ(frame->MDIGetActive()->windowTitle(), QStringLiteral("x[*][*].txt - Rows"));
}

TEST_F(MDIFrame, CascadeAndNextWindow) {
    Open(QStringLiteral("a.txt"));
    Open(QStringLiteral("b.txt"));
    frame->OnCommand(ID_WINDOW_CASCADE);
    const QList<CMDIChildWnd*> windows = frame->GetChildFrames();
    EXPECT_NE(windows.at(0)->pos(), windows.at(1)->pos());

    EXPECT_EQ(frame->MDIGetActive(), windows.at(1));
    QTest::keyClick(&ActiveView()->GetListCtrl(), Qt::Key_F6);
    EXPECT_EQ(frame->MDIGetActive(), windows.at(0));
    QTest::keyClick(&ActiveView()->GetListCtrl(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(frame->MDIGetActive(), windows.at(1));
}

TEST_F(MDIFrame, CascadeKeepsTheWindowsLargeAndStaggeredWithTheActiveInFront) {
    for (int i = 0; i < 3; ++i) {
        Open(QStringLiteral("f%1.txt").arg(i));
    }
    const QList<CMDIChildWnd*> windows = frame->GetChildFrames();
    windows.at(1)->MDIActivate();
    frame->OnCommand(ID_WINDOW_CASCADE);
    const QSize area = frame->GetMDIClient()->viewport()->size();
    // The active window goes last, in front; the others keep their order.
    const QList<CMDIChildWnd*> order{windows.at(0), windows.at(2), windows.at(1)};
    for (int i = 0; i < 3; ++i) {
        const QRect r = order.at(i)->geometry();
        EXPECT_GT(r.width(), area.width() / 2) << i;
        EXPECT_GT(r.height(), area.height() / 2) << i;
        EXPECT_EQ(r.size(), order.at(0)->size());
        EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(r)) << i;
        if (i > 0) {
            const QPoint step = r.topLeft() - order.at(i - 1)->geometry().topLeft();
            EXPECT_GT(step.x(), 0);
            EXPECT_EQ(step.x(), step.y());
        }
    }
    EXPECT_EQ(frame->MDIGetActive(), windows.at(1));

    // Many windows start again at the top left rather than shrink.
    for (int i = 3; i < 40; ++i) {
        Open(QStringLiteral("f%1.txt").arg(i));
    }
    frame->OnCommand(ID_WINDOW_CASCADE);
    for (CMDIChildWnd* pWindow : frame->GetChildFrames()) {
        EXPECT_GE(pWindow->width(), area.width() / 2);
        EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(pWindow->geometry()));
    }
}

TEST_F(MDIFrame, TileMakesAGridFromFourWindows) {
    for (int i = 0; i < 4; ++i) {
        Open(QStringLiteral("f%1.txt").arg(i));
    }
    frame->MDITile(false);
    const QSize area = frame->GetMDIClient()->viewport()->size();
    QRegion covered;
    for (CMDIChildWnd* pWindow : frame->GetChildFrames()) {
        EXPECT_LT(pWindow->width(), area.width());
        EXPECT_LT(pWindow->height(), area.height());
        EXPECT_FALSE(covered.intersects(pWindow->geometry())) << "tiles never overlap";
        covered += pWindow->geometry();
    }
    EXPECT_EQ(covered, QRegion(QRect(QPoint(0, 0), area)));
}

TEST_F(MDIFrame, DroppedFilesAreOpened) {
    const QString a = WriteRows(QStringLiteral("a.txt"), QStringLiteral("x"));
    const QString b = WriteRows(QStringLiteral("b.txt"), QStringLiteral("y"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame, &drop);

    QStringList titles;
    for (CMDIChildWnd* pWindow : frame->GetChildFrames()) {
        titles.append(pWindow->GetActiveDocument()->GetTitle());
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
}

TEST_F(MDIFrame, OnlyLocalFilesOfADragAreTaken) {
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/Bnk_1.bnm"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QCoreApplication::sendEvent(frame, &refused);
    EXPECT_FALSE(refused.isAccepted()) << "a drag of web links only is refused";

    const QString a = WriteRows(QStringLiteral("a.txt"), QStringLiteral("x"));
    QMimeData mixed;
    mixed.setUrls({QUrl(QStringLiteral("https://example.org/x.bnm")), QUrl::fromLocalFile(a)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mixed, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mixed, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame, &drop);
    ASSERT_EQ(frame->GetChildFrames().size(), 1);
    EXPECT_EQ(frame->GetChildFrames().front()->GetActiveDocument()->GetTitle(),
              QStringLiteral("a.txt"));

    frame->DragAcceptFiles(false);
    QDragEnterEvent again(QPoint(10, 10), Qt::CopyAction, &mixed, Qt::LeftButton, Qt::NoModifier);
    again.ignore();
    QCoreApplication::sendEvent(frame, &again);
    EXPECT_FALSE(again.isAccepted());
    QDropEvent ignored(QPointF(10, 10), Qt::CopyAction, &mixed, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame, &ignored);
    EXPECT_EQ(frame->GetChildFrames().size(), 1) << "a frame that takes no files opens none";
}

TEST_F(MDIFrame, FramePlacementRoundTrips) {
    frame->setGeometry(100, 80, 640, 480);
    WINDOWPLACEMENT placement{};
    ASSERT_TRUE(frame->GetWindowPlacement(&placement));
    EXPECT_EQ(placement.length, 44U);
    EXPECT_EQ(placement.showCmd, static_cast<unsigned>(SW_SHOWNORMAL));
    EXPECT_EQ(placement.rcNormalPosition.left, 100);
    EXPECT_EQ(placement.rcNormalPosition.top, 80);
    EXPECT_EQ(placement.rcNormalPosition.right, 740);
    EXPECT_EQ(placement.rcNormalPosition.bottom, 560);

    // Applied hidden, as the main frame does before it is first shown.
    placement.rcNormalPosition = RECT{50, 60, 850, 660};
    placement.showCmd = SW_HIDE;
    frame->hide();
    ASSERT_TRUE(frame->SetWindowPlacement(&placement));
    EXPECT_FALSE(frame->isVisible());
    frame->ShowWindow(SW_SHOWNORMAL);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->geometry(), QRect(50, 60, 800, 600));
}

// Drags the toolbar by its handle (at its left end, a few pixels in) away
// from every dock area; it floats.
void FloatToolBar(CToolBar& bar) {
    const QPoint handle(8, bar.height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, handle, bar.mapToGlobal(handle), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &press);
    const QPoint away(handle.x() + 300, handle.y() + 400);
    QMouseEvent move(QEvent::MouseMove, away, bar.mapToGlobal(away), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, away, bar.mapToGlobal(away), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&bar, &release);
}

TEST_F(MDIFrame, BarStateBringsBackAFloatingToolbarAndAHiddenStatusBar) {
    FloatToolBar(frame->m_wndToolBar);
    ASSERT_TRUE(frame->m_wndToolBar.isFloating()) << "the drag did not float the toolbar";
    frame->OnCommand(ID_VIEW_STATUS_BAR);
    ASSERT_TRUE(frame->m_wndStatusBar.isHidden());
    frame->close();
    DeleteClosedWindows();
    ASSERT_TRUE(frame.isNull());

    StartFrame();
    EXPECT_TRUE(frame->m_wndToolBar.isFloating());
    EXPECT_FALSE(frame->m_wndToolBar.isHidden());
    EXPECT_TRUE(frame->m_wndStatusBar.isHidden());
}

TEST_F(MDIFrame, KeyLockPanesShowTheirTextWhileTheLockIsOn) {
    ScriptedKeyboardLocks locks;
    CStatusBar& bar = frame->m_wndStatusBar;
    const auto shown = [&] {
        QStringList texts;
        for (int i = 1; i < bar.GetCount(); ++i) {
            texts.append(bar.GetShownText(i));
        }
        return texts;
    };
    // What the user sees is the labels, so look at them too.
    const auto labels = [&] {
        QStringList texts;
        for (QLabel* pLabel : bar.findChildren<QLabel*>()) {
            if (pLabel->isVisible() && pLabel->isEnabled() && !pLabel->text().isEmpty() &&
                pLabel->text() != QStringLiteral("Ready")) {
                texts.append(pLabel->text());
            }
        }
        texts.sort();
        return texts;
    };
    bar.UpdateKeyIndicators();
    EXPECT_EQ(shown(), (QStringList{QString(), QString(), QString()}));

    // Caps Lock pressed in a list: the pane lights at once.
    locks.on[CKeyboardLocks::CapsLock] = true;
    ASSERT_NE(Open(QStringLiteral("a.txt")), nullptr);
    QTest::keyClick(ActiveView(), Qt::Key_CapsLock);
    EXPECT_EQ(shown(), (QStringList{QStringLiteral("CAP"), QString(), QString()}));
    EXPECT_EQ(labels(), QStringList{QStringLiteral("CAP")});

    // Num and Scroll Lock switched while another program was active.
    locks.on = {false, true, true};
    QApplicationStateChangeEvent active(Qt::ApplicationActive);
    QCoreApplication::sendEvent(qApp, &active);
    EXPECT_EQ(shown(), (QStringList{QString(), QStringLiteral("NUM"), QStringLiteral("SCRL")}));
    EXPECT_EQ(labels(), (QStringList{QStringLiteral("NUM"), QStringLiteral("SCRL")}));
    // The texts themselves stay.
    EXPECT_EQ(bar.GetPaneText(1), QStringLiteral("CAP"));
}

TEST_F(MDIFrame, BarStateBringsBackAHiddenToolbarDocked) {
    frame->OnCommand(ID_VIEW_TOOLBAR);
    frame->close();
    DeleteClosedWindows();
    StartFrame();
    EXPECT_TRUE(frame->m_wndToolBar.isHidden());
    EXPECT_FALSE(frame->m_wndToolBar.isFloating());
    EXPECT_FALSE(frame->m_wndStatusBar.isHidden());
}

TEST_F(MDIFrame, ToolbarDocksOnlyWhereBarAndFrameAllow) {
    EXPECT_EQ(frame->m_wndToolBar.allowedAreas(), Qt::AllToolBarAreas);
    EXPECT_TRUE(frame->m_wndToolBar.isFloatable());
    frame->EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
    EXPECT_EQ(frame->m_wndToolBar.allowedAreas(), Qt::TopToolBarArea | Qt::BottomToolBarArea);
    frame->m_wndToolBar.EnableDocking(0);
    EXPECT_FALSE(frame->m_wndToolBar.isMovable());
    EXPECT_FALSE(frame->m_wndToolBar.isFloatable());
}

TEST_F(MDIFrame, CloseWaitsWhileWorkIsInProgress) {
    CProgressDialogSink progress;
    progress.Begin(QStringLiteral("Writing"), 10);
    frame->close();
    EXPECT_FALSE(frame.isNull());
    EXPECT_TRUE(frame->isVisible());
    progress.End();
    frame->close();
    DeleteClosedWindows();
    EXPECT_TRUE(frame.isNull());
}

} // namespace
