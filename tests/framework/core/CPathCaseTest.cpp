#include "QtPrinters.h"
#include "TestFolder.h"

#include "framework/core/CPathCase.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(CPathCase, ExactNameWinsOverOtherCasings) {
    TestFolder folder;
    folder.Write(QStringLiteral("horn.wav"), "a");
    folder.Write(QStringLiteral("HORN.wav"), "b");
    EXPECT_EQ(CPathCase::ResolveExisting(folder.FilePath(QStringLiteral("horn.wav"))),
              folder.FilePath(QStringLiteral("horn.wav")));
}

TEST(CPathCase, NameInAnotherCaseIsFoundAndTheChoiceIsStable) {
    TestFolder folder;
    folder.Write(QStringLiteral("aBC.wav"), "a");
    folder.Write(QStringLiteral("Abc.WAV"), "b");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(CPathCase::ResolveExisting(folder.FilePath(QStringLiteral("abc.wav"))),
                  folder.FilePath(QStringLiteral("Abc.WAV")));
    }
}

TEST(CPathCase, NothingMatchingGivesAnEmptyPath) {
    TestFolder folder;
    folder.Write(QStringLiteral("abc.wav"), "a");
    EXPECT_TRUE(CPathCase::ResolveExisting(folder.FilePath(QStringLiteral("abd.wav"))).isEmpty());
    EXPECT_TRUE(
        CPathCase::ResolveExisting(folder.FilePath(QStringLiteral("nodir/abc.wav"))).isEmpty());
    // An empty name names the folder itself, which is no file.
    EXPECT_TRUE(CPathCase::ResolveExisting(folder.Path() + QStringLiteral("/x/")).isEmpty());
}

TEST(CPathCase, OnlyTheLastComponentIsMatchedLoosely) {
    TestFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("Sounds")));
    folder.Write(QStringLiteral("Sounds/a.wav"), "a");
    EXPECT_EQ(CPathCase::ResolveExisting(folder.FilePath(QStringLiteral("Sounds/A.WAV"))),
              folder.FilePath(QStringLiteral("Sounds/a.wav")));
    EXPECT_TRUE(
        CPathCase::ResolveExisting(folder.FilePath(QStringLiteral("sounds/a.wav"))).isEmpty());
}
