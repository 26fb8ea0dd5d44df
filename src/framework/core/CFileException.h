#pragma once

#include <QString>

// A failed file operation: which file, what kind of failure and the system's
// own words for it. CFile throws it; whoever started the operation reports it.
class CFileException {
public:
    enum Cause {
        none,
        generic,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
        // Something that is not a regular file (a FIFO, a device, a socket)
        // where a file was expected.
        notRegularFile,
    };

    CFileException() = default;
    CFileException(Cause cause, QString fileName, QString detail = QString());

    // Cause from an errno value seen right after the failing call.
    static Cause CauseFromErrno(int error);

    Cause m_cause = none;
    QString m_strFileName;
    // The operating system's description of the failure, when one was seen.
    QString m_strDetail;

    // The framework's text for the cause with the file name filled in, and the
    // system's description on a second line.
    QString GetErrorMessage() const;
    // Shows GetErrorMessage() in a message box with the stop icon.
    void ReportError() const;
};
