#include "BankBuilder.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBankRecords.h"
#include "format/CBnmFormat.h"
#include "views/CResourceCells.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

namespace {

class ResourceCells : public ::testing::Test {
protected:
    void Open(const BankBuilder& b, const QByteArray& names = QByteArray()) {
        if (!names.isNull()) {
            folder.Write(QStringLiteral("Bnk_1.bns"), names);
        }
        ASSERT_TRUE(doc.LoadBankAndNames(folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build())));
    }
    QStringList Row(int row) const {
        QStringList cells;
        for (int c = 0; c < CResourceCells::ColumnCount; ++c) {
            cells << CResourceCells::Text(doc.Records(), row, c);
        }
        return cells;
    }

    TestFolder folder;
    RecordingPromptSink prompts;
    CKantelDoc doc;
};

QStringList row(std::initializer_list<const char*> cells) {
    QStringList list;
    for (const char* cell : cells) {
        list << QString::fromLatin1(cell);
    }
    return list;
}

} // namespace

TEST(ResourceColumns, TitlesWidthsAndAlignment) {
    const auto& columns = CResourceCells::Columns();
    const std::tuple<const char*, int, bool> expected[] = {
        {"Name", 100, false},        {"Index", 75, false},       {"Resource ID", 100, false},
        {"Type", 75, false},         {"Storage", 100, false},    {"File Name", 125, false},
        {"Description", 200, false}, {"Offset", 75, true},       {"Length", 75, true},
        {"LoopStart", 75, true},     {"LoopLength", 75, true},   {"Looped", 75, false},
        {"Volume", 75, false},       {"Samples/sec", 75, false}, {"Channels", 75, false},
        {"Bits/sample", 75, false},  {"Flags", 100, false},      {"Wave Format", 100, false},
        {"CD Track", 75, false},
    };
    ASSERT_EQ(columns.size(), std::size(expected));
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_STREQ(columns[i].title, std::get<0>(expected[i])) << i;
        EXPECT_EQ(columns[i].width, std::get<1>(expected[i])) << i;
        EXPECT_EQ(columns[i].rightAligned, std::get<2>(expected[i])) << i;
    }
}

TEST_F(ResourceCells, SampleShowsEveryFieldButTheTrack) {
    BankBuilder b;
    SoundResource& r = b.AddSample(65537, QStringLiteral("engine.wav"), BankBuilder::Pattern(10, 1),
                                   false, 44100, 16, 2);
    r.volume = 200;
    r.looped = -3;
    r.loopStart = 2;
    r.loopLength = -1;
    r.flags[0] = 1;
    r.flags[1] = -2;
    r.flags[5] = 6;
    r.waveFormat = 2;
    r.storage = 2;
    Open(b, "[body res]\n1 \"Engine\" \"Engine loop\"\n");
    EXPECT_EQ(Row(0), row({"Engine", "0", "65537", "Sample", "Unknown", "engine.wav", "Engine loop",
                           "44", "10", "2", "-1", "Yes", "200", "44100", "2", "16", "1,-2,0,0,0,6",
                           "Unknown", ""}));
}

TEST_F(ResourceCells, CdAudioShowsTrackFlagsLoopAndVolumeOnly) {
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), false);
    SoundResource& cd = b.AddCdTrack(5, 5, 7);
    cd.looped = 1;
    cd.volume = 90;
    cd.length = 1234;
    cd.offset = 99;
    cd.flags[0] |= 0x10000; // the upper half of the first word is not the track
    CBnmFormat::SetFileName(cd, QStringLiteral("x.wav"));
    Open(b);
    EXPECT_EQ(Row(1), row({"", "1", "5", "CD Audio", "External", "", "", "", "", "", "", "Yes",
                           "90", "", "", "", "7", "", "5"}));
}

TEST_F(ResourceCells, OtherTypeShowsUnknownOffsetAndNothingElse) {
    BankBuilder b;
    SoundResource& r = b.AddResource(3, 2);
    r.storage = 1;
    r.looped = 1;
    r.volume = 5;
    r.offset = 77;
    Open(b, "[body res]\n3 \"Odd\" \"Odd one\"\n");
    EXPECT_EQ(Row(0), row({"Odd", "0", "3", "Unknown", "Bank", "", "Odd one", "Unknown", "", "", "",
                           "", "", "", "", "", "", "", ""}));
}

TEST_F(ResourceCells, RowsFollowTheTableAndOutOfRangeIsEmpty) {
    BankBuilder b;
    for (int i = 0; i < 3; ++i) {
        b.AddCdTrack(10 + i, 2);
    }
    Open(b);
    EXPECT_EQ(CResourceCells::RowCount(doc.Records()), 3);
    EXPECT_EQ(CResourceCells::Text(doc.Records(), 2, CResourceCells::Index), QStringLiteral("2"));
    EXPECT_EQ(CResourceCells::Text(doc.Records(), 2, CResourceCells::ResourceId),
              QStringLiteral("12"));
    EXPECT_EQ(CResourceCells::Text(doc.Records(), 3, CResourceCells::Index), QString());
    EXPECT_EQ(CResourceCells::Text(doc.Records(), -1, CResourceCells::Index), QString());
    EXPECT_EQ(CResourceCells::Text(doc.Records(), 0, CResourceCells::ColumnCount), QString());
    EXPECT_EQ(CResourceCells::Text(doc.Records(), 0, -1), QString());
}

TEST(ResourceCellsEmpty, DocumentWithoutABankHasNoRows) {
    CKantelDoc doc;
    EXPECT_EQ(CResourceCells::RowCount(doc.Records()), 0);
    EXPECT_EQ(CResourceCells::Text(doc.Records(), 0, 0), QString());
}

// The filter reads whole rows; they must be the cells the list shows.
TEST_F(ResourceCells, RowTextIsEveryCellInTurn) {
    BankBuilder b;
    SoundResource& sample = b.AddSample(65537, QStringLiteral("engine.wav"),
                                        BankBuilder::Pattern(10, 1), true, 44100, 16, 2);
    sample.flags[0] = -7;
    sample.flags[5] = 2147483647;
    sample.loopStart = -3;
    // The digits of the shortest and longest numbers, and the boundaries
    // between one count of digits and the next.
    sample.loopLength = std::numeric_limits<qint32>::min();
    sample.flags[1] = 10;
    sample.flags[2] = 99;
    sample.flags[3] = 100;
    sample.flags[4] = -1000000000;
    sample.looped = 1;
    sample.volume = 200;
    b.AddSample(2, QString(), BankBuilder::Pattern(4, 2), false).waveFormat = 3;
    b.AddCdTrack(3, 5, 7);
    b.AddResource(4, 2).offset = -1;
    b.AddResource(5, 1).storage = 9;
    // Latin-1 beyond ASCII, and all 16 bytes without a terminating zero.
    std::memcpy(b.AddSample(6, QString(), BankBuilder::Pattern(4, 3), false).fileName,
                "\xE9t\xE9-long-name.wa", 16);
    Open(b, "[body res]\n1 \"Engine\" \"Loud, long\"\n4 \"Odd\" \"\"\n");
    QString table;
    for (int r = -1; r <= 6; ++r) {
        QString text = QStringLiteral("before\n");
        CResourceCells::AppendRowText(doc.Records(), r, text);
        QString cells = QStringLiteral("before\n");
        for (int c = 0; c < CResourceCells::ColumnCount; ++c) {
            cells += CResourceCells::Text(doc.Records(), r, c) + QLatin1Char('\n');
        }
        EXPECT_EQ(text, cells) << "row " << r;
        QString tabbed;
        CResourceCells::AppendRowText(doc.Records(), r, tabbed, QLatin1Char('\t'));
        EXPECT_EQ(tabbed, cells.mid(7).replace(QLatin1Char('\n'), QLatin1Char('\t')))
            << "row " << r;
        table += tabbed;
        table.back() = QLatin1Char('\n');
    }
    // The CLI's table: a run of rows of different words, each row ending in
    // a line break.
    QString rows = QStringLiteral("before\n");
    CResourceCells::AppendRowsText(doc.Records(), -1, 7, rows, QLatin1Char('\t'),
                                   QLatin1Char('\n'));
    EXPECT_EQ(rows, QStringLiteral("before\n") + table);
}

// Each number of a record on both sides of every change in its count of
// digits, as the table writes it and as the cell gives it.
TEST(ResourceCellsNumbers, EveryCountOfDigitsIsWrittenAsTheCellGivesIt) {
    std::vector<qint32> values = {0, std::numeric_limits<qint32>::max(),
                                  std::numeric_limits<qint32>::min()};
    for (qint64 power = 10; power <= std::numeric_limits<qint32>::max(); power *= 10) {
        for (const qint64 value : {power - 1, power, -power + 1, -power}) {
            values.push_back(static_cast<qint32>(value));
        }
    }
    std::vector<SoundResource> records(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        records[i] = SoundResource{};
        records[i].type = SoundResource::kTypeSample;
        records[i].offset = values[i];
        records[i].flags[3] = values[i];
    }
    const BnmHeader header{};
    const CBankRecords bank(&header, records, {}, 0, nullptr, nullptr);
    for (int row = 0; row < static_cast<int>(records.size()); ++row) {
        QString text;
        CResourceCells::AppendRowText(bank, row, text);
        const QStringList cells = text.split(QLatin1Char('\n'));
        ASSERT_EQ(cells.size(), CResourceCells::ColumnCount + 1);
        EXPECT_EQ(cells[CResourceCells::Offset], QString::number(values[static_cast<size_t>(row)]));
        EXPECT_EQ(cells[CResourceCells::Flags],
                  CResourceCells::Text(bank, row, CResourceCells::Flags));
    }
}
