#include "BankBuilder.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "TestFolder.h"

#include "doc/CKantelDoc.h"
#include "format/CNamesFileLines.h"
#include "format/CNamesFileReader.h"

#include "framework/core/CFile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <array>

#include <climits>
#include <vector>

#include <sys/stat.h>

namespace {

struct Entry {
    int id;
    QString name;
    QString description;
};

struct NamesCase {
    const char* label;
    QByteArray text;
    int resources;
    // nullopt: no "[body res]" section, so no entries at all. Otherwise the
    // entries from position 0 on; every later position stays unfilled.
    std::optional<std::vector<Entry>> entries;
};

QByteArray withZero(const char* before, const char* after) {
    return QByteArray(before) + '\0' + QByteArray(after);
}

const QString kLongName = QStringLiteral("N").repeated(40);
const QString kLongDescription = QStringLiteral("D").repeated(300);

std::vector<NamesCase> cases() {
    return {
        {"FullLine", "[body res]\n7 \"Horn\" \"Car horn\"\n", 1, {{{7, "Horn", "Car horn"}}}},
        {"NoDescription", "[body res]\n7 \"Horn\"\n", 1, {{{7, "Horn", ""}}}},
        {"IdAloneIsNonameWithItsPosition",
         "[body res]\n1 \"a\" \"b\"\n2 \"c\" \"d\"\n3 \"e\" \"f\"\n7\n",
         4,
         {{{1, "a", "b"}, {2, "c", "d"}, {3, "e", "f"}, {7, "noname3", ""}}}},
        {"LineOfBlanksHasIdMinusOneAndUsesAPosition",
         "[body res]\n  \t \n5 \"Five\" \"\"\n",
         2,
         {{{-1, "", ""}, {5, "Five", ""}}}},
        {"TwoBlanksMakeTheNameABlank",
         "[body res]\n7  \"Horn\" \"Car horn\"\n",
         1,
         {{{7, " ", " "}}}},
        {"EmptyQuotedNameIsSkippedAsDelimiters",
         "[body res]\n7 \"\" \"Horn\"\n",
         1,
         {{{7, " ", ""}}}},
        {"TabSeparates", "[body res]\n7\t\"Horn\"\t\"Car\"\n", 1, {{{7, "Horn", "Car"}}}},
        {"AnySeparatorBetweenTheQuotedStrings",
         "[body res]\n7 \"Horn\" -- \"Car\" tail\n",
         1,
         {{{7, "Horn", "Car"}}}},
        {"SectionHeaderIgnoresCase", "[BODY RES]\n7 \"Horn\" \"\"\n", 1, {{{7, "Horn", ""}}}},
        {"SectionHeaderWithALeadingBlankIsNone", " [body res]\n7 \"Horn\" \"\"\n", 1, std::nullopt},
        {"SectionHeaderWithATrailingBlankIsNone", "[body res] \n7 \"Horn\" \"\"\n", 1,
         std::nullopt},
        {"NoSection", "1 \"a\" \"b\"\n", 1, std::nullopt},
        {"EmptyFile", "", 1, std::nullopt},
        {"LinesBeforeTheSectionAreSkipped",
         "; comment\r\n[head]\r\n1 \"Not\" \"this\"\r\n[body res]\r\n2 \"Two\" \"x\"\r\n",
         1,
         {{{2, "Two", "x"}}}},
        {"LeadingEmptyLine", "\r\n[body res]\r\n2 \"Two\" \"\"\r\n", 1, {{{2, "Two", ""}}}},
        {"BlankLinesDoNotUsePositions",
         "[body res]\r\n1 \"a\" \"\"\r\n\r\n\n\r\r2 \"b\" \"\"\r\n",
         2,
         {{{1, "a", ""}, {2, "b", ""}}}},
        {"CarriageReturnsAloneEndLines",
         "[body res]\r1 \"a\" \"\"\r2 \"b\" \"\"",
         2,
         {{{1, "a", ""}, {2, "b", ""}}}},
        {"LaterSectionIsAnEntry",
         "[body res]\n1 \"a\" \"\"\n[other]\n",
         2,
         {{{1, "a", ""}, {0, "noname1", ""}}}},
        {"LinesBeyondTheResourceCountAreIgnored",
         "[body res]\n1 \"a\" \"\"\n2 \"b\" \"\"\n3 \"c\" \"\"\n",
         2,
         {{{1, "a", ""}, {2, "b", ""}}}},
        {"FewerLinesThanResourcesLeaveTheRestUnfilled",
         "[body res]\n1 \"a\" \"\"\n",
         3,
         {{{1, "a", ""}}}},
        {"SectionAtTheEndFillsNothing", "[body res]\n", 2, {{}}},
        {"ZeroByteEndsTheText",
         withZero("[body res]\n1 \"a\" \"\"\n", "2 \"b\" \"\"\n"),
         2,
         {{{1, "a", ""}}}},
        {"ZeroByteBeforeTheSection", withZero("x\n", "[body res]\n1 \"a\" \"\"\n"), 1,
         std::nullopt},
        {"IdsAreReadLikeAtoi",
         "[body res]\n-3 \"m\"\n+4 \"p\"\n12abc \"j\"\nabc \"z\"\n99999999999 \"big\"\n",
         5,
         {{{-3, "m", ""}, {4, "p", ""}, {12, "j", ""}, {0, "z", ""}, {INT_MAX, "big", ""}}}},
        {"UnquotedNameRunsToTheNextQuote",
         "[body res]\n7 Horn \"x\" \"y\"\n",
         1,
         {{{7, "Horn ", " "}}}},
        {"NamesAndDescriptionsAreCutToTheirLimits",
         "[body res]\n1 \"" + kLongName.toLatin1() + "\" \"" + kLongDescription.toLatin1() + "\"\n",
         1,
         {{{1, kLongName.left(31), kLongDescription.left(255)}}}},
        {"LongLineIsCutAndTheRestDropped",
         "[body res]\n1 \"a\" \"" + QByteArray(1100, 'd') + "\"\n2 \"b\" \"\"\n",
         2,
         {{{1, "a", QString(255, QLatin1Char('d'))}, {2, "b", ""}}}},
        {"DescriptionPastTheLineLimitIsLost",
         "[body res]\n1 \"a\"" + QByteArray(1030, ' ') + "\"late\"\n",
         1,
         {{{1, "a", ""}}}},
        {"LatinOneTextIsKept",
         "[body res]\n1 \"H\xf6rn\" \"Gr\xfc\xdf\"\n",
         1,
         {{{1, QStringLiteral("H\u00f6rn"), QStringLiteral("Gr\u00fc\u00df")}}}},
    };
}

class NamesFile : public ::testing::TestWithParam<NamesCase> {};

} // namespace

TEST_P(NamesFile, Parses) {
    const NamesCase& c = GetParam();
    TestFolder folder;
    BankBuilder b;
    for (int i = 0; i < c.resources; ++i) {
        b.AddResource(1000 + i, SoundResource::kTypeCdAudio);
    }
    folder.Write(QStringLiteral("Bnk_1.bns"), c.text);
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build())));
    EXPECT_TRUE(prompts.prompts.isEmpty());
    EXPECT_TRUE(doc.m_bNamesLoaded);
    if (!c.entries) {
        EXPECT_EQ(doc.m_pNames, nullptr);
        return;
    }
    ASSERT_NE(doc.m_pNames, nullptr);
    const std::vector<Entry>& expected = *c.entries;
    for (int i = 0; i < c.resources; ++i) {
        SCOPED_TRACE(i);
        const ResourceName& entry = doc.m_pNames[static_cast<size_t>(i)];
        if (i < static_cast<int>(expected.size())) {
            EXPECT_TRUE(entry.hasId);
            EXPECT_EQ(entry.id, expected[static_cast<size_t>(i)].id);
            EXPECT_EQ(entry.name, expected[static_cast<size_t>(i)].name);
            EXPECT_EQ(entry.description, expected[static_cast<size_t>(i)].description);
        } else {
            EXPECT_FALSE(entry.hasId);
            EXPECT_TRUE(entry.name.isEmpty());
            EXPECT_TRUE(entry.description.isEmpty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, NamesFile, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<NamesCase>& info) {
                             return std::string(info.param.label);
                         });

TEST(NamesFileBank, BankWithoutResourcesNeverReadsItsNamesFile) {
    TestFolder folder;
    folder.Write(QStringLiteral("Bnk_1.bns"), "[body res]\n1 \"a\" \"b\"\n");
    BankBuilder b;
    b.gapAfterTables = 4;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build())));
    EXPECT_FALSE(doc.m_bNamesLoaded);
    EXPECT_EQ(doc.m_pNames, nullptr);
}

TEST(NamesFileBank, NamesFileThatIsAFolderIsNoNamesFile) {
    TestFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("Bnk_1.bns")));
    BankBuilder b;
    b.AddResource(1, SoundResource::kTypeCdAudio);
    RecordingPromptSink prompts;
    CKantelDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(folder.Write(QStringLiteral("Bnk_1.bnm"), b.Build())));
    EXPECT_FALSE(doc.m_bNamesLoaded);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

// Read through buffers of one byte, three bytes and the default size, so line
// ends and long lines fall on every boundary.
TEST(NamesFileLines, RunsOfLineEndsAreSkippedAsOneWhateverTheBuffer) {
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("n.bns"),
                                      QByteArray("\r\nfirst\r\n\r\n\nsecond\rlonger line\nthird"));
    for (const qsizetype size : {qsizetype{1}, qsizetype{3}, qsizetype{1} << 16}) {
        CFile file;
        ASSERT_TRUE(file.Open(path, CFile::modeRead));
        CNamesFileLines lines(file, size);
        QByteArray line;
        QStringList read;
        while (lines.Next(line, 6)) {
            read << QString::fromLatin1(line);
        }
        EXPECT_EQ(read, (QStringList{QString(), QStringLiteral("first"), QStringLiteral("second"),
                                     QStringLiteral("longer"), QStringLiteral("third")}))
            << size;
        EXPECT_FALSE(lines.Next(line, 6));
    }
    CFile empty;
    ASSERT_TRUE(empty.Open(folder.Write(QStringLiteral("e.bns"), QByteArray()), CFile::modeRead));
    QByteArray line;
    EXPECT_FALSE(CNamesFileLines(empty).Next(line, 10));
}

// Lines of every length up to three words of eight bytes, with a tab and
// Latin-1 bytes in them and each kind of line end, so that every end falls
// at every place of a word; the text stops at a zero byte inside a word.
TEST(NamesFileLines, LineEndsAreFoundAtEveryPlaceOfAWord) {
    const QByteArray text = QByteArrayLiteral("ab\tc\xE9\x8D\x7F defghijklmnopqrstuvw");
    const std::array<QByteArray, 3> ends = {"\r\n", "\n", "\r"};
    QByteArray file;
    QList<QByteArray> expected;
    for (qsizetype length = 1; length <= text.size(); ++length) {
        file += text.left(length) + ends[static_cast<size_t>(length) % ends.size()];
        expected.append(text.left(length));
    }
    file += QByteArrayLiteral("after\0hidden\nlines");
    expected.append(QByteArrayLiteral("after"));
    TestFolder folder;
    const QString path = folder.Write(QStringLiteral("n.bns"), file);
    for (const qsizetype size : {qsizetype{7}, qsizetype{1} << 16}) {
        CFile names;
        ASSERT_TRUE(names.Open(path, CFile::modeRead));
        CNamesFileLines lines(names, size);
        QByteArray line;
        QList<QByteArray> read;
        while (lines.Next(line, 100)) {
            read.append(line);
        }
        EXPECT_EQ(read, expected) << size;
    }
}

// --- The names-file reader on its own: a table or a reason, never a message box ---

namespace {

CResult<NamesTable> readText(const TestFolder& folder, const QByteArray& text, int resources,
                             NamesTable::Strings strings = NamesTable::Strings::Owned) {
    CFile file;
    if (!file.Open(folder.Write(QStringLiteral("Bnk_1.bns"), text), CFile::modeRead)) {
        return FormatError{FormatError::Kind::Unreadable, QStringLiteral("not opened")};
    }
    return CNamesFileReader::Read(file, resources, strings);
}

// A table read only to be looked at lets its strings borrow one buffer of
// its own: its entries must be those of a table of owned strings, empty and
// null strings alike, and stay so when the table is moved.
TEST(NamesFileReaderClass, BorrowedStringsAreTheOwnedOnes) {
    TestFolder folder;
    for (const NamesCase& c : cases()) {
        SCOPED_TRACE(c.label);
        CResult<NamesTable> owned = readText(folder, c.text, c.resources);
        CResult<NamesTable> read =
            readText(folder, c.text, c.resources, NamesTable::Strings::Borrowed);
        ASSERT_TRUE(owned);
        ASSERT_TRUE(read);
        const NamesTable borrowed = std::move(read.Value());
        ASSERT_EQ(borrowed.count, owned.Value().count);
        ASSERT_EQ(borrowed.names == nullptr, owned.Value().names == nullptr);
        for (int i = 0; i < c.resources && borrowed.names != nullptr; ++i) {
            const ResourceName& mine = borrowed.names[static_cast<size_t>(i)];
            const ResourceName& theirs = owned.Value().names[static_cast<size_t>(i)];
            EXPECT_EQ(mine.hasId, theirs.hasId) << i;
            EXPECT_EQ(mine.id, theirs.id) << i;
            EXPECT_EQ(mine.name, theirs.name) << i;
            EXPECT_EQ(mine.description, theirs.description) << i;
            EXPECT_EQ(mine.name.isNull(), theirs.name.isNull()) << i;
            EXPECT_EQ(mine.description.isNull(), theirs.description.isNull()) << i;
        }
    }
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
    EXPECT_EQ(table.firstOfId.Find(7), 0);
    EXPECT_EQ(table.firstOfId.Find(9), 1);
    EXPECT_EQ(table.firstOfId.Find(8), -1);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

// Ids far from the rest, and lines of only blanks (id -1), are found as
// the first entry of their id like any other.
TEST(NamesFileReaderClass, FarAndBlankIdsAnswerLikeNearOnes) {
    TestFolder folder;
    CResult<NamesTable> read = readText(folder,
                                        "[body res]\n2 \"Near\"\n5000000 \"Far\"\n \t\n"
                                        "5000000 \"Again\"\n-7 \"Minus\"\n\t\n",
                                        6);
    ASSERT_TRUE(read);
    const CNameIdIndex& index = read.Value().firstOfId;
    EXPECT_EQ(index.Find(2), 0);
    EXPECT_EQ(index.Find(5000000), 1);
    EXPECT_EQ(index.Find(-1), 2);
    EXPECT_EQ(index.Find(-7), 4);
    EXPECT_EQ(index.Find(0), -1);
    EXPECT_EQ(index.Find(3), -1);
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
    EXPECT_EQ(table.firstOfId.Find(7), 6);
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
