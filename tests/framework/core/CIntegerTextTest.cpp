#include "framework/core/CIntegerText.h"

#include <QString>

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr qint64 kIntMin = std::numeric_limits<int>::min();
constexpr qint64 kIntMax = std::numeric_limits<int>::max();
constexpr qint64 kUintMax = std::numeric_limits<quint32>::max();

int AtoI(const char* text) {
    const int fromBytes = CIntegerText::AtoI(QByteArrayView(text));
    // Text and bytes read alike wherever their blanks agree.
    EXPECT_EQ(CIntegerText::AtoI(QString::fromLatin1(text)), fromBytes) << text;
    return fromBytes;
}

std::optional<qint64> InRange(const char* text, qint64 min, qint64 max) {
    return CIntegerText::Read(QString::fromLatin1(text)).InRange(min, max);
}

TEST(CIntegerText, AtoIClampsAtTheLimitsOfInt) {
    EXPECT_EQ(AtoI("0"), 0);
    EXPECT_EQ(AtoI("2147483646"), 2147483646);
    EXPECT_EQ(AtoI("2147483647"), 2147483647);
    EXPECT_EQ(AtoI("2147483648"), 2147483647);
    EXPECT_EQ(AtoI("99999999999999999999999"), 2147483647);
    EXPECT_EQ(AtoI("-2147483647"), -2147483647);
    EXPECT_EQ(AtoI("-2147483648"), kIntMin);
    EXPECT_EQ(AtoI("-2147483649"), kIntMin);
    EXPECT_EQ(AtoI("-99999999999999999999999"), kIntMin);
    // 2^32 and beyond must not wrap back into range.
    EXPECT_EQ(AtoI("4294967296"), 2147483647);
    EXPECT_EQ(AtoI("-4294967297"), kIntMin);
}

TEST(CIntegerText, AtoITakesBlanksASignAndTheDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(AtoI("+17"), 17);
    EXPECT_EQ(AtoI("-17"), -17);
    EXPECT_EQ(AtoI(" \t\n\v\f\r42"), 42);
    EXPECT_EQ(AtoI("42 43"), 42);
    EXPECT_EQ(AtoI("12abc"), 12);
    EXPECT_EQ(AtoI("0x1F"), 0);
    EXPECT_EQ(AtoI("007"), 7);
    // No digits: 0.
    EXPECT_EQ(AtoI(""), 0);
    EXPECT_EQ(AtoI("   "), 0);
    EXPECT_EQ(AtoI("-"), 0);
    EXPECT_EQ(AtoI("+-1"), 0);
    EXPECT_EQ(AtoI("- 1"), 0);
    EXPECT_EQ(AtoI("abc"), 0);
}

TEST(CIntegerText, BlanksDifferBetweenTextAndBytes) {
    // A no-break space is a blank to QChar, not to the C locale.
    EXPECT_EQ(CIntegerText::AtoI(QStringLiteral("\u00A05")), 5);
    EXPECT_EQ(CIntegerText::AtoI(QByteArrayView("\xA0"
                                                "5")),
              0);
    // Non-ASCII digits are no digits.
    EXPECT_EQ(CIntegerText::AtoI(QStringLiteral("\u0665")), 0);
}

TEST(CIntegerText, ScanTellsWhereTheNumberEnds) {
    const CIntegerText::Scan scan = CIntegerText::Read(QStringLiteral("  -123x"));
    EXPECT_TRUE(scan.negative);
    EXPECT_EQ(scan.digits, 3);
    EXPECT_EQ(scan.end, 6);
    EXPECT_EQ(scan.magnitude, 123U);
    const CIntegerText::Scan empty = CIntegerText::Read(QString());
    EXPECT_EQ(empty.digits, 0);
    EXPECT_EQ(empty.end, 0);
    EXPECT_EQ(CIntegerText::Read(QStringLiteral("+")).end, 1);
    EXPECT_EQ(CIntegerText::Read(QStringLiteral("99999999999999999999")).magnitude,
              CIntegerText::kMagnitudeCap);
}

TEST(CIntegerText, InRangeRefusesWhatLiesOutsideTheLimits) {
    // Signed int.
    EXPECT_EQ(InRange("0", kIntMin, kIntMax), 0);
    EXPECT_EQ(InRange("2147483646", kIntMin, kIntMax), 2147483646);
    EXPECT_EQ(InRange("2147483647", kIntMin, kIntMax), kIntMax);
    EXPECT_EQ(InRange("2147483648", kIntMin, kIntMax), std::nullopt);
    EXPECT_EQ(InRange("-2147483648", kIntMin, kIntMax), kIntMin);
    EXPECT_EQ(InRange("-2147483649", kIntMin, kIntMax), std::nullopt);
    // Unsigned 32-bit.
    EXPECT_EQ(InRange("4294967294", 0, kUintMax), 4294967294);
    EXPECT_EQ(InRange("4294967295", 0, kUintMax), kUintMax);
    EXPECT_EQ(InRange("4294967296", 0, kUintMax), std::nullopt);
    EXPECT_EQ(InRange("99999999999999999999", 0, kUintMax), std::nullopt);
    EXPECT_EQ(InRange("-1", 0, kUintMax), std::nullopt);
    // Signs, blanks and no digits.
    EXPECT_EQ(InRange(" +5", kIntMin, kIntMax), 5);
    EXPECT_EQ(InRange("-0", 0, kUintMax), 0);
    EXPECT_EQ(InRange("", kIntMin, kIntMax), std::nullopt);
    EXPECT_EQ(InRange("  ", kIntMin, kIntMax), std::nullopt);
    EXPECT_EQ(InRange("-", kIntMin, kIntMax), std::nullopt);
}

} // namespace
