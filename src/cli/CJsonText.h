#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Writes JSON objects whose keys keep the order they were given in (QJsonObject
// sorts them), so the output reads like the columns of the lists.
class CJsonText {
public:
    using Fields = QList<QPair<QString, QString>>;

    static QString Quote(const QString& text);
    // Every value a string.
    static QString Object(const Fields& fields, const QString& indent = QString());
    static QString Array(const QList<Fields>& rows);

    // Values that are JSON already: numbers, null, quoted strings, objects.
    static QString Number(qint64 value) { return QString::number(value); }
    static QString Null() { return QStringLiteral("null"); }
    static QString Inline(const Fields& values);
    static QString ValueObject(const Fields& values, const QString& indent = QString());
    static QString ValueArray(const QList<Fields>& rows);

private:
    static QString MakeObject(const Fields& fields, const QString& indent, bool quoteValues);
    static QString MakeArray(const QList<Fields>& rows, bool quoteValues);
};
