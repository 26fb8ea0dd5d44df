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

namespace {

// What went wrong, with %1 for the file's name.
QString causeText(CFileException::Cause cause) {
    switch (cause) {
    case CFileException::fileNotFound:
        return QCoreApplication::translate("CFileException", "%1 was not found.");
    case CFileException::badPath:
        return QCoreApplication::translate("CFileException", "%1 contains an incorrect path.");
    case CFileException::tooManyOpenFiles:
        return QCoreApplication::translate(
            "CFileException", "%1 could not be opened because there are too many open files.");
    case CFileException::accessDenied:
        return QCoreApplication::translate("CFileException", "Access to %1 was denied.");
    case CFileException::invalidFile:
        return QCoreApplication::translate("CFileException",
                                           "An invalid file handle was associated with %1.");
    case CFileException::directoryFull:
        return QCoreApplication::translate(
            "CFileException", "%1 could not be created because the directory is full.");
    case CFileException::badSeek:
        return QCoreApplication::translate("CFileException",
                                           "An error occurred while positioning on %1.");
    case CFileException::hardIO:
        return QCoreApplication::translate("CFileException",
                                           "A hardware I/O error was reported while accessing %1.");
    case CFileException::sharingViolation:
        return QCoreApplication::translate("CFileException",
                                           "A sharing violation occurred while accessing %1.");
    case CFileException::lockViolation:
        return QCoreApplication::translate("CFileException",
                                           "A locking violation occurred while accessing %1.");
    case CFileException::diskFull:
        return QCoreApplication::translate("CFileException", "Disk full while accessing %1.");
    case CFileException::endOfFile:
        return QCoreApplication::translate("CFileException",
                                           "An attempt was made to access %1 past its end.");
    case CFileException::notRegularFile:
        return QCoreApplication::translate("CFileException", "%1 is not a regular file.");
    case CFileException::none:
    case CFileException::generic:
        return QCoreApplication::translate("CFileException",
                                           "An unexpected error occurred while accessing %1.");
    }
    return QString();
}

} // namespace

QString CFileException::GetErrorMessage() const {
    // A failure that is no single file's (several samples of a save, say)
    // carries its whole message as the detail.
    if (m_cause == none && !m_strDetail.isEmpty()) {
        return m_strDetail;
    }
    QString text = causeText(m_cause);
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
