#include "QtPrinters.h"
#include "format/CBnmFormat.h"
#include "format/SoundResource.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(BnmFormatCodes, TypeStorageAndFormatTexts) {
    EXPECT_EQ(CBnmFormat::ResourceTypeText(1), QStringLiteral("Sample"));
    EXPECT_EQ(CBnmFormat::ResourceTypeText(3), QStringLiteral("CD Audio"));
    for (const qint32 other : {0, 2, 4, -1}) {
        EXPECT_EQ(CBnmFormat::ResourceTypeText(other), QStringLiteral("Unknown")) << other;
    }
    EXPECT_EQ(CBnmFormat::StorageText(0), QStringLiteral("External"));
    EXPECT_EQ(CBnmFormat::StorageText(1), QStringLiteral("Bank"));
    EXPECT_EQ(CBnmFormat::StorageText(2), QStringLiteral("Unknown"));
    EXPECT_EQ(CBnmFormat::WaveFormatText(1), QStringLiteral("PCM"));
    EXPECT_EQ(CBnmFormat::WaveFormatText(2), QStringLiteral("Unknown"));
    EXPECT_EQ(CBnmFormat::YesNoText(0), QStringLiteral("No"));
    EXPECT_EQ(CBnmFormat::YesNoText(-1), QStringLiteral("Yes"));
}

TEST(BnmFormatCodes, EventTypeTexts) {
    const std::pair<qint32, const char*> cases[] = {
        {1, "Play"},    {2, "Stop"},    {6, "Pitch"},    {7, "Volume"},
        {9, "Effect"},  {0, "Unknown"}, {3, "Unknown"},  {4, "Unknown"},
        {5, "Unknown"}, {8, "Unknown"}, {10, "Unknown"}, {-6, "Unknown"},
    };
    for (const auto& [type, text] : cases) {
        EXPECT_EQ(CBnmFormat::EventTypeText(type), QString::fromLatin1(text)) << type;
    }
}

TEST(BnmFormatTargets, BankInTheHighHalfIndexInTheLow) {
    EXPECT_EQ(CBnmFormat::TargetBank(131082), 2);
    EXPECT_EQ(CBnmFormat::TargetIndex(131082), 10);
    EXPECT_EQ(CBnmFormat::MakeTarget(2, 10), 131082U);
    EXPECT_EQ(CBnmFormat::TargetBank(0xFFFFFFFFU), 0xFFFF);
    EXPECT_EQ(CBnmFormat::TargetIndex(0xFFFFFFFFU), 0xFFFF);
}

TEST(BnmFormatFractions, SixteenSixteenWithEightCharactersAndSixDecimals) {
    EXPECT_EQ(CBnmFormat::FractionText(32768), QStringLiteral("0.500000"));
    EXPECT_EQ(CBnmFormat::FractionText(65536), QStringLiteral("1.000000"));
    EXPECT_EQ(CBnmFormat::FractionText(1), QStringLiteral("0.000015"));
    EXPECT_EQ(CBnmFormat::FractionText(0), QStringLiteral("0.000000"));
    EXPECT_EQ(CBnmFormat::FractionText(98304), QStringLiteral("1.500000"));
    // Unsigned: the top bit is not a sign.
    EXPECT_EQ(CBnmFormat::FractionText(4294967295U), QStringLiteral("65535.999985"));
}

TEST(BnmFormatOffsets, OnlySamplesMoveAndTheSumIsWhatIsBanked) {
    SoundResource r[4];
    std::memset(r, 0, sizeof r);
    r[0].type = 1;
    r[0].storage = 1;
    r[0].length = 1000;
    r[1].type = 1;
    r[1].storage = 0;
    r[1].offset = 3;
    r[2].type = 2;
    r[2].storage = 1;
    r[2].length = 99;
    r[2].offset = 1234;
    r[3].type = 1;
    r[3].storage = 1;
    r[3].length = 500;
    EXPECT_EQ(CBnmFormat::RecomputeSampleOffsets(r, 4), 1500U);
    EXPECT_EQ(r[0].offset, 0);
    EXPECT_EQ(r[1].offset, 44);
    EXPECT_EQ(r[2].offset, 1234);
    EXPECT_EQ(r[3].offset, 1000);
}
