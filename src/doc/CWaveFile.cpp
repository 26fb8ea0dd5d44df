#include "CWaveFile.h"

#include "CLittleEndianWriter.h"
#include "CWaveReader.h"

QByteArray CWaveFile::MakeHeader(quint16 channels, quint32 samplesPerSec, quint16 bitsPerSample,
                                 quint32 dataLength) {
    QByteArray header;
    header.reserve(kHeaderSize);
    const auto blockAlign = static_cast<quint16>((bitsPerSample / 8U) * channels);
    CLittleEndianWriter(header)
        .Bytes("RIFF")
        .U32(dataLength + 36U)
        .Bytes("WAVE")
        .Bytes("fmt ")
        .U32(16)
        .U16(CWaveReader::kFormatPcm)
        .U16(channels)
        .U32(samplesPerSec)
        .U32(samplesPerSec * blockAlign)
        .U16(blockAlign)
        .U16(bitsPerSample)
        .Bytes("data")
        .U32(dataLength);
    return header;
}

bool CWaveFile::FindDataChunk(CFile& file, qint64* dataOffset, qint64* dataSize,
                              qint64* claimedSize) {
    const CWaveReader::Info info = CWaveReader::Read(file, CWaveReader::Stop::AtData);
    if (!info.wave || !info.hasData) {
        return false;
    }
    *dataOffset = info.dataOffset;
    *dataSize = info.dataHeld;
    if (claimedSize != nullptr) {
        *claimedSize = info.dataClaimed;
    }
    return true;
}
