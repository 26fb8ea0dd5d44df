#include "FileSizeLimit.h"
#include "QtPrinters.h"
#include "TestFolder.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

const QByteArray kOld("the old contents, which must survive every failure");

} // namespace

TEST(CFileOpen, MissingFileFailsWithItsAbsoluteName) {
    TestFolder folder;
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(folder.FilePath(QStringLiteral("none.bnm")), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_strFileName, folder.FilePath(QStringLiteral("none.bnm")));
    EXPECT_FALSE(file.IsOpen());
}

TEST(CFileOpen, FolderIsNotAFileToRead) {
    TestFolder folder;
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(folder.Path(), CFile::modeRead, &error));
    EXPECT_NE(error.m_cause, CFileException::none);
    EXPECT_TRUE(error.GetErrorMessage().contains(folder.Path()));
}

TEST(CFileOpen, NameThatDiffersOnlyInCaseIsFoundAndReported) {
    TestFolder folder;
    folder.Write(QStringLiteral("Engine.WAV"), "abc");
    CFile file;
    ASSERT_TRUE(file.Open(folder.FilePath(QStringLiteral("ENGINE.wav")), CFile::modeRead));
    EXPECT_EQ(file.GetFileName(), QStringLiteral("Engine.WAV"));
    EXPECT_EQ(file.GetFilePath(), folder.FilePath(QStringLiteral("Engine.WAV")));
    char bytes[8] = {};
    EXPECT_EQ(file.Read(bytes, sizeof bytes), 3);
}

TEST(CFileOpen, RelativePathIsMadeAbsolute) {
    TestFolder folder;
    folder.Write(QStringLiteral("a.bin"), "x");
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.Path()));
    CFile file;
    const bool opened = file.Open(QStringLiteral("a.bin"), CFile::modeRead);
    QDir::setCurrent(cwd);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(QFileInfo(file.GetFilePath()).isAbsolute());
    EXPECT_EQ(file.GetFileName(), QStringLiteral("a.bin"));
}

TEST(CFileReadSeek, ReadStopsShortOnlyAtTheEnd) {
    TestFolder folder;
    folder.Write(QStringLiteral("f"), "0123456789");
    CFile file;
    ASSERT_TRUE(file.Open(folder.FilePath(QStringLiteral("f")), CFile::modeRead));
    char buffer[16] = {};
    file.Seek(4, CFile::begin);
    EXPECT_EQ(file.Read(buffer, 4), 4);
    EXPECT_EQ(QByteArray(buffer, 4), QByteArray("4567"));
    EXPECT_EQ(file.Read(buffer, 16), 2);
    EXPECT_EQ(file.Read(buffer, 16), 0);
    EXPECT_EQ(file.GetLength(), 10);
}

TEST(CFileReadSeek, SeekBeforeTheStartThrows) {
    TestFolder folder;
    folder.Write(QStringLiteral("f"), "0123");
    CFile file;
    ASSERT_TRUE(file.Open(folder.FilePath(QStringLiteral("f")), CFile::modeRead));
    EXPECT_THROW(file.Seek(-1, CFile::begin), CFileException);
    EXPECT_THROW(file.Seek(-5, CFile::end), CFileException);
    EXPECT_EQ(file.Seek(-1, CFile::end), 3);
}

TEST(CFileReplace, OldFileStaysUntilCommit) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("bank.bnm"), kOld);
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite));
    file.Write("new", 3);
    EXPECT_EQ(folder.Read(QStringLiteral("bank.bnm")), kOld);
    file.Commit();
    EXPECT_EQ(folder.Read(QStringLiteral("bank.bnm")), QByteArray("new"));
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("bank.bnm")});
}

TEST(CFileReplace, CommitWithTheFolderSyncedLaterPutsTheFileInPlaceAtOnce) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("a.wav"), kOld);
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
    file.Write("new", 3);
    file.Commit(CFile::FolderSync::Later);
    EXPECT_EQ(folder.Read(QStringLiteral("a.wav")), QByteArray("new"));
    EXPECT_FALSE(file.IsOpen());
    CFile::SyncFolder(folder.Path());
    // A folder that is not there is no error of anyone's.
    CFile::SyncFolder(folder.FilePath(QStringLiteral("gone")));
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("a.wav")});
}

TEST(CFileReplace, CloseWithoutCommitDiscardsTheNewFile) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("bank.bnm"), kOld);
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite));
        file.Write("new", 3);
        file.Close();
    }
    {
        CFile file;
        ASSERT_TRUE(file.Open(folder.FilePath(QStringLiteral("other")), CFile::modeCreate));
        file.Write("x", 1);
        // Destroyed without Commit.
    }
    EXPECT_EQ(folder.Read(QStringLiteral("bank.bnm")), kOld);
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("bank.bnm")});
}

TEST(CFileReplace, SeekBackAndSetLengthRewriteInPlace) {
    TestFolder folder;
    const QString path = folder.FilePath(QStringLiteral("f"));
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite));
    file.Write("headerXXXXdata", 14);
    file.SeekToBegin();
    file.Write("HEADER", 6);
    file.SetLength(10);
    EXPECT_EQ(file.SeekToEnd(), 10);
    file.Commit();
    EXPECT_EQ(folder.Read(QStringLiteral("f")), QByteArray("HEADERXXXX"));
}

TEST(CFileReplace, CreatingInAMissingFolderFails) {
    TestFolder folder;
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(folder.FilePath(QStringLiteral("no/such/bank.bnm")),
                           CFile::modeCreate | CFile::modeReadWrite, &error));
    EXPECT_NE(error.m_cause, CFileException::none);
    EXPECT_TRUE(error.GetErrorMessage().contains(QStringLiteral("bank.bnm")));
}

TEST(CFileReplace, ReplacingAFolderFails) {
    TestFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("sub")));
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(folder.FilePath(QStringLiteral("sub")),
                           CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_NE(error.m_cause, CFileException::none);
    EXPECT_TRUE(QFileInfo(folder.FilePath(QStringLiteral("sub"))).isDir());
}

// A write that fails part-way (the disk fills up) must throw at that write,
// and the half-written replacement must never take the old file's place.
TEST(CFileReplace, WriteThatFailsPartWayThrowsAndCommitKeepsTheOldFile) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("bank.bnm"), kOld);
    const QByteArray big(64 * 1024, 'n');
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeReadWrite));
    {
        FileSizeLimit limit(4096);
        try {
            file.Write(big.constData(), big.size());
            ADD_FAILURE() << "the write past the limit did not throw";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::diskFull);
            EXPECT_EQ(e.m_strFileName, path);
        }
    }
    EXPECT_THROW(file.Commit(), CFileException);
    EXPECT_EQ(folder.Read(QStringLiteral("bank.bnm")), kOld);
    EXPECT_EQ(folder.Entries(), QStringList{QStringLiteral("bank.bnm")});
}

TEST(CFileException, MessageNamesTheFileAndGivesTheSystemsWordsOnASecondLine) {
    const CFileException e(CFileException::diskFull, QStringLiteral("/x/Bnk_1.bnm"),
                           QStringLiteral("No space left on device"));
    EXPECT_EQ(e.GetErrorMessage(),
              QStringLiteral("Disk full while accessing /x/Bnk_1.bnm.\nNo space left on device"));
    EXPECT_EQ(
        CFileException(CFileException::fileNotFound, QStringLiteral("a.wav")).GetErrorMessage(),
        QStringLiteral("a.wav was not found."));
    EXPECT_EQ(CFileException::CauseFromErrno(ENOSPC), CFileException::diskFull);
    EXPECT_EQ(CFileException::CauseFromErrno(EFBIG), CFileException::diskFull);
    EXPECT_EQ(CFileException::CauseFromErrno(ENOENT), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::CauseFromErrno(EACCES), CFileException::accessDenied);
}
