#include "CWaveHeaderCheck.h"

#include "format/CWaveReader.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

#include <QCoreApplication>

#include <limits>

namespace {

// The checks after the length and the first read, on what the walk found.
CWaveHeaderCheck::Result Judge(const QByteArray& head, const CWaveReader::Info& info,
                               CWaveHeaderCheck::Header& header) {
    if (!head.startsWith("RIFF")) {
        return CWaveHeaderCheck::NotRiff;
    }
    // The form type is not checked: a file that says "RIFF" and has PCM
    // format and data chunks is taken whatever it calls itself.
    if (!info.hasFormat || !info.format.pcm || !info.hasData) {
        return CWaveHeaderCheck::NotPcm;
    }
    header.channels = info.format.channels;
    header.samplesPerSec = static_cast<qint32>(info.format.samplesPerSec);
    header.bitsPerSample = info.format.bitsPerSample;
    // The length goes into the record, so it is what the file can deliver.
    header.dataSize =
        static_cast<qint32>(qMin<qint64>(info.dataHeld, std::numeric_limits<qint32>::max()));
    header.dataClaimed = info.dataClaimed;
    return CWaveHeaderCheck::Ok;
}

} // namespace

CWaveHeaderCheck::Result CWaveHeaderCheck::Check(qint64 fileLength, const QByteArray& bytes,
                                                 Header& header) {
    if (fileLength < kHeaderSize) {
        return TooShort;
    }
    if (bytes.size() < kHeaderSize) {
        return ReadError;
    }
    return Judge(bytes, CWaveReader::Read(bytes), header);
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
    CWaveReader::Info info;
    try {
        head.truncate(static_cast<qsizetype>(file.Read(head.data(), kHeaderSize)));
        if (head.size() == kHeaderSize) {
            info = CWaveReader::Read(file);
        }
    } catch (const CFileException&) {
        head.clear();
    }
    file.Abort();
    if (head.size() < kHeaderSize) {
        return ReadError;
    }
    return Judge(head, info, header);
}

QString CWaveHeaderCheck::Message(Result result, const QString& folder) {
    switch (result) {
    case CantOpen:
        return QString(QCoreApplication::translate(
                           "CWaveHeaderCheck",
                           "Can't open sound file.\nCheck if it's in the %1 directory"))
            .arg(folder);
    case TooShort:
        return QCoreApplication::translate("CWaveHeaderCheck", "File too short");
    case ReadError:
        return QCoreApplication::translate("CWaveHeaderCheck", "Error reading file");
    case NotRiff:
        return QCoreApplication::translate("CWaveHeaderCheck", "Not a RIFF file");
    case NotPcm:
        return QCoreApplication::translate("CWaveHeaderCheck", "Not a PCM Wave file");
    case Ok:
        break;
    }
    return QString();
}
