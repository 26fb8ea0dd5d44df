#include "CJsonText.h"

#include <QStringList>

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
    return MakeObject(fields, indent, true);
}

QString CJsonText::Array(const QList<Fields>& rows) {
    return MakeArray(rows, true);
}

QString CJsonText::Inline(const Fields& values) {
    QStringList members;
    for (const auto& [key, value] : values) {
        members.append(Quote(key) + QStringLiteral(": ") + value);
    }
    return QLatin1Char('{') + members.join(QStringLiteral(", ")) + QLatin1Char('}');
}

QString CJsonText::ValueObject(const Fields& values, const QString& indent) {
    return MakeObject(values, indent, false);
}

QString CJsonText::ValueArray(const QList<Fields>& rows) {
    return MakeArray(rows, false);
}

QString CJsonText::MakeObject(const Fields& fields, const QString& indent, bool quoteValues) {
    QString out = QStringLiteral("{\n");
    for (qsizetype i = 0; i < fields.size(); ++i) {
        out += indent + QStringLiteral("  ") + Quote(fields.at(i).first) + QStringLiteral(": ") +
               (quoteValues ? Quote(fields.at(i).second) : fields.at(i).second);
        out += i + 1 < fields.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
    }
    out += indent + QLatin1Char('}');
    return out;
}

QString CJsonText::MakeArray(const QList<Fields>& rows, bool quoteValues) {
    if (rows.isEmpty()) {
        return QStringLiteral("[]");
    }
    QString out = QStringLiteral("[\n");
    for (qsizetype i = 0; i < rows.size(); ++i) {
        out += QStringLiteral("  ") + MakeObject(rows.at(i), QStringLiteral("  "), quoteValues);
        out += i + 1 < rows.size() ? QStringLiteral(",\n") : QStringLiteral("\n");
    }
    out += QLatin1Char(']');
    return out;
}
