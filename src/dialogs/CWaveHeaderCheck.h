#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What the sample dialog takes from a chosen wave file: the format from its
// "fmt " chunk and the length of its "data" chunk, both found by walking the
// chunks, with the checks in the order the user hears of them. Needs no
// widgets, so it can be fed any bytes.
class CWaveHeaderCheck {
public:
    // Shorter than the plain header no wave file can be.
    static constexpr int kHeaderSize = 44;

    enum Result { Ok, CantOpen, TooShort, ReadError, NotRiff, NotPcm };

    // The values the dialog shows, as the file has them.
    struct Header {
        qint32 dataSize = 0;    // what the file holds of its data chunk
        qint64 dataClaimed = 0; // what the chunk's header says it holds
        quint16 channels = 0;
        qint32 samplesPerSec = 0;
        quint16 bitsPerSample = 0;
    };

    // Checks a file of fileLength bytes (as its status gives it) of which a
    // read from its start gave bytes (all of them, unless the read failed).
    // On Ok fills header; otherwise leaves it.
    static Result Check(qint64 fileLength, const QByteArray& bytes, Header& header);
    // Opens path read-only (a name differing only in case is found) and
    // checks it, reading only the chunk headers and the format.
    static Result CheckFile(const QString& path, Header& header);
    // The message for a failed result; folder is the bank folder the file
    // was looked for in.
    static QString Message(Result result, const QString& folder);
};
