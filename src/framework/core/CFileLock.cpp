#include "CFileLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QThread>

#include <cerrno>
#include <chrono>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// flock locks belong to one open file, so a second holder in this process
// would wait on the first; it shares the first's descriptor instead.
// A child made by fork inherits the table but holds none of the locks.
struct Held {
    int fd = -1;
    int holders = 0;
    pid_t process = 0;
};

QMutex& heldMutex() {
    static QMutex mutex;
    return mutex;
}

QHash<QString, Held>& heldLocks() {
    static QHash<QString, Held> held;
    return held;
}

// Whether fd is still the file path names: a holder removes the lock file
// before letting go, and whoever waited on the removed one must try again.
bool isCurrent(int fd, const QByteArray& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

QString readHolder(const QByteArray& path) {
    QFile file(QFile::decodeName(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromUtf8(file.read(512)).trimmed();
}

} // namespace

CFileLock::~CFileLock() {
    Release();
}

QString CFileLock::LockPathOf(const QString& path) {
    // The file as it is named on disk, so that two names of one file (a link,
    // another case the folder resolves) share one lock.
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    const QFileInfo file(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
    return file.absolutePath() + QStringLiteral("/.") + file.fileName() + QStringLiteral(".lock");
}

bool CFileLock::IsLockFileName(const QString& name) {
    return name.startsWith(QLatin1Char('.')) && name.endsWith(QStringLiteral(".lock"));
}

CFileLock::Result CFileLock::Acquire(const QString& path, const QString& holder,
                                     std::chrono::milliseconds wait) {
    Release();
    m_strHolder.clear();
    const QString lockPath = LockPathOf(path);
    {
        const QMutexLocker locker(&heldMutex());
        auto found = heldLocks().find(lockPath);
        if (found != heldLocks().end() && found->process != ::getpid()) {
            heldLocks().erase(found);
        } else if (found != heldLocks().end()) {
            ++found->holders;
            m_strLockPath = lockPath;
            return Result::Locked;
        }
    }
    const QByteArray encoded = QFile::encodeName(lockPath);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const int fd = ::open(encoded.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            return Result::Unavailable;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (!isCurrent(fd, encoded)) {
                ::close(fd);
                continue;
            }
            const QByteArray who = QStringLiteral("%1 (process %2)\n")
                                       .arg(holder)
                                       .arg(QCoreApplication::applicationPid())
                                       .toUtf8();
            // Who holds it is only for the message of whoever waits: a lock
            // whose text could not be written still locks.
            if (::ftruncate(fd, 0) == 0) {
                [[maybe_unused]] const ssize_t written =
                    ::pwrite(fd, who.constData(), static_cast<size_t>(who.size()), 0);
            }
            const QMutexLocker locker(&heldMutex());
            heldLocks().insert(lockPath, {fd, 1, ::getpid()});
            m_strLockPath = lockPath;
            return Result::Locked;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR) {
            // A file system without flock: nobody can lock there.
            return Result::Unavailable;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            m_strHolder = readHolder(encoded);
            return Result::Busy;
        }
        QThread::msleep(50);
    }
}

void CFileLock::Release() {
    if (m_strLockPath.isEmpty()) {
        return;
    }
    const QMutexLocker locker(&heldMutex());
    auto found = heldLocks().find(m_strLockPath);
    if (found != heldLocks().end() && --found->holders == 0) {
        // Removed while still locked, so that nobody takes the lock on a file
        // that is about to go (see isCurrent).
        ::unlink(QFile::encodeName(m_strLockPath).constData());
        ::close(found->fd);
        heldLocks().erase(found);
    }
    m_strLockPath.clear();
}
