#include "BankBuilder.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CBnmFormat.h"
#include "views/CEventCells.h"

#include <gtest/gtest.h>

namespace {

class EventCells : public ::testing::Test {
protected:
    void Open(const BankBuilder& b) {
        ASSERT_TRUE(doc.LoadBankAndNames(folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build())));
    }
    QStringList Row(int row) const {
        QStringList cells;
        for (int c = 0; c < CEventCells::ColumnCount; ++c) {
            cells << CEventCells::Text(doc.Records(), row, c);
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

// Bank 1 with four resources (index 3: Sample id 7, a.wav) and events as
// each test adds them.
BankBuilder bank() {
    BankBuilder b;
    b.bank = 0; // room for many events before the resource table
    b.AddCdTrack(1, 2);
    b.AddCdTrack(2, 2);
    b.AddCdTrack(3, 2);
    b.AddSample(7, QStringLiteral("a.wav"), QByteArray(), false);
    return b;
}

} // namespace

TEST(EventColumns, TitlesAndWidths) {
    const auto& columns = CEventCells::Columns();
    const std::pair<const char*, int> expected[] = {
        {"Index", 75},  {"Event ID", 75}, {"Type", 75},     {"Param1", 225},
        {"Param2", 75}, {"Param3", 75},   {"Stopable", 75}, {"Dynamic", 75},
    };
    ASSERT_EQ(columns.size(), std::size(expected));
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_STREQ(columns[i].title, expected[i].first) << i;
        EXPECT_EQ(columns[i].width, expected[i].second) << i;
        EXPECT_FALSE(columns[i].rightAligned) << i;
    }
}

TEST_F(EventCells, EachTypeShowsItsParameters) {
    BankBuilder b = bank();
    b.AddEvent(100, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(0, 3), 5, 6).stopable = 1;
    b.AddEvent(101, SoundEvent::kTypeStop, CBnmFormat::MakeTarget(0, 0)).dynamic = 2;
    b.AddEvent(102, SoundEvent::kTypePitch, CBnmFormat::MakeTarget(0, 1), 98304, 4294967295U);
    b.AddEvent(103, SoundEvent::kTypeVolume, CBnmFormat::MakeTarget(2, 3), 1, 0);
    b.AddEvent(104, SoundEvent::kTypeEffect, 0xFFFFFFFEU, 7, 8);
    b.AddEvent(105, 4, 12345, 1, 2).stopable = -1;
    b.AddEvent(-106, 0, CBnmFormat::MakeTarget(0, 3));
    Open(b);
    ASSERT_EQ(doc.GetBank(), 0);
    EXPECT_EQ(Row(0),
              row({"     0", "100", "Play", "Resource ID   7 (a.wav)", "", "", "Yes", "No"}));
    EXPECT_EQ(Row(1), row({"     1", "101", "Stop", "Event ID 100", "", "", "No", "Yes"}));
    EXPECT_EQ(Row(2), row({"     2", "102", "Pitch", "Resource ID   2", "1.500000", "65535.999985",
                           "No", "No"}));
    EXPECT_EQ(Row(3), row({"     3", "103", "Volume", "Resource at index 3 in Bnk_2.bnm",
                           "0.000015", "0.000000", "No", "No"}));
    EXPECT_EQ(Row(4), row({"     4", "104", "Effect", "-2", "", "", "No", "No"}));
    EXPECT_EQ(Row(5), row({"     5", "105", "Unknown", "", "", "", "Yes", "No"}));
    EXPECT_EQ(Row(6), row({"     6", "-106", "Unknown", "", "", "", "No", "No"}));
}

TEST_F(EventCells, TargetsBeyondTheTablesAreUnknown) {
    BankBuilder b = bank();
    b.AddEvent(1, SoundEvent::kTypeStop, CBnmFormat::MakeTarget(0, 2));
    b.AddEvent(2, SoundEvent::kTypePlay, CBnmFormat::MakeTarget(3, 4));
    Open(b);
    EXPECT_EQ(CEventCells::Text(doc.Records(), 0, CEventCells::Param1), QStringLiteral("???"));
    EXPECT_EQ(CEventCells::Text(doc.Records(), 1, CEventCells::Param1), QStringLiteral("???"));
}

TEST_F(EventCells, IndexIsPaddedWithFiveBlanks) {
    BankBuilder b = bank();
    for (int i = 0; i < 13; ++i) {
        b.AddEvent(i, SoundEvent::kTypePlay);
    }
    Open(b);
    EXPECT_EQ(CEventCells::RowCount(doc.Records()), 13);
    EXPECT_EQ(CEventCells::Text(doc.Records(), 12, CEventCells::Index), QStringLiteral("     12"));
    EXPECT_EQ(CEventCells::Text(doc.Records(), 13, CEventCells::Index), QString());
    EXPECT_EQ(CEventCells::Text(doc.Records(), 0, CEventCells::ColumnCount), QString());
}

TEST_F(EventCells, BankWithoutEventsHasNoRows) {
    Open(bank());
    EXPECT_EQ(CEventCells::RowCount(doc.Records()), 0);
    EXPECT_EQ(CEventCells::Text(doc.Records(), 0, CEventCells::Index), QString());
}
