#include "CFileBatch.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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

bool isUnsupported(int savedErrno) {
    return savedErrno == EINVAL || savedErrno == ENOSYS || savedErrno == EOPNOTSUPP ||
           savedErrno == ENOTSUP;
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
    std::snprintf(name, sizeof name, ".kantel-%016llx-%llu.tmp",
                  static_cast<unsigned long long>(m_nTag),
                  static_cast<unsigned long long>(m_nCounter++));
    return QByteArray(name);
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

int CFileBatch::Add(const QString& name, std::initializer_list<QByteArrayView> pieces) {
    if (m_nFolderFd < 0) {
        Throw(m_nFolderErrno, name);
    }
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QStringLiteral(".") ||
        name == QStringLiteral("..")) {
        Throw(EINVAL, name);
    }
    Entry entry;
    entry.name = QFile::encodeName(name);
    // Taken names are refused now rather than at Commit, so a sample that
    // cannot get its name costs no writing and is reported at once.
    struct stat status {};
    if (::fstatat(m_nFolderFd, entry.name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        Throw(S_ISDIR(status.st_mode) ? EISDIR : EEXIST, name);
    }
    if (errno != ENOENT) {
        Throw(errno, name);
    }
    if (m_addedNames.contains(entry.name)) {
        Throw(EEXIST, name);
    }

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
        Throw(failure, name);
    }
    m_addedNames.insert(m_entries.back().name);
    const QString folded = name.toCaseFolded();
    if (!m_added.contains(folded)) {
        m_added.insert(folded, number);
    }
    return number;
}

int CFileBatch::FindAdded(const QString& name) const {
    return m_added.value(name.toCaseFolded(), -1);
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

std::vector<int> CFileBatch::Commit(CFileException& error) {
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
        }
        return pending;
    }
    bool named = false;
    for (const int number : pending) {
        Entry& entry = m_entries[static_cast<size_t>(number)];
        const int renamed = RenameNoReplace(m_nFolderFd, entry.temporary, entry.name);
        if (renamed == 0) {
            entry.pending = false;
            named = true;
            continue;
        }
        if (failed.empty()) {
            error = CFileException(CFileException::CauseFromErrno(renamed),
                                   PathOf(QFile::decodeName(entry.name)), systemText(renamed));
        }
        Discard(entry);
        failed.push_back(number);
    }
    if (named) {
        // As everywhere else, a folder that cannot be synced (some network
        // file systems) is not an error: the contents are on disk already.
        ::fsync(m_nFolderFd);
    }
    return failed;
}
