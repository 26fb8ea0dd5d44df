#pragma once

#include <QString>
#include <QtGlobal>

struct stat;

// Which file a path held at one moment, and in what state: the device and
// inode say it is the same file, the size and change time that nobody wrote
// it since. A save compares the bank on disk with the one it opened, so that
// a change another program made is never replaced without a word.
class CFileIdentity {
public:
    CFileIdentity() = default;

    // Of an open descriptor, or of what path names now (links followed);
    // an identity that is not valid when there is no such file.
    static CFileIdentity OfDescriptor(int fd);
    static CFileIdentity OfPath(const QString& path);

    bool IsValid() const { return m_bValid; }
    // Whether both name the same file in the same state; two invalid
    // identities are the same absence.
    bool operator==(const CFileIdentity& other) const;
    bool operator!=(const CFileIdentity& other) const { return !(*this == other); }

private:
    static CFileIdentity FromStat(const struct stat& st);

    bool m_bValid = false;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    qint64 m_size = 0;
    qint64 m_changeSeconds = 0;
    qint64 m_changeNanoseconds = 0;
};
