#include "CNamesFileLines.h"

#include "framework/core/CFile.h"

#include <algorithm>

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

// Scans the buffer rather than byte by byte through Peek: a names file may
// be tens of megabytes of blank lines.
bool CNamesFileLines::Next(QByteArray& line, qsizetype maxLength) {
    if (Peek() < 0) {
        return false;
    }
    // Emptied, not freed: the next line reuses the memory of this one.
    line.resize(0);
    const auto isEnd = [](char c) { return c == '\r' || c == '\n' || c == '\0'; };
    while (Peek() >= 0) {
        const char* bytes = m_buffer.constData();
        qsizetype end = m_nPos;
        while (end < m_nFilled && !isEnd(bytes[end])) {
            ++end;
        }
        const qsizetype take = std::min(end - m_nPos, maxLength - line.size());
        if (take > 0) {
            line.append(bytes + m_nPos, take);
        }
        m_nPos = end;
        if (end < m_nFilled) {
            break;
        }
    }
    for (int c = Peek(); c == '\r' || c == '\n'; c = Peek()) {
        const char* bytes = m_buffer.constData();
        while (m_nPos < m_nFilled && (bytes[m_nPos] == '\r' || bytes[m_nPos] == '\n')) {
            ++m_nPos;
        }
    }
    return true;
}
