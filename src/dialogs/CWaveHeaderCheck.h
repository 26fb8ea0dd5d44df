#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What the sample dialog takes from a chosen wave file: the canonical 44-byte
// RIFF WAVE header, read at its fixed places ("fmt " directly followed by
// "data"), with the checks in the order the user hears of them. Needs no
// widgets, so it can be fed any bytes.
class CWaveHeaderCheck {
public:
    static constexpr int kHeaderSize = 44;

    enum Result { Ok, CantOpen, TooShort, ReadError, NotRiff, NotPcm };

    // The header's values the dialog shows, as the file has them.
    struct Header {
        qint32 dataSize = 0;
        quint16 channels = 0;
        qint32 samplesPerSec = 0;
        quint16 bitsPerSample = 0;
    };

    // Checks a file of fileLength bytes (as its status gives it) from which a
    // read of 44 bytes gave head. On Ok fills header; otherwise leaves it.
    static Result Check(qint64 fileLength, const QByteArray& head, Header& header);
    // Opens path read-only (a name differing only in case is found) and
    // checks it.
    static Result CheckFile(const QString& path, Header& header);
    // The message for a failed result; folder is the bank folder the file
    // was looked for in.
    static QString Message(Result result, const QString& folder);
};
