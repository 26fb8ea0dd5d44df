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
    static QString Object(const Fields& fields, const QString& indent = QString());
    static QString Array(const QList<Fields>& rows);
};
