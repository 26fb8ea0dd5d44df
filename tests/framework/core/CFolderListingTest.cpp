#include "QtPrinters.h"
#include "TestFolder.h"

#include "framework/core/CFolderListing.h"
#include "framework/core/CHugePages.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

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

// Enough names that the table holds runs of neighbours, short ones (held in
// their slots) and long ones (compared in the text); a FIFO is listed but is
// no regular file; two byte names that decode alike keep what either is.
TEST(CFolderListing, EveryNameOfAFullFolderIsFoundWithItsKind) {
    TestFolder folder;
    QStringList names;
    for (int i = 0; i < 1500; ++i) {
        names << QStringLiteral("R%1.wav").arg(i) << QStringLiteral("A long name %1.wav").arg(i);
    }
    for (const QString& name : names) {
        folder.Write(name, "RIFF");
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.FilePath(QStringLiteral("R1.wav.fifo"))), 0600), 0);
    const QByteArray dir = QFile::encodeName(folder.Path());
    for (const char* bytes : {"/\xff.wav", "/\xfe.wav"}) {
        ASSERT_EQ(::mkfifo(dir + bytes, 0600), 0);
    }
    folder.Write(QStringLiteral("\u00ff.wav"), "RIFF");
    const CFolderListing listing(folder.Path());
    for (const QString& name : names) {
        ASSERT_EQ(listing.Resolve(name), name);
        ASSERT_TRUE(listing.IsRegularFile(name)) << qPrintable(name);
    }
    EXPECT_EQ(listing.Resolve(QStringLiteral("r7.WAV")), QStringLiteral("R7.wav"));
    EXPECT_TRUE(listing.Resolve(QStringLiteral("A long name 1500.wav")).isEmpty());
    EXPECT_FALSE(listing.IsRegularFile(QStringLiteral("R1.wav.fifo")));
    EXPECT_FALSE(listing.IsRegularFile(QStringLiteral("R1.wav.fif")));
    const QString undecodable = QFile::decodeName(QByteArray("\xff.wav"));
    EXPECT_EQ(listing.Resolve(undecodable), undecodable);
    EXPECT_FALSE(listing.IsRegularFile(undecodable));
    EXPECT_TRUE(listing.IsRegularFile(QStringLiteral("\u00ff.wav")));
    QStringList found = listing.NamesStartingWith(QStringLiteral("A long name 14"));
    found.sort();
    EXPECT_EQ(found.size(), 111); // 14, 140 to 149 and 1400 to 1499
    EXPECT_EQ(found.first(), QStringLiteral("A long name 14.wav"));
    EXPECT_TRUE(listing.NamesStartingWith(QStringLiteral("Z")).isEmpty());
    // Names Qt cannot spell, which the folder's clean-up would not find.
    for (const char* bytes : {"/\xff.wav", "/\xfe.wav"}) {
        ::unlink(dir + bytes);
    }
}

// The memory of the listing's table and of a names table: zeroed, all of it
// usable, on either side of the size that gets huge pages.
TEST(HugePages, GiveZeroedMemoryOfEverySize) {
    for (const size_t bytes :
         {size_t{0}, size_t{1}, CHugePages::kHugePage - 1, CHugePages::kHugePage,
          CHugePages::kHugePage + 1, 3 * CHugePages::kHugePage + 4097}) {
        auto* memory = static_cast<unsigned char*>(CHugePages::Allocate(bytes));
        ASSERT_NE(memory, nullptr);
        EXPECT_EQ(std::count(memory, memory + bytes, 0), static_cast<std::ptrdiff_t>(bytes))
            << bytes;
        std::fill_n(memory, bytes, 0xA5);
        CHugePages::Free(memory, bytes);
    }
}
