#pragma once

#include "CFileException.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <vector>

// Many new files for one folder that take their names only once their
// contents are durable, with one sync for all of them instead of one per
// file: a file is written under a hidden temporary name, and Commit() syncs
// the file system once, gives every file its name and syncs the folder once.
// A name is never taken from a file that is already there. Whatever was not
// committed is removed when the batch goes.
class CFileBatch {
public:
    // The files go into folder; an empty folder is the root.
    explicit CFileBatch(const QString& folder);
    virtual ~CFileBatch();
    CFileBatch(const CFileBatch&) = delete;
    CFileBatch& operator=(const CFileBatch&) = delete;

    // The path a file of this name gets in the folder; the name used in
    // messages.
    QString PathOf(const QString& name) const;

    // Whether a file may take a name that something in the folder has: never,
    // or (once the user said so) in place of anything but a folder. What is
    // replaced is the entry itself: a link goes, what it points to stays.
    enum class Replace { Never, Allowed };

    // Writes the pieces one after the other as a new file that is to be
    // called name (one path component). Returns the file's number in the
    // batch. Throws CFileException naming PathOf(name) when the name is
    // taken already (by a folder, or by anything when replace is Never, or
    // by a file of this batch) or the file cannot be written; nothing of it
    // is left.
    int Add(const QString& name, std::initializer_list<QByteArrayView> pieces,
            Replace replace = Replace::Never);

    // The number of the file added under name, compared without regard to
    // case, or -1.
    int FindAdded(const QString& name) const;
    // Where file number is while it waits for its name, for reading it
    // back before Commit; empty once it is committed or gone.
    QString PendingPathOf(int number) const;

    // Makes the contents of every added file durable, names the files and
    // makes the names durable. Returns the numbers of the files that did not
    // get their names, in the order they were added; error then describes the
    // first failure (when the sync failed, every file fails and error names
    // the folder), and errors, when given, gets one error for each of them.
    // Failed files are removed. Files added after a Commit wait for the next
    // one.
    std::vector<int> Commit(CFileException& error, std::vector<CFileException>* errors = nullptr);
    // Every temporary (and lock) name of a batch begins with this.
    static constexpr const char* kTemporaryPrefix = ".kantel-";
    // Removes, among names (entries of the folder), the temporaries that a
    // batch left behind when its process died: those whose batch holds no
    // lock any more. Temporaries of a batch still at work are left alone.
    // Returns how many were removed.
    int RemoveOrphans(const QStringList& names);

    // How a name is given without replacing a file that has it: an atomic
    // rename that refuses to replace, a hard link (which refuses as well),
    // or, where neither is supported, a check just before a plain rename.
    enum class NoReplaceMethod { RenameFlag, Link, CheckFirst };
    // Renames from to to inside the folder open as folderFd, starting with
    // method and falling back to the next method where the file system does
    // not support one. 0 or the errno value; EEXIST when to is taken.
    static int RenameNoReplace(int folderFd, const QByteArray& from, const QByteArray& to,
                               NoReplaceMethod method = NoReplaceMethod::RenameFlag);

protected:
    // The one data sync of Commit: every file written through folderFd's file
    // system reaches the disk. 0 or the errno value.
    virtual int SyncContents(int folderFd);

private:
    struct Entry {
        QByteArray temporary;
        QByteArray name;
        bool pending = true;
        bool replace = false;
    };

    QByteArray NextTemporaryName();
    static QByteArray LockName(quint64 tag);
    // Holds the batch's lock file for as long as the batch lives; 0 or the
    // errno value.
    int TakeOwnerLock();
    // Gives the lock up once no temporary of the batch is left.
    void ReleaseIdleLock() noexcept;
    void Discard(Entry& entry) noexcept;
    [[noreturn]] void Throw(int savedErrno, const QString& name) const;
    // Throws unless name may be added: a plain name, free in the folder (or
    // one that may be replaced) and not added before.
    void CheckAddable(const QString& name, const QByteArray& encoded, bool replace) const;
    // Creates entry's file under a temporary name of its own and returns its
    // descriptor; throws naming name when it cannot.
    int CreateTemporary(Entry& entry, const QString& name);

    QString m_strFolder;
    int m_nFolderFd = -1;
    int m_nFolderErrno = 0;
    int m_nLockFd = -1;
    quint64 m_nTag = 0;
    quint64 m_nCounter = 0;
    std::vector<Entry> m_entries;
    // Case-folded name -> number of the first file added under it.
    QHash<QString, int> m_added;
    QSet<QByteArray> m_addedNames;
};
