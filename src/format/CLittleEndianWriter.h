#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// Writes little-endian integers and raw bytes into a QByteArray, from a
// position that moves on with every write; writing past the end makes the
// array longer. Every file this program composes (banks, wave headers) is
// written through it, so no record's bytes depend on a host struct's layout.
class CLittleEndianWriter {
public:
    // Writes into bytes (not owned, which must outlive the writer) from at,
    // or from its end when at is negative.
    explicit CLittleEndianWriter(QByteArray& bytes, qsizetype at = -1);

    CLittleEndianWriter& U8(quint8 value);
    CLittleEndianWriter& U16(quint16 value);
    CLittleEndianWriter& U32(quint32 value);
    CLittleEndianWriter& U64(quint64 value);
    CLittleEndianWriter& I32(qint32 value) { return U32(static_cast<quint32>(value)); }
    CLittleEndianWriter& Bytes(QByteArrayView bytes);
    CLittleEndianWriter& Zeros(qsizetype count);

    qsizetype Position() const { return m_at; }
    void Seek(qsizetype at) { m_at = at; }

    // Overwrite one integer in place, for patching a finished image.
    static void Put16(QByteArray& bytes, qsizetype at, quint16 value);
    static void Put32(QByteArray& bytes, qsizetype at, quint32 value);

private:
    char* Room(qsizetype count);

    QByteArray& m_bytes;
    qsizetype m_at;
};
