// Comparing two banks: what is alike whether a sample lies in the bank or in
// its wave file, or the bank in another folder; each kind of change on the
// record and field it belongs to; and sounds that cannot be read, which are
// told and never hang or crash the comparison.
#include "BankBuilder.h"
#include "QtPrinters.h"
#include "SoundTools.h"
#include "TestFolder.h"

#include "format/CBankComparer.h"
#include "format/CBankDataWindow.h"
#include "format/CBankReader.h"
#include "format/CNamesFileReader.h"
#include "format/CSoundExporter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <vector>

namespace {

using Difference = CBankComparer::Difference;
using Record = Difference::Record;

// A bank as kantel-cli reads it, kept alive for the comparer.
struct Loaded {
    BankImage image;
    NamesTable names;
    QString path;

    CBankComparer::Bank Side(bool wavesFirst = false) const {
        const CBankRecords records{image.header,
                                   {image.resources, static_cast<size_t>(image.resourceCount)},
                                   {image.events, static_cast<size_t>(image.eventCount)},
                                   image.bank,
                                   names.names.get(),
                                   &names.firstOfId};
        const QByteArrayView bytes(reinterpret_cast<const char*>(image.data.get()),
                                   static_cast<qsizetype>(image.size));
        const BnmHeader* header = image.header;
        return {records, path,
                [records, bytes, header](int i) {
                    return CSoundExporter::RecordedData(
                        bytes, *header, records.Resources()[static_cast<size_t>(i)]);
                },
                wavesFirst};
    }
};

// "resource 2 sound" for each difference, to compare in one line.
std::vector<QString> Where(const CBankComparer::Result& result) {
    std::vector<QString> where;
    for (const Difference& d : result.differences) {
        where.push_back(CBankComparer::RecordName(d.record) +
                        (d.index >= 0 ? QStringLiteral(" %1").arg(d.index) : QString()) +
                        QLatin1Char(' ') + (d.field.isEmpty() ? QStringLiteral("-") : d.field));
    }
    return where;
}

class BankComparerClass : public ::testing::Test {
protected:
    std::unique_ptr<Loaded> Load(const TestFolder& in, const QByteArray& bytes,
                                 const QString& names = QString()) {
        auto loaded = std::make_unique<Loaded>();
        loaded->path = in.Write(QStringLiteral("Bnk_1.bnm"), bytes);
        if (!names.isEmpty()) {
            in.Write(QStringLiteral("Bnk_1.bns"),
                     "[head]\r\nbank 1\r\n[body res]\r\n" + names.toLatin1());
        }
        CResult<BankImage> read = CBankReader::Read(bytes, loaded->path);
        EXPECT_TRUE(read.Ok());
        if (read) {
            loaded->image = std::move(read.Value());
            CResult<NamesTable> table =
                CNamesFileReader::ReadBeside(loaded->path, loaded->image.resourceCount);
            if (table) {
                loaded->names = std::move(table.Value());
            }
        }
        return loaded;
    }

    CBankComparer::Result Compare(const Loaded& a, const Loaded& b, bool wavesFirstB = false) {
        return CBankComparer(a.Side(), b.Side(wavesFirstB)).Compare();
    }

    TestFolder folderA;
    TestFolder folderB;
};

TEST_F(BankComparerClass, TheSameSoundsWhereverTheyLieAreEqual) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    // sox writes the wave file and its bare PCM, so the bank's copy and the
    // wave file's data chunk come from another program.
    const QString wave = folderB.FilePath(QStringLiteral("horn.wav"));
    ASSERT_TRUE(SoundTools::Tone(wave, {"-r", "22050", "-c", "1", "-b", "16"}, 0.2));
    const QString raw = folderB.FilePath(QStringLiteral("horn.raw"));
    ASSERT_TRUE(SoundTools::Sox({wave, "-t", "raw", raw}));
    const QByteArray pcm = folderB.Read(QStringLiteral("horn.raw"));
    ASSERT_GT(pcm.size(), 4000);

    BankBuilder banked;
    banked.bank = 1;
    banked.AddSample(1, "horn.wav", pcm, true);
    banked.AddSample(2, "skid.wav", BankBuilder::Pattern(300, 2), true);
    banked.AddEvent(100, SoundEvent::kTypePlay, 0x00010000);
    BankBuilder external = banked;
    external.resources[0].storage = SoundResource::kStorageExternal;

    const auto a = Load(folderA, banked.Build(), "1 \"Horn\" \"Car horn\"\r\n");
    // The same bank in another folder, with a wave file sox wrote beside it.
    const auto copy = Load(folderB, banked.Build(), "1 \"Horn\" \"Car horn\"\r\n");
    EXPECT_TRUE(Compare(*a, *copy).differences.empty());
    EXPECT_TRUE(Compare(*a, *a).differences.empty());

    const auto moved = Load(folderB, external.Build(), "1 \"Horn\" \"Car horn\"\r\n");
    const CBankComparer::Result result = Compare(*a, *moved);
    // Where the data went shows in the storage, and in the offsets and the
    // length of the bank that follow it; the sound is the same.
    EXPECT_EQ(Where(result), (std::vector<QString>{"header fileLength", "resource 0 storage",
                                                   "resource 1 offset"}));
    ASSERT_EQ(result.differences.size(), 3U);
    EXPECT_EQ(result.differences[1].label, "resource 0 (Horn)");
    EXPECT_EQ(result.differences[1].text, "storage 1 -> 0");
}

TEST_F(BankComparerClass, EachChangeIsToldOnItsRecordAndField) {
    BankBuilder original;
    original.bank = 1;
    original.AddSample(1, "horn.wav", BankBuilder::Pattern(400, 1), true);
    original.AddSample(2, "siren.wav", BankBuilder::Pattern(600, 2), true, 22050, 8);
    original.AddCdTrack(3, 2);
    original.AddEvent(100, SoundEvent::kTypePitch, 0x00010000, 0x00018000);
    original.AddEvent(101, SoundEvent::kTypePlay, 0x00010001);

    BankBuilder changed = original;
    changed.resources[0].volume = 64;
    changed.data[1] = BankBuilder::Pattern(800, 2);
    changed.resources[1].length = 800;
    changed.events[0].param2 = 0x00010000;
    // A Play event's param2 means nothing, as --records shows it.
    changed.events[1].param2 = 7;
    changed.AddSample(4, "new.wav", BankBuilder::Pattern(10, 4), true);
    changed.AddEvent(102, SoundEvent::kTypeStop, 0x00010000);

    const auto a =
        Load(folderA, original.Build(), "1 \"Horn\" \"Car horn\"\r\n2 \"Siren\" \"Police\"\r\n");
    const auto b =
        Load(folderB, changed.Build(), "1 \"Horn\" \"Loud horn\"\r\n2 \"Siren\" \"Police\"\r\n");
    const CBankComparer::Result result = Compare(*a, *b);
    EXPECT_EQ(Where(result),
              (std::vector<QString>{"header eventCount", "header resourceCount",
                                    "header sampleDataOffset", "header fileLength", "header events",
                                    "header resources", "resource 0 volume", "resource 1 length",
                                    "resource 1 sound", "resource 3 -", "event 0 param2",
                                    "event 2 -", "name 0 description"}));
    ASSERT_EQ(result.differences.size(), 13U);
    std::vector<QString> lines;
    for (const Difference& d : result.differences) {
        lines.push_back(d.label + QStringLiteral(": ") + d.text);
    }
    EXPECT_EQ(lines[6], "resource 0 (Horn): volume 100 -> 64");
    EXPECT_EQ(lines[8], "resource 1 (Siren): sound differs (22050 Hz mono 8 bit, 600 bytes -> 800 "
                        "bytes)");
    EXPECT_EQ(lines[9], "resource 3: only in " + b->path);
    EXPECT_EQ(lines[10], "event 0: param2 0x00018000 -> 0x00010000");
    EXPECT_EQ(lines[12], "name 0: description \"Car horn\" -> \"Loud horn\"");
    // Values keep their types; a record only one bank has gives its id.
    EXPECT_EQ(result.differences[6].a, QVariant::fromValue(qint64{100}));
    EXPECT_FALSE(result.differences[9].a.isValid());
    EXPECT_EQ(result.differences[9].b, QVariant::fromValue(qint64{4}));
    EXPECT_EQ(result.differences[8].b.toMap().value("bytes"), QVariant::fromValue(qint64{800}));

    // The same length with other bytes is another sound too.
    BankBuilder sameLength = original;
    sameLength.data[0][399] = static_cast<char>(sameLength.data[0][399] ^ 1);
    const auto c =
        Load(folderB, sameLength.Build(), "1 \"Horn\" \"Car horn\"\r\n2 \"Siren\" \"Police\"\r\n");
    EXPECT_EQ(Where(Compare(*a, *c)), (std::vector<QString>{"resource 0 sound"}));
}

TEST_F(BankComparerClass, LongWaveFilesAreComparedToTheirLastByte) {
    // More than one chunk, differing only at the very end.
    QByteArray data = BankBuilder::Pattern(3 * 1024 * 1024 + 5, 7);
    BankBuilder builder;
    builder.bank = 1;
    builder.AddSample(1, "long.wav", data, false);
    const auto a = Load(folderA, builder.Build());
    const auto b = Load(folderB, builder.Build());
    folderA.Write("long.wav", BankBuilder::Wave(data));
    folderB.Write("LONG.WAV", BankBuilder::Wave(data));
    EXPECT_TRUE(Compare(*a, *b).differences.empty()) << "a wave file is found whatever its case";
    data[data.size() - 1] = static_cast<char>(data[data.size() - 1] ^ 0x10);
    folderB.Write("LONG.WAV", BankBuilder::Wave(data));
    EXPECT_EQ(Where(Compare(*a, *b)), (std::vector<QString>{"resource 0 sound"}));
}

TEST_F(BankComparerClass, SoundsThatCannotBeReadAreToldNotCrashedOn) {
    BankBuilder builder;
    builder.bank = 1;
    builder.AddSample(1, "gone.wav", BankBuilder::Pattern(100, 1), false);
    builder.AddSample(2, "pipe.wav", BankBuilder::Pattern(100, 2), false);
    builder.AddSample(3, "text.wav", BankBuilder::Pattern(100, 3), false);
    const auto a = Load(folderA, builder.Build());
    const auto b = Load(folderB, builder.Build());
    const char* const names[] = {"gone.wav", "pipe.wav", "text.wav"};
    for (size_t i = 0; i < 3; ++i) {
        folderA.Write(QString::fromLatin1(names[i]), BankBuilder::Wave(builder.data[i]));
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(folderB.FilePath("pipe.wav")).constData(), 0600), 0);
    folderB.Write("text.wav", "not a wave file at all");

    const CBankComparer::Result oneSide = Compare(*a, *b);
    ASSERT_EQ(Where(oneSide),
              (std::vector<QString>{"resource 0 sound", "resource 1 sound", "resource 2 sound"}));
    EXPECT_TRUE(oneSide.differences[0].text.contains(folderB.FilePath("gone.wav") + " is missing"))
        << qPrintable(oneSide.differences[0].text);
    EXPECT_TRUE(oneSide.differences[1].text.contains("is not a regular file"));
    EXPECT_TRUE(oneSide.differences[2].text.contains("is not a wave file"));
    EXPECT_TRUE(oneSide.differences[0].a.isValid());
    EXPECT_FALSE(oneSide.differences[0].b.isValid());

    // Missing on both sides: no difference can be shown, but it is said.
    const CBankComparer::Result both = Compare(*b, *b);
    EXPECT_TRUE(both.differences.empty());
    EXPECT_EQ(both.warnings.size(), 3);
}

TEST_F(BankComparerClass, AnOpenBankTakesItsWaveFilesAsItsBankedSounds) {
    BankBuilder builder;
    builder.bank = 1;
    builder.AddSample(1, "horn.wav", BankBuilder::Pattern(200, 1), true);
    const auto a = Load(folderA, builder.Build());
    const auto b = Load(folderB, builder.Build());
    // Imported in the editor, not saved yet: the next save packs this file.
    folderB.Write("horn.wav", BankBuilder::Wave(BankBuilder::Pattern(200, 9)));
    EXPECT_TRUE(Compare(*a, *b).differences.empty()) << "the game plays the bank's copy";
    EXPECT_EQ(Where(Compare(*a, *b, true)), (std::vector<QString>{"resource 0 sound"}));
    // Without a wave file the open bank's copy is its sound.
    folderB.Remove("horn.wav");
    EXPECT_TRUE(Compare(*a, *b, true).differences.empty());
}

// What the comparison reads of a bank file a window at a time is what a
// whole image gives: samples in file order, a sample larger than a window,
// jumps back, overlaps, and records past the file's end or before its start.
TEST(BankDataWindow, GivesWhatTheWholeFileGives) {
    const TestFolder folder;
    QByteArray bytes(3 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 131) ^ (i >> 11));
    }
    const QString path = folder.Write("Bnk_1.bnm", bytes);
    BnmHeader header{};
    header.sampleDataOffset = 4096;
    std::vector<std::pair<qint32, qint32>> samples; // offset, length
    for (qint32 at = 0; at < (1 << 21); at += 70001) {
        samples.emplace_back(at, 70001);
    }
    samples.insert(samples.end(), {{(1 << 21) + 5, 3 << 19}, // larger than a window
                                   {100, 50},                // back to the start
                                   {120, 50},                // overlapping the last
                                   {(3 << 20) - 5000, 9000}, // past the end: cut
                                   {3 << 20, 10},            // wholly past the end
                                   {-5000, 100},             // before the file
                                   {-4096, 10},              // the file's first bytes
                                   {700, 0}});
    CBankDataWindow window(path, CFileIdentity::OfPath(path), header.sampleDataOffset,
                           bytes.size());
    for (const auto& [offset, length] : samples) {
        SoundResource r{};
        r.offset = offset;
        r.length = length;
        EXPECT_EQ(window.Data(r), CSoundExporter::RecordedData(bytes, header, r))
            << offset << " " << length;
    }
    EXPECT_EQ(window.Failure(), QString());
}

// A bank written in place after it was read, or replaced before its data
// is read, gives no data and says why, rather than another bank's bytes.
TEST(BankDataWindow, RefusesAFileThatIsNoLongerTheOneRead) {
    const TestFolder folder;
    const QString path = folder.Write("Bnk_1.bnm", QByteArray(1 << 16, 'a'));
    SoundResource r{};
    r.length = 100;
    CBankDataWindow replaced(path, CFileIdentity::OfPath(folder.Write("x.bnm", "x")), 0, 1 << 16);
    EXPECT_TRUE(replaced.Data(r).isEmpty());
    EXPECT_TRUE(replaced.Failure().contains(path)) << qPrintable(replaced.Failure());

    CBankDataWindow written(path, CFileIdentity::OfPath(path), 0, 1 << 16);
    EXPECT_EQ(written.Data(r).toByteArray(), QByteArray(100, 'a'));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(40000);
    file.write("b");
    // As a clock coarser than two writes would not show it otherwise.
    file.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    file.close();
    r.offset = 50000; // beyond the window read so far
    EXPECT_TRUE(written.Data(r).isEmpty());
    EXPECT_TRUE(written.Failure().contains("another program changed it"))
        << qPrintable(written.Failure());
    r.offset = 0;
    EXPECT_TRUE(written.Data(r).isEmpty()) << "a failure is for good";
}

} // namespace
