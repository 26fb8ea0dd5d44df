#include "BankBuilder.h"
#include "FileSizeLimit.h"
#include "QtPrinters.h"
#include "RecordingProgressSink.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"

#include "framework/core/AfxMessageBox.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class Extraction : public ::testing::Test {
protected:
    // Writes the bank (and the names file, when given) and opens it.
    bool Open(const QByteArray& bank, const QByteArray& names = QByteArray()) {
        if (!names.isNull()) {
            folder.Write(QStringLiteral("Bnk_1.bns"), names);
        }
        bankPath = folder.Write(QStringLiteral("Bnk_1.bnm"), bank);
        return doc.OnOpenDocument(bankPath);
    }
    QString FileName(int index) const { return CBnmFormat::FileNameText(doc.Resources()[index]); }
    // The data of a wave file this program wrote: all after its 44 bytes.
    QByteArray WaveData(const QString& name) const { return folder.Read(name).mid(44); }

    TestFolder folder;
    RecordingPromptSink prompts;
    CKantelDoc doc;
    QString bankPath;
};

quint16 get16(const QByteArray& bytes, qsizetype at) {
    return static_cast<quint16>(static_cast<quint8>(bytes[at]) |
                                (static_cast<quint8>(bytes[at + 1]) << 8U));
}

constexpr qsizetype kResourceTable = 36; // BankBuilder puts no events before it
constexpr qsizetype kLengthField = 12;
constexpr qsizetype kOffsetField = 16;

} // namespace

// --- What is written --------------------------------------------------------------

TEST_F(Extraction, BankedSampleIsWrittenWithOnePlainHeader) {
    BankBuilder b;
    const QByteArray data = BankBuilder::Pattern(101, 1);
    b.AddSample(1, QStringLiteral("a.wav"), data, true, 11025, 8, 2).waveFormat = 3;
    ASSERT_TRUE(Open(b.Build()));
    const QByteArray wave = folder.Read(QStringLiteral("a.wav"));
    ASSERT_EQ(wave.size(), 44 + 101); // no pad byte after odd data
    EXPECT_EQ(wave.left(4), QByteArray("RIFF"));
    EXPECT_EQ(BankBuilder::Get32(wave, 4), 101U + 36U);
    EXPECT_EQ(wave.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(BankBuilder::Get32(wave, 16), 16U);
    EXPECT_EQ(get16(wave, 20), 1); // PCM whatever the record says
    EXPECT_EQ(get16(wave, 22), 2);
    EXPECT_EQ(BankBuilder::Get32(wave, 24), 11025U);
    EXPECT_EQ(BankBuilder::Get32(wave, 28), 11025U * 2U);
    EXPECT_EQ(get16(wave, 32), 2);
    EXPECT_EQ(get16(wave, 34), 8);
    EXPECT_EQ(wave.mid(36, 4), QByteArray("data"));
    EXPECT_EQ(BankBuilder::Get32(wave, 40), 101U);
    EXPECT_EQ(wave.mid(44), data);
    EXPECT_TRUE(prompts.prompts.isEmpty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(Extraction, BlockAlignRoundsTheBytesPerSampleDown) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(12, 1), true, 8000, 12, 3);
    ASSERT_TRUE(Open(b.Build()));
    const QByteArray wave = folder.Read(QStringLiteral("a.wav"));
    EXPECT_EQ(get16(wave, 32), 3);
    EXPECT_EQ(BankBuilder::Get32(wave, 28), 8000U * 3U);
}

TEST_F(Extraction, OnlyBankedSamplesAreWritten) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("ext.wav"), BankBuilder::Pattern(10, 1), false);
    b.AddCdTrack(2, 3);
    b.AddResource(3, 2);
    b.AddSample(4, QStringLiteral("odd.wav"), BankBuilder::Pattern(10, 2), true).storage = 2;
    b.AddSample(5, QStringLiteral("in.wav"), BankBuilder::Pattern(10, 3), true);
    ASSERT_TRUE(Open(b.Build()));
    EXPECT_EQ(folder.Entries(),
              (QStringList{QStringLiteral("Bnk_1.bnm"), QStringLiteral("in.wav")}));
    EXPECT_EQ(WaveData(QStringLiteral("in.wav")), BankBuilder::Pattern(10, 3));
}

TEST_F(Extraction, SamplesSharingDataEachGetTheirRange) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(100, 2), true);
    QByteArray bytes = b.Build();
    // b starts half-way into a's data and takes 150 bytes.
    BankBuilder::Put32(bytes, kResourceTable + 92 + kOffsetField, 50);
    BankBuilder::Put32(bytes, kResourceTable + 92 + kLengthField, 150);
    ASSERT_TRUE(Open(bytes));
    const QByteArray area = bytes.mid(36 + 2 * 92);
    EXPECT_EQ(WaveData(QStringLiteral("a.wav")), area.left(100));
    EXPECT_EQ(WaveData(QStringLiteral("b.wav")), area.mid(50, 150));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

// --- Existing wave files -------------------------------------------------------------

TEST_F(Extraction, ExistingWaveFileIsNeverOverwrittenSoReopeningWritesNothing) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddSample(2, QStringLiteral(""), BankBuilder::Pattern(100, 2), true);
    ASSERT_TRUE(Open(b.Build(), "[body res]\n1 \"A\" \"\"\n2 \"Horn\" \"\"\n"));
    EXPECT_EQ(FileName(1), QStringLiteral("Horn.wav"));
    const QStringList entries = folder.Entries();
    // Opened again before a save: the chosen name is found again.
    CKantelDoc again;
    ASSERT_TRUE(again.OnOpenDocument(bankPath));
    EXPECT_EQ(folder.Entries(), entries);
    EXPECT_EQ(CBnmFormat::FileNameText(again.Resources()[1]), QStringLiteral("Horn.wav"));
    // The record's own name is its file, whatever the file now holds; a
    // chosen name is this sample's only while the file holds its data.
    folder.Write(QStringLiteral("a.wav"), "edited by the user");
    folder.Write(QStringLiteral("Horn.wav"), "edited too");
    CKantelDoc third;
    ASSERT_TRUE(third.OnOpenDocument(bankPath));
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")), QByteArray("edited by the user"));
    EXPECT_EQ(folder.Read(QStringLiteral("Horn.wav")), QByteArray("edited too"));
    EXPECT_EQ(CBnmFormat::FileNameText(third.Resources()[1]), QStringLiteral("Res00002.wav"));
    EXPECT_EQ(WaveData(QStringLiteral("Res00002.wav")), BankBuilder::Pattern(100, 2));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(Extraction, ExistingWaveInAnotherCaseCountsAsWritten) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("engine.wav"), BankBuilder::Pattern(100, 1), true);
    folder.Write(QStringLiteral("ENGINE.WAV"), "theirs");
    ASSERT_TRUE(Open(b.Build()));
    EXPECT_FALSE(folder.Exists(QStringLiteral("engine.wav")));
    EXPECT_EQ(folder.Read(QStringLiteral("ENGINE.WAV")), QByteArray("theirs"));
}

// Letters beyond ASCII count without regard to case too, as on the games'
// file system.
TEST_F(Extraction, NamesBeyondAsciiThatDifferOnlyInCaseNameOneFile) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("\u00e9t\u00e9.wav"), BankBuilder::Pattern(10, 1), true);
    b.AddSample(2, QStringLiteral("\u00c9T\u00c9.WAV"), BankBuilder::Pattern(20, 2), true);
    b.AddSample(3, QStringLiteral("\u00c9t\u00e9.wav"), BankBuilder::Pattern(10, 1), true);
    ASSERT_TRUE(Open(b.Build()));
    EXPECT_EQ(FileName(0), QStringLiteral("\u00e9t\u00e9.wav"));
    EXPECT_NE(FileName(1).compare(QStringLiteral("\u00e9t\u00e9.wav"), Qt::CaseInsensitive), 0);
    EXPECT_EQ(WaveData(FileName(1)), BankBuilder::Pattern(20, 2));
    EXPECT_EQ(FileName(2), QStringLiteral("\u00c9t\u00e9.wav"));
    EXPECT_EQ(WaveData(FileName(0)), BankBuilder::Pattern(10, 1));
}

// Only a name ending in ".wav", in any case, is taken for a wave file without
// looking inside; a name that merely comes close is looked at.
TEST_F(Extraction, OnlyAWaveNameEndingSparesTheLookInside) {
    BankBuilder b;
    const QString names[] = {QStringLiteral("horn.wAV"), QStringLiteral("horn.wab"),
                             QStringLiteral("horn.wa"), QStringLiteral("hornXwav"),
                             QStringLiteral("wav")};
    for (int i = 0; i < 5; ++i) {
        b.AddSample(i + 1, names[i], BankBuilder::Pattern(10, i), true);
        folder.Write(names[i], "not a wave");
    }
    ASSERT_TRUE(Open(b.Build()));
    EXPECT_EQ(FileName(0), names[0]);
    for (int i = 1; i < 5; ++i) {
        EXPECT_NE(FileName(i), names[i]) << i;
        EXPECT_EQ(WaveData(FileName(i)), BankBuilder::Pattern(10, i)) << i;
        EXPECT_EQ(folder.Read(names[i]), QByteArray("not a wave")) << i;
    }
}

// --- Wave files are written together -----------------------------------------------

// A wave file shows under its name only when it is whole and on disk, so none
// does while others are still being written.
TEST_F(Extraction, NoWaveFileHasItsNameBeforeAllAreWritten) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(20, 2), true);
    b.AddSample(3, QStringLiteral("ext.wav"), BankBuilder::Pattern(5, 3), false);
    RecordingProgressSink progress;
    QStringList seen;
    progress.onStep = [&](qint64) {
        for (const QString& name : folder.Entries()) {
            if (name.endsWith(QStringLiteral(".wav"))) {
                seen << name;
            }
        }
    };
    ASSERT_TRUE(Open(b.Build()));
    EXPECT_TRUE(seen.isEmpty()) << qPrintable(seen.join(QLatin1Char(' ')));
    EXPECT_EQ(folder.Entries(), (QStringList{QStringLiteral("Bnk_1.bnm"), QStringLiteral("a.wav"),
                                             QStringLiteral("b.wav")}));
    EXPECT_EQ(progress.labels, QList<QString>{QStringLiteral("Writing samples")});
    EXPECT_EQ(progress.totals, QList<qint64>{30});
    EXPECT_EQ(progress.steps, (QList<qint64>{10, 30}));
    EXPECT_EQ(progress.ends, 1);
}

// Records that name one file (the same name, or names that differ only in
// case) share it only when their data are the same; one with other data gets
// a file of its own, or the next save would put the first one's data in its
// place. The user hears of it once, and every sample survives a save.
TEST_F(Extraction, RecordsNamingOneWaveFileShareItOnlyWithTheSameData) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("dup.wav"), BankBuilder::Pattern(10, 1), true);
    b.AddSample(2, QStringLiteral("DUP.wav"), BankBuilder::Pattern(20, 2), true);
    b.AddSample(3, QStringLiteral("dup.wav"), BankBuilder::Pattern(10, 1), true);
    b.AddSample(4, QStringLiteral("dup.wav"), BankBuilder::Pattern(30, 3), true);
    const QByteArray bank = b.Build();
    ASSERT_TRUE(Open(bank));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].text,
              QStringLiteral("These samples were given wave files of their own:\n"
                             "DUP.wav -> Res00002.wav (another sample names the same file with "
                             "other data)\n"
                             "dup.wav -> Res00004.wav (another sample names the same file with "
                             "other data)\n"
                             "Saving the bank keeps the new names."));
    EXPECT_EQ(FileName(2), QStringLiteral("dup.wav"));
    EXPECT_EQ(WaveData(QStringLiteral("dup.wav")), BankBuilder::Pattern(10, 1));
    EXPECT_EQ(WaveData(QStringLiteral("Res00002.wav")), BankBuilder::Pattern(20, 2));
    EXPECT_EQ(WaveData(QStringLiteral("Res00004.wav")), BankBuilder::Pattern(30, 3));
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    const QByteArray saved = folder.Read(QStringLiteral("Bnk_1.bnm"));
    EXPECT_EQ(saved.mid(BankBuilder::Get32(saved, 20)), bank.mid(BankBuilder::Get32(bank, 20)));
    // Opened again, the new names are the records' own.
    prompts.prompts.clear();
    CKantelDoc again;
    ASSERT_TRUE(again.OnOpenDocument(bankPath));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

// Another program takes a sample's name while the bank opens. Its file is
// left alone, the sample and every record that waited for the same file keep
// their data in the bank, and the user hears of it once.
TEST_F(Extraction, NameTakenBeforeTheFilesAreNamedLeavesThoseSamplesInTheBank) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(50, 2), true);
    b.AddSample(3, QStringLiteral("B.WAV"), BankBuilder::Pattern(50, 2), true);
    b.AddSample(4, QStringLiteral("c.wav"), BankBuilder::Pattern(70, 4), true);
    const QByteArray bank = b.Build();
    RecordingProgressSink progress;
    progress.onStep = [&](qint64 done) {
        if (done == 150) {
            folder.Write(QStringLiteral("b.wav"), "made meanwhile");
        }
    };
    ASSERT_TRUE(Open(bank));
    ASSERT_EQ(prompts.prompts.size(), 1) << qPrintable(prompts.Texts().join(QLatin1Char('|')));
    EXPECT_TRUE(prompts.prompts[0].text.contains(folder.FilePath(QStringLiteral("b.wav"))));
    EXPECT_EQ(prompts.prompts[0].type & MB_ICONMASK, MB_ICONHAND);
    EXPECT_EQ(folder.Read(QStringLiteral("b.wav")), QByteArray("made meanwhile"));
    EXPECT_EQ(WaveData(QStringLiteral("a.wav")), BankBuilder::Pattern(100, 1));
    EXPECT_EQ(WaveData(QStringLiteral("c.wav")), BankBuilder::Pattern(70, 4));
    EXPECT_EQ(folder.Entries(), (QStringList{QStringLiteral("Bnk_1.bnm"), QStringLiteral("a.wav"),
                                             QStringLiteral("b.wav"), QStringLiteral("c.wav")}));
    EXPECT_FALSE(doc.IsModified());
    // Both records of b.wav are saved from the bank's own data.
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(folder.Read(QStringLiteral("Bnk_1.bnm")), bank);
    EXPECT_EQ(prompts.prompts.size(), 1);
}

// --- Names for samples without one ----------------------------------------------------

TEST_F(Extraction, RecordNameWinsOverTheNamesFile) {
    BankBuilder b;
    b.AddSample(7, QStringLiteral("footstep.wav"), BankBuilder::Pattern(10, 1), true);
    ASSERT_TRUE(Open(b.Build(), "[body res]\n7 \"Horn\" \"\"\n"));
    EXPECT_TRUE(folder.Exists(QStringLiteral("footstep.wav")));
    EXPECT_FALSE(folder.Exists(QStringLiteral("Horn.wav")));
    EXPECT_EQ(FileName(0), QStringLiteral("footstep.wav"));
}

TEST_F(Extraction, EmptyNameTakesTheNamesFileNameWithoutMarkingTheDocument) {
    BankBuilder b;
    b.AddSample(7 + 65536, QString(), BankBuilder::Pattern(10, 1), true);
    ASSERT_TRUE(Open(b.Build(), "[body res]\n7 \"Horn\" \"\"\n"));
    EXPECT_EQ(FileName(0), QStringLiteral("Horn.wav"));
    EXPECT_EQ(WaveData(QStringLiteral("Horn.wav")), BankBuilder::Pattern(10, 1));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(Extraction, NameEndingInWaveInAnyCaseGetsNoSecondExtension) {
    BankBuilder b;
    b.AddSample(7, QString(), BankBuilder::Pattern(10, 1), true);
    ASSERT_TRUE(Open(b.Build(), "[body res]\n7 \"Horn.WAV\" \"\"\n"));
    EXPECT_EQ(FileName(0), QStringLiteral("Horn.WAV"));
    EXPECT_TRUE(folder.Exists(QStringLiteral("Horn.WAV")));
}

TEST_F(Extraction, RecordNamingTheBankGetsANameAndTheBankIsUntouched) {
    BankBuilder b;
    b.AddSample(7, QStringLiteral("BNK_1.bnm"), BankBuilder::Pattern(10, 1), true);
    b.AddSample(8, QStringLiteral("Bnk_1.bnm"), BankBuilder::Pattern(20, 2), true);
    const QByteArray bank = b.Build();
    ASSERT_TRUE(Open(bank, "[body res]\n7 \"Horn\" \"\"\n"));
    EXPECT_EQ(folder.Read(QStringLiteral("Bnk_1.bnm")), bank);
    EXPECT_EQ(FileName(0), QStringLiteral("Horn.wav"));
    // No names file entry for 8: it still gets a file of its own.
    const QString second = FileName(1);
    EXPECT_NE(second.compare(QStringLiteral("Bnk_1.bnm"), Qt::CaseInsensitive), 0);
    EXPECT_EQ(WaveData(second), BankBuilder::Pattern(20, 2));
}

// Without a names file the data would otherwise have no file to go to, and
// the next save would drop it.
TEST_F(Extraction, WithoutANamesFileEmptyAndBankNamesStillGetAFile) {
    BankBuilder b;
    b.AddSample(7, QString(), BankBuilder::Pattern(10, 1), true);
    b.AddSample(8, QStringLiteral("Bnk_1.bnm"), BankBuilder::Pattern(20, 2), true);
    ASSERT_TRUE(Open(b.Build()));
    EXPECT_TRUE(prompts.prompts.isEmpty());
    EXPECT_EQ(FileName(0), QStringLiteral("Res00007.wav"));
    EXPECT_EQ(FileName(1), QStringLiteral("Res00008.wav"));
    EXPECT_EQ(WaveData(QStringLiteral("Res00007.wav")), BankBuilder::Pattern(10, 1));
    EXPECT_EQ(WaveData(QStringLiteral("Res00008.wav")), BankBuilder::Pattern(20, 2));
}

TEST_F(Extraction, SamplesWithoutANameNeverShareAFile) {
    BankBuilder b;
    // No entry in the names file for any of them, two with the same id.
    b.AddSample(7, QString(), BankBuilder::Pattern(10, 1), true);
    b.AddSample(7, QString(), BankBuilder::Pattern(11, 2), true);
    b.AddSample(9, QString(), BankBuilder::Pattern(12, 3), true);
    // Two more that the names file gives the same name.
    b.AddSample(20, QString(), BankBuilder::Pattern(13, 4), true);
    b.AddSample(21, QString(), BankBuilder::Pattern(14, 5), true);
    ASSERT_TRUE(Open(b.Build(), "[body res]\n20 \"Skid\" \"\"\n21 \"Skid\" \"\"\n"));
    QStringList names;
    for (int i = 0; i < 5; ++i) {
        const QString name = FileName(i);
        EXPECT_LE(name.size(), 15);
        EXPECT_FALSE(names.contains(name, Qt::CaseInsensitive)) << qPrintable(name);
        names << name;
        EXPECT_EQ(WaveData(name), BankBuilder::Pattern(10 + i, 1 + i)) << qPrintable(name);
    }
    EXPECT_EQ(names[3], QStringLiteral("Skid.wav"));
}

TEST_F(Extraction, ChosenNameNeverTakesAnotherSamplesFile) {
    BankBuilder b;
    b.AddSample(7, QString(), BankBuilder::Pattern(10, 1), true);
    b.AddSample(8, QStringLiteral("ENGINE.wav"), BankBuilder::Pattern(20, 2), false);
    ASSERT_TRUE(Open(b.Build(), "[body res]\n7 \"engine\" \"\"\n"));
    EXPECT_NE(FileName(0).compare(QStringLiteral("engine.wav"), Qt::CaseInsensitive), 0);
    EXPECT_EQ(WaveData(FileName(0)), BankBuilder::Pattern(10, 1));
    EXPECT_FALSE(folder.Exists(QStringLiteral("engine.wav")));
}

// The record keeps 15 characters, so the file must be written under those.
TEST_F(Extraction, LongNameIsCutToWhatTheRecordKeeps) {
    BankBuilder b;
    b.AddSample(7, QString(), BankBuilder::Pattern(10, 1), true);
    ASSERT_TRUE(Open(b.Build(), "[body res]\n7 \"EngineAtHighRevs\" \"\"\n"));
    EXPECT_EQ(FileName(0), QStringLiteral("EngineAtHi.wav").insert(10, QLatin1Char('g')));
    QString path;
    ASSERT_TRUE(doc.GetSampleFilePath(0, path));
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(folder.Entries().size(), 3);
}

TEST_F(Extraction, ChosenNameStaysInsideTheFolder) {
    BankBuilder b;
    b.AddSample(7, QString(), BankBuilder::Pattern(10, 1), true);
    b.AddSample(8, QString(), BankBuilder::Pattern(10, 2), true);
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(Open(b.Build(), "[body res]\n7 \"../up\" \"\"\n8 \"a\\\\b\tc\" \"\"\n"));
    EXPECT_EQ(FileName(0), QStringLiteral(".._up.wav"));
    EXPECT_EQ(FileName(1), QStringLiteral("a__b_c.wav"));
    EXPECT_TRUE(folder.Exists(FileName(0)));
    EXPECT_TRUE(folder.Exists(FileName(1)));
    EXPECT_FALSE(QFileInfo::exists(folder.Path() + QStringLiteral("/../up.wav")));
}

// --- Samples that run past the file ----------------------------------------------------

TEST_F(Extraction, SampleRunningPastTheEndIsCutWithAWarning) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    QByteArray bytes = b.Build();
    BankBuilder::Put32(bytes, kResourceTable + kLengthField, 150);
    ASSERT_TRUE(Open(bytes));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].text, QStringLiteral("End of file reached.\nTruncating sample ") +
                                           folder.FilePath(QStringLiteral("a.wav")));
    EXPECT_EQ(prompts.prompts[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(doc.Resources()[0].length, 100);
    EXPECT_EQ(WaveData(QStringLiteral("a.wav")), BankBuilder::Pattern(100, 1));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(Extraction, SampleStartingPastTheEndGetsAnEmptyWave) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    QByteArray bytes = b.Build();
    BankBuilder::Put32(bytes, kResourceTable + kOffsetField, 1000);
    ASSERT_TRUE(Open(bytes));
    ASSERT_EQ(prompts.prompts.size(), 2);
    const QString wave = folder.FilePath(QStringLiteral("a.wav"));
    EXPECT_EQ(prompts.prompts[0].text,
              QStringLiteral("End of file reached.\nTruncating sample ") + wave);
    EXPECT_EQ(prompts.prompts[1].text,
              QStringLiteral("Negative length.\nCan't save sample to ") + wave);
    EXPECT_EQ(prompts.prompts[1].type, MB_OK | MB_ICONHAND);
    EXPECT_EQ(doc.Resources()[0].length, 0);
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")).size(), 44);
    EXPECT_EQ(BankBuilder::Get32(folder.Read(QStringLiteral("a.wav")), 40), 0U);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(Extraction, NegativeLengthOrOffsetNeverReadsOutsideTheImage) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(100, 2), true);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(100, 3), true);
    QByteArray bytes = b.Build();
    BankBuilder::Put32(bytes, kResourceTable + kLengthField, static_cast<quint32>(-5));
    BankBuilder::Put32(bytes, kResourceTable + 92 + kOffsetField, 0x80000000U);
    BankBuilder::Put32(bytes, kResourceTable + 184 + kLengthField, 0x7FFFFFFFU);
    ASSERT_TRUE(Open(bytes));
    EXPECT_EQ(doc.Resources()[0].length, 0);
    EXPECT_EQ(doc.Resources()[1].length, 0);
    EXPECT_EQ(doc.Resources()[2].length, 100);
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")).size(), 44);
    EXPECT_EQ(folder.Read(QStringLiteral("b.wav")).size(), 44);
    EXPECT_EQ(WaveData(QStringLiteral("c.wav")), BankBuilder::Pattern(100, 3));
    EXPECT_EQ(prompts.prompts.size(), 4);
}

// --- Wave files that cannot be written ---------------------------------------------------

TEST_F(Extraction, FailedWaveIsReportedLeavesNothingBehindAndOpeningGoesOn) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("big.wav"), BankBuilder::Pattern(20000, 1), true);
    b.AddSample(2, QStringLiteral("small.wav"), BankBuilder::Pattern(10, 2), true);
    const QByteArray bank = b.Build();
    folder.Write(QStringLiteral("Bnk_1.bnm"), bank);
    bool opened = false;
    {
        FileSizeLimit limit(4096);
        opened = doc.OnOpenDocument(folder.FilePath(QStringLiteral("Bnk_1.bnm")));
    }
    ASSERT_TRUE(opened);
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(prompts.prompts[0].text.contains(folder.FilePath(QStringLiteral("big.wav"))));
    EXPECT_EQ(prompts.prompts[0].type & MB_ICONMASK, MB_ICONHAND);
    EXPECT_EQ(folder.Entries(),
              (QStringList{QStringLiteral("Bnk_1.bnm"), QStringLiteral("small.wav")}));
    // The bank still holds the only copy of big's data, so saving keeps it.
    ASSERT_TRUE(doc.OnSaveDocument(folder.FilePath(QStringLiteral("Bnk_1.bnm"))));
    EXPECT_EQ(folder.Read(QStringLiteral("Bnk_1.bnm")), bank);
    EXPECT_EQ(prompts.prompts.size(), 1);
}

// A record whose file name reaches out of the bank's folder must not make
// opening a bank write files elsewhere.
TEST_F(Extraction, RecordNameWithAFolderPartWritesNothingOutsideTheFolder) {
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("banks")));
    BankBuilder b;
    b.AddSample(7, QStringLiteral("../escape.wav"), BankBuilder::Pattern(10, 1), true);
    b.AddSample(8, QStringLiteral(".."), BankBuilder::Pattern(11, 2), true);
    b.AddSample(9, QStringLiteral("."), BankBuilder::Pattern(12, 3), true);
    const QByteArray bank = b.Build();
    const QString path = folder.Write(QStringLiteral("banks/Bnk_1.bnm"), bank);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_TRUE(prompts.prompts.isEmpty());
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("banks")});
    for (int i = 0; i < 3; ++i) {
        QString wave;
        ASSERT_TRUE(doc.GetSampleFilePath(i, wave));
        EXPECT_EQ(QFileInfo(wave).absolutePath(), folder.FilePath(QStringLiteral("banks")));
        EXPECT_EQ(folder.Read(QStringLiteral("banks/") + QFileInfo(wave).fileName()).mid(44),
                  BankBuilder::Pattern(10 + i, 1 + i));
    }
    // The names chosen reach the bank with the next save.
    ASSERT_TRUE(doc.OnSaveDocument(path));
    CKantelDoc saved;
    ASSERT_TRUE(saved.LoadBankAndNames(path));
    EXPECT_EQ(CBnmFormat::FileNameText(saved.Resources()[0]), FileName(0));
    EXPECT_EQ(folder.Read(QStringLiteral("banks/Bnk_1.bnm")).mid(36 + 3 * 92),
              bank.mid(36 + 3 * 92));
}

// A folder in the way is no wave file: the user hears of it, and the bank
// keeps the data.
TEST_F(Extraction, FolderWithTheSamplesNameIsNoWaveFile) {
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("sounds.wav")));
    BankBuilder b;
    b.AddSample(7, QStringLiteral("sounds.wav"), BankBuilder::Pattern(10, 1), true);
    const QByteArray bank = b.Build();
    ASSERT_TRUE(Open(bank));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(prompts.prompts[0].text.contains(folder.FilePath(QStringLiteral("sounds.wav"))));
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(folder.Read(QStringLiteral("Bnk_1.bnm")), bank);
}

// Every sample whose file cannot be written is counted in one message with
// the first cause, not told of one by one (a full disk fails them all).
TEST_F(Extraction, WaveFilesThatCannotBeWrittenAreToldOfInOneMessage) {
    BankBuilder b;
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        ASSERT_TRUE(QDir(folder.Path()).mkdir(QString::fromLatin1(name)));
    }
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), true);
    b.AddSample(2, QStringLiteral("ok.wav"), BankBuilder::Pattern(20, 2), true);
    b.AddSample(3, QStringLiteral("b.wav"), BankBuilder::Pattern(30, 3), true);
    b.AddSample(4, QStringLiteral("c.wav"), BankBuilder::Pattern(40, 4), true);
    const QByteArray bank = b.Build();
    ASSERT_TRUE(Open(bank));
    ASSERT_EQ(prompts.prompts.size(), 1) << prompts.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(prompts.prompts[0].text.contains(folder.FilePath(QStringLiteral("a.wav"))));
    EXPECT_TRUE(prompts.prompts[0].text.contains(
        QStringLiteral("3 wave files were not written; the bank keeps their sample data.")));
    EXPECT_EQ(folder.Read(QStringLiteral("ok.wav")),
              BankBuilder::Wave(BankBuilder::Pattern(20, 2)));
    // The bank still has all four samples' data and saves them.
    prompts.prompts.clear();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(folder.Read(QStringLiteral("Bnk_1.bnm")), bank);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST(ExtractionOfNonWaves, AFileThatIsNoWaveGivesTheSampleANameOfItsOwn) {
    TestFolder folder;
    RecordingPromptSink prompts;
    BankBuilder b;
    b.bank = 1;
    const QByteArray data = BankBuilder::Pattern(64, 9);
    b.AddSample(3, QStringLiteral("Bnk_1.bns"), data, true);
    folder.Write(QStringLiteral("Bnk_1.bns"), "[body res]\n3 \"Horn\" \"Car horn\"\n");
    const QString path = folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build());
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(CBnmFormat::FileNameText(doc.Resources()[0]), QStringLiteral("Horn.wav"));
    EXPECT_EQ(folder.Read(QStringLiteral("Horn.wav")), BankBuilder::Wave(data));
    // The record's name changed, so the user hears why.
    EXPECT_EQ(prompts.Texts(),
              QStringList{QStringLiteral("These samples were given wave files of their own:\n"
                                         "Bnk_1.bns -> Horn.wav (Bnk_1.bns is not a wave file)\n"
                                         "Saving the bank keeps the new names.")});
    prompts.prompts.clear();
    EXPECT_TRUE(doc.OnSaveDocument(path));
    EXPECT_TRUE(prompts.prompts.isEmpty()) << prompts.Texts().join(QLatin1Char('|')).toStdString();
}
