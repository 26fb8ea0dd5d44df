#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

class CFile;
class QIODevice;

// Walks the chunks of a RIFF WAVE file and reports what a wave file's users
// need: the format, where the sample data lies and how much of it the file
// holds, and the sampler chunk's loops. Every chunk is found by walking the
// chunk headers, so files from any program (extra chunks, a longer "fmt ",
// odd sizes with their pad byte) are read alike. Reads the chunk headers and
// the small chunks it parses, never the sample data.
class CWaveReader {
public:
    static constexpr quint16 kFormatPcm = 1;
    static constexpr quint16 kFormatExtensible = 0xFFFE;

    // The "fmt " chunk's fields.
    struct Format {
        quint16 formatTag = 0; // as the chunk gives it, 0xFFFE for the extensible form
        quint16 channels = 0;
        quint32 samplesPerSec = 0;
        quint32 avgBytesPerSec = 0;
        quint16 blockAlign = 0;
        quint16 bitsPerSample = 0;
        // Integer PCM: the tag is 1, or the extensible form's sub-format is PCM.
        bool pcm = false;
    };

    // One loop of a "smpl" chunk, in sample frames.
    struct Loop {
        quint32 type = 0;
        quint32 start = 0;
        quint32 end = 0;
        quint32 playCount = 0;
    };

    struct Info {
        bool riff = false; // "RIFF" at the start and room for its form type
        bool wave = false; // and the form type is "WAVE"
        bool hasFormat = false;
        Format format;
        bool hasData = false;
        qint64 dataOffset = 0;  // of the first "data" chunk's body
        qint64 dataClaimed = 0; // its size as its header gives it
        qint64 dataHeld = 0;    // what the file holds of that
        std::vector<Loop> loops;
        // A chunk ran past the end of the file (its header or its body).
        bool truncated = false;
    };

    // Where the walk may end: at the first "data" chunk when only the data is
    // wanted, or after the last chunk (a "smpl" chunk often follows the data).
    enum class Stop { AtData, AtEnd };

    // The chunks of the file open in file. Throws what CFile throws; leaves
    // the file position anywhere.
    static Info Read(CFile& file, Stop stop = Stop::AtEnd);
    // The same for a device open for reading; a failed seek or read ends the
    // walk as the end of the file would.
    static Info Read(QIODevice& device, Stop stop = Stop::AtEnd);
    static Info Read(const QByteArray& bytes, Stop stop = Stop::AtEnd);
    // The same for a file of length bytes that begins with head, as one read
    // of its start gives it; what the walk needs beyond head comes from
    // readAt (count bytes at an offset; fewer at the end of the file, none
    // on failure). The headers of many files are read this way with one
    // read each.
    static Info Read(QByteArrayView head, qint64 length,
                     const std::function<QByteArray(qint64 at, qint64 count)>& readAt,
                     Stop stop = Stop::AtEnd);

    // What ReadFile found of the file at a path.
    struct FileInfo {
        enum class Status { Read, NotRegular, Failed };
        Status status = Status::Failed;
        int error = 0; // the errno of the failed open, look or read
        Info info;     // when Read
    };
    // The chunks of the file at path up to its data, and on to its end when
    // the format comes after the data. Made for reading the headers of many
    // files: an open that never waits (on a FIFO put where a file was), one
    // look at what it is, one read of its start, further reads only for the
    // chunks beyond that, a close.
    static FileInfo ReadFile(const QString& path);

    // Playing time in milliseconds of the wave file open in device, from its
    // format and the data the file holds; -1 when it is no wave file with a
    // format and data that can be timed.
    static qint64 DurationMs(QIODevice& device);
};
