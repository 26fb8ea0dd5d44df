// The bank reader on its own: a layout or a reason, never a message box.
#include "BankBuilder.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CBankReader.h"

#include "framework/core/CFile.h"

#include <gtest/gtest.h>

namespace {

constexpr qsizetype kEventTableAt = 4;
constexpr qsizetype kResourceCountAt = 16;
constexpr qsizetype kSampleDataAt = 20;

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
