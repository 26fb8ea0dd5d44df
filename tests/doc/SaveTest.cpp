#include "BankBuilder.h"
#include "FileSizeLimit.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "RecordingView.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"
#include "format/CWaveFile.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr qsizetype kSampleDataAt = 20;
constexpr qsizetype kFileLengthAt = 32;

class Save : public ::testing::Test {
protected:
    bool Open(const QByteArray& bank, const QByteArray& names = QByteArray()) {
        if (!names.isNull()) {
            folder.Write(QStringLiteral("Bnk_1.bns"), names);
        }
        bankPath = folder.Write(QStringLiteral("Bnk_1.bnm"), bank);
        return doc.OnOpenDocument(bankPath);
    }
    QByteArray Saved() const { return folder.Read(QStringLiteral("Bnk_1.bnm")); }
    QByteArray Region() const {
        return doc.GetImage().first(doc.Header()->sampleDataOffset).toByteArray();
    }

    TestFolder folder;
    RecordingPromptSink prompts;
    CKantelDoc doc;
    QString bankPath;
};

// Resource i of a bank file as written.
SoundResource record(const QByteArray& bank, int i) {
    SoundResource r;
    const quint32 table = BankBuilder::Get32(bank, 12);
    std::memcpy(&r, bank.constData() + table + i * 92, sizeof r);
    return r;
}

QByteArray sampleData(const QByteArray& bank, int i) {
    const SoundResource r = record(bank, i);
    return bank.mid(BankBuilder::Get32(bank, kSampleDataAt) + r.offset, r.length);
}

// 100, 200 and 300 bytes in three Samples.
BankBuilder threeSamples(bool banked) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), banked);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(200, 2), banked);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(300, 3), banked);
    return b;
}

// A wave file with chunks around its data chunk.
QByteArray chunkyWave(const QByteArray& data, const QByteArray& before, const QByteArray& after) {
    QByteArray riff("WAVE");
    auto chunk = [&riff](const char* id, const QByteArray& body) {
        QByteArray size(4, '\0');
        BankBuilder::Put32(size, 0, static_cast<quint32>(body.size()));
        riff += QByteArray(id, 4) + size + body;
        if (body.size() % 2 != 0) {
            riff += '\0';
        }
    };
    chunk("fmt ", CWaveFile::MakeHeader(1, 22050, 16, 0).mid(20, 16));
    if (!before.isNull()) {
        chunk("LIST", before);
    }
    chunk("data", data);
    if (!after.isNull()) {
        chunk("smpl", after);
    }
    QByteArray size(4, '\0');
    BankBuilder::Put32(size, 0, static_cast<quint32>(riff.size()));
    return "RIFF" + size + riff;
}

} // namespace

// --- Round trip -------------------------------------------------------------------

TEST_F(Save, UnchangedBankIsReproducedByteForByte) {
    BankBuilder b;
    b.bank = 0;
    b.gapAfterTables = 13;
    b.header.word0 = 0xDEADBEEF;
    b.header.word6 = 6;
    b.header.word7 = 0x77777777;
    b.AddEvent(1, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(0, 1)).word5 = 0x55;
    b.AddEvent(2, SoundEvent::kTypePitch, 3, 98304, 4294967295U).stopable = 7;
    b.AddEvent(3, 12, 0xFFFFFFFFU).dynamic = -1;
    SoundResource& first = b.AddSample(10, QStringLiteral("first.wav"),
                                       BankBuilder::Pattern(1001, 1), true, 44100, 16, 2);
    first.volumeRest[1] = 9;
    first.flags[3] = -4;
    first.word22 = 0xCAFEBABE;
    first.looped = 5;
    b.AddSample(11, QStringLiteral("ext.wav"), BankBuilder::Pattern(50, 2), false);
    b.AddCdTrack(12, 4, 99).flags[0] |= 0x70000;
    b.AddResource(13, 2).offset = 4242;
    b.AddSample(14, QStringLiteral("last.wav"), BankBuilder::Pattern(777, 3), true, 8000, 8, 1);
    QByteArray bank = b.Build();
    // Bytes in the gap after the tables are not interpreted and must survive.
    const quint32 region = BankBuilder::Get32(bank, kSampleDataAt);
    for (int i = 1; i <= 13; ++i) {
        bank[region - i] = static_cast<char>(i);
    }
    folder.Write(QStringLiteral("ext.wav"), BankBuilder::Wave(BankBuilder::Pattern(50, 2)));
    ASSERT_TRUE(Open(bank, "[body res]\n10 \"First\" \"\"\n"));
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(Saved(), bank);
    EXPECT_TRUE(prompts.prompts.isEmpty());
    EXPECT_FALSE(doc.IsModified());
}

// Large banks are read into memory allocated another way than small ones;
// the round trip must not care.
TEST_F(Save, LargeBankRoundTripsToo) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("big.wav"), BankBuilder::Pattern((9 << 20) + 3, 1), true);
    b.AddSample(2, QStringLiteral("tail.wav"), BankBuilder::Pattern(5, 2), true);
    const QByteArray bank = b.Build();
    ASSERT_TRUE(Open(bank));
    EXPECT_EQ(folder.Read(QStringLiteral("tail.wav")).mid(44), BankBuilder::Pattern(5, 2));
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_TRUE(Saved() == bank);
}

TEST_F(Save, NamesChosenOnOpenReachTheDiskWithTheSave) {
    BankBuilder b;
    b.AddSample(7, QString(), BankBuilder::Pattern(10, 1), true);
    ASSERT_TRUE(Open(b.Build(), "[body res]\n7 \"Horn\" \"\"\n"));
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(CBnmFormat::FileNameText(record(Saved(), 0)), QStringLiteral("Horn.wav"));
    EXPECT_EQ(sampleData(Saved(), 0), BankBuilder::Pattern(10, 1));
}

// --- The sample data area ----------------------------------------------------------

TEST_F(Save, BankedSamplesAreAppendedInTableOrder) {
    ASSERT_TRUE(Open(threeSamples(false).Build()));
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        const int seed = name[0] - 'a' + 1;
        folder.Write(QString::fromLatin1(name),
                     BankBuilder::Wave(BankBuilder::Pattern(seed * 100, seed)));
    }
    doc.OnEditAllBanked();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    const QByteArray saved = Saved();
    const quint32 region = BankBuilder::Get32(saved, kSampleDataAt);
    EXPECT_EQ(saved.size(), region + 600);
    EXPECT_EQ(BankBuilder::Get32(saved, kFileLengthAt), region + 600);
    EXPECT_EQ(saved.mid(region), BankBuilder::Pattern(100, 1) + BankBuilder::Pattern(200, 2) +
                                     BankBuilder::Pattern(300, 3));
    EXPECT_EQ(doc.m_nFileSize, region + 600);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(Save, AllExternalLeavesTheHeaderRegionAndTheWaves) {
    ASSERT_TRUE(Open(threeSamples(true).Build()));
    doc.OnEditAllExternal();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    const QByteArray saved = Saved();
    const quint32 region = BankBuilder::Get32(saved, kSampleDataAt);
    EXPECT_EQ(saved.size(), region);
    EXPECT_EQ(BankBuilder::Get32(saved, kFileLengthAt), region);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(record(saved, i).storage, SoundResource::kStorageExternal);
        EXPECT_EQ(record(saved, i).offset, 44);
    }
    EXPECT_EQ(folder.Read(QStringLiteral("b.wav")).mid(44), BankBuilder::Pattern(200, 2));
}

TEST_F(Save, SampleWithoutAWaveBecomesExternalAndTheRestCloseUp) {
    ASSERT_TRUE(Open(threeSamples(false).Build()));
    // Opening told of the external samples' waves, which the test writes only now.
    prompts.prompts.clear();
    folder.Write(QStringLiteral("a.wav"), BankBuilder::Wave(BankBuilder::Pattern(100, 1)));
    folder.Write(QStringLiteral("c.wav"), BankBuilder::Wave(BankBuilder::Pattern(300, 3)));
    doc.OnEditAllBanked();
    RecordingView view(doc);
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].text, QStringLiteral("Couldn't store b.wav"));
    EXPECT_EQ(prompts.prompts[0].type, MB_OK | MB_ICONHAND);
    const QByteArray saved = Saved();
    const quint32 region = BankBuilder::Get32(saved, kSampleDataAt);
    EXPECT_EQ(record(saved, 1).storage, SoundResource::kStorageExternal);
    EXPECT_EQ(record(saved, 1).offset, 44);
    EXPECT_EQ(record(saved, 2).offset, 100);
    EXPECT_EQ(saved.size(), region + 400);
    EXPECT_EQ(BankBuilder::Get32(saved, kFileLengthAt), region + 400);
    EXPECT_EQ(sampleData(saved, 2), BankBuilder::Pattern(300, 3));
    EXPECT_EQ(doc.Resources()[1].storage, SoundResource::kStorageExternal);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(view.updates, 1);
}

TEST_F(Save, WaveWithNoDataCannotBeStored) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), false);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(10, 2), false);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(10, 3), false);
    ASSERT_TRUE(Open(b.Build()));
    // Opening told of the external samples' waves, which the test writes only now.
    prompts.prompts.clear();
    folder.Write(QStringLiteral("a.wav"), BankBuilder::Wave(QByteArray()));
    folder.Write(QStringLiteral("b.wav"), BankBuilder::Wave(QByteArray(10, 'x')).left(30));
    folder.Write(QStringLiteral("c.wav"), BankBuilder::Pattern(100, 9)); // not RIFF at all
    doc.OnEditAllBanked();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(prompts.Texts(), (QStringList{QStringLiteral("Couldn't store a.wav"),
                                            QStringLiteral("Couldn't store b.wav"),
                                            QStringLiteral("Couldn't store c.wav")}));
    EXPECT_EQ(Saved().size(), static_cast<qsizetype>(BankBuilder::Get32(Saved(), kSampleDataAt)));
}

TEST_F(Save, SaveAsElsewhereStillReadsTheWavesOfTheOpenedFolder) {
    ASSERT_TRUE(Open(threeSamples(true).Build()));
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("copy")));
    const QString copy = folder.FilePath(QStringLiteral("copy/Bnk_1.bnm"));
    ASSERT_TRUE(doc.OnSaveDocument(copy));
    EXPECT_EQ(folder.Read(QStringLiteral("copy/Bnk_1.bnm")), Saved());
    EXPECT_EQ(QDir(folder.FilePath(QStringLiteral("copy"))).entryList(QDir::Files),
              QStringList{QStringLiteral("Bnk_1.bnm")});
    EXPECT_EQ(doc.GetBankFolder(), folder.Path() + QLatin1Char('/'));
}

// The editor's Save As has no earlier check than this: the records as edited
// name the waves, including one an edit has just given a record.
TEST_F(Save, SaveAsOntoAFileTheFoldersBanksUseIsRefusedAndTheFileKept) {
    ASSERT_TRUE(Open(threeSamples(true).Build(), QByteArray("1 A\n")));
    const SoundResource before = doc.Resources()[2];
    SoundResource renamed = before;
    CBnmFormat::SetFileName(renamed, QStringLiteral("new.wav"));
    ASSERT_TRUE(doc.ReplaceResource(2, before, renamed));
    folder.Write(QStringLiteral("new.wav"), "only copy");
    for (const QString& name :
         {QStringLiteral("a.wav"), QStringLiteral("new.wav"), QStringLiteral("Bnk_1.bns")}) {
        SCOPED_TRACE(qPrintable(name));
        const QByteArray kept = folder.Read(name);
        const qsizetype shown = prompts.Texts().size();
        EXPECT_FALSE(doc.OnSaveDocument(folder.FilePath(name)));
        ASSERT_EQ(prompts.Texts().size(), shown + 1);
        EXPECT_TRUE(
            prompts.Texts().last().startsWith(folder.FilePath(name) + QStringLiteral(" is ")))
            << qPrintable(prompts.Texts().last());
        EXPECT_EQ(folder.Read(name), kept);
        EXPECT_TRUE(doc.IsModified());
    }
    EXPECT_EQ(folder.Read(QStringLiteral("new.wav")), QByteArray("only copy"));
}

// Another program saved the bank while it was open here with edits of its
// own: replacing that file without a word loses the other program's change.
// Cancel (the answer where nobody can be asked) keeps it, Reload takes it,
// Save Anyway replaces it as asked.
TEST_F(Save, ABankChangedOnDiskSinceItWasOpenedIsReplacedOnlyWhenTheUserSaysSo) {
    ASSERT_TRUE(Open(threeSamples(true).Build()));
    const auto edit = [this] {
        const SoundResource before = doc.Resources()[0];
        SoundResource after = before;
        after.volume = static_cast<quint8>((before.volume + 1) % 128);
        ASSERT_TRUE(doc.ReplaceResource(0, before, after));
    };
    const auto theirs = [this] {
        CKantelDoc other;
        EXPECT_TRUE(other.OnOpenDocument(bankPath));
        other.OnEditAllExternal();
        EXPECT_TRUE(other.OnSaveDocument(bankPath));
        return Saved();
    };
    edit();
    const QByteArray other = theirs();
    prompts.prompts.clear();
    prompts.answers = {IDCANCEL};
    EXPECT_FALSE(doc.OnSaveDocument(bankPath));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].type & MB_TYPEMASK, MB_SAVEANYWAYRELOADCANCEL);
    EXPECT_TRUE(prompts.Texts()[0].startsWith(bankPath + QStringLiteral(" was changed on disk")))
        << qPrintable(prompts.Texts()[0]);
    EXPECT_EQ(Saved(), other);
    EXPECT_TRUE(doc.IsModified());

    prompts.answers = {IDRELOAD};
    EXPECT_FALSE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(Saved(), other);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.Resources()[0].storage, SoundResource::kStorageExternal) << "theirs, reloaded";
    prompts.prompts.clear();
    edit();
    EXPECT_TRUE(doc.OnSaveDocument(bankPath)) << "reloaded, the file is the one it knows";
    EXPECT_TRUE(prompts.prompts.isEmpty()) << qPrintable(prompts.Texts().join('\n'));

    theirs();
    edit();
    prompts.answers = {IDSAVEANYWAY};
    EXPECT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(record(Saved(), 0).volume, doc.Resources()[0].volume);
    // Its own save is no change for the next one, nor a bank written anew
    // where it was removed.
    edit();
    prompts.prompts.clear();
    EXPECT_TRUE(doc.OnSaveDocument(bankPath));
    ASSERT_TRUE(QFile::remove(bankPath));
    edit();
    EXPECT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_TRUE(prompts.prompts.isEmpty()) << qPrintable(prompts.Texts().join('\n'));
}

// What the watcher's notice leads to: one question for each new state of the
// file, none for the bank's own save, and Yes reads the other program's bank.
TEST_F(Save, AChangeOnDiskIsToldOnceAndYesReloadsIt) {
    ASSERT_TRUE(Open(threeSamples(true).Build()));
    doc.SetPathName(bankPath);
    prompts.prompts.clear();
    doc.OnFileChangedOnDisk();
    EXPECT_TRUE(prompts.prompts.isEmpty()) << "nothing changed";
    {
        CKantelDoc other;
        ASSERT_TRUE(other.OnOpenDocument(bankPath));
        other.OnEditAllExternal();
        ASSERT_TRUE(other.OnSaveDocument(bankPath));
    }
    EXPECT_TRUE(doc.ChangedOnDisk());
    prompts.answers = {IDNO};
    doc.OnFileChangedOnDisk();
    doc.OnFileChangedOnDisk();
    ASSERT_EQ(prompts.prompts.size(), 1) << "one change, one question";
    EXPECT_EQ(prompts.prompts[0].type & MB_TYPEMASK, MB_YESNO);
    EXPECT_EQ(doc.Resources()[0].storage, SoundResource::kStorageBank) << "No keeps it as it was";

    {
        CKantelDoc other;
        ASSERT_TRUE(other.OnOpenDocument(bankPath));
        other.OnEditAllBanked();
        other.OnEditAllExternal();
        const SoundResource before = other.Resources()[1];
        SoundResource after = before;
        after.volume = 3;
        ASSERT_TRUE(other.ReplaceResource(1, before, after));
        ASSERT_TRUE(other.OnSaveDocument(bankPath));
    }
    prompts.answers = {IDYES};
    doc.OnFileChangedOnDisk();
    ASSERT_EQ(prompts.prompts.size(), 2);
    EXPECT_EQ(doc.Resources()[1].volume, 3) << "reloaded";
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.ChangedOnDisk());

    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    doc.OnFileChangedOnDisk();
    EXPECT_EQ(prompts.prompts.size(), 2) << "its own save is no change";
}

// --- Offsets always describe the data ----------------------------------------------

TEST_F(Save, BankWhoseSamplesDidNotLieBackToBackIsWrittenConsistent) {
    BankBuilder b = threeSamples(true);
    b.AddCdTrack(4, 2);
    QByteArray bank = b.Build();
    const quint32 region = BankBuilder::Get32(bank, kSampleDataAt);
    // Reverse order in the data area, with a gap in front, and c sharing b's data.
    const QByteArray a = BankBuilder::Pattern(100, 1);
    const QByteArray bData = BankBuilder::Pattern(200, 2);
    bank = bank.left(region) + QByteArray(7, 'g') + bData + a;
    const quint32 table = BankBuilder::Get32(bank, 12);
    BankBuilder::Put32(bank, table + 16, 7 + 200); // a
    BankBuilder::Put32(bank, table + 92 + 16, 7);  // b
    BankBuilder::Put32(bank, table + 184 + 16, 5); // c: 300 bytes across the others
    ASSERT_TRUE(Open(bank));
    EXPECT_EQ(prompts.prompts.size(), 0);
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    const QByteArray saved = Saved();
    EXPECT_EQ(record(saved, 0).offset, 0);
    EXPECT_EQ(record(saved, 1).offset, 100);
    EXPECT_EQ(record(saved, 2).offset, 300);
    EXPECT_EQ(sampleData(saved, 0), a);
    EXPECT_EQ(sampleData(saved, 1), bData);
    EXPECT_EQ(sampleData(saved, 2), bank.mid(region + 5, 300));
    EXPECT_EQ(saved.size(), region + 600);
}

TEST_F(Save, LengthFollowsTheWaveData) {
    ASSERT_TRUE(Open(threeSamples(true).Build()));
    folder.Write(QStringLiteral("a.wav"), BankBuilder::Wave(BankBuilder::Pattern(150, 7)));
    folder.Write(QStringLiteral("b.wav"), BankBuilder::Wave(BankBuilder::Pattern(20, 8)));
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    const QByteArray saved = Saved();
    EXPECT_EQ(record(saved, 0).length, 150);
    EXPECT_EQ(record(saved, 1).length, 20);
    EXPECT_EQ(record(saved, 1).offset, 150);
    EXPECT_EQ(record(saved, 2).offset, 170);
    EXPECT_EQ(sampleData(saved, 1), BankBuilder::Pattern(20, 8));
    EXPECT_EQ(sampleData(saved, 2), BankBuilder::Pattern(300, 3));
    EXPECT_EQ(doc.Resources()[0].length, 150);
}

TEST_F(Save, OnlyTheDataChunkIsPackedAndNeverMoreThanTheFileHolds) {
    ASSERT_TRUE(Open(threeSamples(true).Build()));
    // a: an odd chunk (with its pad byte) before the data, one after it.
    folder.Write(QStringLiteral("a.wav"),
                 chunkyWave(BankBuilder::Pattern(33, 4), QByteArray("INFOx"), QByteArray(60, 's')));
    // b: the data chunk says more than the file holds.
    QByteArray cut = BankBuilder::Wave(BankBuilder::Pattern(200, 5));
    BankBuilder::Put32(cut, 40, 1000000);
    folder.Write(QStringLiteral("b.wav"), cut);
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    const QByteArray saved = Saved();
    EXPECT_EQ(sampleData(saved, 0), BankBuilder::Pattern(33, 4));
    EXPECT_EQ(sampleData(saved, 1), BankBuilder::Pattern(200, 5));
    EXPECT_EQ(sampleData(saved, 2), BankBuilder::Pattern(300, 3));
    EXPECT_EQ(saved.size(), BankBuilder::Get32(saved, kSampleDataAt) + 533);
    EXPECT_EQ(prompts.Texts(),
              QStringList{QStringLiteral(
                  "Some wave files are shorter than they say:\nb.wav holds 200 of the 1000000 "
                  "bytes its data chunk claims; only those were saved.")});
}

// A wave whose writing was cut short (a full disk, a killed program) still
// claims its whole length. The bank held the sample when it was opened, so
// what the file lacks comes from there and the sample keeps all its bytes.
TEST_F(Save, CutShortWaveIsCompletedFromTheBankAndTheUserIsTold) {
    BankBuilder b;
    b.bank = 1;
    const QByteArray sound = BankBuilder::Pattern(17640, 7);
    b.AddSample(1, QStringLiteral("crash.wav"), sound, true);
    b.AddSample(2, QStringLiteral("horn.wav"), BankBuilder::Pattern(100, 8), true);
    ASSERT_TRUE(Open(b.Build()));
    folder.Write(QStringLiteral("crash.wav"), folder.Read(QStringLiteral("crash.wav")).left(100));
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    const QByteArray saved = Saved();
    EXPECT_EQ(record(saved, 0).length, 17640);
    EXPECT_EQ(sampleData(saved, 0), sound);
    EXPECT_EQ(sampleData(saved, 1), BankBuilder::Pattern(100, 8));
    EXPECT_EQ(prompts.Texts(),
              QStringList{QStringLiteral(
                  "Some wave files are shorter than they say:\ncrash.wav holds 56 of the 17640 "
                  "bytes its data chunk claims; the other 17584 were kept from the bank.")});
    EXPECT_EQ(prompts.prompts[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
}

// Opening reads the header region only; the bank's data comes from the bank
// file, kept open, when a save first needs it. Another program that puts a
// new file in the bank's place changes nothing of the open one: its data is
// still the bank as it was opened.
TEST_F(Save, DataOnlyTheBankHoldsComesFromTheOpenedFileEvenOnceItWasReplaced) {
    BankBuilder b;
    b.bank = 1;
    const QByteArray sound = BankBuilder::Pattern(17640, 7);
    b.AddSample(1, QStringLiteral("crash.wav"), sound, true);
    b.AddSample(2, QStringLiteral("horn.wav"), BankBuilder::Pattern(100, 8), true);
    const QByteArray bank = b.Build();
    ASSERT_TRUE(Open(bank));
    // Its waves written, the bank opens without needing its data.
    ASSERT_TRUE(doc.OnOpenDocument(bankPath));
    folder.Write(QStringLiteral("crash.wav"), folder.Read(QStringLiteral("crash.wav")).left(100));
    ASSERT_TRUE(QFile::remove(bankPath));
    QByteArray theirs = bank;
    theirs.replace(theirs.size() - 100, 100, QByteArray(100, 'X'));
    folder.Write(QStringLiteral("Bnk_1.bnm"), theirs);
    prompts.prompts.clear();
    prompts.answers = {IDSAVEANYWAY};
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(sampleData(Saved(), 0), sound);
    EXPECT_EQ(sampleData(Saved(), 1), BankBuilder::Pattern(100, 8));
}

// Another program wrote the bank in place after it was opened: its bytes are
// no longer the bank as opened, so a save that needs them is refused rather
// than packing the other program's bytes (or none).
TEST_F(Save, ABankWrittenInPlaceSinceItWasOpenedGivesNoDataAndTheSaveIsRefused) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("crash.wav"), BankBuilder::Pattern(17640, 7), true);
    ASSERT_TRUE(Open(b.Build()));
    ASSERT_TRUE(doc.OnOpenDocument(bankPath));
    folder.Write(QStringLiteral("crash.wav"), folder.Read(QStringLiteral("crash.wav")).left(100));
    {
        QFile bank(bankPath);
        ASSERT_TRUE(bank.open(QIODevice::ReadWrite));
        ASSERT_TRUE(bank.seek(bank.size() - 4));
        ASSERT_EQ(bank.write("XXXX"), 4);
        // The same second as the open must not hide the write.
        ASSERT_TRUE(bank.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000),
                                     QFileDevice::FileModificationTime));
    }
    const QByteArray theirs = Saved();
    prompts.prompts.clear();
    const QString copy = folder.FilePath(QStringLiteral("Copy.bnm"));
    EXPECT_FALSE(doc.OnSaveDocument(copy));
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(Saved(), theirs);
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(prompts.Texts()[0].contains(
        QStringLiteral("The sample data of %1 could not be read").arg(bankPath)))
        << qPrintable(prompts.Texts()[0]);
    // Asked again, it says the same: nothing reads the bank's data now.
    EXPECT_FALSE(doc.OnSaveDocument(copy));
    EXPECT_FALSE(QFile::exists(copy));
}

// The record's length is 31 bits: a bigger wave cannot be described, so it
// must not be packed with offsets that wrap. The file is sparse, so this
// costs no disk space and nothing is copied.
TEST_F(Save, WaveTooBigForTheRecordIsNotStored) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("huge.wav"), QByteArray(), false);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(20, 2), false);
    ASSERT_TRUE(Open(b.Build()));
    // Opening told of the external samples' waves, which the test writes only now.
    prompts.prompts.clear();
    folder.Write(QStringLiteral("b.wav"), BankBuilder::Wave(BankBuilder::Pattern(20, 2)));
    const qint64 data = qint64{1} << 31;
    QByteArray header = BankBuilder::Wave(QByteArray());
    BankBuilder::Put32(header, 40, static_cast<quint32>(data));
    folder.Write(QStringLiteral("huge.wav"), header);
    ASSERT_TRUE(QFile::resize(folder.FilePath(QStringLiteral("huge.wav")), 44 + data));
    doc.OnEditAllBanked();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(prompts.Texts(), QStringList{QStringLiteral("Couldn't store huge.wav")});
    EXPECT_EQ(record(Saved(), 1).offset, 0);
    EXPECT_EQ(sampleData(Saved(), 1), BankBuilder::Pattern(20, 2));
}

// --- Samples with no data in the bank ----------------------------------------------

// The bank holds nothing of these, so there is nothing to lose: saving must go
// on as for any sample that cannot be stored.
TEST_F(Save, BankedSampleWithNoDataDoesNotBlockTheSave) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("empty.wav"), QByteArray(), true);
    b.AddSample(2, QStringLiteral("past.wav"), BankBuilder::Pattern(10, 2), true);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(30, 3), true);
    QByteArray bank = b.Build();
    BankBuilder::Put32(bank, 36 + 92 + 16, 5000); // starts past the end of the file
    ASSERT_TRUE(Open(bank));
    EXPECT_EQ(prompts.prompts.size(), 2);
    prompts.prompts.clear();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(prompts.Texts(), (QStringList{QStringLiteral("Couldn't store empty.wav"),
                                            QStringLiteral("Couldn't store past.wav")}));
    const QByteArray saved = Saved();
    EXPECT_EQ(record(saved, 0).storage, SoundResource::kStorageExternal);
    EXPECT_EQ(record(saved, 1).storage, SoundResource::kStorageExternal);
    EXPECT_EQ(record(saved, 2).offset, 0);
    EXPECT_EQ(sampleData(saved, 2), BankBuilder::Pattern(30, 3));
    EXPECT_FALSE(doc.IsModified());
}

// --- Failed saves lose nothing -------------------------------------------------------

TEST_F(Save, WaveOfASampleBankedAtOpenVanishedSoTheSaveIsRefused) {
    const QByteArray bank = threeSamples(true).Build();
    ASSERT_TRUE(Open(bank));
    SoundResource quieter = doc.Resources()[0];
    quieter.volume = 5;
    ASSERT_TRUE(doc.ReplaceResource(0, doc.Resources()[0], quieter));
    doc.SetModifiedFlag(true);
    const QByteArray before = Region();
    folder.Remove(QStringLiteral("b.wav"));
    RecordingView view(doc);
    EXPECT_FALSE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(Saved(), bank);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Region(), before);
    EXPECT_EQ(doc.Resources()[1].storage, SoundResource::kStorageBank);
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(prompts.prompts[0].text.contains(QStringLiteral("Couldn't store b.wav")));
    EXPECT_TRUE(prompts.prompts[0].text.contains(folder.FilePath(QStringLiteral("b.wav"))));
    EXPECT_EQ(prompts.prompts[0].type & MB_ICONMASK, MB_ICONHAND);
    EXPECT_EQ(view.updates, 1);
    EXPECT_EQ(folder.Entries(), (QStringList{QStringLiteral("Bnk_1.bnm"), QStringLiteral("a.wav"),
                                             QStringLiteral("c.wav")}));
}

TEST_F(Save, TargetThatCannotBeCreatedLeavesEverythingAsItWas) {
    ASSERT_TRUE(Open(threeSamples(true).Build()));
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("dir.bnm")));
    doc.SetModifiedFlag(true);
    const QByteArray before = Region();
    const qint64 size = doc.m_nFileSize;
    for (const QString& target : {folder.FilePath(QStringLiteral("dir.bnm")),
                                  folder.FilePath(QStringLiteral("none/Bnk_1.bnm"))}) {
        prompts.prompts.clear();
        EXPECT_FALSE(doc.OnSaveDocument(target));
        EXPECT_EQ(prompts.prompts.size(), 1);
        EXPECT_TRUE(doc.IsModified());
        EXPECT_EQ(Region(), before);
        EXPECT_EQ(doc.m_nFileSize, size);
    }
}

// The disk fills up half-way through the sample data, after one sample was
// already turned external: the old bank stays, and so do the records.
TEST_F(Save, DiskFullPartWayKeepsTheOldBankAndTheRecords) {
    BankBuilder b = threeSamples(false);
    b.AddSample(4, QStringLiteral("big.wav"), BankBuilder::Pattern(40000, 4), true);
    const QByteArray bank = b.Build();
    ASSERT_TRUE(Open(bank));
    // Opening told of the external samples' waves, which the test writes only now.
    prompts.prompts.clear();
    folder.Write(QStringLiteral("a.wav"), BankBuilder::Wave(BankBuilder::Pattern(100, 1)));
    folder.Write(QStringLiteral("c.wav"), BankBuilder::Wave(BankBuilder::Pattern(300, 3)));
    doc.OnEditAllBanked();
    const QByteArray before = Region();
    const qint64 size = doc.m_nFileSize;
    bool saved = true;
    {
        FileSizeLimit limit(16384);
        saved = doc.OnSaveDocument(bankPath);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(Saved(), bank);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(Region(), before);
    EXPECT_EQ(doc.Resources()[1].storage, SoundResource::kStorageBank);
    EXPECT_EQ(doc.m_nFileSize, size);
    // b could not be stored, then the write failed: the file error is the one
    // message, since b's record stays as it was.
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(prompts.prompts[0].text.contains(bankPath));
    EXPECT_EQ(folder.Entries(), (QStringList{QStringLiteral("Bnk_1.bnm"), QStringLiteral("a.wav"),
                                             QStringLiteral("big.wav"), QStringLiteral("c.wav")}));
    // With room again the same document saves.
    prompts.prompts.clear();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(sampleData(Saved(), 3), BankBuilder::Pattern(40000, 4));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].text, QStringLiteral("Couldn't store b.wav"));
}

TEST_F(Save, NothingLoadedWritesNothing) {
    CKantelDoc empty;
    CFile file;
    ASSERT_TRUE(file.Open(folder.FilePath(QStringLiteral("x.bnm")),
                          CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_FALSE(empty.WriteBank(file));
    EXPECT_EQ(file.GetLength(), 0);
}

TEST_F(Save, SampleBankedBySaveIsProtectedLikeOneBankedAtOpen) {
    const QByteArray bank = threeSamples(false).Build();
    folder.Write(QStringLiteral("a.wav"), BankBuilder::Wave(BankBuilder::Pattern(100, 1)));
    folder.Write(QStringLiteral("b.wav"), BankBuilder::Wave(BankBuilder::Pattern(200, 2)));
    folder.Write(QStringLiteral("c.wav"), BankBuilder::Wave(BankBuilder::Pattern(300, 3)));
    ASSERT_TRUE(Open(bank));
    doc.OnEditAllBanked();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    const QByteArray saved = Saved();
    // Now only the bank holds b's data besides its wave; losing the wave must
    // not lose the sample on the next save.
    folder.Remove(QStringLiteral("b.wav"));
    doc.SetModifiedFlag(true);
    EXPECT_FALSE(doc.OnSaveDocument(bankPath));
    EXPECT_EQ(Saved(), saved);
    EXPECT_EQ(doc.Resources()[1].storage, SoundResource::kStorageBank);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(Save, SampleMadeExternalBySaveNoLongerBlocksALaterSave) {
    const QByteArray bank = threeSamples(true).Build();
    ASSERT_TRUE(Open(bank));
    doc.OnEditAllExternal();
    ASSERT_TRUE(doc.OnSaveDocument(bankPath));
    folder.Remove(QStringLiteral("b.wav"));
    doc.OnEditAllBanked();
    prompts.prompts.clear();
    // The bank on disk holds none of b any more, so the described rule holds:
    // it cannot be stored and turns external, the save goes on.
    EXPECT_TRUE(doc.OnSaveDocument(bankPath));
    ASSERT_EQ(prompts.Texts(), QStringList{QStringLiteral("Couldn't store b.wav")});
    EXPECT_EQ(record(Saved(), 1).storage, SoundResource::kStorageExternal);
}
