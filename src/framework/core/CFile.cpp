#include "CFile.h"

#include "CFileException.h"
#include "CPathCase.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes the rename of a committed file durable.
void CFile::SyncFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder.isEmpty() ? QStringLiteral("/") : folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

CFile::CFile() = default;

CFile::~CFile() {
    Abort();
}

QFileDevice* CFile::Device() const {
    if (m_pSaveFile) {
        return m_pSaveFile.get();
    }
    return m_pFile.get();
}

CFileIdentity CFile::GetIdentity() const {
    return IsOpen() ? CFileIdentity::OfDescriptor(Device()->handle()) : CFileIdentity();
}

bool CFile::IsOpen() const {
    return Device() != nullptr && Device()->isOpen();
}

namespace {

constexpr int kOpenFailed = -1;
constexpr int kNotRegular = -2;

// A descriptor of the regular file at path, blocking; kOpenFailed with the
// errno in saved, or kNotRegular. Opened without blocking and looked at
// before anything is read: opening a FIFO for reading waits for a writer,
// possibly forever, and a device or socket is no file of ours either.
int openRegularFile(const QString& path, bool writable, int& saved) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          (writable ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        saved = errno;
        return kOpenFailed;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return kNotRegular;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace

bool CFile::Open(const QString& path, unsigned flags, CFileException* error) {
    Abort();
    m_bWriteFailed = false;
    m_nWriteErrno = 0;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_strPath = absolute;
    const auto fail = [&](int savedErrno, const QString& detail) {
        if (error != nullptr) {
            *error = CFileException(CFileException::CauseFromErrno(savedErrno), absolute, detail);
        }
        m_pFile.reset();
        m_pSaveFile.reset();
        return false;
    };

    if ((flags & modeCreate) != 0U) {
        m_pSaveFile = std::make_unique<QSaveFile>(absolute);
        // Unbuffered: every write reaches the file at once, so a full disk shows
        // up at the write that hit it and not at some later flush.
        errno = 0;
        if (!m_pSaveFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            const int saved = errno;
            return fail(saved != 0 ? saved : EACCES, m_pSaveFile->errorString());
        }
        return true;
    }

    QString actual = CPathCase::ResolveExisting(absolute);
    if (actual.isEmpty()) {
        actual = absolute;
    }
    m_strPath = actual;
    if (QFileInfo(actual).isDir()) {
        return fail(EISDIR, QCoreApplication::translate("CFile", "It is a folder."));
    }
    const bool writable = (flags & (modeWrite | modeReadWrite)) != 0U;
    int saved = 0;
    const int fd = openRegularFile(actual, writable, saved);
    if (fd == kOpenFailed) {
        return fail(saved, QString::fromLocal8Bit(strerror(saved)));
    }
    if (fd == kNotRegular) {
        if (error != nullptr) {
            *error = CFileException(CFileException::notRegularFile, actual);
        }
        return false;
    }
    m_pFile = std::make_unique<QFile>(actual);
    const QIODevice::OpenMode mode = writable ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    if (!m_pFile->open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(EIO, m_pFile->errorString());
    }
    return true;
}

bool CFile::IsRegularFile(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

void CFile::ThrowError(int savedErrno, int fallbackCause) const {
    CFileException::Cause cause = savedErrno != 0
                                      ? CFileException::CauseFromErrno(savedErrno)
                                      : static_cast<CFileException::Cause>(fallbackCause);
    QString detail;
    if (Device() != nullptr) {
        detail = Device()->errorString();
    }
    if (detail.isEmpty() || detail == QCoreApplication::translate("CFile", "Unknown error")) {
        detail = savedErrno != 0 ? QString::fromLocal8Bit(strerror(savedErrno)) : QString();
    }
    throw CFileException(cause, m_strPath, detail);
}

qint64 CFile::Read(void* buffer, qint64 count) {
    QFileDevice* device = Device();
    if (device == nullptr) {
        throw CFileException(CFileException::invalidFile, m_strPath);
    }
    qint64 total = 0;
    auto* out = static_cast<char*>(buffer);
    while (total < count) {
        errno = 0;
        const qint64 got = device->read(out + total, count - total);
        if (got < 0) {
            ThrowError(errno, CFileException::hardIO);
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    return total;
}

void CFile::Write(const void* buffer, qint64 count) {
    QFileDevice* device = Device();
    if (device == nullptr) {
        throw CFileException(CFileException::invalidFile, m_strPath);
    }
    const auto* in = static_cast<const char*>(buffer);
    qint64 total = 0;
    while (total < count) {
        errno = 0;
        const qint64 put = device->write(in + total, count - total);
        if (put <= 0) {
            const int saved = errno;
            m_bWriteFailed = true;
            m_nWriteErrno = saved;
            ThrowError(saved, CFileException::diskFull);
        }
        total += put;
    }
}

qint64 CFile::Seek(qint64 offset, SeekPosition from) {
    QFileDevice* device = Device();
    if (device == nullptr) {
        throw CFileException(CFileException::invalidFile, m_strPath);
    }
    qint64 target = offset;
    if (from == current) {
        target += device->pos();
    } else if (from == end) {
        target += device->size();
    }
    errno = 0;
    if (target < 0 || !device->seek(target)) {
        ThrowError(errno, CFileException::badSeek);
    }
    return target;
}

void CFile::SeekToBegin() {
    Seek(0, begin);
}

qint64 CFile::SeekToEnd() {
    return Seek(0, end);
}

qint64 CFile::GetPosition() const {
    return Device() != nullptr ? Device()->pos() : 0;
}

qint64 CFile::GetLength() const {
    return Device() != nullptr ? Device()->size() : 0;
}

void CFile::SetLength(qint64 length) {
    QFileDevice* device = Device();
    if (device == nullptr) {
        throw CFileException(CFileException::invalidFile, m_strPath);
    }
    errno = 0;
    if (!device->resize(length)) {
        const int saved = errno;
        m_bWriteFailed = true;
        m_nWriteErrno = saved;
        ThrowError(saved, CFileException::diskFull);
    }
}

QString CFile::GetFileName() const {
    return QFileInfo(m_strPath).fileName();
}

QString CFile::GetFilePath() const {
    return m_strPath;
}

void CFile::Commit(FolderSync folderSync) {
    if (!m_pSaveFile) {
        Close();
        return;
    }
    // QSaveFile::commit() on Qt 6.4 may report success after a failed write and
    // put a truncated file in place of the old one, so we decide ourselves.
    if (m_bWriteFailed || m_pSaveFile->error() != QFileDevice::NoError) {
        const int saved = m_nWriteErrno;
        m_pSaveFile->cancelWriting();
        m_pSaveFile->commit();
        m_pSaveFile.reset();
        throw CFileException(CFileException::diskFull, m_strPath,
                             saved != 0 ? QString::fromLocal8Bit(strerror(saved)) : QString());
    }
    errno = 0;
    const bool flushed = m_pSaveFile->flush() && ::fdatasync(m_pSaveFile->handle()) == 0;
    if (!flushed) {
        const int saved = errno;
        const QString detail = saved != 0 ? QString::fromLocal8Bit(strerror(saved)) : QString();
        m_pSaveFile->cancelWriting();
        m_pSaveFile->commit();
        m_pSaveFile.reset();
        throw CFileException(CFileException::CauseFromErrno(saved), m_strPath, detail);
    }
    errno = 0;
    if (!m_pSaveFile->commit()) {
        const int saved = errno;
        const QString detail = m_pSaveFile->errorString();
        m_pSaveFile.reset();
        throw CFileException(CFileException::CauseFromErrno(saved), m_strPath, detail);
    }
    m_pSaveFile.reset();
    if (folderSync == FolderSync::Now) {
        SyncFolder(QFileInfo(m_strPath).absolutePath());
    }
}

void CFile::Close() {
    if (m_pSaveFile) {
        Abort();
        return;
    }
    if (m_pFile) {
        m_pFile->close();
        m_pFile.reset();
    }
}

void CFile::Abort() noexcept {
    if (m_pSaveFile) {
        m_pSaveFile->cancelWriting();
        m_pSaveFile->commit();
        m_pSaveFile.reset();
    }
    if (m_pFile) {
        m_pFile->close();
        m_pFile.reset();
    }
}
