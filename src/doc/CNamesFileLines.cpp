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

bool CNamesFileLines::Next(QByteArray& line, qsizetype maxLength) {
    int c = Peek();
    if (c < 0) {
        return false;
    }
    line.clear();
    while (c >= 0 && c != '\r' && c != '\n') {
        if (line.size() < maxLength) {
            line.append(static_cast<char>(c));
        }
        ++m_nPos;
        c = Peek();
    }
    while (c == '\r' || c == '\n') {
        ++m_nPos;
        c = Peek();
    }
    return true;
}
