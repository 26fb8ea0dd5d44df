#include "CFileBatch.h"

#include "CCaseFold.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

QString systemText(int savedErrno) {
    return savedErrno != 0 ? QString::fromLocal8Bit(strerror(savedErrno)) : QString();
}

// Writes all of the pieces; 0 or the errno value of the failure. A write
// that makes no progress counts as a full disk, so it cannot loop forever.
int writeAll(int fd, std::vector<iovec>& pieces) {
    size_t first = 0;
    while (first < pieces.size()) {
        if (pieces[first].iov_len == 0) {
            ++first;
            continue;
        }
        const int count = static_cast<int>(std::min<size_t>(pieces.size() - first, IOV_MAX));
        const ssize_t put = ::writev(fd, &pieces[first], count);
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (put == 0) {
            return ENOSPC;
        }
        auto left = static_cast<size_t>(put);
        while (left > 0) {
            const size_t taken = std::min(left, pieces[first].iov_len);
            pieces[first].iov_base = static_cast<char*>(pieces[first].iov_base) + taken;
            pieces[first].iov_len -= taken;
            left -= taken;
            if (pieces[first].iov_len == 0) {
                ++first;
            }
        }
    }
    return 0;
}

// A link that has the name is replaced itself, never the file it points to.
int renameReplacing(int folderFd, const QByteArray& from, const QByteArray& to) {
    return ::renameat(folderFd, from.constData(), folderFd, to.constData()) == 0 ? 0 : errno;
}

bool isUnsupported(int savedErrno) {
    // ENOTSUP is EOPNOTSUPP on Linux; both are named for other systems.
#if ENOTSUP == EOPNOTSUPP
    return savedErrno == EINVAL || savedErrno == ENOSYS || savedErrno == EOPNOTSUPP;
#else
    return savedErrno == EINVAL || savedErrno == ENOSYS || savedErrno == EOPNOTSUPP ||
           savedErrno == ENOTSUP;
#endif
}

} // namespace

CFileBatch::CFileBatch(const QString& folder)
    : m_strFolder(folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/')),
      m_nTag(QRandomGenerator::global()->generate64()) {
    m_nFolderFd =
        ::open(QFile::encodeName(m_strFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_nFolderErrno = m_nFolderFd < 0 ? errno : 0;
}

CFileBatch::~CFileBatch() {
    for (Entry& entry : m_entries) {
        Discard(entry);
    }
    ReleaseIdleLock();
    if (m_nFolderFd >= 0) {
        ::close(m_nFolderFd);
    }
}

QString CFileBatch::PathOf(const QString& name) const {
    return m_strFolder + name;
}

// Longer than any name a bank record can hold, and hidden, so it can be
// neither a sample's name nor in the way of one.
QByteArray CFileBatch::NextTemporaryName() {
    char name[64];
    std::snprintf(name, sizeof name, "%s%016llx-%llu.tmp", kTemporaryPrefix,
                  static_cast<unsigned long long>(m_nTag),
                  static_cast<unsigned long long>(m_nCounter++));
    return QByteArray(name);
}

QByteArray CFileBatch::LockName(quint64 tag) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%016llx.lock", kTemporaryPrefix,
                  static_cast<unsigned long long>(tag));
    return QByteArray(name);
}

// The lock is taken before the first temporary exists, so whoever finds a
// temporary of a living batch finds its lock held. A remover may unlink the
// lock file between our open and our flock; then we hold a lock on a file
// nobody else can find, so we look again until the name is ours.
int CFileBatch::TakeOwnerLock() {
    if (m_nLockFd >= 0) {
        return 0;
    }
    const QByteArray lock = LockName(m_nTag);
    for (int attempt = 0; attempt < 16; ++attempt) {
        const int fd = ::openat(m_nFolderFd, lock.constData(),
                                O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            return errno;
        }
        struct stat held {};
        struct stat named {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &held) == 0 &&
            ::fstatat(m_nFolderFd, lock.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
            m_nLockFd = fd;
            return 0;
        }
        ::close(fd);
    }
    return EAGAIN;
}

void CFileBatch::ReleaseIdleLock() noexcept {
    if (m_nLockFd < 0 ||
        std::any_of(m_entries.begin(), m_entries.end(), [](const Entry& e) { return e.pending; })) {
        return;
    }
    ::unlinkat(m_nFolderFd, LockName(m_nTag).constData(), 0);
    ::close(m_nLockFd);
    m_nLockFd = -1;
}

int CFileBatch::RemoveOrphans(const QStringList& names) {
    if (m_nFolderFd < 0) {
        return 0;
    }
    const QString prefix = QString::fromLatin1(kTemporaryPrefix);
    // Tag -> the temporaries that carry it.
    QHash<QString, QStringList> byTag;
    for (const QString& name : names) {
        if (!name.startsWith(prefix)) {
            continue;
        }
        const QString rest = name.mid(prefix.size());
        const qsizetype end = rest.indexOf(QLatin1Char('-'));
        if (rest.endsWith(QStringLiteral(".tmp")) && end == 16) {
            byTag[rest.left(end)].append(name);
        } else if (rest.endsWith(QStringLiteral(".lock")) && rest.size() == 16 + 5) {
            byTag[rest.left(16)];
        }
    }
    int removed = 0;
    for (auto it = byTag.cbegin(); it != byTag.cend(); ++it) {
        bool ok = false;
        const quint64 tag = it.key().toULongLong(&ok, 16);
        if (!ok || (tag == m_nTag)) {
            continue;
        }
        const QByteArray lock = LockName(tag);
        const int fd =
            ::openat(m_nFolderFd, lock.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && errno != ENOENT) {
            continue;
        }
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            // A batch that is alive holds it.
            ::close(fd);
            continue;
        }
        for (const QString& name : it.value()) {
            if (::unlinkat(m_nFolderFd, QFile::encodeName(name).constData(), 0) == 0) {
                ++removed;
            }
        }
        if (fd >= 0) {
            ::unlinkat(m_nFolderFd, lock.constData(), 0);
            ::close(fd);
        }
    }
    return removed;
}

void CFileBatch::Throw(int savedErrno, const QString& name) const {
    throw CFileException(CFileException::CauseFromErrno(savedErrno), PathOf(name),
                         systemText(savedErrno));
}

void CFileBatch::Discard(Entry& entry) noexcept {
    if (entry.pending && m_nFolderFd >= 0) {
        ::unlinkat(m_nFolderFd, entry.temporary.constData(), 0);
    }
    entry.pending = false;
}

void CFileBatch::CheckAddable(const QString& name, const QByteArray& encoded, bool replace) const {
    if (m_nFolderFd < 0) {
        Throw(m_nFolderErrno, name);
    }
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QStringLiteral(".") ||
        name == QStringLiteral("..")) {
        Throw(EINVAL, name);
    }
    // Taken names are refused now rather than at Commit, so a sample that
    // cannot get its name costs no writing and is reported at once.
    struct stat status {};
    if (::fstatat(m_nFolderFd, encoded.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(status.st_mode) || !replace) {
            Throw(S_ISDIR(status.st_mode) ? EISDIR : EEXIST, name);
        }
    } else if (errno != ENOENT) {
        Throw(errno, name);
    }
    if (m_addedNames.contains(encoded)) {
        Throw(EEXIST, name);
    }
}

int CFileBatch::CreateTemporary(Entry& entry, const QString& name) {
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        entry.temporary = NextTemporaryName();
        fd = ::openat(m_nFolderFd, entry.temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        Throw(errno, name);
    }
    return fd;
}

int CFileBatch::Add(const QString& name, std::initializer_list<QByteArrayView> pieces,
                    Replace replace) {
    Entry entry;
    entry.name = QFile::encodeName(name);
    entry.replace = replace == Replace::Allowed;
    CheckAddable(name, entry.name, entry.replace);

    std::vector<iovec> vectors;
    vectors.reserve(pieces.size());
    for (const QByteArrayView piece : pieces) {
        vectors.push_back(
            iovec{const_cast<char*>(piece.data()), static_cast<size_t>(piece.size())});
    }
    // Room for the entry before the file exists, so that listing it cannot
    // fail once it does; the room grows by doubling, as push_back's would.
    if (m_entries.size() == m_entries.capacity()) {
        m_entries.reserve(std::max<size_t>(16, 2 * m_entries.size()));
    }
    if (const int locked = TakeOwnerLock(); locked != 0) {
        Throw(locked, name);
    }
    const int fd = CreateTemporary(entry, name);
    // Listed before the writing, so the file is removed with the batch
    // whatever happens from here on.
    const int number = static_cast<int>(m_entries.size());
    m_entries.push_back(std::move(entry));
    int failure = writeAll(fd, vectors);
    // A file system may report a failed write only when the file is closed.
    if (::close(fd) != 0 && failure == 0 && errno != EINTR) {
        failure = errno;
    }
    if (failure != 0) {
        Discard(m_entries.back());
        m_entries.pop_back();
        ReleaseIdleLock();
        Throw(failure, name);
    }
    m_addedNames.insert(m_entries.back().name);
    const QString folded = CCaseFold::Fold(name);
    if (!m_added.contains(folded)) {
        m_added.insert(folded, number);
    }
    return number;
}

int CFileBatch::FindAdded(const QString& name) const {
    // Opening a bank whose wave files all exist asks once per sample and
    // adds nothing.
    if (m_added.isEmpty()) {
        return -1;
    }
    return m_added.value(CCaseFold::Fold(name), -1);
}

QString CFileBatch::PendingPathOf(int number) const {
    if (number < 0 || static_cast<size_t>(number) >= m_entries.size() ||
        !m_entries[static_cast<size_t>(number)].pending) {
        return QString();
    }
    return m_strFolder + QFile::decodeName(m_entries[static_cast<size_t>(number)].temporary);
}

int CFileBatch::SyncContents(int folderFd) {
    return ::syncfs(folderFd) == 0 ? 0 : errno;
}

int CFileBatch::RenameNoReplace(int folderFd, const QByteArray& from, const QByteArray& to,
                                NoReplaceMethod method) {
    if (method == NoReplaceMethod::RenameFlag) {
        if (::renameat2(folderFd, from.constData(), folderFd, to.constData(), RENAME_NOREPLACE) ==
            0) {
            return 0;
        }
        if (!isUnsupported(errno)) {
            return errno;
        }
        method = NoReplaceMethod::Link;
    }
    if (method == NoReplaceMethod::Link) {
        if (::linkat(folderFd, from.constData(), folderFd, to.constData(), 0) == 0) {
            // Should this fail, a second name of a whole file stays behind;
            // the file itself is in place.
            ::unlinkat(folderFd, from.constData(), 0);
            return 0;
        }
        if (!isUnsupported(errno) && errno != EPERM) {
            return errno;
        }
    }
    // Not atomic: a file made between the check and the rename is replaced.
    // Only file systems with neither of the above come here.
    struct stat status {};
    if (::fstatat(folderFd, to.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        return EEXIST;
    }
    if (errno != ENOENT) {
        return errno;
    }
    return ::renameat(folderFd, from.constData(), folderFd, to.constData()) == 0 ? 0 : errno;
}

std::vector<int> CFileBatch::Commit(CFileException& error, std::vector<CFileException>* errors) {
    std::vector<int> failed;
    std::vector<int> pending;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].pending) {
            pending.push_back(static_cast<int>(i));
        }
    }
    if (pending.empty()) {
        return failed;
    }
    // One sync for all: a sync per file forces a journal commit per file,
    // which costs many times the writing itself.
    const int synced = SyncContents(m_nFolderFd);
    if (synced != 0) {
        const QString folder = m_strFolder.size() > 1 ? m_strFolder.chopped(1) : m_strFolder;
        error = CFileException(CFileException::CauseFromErrno(synced), folder, systemText(synced));
        for (const int number : pending) {
            Discard(m_entries[static_cast<size_t>(number)]);
            if (errors != nullptr) {
                errors->push_back(error);
            }
        }
        ReleaseIdleLock();
        return pending;
    }
    bool named = false;
    for (const int number : pending) {
        Entry& entry = m_entries[static_cast<size_t>(number)];
        const int renamed = entry.replace
                                ? renameReplacing(m_nFolderFd, entry.temporary, entry.name)
                                : RenameNoReplace(m_nFolderFd, entry.temporary, entry.name);
        if (renamed == 0) {
            entry.pending = false;
            named = true;
            continue;
        }
        const CFileException failure(CFileException::CauseFromErrno(renamed),
                                     PathOf(QFile::decodeName(entry.name)), systemText(renamed));
        if (failed.empty()) {
            error = failure;
        }
        if (errors != nullptr) {
            errors->push_back(failure);
        }
        Discard(entry);
        failed.push_back(number);
    }
    if (named) {
        // As everywhere else, a folder that cannot be synced (some network
        // file systems) is not an error: the contents are on disk already.
        ::fsync(m_nFolderFd);
    }
    ReleaseIdleLock();
    return failed;
}
