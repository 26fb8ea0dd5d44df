#include "CPrivateProfile.h"

#include <QFile>
#include <QStringDecoder>

#include <optional>

namespace {

std::optional<QString> findValue(const QString& section, const QString& key, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // Ini files of Windows programs are 8-bit text in the system code page;
    // Latin-1 keeps every byte as one character. A file saved by an editor
    // that marks its encoding is read in that encoding, as Windows does,
    // rather than taking the mark for part of the first section's name.
    const QByteArray bytes = file.readAll();
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.mid(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        text = utf16(bytes.mid(2));
    } else {
        text = QString::fromLatin1(bytes);
    }
    bool inSection = false;
    bool sectionSeen = false;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            if (sectionSeen && inSection) {
                // The first section of this name was read whole without the key.
                return std::nullopt;
            }
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QStringView name = (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            continue;
        }
        if (line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0) {
            continue;
        }
        QStringView value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 &&
            ((value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) ||
             (value.startsWith(QLatin1Char('\'')) && value.endsWith(QLatin1Char('\''))))) {
            value = value.mid(1, value.size() - 2);
        }
        return value.toString();
    }
    return std::nullopt;
}

} // namespace

int CPrivateProfile::GetString(const QString& section, const QString& key,
                               const QString& defaultValue, QString& result, int size,
                               const QString& path) {
    if (size <= 0) {
        result.clear();
        return 0;
    }
    result = findValue(section, key, path).value_or(defaultValue).left(size - 1);
    return static_cast<int>(result.size());
}
