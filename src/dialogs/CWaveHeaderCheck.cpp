#include "CWaveHeaderCheck.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

#include <cstring>

namespace {

template <typename T> T ReadAt(const QByteArray& bytes, int offset) {
    T value{};
    std::memcpy(&value, bytes.constData() + offset, sizeof value);
    return value;
}

} // namespace

CWaveHeaderCheck::Result CWaveHeaderCheck::Check(qint64 fileLength, const QByteArray& head,
                                                 Header& header) {
    if (fileLength < kHeaderSize) {
        return TooShort;
    }
    if (head.size() < kHeaderSize) {
        return ReadError;
    }
    if (std::memcmp(head.constData(), "RIFF", 4) != 0) {
        return NotRiff;
    }
    if (ReadAt<quint16>(head, 20) != 1) {
        return NotPcm;
    }
    header.channels = ReadAt<quint16>(head, 22);
    header.samplesPerSec = ReadAt<qint32>(head, 24);
    header.bitsPerSample = ReadAt<quint16>(head, 34);
    header.dataSize = ReadAt<qint32>(head, 40);
    return Ok;
}

CWaveHeaderCheck::Result CWaveHeaderCheck::CheckFile(const QString& path, Header& header) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary)) {
        return CantOpen;
    }
    const qint64 length = file.GetLength();
    if (length < kHeaderSize) {
        return TooShort;
    }
    QByteArray head(kHeaderSize, '\0');
    qint64 got = 0;
    try {
        got = file.Read(head.data(), kHeaderSize);
    } catch (const CFileException&) {
        got = 0;
    }
    file.Abort();
    head.truncate(static_cast<qsizetype>(got));
    return Check(length, head, header);
}

QString CWaveHeaderCheck::Message(Result result, const QString& folder) {
    switch (result) {
    case CantOpen:
        return QString(QStringLiteral("Can't open sound file.\nCheck if it's in the %1 directory"))
            .arg(folder);
    case TooShort:
        return QStringLiteral("File too short");
    case ReadError:
        return QStringLiteral("Error reading file");
    case NotRiff:
        return QStringLiteral("Not a RIFF file");
    case NotPcm:
        return QStringLiteral("Not a PCM Wave file");
    case Ok:
        break;
    }
    return QString();
}
