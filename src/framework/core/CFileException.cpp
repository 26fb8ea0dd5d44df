#include "CFileException.h"

#include "AfxMessageBox.h"

#include <QCoreApplication>

#include <cerrno>
#include <utility>

CFileException::CFileException(Cause cause, QString fileName, QString detail)
    : m_cause(cause), m_strFileName(std::move(fileName)), m_strDetail(std::move(detail)) {}

CFileException::Cause CFileException::CauseFromErrno(int error) {
    switch (error) {
    case 0:
        return generic;
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return accessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return diskFull;
    case EIO:
        return hardIO;
    case ESPIPE:
    case EINVAL:
        return badSeek;
    case ETXTBSY:
    case EBUSY:
        return sharingViolation;
    default:
        return generic;
    }
}

QString CFileException::GetErrorMessage() const {
    // A failure that is no single file's (several samples of a save, say)
    // carries its whole message as the detail.
    if (m_cause == none && !m_strDetail.isEmpty()) {
        return m_strDetail;
    }
    QString text;
    switch (m_cause) {
    case fileNotFound:
        text = QCoreApplication::translate("CFileException", "%1 was not found.");
        break;
    case badPath:
        text = QCoreApplication::translate("CFileException", "%1 contains an incorrect path.");
        break;
    case tooManyOpenFiles:
        text = QCoreApplication::translate(
            "CFileException", "%1 could not be opened because there are too many open files.");
        break;
    case accessDenied:
        text = QCoreApplication::translate("CFileException", "Access to %1 was denied.");
        break;
    case invalidFile:
        text = QCoreApplication::translate("CFileException",
                                           "An invalid file handle was associated with %1.");
        break;
    case directoryFull:
        text = QCoreApplication::translate(
            "CFileException", "%1 could not be created because the directory is full.");
        break;
    case badSeek:
        text = QCoreApplication::translate("CFileException",
                                           "An error occurred while positioning on %1.");
        break;
    case hardIO:
        text = QCoreApplication::translate("CFileException",
                                           "A hardware I/O error was reported while accessing %1.");
        break;
    case sharingViolation:
        text = QCoreApplication::translate("CFileException",
                                           "A sharing violation occurred while accessing %1.");
        break;
    case lockViolation:
        text = QCoreApplication::translate("CFileException",
                                           "A locking violation occurred while accessing %1.");
        break;
    case diskFull:
        text = QCoreApplication::translate("CFileException", "Disk full while accessing %1.");
        break;
    case endOfFile:
        text = QCoreApplication::translate("CFileException",
                                           "An attempt was made to access %1 past its end.");
        break;
    case notRegularFile:
        text = QCoreApplication::translate("CFileException", "%1 is not a regular file.");
        break;
    case none:
    case generic:
        text = QCoreApplication::translate("CFileException",
                                           "An unexpected error occurred while accessing %1.");
        break;
    }
    const QString name = m_strFileName.isEmpty()
                             ? QCoreApplication::translate("CFileException", "an unnamed file")
                             : m_strFileName;
    text = text.arg(name);
    if (!m_strDetail.isEmpty()) {
        text += QLatin1Char('\n') + m_strDetail;
    }
    return text;
}

void CFileException::ReportError() const {
    AfxMessageBox(GetErrorMessage(), MB_OK | MB_ICONHAND);
}
