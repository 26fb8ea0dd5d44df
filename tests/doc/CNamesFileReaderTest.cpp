// The names-file reader on its own: a table or a reason, never a message box.
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CNamesFileReader.h"

#include "framework/core/CFile.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

CResult<NamesTable> readText(const TestFolder& folder, const QByteArray& text, int resources) {
    CFile file;
    if (!file.Open(folder.Write(QStringLiteral("Bnk_1.bns"), text), CFile::modeRead)) {
        return FormatError{FormatError::Kind::Unreadable, QStringLiteral("not opened")};
    }
    return CNamesFileReader::Read(file, resources);
}

TEST(NamesFileReaderClass, EntriesFillTablePositionsAndTheFirstOfAnIdAnswers) {
    RecordingPromptSink prompts;
    TestFolder folder;
    CResult<NamesTable> read = readText(folder,
                                        "[head]\r\nx\r\n[Body Res]\r\n"
                                        "7 \"Engine\" \"loud\"\r\n"
                                        "9\r\n"
                                        "7 \"Second\" \"ignored\"\r\n"
                                        "8 \"Past the table\"\r\n",
                                        3);
    ASSERT_TRUE(read);
    const NamesTable& table = read.Value();
    ASSERT_NE(table.names, nullptr);
    EXPECT_EQ(table.count, 3);
    EXPECT_EQ(table.names[0].name, QStringLiteral("Engine"));
    EXPECT_EQ(table.names[0].description, QStringLiteral("loud"));
    EXPECT_EQ(table.names[1].name, QStringLiteral("noname1"));
    EXPECT_EQ(table.firstOfId.value(7), 0);
    EXPECT_EQ(table.firstOfId.value(9), 1);
    EXPECT_FALSE(table.firstOfId.contains(8));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

// Entries that repeat a description share its text; each must still get its
// own, cut where a description is cut.
TEST(NamesFileReaderClass, RepeatedAndChangingDescriptionsEachReadAsWritten) {
    TestFolder folder;
    const QByteArray longer(300, 'd');
    CResult<NamesTable> read = readText(folder,
                                        "[body res]\n"
                                        "1\t\"A\" \"same\"\n"
                                        "2 \"B\" \"same\"\n"
                                        "3 \"C\" \"\"\n"
                                        "4 \"D\" \"same\"\n"
                                        "5 \"E\" \"" +
                                            longer + "\"\n6 \"F\" \"" + longer + "x\"\n7 \"G\"\n",
                                        7);
    ASSERT_TRUE(read);
    const NamesTable& table = read.Value();
    ASSERT_NE(table.names, nullptr);
    const QString expected[] = {QStringLiteral("same"),
                                QStringLiteral("same"),
                                QString(),
                                QStringLiteral("same"),
                                QString(CNamesFileReader::kMaxDescription, QLatin1Char('d')),
                                QString(CNamesFileReader::kMaxDescription, QLatin1Char('d')),
                                QString()};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(table.names[i].description, expected[i]) << i;
    }
    EXPECT_EQ(table.names[0].name, QStringLiteral("A"));
    EXPECT_EQ(table.firstOfId.value(7), 6);
}

TEST(NamesFileReaderClass, NoBodyNamesNothingAndNoResourcesIsAQuietRefusal) {
    TestFolder folder;
    CResult<NamesTable> noBody = readText(folder, "7 \"Engine\"\n", 3);
    ASSERT_TRUE(noBody);
    EXPECT_EQ(noBody.Value().names, nullptr);

    CResult<NamesTable> noResources = readText(folder, "[body res]\n7 \"Engine\"\n", 0);
    ASSERT_FALSE(noResources);
    EXPECT_TRUE(noResources.Error().text.isEmpty());
}

TEST(NamesFileReaderClass, BesideTheBankOnlyAFileThatCannotBeOneIsWorthAWord) {
    RecordingPromptSink prompts;
    TestFolder folder;
    const QString bank = folder.FilePath(QStringLiteral("Bnk_1.bnm"));

    CResult<NamesTable> missing = CNamesFileReader::ReadBeside(bank, 3);
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.Error().text.isEmpty());

    const QString names = folder.FilePath(QStringLiteral("Bnk_1.bns"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(names).constData(), 0600), 0);
    CResult<NamesTable> fifo = CNamesFileReader::ReadBeside(bank, 3);
    ASSERT_FALSE(fifo);
    EXPECT_EQ(fifo.Error().kind, FormatError::Kind::NotAllowed);
    EXPECT_TRUE(fifo.Error().text.contains(names)) << fifo.Error().text.toStdString();
    folder.Remove(QStringLiteral("Bnk_1.bns"));

    {
        QFile huge(names);
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(CNamesFileReader::kMaxNamesFile + 1));
    }
    CResult<NamesTable> large = CNamesFileReader::ReadBeside(bank, 3);
    ASSERT_FALSE(large);
    EXPECT_EQ(large.Error().text,
              QStringLiteral("%1 holds 67108865 bytes, too many for a names file.").arg(names));

    folder.Write(QStringLiteral("Bnk_1.bns"), "[body res]\n3 \"Horn\"\n");
    CResult<NamesTable> good = CNamesFileReader::ReadBeside(bank, 3);
    ASSERT_TRUE(good);
    EXPECT_EQ(good.Value().names[0].name, QStringLiteral("Horn"));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

} // namespace
