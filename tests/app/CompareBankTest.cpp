// File > Compare With in the editor: the other bank picked through the file
// dialog, its differences with the open bank in a list window that follows
// every edit, and a double-click or Enter that takes the user to the record.
#include "EditorTestKit.h"

#include "BankBuilder.h"
#include "ScriptedFilePicker.h"

#include "res/resource.h"
#include "views/CDiffView.h"

#include <QFile>

namespace {

constexpr int kVolumeInRecord = 20;
constexpr int kRecordSize = 92;

class CompareBank : public EditorTest {
protected:
    // Runs File > Compare With on the active window's bank, the picker
    // answering path; the new window's list, or nullptr.
    CDiffView* CompareActiveBankWith(const QString& path) {
        QAction* pAction = frame->GetCommandAction(ID_FILE_COMPARE);
        frame->UpdateCmdUI(pAction);
        if (!pAction->isEnabled()) {
            return nullptr;
        }
        picker.answers = {path};
        pAction->trigger();
        return ViewOf<CDiffView>(ActiveWindow());
    }

    // The demo bank in a folder of its own with Horn quieter and the last
    // resource cut from its table.
    QString WriteChangedDemo() {
        const QString path = WriteDemoBank(QStringLiteral("other"));
        QByteArray bytes = folder.Read(QStringLiteral("other/Bnk_1.bnm"));
        const quint32 table = BankBuilder::Get32(bytes, 12);
        bytes[static_cast<qsizetype>(table + 2 * kRecordSize + kVolumeInRecord)] = 64;
        BankBuilder::Put32(bytes, 16, BankBuilder::Get32(bytes, 16) - 1);
        folder.Write(QStringLiteral("other/Bnk_1.bnm"), bytes);
        return path;
    }

    static int RowOf(const CListCtrl& list, const QString& record, const QString& text) {
        for (int row = 0; row < list.GetItemCount(); ++row) {
            if (RowTexts(list, row) == QStringList{record, text}) {
                return row;
            }
        }
        return -1;
    }

    ScriptedFilePicker picker;
};

TEST_F(CompareBank, ListsTheDifferencesAndGoesToTheirRecords) {
    EXPECT_FALSE(IsEnabled(ID_FILE_COMPARE)) << "no bank is open";
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    CMDIChildWnd* pResources = ActiveWindow();
    const QString other = WriteChangedDemo();

    CDiffView* pDiff = CompareActiveBankWith(other);
    ASSERT_NE(pDiff, nullptr);
    ASSERT_EQ(picker.requests.size(), 1);
    EXPECT_TRUE(picker.requests[0].bOpen);
    EXPECT_EQ(picker.requests[0].initialDir, folder.FilePath(QStringLiteral("demo")));
    EXPECT_EQ(pDiff->GetDocument(), pDoc) << "the bank is not opened again";
    CListCtrl& list = pDiff->GetListCtrl();
    EXPECT_EQ(ColumnTitles(list), (QStringList{"Record", "Difference"}));
    // The open bank's banked samples now sound from the wave files opening
    // wrote, which hold what the other bank holds: no sound differs.
    for (const CBankComparer::Difference& d : pDiff->GetDifferences()) {
        EXPECT_NE(d.field, QStringLiteral("sound")) << qPrintable(d.label + ": " + d.text);
    }
    const int volume = RowOf(list, "resource 2 (Horn)", "volume 100 -> 64");
    ASSERT_GE(volume, 0);
    const int onlyHere = RowOf(list, "resource 13 (MenuMusic)",
                               "only in " + folder.FilePath(QStringLiteral("demo/Bnk_1.bnm")));
    ASSERT_GE(onlyHere, 0);
    // Opening gave Horn a wave file name; the other bank's record has none.
    EXPECT_GE(RowOf(list, "resource 2 (Horn)", "fileName \"Horn.wav\" -> \"\""), 0);
    EXPECT_TRUE(ActiveWindow()->GetWindowText().startsWith(
        QStringLiteral("Bnk_1.bnm - %1 Differences with %2").arg(list.GetItemCount()).arg(other)));

    // To the resource list that is there, at the resource.
    CMDIChildWnd* pDiffWindow = ActiveWindow();
    DoubleClickRow(list, volume);
    EXPECT_EQ(ActiveWindow(), pResources);
    EXPECT_EQ(Selected(ActiveResourceView()->GetListCtrl()), 2);
    // A record the other bank lacks is still this bank's.
    pDiffWindow->MDIActivate();
    ClickRow(list, onlyHere);
    QTest::keyClick(&list, Qt::Key_Return);
    EXPECT_EQ(ActiveWindow(), pResources);
    EXPECT_EQ(Selected(ActiveResourceView()->GetListCtrl()), 13);

    // An edit that makes Horn as quiet as in the other bank takes its row.
    const int rows = list.GetItemCount();
    const SoundResource before = pDoc->Resources()[2];
    SoundResource after = before;
    after.volume = 64;
    ASSERT_TRUE(pDoc->ReplaceResource(2, before, after));
    EXPECT_EQ(list.GetItemCount(), rows - 1);
    EXPECT_LT(RowOf(list, "resource 2 (Horn)", "volume 100 -> 64"), 0);
    EXPECT_TRUE(pDiffWindow->GetWindowText().endsWith(QStringLiteral(" *")));
}

TEST_F(CompareBank, RecordsOnlyTheOtherBankHasAndTheHeaderGoNowhere) {
    CKantelDoc* pDoc = Open(WriteChangedDemo());
    ASSERT_NE(pDoc, nullptr);
    CDiffView* pDiff = CompareActiveBankWith(WriteDemoBank());
    ASSERT_NE(pDiff, nullptr);
    const std::vector<CBankComparer::Difference>& differences = pDiff->GetDifferences();
    const int windows = static_cast<int>(Windows().size());
    for (size_t row = 0; row < differences.size(); ++row) {
        const bool nowhere = differences[row].record == CBankComparer::Difference::Record::Header ||
                             differences[row].index >= static_cast<int>(pDoc->Resources().size());
        if (nowhere) {
            EXPECT_FALSE(pDiff->GoToRecord(static_cast<int>(row)))
                << qPrintable(differences[row].label);
        }
    }
    EXPECT_EQ(Windows().size(), windows) << "no list was opened for them";
}

TEST_F(CompareBank, AFileThatIsNoBankIsToldAndCancelDoesNothing) {
    const QString bank = WriteDemoBank();
    ASSERT_NE(Open(bank), nullptr);
    const int windows = static_cast<int>(Windows().size());
    const QString names = folder.FilePath(QStringLiteral("demo/Bnk_1.bns"));
    EXPECT_EQ(CompareActiveBankWith(names), nullptr);
    ASSERT_EQ(prompts->prompts.size(), 1);
    EXPECT_TRUE(prompts->prompts[0].text.startsWith(names)) << qPrintable(prompts->prompts[0].text);
    EXPECT_EQ(prompts->prompts[0].type & MB_ICONMASK, static_cast<unsigned>(MB_ICONHAND));
    EXPECT_EQ(CompareActiveBankWith(QString()), nullptr);
    EXPECT_EQ(prompts->prompts.size(), 1);
    EXPECT_EQ(Windows().size(), windows);
}

} // namespace
