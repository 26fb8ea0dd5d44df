#include "FileSizeLimit.h"
#include "QtPrinters.h"
#include "TestFolder.h"

#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A batch whose one sync fails as a dying disk's would.
class FailingSyncBatch final : public CFileBatch {
public:
    using CFileBatch::CFileBatch;
    int syncs = 0;

protected:
    int SyncContents(int /*folderFd*/) override {
        ++syncs;
        return EIO;
    }
};

// Names in the folder that are not the given ones: what a batch left behind.
QStringList leftovers(const TestFolder& folder, const QStringList& expected) {
    QStringList rest = folder.Entries();
    for (const QString& name : expected) {
        rest.removeAll(name);
    }
    return rest;
}

} // namespace

// --- Names appear together and only when complete ------------------------------

TEST(CFileBatch, FilesTakeTheirNamesOnlyAtCommitWithTheirWholeContents) {
    TestFolder folder;
    std::vector<int> failed;
    {
        CFileBatch batch(folder.Path());
        EXPECT_EQ(batch.Add(QStringLiteral("a.wav"), {"head", "", "-and-body"}), 0);
        EXPECT_EQ(batch.Add(QStringLiteral("b.wav"), {QByteArrayView()}), 1);
        EXPECT_FALSE(folder.Exists(QStringLiteral("a.wav")));
        EXPECT_FALSE(folder.Exists(QStringLiteral("b.wav")));
        // What waits is hidden and cannot be any name a bank record holds.
        for (const QString& name : folder.Entries()) {
            EXPECT_TRUE(name.startsWith(QLatin1Char('.'))) << qPrintable(name);
            EXPECT_GT(name.size(), 15) << qPrintable(name);
        }
        CFileException error;
        failed = batch.Commit(error);
    }
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(folder.Entries(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("b.wav")}));
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")), QByteArray("head-and-body"));
    EXPECT_EQ(folder.Read(QStringLiteral("b.wav")), QByteArray());
}

TEST(CFileBatch, BatchGoneWithoutCommitLeavesNothing) {
    TestFolder folder;
    folder.Write(QStringLiteral("keep.txt"), "mine");
    {
        CFileBatch batch(folder.Path() + QLatin1Char('/'));
        batch.Add(QStringLiteral("a.wav"), {"x"});
        batch.Add(QStringLiteral("b.wav"), {"y"});
    }
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("keep.txt")});
}

TEST(CFileBatch, FilesAddedAfterACommitWaitForTheNext) {
    TestFolder folder;
    CFileBatch batch(folder.Path());
    CFileException error;
    batch.Add(QStringLiteral("a.wav"), {"1"});
    EXPECT_TRUE(batch.Commit(error).empty());
    batch.Add(QStringLiteral("b.wav"), {"2"});
    EXPECT_FALSE(folder.Exists(QStringLiteral("b.wav")));
    EXPECT_TRUE(batch.Commit(error).empty());
    EXPECT_EQ(folder.Read(QStringLiteral("b.wav")), QByteArray("2"));
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")), QByteArray("1"));
}

TEST(CFileBatch, AddedNamesAreFoundWithoutRegardToCase) {
    TestFolder folder;
    CFileBatch batch(folder.Path());
    EXPECT_EQ(batch.FindAdded(QStringLiteral("a.wav")), -1);
    batch.Add(QStringLiteral("Engine.wav"), {"e"});
    batch.Add(QStringLiteral("horn.wav"), {"h"});
    EXPECT_EQ(batch.FindAdded(QStringLiteral("ENGINE.WAV")), 0);
    EXPECT_EQ(batch.FindAdded(QStringLiteral("horn.wav")), 1);
    EXPECT_EQ(batch.FindAdded(QStringLiteral("horn.wa")), -1);
    // Another spelling is another file here, but lookups keep finding the
    // first, as they would on the file system the names were made for.
    EXPECT_EQ(batch.Add(QStringLiteral("ENGINE.wav"), {"E"}), 2);
    EXPECT_EQ(batch.FindAdded(QStringLiteral("engine.wav")), 0);
    // The same name twice would make the second lose at Commit; it is
    // refused at once instead.
    EXPECT_THROW(batch.Add(QStringLiteral("horn.wav"), {"again"}), CFileException);
}

// --- Names that are taken are never taken over ----------------------------------

TEST(CFileBatch, NameTakenBeforeAddIsRefusedAtOnce) {
    TestFolder folder;
    folder.Write(QStringLiteral("a.wav"), "theirs");
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("d.wav")));
    CFileBatch batch(folder.Path());
    try {
        batch.Add(QStringLiteral("a.wav"), {"ours"});
        ADD_FAILURE() << "a taken name was accepted";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_strFileName, folder.FilePath(QStringLiteral("a.wav")));
    }
    try {
        batch.Add(QStringLiteral("d.wav"), {"ours"});
        ADD_FAILURE() << "a folder's name was accepted";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::accessDenied);
        EXPECT_EQ(e.m_strFileName, folder.FilePath(QStringLiteral("d.wav")));
    }
    CFileException error;
    EXPECT_TRUE(batch.Commit(error).empty());
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")), QByteArray("theirs"));
    EXPECT_EQ(folder.Entries(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("d.wav")}));
}

TEST(CFileBatch, NameTakenBeforeCommitFailsThatFileAloneAndKeepsTheOtherOne) {
    TestFolder folder;
    CFileBatch batch(folder.Path());
    batch.Add(QStringLiteral("a.wav"), {"ours a"});
    batch.Add(QStringLiteral("b.wav"), {"ours b"});
    batch.Add(QStringLiteral("c.wav"), {"ours c"});
    folder.Write(QStringLiteral("b.wav"), "made meanwhile");
    CFileException error;
    const std::vector<int> failed = batch.Commit(error);
    EXPECT_EQ(failed, std::vector<int>{1});
    EXPECT_EQ(error.m_strFileName, folder.FilePath(QStringLiteral("b.wav")));
    EXPECT_EQ(error.m_strDetail, QString::fromLocal8Bit(strerror(EEXIST)));
    EXPECT_EQ(folder.Read(QStringLiteral("b.wav")), QByteArray("made meanwhile"));
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")), QByteArray("ours a"));
    EXPECT_EQ(folder.Read(QStringLiteral("c.wav")), QByteArray("ours c"));
    EXPECT_TRUE(leftovers(folder, {QStringLiteral("a.wav"), QStringLiteral("b.wav"),
                                   QStringLiteral("c.wav")})
                    .isEmpty());
}

// What the user agreed to replace is replaced: the entry that has the name,
// whatever it is but a folder, and never what a link points to.
TEST(CFileBatch, ReplacingTakesTheNameFromTheEntryItselfAndNeverFromAFolder) {
    TestFolder folder;
    const QString outside = folder.Write(QStringLiteral("outside"), "not ours");
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("in")));
    const QString in = folder.FilePath(QStringLiteral("in"));
    folder.Write(QStringLiteral("in/file.wav"), "old");
    ASSERT_TRUE(QFile::link(outside, in + QStringLiteral("/link.wav")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(in + QStringLiteral("/fifo.wav")).constData(), 0644), 0);
    ASSERT_TRUE(QDir(in).mkdir(QStringLiteral("dir.wav")));
    CFileBatch batch(in);
    for (const char* name : {"file.wav", "link.wav", "fifo.wav", "new.wav"}) {
        batch.Add(QString::fromLatin1(name), {"ours ", name}, CFileBatch::Replace::Allowed);
    }
    EXPECT_THROW(batch.Add(QStringLiteral("dir.wav"), {"x"}, CFileBatch::Replace::Allowed),
                 CFileException);
    // Not twice in one batch, though.
    EXPECT_THROW(batch.Add(QStringLiteral("new.wav"), {"x"}, CFileBatch::Replace::Allowed),
                 CFileException);
    folder.Write(QStringLiteral("in/new.wav"), "made meanwhile");
    CFileException error;
    EXPECT_TRUE(batch.Commit(error).empty());
    for (const char* name : {"file.wav", "link.wav", "fifo.wav", "new.wav"}) {
        const QString path = in + QLatin1Char('/') + QString::fromLatin1(name);
        struct stat status {};
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &status), 0) << name;
        EXPECT_TRUE(S_ISREG(status.st_mode)) << name;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("ours ") + name);
    }
    EXPECT_EQ(folder.Read(QStringLiteral("outside")), QByteArray("not ours"));
    EXPECT_TRUE(QFileInfo(in + QStringLiteral("/dir.wav")).isDir());
    EXPECT_EQ(QDir(in).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 5);
}

TEST(CFileBatch, EveryFileThatFailsAtCommitGetsItsOwnError) {
    TestFolder folder;
    CFileBatch batch(folder.Path());
    batch.Add(QStringLiteral("a.wav"), {"a"});
    batch.Add(QStringLiteral("b.wav"), {"b"});
    batch.Add(QStringLiteral("c.wav"), {"c"});
    batch.Add(QStringLiteral("d.wav"), {"d"}, CFileBatch::Replace::Allowed);
    folder.Write(QStringLiteral("a.wav"), "theirs");
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("c.wav")));
    ASSERT_TRUE(QDir(folder.Path()).mkpath(QStringLiteral("d.wav/full")));
    CFileException first;
    std::vector<CFileException> errors;
    EXPECT_EQ(batch.Commit(first, &errors), (std::vector<int>{0, 2, 3}));
    ASSERT_EQ(errors.size(), 3U);
    EXPECT_EQ(errors[0].m_strFileName, folder.FilePath(QStringLiteral("a.wav")));
    EXPECT_EQ(errors[0].m_strDetail, QString::fromLocal8Bit(strerror(EEXIST)));
    EXPECT_EQ(errors[1].m_strFileName, folder.FilePath(QStringLiteral("c.wav")));
    EXPECT_EQ(errors[2].m_strFileName, folder.FilePath(QStringLiteral("d.wav")));
    EXPECT_EQ(first.m_strFileName, errors[0].m_strFileName);
    EXPECT_EQ(folder.Read(QStringLiteral("b.wav")), QByteArray("b"));
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")), QByteArray("theirs"));
    EXPECT_TRUE(leftovers(folder, {QStringLiteral("a.wav"), QStringLiteral("b.wav"),
                                   QStringLiteral("c.wav"), QStringLiteral("d.wav")})
                    .isEmpty());
}

// Every way of naming must refuse a taken name, so a file system without
// the atomic rename still never loses a file.
TEST(CFileBatch, EveryRenameMethodRefusesATakenNameAndTakesAFreeOne) {
    using Method = CFileBatch::NoReplaceMethod;
    for (const Method method : {Method::RenameFlag, Method::Link, Method::CheckFirst}) {
        SCOPED_TRACE(static_cast<int>(method));
        TestFolder folder;
        folder.Write(QStringLiteral("from"), "new");
        folder.Write(QStringLiteral("taken"), "old");
        const int fd = ::open(QFile::encodeName(folder.Path()).constData(), O_RDONLY | O_DIRECTORY);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(CFileBatch::RenameNoReplace(fd, "from", "taken", method), EEXIST);
        EXPECT_EQ(folder.Read(QStringLiteral("taken")), QByteArray("old"));
        EXPECT_EQ(folder.Read(QStringLiteral("from")), QByteArray("new"));
        EXPECT_EQ(CFileBatch::RenameNoReplace(fd, "from", "free", method), 0);
        ::close(fd);
        EXPECT_EQ(folder.Entries(), (QStringList{QStringLiteral("free"), QStringLiteral("taken")}));
        EXPECT_EQ(folder.Read(QStringLiteral("free")), QByteArray("new"));
    }
}

// --- Failures leave nothing behind ----------------------------------------------------

TEST(CFileBatch, WriteThatFailsPartWayLeavesNothingAndTheBatchGoesOn) {
    TestFolder folder;
    CFileBatch batch(folder.Path());
    const QByteArray big(10000, 'b');
    {
        FileSizeLimit limit(4096);
        try {
            batch.Add(QStringLiteral("big.wav"), {"header", big});
            ADD_FAILURE() << "a write past the size limit succeeded";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::diskFull);
            EXPECT_EQ(e.m_strFileName, folder.FilePath(QStringLiteral("big.wav")));
            EXPECT_FALSE(e.m_strDetail.isEmpty());
        }
        EXPECT_TRUE(folder.Entries().isEmpty());
        EXPECT_EQ(batch.Add(QStringLiteral("small.wav"), {"s"}), 0);
    }
    EXPECT_EQ(batch.FindAdded(QStringLiteral("big.wav")), -1);
    CFileException error;
    EXPECT_TRUE(batch.Commit(error).empty());
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("small.wav")});
}

TEST(CFileBatch, FailedSyncNamesNoFileRemovesThemAllAndNamesTheFolder) {
    TestFolder folder;
    FailingSyncBatch batch(folder.Path());
    batch.Add(QStringLiteral("a.wav"), {"a"});
    batch.Add(QStringLiteral("b.wav"), {"b"});
    CFileException error;
    EXPECT_EQ(batch.Commit(error), (std::vector<int>{0, 1}));
    EXPECT_EQ(batch.syncs, 1);
    EXPECT_EQ(error.m_cause, CFileException::hardIO);
    EXPECT_EQ(error.m_strFileName, folder.Path());
    EXPECT_TRUE(folder.Entries().isEmpty());
}

TEST(CFileBatch, NothingToCommitNeedsNoSync) {
    TestFolder folder;
    FailingSyncBatch batch(folder.Path());
    CFileException error;
    EXPECT_TRUE(batch.Commit(error).empty());
    EXPECT_EQ(batch.syncs, 0);
}

TEST(CFileBatch, MissingFolderFailsEachFileWithItsOwnPath) {
    TestFolder folder;
    CFileBatch batch(folder.FilePath(QStringLiteral("gone")));
    try {
        batch.Add(QStringLiteral("a.wav"), {"a"});
        ADD_FAILURE() << "a file was written into a missing folder";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, folder.FilePath(QStringLiteral("gone/a.wav")));
    }
}

TEST(CFileBatch, NamesThatLeaveTheFolderAreRefused) {
    TestFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("sub")));
    CFileBatch batch(folder.FilePath(QStringLiteral("sub")));
    for (const QString& name :
         {QStringLiteral("../up.wav"), QStringLiteral(".."), QStringLiteral("."), QString()}) {
        EXPECT_THROW(batch.Add(name, {"x"}), CFileException) << qPrintable(name);
    }
    CFileException error;
    EXPECT_TRUE(batch.Commit(error).empty());
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("sub")});
    EXPECT_TRUE(QDir(folder.FilePath(QStringLiteral("sub")))
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
}
