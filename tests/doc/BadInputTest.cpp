// Every kind of malformed input we know of, one row each: what the user is
// told, whether the bank opens, and that nothing was lost on the way (the
// bank file is never touched by opening, and nothing is written outside its
// folder).
#include "BankBuilder.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr qsizetype kEventTable = 4;
constexpr qsizetype kEventCount = 8;
constexpr qsizetype kResourceCount = 16;
constexpr qsizetype kSampleData = 20;

// Two banked samples, a CD track and two events; bank 1.
QByteArray goodBank() {
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(400, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(600, 2), true);
    b.AddCdTrack(3, 4);
    b.AddEvent(10, 1, 0x10000);
    b.AddEvent(11, 6, 0x10001, 32768, 65536);
    return b.Build();
}

qsizetype resourceAt(const QByteArray& bank, int index) {
    return BankBuilder::Get32(bank, 12) + index * 92;
}

struct OpenCase {
    const char* name;
    std::function<void(QByteArray& bank)> breakBank;
    QByteArray names; // null: no names file
    bool opens;
    // What the user is told, in order; "%1" stands for the bank's folder.
    QStringList messages;
    int resources;
    int events;
};

const QString kCut = QStringLiteral("The header lists %1 %2, but only %3 lie inside the bank's "
                                    "header region.\nThe others are ignored.");

// "%1" stays for the folder.
QString overlapMessage(const char* table, const char* what, quint32 resources, quint32 events) {
    return QStringLiteral("%1/Bnk_1.bnm cannot be opened: its ") + QLatin1String(table) +
           QLatin1Char(' ') + QLatin1String(what) +
           QString::asprintf(" (resources at offset %u, events at offset %u).\nEditing or "
                             "saving it would overwrite one with the other.",
                             resources, events);
}
const char* const kOnHeader = "overlaps the bank's 36-byte header";

QList<OpenCase> openCases() {
    const QByteArray good = goodBank();
    const auto resourceTable = BankBuilder::Get32(good, 12);
    const int sampleData = static_cast<int>(BankBuilder::Get32(good, kSampleData));
    return {
        {"empty file", [](QByteArray& b) { b.clear(); }, {}, false, {}, 0, 0},
        {"shorter than the header",
         [](QByteArray& b) { b.truncate(20); },
         {},
         false,
         {QStringLiteral("File is truncated")},
         0,
         0},
        {"exactly the header",
         [](QByteArray& b) { b.truncate(36); },
         {},
         false,
         {QStringLiteral("File is truncated")},
         0,
         0},
        {"cut inside the resource table",
         [](QByteArray& b) { b.truncate(resourceAt(b, 1) + 10); },
         {},
         false,
         {QStringLiteral("File is truncated")},
         0,
         0},
        {"sample data offset inside the header",
         [](QByteArray& b) { BankBuilder::Put32(b, kSampleData, 20); },
         {},
         false,
         {QStringLiteral("File is truncated")},
         0,
         0},
        {"resource table offset past the end",
         [](QByteArray& b) { BankBuilder::Put32(b, 12, static_cast<quint32>(b.size())); },
         {},
         false,
         {QStringLiteral("File is truncated")},
         0,
         0},
        {"cut inside the sample data",
         [](QByteArray& b) { b.chop(100); },
         {},
         true,
         {QStringLiteral("End of file reached.\nTruncating sample %1/b.wav")},
         3,
         2},
        {"negative resource count",
         [](QByteArray& b) { BankBuilder::Put32(b, kResourceCount, static_cast<quint32>(-3)); },
         {},
         true,
         {kCut.arg(-3).arg(QStringLiteral("sound resources")).arg(0)},
         0,
         2},
        {"huge resource count",
         [](QByteArray& b) { BankBuilder::Put32(b, kResourceCount, 0x7FFFFFFF); },
         {},
         true,
         {kCut.arg(0x7FFFFFFF).arg(QStringLiteral("sound resources")).arg(3)},
         3,
         2},
        {"event table past the end",
         [](QByteArray& b) { BankBuilder::Put32(b, kEventTable, 0xFFFFFFF0U); },
         {},
         true,
         {kCut.arg(2).arg(QStringLiteral("sound events")).arg(0)},
         3,
         0},
        {"negative event count",
         [](QByteArray& b) { BankBuilder::Put32(b, kEventCount, static_cast<quint32>(-1)); },
         {},
         true,
         {kCut.arg(-1).arg(QStringLiteral("sound events")).arg(0)},
         3,
         0},
        // Editing or saving through records that share bytes with the header
        // or with each other would rewrite the header words or the other records.
        {"event table overlapping the resource table",
         [](QByteArray& b) { BankBuilder::Put32(b, kEventTable, BankBuilder::Get32(b, 12)); },
         {},
         false,
         {overlapMessage("resource table", "and the event table overlap each other", resourceTable,
                         resourceTable)},
         0,
         0},
        {"resource table on the sample data offset",
         [](QByteArray& b) { BankBuilder::Put32(b, 12, 4); },
         {},
         false,
         {overlapMessage("resource table", kOnHeader, 4, 36)},
         0,
         0},
        {"resource table from the resource table offset",
         [](QByteArray& b) { BankBuilder::Put32(b, 12, 12); },
         {},
         false,
         {overlapMessage("resource table", kOnHeader, 12, 36)},
         0,
         0},
        {"event table inside the header",
         [](QByteArray& b) { BankBuilder::Put32(b, kEventTable, 8); },
         {},
         false,
         {overlapMessage("event table", kOnHeader, resourceTable, 8)},
         0,
         0},
        {"empty tables inside the header are no records",
         [](QByteArray& b) {
             BankBuilder::Put32(b, kEventTable, 0);
             BankBuilder::Put32(b, kEventCount, 0);
         },
         {},
         true,
         {},
         3,
         0},
        {"banked sample starting past the end",
         [](QByteArray& b) { BankBuilder::Put32(b, resourceAt(b, 1) + 16, 0x100000); },
         {},
         true,
         {QStringLiteral("End of file reached.\nTruncating sample %1/b.wav"),
          QStringLiteral("Negative length.\nCan't save sample to %1/b.wav")},
         3,
         2},
        {"banked sample with a negative offset",
         [sampleData](QByteArray& b) {
             BankBuilder::Put32(b, resourceAt(b, 0) + 16, static_cast<quint32>(-sampleData - 50));
         },
         {},
         true,
         {QStringLiteral("End of file reached.\nTruncating sample %1/a.wav"),
          QStringLiteral("Negative length.\nCan't save sample to %1/a.wav")},
         3,
         2},
        {"file name with a folder part",
         [](QByteArray& b) { b.replace(resourceAt(b, 0) + 72, 6, QByteArray("../a.w", 6)); },
         QByteArray("[body res]\n1 \"Alpha\" \"\"\n"),
         true,
         {},
         3,
         2},
        {"names file with a zero byte",
         [](QByteArray&) {},
         QByteArray("[body res]\n1 \"Al") + '\0' + QByteArray("pha\" \"x\"\n2 \"B\" \"y\"\n"),
         true,
         {},
         3,
         2},
        {"names file with a very long line",
         [](QByteArray&) {},
         "[body res]\n1 \"" + QByteArray(5000, 'n') + "\" \"" + QByteArray(5000, 'd') + "\"\n",
         true,
         {},
         3,
         2},
        {"names file of binary noise",
         [](QByteArray&) {},
         BankBuilder::Pattern(3000, 7),
         true,
         {},
         3,
         2},
    };
}

class BadInput : public ::testing::TestWithParam<OpenCase> {};

} // namespace

TEST_P(BadInput, IsToldOnceAndLosesNothing) {
    const OpenCase& c = GetParam();
    TestFolder root;
    QDir(root.Path()).mkdir(QStringLiteral("bank"));
    const QString folder = root.FilePath(QStringLiteral("bank"));
    QByteArray bank = goodBank();
    c.breakBank(bank);
    const QString path = folder + QStringLiteral("/Bnk_1.bnm");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bank);
    file.close();
    if (!c.names.isNull()) {
        QFile names(folder + QStringLiteral("/Bnk_1.bns"));
        ASSERT_TRUE(names.open(QIODevice::WriteOnly));
        names.write(c.names);
    }

    RecordingPromptSink prompts;
    CKantelDoc doc;
    EXPECT_EQ(doc.OnOpenDocument(path), c.opens);
    QStringList expected;
    for (const QString& message : c.messages) {
        expected << (message.contains(QStringLiteral("%1")) ? message.arg(folder) : message);
    }
    EXPECT_EQ(prompts.Texts(), expected);
    if (c.opens) {
        EXPECT_EQ(static_cast<int>(doc.Resources().size()), c.resources);
        EXPECT_EQ(static_cast<int>(doc.Events().size()), c.events);
        // Every text the lists show can be computed.
        for (int i = 0; i < static_cast<int>(doc.Events().size()); ++i) {
            doc.GetResourceLabel(doc.Events()[i].param1);
        }
    }
    // Opening never writes the bank, and writes nothing outside its folder.
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), bank);
    EXPECT_EQ(QDir(root.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("bank")});
}

INSTANTIATE_TEST_SUITE_P(Banks, BadInput, ::testing::ValuesIn(openCases()),
                         [](const ::testing::TestParamInfo<OpenCase>& info) {
                             QString name = QString::fromLatin1(info.param.name);
                             name.replace(QLatin1Char(' '), QLatin1Char('_'));
                             return name.toStdString();
                         });

// Wave files a save meets: each row is a sample made banked after the open,
// whose wave file is broken in one way.
struct WaveCase {
    const char* name;
    QByteArray wave;
    bool stored;
    int storedLength;
    // What the user is told of a wave that was stored.
    QString warning = QString();
};

class BadWave : public ::testing::TestWithParam<WaveCase> {};

TEST_P(BadWave, IsStoredConsistentlyOrTurnedExternalWithOneMessage) {
    const WaveCase& c = GetParam();
    TestFolder folder;
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("x.wav"), BankBuilder::Pattern(500, 1), false);
    const QString path = folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build());
    folder.Write(QStringLiteral("x.wav"), c.wave);
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    doc.OnEditAllBanked();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const QByteArray saved = folder.Read(QStringLiteral("Bnk_1.bnm"));
    SoundResource r;
    std::memcpy(&r, saved.constData() + BankBuilder::Get32(saved, 12), sizeof r);
    if (c.stored) {
        EXPECT_EQ(prompts.Texts(), c.warning.isEmpty() ? QStringList() : QStringList{c.warning});
        EXPECT_EQ(r.storage, SoundResource::kStorageBank);
        EXPECT_EQ(r.length, c.storedLength);
    } else {
        EXPECT_EQ(prompts.Texts(), QStringList{QStringLiteral("Couldn't store x.wav")});
        EXPECT_EQ(r.storage, SoundResource::kStorageExternal);
    }
    // The offsets describe the data whatever the wave held.
    EXPECT_EQ(BankBuilder::Get32(saved, 32), static_cast<quint32>(saved.size()));
    // The wave file itself is never changed by a save.
    EXPECT_EQ(folder.Read(QStringLiteral("x.wav")), c.wave);
}

namespace {

QByteArray withTag(QByteArray wave, qsizetype at, const char* tag) {
    wave.replace(at, 4, QByteArray(tag, 4));
    return wave;
}

QList<WaveCase> waveCases() {
    const QByteArray data = BankBuilder::Pattern(500, 1);
    const QByteArray good = BankBuilder::Wave(data);
    QByteArray longClaim = good;
    BankBuilder::Put32(longClaim, 40, 100000);
    QByteArray extra = good + QByteArray("LIST\x04\0\0\0abcd", 12);
    return {
        {"plain", good, true, 500},
        {"RIFX instead of RIFF", withTag(good, 0, "RIFX"), false, 0},
        {"no WAVE tag", withTag(good, 8, "AVI "), false, 0},
        {"no data chunk", withTag(good, 36, "junk"), false, 0},
        {"only a header", good.left(44), false, 0},
        // Nothing but the wave held the sample, so its length is what is there.
        {"data chunk claims more than the file holds", longClaim, true, 500,
         QStringLiteral("Some wave files are shorter than they say:\nx.wav holds 500 of the "
                        "100000 bytes its data chunk claims; only those were saved.")},
        {"a chunk after the data", extra, true, 500},
        {"empty file", QByteArray(), false, 0},
    };
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Waves, BadWave, ::testing::ValuesIn(waveCases()),
                         [](const ::testing::TestParamInfo<WaveCase>& info) {
                             QString name = QString::fromLatin1(info.param.name);
                             name.replace(QLatin1Char(' '), QLatin1Char('_'));
                             return name.toStdString();
                         });
