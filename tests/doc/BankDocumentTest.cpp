#include "BankBuilder.h"
#include "QtPrinters.h"
#include "RecordingHeaderViewer.h"
#include "RecordingPromptSink.h"
#include "RecordingView.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"
#include "framework/core/AfxMessageBox.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstring>

#include <sys/stat.h>

namespace {

// Opens the bank built by b (and the names file, when given) in a fresh folder.
class BankDocument : public ::testing::Test {
protected:
    bool Open(const BankBuilder& b, const QByteArray& names = QByteArray()) {
        if (!names.isNull()) {
            folder.Write(QStringLiteral("Bnk_1.bns"), names);
        }
        return doc.OnOpenDocument(folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build()));
    }

    TestFolder folder;
    RecordingPromptSink prompts;
    // The record at index, changed behind the document's back: how a bank
    // read with odd records looks before anything recomputes them.
    SoundResource& InPlace(int index) {
        return const_cast<SoundResource&>(doc.Resources()[static_cast<size_t>(index)]);
    }

    CKantelDoc doc;
};

// Thirty resources; resource 5 is the Sample with id 12 and file engine.wav,
// resource 6 a CD track with id 13, resource 7 of type 2.
BankBuilder thirtyResources(std::optional<int> bank) {
    BankBuilder b;
    b.bank = bank;
    for (int i = 0; i < 30; ++i) {
        if (i == 5) {
            b.AddSample(12, QStringLiteral("engine.wav"), QByteArray(), false);
        } else if (i == 6) {
            b.AddCdTrack(13, 4);
        } else if (i == 7) {
            b.AddResource(14, 2);
        } else {
            b.AddSample(100 + i, QStringLiteral("s%1.wav").arg(i), QByteArray(), false);
        }
    }
    b.AddEvent(70, SoundEvent::kTypePlay);
    b.AddEvent(71, SoundEvent::kTypePlay);
    b.AddEvent(-5, SoundEvent::kTypePlay);
    return b;
}

} // namespace

// --- Labels of target references ------------------------------------------------

TEST_F(BankDocument, ResourceLabelInTheSameBankNamesIdAndFile) {
    ASSERT_TRUE(Open(thirtyResources(1)));
    ASSERT_EQ(doc.GetBank(), 1);
    EXPECT_EQ(doc.GetResourceLabel(65541), QStringLiteral("Resource ID  12 (engine.wav)"));
    EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(1, 6)),
              QStringLiteral("Resource ID  13"));
    // Only a Sample shows a file name; a type-2 record does not.
    EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(1, 7)),
              QStringLiteral("Resource ID  14"));
    EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(1, 29)),
              QStringLiteral("Resource ID 129 (s29.wav)"));
}

TEST_F(BankDocument, ResourceLabelOfAnotherBankGivesTheIndex) {
    ASSERT_TRUE(Open(thirtyResources(1)));
    EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(2, 3)),
              QStringLiteral("Resource at index 3 in Bnk_2.bnm"));
    EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(0x1234, 0)),
              QStringLiteral("Resource at index 0 in Bnk_4660.bnm"));
}

TEST_F(BankDocument, WithoutABankNumberEveryTargetIsInAnotherBank) {
    ASSERT_TRUE(Open(thirtyResources(std::nullopt)));
    ASSERT_EQ(doc.GetBank(), -1);
    EXPECT_EQ(doc.GetResourceLabel(65541), QStringLiteral("Resource at index 5 in Bnk_1.bnm"));
    EXPECT_EQ(doc.GetEventLabel(CBnmFormat::MakeTarget(0, 1)),
              QStringLiteral("Event at index 1 in Bnk_0.bnm"));
}

TEST_F(BankDocument, IndexBeyondTheTableIsUnknownWhateverTheBank) {
    ASSERT_TRUE(Open(thirtyResources(1)));
    for (const int bank : {0, 1, 2, 0xFFFF}) {
        EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(bank, 40)), QStringLiteral("???"));
        EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(bank, 30)), QStringLiteral("???"));
        EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(bank, 0xFFFF)),
                  QStringLiteral("???"));
        EXPECT_EQ(doc.GetEventLabel(CBnmFormat::MakeTarget(bank, 3)), QStringLiteral("???"));
    }
    EXPECT_EQ(doc.GetResourceLabel(0xFFFFFFFFU), QStringLiteral("???"));
}

TEST_F(BankDocument, EventLabels) {
    ASSERT_TRUE(Open(thirtyResources(1)));
    EXPECT_EQ(doc.GetEventLabel(CBnmFormat::MakeTarget(1, 0)), QStringLiteral("Event ID  70"));
    EXPECT_EQ(doc.GetEventLabel(CBnmFormat::MakeTarget(1, 2)), QStringLiteral("Event ID  -5"));
    EXPECT_EQ(doc.GetEventLabel(CBnmFormat::MakeTarget(3, 2)),
              QStringLiteral("Event at index 2 in Bnk_3.bnm"));
}

TEST_F(BankDocument, LabelShowsTheWholeResourceId) {
    BankBuilder b;
    b.bank = 1;
    b.AddResource(65537 + 65536 * 3, SoundResource::kTypeCdAudio);
    b.AddResource(-7, SoundResource::kTypeCdAudio);
    ASSERT_TRUE(Open(b));
    EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(1, 0)),
              QStringLiteral("Resource ID 262145"));
    EXPECT_EQ(doc.GetResourceLabel(CBnmFormat::MakeTarget(1, 1)),
              QStringLiteral("Resource ID  -7"));
}

TEST_F(BankDocument, LabelsOfAnEmptyDocumentAreUnknown) {
    EXPECT_EQ(doc.GetResourceLabel(0), QStringLiteral("???"));
    EXPECT_EQ(doc.GetEventLabel(0), QStringLiteral("???"));
}

// --- Name lookups ---------------------------------------------------------------

TEST_F(BankDocument, NamesAreFoundByIdNotByPosition) {
    BankBuilder b;
    b.AddResource(1, SoundResource::kTypeCdAudio);
    b.AddResource(2, SoundResource::kTypeCdAudio);
    b.AddResource(3, SoundResource::kTypeCdAudio);
    ASSERT_TRUE(
        Open(b, "[body res]\n2 \"Two\" \"Second\"\n1 \"One\" \"First\"\n2 \"Dup\" \"x\"\n"));
    EXPECT_EQ(doc.GetResourceName(1), QStringLiteral("One"));
    EXPECT_EQ(doc.GetResourceDescription(1), QStringLiteral("First"));
    // Two entries with the same id: the first wins.
    EXPECT_EQ(doc.GetResourceName(2), QStringLiteral("Two"));
    EXPECT_EQ(doc.GetResourceName(3), QString());
    EXPECT_EQ(doc.FindResourceName(3), nullptr);
}

// An entry no line filled has no id, so it must not answer for id 0.
TEST_F(BankDocument, UnfilledEntriesNeverMatch) {
    BankBuilder b;
    b.AddResource(0, SoundResource::kTypeCdAudio);
    b.AddResource(5, SoundResource::kTypeCdAudio);
    b.AddResource(6, SoundResource::kTypeCdAudio);
    ASSERT_TRUE(Open(b, "[body res]\n5 \"Five\" \"\"\n"));
    ASSERT_NE(doc.m_pNames, nullptr);
    EXPECT_EQ(doc.FindResourceName(0), nullptr);
    EXPECT_EQ(doc.GetResourceName(5), QStringLiteral("Five"));
}

TEST_F(BankDocument, NoNamesFileMeansNoNamesAndNoMessage) {
    ASSERT_TRUE(Open(thirtyResources(1)));
    EXPECT_FALSE(doc.m_bNamesLoaded);
    EXPECT_EQ(doc.m_pNames, nullptr);
    EXPECT_EQ(doc.GetResourceName(12), QString());
    EXPECT_EQ(doc.GetResourceDescription(12), QString());
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(BankDocument, NamesFileIsTheBankPathWithItsLastThreeCharactersReplaced) {
    BankBuilder b;
    b.AddResource(7, SoundResource::kTypeCdAudio);
    folder.Write(QStringLiteral("Bnk_2.bns"), "[body res]\n7 \"Right\" \"\"\n");
    folder.Write(QStringLiteral("Bnk_2.bnm.bns"), "[body res]\n7 \"Wrong\" \"\"\n");
    folder.Write(QStringLiteral("bank.xyzbns"), "[body res]\n7 \"Odd\" \"\"\n");
    ASSERT_TRUE(doc.OnOpenDocument(folder.Write(QStringLiteral("Bnk_2.bnm"), b.Build())));
    EXPECT_EQ(doc.GetResourceName(7), QStringLiteral("Right"));
    CKantelDoc other;
    ASSERT_TRUE(other.OnOpenDocument(folder.Write(QStringLiteral("bank.xyzabc"), b.Build())));
    EXPECT_EQ(other.GetResourceName(7), QStringLiteral("Odd"));
}

TEST_F(BankDocument, NamesFileInAnotherCaseIsFound) {
    BankBuilder b;
    b.AddResource(7, SoundResource::kTypeCdAudio);
    folder.Write(QStringLiteral("BNK_1.BNS"), "[body res]\n7 \"Horn\" \"\"\n");
    ASSERT_TRUE(Open(b));
    EXPECT_EQ(doc.GetResourceName(7), QStringLiteral("Horn"));
}

// --- Sample paths ---------------------------------------------------------------

TEST_F(BankDocument, SamplePathIsTheFolderAndTheFileName) {
    ASSERT_TRUE(Open(thirtyResources(1)));
    QString path;
    ASSERT_TRUE(doc.GetSampleFilePath(5, path));
    EXPECT_EQ(path, folder.FilePath(QStringLiteral("engine.wav")));
    // An existing file whose name differs only in case is the sample's file.
    folder.Write(QStringLiteral("ENGINE.WAV"), "x");
    ASSERT_TRUE(doc.GetSampleFilePath(5, path));
    EXPECT_EQ(path, folder.FilePath(QStringLiteral("ENGINE.WAV")));
}

TEST_F(BankDocument, OnlySamplesInRangeOfALoadedBankHaveAPath) {
    QString path = QStringLiteral("unchanged");
    EXPECT_FALSE(doc.GetSampleFilePath(0, path));
    ASSERT_TRUE(Open(thirtyResources(1)));
    EXPECT_FALSE(doc.GetSampleFilePath(6, path)); // CD Audio
    EXPECT_FALSE(doc.GetSampleFilePath(7, path)); // type 2
    EXPECT_FALSE(doc.GetSampleFilePath(-1, path));
    EXPECT_FALSE(doc.GetSampleFilePath(30, path));
    EXPECT_EQ(path, QStringLiteral("unchanged"));
}

// --- Offsets --------------------------------------------------------------------

TEST_F(BankDocument, OffsetsRunInTableOrderAndExternalsGet44) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(1000, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(10, 2), false);
    b.AddResource(3, 2).offset = 777;
    b.AddCdTrack(4, 2).offset = 555;
    b.AddSample(5, QStringLiteral("c.wav"), BankBuilder::Pattern(500, 3), true);
    b.AddSample(6, QStringLiteral("d.wav"), BankBuilder::Pattern(20, 4), true).storage = 2;
    ASSERT_TRUE(Open(b));
    // Offsets no edit leaves behind, written in place to see them mended.
    InPlace(1).offset = 9;
    InPlace(0).offset = 123;
    doc.UpdateSampleOffsets();
    EXPECT_EQ(doc.Resources()[0].offset, 0);
    EXPECT_EQ(doc.Resources()[1].offset, 44);
    EXPECT_EQ(doc.Resources()[2].offset, 777);
    EXPECT_EQ(doc.Resources()[3].offset, 555);
    EXPECT_EQ(doc.Resources()[4].offset, 1000);
    EXPECT_EQ(doc.Resources()[5].offset, 44);
    const quint32 region = doc.Header()->sampleDataOffset;
    EXPECT_EQ(doc.Header()->fileLength, region + 1500);
    EXPECT_EQ(doc.m_nFileSize, region + 1500);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(BankDocument, NegativeLengthAddsNothingToTheOffsets) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), false);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(100, 2), false);
    ASSERT_TRUE(Open(b));
    InPlace(0).storage = SoundResource::kStorageBank;
    InPlace(0).length = -50;
    InPlace(1).storage = SoundResource::kStorageBank;
    doc.UpdateSampleOffsets();
    EXPECT_EQ(doc.Resources()[1].offset, 0);
    EXPECT_EQ(doc.Header()->fileLength, doc.Header()->sampleDataOffset + 100);
}

// --- Storage commands ----------------------------------------------------------

TEST_F(BankDocument, AllExternalLeavesAHeaderRegionOnlyBank) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddCdTrack(2, 3).storage = 1;
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(50, 3), true).storage = 7;
    ASSERT_TRUE(Open(b));
    RecordingView view(doc);
    doc.OnEditAllExternal();
    EXPECT_EQ(doc.Resources()[0].storage, SoundResource::kStorageExternal);
    EXPECT_EQ(doc.Resources()[0].offset, 44);
    EXPECT_EQ(doc.Resources()[1].storage, 1); // CD Audio is left alone
    EXPECT_EQ(doc.Resources()[2].storage, SoundResource::kStorageExternal);
    EXPECT_EQ(doc.Header()->fileLength, doc.Header()->sampleDataOffset);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.updates, 1);
}

TEST_F(BankDocument, AllBankedOnAnAllBankedBankStillMarksAndRecomputes) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddCdTrack(2, 3);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(50, 3), true);
    ASSERT_TRUE(Open(b));
    // Shared data in the file: both samples start at 0.
    InPlace(2).offset = 0;
    RecordingView view(doc);
    doc.OnEditAllBanked();
    EXPECT_EQ(doc.Resources()[2].offset, 100);
    EXPECT_EQ(doc.Resources()[1].storage, 0);
    EXPECT_EQ(doc.Header()->fileLength, doc.Header()->sampleDataOffset + 150);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(view.updates, 1);
}

TEST_F(BankDocument, StorageCommandsOnAnEmptyDocumentDoNoHarm) {
    doc.OnEditAllExternal();
    doc.OnEditAllBanked();
    doc.UpdateSampleOffsets();
    EXPECT_EQ(doc.Header(), nullptr);
}

// --- Header figures --------------------------------------------------------------

TEST_F(BankDocument, HeaderFiguresAreFormattedForDisplay) {
    BankBuilder b;
    b.AddEvent(1, SoundEvent::kTypePlay);
    b.AddResource(2, SoundResource::kTypeCdAudio);
    QByteArray bytes = b.Build();
    BankBuilder::Put32(bytes, 32, 4000);
    ASSERT_TRUE(doc.OnOpenDocument(folder.Write(QStringLiteral("Bnk_1.bnm"), bytes)));
    const BnmHeaderFigures f = doc.GetHeaderFigures();
    EXPECT_EQ(f.fileLength, QStringLiteral("0x00000fa0"));
    EXPECT_EQ(f.sampleDataOffset, QStringLiteral("0x000000a0"));
    EXPECT_EQ(f.eventCount, QStringLiteral("1"));
    EXPECT_EQ(f.eventTableOffset, QStringLiteral("0x00000024"));
    EXPECT_EQ(f.resourceCount, QStringLiteral("1"));
    EXPECT_EQ(f.resourceTableOffset, QStringLiteral("0x00000044"));
}

TEST_F(BankDocument, HeaderCommandShowsTheFiguresOnlyForALoadedBank) {
    RecordingHeaderViewer viewer;
    doc.OnViewHeader();
    EXPECT_TRUE(viewer.shown.isEmpty());
    BankBuilder b;
    b.AddResource(2, SoundResource::kTypeCdAudio);
    ASSERT_TRUE(Open(b));
    doc.OnViewHeader();
    ASSERT_EQ(viewer.shown.size(), 1);
    EXPECT_EQ(viewer.shown.at(0).fileLength, QString::asprintf("0x%08x", 36 + 92));
}

// --- The records, byte for byte ---------------------------------------------------

TEST(BankRecords, VolumeAndCdTrackWritesTouchOnlyTheirBytes) {
    SoundResource r;
    std::memset(&r, 0xA5, sizeof r);
    SoundResource before = r;
    r.volume = 127;
    for (size_t i = 0; i < sizeof r; ++i) {
        const auto a = reinterpret_cast<const quint8*>(&r)[i];
        const auto b = reinterpret_cast<const quint8*>(&before)[i];
        EXPECT_EQ(a, i == 20 ? 127 : b) << i;
    }
    before = r;
    r.cdTrack = 0x1234;
    for (size_t i = 0; i < sizeof r; ++i) {
        const auto a = reinterpret_cast<const quint8*>(&r)[i];
        const auto b = reinterpret_cast<const quint8*>(&before)[i];
        const int expected = i == 24 ? 0x34 : i == 25 ? 0x12 : b;
        EXPECT_EQ(a, expected) << i;
    }
}

TEST(BankRecords, FileNameIsAtMostFifteenCharactersAndAlwaysEnds) {
    SoundResource r;
    std::memset(&r, 'x', sizeof r);
    CBnmFormat::SetFileName(r, QStringLiteral("a_rather_long_name.wav"));
    EXPECT_EQ(CBnmFormat::FileNameText(r), QStringLiteral("a_rather_long_n"));
    EXPECT_EQ(r.fileName[15], '\0');
    EXPECT_EQ(r.word22, 0x78787878U);
    // A name with no terminating zero in the record reads its 16 bytes only.
    std::memset(r.fileName, 'y', sizeof r.fileName);
    EXPECT_EQ(CBnmFormat::FileNameText(r), QString(16, QLatin1Char('y')));
}

// The game plays silence for an external sample without its wave file:
// opening says so once, naming every missing file once.
TEST_F(BankDocument, OpeningTellsOnceOfTheExternalSamplesWithoutTheirWaves) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("gone.wav"), BankBuilder::Pattern(10, 1), false);
    b.AddSample(2, QStringLiteral("GONE.wav"), BankBuilder::Pattern(10, 2), false); // the same
    b.AddSample(3, QStringLiteral("here.wav"), BankBuilder::Pattern(10, 3), false);
    b.AddSample(4, QStringLiteral("pipe.wav"), BankBuilder::Pattern(10, 4), false);
    b.AddSample(5, QString(), BankBuilder::Pattern(10, 5), false);
    b.AddSample(6, QStringLiteral("empty.wav"), QByteArray(), false); // plays nothing anyway
    b.AddSample(7, QStringLiteral("banked.wav"), BankBuilder::Pattern(10, 7), true);
    b.AddCdTrack(8, 2);
    folder.Write(QStringLiteral("HERE.WAV"), BankBuilder::Wave(BankBuilder::Pattern(10, 3)));
    ASSERT_EQ(
        ::mkfifo(QFile::encodeName(folder.FilePath(QStringLiteral("pipe.wav"))).constData(), 0600),
        0);
    ASSERT_TRUE(Open(b, "[body res]\r\n5 \"Siren\" \"\"\r\n"));
    ASSERT_EQ(prompts.prompts.size(), 1) << qPrintable(prompts.Texts().join(u'|'));
    EXPECT_EQ(prompts.prompts[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(prompts.prompts[0].text,
              QStringLiteral("3 wave files of external samples are missing; the game would play "
                             "silence for them:\n%1\n%2\nresource 4 (Siren) names no wave file")
                  .arg(folder.FilePath(QStringLiteral("gone.wav")),
                       folder.FilePath(QStringLiteral("pipe.wav"))));
    EXPECT_FALSE(QFile::exists(folder.FilePath(QStringLiteral("gone.wav"))))
        << "nothing is made up for them";

    // With the files there, nothing is said.
    prompts.prompts.clear();
    folder.Write(QStringLiteral("gone.wav"), BankBuilder::Wave(BankBuilder::Pattern(10, 1)));
    QFile::remove(folder.FilePath(QStringLiteral("pipe.wav")));
    folder.Write(QStringLiteral("pipe.wav"), BankBuilder::Wave(BankBuilder::Pattern(10, 4)));
    BankBuilder named = b;
    CBnmFormat::SetFileName(named.resources[4], QStringLiteral("siren.wav"));
    folder.Write(QStringLiteral("siren.wav"), BankBuilder::Wave(BankBuilder::Pattern(10, 5)));
    CKantelDoc again;
    ASSERT_TRUE(again.OnOpenDocument(folder.Write(QStringLiteral("Bnk_1.bnm"), named.Build())));
    EXPECT_TRUE(prompts.prompts.isEmpty()) << qPrintable(prompts.Texts().join(u'|'));
}
