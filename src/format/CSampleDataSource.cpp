#include "CSampleDataSource.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CSampleDataSource::CSampleDataSource(const QString& path, const CFileIdentity& expected,
                                     qint64 from, qint64 to)
    : m_strPath(path), m_from(from), m_to(to) {
    if (from >= to) {
        m_bDone = true;
        return;
    }
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) {
        m_strFailure = QString::fromLocal8Bit(std::strerror(errno));
    } else if (!expected.IsValid() || CFileIdentity::OfDescriptor(m_fd) != expected ||
               !StateOf(m_fd, m_state) || m_state.size < to) {
        Close();
        m_strFailure = QCoreApplication::translate(
            "CSampleDataSource", "another program changed it since it was opened");
    }
}

bool CSampleDataSource::StateOf(int fd, State& state) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return false;
    }
    state = {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino),
             static_cast<qint64>(st.st_size), static_cast<qint64>(st.st_mtim.tv_sec),
             static_cast<qint64>(st.st_mtim.tv_nsec)};
    return true;
}

CSampleDataSource::~CSampleDataSource() {
    Close();
}

void CSampleDataSource::Close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

CResult<void> CSampleDataSource::Fill(quint8* image) {
    if (m_bDone) {
        return {};
    }
    if (!ReadChecked(m_from, m_to - m_from, image + m_from)) {
        return Failed();
    }
    Close();
    m_bDone = true;
    return {};
}

CResult<void> CSampleDataSource::Read(qint64 at, qint64 count, quint8* buffer) {
    if (m_strFailure.isEmpty() && (m_bDone || at < m_from || count < 0 || at > m_to - count)) {
        m_strFailure =
            QCoreApplication::translate("CSampleDataSource", "it was asked for bytes it lacks");
    }
    if (!m_strFailure.isEmpty() || !ReadChecked(at, count, buffer)) {
        return Failed();
    }
    return {};
}

bool CSampleDataSource::ReadChecked(qint64 at, qint64 count, quint8* buffer) {
    if (m_strFailure.isEmpty() && m_fd < 0) {
        m_strFailure = QCoreApplication::translate("CSampleDataSource", "it is no longer open");
    }
    State now;
    if (m_strFailure.isEmpty() && (!StateOf(m_fd, now) || now != m_state)) {
        m_strFailure = QCoreApplication::translate(
            "CSampleDataSource", "another program changed it since it was opened");
    }
    qint64 done = 0;
    while (m_strFailure.isEmpty() && done < count) {
        const ssize_t got = ::pread(m_fd, buffer + done, static_cast<size_t>(count - done),
                                    static_cast<off_t>(at + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            m_strFailure = got < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                   : QCoreApplication::translate("CSampleDataSource",
                                                                 "it is shorter than when opened");
            break;
        }
        done += got;
    }
    // A write in place during the read shows in the identity afterwards.
    if (m_strFailure.isEmpty() && (!StateOf(m_fd, now) || now != m_state)) {
        m_strFailure = QCoreApplication::translate(
            "CSampleDataSource", "another program changed it while it was being read");
    }
    return m_strFailure.isEmpty();
}

CResult<void> CSampleDataSource::Failed() {
    Close();
    return FormatError{FormatError::Kind::Unreadable,
                       QCoreApplication::translate(
                           "CSampleDataSource",
                           "The sample data of %1 could not be read: %2.\nOpen the bank again.")
                           .arg(m_strPath, m_strFailure)};
}
