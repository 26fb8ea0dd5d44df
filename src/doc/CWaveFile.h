#pragma once

#include <QByteArray>
#include <QtGlobal>

class CFile;

// The RIFF WAVE files beside a bank: the plain 44-byte header written for an
// extracted sample, and finding the sample data in a file someone else wrote.
class CWaveFile {
public:
    static constexpr int kHeaderSize = 44;

    // The 44-byte header of a PCM file with the given format and data length.
    static QByteArray MakeHeader(quint16 channels, quint32 samplesPerSec, quint16 bitsPerSample,
                                 quint32 dataLength);

    // Finds the "data" chunk of an open RIFF WAVE file: its start and its size
    // as the chunk header gives it, cut to what the file holds; claimedSize,
    // when given, gets the size uncut. False when the file is not RIFF WAVE
    // or has no data chunk. Leaves the file position anywhere; throws only
    // what CFile throws.
    static bool FindDataChunk(CFile& file, qint64* dataOffset, qint64* dataSize,
                              qint64* claimedSize = nullptr);
};
