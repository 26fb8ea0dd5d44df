#include "CWaveFile.h"

#include "framework/core/CFile.h"

#include <QtEndian>

#include <cstring>

namespace {

void put32(char* at, quint32 value) {
    qToLittleEndian(value, at);
}

void put16(char* at, quint16 value) {
    qToLittleEndian(value, at);
}

} // namespace

QByteArray CWaveFile::MakeHeader(quint16 channels, quint32 samplesPerSec, quint16 bitsPerSample,
                                 quint32 dataLength) {
    QByteArray header(kHeaderSize, '\0');
    char* h = header.data();
    const auto blockAlign = static_cast<quint16>((bitsPerSample / 8U) * channels);
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, dataLength + 36U);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    put32(h + 16, 16);
    put16(h + 20, 1);
    put16(h + 22, channels);
    put32(h + 24, samplesPerSec);
    put32(h + 28, samplesPerSec * blockAlign);
    put16(h + 32, blockAlign);
    put16(h + 34, bitsPerSample);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataLength);
    return header;
}

bool CWaveFile::FindDataChunk(CFile& file, qint64* dataOffset, qint64* dataSize,
                              qint64* claimedSize) {
    const qint64 fileLength = file.GetLength();
    char riff[12];
    file.SeekToBegin();
    if (file.Read(riff, 12) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return false;
    }
    qint64 at = 12;
    while (at + 8 <= fileLength) {
        char chunk[8];
        file.Seek(at, CFile::begin);
        if (file.Read(chunk, 8) != 8) {
            return false;
        }
        const qint64 size = qFromLittleEndian<quint32>(chunk + 4);
        const qint64 body = at + 8;
        if (std::memcmp(chunk, "data", 4) == 0) {
            *dataOffset = body;
            *dataSize = qMin(size, fileLength - body);
            if (claimedSize != nullptr) {
                *claimedSize = size;
            }
            return true;
        }
        // Chunks are padded to an even length.
        at = body + size + (size & 1);
    }
    return false;
}
