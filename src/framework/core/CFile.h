#pragma once

#include "CFileIdentity.h"

#include <QString>
#include <QtGlobal>

#include <memory>

class CFileException;
class QFileDevice;
class QFile;
class QSaveFile;

// A binary file opened for reading, or created for writing. A file created for
// writing is a replacement: the bytes go to a temporary file beside the target,
// and only Commit() puts it in the target's place, so the old file stays whole
// until the new one is complete. Failures of Read, Write and Seek throw
// CFileException; Open reports through its out parameter instead.
class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareDenyWrite = 0x0020,
        modeCreate = 0x1000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile();
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path. Without modeCreate the file must exist; when no file has the
    // exact name, one in the same folder whose name differs only in case is
    // taken. With modeCreate the file starts empty (see the class comment).
    // Returns false and fills error (when given) on failure.
    // A file opened for reading must be a regular file (links are followed);
    // anything else (a FIFO, a device) fails with notRegularFile and is never
    // waited on.
    bool Open(const QString& path, unsigned flags, CFileException* error = nullptr);
    // Whether path is a regular file or a link to one. Never blocks.
    static bool IsRegularFile(const QString& path);

    // Reads up to count bytes; fewer only at the end of the file.
    qint64 Read(void* buffer, qint64 count);
    // Writes all count bytes or throws.
    void Write(const void* buffer, qint64 count);
    qint64 Seek(qint64 offset, SeekPosition from);
    void SeekToBegin();
    qint64 SeekToEnd();
    qint64 GetPosition() const;
    qint64 GetLength() const;
    // Cuts or extends the file to length bytes.
    void SetLength(qint64 length);

    // The name without its folder, and the absolute path, of the file as opened.
    QString GetFileName() const;
    QString GetFilePath() const;

    bool IsOpen() const;
    // Which file is open, and in what state (see CFileIdentity); for a file
    // created for writing, the new file.
    CFileIdentity GetIdentity() const;
    // When a committed file's folder entry is made durable: at once, or by
    // the caller's SyncFolder once a whole batch of files is in place.
    enum class FolderSync { Now, Later };
    // For a file created for writing: flushes, syncs and moves the new file into
    // place, then (unless told Later) syncs the folder. Throws, leaving the old
    // file untouched, when anything written so far failed or the final steps
    // fail. With Later the new file's contents are on disk before its name is,
    // so a crash before SyncFolder may lose the name but never shows a file
    // that is not whole.
    void Commit(FolderSync folderSync = FolderSync::Now);
    // Makes the entries of folder durable. A folder that cannot be opened or
    // synced (some network file systems) is not an error.
    static void SyncFolder(const QString& folder);
    // Closes the file. A file created for writing that was not committed is
    // discarded and the old file stays as it was.
    void Close();
    // Close() that never throws, for error paths.
    void Abort() noexcept;

private:
    [[noreturn]] void ThrowError(int savedErrno, int fallbackCause) const;
    QFileDevice* Device() const;

    std::unique_ptr<QFile> m_pFile;
    std::unique_ptr<QSaveFile> m_pSaveFile;
    QString m_strPath;
    bool m_bWriteFailed = false;
    int m_nWriteErrno = 0;
};
