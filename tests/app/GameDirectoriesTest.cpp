#include "QtPrinters.h"
#include "TestFolder.h"

#include "app/CKantelApp.h"
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

TEST_F(WinePrefixTest, EachGameKeepsItsOwnResult) {
    writeIni(QStringLiteral("windows/Halvane/halv.ini"),
             "[Korvex]\nDirectory=D:\\K\n[Lun]\nDIRECTORY=D:\\L\n");
    // The functions' own buffers: reading Lunaris leaves Korvex's result.
    const char* korvexValue = ReadKorvexSetting("directory", nullptr);
    const char* lunarisValue = ReadLunarisSetting("Directory", nullptr);
    ASSERT_NE(korvexValue, nullptr);
    ASSERT_NE(lunarisValue, nullptr);
    EXPECT_STREQ(korvexValue, "D:\\K\\");
    EXPECT_STREQ(lunarisValue, "D:\\L\\");
}

TEST_F(WinePrefixTest, ValuesAtTheBufferBoundary) {
    // 258 characters and the separator fit; 259 fit and the separator takes
    // the spare place; one more is cut first.
    for (const int length : {258, 259, 260}) {
        writeIni(QStringLiteral("windows/Halvane/halv.ini"),
                 "[Korvex]\nDirectory=" + QByteArray(length, 'd') + "\n");
        const QString value = korvex();
        EXPECT_EQ(value, QString(std::min(length, 259), QLatin1Char('d')) + QLatin1Char('\\'))
            << length;
    }
}

TEST_F(WinePrefixTest, IniFilesWithAnEncodingMarkAreRead) {
    // Saved by an editor that marks UTF-8: the mark is not part of "[Korvex]".
    writeIni(QStringLiteral("windows/Halvane/halv.ini"),
             "\xEF\xBB\xBF[Korvex]\r\nDirectory=D:\\K\r\n");
    EXPECT_EQ(korvex(), QStringLiteral("D:\\K\\"));
    // Windows' own "Unicode" ini files are UTF-16 with a mark.
    QByteArray utf16("\xFF\xFE", 2);
    for (const QChar c : QStringLiteral("[Lun]\r\nDirectory=E:\\L\r\n")) {
        utf16.append(static_cast<char>(c.unicode() & 0xFF));
        utf16.append(static_cast<char>(c.unicode() >> 8));
    }
    writeIni(QStringLiteral("windows/Halvane/halv.ini"), utf16);
    EXPECT_EQ(lunaris(), QStringLiteral("E:\\L\\"));
}

TEST_F(WinePrefixTest, DefaultPathFollowsTheGameAndKeepsTheWindowsForm) {
    const struct {
        QByteArray directory;
        const char* korvex;
        const char* lunaris;
    } cases[] = {
        {"D:\\Games\\Korvex", "D:\\Games\\Korvex\\kvdatab\\resson\\", "datab\\resson\\"},
        {"E:", "E:kvdatab\\resson\\", "datab\\resson\\"},
        {"D:/Games/", "D:/Games/kvdatab\\resson\\", "datab\\resson\\"},
    };
    for (const auto& c : cases) {
        writeIni(QStringLiteral("windows/Halvane/halv.ini"),
                 "[Korvex]\nDirectory=" + c.directory + "\n");
        // What start-up does with the two values.
        CKantelApp app;
        if (const char* value = ReadKorvexSetting("Directory", nullptr)) {
            app.m_bHaveGameDir = 1;
            app.m_strKorvexPath = QString::fromLatin1(value);
        }
        if (const char* value = ReadLunarisSetting("Directory", nullptr)) {
            app.m_bHaveGameDir = 1;
            app.m_strLunarisPath = QString::fromLatin1(value);
        }
        EXPECT_EQ(app.GetDefaultPath(), QString::fromLatin1(c.korvex)) << c.directory.constData();
        app.OnGameLunaris();
        EXPECT_EQ(app.GetDefaultPath(), QString::fromLatin1(c.lunaris));
    }
    QFile::remove(m_folder.FilePath(QStringLiteral("drive_c/windows/Halvane/halv.ini")));
    CKantelApp app;
    EXPECT_EQ(ReadKorvexSetting("Directory", nullptr), nullptr);
    EXPECT_EQ(app.GetDefaultPath(), QString());
    app.OnGameLunaris();
    EXPECT_EQ(app.GetDefaultPath(), QString());
}
