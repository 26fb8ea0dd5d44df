// A bank's folder as the games and other programs leave it: four banks that
// share it, files that are not what their names say, FIFOs, dangling links,
// huge names files and the leftovers of a killed open. Whatever is there,
// opening and saving never block, never take another sample's file for this
// one's, and never drop data the bank alone holds without saying which and why.
#include "BankBuilder.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"

#include "framework/core/AfxMessageBox.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class HostileFolder : public ::testing::Test {
protected:
    // Whatever blocks fails the test instead of hanging the suite.
    void SetUp() override { ::alarm(60); }
    void TearDown() override { ::alarm(0); }

    QString WriteBank(int number, const BankBuilder& b) const {
        return folder.Write(QStringLiteral("Bnk_%1.bnm").arg(number), b.Build());
    }
    void MakeFifo(const QString& name) const {
        ASSERT_EQ(::mkfifo(QFile::encodeName(folder.FilePath(name)).constData(), 0644), 0);
    }
    static QString FileName(const CKantelDoc& doc, int index) {
        return CBnmFormat::FileNameText(doc.Resources()[index]);
    }
    // The data of sample index in a bank file as written.
    static QByteArray SampleData(const QByteArray& bank, int index) {
        SoundResource r;
        std::memcpy(&r, bank.constData() + BankBuilder::Get32(bank, 12) + index * 92, sizeof r);
        return bank.mid(BankBuilder::Get32(bank, 20) + r.offset, r.length);
    }

    TestFolder folder;
    RecordingPromptSink prompts;
};

BankBuilder unnamedSample(int bank, const QByteArray& data) {
    BankBuilder b;
    b.bank = bank;
    b.AddSample(1, QString(), data, true);
    return b;
}

} // namespace

// --- Names chosen for samples --------------------------------------------------------

// The banks of one folder use the same ids; the name one bank chose for its
// sample must not be taken by another for a different sound.
TEST_F(HostileFolder, BanksOfOneFolderNeverShareAChosenName) {
    const QByteArray first = BankBuilder::Pattern(300, 1);
    const QByteArray second = BankBuilder::Pattern(300, 2);
    const QString bank0 = WriteBank(0, unnamedSample(0, first));
    const QString bank1 = WriteBank(1, unnamedSample(1, second));
    CKantelDoc doc0;
    ASSERT_TRUE(doc0.OnOpenDocument(bank0));
    EXPECT_EQ(FileName(doc0, 0), QStringLiteral("Res00001.wav"));
    CKantelDoc doc1;
    ASSERT_TRUE(doc1.OnOpenDocument(bank1));
    EXPECT_EQ(FileName(doc1, 0), QStringLiteral("Bnk1_00001.wav"));
    EXPECT_EQ(folder.Read(QStringLiteral("Bnk1_00001.wav")), BankBuilder::Wave(second));
    ASSERT_TRUE(doc1.OnSaveDocument(bank1));
    EXPECT_EQ(SampleData(folder.Read(QStringLiteral("Bnk_1.bnm")), 0), second);
    EXPECT_EQ(folder.Read(QStringLiteral("Res00001.wav")), BankBuilder::Wave(first));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

// Opened again before a save, a bank finds the names it chose, because their
// files hold exactly its samples' data; nothing new is written.
TEST_F(HostileFolder, ChosenNamesAreFoundAgainWhenTheBankIsReopened) {
    const QByteArray horn0 = BankBuilder::Pattern(200, 3);
    const QByteArray horn1 = BankBuilder::Pattern(200, 4);
    folder.Write(QStringLiteral("Bnk_0.bns"), "[body res]\n1 \"Horn\" \"\"\n");
    folder.Write(QStringLiteral("Bnk_1.bns"), "[body res]\n1 \"Horn\" \"\"\n");
    const QString bank0 = WriteBank(0, unnamedSample(0, horn0));
    const QString bank1 = WriteBank(1, unnamedSample(1, horn1));
    {
        CKantelDoc doc0;
        ASSERT_TRUE(doc0.OnOpenDocument(bank0));
        EXPECT_EQ(FileName(doc0, 0), QStringLiteral("Horn.wav"));
        CKantelDoc doc1;
        ASSERT_TRUE(doc1.OnOpenDocument(bank1));
        EXPECT_EQ(FileName(doc1, 0), QStringLiteral("Res00001.wav"));
    }
    const QStringList entries = folder.Entries();
    for (const QString& bank : {bank1, bank0}) {
        CKantelDoc again;
        ASSERT_TRUE(again.OnOpenDocument(bank));
        EXPECT_EQ(FileName(again, 0),
                  bank == bank0 ? QStringLiteral("Horn.wav") : QStringLiteral("Res00001.wav"));
    }
    EXPECT_EQ(folder.Entries(), entries);
    EXPECT_EQ(folder.Read(QStringLiteral("Res00001.wav")), BankBuilder::Wave(horn1));
}

// --- Files that are not what their names say ----------------------------------------

TEST_F(HostileFolder, DanglingLinkOrFifoInTheWavesPlaceGivesTheSampleAFileOfItsOwn) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("x.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddSample(2, QStringLiteral("y.wav"), BankBuilder::Pattern(100, 2), true);
    ASSERT_TRUE(QFile::link(folder.FilePath(QStringLiteral("gone.wav")),
                            folder.FilePath(QStringLiteral("x.wav"))));
    MakeFifo(QStringLiteral("y.wav"));
    const QString path = WriteBank(1, b);
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].text,
              QStringLiteral("These samples were given wave files of their own:\n"
                             "x.wav -> Res00001.wav (x.wav is not a regular file)\n"
                             "y.wav -> Res00002.wav (y.wav is not a regular file)\n"
                             "Saving the bank keeps the new names."));
    EXPECT_EQ(folder.Read(QStringLiteral("Res00002.wav")),
              BankBuilder::Wave(BankBuilder::Pattern(100, 2)));
    prompts.prompts.clear();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_TRUE(prompts.prompts.isEmpty());
    EXPECT_EQ(SampleData(folder.Read(QStringLiteral("Bnk_1.bnm")), 1),
              BankBuilder::Pattern(100, 2));
}

// The sample's wave file is broken after the open, while the bank holds the
// only copy of its data: the save is refused, saying what is true of each
// file, and neither the plain save nor one after All External loses it.
TEST_F(HostileFolder, SaveThatWouldDropTheOnlyCopyNamesEachSampleAndWhy) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("junk.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddSample(2, QStringLiteral("empty.wav"), BankBuilder::Pattern(100, 2), true);
    b.AddSample(3, QStringLiteral("pipe.wav"), BankBuilder::Pattern(100, 3), true);
    b.AddSample(4, QStringLiteral("gone.wav"), BankBuilder::Pattern(100, 4), true);
    b.AddSample(5, QStringLiteral("fine.wav"), BankBuilder::Pattern(100, 5), true);
    const QString path = WriteBank(1, b);
    const QByteArray bank = folder.Read(QStringLiteral("Bnk_1.bnm"));
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    folder.Write(QStringLiteral("junk.wav"), QByteArray(300, 'j'));
    folder.Write(QStringLiteral("empty.wav"), BankBuilder::Wave(QByteArray()));
    folder.Remove(QStringLiteral("pipe.wav"));
    MakeFifo(QStringLiteral("pipe.wav"));
    folder.Remove(QStringLiteral("gone.wav"));
    const QString dir = folder.Path();
    const QString expected =
        QStringLiteral("%2junk.wav%3 exists but is not a wave file.\n"
                       "%2empty.wav%3 exists but holds no sample data.\n"
                       "%2pipe.wav%3 is not a regular file.\n"
                       "%2gone.wav%3 was not found.\n"
                       "The bank holds the only copy of their sample data, so the bank was not "
                       "saved.");
    const auto text = [&](const QString& banked, const QString& external) {
        QString t = expected;
        for (const char* name : {"junk", "empty", "pipe", "gone"}) {
            const QString wave = QLatin1String(name) + QStringLiteral(".wav");
            t.replace(QStringLiteral("%2") + wave + QStringLiteral("%3"),
                      banked.arg(wave) + dir + QLatin1Char('/') + wave + external);
        }
        return t;
    };
    ASSERT_FALSE(doc.OnSaveDocument(path));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].text, text(QStringLiteral("Couldn't store %1: "), QString()));
    EXPECT_EQ(prompts.prompts[0].type & MB_ICONMASK, MB_ICONHAND);
    EXPECT_EQ(folder.Read(QStringLiteral("Bnk_1.bnm")), bank);

    prompts.prompts.clear();
    doc.OnEditAllExternal();
    ASSERT_FALSE(doc.OnSaveDocument(path));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].text,
              text(QStringLiteral("%1 is no longer banked, and "), QString()));
    EXPECT_EQ(folder.Read(QStringLiteral("Bnk_1.bnm")), bank);
    EXPECT_TRUE(doc.IsModified());
}

// --- Nothing blocks -------------------------------------------------------------------

TEST_F(HostileFolder, FifoForANamesFileIsToldOfAndNeverOpened) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), true);
    MakeFifo(QStringLiteral("Bnk_1.bns"));
    CKantelDoc doc;
    ASSERT_TRUE(doc.LoadBankAndNames(WriteBank(1, b)));
    EXPECT_FALSE(doc.m_bNamesLoaded);
    EXPECT_EQ(prompts.Texts(),
              QStringList{folder.FilePath(QStringLiteral("Bnk_1.bns")) +
                          QStringLiteral(" is not a regular file.\nThe bank is shown without "
                                         "names.")});
}

TEST_F(HostileFolder, FifoNamedLikeNoWaveIsNoSamplesFile) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("engine.raw"), BankBuilder::Pattern(10, 1), true);
    MakeFifo(QStringLiteral("engine.raw"));
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(WriteBank(1, b)));
    EXPECT_EQ(FileName(doc, 0), QStringLiteral("Res00001.wav"));
}

// --- Names files of any size ----------------------------------------------------------

// Sparse, so it costs no disk; reading it whole would need 64 GiB.
TEST_F(HostileFolder, HugeNamesFileIsIgnoredWithOneWarning) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), true);
    QFile names(folder.FilePath(QStringLiteral("Bnk_1.bns")));
    ASSERT_TRUE(names.open(QIODevice::WriteOnly));
    names.write("[body res]\n1 \"Horn\" \"\"\n");
    ASSERT_TRUE(names.resize(qint64{64} << 30));
    names.close();
    CKantelDoc doc;
    ASSERT_TRUE(doc.LoadBankAndNames(WriteBank(1, b)));
    EXPECT_FALSE(doc.m_bNamesLoaded);
    EXPECT_EQ(doc.GetResourceName(1), QString());
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_EQ(prompts.prompts[0].text,
              folder.FilePath(QStringLiteral("Bnk_1.bns")) +
                  QStringLiteral(" holds 68719476736 bytes, too many for a names file.\nThe "
                                 "bank is shown without names."));
    EXPECT_EQ(prompts.prompts[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
}

TEST_F(HostileFolder, NamesFileJustBelowTheLimitIsRead) {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), true);
    QByteArray text("[body res]\n1 \"Horn\" \"Car horn\"\n");
    text += QByteArray(CKantelDoc::kMaxNamesFile - text.size(), '\n');
    folder.Write(QStringLiteral("Bnk_1.bns"), text);
    CKantelDoc doc;
    ASSERT_TRUE(doc.LoadBankAndNames(WriteBank(1, b)));
    EXPECT_EQ(doc.GetResourceName(1), QStringLiteral("Horn"));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

// --- Leftovers of a killed open -------------------------------------------------------

TEST_F(HostileFolder, TemporariesOfADeadOpenAreRemovedThoseOfALiveOneKept) {
    // What a killed open leaves: temporaries, with or without its lock file.
    folder.Write(QStringLiteral(".kantel-00000000000000aa-0.tmp"), "half a wave");
    folder.Write(QStringLiteral(".kantel-00000000000000aa-1.tmp"), "another");
    folder.Write(QStringLiteral(".kantel-00000000000000bb.lock"), QByteArray());
    folder.Write(QStringLiteral(".kantel-00000000000000bb-0.tmp"), "more");
    // A batch at work in another process holds its lock.
    const QString lock =
        folder.Write(QStringLiteral(".kantel-00000000000000cc.lock"), QByteArray());
    folder.Write(QStringLiteral(".kantel-00000000000000cc-0.tmp"), "being written");
    // flock locks belong to an open file, so one opened here stands for
    // another process's.
    const int held = ::open(QFile::encodeName(lock).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    folder.Write(QStringLiteral("keep.tmp"), "not ours");
    const QString path = WriteBank(1, unnamedSample(1, BankBuilder::Pattern(10, 1)));
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    ::close(held);
    EXPECT_EQ(
        folder.Entries(),
        (QStringList{QStringLiteral(".kantel-00000000000000cc-0.tmp"),
                     QStringLiteral(".kantel-00000000000000cc.lock"), QStringLiteral("Bnk_1.bnm"),
                     QStringLiteral("Res00001.wav"), QStringLiteral("keep.tmp")}));
}
