#include "CCaseFold.h"

namespace {

bool isAsciiUpper(char16_t c) {
    return c >= u'A' && c <= u'Z';
}

} // namespace

QString CCaseFold::Fold(const QString& text) {
    qsizetype firstUpper = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c >= 0x80) {
            return text.toCaseFolded();
        }
        if (firstUpper < 0 && isAsciiUpper(c)) {
            firstUpper = i;
        }
    }
    if (firstUpper < 0) {
        return text;
    }
    QString folded = text;
    QChar* const out = folded.data();
    for (qsizetype i = firstUpper; i < folded.size(); ++i) {
        const char16_t c = out[i].unicode();
        if (isAsciiUpper(c)) {
            out[i] = QChar(static_cast<char16_t>(c + (u'a' - u'A')));
        }
    }
    return folded;
}
