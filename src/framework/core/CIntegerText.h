#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <QtGlobal>

#include <optional>

// Reads a decimal integer the way C's atoi does: leading blanks, an optional
// sign, then the digits up to the first other character. The magnitude
// saturates instead of overflowing, so every caller can say for itself what
// a number beyond its limit means: clamped, refused, or wrapped.
class CIntegerText {
public:
    // Above every 32-bit magnitude, so that no caller's limit is reached by
    // saturation alone.
    static constexpr quint64 kMagnitudeCap = quint64{1} << 32U;

    struct Scan {
        bool negative = false;
        qsizetype digits = 0;
        // Index just after the last character taken (blanks, sign, digits).
        qsizetype end = 0;
        // The digits' value, at most kMagnitudeCap.
        quint64 magnitude = 0;

        // The signed value when there are digits and it lies in [min, max].
        std::optional<qint64> InRange(qint64 min, qint64 max) const;
        // The signed value clamped to [min, max]; 0 without digits.
        qint64 Clamped(qint64 min, qint64 max) const;
    };

    // Blanks are what QChar::isSpace says.
    static Scan Read(QStringView text);
    // Bytes as the C locale's isspace sees them: blanks are " \t\n\v\f\r".
    static Scan Read(QByteArrayView text);

    // atoi with its overflow clamped to int.
    static int AtoI(QStringView text);
    static int AtoI(QByteArrayView text);
};
