#include "QtPrinters.h"
#include "TestFolder.h"

#include "framework/core/CFolderListing.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(CFolderListing, ExactNameFirstThenTheFirstInNameOrderWithoutRegardToCase) {
    TestFolder folder;
    folder.Write(QStringLiteral("horn.wav"), "a");
    folder.Write(QStringLiteral("HORN.wav"), "b");
    folder.Write(QStringLiteral("aBC.wav"), "c");
    folder.Write(QStringLiteral("Abc.WAV"), "d");
    const CFolderListing listing(folder.Path());
    EXPECT_EQ(listing.Resolve(QStringLiteral("horn.wav")), QStringLiteral("horn.wav"));
    EXPECT_EQ(listing.Resolve(QStringLiteral("HORN.wav")), QStringLiteral("HORN.wav"));
    EXPECT_EQ(listing.Resolve(QStringLiteral("Horn.Wav")), QStringLiteral("HORN.wav"));
    EXPECT_EQ(listing.Resolve(QStringLiteral("abc.wav")), QStringLiteral("Abc.WAV"));
    EXPECT_TRUE(listing.Resolve(QStringLiteral("abd.wav")).isEmpty());
    EXPECT_TRUE(listing.Resolve(QString()).isEmpty());
}

// Names in banks are Latin-1; their letters beyond ASCII match in any case
// too, as they did on the games' own file system.
TEST(CFolderListing, LettersBeyondAsciiMatchInAnyCase) {
    TestFolder folder;
    folder.Write(QStringLiteral("\u00c9T\u00c9.WAV"), "a");
    const CFolderListing listing(folder.Path());
    EXPECT_EQ(listing.Resolve(QStringLiteral("\u00e9t\u00e9.wav")),
              QStringLiteral("\u00c9T\u00c9.WAV"));
}

TEST(CFolderListing, FoldersAreListedAndDotEntriesAreNot) {
    TestFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("Sub")));
    folder.Write(QStringLiteral("a.wav"), "RIFF");
    ASSERT_TRUE(QFile::link(folder.FilePath(QStringLiteral("Sub")),
                            folder.FilePath(QStringLiteral("Link"))));
    ASSERT_TRUE(QFile::link(folder.FilePath(QStringLiteral("a.wav")),
                            folder.FilePath(QStringLiteral("b.wav"))));
    const CFolderListing listing(folder.Path());
    EXPECT_EQ(listing.Resolve(QStringLiteral("sub")), QStringLiteral("Sub"));
    EXPECT_TRUE(listing.IsFolder(QStringLiteral("Sub")));
    EXPECT_TRUE(listing.IsFolder(QStringLiteral("Link")));
    EXPECT_FALSE(listing.IsFolder(QStringLiteral("a.wav")));
    EXPECT_FALSE(listing.IsFolder(QStringLiteral("b.wav")));
    EXPECT_TRUE(listing.Resolve(QStringLiteral(".")).isEmpty());
    EXPECT_TRUE(listing.Resolve(QStringLiteral("..")).isEmpty());
}

TEST(CFolderListing, MissingFolderListsNothing) {
    TestFolder folder;
    const CFolderListing listing(folder.FilePath(QStringLiteral("gone")));
    EXPECT_TRUE(listing.Resolve(QStringLiteral("a.wav")).isEmpty());
}
