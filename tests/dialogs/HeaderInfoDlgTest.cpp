#include "BankBuilder.h"
#include "DialogDriver.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "ScriptedModalRunner.h"
#include "TestFolder.h"

#include "dialogs/CHeaderInfoDlg.h"
#include "doc/CKantelDoc.h"
#include "doc/IHeaderViewer.h"
#include "framework/core/AfxMessageBox.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kBoxes[] = {IDC_FILE_LENGTH,    IDC_SAMPLE_DATA_OFFSET,
                          IDC_EVENT_COUNT,    IDC_EVENT_TABLE_OFFSET,
                          IDC_RESOURCE_COUNT, IDC_RESOURCE_TABLE_OFFSET};

// The Header command as the editor wires it: the figures in the dialog.
class DialogViewer final : public IHeaderViewer {
public:
    void Show(const BnmHeaderFigures& figures) override { CHeaderInfoDlg::ShowFigures(figures); }
};

class HeaderInfoDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::EnsureApplication();
        BankBuilder b;
        b.bank = 2;
        b.AddEvent(1, SoundEvent::kTypePlay);
        b.AddEvent(2, SoundEvent::kTypeStop);
        b.AddEvent(3, SoundEvent::kTypeEffect);
        b.AddSample(12, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
        b.AddCdTrack(13, 4);
        folder.Write(QStringLiteral("Bnk_2.bnm"), b.Build());
        ASSERT_TRUE(doc.LoadBankAndNames(folder.FilePath(QStringLiteral("Bnk_2.bnm"))));
    }

    QByteArray Image() const { return doc.GetImage().toByteArray(); }

    TestFolder folder;
    RecordingPromptSink prompts;
    ScriptedModalRunner runner;
    DialogViewer viewer;
    CSeam<IHeaderViewer>::Guard viewerGuard{&viewer};
    CKantelDoc doc;
};

TEST_F(HeaderInfoDlgTest, HeaderCommandShowsTheSixFigures) {
    QStringList shown;
    QList<bool> readOnly;
    runner.scripts << [&](QDialog& d) {
        for (int id : kBoxes) {
            auto* box = DialogDriver::Control<QLineEdit>(static_cast<CDialog&>(d), id);
            shown << box->text();
            readOnly << box->isReadOnly();
        }
    };
    doc.OnViewHeader();
    EXPECT_EQ(runner.titles, QStringList{QStringLiteral("Header Info")});
    // Offsets and length as ten characters, counts as plain decimals.
    EXPECT_EQ(shown,
              (QStringList{"0x000007e0", "0x0000077c", "3", "0x00000024", "2", "0x000006c4"}));
    EXPECT_EQ(readOnly, QList<bool>(6, true));
}

TEST_F(HeaderInfoDlgTest, FileLengthReflectsTheLatestOffsetRecomputation) {
    SoundResource longer = doc.Resources()[0];
    longer.length = 300;
    ASSERT_TRUE(doc.ReplaceResource(0, doc.Resources()[0], longer));
    QString length;
    runner.scripts <<
        [&](QDialog& d) { length = static_cast<CDialog&>(d).GetDlgItemText(IDC_FILE_LENGTH); };
    doc.OnViewHeader();
    EXPECT_EQ(length, QStringLiteral("0x000008a8"));
}

TEST_F(HeaderInfoDlgTest, TypingCannotChangeTheBoxesAndTheirTextCanBeSelected) {
    QString afterTyping;
    QString selected;
    runner.scripts << [&](QDialog& d) {
        auto* box = DialogDriver::Control<QLineEdit>(static_cast<CDialog&>(d), IDC_EVENT_COUNT);
        DialogDriver::Type(box, QStringLiteral("99"));
        afterTyping = box->text();
        box->selectAll();
        selected = box->selectedText();
    };
    doc.OnViewHeader();
    EXPECT_EQ(afterTyping, QStringLiteral("3"));
    EXPECT_EQ(selected, QStringLiteral("3"));
}

TEST_F(HeaderInfoDlgTest, EnterClosesLikeEscapeAndNothingIsWritten) {
    const QByteArray before = Image();
    int enterResult = 0;
    int escapeResult = 0;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        runner.scripts << [key](QDialog& d) {
            auto* box =
                DialogDriver::Control<QLineEdit>(static_cast<CDialog&>(d), IDC_RESOURCE_COUNT);
            QTest::keyClick(box, key);
            EXPECT_FALSE(d.isVisible());
        };
        CHeaderInfoDlg dlg;
        dlg.m_strResourceCount = QStringLiteral("2");
        (key == Qt::Key_Return ? enterResult : escapeResult) = dlg.DoModal();
        EXPECT_EQ(dlg.m_strResourceCount, QStringLiteral("2"));
    }
    EXPECT_EQ(enterResult, IDOK);
    EXPECT_EQ(escapeResult, IDCANCEL);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(Image(), before);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

} // namespace
