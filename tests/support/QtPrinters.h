#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// Lets GoogleTest show Qt strings as text in its failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << "QByteArray(" << bytes.size() << ") \""
        << bytes.left(64).toPercentEncoding().toStdString() << (bytes.size() > 64 ? "...\"" : "\"");
}
