#include "CLittleEndianWriter.h"

#include <QtEndian>

#include <cstring>

CLittleEndianWriter::CLittleEndianWriter(QByteArray& bytes, qsizetype at)
    : m_bytes(bytes), m_at(at < 0 ? bytes.size() : at) {}

char* CLittleEndianWriter::Room(qsizetype count) {
    if (m_bytes.size() < m_at + count) {
        m_bytes.resize(m_at + count, '\0');
    }
    char* at = m_bytes.data() + m_at;
    m_at += count;
    return at;
}

CLittleEndianWriter& CLittleEndianWriter::U8(quint8 value) {
    *Room(1) = static_cast<char>(value);
    return *this;
}

CLittleEndianWriter& CLittleEndianWriter::U16(quint16 value) {
    qToLittleEndian(value, Room(2));
    return *this;
}

CLittleEndianWriter& CLittleEndianWriter::U32(quint32 value) {
    qToLittleEndian(value, Room(4));
    return *this;
}

CLittleEndianWriter& CLittleEndianWriter::U64(quint64 value) {
    qToLittleEndian(value, Room(8));
    return *this;
}

CLittleEndianWriter& CLittleEndianWriter::Bytes(QByteArrayView bytes) {
    if (!bytes.isEmpty()) {
        std::memcpy(Room(bytes.size()), bytes.data(), static_cast<size_t>(bytes.size()));
    }
    return *this;
}

CLittleEndianWriter& CLittleEndianWriter::Zeros(qsizetype count) {
    std::memset(Room(count), 0, static_cast<size_t>(count));
    return *this;
}

void CLittleEndianWriter::Put16(QByteArray& bytes, qsizetype at, quint16 value) {
    CLittleEndianWriter(bytes, at).U16(value);
}

void CLittleEndianWriter::Put32(QByteArray& bytes, qsizetype at, quint32 value) {
    CLittleEndianWriter(bytes, at).U32(value);
}
