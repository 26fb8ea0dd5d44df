#include "TestFolder.h"

#include "app/CWinePrefix.h"
#include "app/GameDirectories.h"
#include "framework/core/CPrivateProfile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// A Wine prefix of the test's own: $WINEPREFIX points into a temporary folder
// for the life of the fixture.
class WinePrefixTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = qgetenv("WINEPREFIX");
        qputenv("WINEPREFIX", m_folder.Path().toLocal8Bit());
        QDir(m_folder.Path()).mkpath(QStringLiteral("drive_c/windows"));
    }
    void TearDown() override {
        if (m_saved.isNull()) {
            qunsetenv("WINEPREFIX");
        } else {
            qputenv("WINEPREFIX", m_saved);
        }
    }
    // Writes an ini file at a path below the prefix's drive_c.
    void writeIni(const QString& below, const QByteArray& text) {
        const QString path = m_folder.FilePath(QStringLiteral("drive_c/") + below);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    static QString korvex(const char* key = "Directory") {
        char buffer[kGameSettingSize + 1];
        const char* value = ReadKorvexSetting(key, buffer);
        return value != nullptr ? QString::fromLatin1(value) : QStringLiteral("<null>");
    }
    static QString lunaris(const char* key = "Directory") {
        const char* value = ReadLunarisSetting(key, nullptr);
        return value != nullptr ? QString::fromLatin1(value) : QStringLiteral("<null>");
    }

    TestFolder m_folder;
    QByteArray m_saved;
};

} // namespace

TEST_F(WinePrefixTest, FirstLocationIsTheWindowsDirectoryWithAnyCase) {
    writeIni(QStringLiteral("windows/HALVANE/Halv.INI"),
             "[KORVEX]\r\n  directory = D:\\Games\\Korvex \r\n");
    EXPECT_EQ(korvex(), QStringLiteral("D:\\Games\\Korvex\\"));
    EXPECT_EQ(lunaris(), QStringLiteral("<null>"));
}

TEST_F(WinePrefixTest, SecondLocationOnlyWhenTheFirstYieldsNothing) {
    writeIni(QStringLiteral("windows/Halvane/halv.ini"),
             "[Korvex]\nDirectory=\n[Lun]\nDirectory=E:\n");
    EXPECT_EQ(korvex(), QStringLiteral("<null>"));
    EXPECT_EQ(lunaris(), QStringLiteral("E:"));

    // The fixed second location is the same file here; give C: a folder of
    // its own so the two locations differ.
    QDir(m_folder.Path()).mkpath(QStringLiteral("dosdevices"));
    QDir(m_folder.Path()).mkpath(QStringLiteral("otherc/Windows/Halvane"));
    QFile::link(m_folder.FilePath(QStringLiteral("otherc")),
                m_folder.FilePath(QStringLiteral("dosdevices/c:")));
    QFile second(m_folder.FilePath(QStringLiteral("otherc/Windows/Halvane/halv.ini")));
    ASSERT_TRUE(second.open(QIODevice::WriteOnly));
    second.write("[korvex]\nDirectory=\"D:/Games/\"\n[Lun]\nDirectory=F:\\Lun\n");
    second.close();
    EXPECT_EQ(korvex(), QStringLiteral("D:/Games/"));
    EXPECT_EQ(lunaris(), QStringLiteral("E:"));
}

TEST_F(WinePrefixTest, NoIniFileGivesNull) {
    EXPECT_EQ(korvex(), QStringLiteral("<null>"));
    EXPECT_EQ(lunaris(), QStringLiteral("<null>"));
}

TEST_F(WinePrefixTest, OtherKeysGetNoSeparatorAndLongValuesAreCut) {
    writeIni(QStringLiteral("windows/Halvane/halv.ini"),
             "[Korvex]\nVersion=1.2\nDirectory=" + QByteArray(400, 'x') + "\n");
    EXPECT_EQ(korvex("Version"), QStringLiteral("1.2"));
    // 259 characters fit the buffer; the separator takes the spare place.
    EXPECT_EQ(korvex().size(), 260);
    EXPECT_TRUE(korvex().endsWith(QLatin1Char('\\')));
}

TEST_F(WinePrefixTest, DrivePathsMapThroughDosdevices) {
    QDir(m_folder.Path()).mkpath(QStringLiteral("games/Korvex/KVDATAB/Resson"));
    QDir(m_folder.Path()).mkpath(QStringLiteral("dosdevices"));
    QFile::link(m_folder.FilePath(QStringLiteral("games")),
                m_folder.FilePath(QStringLiteral("dosdevices/d:")));
    EXPECT_EQ(CWinePrefix::ToHostPath(QStringLiteral("D:\\Korvex\\kvdatab\\resson\\")),
              QFileInfo(m_folder.FilePath(QStringLiteral("games"))).canonicalFilePath() +
                  QStringLiteral("/Korvex/KVDATAB/Resson/"));
    EXPECT_EQ(CWinePrefix::ToHostPath(QStringLiteral("Q:\\nowhere")), QString());
    EXPECT_EQ(CWinePrefix::ToHostPath(QStringLiteral("/home/x")), QStringLiteral("/home/x"));
}

TEST(AppendPathSeparator, KeepsDrivesAndExistingSeparators) {
    const char* cases[][2] = {{"D:\\Games\\Korvex", "D:\\Games\\Korvex\\"},
                              {"D:\\Games\\Korvex\\", "D:\\Games\\Korvex\\"},
                              {"D:/Games/", "D:/Games/"},
                              {"D:", "D:"},
                              {"", ""}};
    for (const auto& c : cases) {
        char buffer[32];
        qstrncpy(buffer, c[0], sizeof buffer);
        AppendPathSeparator(buffer);
        EXPECT_STREQ(buffer, c[1]) << c[0];
    }
}

TEST(PrivateProfile, FirstSectionAndKeyWinAndMissingGivesTheDefault) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("a.ini"),
                                      "; comment\n[A]\nk=1\nK=2\n[a]\nk=3\n[B]\nx='quoted'\n");
    QString value;
    EXPECT_EQ(CPrivateProfile::GetString(QStringLiteral("a"), QStringLiteral("K"), QString(), value,
                                         260, path),
              1);
    EXPECT_EQ(value, QStringLiteral("1"));
    CPrivateProfile::GetString(QStringLiteral("B"), QStringLiteral("x"), QString(), value, 260,
                               path);
    EXPECT_EQ(value, QStringLiteral("quoted"));
    EXPECT_EQ(CPrivateProfile::GetString(QStringLiteral("B"), QStringLiteral("y"),
                                         QStringLiteral("dflt"), value, 3, path),
              2);
    EXPECT_EQ(value, QStringLiteral("df"));
}
