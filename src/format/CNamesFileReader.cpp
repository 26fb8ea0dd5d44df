#include "CNamesFileReader.h"

#include "CNamesFileLines.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CIntegerText.h"

#include <QByteArrayView>
#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string_view>

namespace {

// The C library's strtok over one line: runs of delimiters count as one,
// leading delimiters are skipped, and the delimiter that ends a token is
// consumed with it.
class LineTokens {
public:
    explicit LineTokens(QByteArrayView line) : m_line(line) {}

    // delimiters holds one or two characters: this runs for every character
    // of a names file, and comparing with two costs a fraction of a search.
    std::optional<QByteArrayView> Next(std::string_view delimiters) {
        const char first = delimiters.front();
        const char second = delimiters.back();
        const auto isDelimiter = [first, second](char c) { return c == first || c == second; };
        const char* const end = m_line.end();
        const char* start = std::find_if_not(m_line.begin() + m_pos, end, isDelimiter);
        if (start == end) {
            m_pos = m_line.size();
            return std::nullopt;
        }
        // One delimiter, a quote, ends most tokens of a line: looked for
        // with the C library's search.
        const char* stop = first == second ? static_cast<const char*>(std::memchr(
                                                 start, first, static_cast<size_t>(end - start)))
                                           : std::find_if(start, end, isDelimiter);
        if (stop == nullptr) {
            stop = end;
        }
        m_pos = (stop - m_line.begin()) + (stop < end ? 1 : 0);
        return QByteArrayView(start, stop - start);
    }

private:
    QByteArrayView m_line;
    qsizetype m_pos = 0;
};

// Makes the table's strings from Latin-1: each a string of its own, or, for
// a table whose strings borrow, a piece of the table's buffer. The buffer
// holds as many characters as the file had bytes, which is enough for every
// name and description in it; should the file have grown while it was read,
// what no longer fits becomes strings of their own.
class StringMaker {
public:
    // fileSize is that of the file for a table whose strings borrow, else 0.
    StringMaker(NamesTable& table, qint64 fileSize) {
        if (fileSize > 0) {
            table.text = NamesTable::AllocateText(static_cast<size_t>(fileSize));
            m_next = table.text.get();
            m_left = fileSize;
        }
    }

    QString Make(QByteArrayView bytes, int limit) {
        const QByteArrayView kept = bytes.first(std::min<qsizetype>(bytes.size(), limit));
        if (m_next == nullptr || kept.size() > m_left) {
            return QString::fromLatin1(kept);
        }
        char16_t* const start = m_next;
        for (const char c : kept) {
            *m_next++ = static_cast<unsigned char>(c);
        }
        m_left -= kept.size();
        return QString::fromRawData(reinterpret_cast<const QChar*>(start), kept.size());
    }

private:
    char16_t* m_next = nullptr;
    qint64 m_left = 0; // none without a buffer: every string is its own
};

// The id of a names line as atoi reads it. Nearly every id is a few digits,
// which need none of the general reader's signs, blanks and clamping.
int idOf(QByteArrayView token) {
    if (token.size() <= 9) {
        int value = 0;
        for (const char c : token) {
            if (c < '0' || c > '9') {
                return CIntegerText::AtoI(token);
            }
            value = value * 10 + (c - '0');
        }
        return value;
    }
    return CIntegerText::AtoI(token);
}

FormatError refusal(FormatError::Kind kind, QString text = QString()) {
    return FormatError{kind, std::move(text)};
}

} // namespace

CResult<NamesTable> CNamesFileReader::ReadBeside(const QString& bankPath, int resourceCount,
                                                 NamesTable::Strings strings) {
    const QString namesPath = bankPath.left(bankPath.size() - 3) + QStringLiteral("bns");
    CFile names;
    CFileException error;
    if (!names.Open(namesPath, CFile::modeRead, &error)) {
        // Only something that is there and is no file is worth a word.
        return refusal(FormatError::Kind::NotAllowed,
                       error.m_cause == CFileException::notRegularFile ? error.GetErrorMessage()
                                                                       : QString());
    }
    if (names.GetLength() > kMaxNamesFile) {
        return refusal(FormatError::Kind::NotAllowed,
                       QCoreApplication::translate("CNamesFileReader",
                                                   "%1 holds %2 bytes, too many for a names file.")
                           .arg(names.GetFilePath())
                           .arg(names.GetLength()));
    }
    try {
        return Read(names, resourceCount, strings);
    } catch (const CFileException& e) {
        return refusal(FormatError::Kind::Unreadable,
                       resourceCount > 0 ? e.GetErrorMessage() : QString());
    } catch (const std::bad_alloc&) {
        return refusal(FormatError::Kind::OutOfMemory,
                       QCoreApplication::translate("CNamesFileReader",
                                                   "There is not enough memory to read %1.")
                           .arg(names.GetFilePath()));
    }
}

namespace {

// Reads lines up to and with the one that opens the body; false when there
// is none.
bool skipToBody(CNamesFileLines& lines) {
    QByteArrayView line;
    while (lines.Next(line, CNamesFileReader::kMaxNamesLine)) {
        if (line.compare(QByteArrayView("[body res]"), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

CResult<NamesTable> CNamesFileReader::Read(CFile& file, int resourceCount,
                                           NamesTable::Strings strings) {
    if (resourceCount < 1) {
        return refusal(FormatError::Kind::NotABank);
    }
    NamesTable table;
    CNamesFileLines lines(file);
    if (!skipToBody(lines)) {
        return table;
    }
    QByteArrayView line;
    table.names = NamesTable::Allocate(static_cast<size_t>(resourceCount));
    StringMaker make(table, strings == NamesTable::Strings::Borrowed ? file.GetLength() : 0);
    int position = 0;
    std::optional<QByteArray> lastDescription;
    QString lastDescriptionText;
    while (position < resourceCount && lines.Next(line, kMaxNamesLine)) {
        ResourceName& entry = table.names[static_cast<size_t>(position)];
        entry.hasId = true;
        LineTokens tokens(line);
        const std::optional<QByteArrayView> id = tokens.Next(" \t");
        if (!id) {
            entry.id = -1;
        } else {
            entry.id = idOf(*id);
            const std::optional<QByteArrayView> name = tokens.Next("\"");
            if (!name) {
                entry.name = QString::asprintf("noname%d", position);
            } else {
                entry.name = make.Make(*name, kMaxName);
                if (tokens.Next("\"")) {
                    if (const std::optional<QByteArrayView> description = tokens.Next("\"")) {
                        // Many entries share one description; they share its
                        // text too.
                        const QByteArrayView kept = description->first(
                            std::min<qsizetype>(description->size(), kMaxDescription));
                        if (!lastDescription || kept != *lastDescription) {
                            lastDescription = kept.toByteArray();
                            lastDescriptionText = make.Make(kept, kMaxDescription);
                        }
                        entry.description = lastDescriptionText;
                    }
                }
            }
        }
        ++position;
    }
    table.count = position;
    // The first entry of each id answers the lookups, as a search from the
    // start would, without walking the list for every row.
    table.firstOfId = CNameIdIndex(table.names.get(), table.count);
    return table;
}
