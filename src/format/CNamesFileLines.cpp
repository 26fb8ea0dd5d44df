#include "CNamesFileLines.h"

#include "framework/core/CFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The first line end ('\r', '\n') or zero byte in [from, to), or to. Eight
// bytes are looked at together, and only a word holding a byte below 14
// (the three, or a tab) byte by byte: the text of a line passes at a word a
// step.
const char* lineEnd(const char* from, const char* to) {
    constexpr std::uint64_t kOnes = 0x0101010101010101U;
    constexpr std::uint64_t kHigh = 0x8080808080808080U;
    const auto isEnd = [](char c) { return c == '\r' || c == '\n' || c == '\0'; };
    while (to - from >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, from, sizeof word);
        // Nonzero exactly when some byte of word is below 14.
        if (((word - 14 * kOnes) & ~word & kHigh) != 0) {
            for (const char* const next = from + 8; from < next; ++from) {
                if (isEnd(*from)) {
                    return from;
                }
            }
        } else {
            from += 8;
        }
    }
    while (from < to && !isEnd(*from)) {
        ++from;
    }
    return from;
}

} // namespace

CNamesFileLines::CNamesFileLines(CFile& file, qsizetype bufferSize)
    : m_file(file), m_buffer(std::max<qsizetype>(bufferSize, 1), '\0') {
    m_file.SeekToBegin();
}

int CNamesFileLines::Peek() {
    if (m_bEnd) {
        return -1;
    }
    if (m_nPos == m_nFilled) {
        m_nFilled = static_cast<qsizetype>(m_file.Read(m_buffer.data(), m_buffer.size()));
        m_nPos = 0;
        if (m_nFilled <= 0) {
            m_bEnd = true;
            return -1;
        }
    }
    const char c = m_buffer.at(m_nPos);
    if (c == '\0') {
        m_bEnd = true;
        return -1;
    }
    return static_cast<unsigned char>(c);
}

bool CNamesFileLines::Next(QByteArray& line, qsizetype maxLength) {
    QByteArrayView view;
    if (!Next(view, maxLength)) {
        return false;
    }
    line = view.toByteArray();
    return true;
}

// Scans the buffer rather than byte by byte through Peek: a names file may
// be tens of megabytes of blank lines.
bool CNamesFileLines::Next(QByteArrayView& line, qsizetype maxLength) {
    if (m_bAfterLine) {
        SkipLineEnds();
    }
    if (Peek() < 0) {
        return false;
    }
    m_bAfterLine = true;
    const char* bytes = m_buffer.constData();
    qsizetype end = lineEnd(bytes + m_nPos, bytes + m_nFilled) - bytes;
    if (end < m_nFilled) {
        line = QByteArrayView(bytes + m_nPos, std::min(end - m_nPos, maxLength));
        // The line ends after it are passed now as far as the buffer holds
        // them; the rest wait for the next call, since a refill would move
        // the buffer under the view.
        m_nPos = end;
        while (m_nPos < m_nFilled && (bytes[m_nPos] == '\r' || bytes[m_nPos] == '\n')) {
            ++m_nPos;
        }
        m_bAfterLine = m_nPos == m_nFilled;
        return true;
    }
    // Emptied, not freed: the next such line reuses the memory of this one.
    m_line.resize(0);
    while (Peek() >= 0) {
        bytes = m_buffer.constData();
        end = lineEnd(bytes + m_nPos, bytes + m_nFilled) - bytes;
        const qsizetype take = std::min(end - m_nPos, maxLength - m_line.size());
        if (take > 0) {
            m_line.append(bytes + m_nPos, take);
        }
        m_nPos = end;
        if (end < m_nFilled) {
            break;
        }
    }
    line = m_line;
    return true;
}

void CNamesFileLines::SkipLineEnds() {
    if (!m_bAfterLine) {
        return;
    }
    m_bAfterLine = false;
    for (int c = Peek(); c == '\r' || c == '\n'; c = Peek()) {
        const char* bytes = m_buffer.constData();
        while (m_nPos < m_nFilled && (bytes[m_nPos] == '\r' || bytes[m_nPos] == '\n')) {
            ++m_nPos;
        }
    }
}
