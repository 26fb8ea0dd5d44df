#pragma once

#include "CResult.h"

#include "framework/core/CFileIdentity.h"

#include <QString>
#include <QtGlobal>

// The sample data of a bank whose header region alone was read at open:
// the bank file is kept open, and the rest of it is read into the image the
// first time somebody needs it. Before and after that read the open file
// must still be the one that was read, unwritten since (same device, inode,
// size and modification time); a bank another program wrote in place is
// refused, so nobody ever gets data that is not the bank as it was opened.
// A bank replaced by another file or removed is no change to the open file:
// its data is still the bank as it was opened.
class CSampleDataSource {
public:
    // Keeps path open for reading [from, to) later. Fails (an invalid source)
    // unless the file path names now is the one expected, in the state
    // expected.
    CSampleDataSource(const QString& path, const CFileIdentity& expected, qint64 from, qint64 to);
    ~CSampleDataSource();
    CSampleDataSource(const CSampleDataSource&) = delete;
    CSampleDataSource& operator=(const CSampleDataSource&) = delete;

    bool IsValid() const { return m_fd >= 0 || m_bDone; }
    bool IsDone() const { return m_bDone; }

    // Reads the data into image, which holds to bytes at least; does nothing
    // once it was done. On failure the bytes from `from` on are not to be
    // used, and every later call fails the same way.
    CResult<void> Fill(quint8* image);
    // Reads the count bytes at offset at of the file, which lie in [from, to),
    // into buffer, and keeps the file open for more. Fails as Fill does.
    CResult<void> Read(qint64 at, qint64 count, quint8* buffer);

private:
    void Close();
    // Reads [at, at + count) into buffer, the file checked before and after;
    // false after setting m_strFailure.
    bool ReadChecked(qint64 at, qint64 count, quint8* buffer);
    CResult<void> Failed();

    int m_fd = -1;
    // What fstat says of the open file while nobody writes it.
    struct State {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedSeconds = 0;
        qint64 modifiedNanoseconds = 0;
        bool operator==(const State&) const = default;
    };
    static bool StateOf(int fd, State& state);

    State m_state;
    QString m_strPath;
    qint64 m_from = 0;
    qint64 m_to = 0;
    bool m_bDone = false;
    QString m_strFailure;
};
