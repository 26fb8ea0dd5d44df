#include "CPlural.h"

#include <QCoreApplication>

QString CPlural::Text(const char* context, const char* source, int n) {
    const QString number = QString::number(n);
    QString text = QString::fromUtf8(source);
    QString translated = QCoreApplication::translate(context, source, nullptr, n);
    // Qt answers a text no translator has with the text itself, %n filled in.
    if (translated != QString(text).replace(QStringLiteral("%n"), number)) {
        return translated;
    }
    return text.replace(QStringLiteral("(s)"), n == 1 ? QString() : QStringLiteral("s"))
        .replace(QStringLiteral("%n"), number);
}
