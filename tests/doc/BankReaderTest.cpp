#include "BankBuilder.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBankReader.h"
#include "format/CBnmFormat.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/core/CFile.h"

#include <QDir>

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr qsizetype kEventCountAt = 8;
constexpr qsizetype kResourceTableAt = 12;
constexpr qsizetype kResourceCountAt = 16;
constexpr qsizetype kSampleDataAt = 20;
constexpr qsizetype kEventTableAt = 4;

// A header alone, followed by size - 36 zero bytes, with no tables.
QByteArray bareFile(int size, quint32 resourceTableOffset, quint32 sampleDataOffset) {
    QByteArray bytes(size, '\0');
    BankBuilder::Put32(bytes, kResourceTableAt, resourceTableOffset);
    BankBuilder::Put32(bytes, kSampleDataAt, sampleDataOffset);
    return bytes;
}

struct Opened {
    bool ok;
    QList<RecordingPromptSink::Prompt> prompts;
};

Opened open(CKantelDoc& doc, const TestFolder& folder, const QByteArray& bytes,
            const QString& name = QStringLiteral("Bnk_1.bnm")) {
    // The external samples' waves are there, so that only what the reader
    // finds is told.
    for (const char* wave : {"a.wav", "b.wav", "c.wav"}) {
        folder.Write(QString::fromLatin1(wave), BankBuilder::Wave(BankBuilder::Pattern(10, 1)));
    }
    RecordingPromptSink prompts;
    const bool ok = doc.OnOpenDocument(folder.Write(name, bytes));
    return {ok, prompts.prompts};
}

void expectTruncated(const Opened& opened) {
    EXPECT_FALSE(opened.ok);
    ASSERT_EQ(opened.prompts.size(), 1);
    EXPECT_EQ(opened.prompts[0].text, QStringLiteral("File is truncated"));
    EXPECT_EQ(opened.prompts[0].type, MB_OK | MB_ICONHAND);
}

BankBuilder threeSamples() {
    BankBuilder b;
    b.AddEvent(1, SoundEvent::kTypePlay);
    b.AddEvent(2, SoundEvent::kTypeStop);
    b.AddSample(10, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), false);
    b.AddSample(11, QStringLiteral("b.wav"), BankBuilder::Pattern(10, 2), false);
    b.AddSample(12, QStringLiteral("c.wav"), BankBuilder::Pattern(10, 3), false);
    return b;
}

} // namespace

// --- The reading check --------------------------------------------------------

TEST(BankReaderCheck, FileOfThirtySixBytesIsTruncated) {
    TestFolder folder;
    CKantelDoc doc;
    expectTruncated(open(doc, folder, bareFile(36, 0, 36)));
    EXPECT_FALSE(doc.m_bLoaded);
}

TEST(BankReaderCheck, FileOfThirtySevenBytesWithTheResourceTableAt36Passes) {
    TestFolder folder;
    CKantelDoc doc;
    const Opened opened = open(doc, folder, bareFile(37, 36, 37));
    EXPECT_TRUE(opened.ok);
    EXPECT_TRUE(opened.prompts.isEmpty());
    EXPECT_TRUE(doc.m_bLoaded);
    EXPECT_EQ(doc.m_nFileSize, 37);
    EXPECT_EQ(static_cast<int>(doc.Resources().size()), 0);
    EXPECT_EQ(static_cast<int>(doc.Events().size()), 0);
}

TEST(BankReaderCheck, ResourceTableOffsetMustLieInsideTheFile) {
    TestFolder folder;
    {
        CKantelDoc doc;
        expectTruncated(open(doc, folder, bareFile(100, 100, 100)));
    }
    {
        CKantelDoc doc;
        expectTruncated(open(doc, folder, bareFile(100, 0xFFFFFFFFU, 100)));
    }
    {
        CKantelDoc doc;
        const Opened opened = open(doc, folder, bareFile(100, 99, 100));
        EXPECT_TRUE(opened.ok);
        EXPECT_TRUE(opened.prompts.isEmpty());
    }
}

// Beyond the games' check: a header region that is not all there, or that
// ends inside the header, cannot be written back.
TEST(BankReaderCheck, SampleDataOffsetOutsideHeaderAndFileIsTruncated) {
    TestFolder folder;
    for (const quint32 sampleDataOffset : {0U, 35U, 101U, 0xFFFFFFFFU}) {
        CKantelDoc doc;
        expectTruncated(open(doc, folder, bareFile(100, 40, sampleDataOffset)));
    }
    for (const quint32 sampleDataOffset : {36U, 100U}) {
        CKantelDoc doc;
        EXPECT_TRUE(open(doc, folder, bareFile(100, 40, sampleDataOffset)).ok);
    }
}

TEST(BankReaderCheck, EmptyFileFailsWithoutAMessage) {
    TestFolder folder;
    CKantelDoc doc;
    const Opened opened = open(doc, folder, QByteArray());
    EXPECT_FALSE(opened.ok);
    EXPECT_TRUE(opened.prompts.isEmpty());
}

TEST(BankReaderCheck, MissingFileIsReportedByName) {
    TestFolder folder;
    RecordingPromptSink prompts;
    CKantelDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(folder.FilePath(QStringLiteral("Bnk_9.bnm"))));
    ASSERT_EQ(prompts.prompts.size(), 1);
    EXPECT_TRUE(prompts.prompts[0].text.contains(folder.FilePath(QStringLiteral("Bnk_9.bnm"))));
}

// --- What the reader derives ----------------------------------------------------

TEST(BankReaderDerived, TablesPointIntoTheImage) {
    TestFolder folder;
    BankBuilder b = threeSamples();
    CKantelDoc doc;
    ASSERT_TRUE(open(doc, folder, b.Build()).ok);
    EXPECT_EQ(static_cast<int>(doc.Events().size()), 2);
    EXPECT_EQ(static_cast<int>(doc.Resources().size()), 3);
    const char* image = doc.GetImage().data();
    EXPECT_EQ(reinterpret_cast<const char*>(doc.Header()), image);
    EXPECT_EQ(reinterpret_cast<const char*>(doc.Events().data()), image + 36);
    EXPECT_EQ(reinterpret_cast<const char*>(doc.Resources().data()), image + 36 + 64);
    EXPECT_EQ(doc.Events()[1].eventId, 2);
    EXPECT_EQ(doc.Resources()[2].resourceId, 12);
}

TEST(BankReaderDerived, BankNumberComesFromTheResourceTableOffsetNotTheName) {
    TestFolder folder;
    for (int bank = 0; bank < 4; ++bank) {
        BankBuilder b;
        b.bank = bank;
        b.AddSample(1, QStringLiteral("a.wav"), QByteArray(), false);
        CKantelDoc doc;
        ASSERT_TRUE(open(doc, folder, b.Build(), QStringLiteral("Bnk_3.bnm")).ok);
        EXPECT_EQ(doc.GetBank(), bank);
    }
    CKantelDoc doc;
    ASSERT_TRUE(open(doc, folder, threeSamples().Build(), QStringLiteral("Bnk_2.bnm")).ok);
    EXPECT_EQ(doc.GetBank(), -1);
}

TEST(BankReaderDerived, FolderIsThePathLessTheFileName) {
    TestFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("banks")));
    CKantelDoc doc;
    ASSERT_TRUE(open(doc, folder, threeSamples().Build(), QStringLiteral("banks/Bnk_0.bnm")).ok);
    EXPECT_EQ(doc.m_strFolder, folder.FilePath(QStringLiteral("banks")));
    EXPECT_EQ(doc.GetBankFolder(), folder.FilePath(QStringLiteral("banks/")));
}

TEST(BankReaderDerived, RelativePathAndOtherCaseStillGiveAnAbsoluteFolder) {
    TestFolder folder;
    folder.Write(QStringLiteral("Bnk_1.bnm"), threeSamples().Build());
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.Path()));
    RecordingPromptSink prompts;
    CKantelDoc doc;
    const bool ok = doc.OnOpenDocument(QStringLiteral("BNK_1.BNM"));
    QDir::setCurrent(cwd);
    ASSERT_TRUE(ok);
    EXPECT_EQ(doc.m_strFolder, folder.Path());
}

TEST(BankReaderDerived, ReopeningResetsEverything) {
    TestFolder folder;
    CKantelDoc doc;
    ASSERT_TRUE(open(doc, folder, threeSamples().Build(), QStringLiteral("a.bnm")).ok);
    expectTruncated(open(doc, folder, QByteArray(20, 7), QStringLiteral("b.bnm")));
    EXPECT_FALSE(doc.m_bLoaded);
    EXPECT_EQ(static_cast<int>(doc.Resources().size()), 0);
    EXPECT_EQ(static_cast<int>(doc.Events().size()), 0);
    EXPECT_EQ(doc.Header(), nullptr);
    EXPECT_EQ(doc.m_pNames, nullptr);
}

// --- Tables that do not fit: never a read outside the image ---------------------

TEST(BankReaderTables, ResourceCountBeyondTheHeaderRegionKeepsTheWholeRecordsThatFit) {
    TestFolder folder;
    QByteArray bytes = threeSamples().Build();
    BankBuilder::Put32(bytes, kResourceCountAt, 5);
    CKantelDoc doc;
    const Opened opened = open(doc, folder, bytes);
    ASSERT_TRUE(opened.ok);
    EXPECT_EQ(static_cast<int>(doc.Resources().size()), 3);
    ASSERT_EQ(opened.prompts.size(), 1);
    EXPECT_EQ(opened.prompts[0].text,
              QStringLiteral("The header lists 5 sound resources, but only 3 lie inside the "
                             "bank's header region.\nThe others are ignored."));
    EXPECT_EQ(opened.prompts[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
    // The header word itself is kept for writing back.
    EXPECT_EQ(doc.Header()->resourceCount, 5);
}

TEST(BankReaderTables, PartialRecordAtTheEndOfTheRegionIsNotKept) {
    TestFolder folder;
    BankBuilder b = threeSamples();
    QByteArray bytes = b.Build();
    // The region ends 1 byte into the third record.
    const quint32 resourceTable = BankBuilder::Get32(bytes, kResourceTableAt);
    BankBuilder::Put32(bytes, kSampleDataAt, resourceTable + 2 * 92 + 1);
    CKantelDoc doc;
    const Opened opened = open(doc, folder, bytes);
    ASSERT_TRUE(opened.ok);
    EXPECT_EQ(static_cast<int>(doc.Resources().size()), 2);
    EXPECT_EQ(opened.prompts.size(), 1);
}

TEST(BankReaderTables, EventTablePastTheRegionGivesNoEvents) {
    TestFolder folder;
    QByteArray bytes = threeSamples().Build();
    const quint32 region = BankBuilder::Get32(bytes, kSampleDataAt);
    for (const quint32 eventTable : {region, region - 1, 0xFFFFFFF0U}) {
        BankBuilder::Put32(bytes, kEventTableAt, eventTable);
        CKantelDoc doc;
        const Opened opened = open(doc, folder, bytes);
        ASSERT_TRUE(opened.ok);
        EXPECT_EQ(static_cast<int>(doc.Events().size()), 0);
        EXPECT_EQ(doc.Events().data(), nullptr);
        ASSERT_EQ(opened.prompts.size(), 1);
        EXPECT_EQ(opened.prompts[0].text,
                  QStringLiteral("The header lists 2 sound events, but only 0 lie inside the "
                                 "bank's header region.\nThe others are ignored."));
        EXPECT_EQ(doc.GetEventLabel(CBnmFormat::MakeTarget(1, 0)), QStringLiteral("???"));
    }
}

TEST(BankReaderTables, NegativeAndHugeCountsGiveWhatFits) {
    TestFolder folder;
    QByteArray bytes = threeSamples().Build();
    BankBuilder::Put32(bytes, kResourceCountAt, static_cast<quint32>(-3));
    BankBuilder::Put32(bytes, kEventCountAt, static_cast<quint32>(INT_MAX));
    CKantelDoc doc;
    const Opened opened = open(doc, folder, bytes);
    ASSERT_TRUE(opened.ok);
    EXPECT_EQ(static_cast<int>(doc.Resources().size()), 0);
    // The event table runs into the resource table; what lies in the region is read.
    EXPECT_EQ(static_cast<int>(doc.Events().size()),
              (BankBuilder::Get32(bytes, kSampleDataAt) - 36) / 32);
    ASSERT_EQ(opened.prompts.size(), 2);
    EXPECT_TRUE(opened.prompts[0].text.startsWith(QStringLiteral("The header lists -3 sound "
                                                                 "resources, but only 0 ")));
    EXPECT_TRUE(opened.prompts[1].text.startsWith(
        QStringLiteral("The header lists 2147483647 sound events")));
}

TEST(BankReaderTables, TablesThatFitExactlyRaiseNoWarning) {
    TestFolder folder;
    BankBuilder b = threeSamples();
    b.AddSample(13, QStringLiteral("d.wav"), BankBuilder::Pattern(30, 4), true);
    CKantelDoc doc;
    const Opened opened = open(doc, folder, b.Build());
    EXPECT_TRUE(opened.ok);
    EXPECT_TRUE(opened.prompts.isEmpty());
    EXPECT_EQ(static_cast<int>(doc.Resources().size()), 4);
}

// --- Bank numbers ---------------------------------------------------------------

TEST(BankNumbers, EveryTableOffsetTheGamesUse) {
    const std::pair<quint32, int> cases[] = {
        {460, 1},  {484, 1},  {580, 3}, {620, 3},  {1636, 0},         {2124, 0},
        {1732, 2}, {100, -1}, {0, -1},  {485, -1}, {0xFFFFFFFFU, -1}, {1733, -1},
    };
    for (const auto& [offset, bank] : cases) {
        EXPECT_EQ(CBnmFormat::BankFromResourceTableOffset(offset), bank) << offset;
    }
}

// --- The bank reader on its own: a layout or a reason, never a message box ---

namespace {

QByteArray twoEventsThreeResources() {
    BankBuilder b;
    b.bank = 2;
    b.AddEvent(1, SoundEvent::kTypePlay);
    b.AddEvent(2, SoundEvent::kTypeStop);
    b.AddSample(10, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    b.AddSample(11, QStringLiteral("b.wav"), BankBuilder::Pattern(50, 2), false);
    b.AddCdTrack(12, 4);
    return b.Build();
}

TEST(BankReaderClass, LaysOutAWellFormedBankFromBytesAndFromAFileAlike) {
    RecordingPromptSink prompts;
    TestFolder folder;
    const QByteArray bytes = twoEventsThreeResources();
    const QString path = folder.Write(QStringLiteral("Bnk_2.bnm"), bytes);

    CResult<BankImage> fromBytes = CBankReader::Read(bytes, path);
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead));
    CResult<BankImage> fromFile = CBankReader::Read(file);
    ASSERT_TRUE(fromBytes);
    ASSERT_TRUE(fromFile);
    for (const BankImage* image : {&fromBytes.Value(), &fromFile.Value()}) {
        const auto* base = image->data.get();
        EXPECT_EQ(image->size, bytes.size());
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(base), bytes.size()), bytes);
        EXPECT_EQ(reinterpret_cast<const quint8*>(image->header), base);
        EXPECT_EQ(image->eventCount, 2);
        EXPECT_EQ(reinterpret_cast<const quint8*>(image->events), base + 36);
        EXPECT_EQ(image->resourceCount, 3);
        EXPECT_EQ(reinterpret_cast<const quint8*>(image->resources),
                  base + image->header->resourceTableOffset);
        EXPECT_EQ(image->resources[2].resourceId, 12);
        EXPECT_EQ(image->regionSize, image->header->sampleDataOffset);
        EXPECT_EQ(image->bank, 2);
        EXPECT_EQ(image->folder, folder.Path());
        EXPECT_TRUE(image->warnings.isEmpty());
    }
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST(BankReaderClass, RefusalsComeBackWithTheirKindAndText) {
    RecordingPromptSink prompts;
    const QString path = QStringLiteral("/banks/Bnk_1.bnm");
    const QByteArray good = twoEventsThreeResources();

    CResult<BankImage> empty = CBankReader::Read(QByteArray(), path);
    ASSERT_FALSE(empty);
    EXPECT_EQ(empty.Error().kind, FormatError::Kind::NotABank);
    EXPECT_TRUE(empty.Error().text.isEmpty());

    QByteArray inside = good;
    BankBuilder::Put32(inside, kSampleDataAt, 20);
    CResult<BankImage> truncated = CBankReader::Read(inside, path);
    ASSERT_FALSE(truncated);
    EXPECT_EQ(truncated.Error().kind, FormatError::Kind::Truncated);
    EXPECT_EQ(truncated.Error().text, QStringLiteral("File is truncated"));

    QByteArray onHeader = good;
    BankBuilder::Put32(onHeader, kEventTableAt, 8);
    CResult<BankImage> overlap = CBankReader::Read(onHeader, path);
    ASSERT_FALSE(overlap);
    EXPECT_EQ(overlap.Error().kind, FormatError::Kind::Overlap);
    EXPECT_TRUE(overlap.Error().text.startsWith(
        QStringLiteral("/banks/Bnk_1.bnm cannot be opened: its event table overlaps the bank's "
                       "36-byte header (resources at offset")))
        << overlap.Error().text.toStdString();

    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST(BankReaderClass, ATableLongerThanTheRegionIsCutWithAWarning) {
    RecordingPromptSink prompts;
    QByteArray bytes = twoEventsThreeResources();
    BankBuilder::Put32(bytes, kResourceCountAt, 9);
    CResult<BankImage> read = CBankReader::Read(bytes, QStringLiteral("/b/Bnk_1.bnm"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read.Value().resourceCount, 3);
    EXPECT_EQ(read.Value().header->resourceCount, 9); // the header word stays as read
    EXPECT_EQ(read.Value().warnings,
              QStringList{QStringLiteral("The header lists 9 sound resources, but only 3 lie "
                                         "inside the bank's header region.\nThe others are "
                                         "ignored.")});
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

// Reading only the records must see the bank exactly as a whole read does,
// refusals and warnings alike, without taking its sample data into memory.
TEST(BankReaderClass, ReadingTheRecordsAloneSeesWhatAWholeReadSees) {
    RecordingPromptSink prompts;
    TestFolder folder;
    const QByteArray good = twoEventsThreeResources();
    QByteArray cut = good;
    BankBuilder::Put32(cut, kResourceCountAt, 9);
    QByteArray inside = good;
    BankBuilder::Put32(inside, kSampleDataAt, 20);
    QByteArray pastTheEnd = good;
    BankBuilder::Put32(pastTheEnd, kSampleDataAt, static_cast<quint32>(good.size() + 1));
    QByteArray onHeader = good;
    BankBuilder::Put32(onHeader, kEventTableAt, 8);
    const QByteArray banks[] = {good,     cut,           inside,        pastTheEnd,
                                onHeader, good.left(36), good.left(37), good.left(20)};
    for (const QByteArray& bytes : banks) {
        const QString path = folder.Write(QStringLiteral("Bnk_2.bnm"), bytes);
        CFile whole;
        CFile records;
        ASSERT_TRUE(whole.Open(path, CFile::modeRead));
        ASSERT_TRUE(records.Open(path, CFile::modeRead));
        const CResult<BankImage> a = CBankReader::Read(whole);
        const CResult<BankImage> b = CBankReader::ReadRecords(records);
        ASSERT_EQ(bool(a), bool(b)) << bytes.size();
        if (!a) {
            EXPECT_EQ(a.Error().kind, b.Error().kind);
            EXPECT_EQ(a.Error().text, b.Error().text);
            continue;
        }
        const BankImage& x = a.Value();
        const BankImage& y = b.Value();
        EXPECT_EQ(y.size, y.regionSize);
        EXPECT_EQ(y.fileSize, bytes.size());
        EXPECT_EQ(x.fileSize, bytes.size());
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(y.data.get()), y.size),
                  bytes.left(y.size));
        EXPECT_EQ(x.resourceCount, y.resourceCount);
        EXPECT_EQ(x.eventCount, y.eventCount);
        EXPECT_EQ(reinterpret_cast<const quint8*>(y.resources) - y.data.get(),
                  reinterpret_cast<const quint8*>(x.resources) - x.data.get());
        EXPECT_EQ(x.warnings, y.warnings);
        EXPECT_EQ(x.bank, y.bank);
        EXPECT_EQ(x.folder, y.folder);
    }
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

} // namespace
