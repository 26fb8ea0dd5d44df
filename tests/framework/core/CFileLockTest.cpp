#include "QtPrinters.h"
#include "TestFolder.h"

#include "framework/core/CFileLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// Another process holding the lock of path until it is told to stop.
class OtherHolder {
public:
    explicit OtherHolder(const QString& path) {
        int ready[2];
        int stop[2];
        if (::pipe(ready) != 0 || ::pipe(stop) != 0) {
            return;
        }
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            ::close(stop[1]);
            CFileLock lock;
            const char result = lock.Acquire(path, QStringLiteral("kantel-cli import"), 0ms) ==
                                        CFileLock::Result::Locked
                                    ? 'L'
                                    : 'x';
            (void)!::write(ready[1], &result, 1);
            char unused = 0;
            (void)!::read(stop[0], &unused, 1);
            lock.Release();
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(stop[0]);
        m_stop = stop[1];
        char result = 0;
        m_bLocked = ::read(ready[0], &result, 1) == 1 && result == 'L';
        ::close(ready[0]);
    }
    ~OtherHolder() { Stop(); }
    bool Locked() const { return m_bLocked; }
    pid_t Pid() const { return m_pid; }
    void Stop() {
        if (m_stop >= 0) {
            ::close(m_stop);
            m_stop = -1;
            ::waitpid(m_pid, nullptr, 0);
        }
    }

private:
    pid_t m_pid = -1;
    int m_stop = -1;
    bool m_bLocked = false;
};

} // namespace

// The lock is what keeps two writers of one bank from each saving it without
// the other's change; it must hold across processes, let the next one in
// when the first is done, and say who holds it.
TEST(CFileLock, OneProcessAtATimeAndTheOthersAreToldWho) {
    TestFolder folder;
    const QString bank = folder.Write(QStringLiteral("Bnk_1.bnm"), "bank");
    OtherHolder other(bank);
    ASSERT_TRUE(other.Locked());

    CFileLock lock;
    EXPECT_EQ(lock.Acquire(bank, QStringLiteral("kantel"), 100ms), CFileLock::Result::Busy);
    EXPECT_EQ(lock.Holder(), QStringLiteral("kantel-cli import (process %1)").arg(other.Pid()));
    // Another name of the same file is the same lock.
    ASSERT_TRUE(QFile::link(bank, folder.FilePath(QStringLiteral("link.bnm"))));
    EXPECT_EQ(
        lock.Acquire(folder.FilePath(QStringLiteral("link.bnm")), QStringLiteral("kantel"), 0ms),
        CFileLock::Result::Busy);

    other.Stop();
    EXPECT_FALSE(QFileInfo::exists(CFileLock::LockPathOf(bank))) << "the last holder removes it";
    ASSERT_EQ(lock.Acquire(bank, QStringLiteral("kantel"), 0ms), CFileLock::Result::Locked);
    // Within one process the document's save takes the lock the command
    // already holds, and waiting on itself would never end.
    {
        CFileLock nested;
        EXPECT_EQ(nested.Acquire(bank, QStringLiteral("kantel"), 0ms), CFileLock::Result::Locked);
    }
    EXPECT_TRUE(QFileInfo::exists(CFileLock::LockPathOf(bank))) << "still held by the outer one";
    OtherHolder refused(bank);
    EXPECT_FALSE(refused.Locked());
    refused.Stop();
    lock.Release();
    OtherHolder next(bank);
    EXPECT_TRUE(next.Locked());
}

TEST(CFileLock, AFolderWithoutRoomForALockFileLocksNothingAndSaysSo) {
    if (::geteuid() == 0) {
        // root writes into a folder without write permission all the same.
        GTEST_SKIP() << "needs a user that permissions apply to";
    }
    TestFolder folder;
    const QString bank = folder.Write(QStringLiteral("Bnk_1.bnm"), "bank");
    ASSERT_EQ(::chmod(QFile::encodeName(folder.Path()).constData(), 0555), 0);
    CFileLock lock;
    EXPECT_EQ(lock.Acquire(bank, QStringLiteral("kantel"), 0ms), CFileLock::Result::Unavailable);
    ASSERT_EQ(::chmod(QFile::encodeName(folder.Path()).constData(), 0755), 0);
}

TEST(CFileLock, TheLockFileIsNamedAfterTheFileAndKnownAsOne) {
    EXPECT_EQ(CFileLock::LockPathOf(QStringLiteral("/nowhere/Bnk_1.bnm")),
              QStringLiteral("/nowhere/.Bnk_1.bnm.lock"));
    EXPECT_TRUE(CFileLock::IsLockFileName(QStringLiteral(".Bnk_1.bnm.lock")));
    EXPECT_FALSE(CFileLock::IsLockFileName(QStringLiteral("Bnk_1.bnm")));
}
