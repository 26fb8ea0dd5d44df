#include "BankBuilder.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "SoundTools.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"
#include "format/CFolderReplacer.h"
#include "format/CReplacePlan.h"

#include <QDir>
#include <QFile>

#include <atomic>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QStringList format44() {
    return {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
            QStringLiteral("1"),  QStringLiteral("-b"),    QStringLiteral("16")};
}

// A bank of four samples and a CD track, its names file, and a folder of
// sound files beside it.
class FolderReplace : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(folder.Path()).mkpath(QStringLiteral("bank")));
        ASSERT_TRUE(QDir(folder.Path()).mkpath(QStringLiteral("sounds")));
        BankBuilder b;
        b.AddSample(1, QStringLiteral("horn.wav"), BankBuilder::Pattern(200, 1), false);
        b.AddSample(2, QStringLiteral("skid.wav"), BankBuilder::Pattern(200, 2), false);
        b.AddSample(3, QStringLiteral("tyre.wav"), BankBuilder::Pattern(200, 3), false);
        b.AddSample(4, QStringLiteral("tyre2.wav"), BankBuilder::Pattern(200, 4), false);
        b.AddCdTrack(5, 2);
        for (const SoundResource& r : b.resources) {
            if (r.IsSample()) {
                folder.Write(QStringLiteral("bank/") + CBnmFormat::FileNameText(r),
                             BankBuilder::Wave(BankBuilder::Pattern(200, 9)));
            }
        }
        bank = folder.Write(QStringLiteral("bank/Bnk_1.bnm"), b.Build());
        // Two samples share the name "Tyre"; the CD track is called "Music".
        folder.Write(QStringLiteral("bank/Bnk_1.bns"),
                     "[body res]\n1 \"Siren\" \"\"\n2 \"Skid\" \"\"\n3 \"Tyre\" \"\"\n"
                     "4 \"Tyre\" \"\"\n5 \"Music\" \"\"\n");
        sounds = folder.FilePath(QStringLiteral("sounds"));
    }
    void Tone(const char* name, double seconds = 0.2) const {
        ASSERT_TRUE(SoundTools::Tone(sounds + QLatin1Char('/') + QString::fromLatin1(name),
                                     format44(), seconds));
    }
    CReplacePlan Plan(const CKantelDoc& doc) const {
        CResult<CReplacePlan> plan = CReplacePlan::Make(sounds, doc.Records(), {});
        EXPECT_TRUE(plan.Ok());
        return plan.Ok() ? plan.Value() : CReplacePlan();
    }

    TestFolder folder;
    QString bank;
    QString sounds;
};

} // namespace

TEST_F(FolderReplace, NamesAndWaveNamesMatchAndNothingIsEverGuessed) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    // SIREN by the names file and horn by the wave name are one sample, not
    // two; Tyre fits two samples; Skid is fitted by two files; tyre2 fits
    // one by its wave name; the CD track and a text file are never taken.
    for (const char* name : {"SIREN.FLAC", "horn.wav", "Tyre.wav", "Skid.wav", "skid.aiff",
                             "TYRE2.Wav", "Music.wav", "nothing.ogg"}) {
        Tone(name);
    }
    folder.Write(QStringLiteral("sounds/Skid.txt"), "not a sound");
    CKantelDoc doc;
    ASSERT_TRUE(doc.LoadBankAndNames(bank));
    const CReplacePlan plan = Plan(doc);

    ASSERT_EQ(plan.matches.size(), 1U);
    EXPECT_EQ(plan.matches[0].index, 3);
    EXPECT_EQ(plan.matches[0].fileName, QStringLiteral("TYRE2.Wav"));
    EXPECT_EQ(plan.matches[0].name, QStringLiteral("Tyre"));
    QStringList ambiguous;
    for (const CReplacePlan::Ambiguous& a : plan.ambiguous) {
        QStringList indexes;
        for (int index : a.indexes) {
            indexes.append(QString::number(index));
        }
        ambiguous.append(a.fileName + QLatin1Char(':') + indexes.join(QLatin1Char(',')));
    }
    EXPECT_EQ(ambiguous, (QStringList{QStringLiteral("SIREN.FLAC:0"), QStringLiteral("Skid.wav:1"),
                                      QStringLiteral("Tyre.wav:2,3"), QStringLiteral("horn.wav:0"),
                                      QStringLiteral("skid.aiff:1")}));
    EXPECT_EQ(plan.unmatched,
              (QStringList{QStringLiteral("Music.wav"), QStringLiteral("nothing.ogg")}));
    EXPECT_EQ(plan.samplesWithoutFile, 0);
    EXPECT_TRUE(plan.failed.empty());

    // The bank's own folder: its waves are the samples already, not new
    // sounds for them; a sound by a sample's name still is one.
    Tone("../bank/Skid.flac");
    const CResult<CReplacePlan> own = CReplacePlan::Make(folder.FilePath(QStringLiteral("bank")),
                                                         doc.Records(), {}, doc.GetBankFolder());
    ASSERT_TRUE(own.Ok());
    ASSERT_EQ(own.Value().matches.size(), 1U);
    EXPECT_EQ(own.Value().matches[0].fileName, QStringLiteral("Skid.flac"));
    EXPECT_EQ(own.Value().ambiguous.size(), 1U) << "Tyre.wav fits two samples whatever the folder";
}

TEST_F(FolderReplace, OneUndoStepTakesBackEveryRecordAndACancelOrFailureWritesNothing) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    Tone("Siren.flac", 0.5);
    Tone("skid.ogg", 0.25);
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    const std::vector<SoundResource> before(doc.Resources().begin(), doc.Resources().end());
    const QStringList files = QDir(folder.FilePath(QStringLiteral("bank")))
                                  .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    const CReplacePlan plan = Plan(doc);
    ASSERT_EQ(plan.matches.size(), 2U);

    // Cancelled after the first sound: its file was made, and must go.
    int asked = 0;
    EXPECT_FALSE(doc.ReplaceFromFolder(plan, plan.matches, [&] { return ++asked > 1; }));
    EXPECT_TRUE(prompts.Texts().isEmpty());
    EXPECT_EQ(QDir(folder.FilePath(QStringLiteral("bank")))
                  .entryList(QDir::Files | QDir::Hidden, QDir::Name),
              files);
    EXPECT_FALSE(doc.IsModified());

    ASSERT_TRUE(doc.ReplaceFromFolder(plan, plan.matches));
    EXPECT_EQ(doc.GetHistory().UndoLabel(), QStringLiteral("Replace 2 Sounds"));
    EXPECT_EQ(CBnmFormat::FileNameText(doc.Resources()[0]), QStringLiteral("Siren.wav"));
    EXPECT_EQ(doc.Resources()[0].length, 22050); // half a second at 22,050 Hz, 16 bits
    EXPECT_EQ(CBnmFormat::FileNameText(doc.Resources()[1]), QStringLiteral("skid_1.wav"));
    ASSERT_TRUE(doc.Undo());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(std::memcmp(&doc.Resources()[i], &before[i], sizeof(SoundResource)), 0) << i;
    }
    EXPECT_FALSE(doc.IsModified());

    // A record that changed after the plan was made is not overwritten.
    CFolderReplacer replacer(doc.GetBankFolder(), {}, {});
    CReplacePlan stale = plan;
    stale.matches[0].index = 4; // the CD track
    ASSERT_EQ(replacer.Convert(stale, stale.matches, CSeam<IProgressSink>::Current()),
              CFolderReplacer::Outcome::Done);
    ASSERT_TRUE(replacer.Commit());
    EXPECT_FALSE(doc.ApplyReplaced(replacer));
    replacer.RemoveCommitted();
    EXPECT_EQ(QDir(folder.FilePath(QStringLiteral("bank")))
                  .entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral("Bnk_1.bnm"), QStringLiteral("Bnk_1.bns"),
                           QStringLiteral("Siren.wav"), QStringLiteral("horn.wav"),
                           QStringLiteral("skid.wav"), QStringLiteral("skid_1.wav"),
                           QStringLiteral("tyre.wav"), QStringLiteral("tyre2.wav")}))
        << "the files of the applied replace stay; the stale run's are gone";
}

TEST_F(FolderReplace, AFileThatTurnsOutNoSoundFailsTheRunAndNoNewFileStays) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    Tone("Siren.flac");
    Tone("skid.wav");
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(bank));
    const CReplacePlan plan = Plan(doc);
    ASSERT_EQ(plan.matches.size(), 2U);
    const QStringList files = QDir(folder.FilePath(QStringLiteral("bank")))
                                  .entryList(QDir::Files | QDir::Hidden, QDir::Name);
    // Damaged between the preview and OK.
    folder.Write(QStringLiteral("sounds/skid.wav"), "RIFF\x10\0\0\0WAVEjunk");
    EXPECT_FALSE(doc.ReplaceFromFolder(plan, plan.matches));
    ASSERT_EQ(prompts.Texts().size(), 1);
    EXPECT_TRUE(prompts.Texts()[0].contains(sounds + QStringLiteral("/skid.wav")))
        << qPrintable(prompts.Texts()[0]);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(QDir(folder.FilePath(QStringLiteral("bank")))
                  .entryList(QDir::Files | QDir::Hidden, QDir::Name),
              files);
}

// The sounds are converted on worker threads: whatever order they finish in,
// the files are named and listed in the plan's order, a failure in the middle
// is listed in its place, and the sound each replaces is measured one at a
// time.
TEST_F(FolderReplace, SoundsMadeSideBySideComeOutInThePlansOrder) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    Tone("Siren.flac", 1.0);
    Tone("skid.wav");
    Tone("tyre2.ogg", 0.5);
    CKantelDoc doc;
    ASSERT_TRUE(doc.LoadBankAndNames(bank));
    CReplacePlan plan = Plan(doc);
    ASSERT_EQ(plan.matches.size(), 3U);
    plan.options.matchLoudness = true;
    folder.Write(QStringLiteral("sounds/skid.wav"), "RIFF\x10\0\0\0WAVEjunk");
    std::atomic<int> measuring{0};
    std::atomic<bool> together{false};
    CFolderReplacer replacer(doc.GetBankFolder(), {}, [&](int index) {
        together = together || ++measuring > 1;
        CResult<CLoudnessMeter::Reading> reading = doc.MeasureSample(index);
        --measuring;
        return reading;
    });
    EXPECT_EQ(replacer.Convert(plan, plan.matches, CSeam<IProgressSink>::Current()),
              CFolderReplacer::Outcome::Failed);
    EXPECT_FALSE(together);
    ASSERT_EQ(replacer.Failures().size(), 1U);
    EXPECT_EQ(replacer.Failures()[0].file, sounds + QStringLiteral("/skid.wav"));
    ASSERT_EQ(replacer.Results().size(), 2U);
    EXPECT_EQ(replacer.Results()[0].index, 0);
    EXPECT_EQ(replacer.Results()[0].imported.fileName, QStringLiteral("Siren.wav"));
    EXPECT_EQ(replacer.Results()[1].index, 3);
    EXPECT_EQ(replacer.Results()[1].imported.fileName, QStringLiteral("tyre2_1.wav"));
}
