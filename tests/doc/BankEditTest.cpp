#include "BankBuilder.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "RecordingView.h"
#include "TestFolder.h"

#include "doc/CBankEdit.h"
#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"

#include <gtest/gtest.h>

namespace {

// A bank of three banked samples with names and a Pitch event, opened.
class BankHistory : public ::testing::Test {
protected:
    void SetUp() override {
        BankBuilder b;
        b.bank = 1;
        b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
        b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(200, 2), true);
        b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(300, 3), false);
        b.AddEvent(5, SoundEvent::kTypePitch, CBnmFormat::MakeTarget(1, 0), 65536, 65536);
        original = b.Build();
        folder.Write(QStringLiteral("c.wav"), BankBuilder::Wave(BankBuilder::Pattern(300, 3)));
        folder.Write(QStringLiteral("Bnk_1.bns"),
                     "[body res]\n1 \"Horn & Bell\" \"\"\n2 \"Wind\" \"\"\n");
        bankPath = folder.Write(QStringLiteral("Bnk_1.bnm"), original);
        ASSERT_TRUE(doc.OnOpenDocument(bankPath));
        ASSERT_FALSE(doc.IsModified());
    }

    void EditVolume(int index, quint8 volume) {
        SoundResource after = doc.Resources()[static_cast<size_t>(index)];
        after.volume = volume;
        ASSERT_TRUE(doc.ReplaceResource(index, doc.Resources()[static_cast<size_t>(index)], after));
    }

    QByteArray SaveTo(const QString& name) {
        const QString path = folder.FilePath(name);
        EXPECT_TRUE(doc.OnSaveDocument(path));
        return folder.Read(name);
    }

    TestFolder folder;
    RecordingPromptSink prompts;
    CKantelDoc doc;
    QByteArray original;
    QString bankPath;
};

TEST_F(BankHistory, UndoingEveryEditSavesTheBankAsItWasAndRedoingThemSavesTheEditedOne) {
    EditVolume(0, 7);
    doc.OnEditAllExternal();
    ASSERT_TRUE(doc.IsModified());
    const QByteArray edited = SaveTo(QStringLiteral("edited.bnm"));
    ASSERT_NE(edited, original);

    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.Undo());
    EXPECT_EQ(SaveTo(QStringLiteral("undone.bnm")), original);

    ASSERT_TRUE(doc.Redo());
    ASSERT_TRUE(doc.Redo());
    EXPECT_FALSE(doc.Redo());
    EXPECT_EQ(SaveTo(QStringLiteral("redone.bnm")), edited);
    EXPECT_TRUE(prompts.prompts.isEmpty()) << prompts.Texts().join(u'\n').toStdString();
}

TEST_F(BankHistory, TheModifiedFlagFollowsTheHistoryAndSavingKeepsIt) {
    RecordingView view(doc);
    EditVolume(1, 9);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.updates, 1);
    doc.Undo();
    EXPECT_FALSE(doc.IsModified()) << "back where the file is";
    EXPECT_EQ(doc.Resources()[1].volume, BankBuilder().AddSample(0, {}, {}, false).volume);
    EXPECT_EQ(view.updates, 2) << "every view shows the undone edit";
    doc.Redo();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Resources()[1].volume, 9);

    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.GetHistory().CanUndo()) << "saving keeps the history";
    doc.Undo();
    EXPECT_TRUE(doc.IsModified()) << "the file now holds the edit";
    doc.Redo();
    EXPECT_FALSE(doc.IsModified());

    // An edit after an undo past the save: the saved state is out of reach.
    doc.Undo();
    EditVolume(0, 1);
    doc.Undo();
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(BankHistory, EachStepIsNamedAfterWhatItDid) {
    EXPECT_TRUE(doc.GetHistory().UndoLabel().isEmpty());
    EditVolume(0, 7);
    EXPECT_EQ(doc.GetHistory().UndoLabel(), QStringLiteral("Properties of Horn & Bell"));
    EditVolume(2, 7);
    EXPECT_EQ(doc.GetHistory().UndoLabel(), QStringLiteral("Properties of c.wav"))
        << "no name: the file name";
    doc.OnEditAllBanked();
    EXPECT_EQ(doc.GetHistory().UndoLabel(), QStringLiteral("All Banked"));
    SoundEvent pitch = doc.Events()[0];
    pitch.param2 = 32768;
    ASSERT_TRUE(doc.ReplaceEvent(0, doc.Events()[0], pitch));
    EXPECT_EQ(doc.GetHistory().UndoLabel(), QStringLiteral("Properties of Event ID 5"));
    doc.Undo();
    EXPECT_EQ(doc.Events()[0].param2, 65536U);
    EXPECT_EQ(doc.GetHistory().RedoLabel(), QStringLiteral("Properties of Event ID 5"));
}

TEST_F(BankHistory, AStepHoldsOnlyTheRecordsItChangedAndClosingFreesTheHistory) {
    const CBankEdit::State before = CBankEdit::Capture({});
    EXPECT_TRUE(CBankEdit::Since(before, {}).IsEmpty());

    EditVolume(0, 7);
    const qsizetype one = doc.GetHistory().Count();
    EXPECT_EQ(one, 1);
    // A stale edit changes nothing and is no step.
    SoundResource stale = doc.Resources()[0];
    stale.volume = 1;
    SoundResource after = stale;
    after.volume = 2;
    EXPECT_FALSE(doc.ReplaceResource(0, stale, after));
    EXPECT_EQ(doc.GetHistory().Count(), one);

    doc.DeleteContents();
    EXPECT_FALSE(doc.GetHistory().CanUndo());
    EXPECT_FALSE(doc.Undo());
}

TEST(BankEdit, OnlyChangedRecordsAreKeptAndWrittenBack) {
    std::vector<SoundResource> resources(1000);
    std::vector<SoundEvent> events(3);
    BnmHeader header{};
    qint64 fileSize = 100;
    std::vector<SampleExtraction> extraction(1000);
    const CBankEdit::Tables tables{resources, events, &header, &fileSize, &extraction};
    const CBankEdit::State before = CBankEdit::Capture(tables);
    resources[500].volume = 3;
    events[2].param1 = 4;
    header.fileLength = 77;
    fileSize = 77;
    extraction[500].state = SampleExtraction::State::Written;
    const CBankEdit edit = CBankEdit::Since(before, tables);
    ASSERT_FALSE(edit.IsEmpty());
    EXPECT_LT(edit.Cost(), qsizetype{1000}) << "one record, not the table";

    edit.Undo(tables);
    EXPECT_EQ(resources[500].volume, 0);
    EXPECT_EQ(events[2].param1, 0U);
    EXPECT_EQ(header.fileLength, 0U);
    EXPECT_EQ(fileSize, 100);
    EXPECT_EQ(extraction[500].state, SampleExtraction::State::None);
    // What the edit did not change stays as something else set it since.
    resources[1].volume = 9;
    edit.Redo(tables);
    EXPECT_EQ(resources[500].volume, 3);
    EXPECT_EQ(resources[1].volume, 9);
    EXPECT_EQ(fileSize, 77);
    EXPECT_EQ(extraction[500].state, SampleExtraction::State::Written);
}

// What opening changes is a step: one Undo gives the bank as it is on disk,
// and saving that loses nothing.
TEST(BankHistoryOfOpening, TheNamesOpeningGaveAreOneUndoAway) {
    TestFolder folder;
    RecordingPromptSink prompts;
    BankBuilder b;
    b.bank = 1;
    b.AddSample(7, QString(), BankBuilder::Pattern(10, 1), true);
    b.AddSample(8, QStringLiteral("named.wav"), BankBuilder::Pattern(20, 2), true);
    const QByteArray original = b.Build();
    const QString path = folder.Write(QStringLiteral("Bnk_1.bnm"), original);
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    // The name is found again on every open: the bank counts as unchanged.
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetHistory().UndoLabel(), QStringLiteral("Changes Made When Opening"));
    const QString given = CBnmFormat::FileNameText(doc.Resources()[0]);
    ASSERT_FALSE(given.isEmpty());

    // Undone, the bank is the file as it lies on disk: still unmodified.
    ASSERT_TRUE(doc.Undo());
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(CBnmFormat::FileNameText(doc.Resources()[0]).isEmpty());
    // The record names no file now; its data is still the bank's own.
    ASSERT_TRUE(doc.OnSaveDocument(folder.FilePath(QStringLiteral("undone.bnm"))));
    EXPECT_EQ(folder.Read(QStringLiteral("undone.bnm")), original);
    EXPECT_TRUE(prompts.prompts.isEmpty()) << prompts.Texts().join(u'\n').toStdString();

    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(CBnmFormat::FileNameText(doc.Resources()[0]), given);
    // The file saved last names nothing, but opening it gives the name again.
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
