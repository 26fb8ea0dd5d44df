#include "app/CVersionInfo.h"

#include <gtest/gtest.h>

namespace {

// Puts the program's own record back whatever a test did.
struct RecordGuard {
    explicit RecordGuard(const char* record) { CVersionInfo::SetRecordForTesting(record); }
    ~RecordGuard() { CVersionInfo::SetRecordForTesting(nullptr); }
    RecordGuard(const RecordGuard&) = delete;
    RecordGuard& operator=(const RecordGuard&) = delete;
};

} // namespace

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
    RecordGuard guard("Translation: 0407 04e4 0409 04b0\n"
                      "[StringFileInfo\\040904b0]\nProductName=English\n"
                      "[stringfileinfo\\040704e4]\nProductName=Deutsch\n");
    CVersionInfo info;
    ASSERT_TRUE(info.Load());
    EXPECT_EQ(info.GetProductName(), QStringLiteral("Deutsch"));
    EXPECT_EQ(info.GetCompanyName(), QString());
}

TEST(VersionInfo, NoRecordOrNoTranslationFailsToLoad) {
    {
        RecordGuard guard("");
        CVersionInfo info;
        EXPECT_FALSE(info.Load());
        EXPECT_EQ(info.GetProductName(), QString());
    }
    {
        RecordGuard guard("[StringFileInfo\\040904b0]\nProductName=Kantel\n");
        CVersionInfo info;
        EXPECT_FALSE(info.Load());
    }
}
