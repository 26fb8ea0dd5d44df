#include "CFileIdentity.h"

#include <QFile>

#include <sys/stat.h>

CFileIdentity CFileIdentity::FromStat(const struct stat& st) {
    CFileIdentity identity;
    identity.m_bValid = true;
    identity.m_device = static_cast<quint64>(st.st_dev);
    identity.m_inode = static_cast<quint64>(st.st_ino);
    identity.m_size = static_cast<qint64>(st.st_size);
    identity.m_changeSeconds = static_cast<qint64>(st.st_ctim.tv_sec);
    identity.m_changeNanoseconds = static_cast<qint64>(st.st_ctim.tv_nsec);
    return identity;
}

CFileIdentity CFileIdentity::OfDescriptor(int fd) {
    struct stat st {};
    return fd >= 0 && ::fstat(fd, &st) == 0 ? FromStat(st) : CFileIdentity();
}

CFileIdentity CFileIdentity::OfPath(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0
               ? FromStat(st)
               : CFileIdentity();
}

bool CFileIdentity::operator==(const CFileIdentity& other) const {
    if (!m_bValid || !other.m_bValid) {
        return m_bValid == other.m_bValid;
    }
    return m_device == other.m_device && m_inode == other.m_inode && m_size == other.m_size &&
           m_changeSeconds == other.m_changeSeconds &&
           m_changeNanoseconds == other.m_changeNanoseconds;
}
