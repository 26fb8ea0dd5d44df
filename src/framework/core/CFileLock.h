#pragma once

#include <QString>

#include <chrono>

// The advisory lock one writer of a file holds at a time: an flock on a small
// hidden file beside it (".NAME.lock"), which also says who holds it. Saving
// replaces a file by renaming a new one into its place, so a lock on the file
// itself would be left behind on the old inode. Within one process the lock
// is taken once per file and held until the last holder lets go; nothing is
// shown.
class CFileLock {
public:
    enum class Result {
        Locked, // held now
        Busy,   // another process held it all the time we waited
        // No lock file can be made (a read-only folder, say): whoever could
        // write the file could make one, so nobody else is writing there.
        Unavailable,
    };

    CFileLock() = default;
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    // Lets go of the lock, if held.
    ~CFileLock();

    // Takes the lock for the file at path, trying until wait has passed.
    // holder is what Holder() tells the others ("kantel-cli import").
    Result Acquire(const QString& path, const QString& holder, std::chrono::milliseconds wait);
    // After Busy: who held the lock, as its holder wrote it, with its process id.
    const QString& Holder() const { return m_strHolder; }
    // Lets go; the lock file goes with the last holder.
    void Release();

    // The lock file of the file at path.
    static QString LockPathOf(const QString& path);
    // Whether a folder entry's name is a lock file's, which listings of what
    // a command wrote leave out.
    static bool IsLockFileName(const QString& name);

private:
    QString m_strLockPath; // while held
    QString m_strHolder;
};
