// Check Bank in the editor: the findings of the active bank in a list window,
// and a double-click that takes the user to the record.
#include "EditorTestKit.h"

#include "format/CBnmFormat.h"
#include "res/resource.h"
#include "views/CCheckView.h"

#include <QFile>

namespace {

class CheckBank : public EditorTest {
protected:
    // Runs File > Check Bank on the active window's bank; its list.
    CCheckView* CheckActiveBank() {
        QAction* pAction = frame->GetCommandAction(ID_FILE_CHECK_BANK);
        frame->UpdateCmdUI(pAction);
        if (!pAction->isEnabled()) {
            return nullptr;
        }
        pAction->trigger();
        return ViewOf<CCheckView>(ActiveWindow());
    }
};

TEST_F(CheckBank, ListsTheFindingsAndGoesToTheirRecords) {
    EXPECT_FALSE(IsEnabled(ID_FILE_CHECK_BANK)) << "no bank is open";
    // The demo's external Crash sample loses its wave file.
    const QString bank = WriteDemoBank();
    ASSERT_TRUE(QFile::remove(folder.FilePath(QStringLiteral("demo/crash.wav"))));
    CKantelDoc* pDoc = Open(bank);
    ASSERT_NE(pDoc, nullptr);
    CMDIChildWnd* pResources = ActiveWindow();

    CCheckView* pCheck = CheckActiveBank();
    ASSERT_NE(pCheck, nullptr);
    EXPECT_EQ(pCheck->GetDocument(), pDoc) << "the bank is not opened again";
    EXPECT_TRUE(
        ActiveWindow()->GetWindowText().startsWith(QStringLiteral("Bnk_1.bnm - Check Bank")));
    CListCtrl& list = pCheck->GetListCtrl();
    EXPECT_EQ(ColumnTitles(list),
              (QStringList{QStringLiteral("Record"), QStringLiteral("Finding")}));
    ASSERT_EQ(list.GetItemCount(), 4);
    // Targets first, then wave files.
    EXPECT_EQ(RowTexts(list, 2).at(0), QStringLiteral("event 10 (id 110)"));
    EXPECT_EQ(RowTexts(list, 3),
              (QStringList{QStringLiteral("resource 4 (id 5)"),
                           QStringLiteral("Its wave file crash.wav is not in the folder %1.")
                               .arg(folder.FilePath(QStringLiteral("demo")))}));

    // The sentence takes what the window has left, and all of it is the
    // cell's tool tip.
    ActiveWindow()->resize(1100, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.columnWidth(0) + list.columnWidth(1), list.viewport()->width());
    EXPECT_EQ(list.model()->index(3, 1).data(Qt::ToolTipRole).toString(), RowTexts(list, 3).at(1));

    // No event list yet: one opens, on the same bank, at the event.
    CMDIChildWnd* pCheckWindow = ActiveWindow();
    DoubleClickRow(list, 2);
    ASSERT_EQ(Windows().size(), 3);
    CEventView* pEvents = ActiveEventView();
    ASSERT_NE(pEvents, nullptr);
    EXPECT_EQ(pEvents->GetDocument(), pDoc);
    EXPECT_EQ(Selected(pEvents->GetListCtrl()), 10);

    // The resource list there is taken, at the resource.
    pCheckWindow->MDIActivate();
    DoubleClickRow(list, 3);
    EXPECT_EQ(ActiveWindow(), pResources);
    EXPECT_EQ(Selected(ActiveResourceView()->GetListCtrl()), 4);

    // And the event list that is there now, from the keyboard.
    pCheckWindow->MDIActivate();
    ClickRow(list, 0);
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(Windows().size(), 3);
    EXPECT_EQ(ActiveEventView(), pEvents);
    EXPECT_EQ(Selected(pEvents->GetListCtrl()), 8);
}

// The list follows the bank: a change that mends a finding takes it away.
TEST_F(CheckBank, AChangeOfTheBankChecksItAgain) {
    const QString bank = WriteDemoBank();
    ASSERT_TRUE(QFile::remove(folder.FilePath(QStringLiteral("demo/Bnk_1.bns"))));
    CKantelDoc* pDoc = Open(bank);
    ASSERT_NE(pDoc, nullptr);
    CCheckView* pCheck = CheckActiveBank();
    ASSERT_NE(pCheck, nullptr);
    ASSERT_EQ(pCheck->GetListCtrl().GetItemCount(), 4);
    // A finding about the bank as a whole has no record to go to.
    EXPECT_EQ(pCheck->GetFindings().back().kind, CBankChecker::Finding::Kind::NoNames);
    EXPECT_FALSE(pCheck->GoToRecord(3));
    EXPECT_EQ(Windows().size(), 2);

    const SoundEvent before = pDoc->Events()[10];
    SoundEvent after = before;
    after.param1 = CBnmFormat::MakeTarget(1, 3);
    ASSERT_TRUE(pDoc->ReplaceEvent(10, before, after));
    EXPECT_EQ(pCheck->GetListCtrl().GetItemCount(), 3);
    EXPECT_TRUE(ActiveWindow()->GetWindowText().endsWith(QStringLiteral(" *")));
}

} // namespace
