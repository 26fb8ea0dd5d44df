#include "CIntegerText.h"

#include <algorithm>
#include <limits>

namespace {

template <class Text, class IsBlank>
CIntegerText::Scan ReadText(const Text& text, IsBlank isBlank) {
    CIntegerText::Scan scan;
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        scan.negative = text[i] == '-';
        ++i;
    }
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++scan.digits) {
        const auto digit = static_cast<quint64>(text[i] - '0');
        scan.magnitude = std::min(scan.magnitude * 10 + digit, CIntegerText::kMagnitudeCap);
    }
    scan.end = i;
    return scan;
}

// QStringView's characters compared as code units.
struct Units {
    QStringView text;
    qsizetype size() const { return text.size(); }
    char16_t operator[](qsizetype i) const { return text[i].unicode(); }
};

} // namespace

std::optional<qint64> CIntegerText::Scan::InRange(qint64 min, qint64 max) const {
    if (digits == 0) {
        return std::nullopt;
    }
    const qint64 value =
        negative ? -static_cast<qint64>(magnitude) : static_cast<qint64>(magnitude);
    if (value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

qint64 CIntegerText::Scan::Clamped(qint64 min, qint64 max) const {
    const qint64 value =
        negative ? -static_cast<qint64>(magnitude) : static_cast<qint64>(magnitude);
    return std::clamp(value, min, max);
}

CIntegerText::Scan CIntegerText::Read(QStringView text) {
    return ReadText(Units{text}, [](char16_t c) { return QChar(c).isSpace(); });
}

CIntegerText::Scan CIntegerText::Read(QByteArrayView text) {
    return ReadText(text, [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    });
}

int CIntegerText::AtoI(QStringView text) {
    return static_cast<int>(
        Read(text).Clamped(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int CIntegerText::AtoI(QByteArrayView text) {
    return static_cast<int>(
        Read(text).Clamped(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
