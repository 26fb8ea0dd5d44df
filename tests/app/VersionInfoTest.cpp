#include "FixedVersionRecord.h"
#include "app/CVersionInfo.h"

#include <gtest/gtest.h>

TEST(VersionInfo, TheAttachedRecordNamesTheProduct) {
    CVersionInfo info;
    ASSERT_TRUE(info.Load());
    EXPECT_EQ(info.GetProductName(), QStringLiteral("Kantel"));
    EXPECT_EQ(info.GetFileVersion(), QStringLiteral("1.7a"));
    EXPECT_FALSE(info.GetLegalCopyright().isEmpty());
    EXPECT_FALSE(info.GetCompanyName().isEmpty());
    EXPECT_EQ(info.GetValue(QStringLiteral("NoSuchValue")), QString());
}

TEST(VersionInfo, ValuesComeFromTheFirstTranslationsBlockInAnyCase) {
    FixedVersionRecord guard("Translation: 0407 04e4 0409 04b0\n"
                             "[StringFileInfo\\040904b0]\nProductName=English\n"
                             "[stringfileinfo\\040704e4]\nProductName=Deutsch\n");
    CVersionInfo info;
    ASSERT_TRUE(info.Load());
    EXPECT_EQ(info.GetProductName(), QStringLiteral("Deutsch"));
    EXPECT_EQ(info.GetCompanyName(), QString());
}

TEST(VersionInfo, NoRecordOrNoTranslationFailsToLoad) {
    {
        FixedVersionRecord guard("");
        CVersionInfo info;
        EXPECT_FALSE(info.Load());
        EXPECT_EQ(info.GetProductName(), QString());
    }
    {
        FixedVersionRecord guard("[StringFileInfo\\040904b0]\nProductName=Kantel\n");
        CVersionInfo info;
        EXPECT_FALSE(info.Load());
    }
}
