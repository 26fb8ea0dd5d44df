#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

class CFile;

// The RIFF WAVE files beside a bank: the plain 44-byte header written for an
// extracted sample, the chunks that follow the data of an exported one, and
// finding the sample data in a file someone else wrote.
class CWaveFile {
public:
    static constexpr int kHeaderSize = 44;

    // The 44-byte header of a PCM file with the given format and data length.
    // trailerLength is the size of what follows the data (MakeTrailer's
    // bytes), which the RIFF size counts as well.
    static QByteArray MakeHeader(quint16 channels, quint32 samplesPerSec, quint16 bitsPerSample,
                                 quint32 dataLength, quint32 trailerLength = 0);
    // What follows dataLength bytes of sample data in a file that is to be
    // read by any program: the data chunk's pad byte when its length is odd,
    // then chunks (each of even size, or padded by its maker).
    static QByteArray MakeTrailer(quint32 dataLength, QByteArrayView chunks = {});
    // A whole "smpl" chunk with one loop that plays forward for ever, from
    // sample frame firstFrame to lastFrame, both included; its sample period
    // is that of samplesPerSec (not 0) in nanoseconds.
    static QByteArray MakeSamplerChunk(quint32 samplesPerSec, quint32 firstFrame,
                                       quint32 lastFrame);

    // Finds the "data" chunk of an open RIFF WAVE file: its start and its size
    // as the chunk header gives it, cut to what the file holds; claimedSize,
    // when given, gets the size uncut. False when the file is not RIFF WAVE
    // or has no data chunk. Leaves the file position anywhere; throws only
    // what CFile throws.
    static bool FindDataChunk(CFile& file, qint64* dataOffset, qint64* dataSize,
                              qint64* claimedSize = nullptr);
};
