#include "CWaveFile.h"

#include "CLittleEndianWriter.h"
#include "CWaveReader.h"

QByteArray CWaveFile::MakeHeader(quint16 channels, quint32 samplesPerSec, quint16 bitsPerSample,
                                 quint32 dataLength, quint32 trailerLength) {
    QByteArray header;
    header.reserve(kHeaderSize);
    const auto blockAlign = static_cast<quint16>((bitsPerSample / 8U) * channels);
    CLittleEndianWriter(header)
        .Bytes("RIFF")
        .U32(dataLength + 36U + trailerLength)
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

QByteArray CWaveFile::MakeTrailer(quint32 dataLength, QByteArrayView chunks) {
    QByteArray trailer;
    CLittleEndianWriter writer(trailer);
    if ((dataLength & 1U) != 0U) {
        writer.U8(0);
    }
    writer.Bytes(chunks);
    return trailer;
}

QByteArray CWaveFile::MakeSamplerChunk(quint32 samplesPerSec, quint32 firstFrame,
                                       quint32 lastFrame) {
    constexpr quint32 kHeaderBody = 36;
    constexpr quint32 kLoopSize = 24;
    // Middle C: the note a sampler plays the sample at unchanged.
    constexpr quint32 kUnityNote = 60;
    QByteArray chunk;
    chunk.reserve(8 + kHeaderBody + kLoopSize);
    CLittleEndianWriter(chunk)
        .Bytes("smpl")
        .U32(kHeaderBody + kLoopSize)
        .U32(0) // manufacturer: none
        .U32(0) // product
        .U32(1000000000U / samplesPerSec)
        .U32(kUnityNote)
        .U32(0) // pitch fraction
        .U32(0) // SMPTE format: none
        .U32(0) // SMPTE offset
        .U32(1) // loops
        .U32(0) // sampler data after the loops
        .U32(0) // cue point id
        .U32(0) // type: forward
        .U32(firstFrame)
        .U32(lastFrame)
        .U32(0)  // fraction
        .U32(0); // play count: for ever
    return chunk;
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
