#include "CJsonText.h"

QString CJsonText::Quote(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20) {
                out += QString::asprintf("\\u%04x", c.unicode());
            } else {
                out += c;
            }
        }
    }
    out += QLatin1Char('"');
    return out;
}

QString CJsonText::Object(const Fields& fields, const QString& indent) {
    QString out = QStringLiteral("{\n");
    for (qsizetype i = 0; i < fields.size(); ++i) {
        out += indent + QStringLiteral("  ") + Quote(fields.at(i).first) + QStringLiteral(": ") +
               Quote(fields.at(i).second);
        out += i + 1 < fields.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
    }
    out += indent + QLatin1Char('}');
    return out;
}

QString CJsonText::Array(const QList<Fields>& rows) {
    if (rows.isEmpty()) {
        return QStringLiteral("[]");
    }
    QString out = QStringLiteral("[\n");
    for (qsizetype i = 0; i < rows.size(); ++i) {
        out += QStringLiteral("  ") + Object(rows.at(i), QStringLiteral("  "));
        out += i + 1 < rows.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
    }
    out += QLatin1Char(']');
    return out;
}
