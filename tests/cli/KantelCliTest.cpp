#include "BankBuilder.h"
#include "QtPrinters.h"
#include "SoundTools.h"
#include "TestFolder.h"
#include "TestMount.h"

#include "cli/CCliPromptSink.h"
#include "cli/CKantelCli.h"
#include "cli/CTerminalProgress.h"
#include "format/CBnmFormat.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include <sys/stat.h>

namespace {

struct CliRun {
    int exitCode;
    QString out;
    QString err;
    QStringList OutLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    QStringList ErrLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

// Runs the real kantel-cli, so that what reaches standard output and error
// is exactly what a shell sees.
CliRun cli(const QStringList& arguments, const std::optional<QByteArray>& input = std::nullopt) {
    QProcess process;
    if (!input) {
        // Nothing waits on standard input: a command reading it sees its end.
        process.setStandardInputFile(QProcess::nullDevice());
    }
    process.start(QStringLiteral(KANTEL_CLI_PATH), arguments);
    if (input) {
        process.write(*input);
        process.closeWriteChannel();
    }
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "kantel-cli did not finish normally";
        return {-1, QString(), QString()};
    }
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

constexpr qsizetype kSampleDataAt = 20;
constexpr qsizetype kFileLengthAt = 32;

} // namespace

// --- header -------------------------------------------------------------------

TEST(CliHeader, PrintsTheLabelledFigures) {
    TestFolder folder;
    BankBuilder b;
    b.bank = 1;
    b.AddEvent(1, SoundEvent::kTypePlay);
    b.AddEvent(2, SoundEvent::kTypePlay);
    b.AddCdTrack(3, 2);
    QByteArray bank = b.Build();
    BankBuilder::Put32(bank, kFileLengthAt, 4000);
    const CliRun run =
        cli({QStringLiteral("header"), folder.Write(QStringLiteral("Bnk_1.bnm"), bank)});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, QString());
    EXPECT_EQ(run.OutLines(), (QStringList{
                                  QStringLiteral("File length: 0x00000fa0"),
                                  QStringLiteral("Sample data offset: 0x00000240"),
                                  QStringLiteral("Sound Events Count: 2"),
                                  QStringLiteral("Sound Events Table offset: 0x00000024"),
                                  QStringLiteral("Sound Resources Count: 1"),
                                  QStringLiteral("Sound Resources Table offset: 0x000001e4"),
                                  QStringLiteral("Bank number: 1"),
                              }));
}

TEST(CliHeader, JsonHasTheSameFigures) {
    TestFolder folder;
    BankBuilder b;
    b.AddCdTrack(3, 2);
    const CliRun run =
        cli({QStringLiteral("header"), folder.Write(QStringLiteral("x.bnm"), b.Build()),
             QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << qPrintable(run.out);
    const QJsonObject o = json.object();
    EXPECT_EQ(o.size(), 7);
    EXPECT_EQ(o.value(QStringLiteral("File length")).toString(), QStringLiteral("0x00000080"));
    EXPECT_EQ(o.value(QStringLiteral("Sound Resources Count")).toString(), QStringLiteral("1"));
    EXPECT_EQ(o.value(QStringLiteral("Bank number")).toString(), QStringLiteral("-1"));
}

TEST(CliHeader, TruncatedFileIsOneErrorLineAndExitOne) {
    TestFolder folder;
    const CliRun run = cli({QStringLiteral("header"),
                            folder.Write(QStringLiteral("Bnk_1.bnm"), QByteArray(36, '\0'))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QString());
    // The reader's words name no file: the bank is put in front of them.
    EXPECT_EQ(run.err, QStringLiteral("error: %1: File is truncated\n")
                           .arg(folder.FilePath(QStringLiteral("Bnk_1.bnm"))));
}

TEST(CliHeader, FileThatCannotBeReadIsNamedOnOneLine) {
    TestFolder folder;
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("dir.bnm")));
    for (const QString& path :
         {folder.FilePath(QStringLiteral("none.bnm")), folder.FilePath(QStringLiteral("dir.bnm")),
          folder.Write(QStringLiteral("empty.bnm"), QByteArray())}) {
        const CliRun run = cli({QStringLiteral("header"), path});
        EXPECT_EQ(run.exitCode, 1) << qPrintable(path);
        ASSERT_EQ(run.ErrLines().size(), 1) << qPrintable(run.err);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("error: ")));
        EXPECT_TRUE(run.err.contains(path));
    }
}

// --- usage ----------------------------------------------------------------------

TEST(CliUsage, MistakesExitWithTwo) {
    const QString bank = QStringLiteral("/nonexistent/Bnk_1.bnm");
    const QList<QStringList> mistakes = {
        {},
        {QStringLiteral("header")},
        {QStringLiteral("frobnicate"), bank},
        {QStringLiteral("header"), bank, bank},
        {QStringLiteral("extract"), bank, QStringLiteral("--json")},
        {QStringLiteral("header"), bank, QStringLiteral("-o"), QStringLiteral("x")},
        {QStringLiteral("events"), bank, QStringLiteral("--all-banked")},
        {QStringLiteral("save"), bank, QStringLiteral("--all-banked"),
         QStringLiteral("--all-external")},
        {QStringLiteral("header"), bank, QStringLiteral("--no-such-option")},
        {QStringLiteral("save"), bank, QStringLiteral("-o")},
        {QStringLiteral("export"), bank},
        {QStringLiteral("export"), bank, bank, QStringLiteral("--json")},
        {QStringLiteral("export"), bank, bank, QStringLiteral("--resource")},
        {QStringLiteral("save"), bank, QStringLiteral("--force")},
        {QStringLiteral("header"), bank, QStringLiteral("--resource"), QStringLiteral("1")},
        {QStringLiteral("check")},
        {QStringLiteral("check"), bank, QStringLiteral("--records")},
        {QStringLiteral("resources"), bank, QStringLiteral("--json"), QStringLiteral("--records")},
        {QStringLiteral("extract"), QStringLiteral("-")},
        {QStringLiteral("export"), QStringLiteral("-"), bank},
        {QStringLiteral("save"), bank, QStringLiteral("--quiet"), QStringLiteral("--verbose")},
        {QStringLiteral("header"), bank, QStringLiteral("--verbose")},
        {QStringLiteral("check"), bank, QStringLiteral("--verbose")},
        {QStringLiteral("diff"), bank},
        {QStringLiteral("diff"), bank, QStringLiteral("-")},
        {QStringLiteral("diff"), bank, bank, QStringLiteral("--records")},
    };
    // In-process: the same parser as the binary's, without a process per case.
    for (const QStringList& arguments : mistakes) {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int code = CKantelCli::Run(QStringList{QStringLiteral("kantel-cli")} + arguments,
                                         outStream, errStream);
        outStream.flush();
        errStream.flush();
        EXPECT_EQ(code, CKantelCli::UsageError) << qPrintable(arguments.join(QLatin1Char(' ')));
        EXPECT_FALSE(err.isEmpty());
        EXPECT_EQ(out, QString());
    }
    // And once through the binary.
    EXPECT_EQ(cli({}).exitCode, 2);
}

TEST(CliUsage, HelpAndVersion) {
    const CliRun help = cli({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(
        help.out.contains(QStringLiteral("save BANK [-o OUT] [--all-external | --all-banked]")));
    EXPECT_TRUE(
        help.out.contains(QStringLiteral("export BANK DIR [--resource RESOURCE] [--force]")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("--resource <resource>")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("--force")));
    const CliRun version = cli({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("kantel-cli " KANTEL_VERSION "\n"));
}

// --- the demo bank through every command ------------------------------------------

class CliDemo : public ::testing::Test {
protected:
    void SetUp() override {
        // The folder does not exist yet: demo makes it.
        dir = folder.FilePath(QStringLiteral("d"));
        const CliRun run = cli({QStringLiteral("demo"), dir});
        ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
        bank = dir + QStringLiteral("/Bnk_1.bnm");
        ASSERT_EQ(run.out, bank + QLatin1Char('\n'));
    }
    QByteArray Bank() const { return folder.Read(QStringLiteral("d/Bnk_1.bnm")); }
    QStringList Files() const { return QDir(dir).entryList(QDir::Files, QDir::Name); }

    TestFolder folder;
    QString dir;
    QString bank;
};

// The demo writes as a save does: a disk that fills up leaves no part of it.
TEST(CliDemoWrite, AFullDiskLeavesNothingAndSaysSo) {
    TestFolder folder;
    const QString dir = folder.FilePath(QStringLiteral("small"));
    ASSERT_TRUE(QDir().mkpath(dir));
    const std::unique_ptr<TestMount> mount = TestMount::Tmpfs(dir, 64);
    if (!mount) {
        GTEST_SKIP() << "mounting a tmpfs needs root";
    }
    const CliRun run = cli({QStringLiteral("demo"), dir});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("error: Disk full while accessing %1/").arg(dir)))
        << qPrintable(run.err);
    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_F(CliDemo, ResourcesListTheBankWithoutTouchingTheFolder) {
    const QStringList before = Files();
    const CliRun run = cli({QStringLiteral("resources"), bank});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.err, QString());
    const QStringList lines = run.OutLines();
    ASSERT_EQ(lines.size(), 1 + 14);
    EXPECT_EQ(lines[0].split(QLatin1Char('\t')).size(), 19);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Name\tIndex\tResource ID\tType\tStorage\t")));
    const QStringList engine = lines[1].split(QLatin1Char('\t'));
    ASSERT_EQ(engine.size(), 19);
    EXPECT_EQ(engine[0], QStringLiteral("EngineIdle"));
    EXPECT_EQ(engine[3], QStringLiteral("Sample"));
    EXPECT_EQ(engine[4], QStringLiteral("Bank"));
    EXPECT_EQ(engine[5], QStringLiteral("engidle.wav"));
    const QStringList cd = lines[13].split(QLatin1Char('\t'));
    EXPECT_EQ(cd[3], QStringLiteral("CD Audio"));
    EXPECT_EQ(cd[18], QStringLiteral("2"));
    EXPECT_EQ(Files(), before);
}

TEST_F(CliDemo, LookingAtABankWithTroublesWarnsOnceEachAndStillLists) {
    // A resource count the region cannot hold, and a FIFO for the names file:
    // both are told of, neither stops the listing, and nothing is written.
    QByteArray bytes = Bank();
    BankBuilder::Put32(bytes, 16, 100000);
    folder.Write(QStringLiteral("d/Bnk_1.bnm"), bytes);
    QFile::remove(dir + QStringLiteral("/Bnk_1.bns"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QStringLiteral("/Bnk_1.bns")).constData(), 0600), 0);
    const QStringList entries = QDir(dir).entryList(QDir::AllEntries | QDir::System, QDir::Name);
    const CliRun run = cli({QStringLiteral("resources"), bank});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QStringList errors = run.ErrLines();
    ASSERT_EQ(errors.size(), 2) << qPrintable(run.err);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("warning: "))) << qPrintable(errors[0]);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("sound resources")));
    EXPECT_TRUE(errors[1].startsWith(QStringLiteral("warning: "))) << qPrintable(errors[1]);
    EXPECT_TRUE(errors[1].endsWith(QStringLiteral("The bank is shown without names.")));
    const QStringList lines = run.OutLines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("\t0\t"))) << qPrintable(lines[1]);
    EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::System, QDir::Name), entries);
    EXPECT_EQ(Bank(), bytes);
}

TEST_F(CliDemo, JsonListsAreArraysOfObjectsKeyedByTheTitles) {
    const CliRun resources = cli({QStringLiteral("resources"), bank, QStringLiteral("--json")});
    ASSERT_EQ(resources.exitCode, 0);
    const QJsonArray rows = QJsonDocument::fromJson(resources.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 14);
    EXPECT_EQ(rows[0].toObject().size(), 19);
    EXPECT_EQ(rows[2].toObject().value(QStringLiteral("Description")).toString(),
              QStringLiteral("Car horn"));
    EXPECT_EQ(rows[0].toObject().value(QStringLiteral("Samples/sec")).toString(),
              QStringLiteral("22050"));

    const CliRun events = cli({QStringLiteral("events"), bank, QStringLiteral("--json")});
    ASSERT_EQ(events.exitCode, 0);
    const QJsonArray eventRows = QJsonDocument::fromJson(events.out.toUtf8()).array();
    ASSERT_EQ(eventRows.size(), 14);
    const QJsonObject pitch = eventRows[4].toObject();
    EXPECT_EQ(pitch.size(), 8);
    EXPECT_EQ(pitch.value(QStringLiteral("Type")).toString(), QStringLiteral("Pitch"));
    EXPECT_EQ(pitch.value(QStringLiteral("Param2")).toString(), QStringLiteral("1.500000"));
    EXPECT_EQ(pitch.value(QStringLiteral("Index")).toString(), QStringLiteral("     4"));
}

TEST_F(CliDemo, EventsAreTabSeparatedWithTitlesFirst) {
    const CliRun run = cli({QStringLiteral("events"), bank});
    ASSERT_EQ(run.exitCode, 0);
    const QStringList lines = run.out.split(QLatin1Char('\n'));
    EXPECT_EQ(lines[0],
              QStringLiteral("Index\tEvent ID\tType\tParam1\tParam2\tParam3\tStopable\tDynamic"));
    EXPECT_EQ(lines.size(), 1 + 14 + 1); // and a final line end
}

TEST_F(CliDemo, ExtractWritesTheBankedSamplesAndLeavesTheBank) {
    const QByteArray before = Bank();
    const CliRun run = cli({QStringLiteral("extract"), bank});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.err, QString());
    EXPECT_EQ(Bank(), before);
    for (const char* name : {"engidle.wav", "enghigh.wav", "Horn.wav", "skid.wav", "gear.wav",
                             "go.wav", "wind.wav", "siren.wav"}) {
        EXPECT_TRUE(Files().contains(QString::fromLatin1(name))) << name;
    }
}

// A script that asked for the wave files must hear that it did not get them.
TEST_F(CliDemo, ExtractThatCouldNotWriteEveryWaveExitsOne) {
    int blocked = 0;
    for (const char* name : {"engidle.wav", "enghigh.wav", "Horn.wav", "skid.wav"}) {
        const QString wave = QString::fromLatin1(name);
        if (!Files().contains(wave)) {
            ASSERT_TRUE(QDir(dir).mkdir(wave));
            ++blocked;
        }
    }
    ASSERT_GT(blocked, 1);
    const CliRun run = cli({QStringLiteral("extract"), bank});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.ErrLines().size(), 1) << qPrintable(run.err);
    const QString line = run.ErrLines().at(0);
    EXPECT_TRUE(line.startsWith(QStringLiteral("error: "))) << qPrintable(line);
    // Each sentence of the message stays one.
    EXPECT_TRUE(line.contains(QStringLiteral("was denied. Is a directory. "))) << qPrintable(line);
    EXPECT_TRUE(line.endsWith(QStringLiteral(" wave files were not written; the bank keeps "
                                             "their sample data.")))
        << qPrintable(line);
}

TEST_F(CliDemo, SaveAllBankedThenAllExternalLeavesTheHeaderRegion) {
    const CliRun banked = cli({QStringLiteral("save"), bank, QStringLiteral("--all-banked")});
    ASSERT_EQ(banked.exitCode, 0) << qPrintable(banked.err);
    EXPECT_EQ(banked.err, QString());
    QByteArray bytes = Bank();
    EXPECT_EQ(BankBuilder::Get32(bytes, kFileLengthAt), static_cast<quint32>(bytes.size()));
    const CliRun list = cli({QStringLiteral("resources"), bank});
    for (int row = 1; row <= 12; ++row) {
        EXPECT_EQ(list.OutLines()[row].split(QLatin1Char('\t'))[4], QStringLiteral("Bank")) << row;
    }

    const CliRun external = cli({QStringLiteral("save"), bank, QStringLiteral("--all-external")});
    ASSERT_EQ(external.exitCode, 0) << qPrintable(external.err);
    bytes = Bank();
    const quint32 region = BankBuilder::Get32(bytes, kSampleDataAt);
    EXPECT_EQ(BankBuilder::Get32(bytes, kFileLengthAt), region);
    EXPECT_EQ(bytes.size(), region);
}

TEST_F(CliDemo, SaveToAnotherFileKeepsTheBank) {
    const QByteArray before = Bank();
    const QString out = folder.FilePath(QStringLiteral("copy.bnm"));
    const CliRun run = cli({QStringLiteral("save"), bank, QStringLiteral("-o"), out});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(Bank(), before);
    // The demo's banked samples lie back to back and all have names but one,
    // which its names file names on opening: only that record differs.
    const QByteArray copy = folder.Read(QStringLiteral("copy.bnm"));
    ASSERT_EQ(copy.size(), before.size());
    qsizetype differing = 0;
    for (qsizetype i = 0; i < copy.size(); ++i) {
        differing += copy[i] != before[i] ? 1 : 0;
    }
    EXPECT_GT(differing, 0);
    EXPECT_LE(differing, 8);
}

TEST_F(CliDemo, FailedSaveIsOneErrorLineAndExitOne) {
    const QByteArray before = Bank();
    const CliRun run = cli({QStringLiteral("save"), bank, QStringLiteral("-o"),
                            folder.FilePath(QStringLiteral("no/such/dir.bnm"))});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(run.ErrLines().size(), 1) << qPrintable(run.err);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("error: ")));
    EXPECT_EQ(Bank(), before);
}

// A save or an import must never put the bank where one of the folder's banks
// keeps something, and a target it cannot save to is refused before the
// extraction and the conversion write anything.
TEST_F(CliDemo, OutputOntoAFileTheFoldersBanksUseIsRefusedBeforeAnyWork) {
    BankBuilder other;
    other.bank = 0;
    other.AddSample(1, QStringLiteral("other.wav"), BankBuilder::Pattern(100, 1), false);
    const QString sibling = folder.Write(QStringLiteral("d/Bnk_0.bnm"), other.Build());
    folder.Write(QStringLiteral("d/other.wav"), BankBuilder::Wave(BankBuilder::Pattern(100, 1)));
    const QString tone =
        folder.Write(QStringLiteral("ok.wav"), BankBuilder::Wave(BankBuilder::Pattern(2000, 2)));
    ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral("sub")));
    const auto contents = [&] {
        QStringList all;
        for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            all << name + QLatin1Char(' ') +
                       QString::number(qHash(folder.Read(QStringLiteral("d/") + name)));
        }
        return all;
    };
    const QStringList before = contents();
    struct Case {
        QString out;
        QString says;
    };
    const std::vector<Case> cases = {
        {dir + QStringLiteral("/crash.wav"), QStringLiteral("is a wave file that Bnk_1.bnm keeps "
                                                            "a sample's data in")},
        {dir + QStringLiteral("/CRASH.WAV"), QStringLiteral("Bnk_1.bnm keeps")},
        {dir + QStringLiteral("/skid.wav"), QStringLiteral("Bnk_1.bnm keeps")},
        {dir + QStringLiteral("/Bnk_1.bns"), QStringLiteral("is the names file of Bnk_1.bnm")},
        {sibling, QStringLiteral("is the bank Bnk_0.bnm")},
        {dir + QStringLiteral("/other.wav"), QStringLiteral("Bnk_0.bnm keeps")},
        {dir + QStringLiteral("/sub"), QStringLiteral("is a folder")},
        {folder.FilePath(QStringLiteral("missing/x.bnm")), QStringLiteral("does not exist")},
    };
    for (const Case& c : cases) {
        for (const QString& command : {QStringLiteral("save"), QStringLiteral("import")}) {
            SCOPED_TRACE(qPrintable(command + QLatin1Char(' ') + c.out));
            QStringList args{command, bank};
            if (command == QStringLiteral("import")) {
                args << QStringLiteral("0") << tone;
            }
            const CliRun run = cli(args << QStringLiteral("-o") << c.out);
            EXPECT_EQ(run.exitCode, 1);
            ASSERT_EQ(run.ErrLines().size(), 1) << qPrintable(run.err);
            EXPECT_TRUE(run.err.startsWith(QStringLiteral("error: ")));
            EXPECT_TRUE(run.err.contains(c.says)) << qPrintable(run.err);
            EXPECT_TRUE(run.err.contains(QStringLiteral("the bank is not saved there")));
            EXPECT_EQ(contents(), before);
        }
    }
    EXPECT_FALSE(QFileInfo::exists(folder.FilePath(QStringLiteral("missing"))));
    // The bank itself is saved as ever.
    EXPECT_EQ(cli({QStringLiteral("save"), bank, QStringLiteral("-o"), bank}).exitCode, 0);
}

// --- export ----------------------------------------------------------------------------

class CliExport : public CliDemo {
protected:
    void SetUp() override {
        CliDemo::SetUp();
        out = folder.FilePath(QStringLiteral("out"));
        ASSERT_TRUE(QDir().mkpath(out));
    }
    QString Out(const QString& name) const { return out + QLatin1Char('/') + name; }
    QStringList OutEntries() const {
        return QDir(out).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList BankEntries() const {
        return QDir(dir).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    QString out;
    // The demo's twelve samples in table order, by their names-file names.
    const QStringList names = {"EngineIdle", "EngineHigh", "Horn",  "Skid", "Crash", "Gear",
                               "Beep",       "Go",         "Turbo", "Wind", "Menu",  "Siren"};
};

TEST_F(CliExport, EverySampleGoesToTheFolderAndNothingBesideTheBank) {
    const QStringList before = BankEntries();
    const QByteArray bankBefore = Bank();
    const CliRun run = cli({QStringLiteral("export"), bank, out});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    // How many and where, for the person; --quiet keeps it back.
    EXPECT_EQ(run.err, QStringLiteral("info: 12 wave files written to %1\n").arg(out));
    EXPECT_EQ(cli({QStringLiteral("export"), bank, out, QStringLiteral("--force"),
                   QStringLiteral("--quiet")})
                  .err,
              QString());
    QStringList paths;
    for (const QString& name : names) {
        paths.append(Out(name + QStringLiteral(".wav")));
    }
    EXPECT_EQ(run.OutLines(), paths);
    EXPECT_EQ(BankEntries(), before);
    EXPECT_EQ(Bank(), bankBefore);
    // Horn has no wave file and no file name: its data comes from the bank.
    const QByteArray horn = folder.Read(QStringLiteral("out/Horn.wav"));
    const CliRun list = cli({QStringLiteral("resources"), bank});
    const QStringList row = list.OutLines().at(3).split(QLatin1Char('\t'));
    ASSERT_EQ(row[0], QStringLiteral("Horn"));
    const qsizetype offset = BankBuilder::Get32(bankBefore, kSampleDataAt) + row[7].toInt();
    const qsizetype length = row[8].toInt();
    EXPECT_EQ(horn.mid(44, length), bankBefore.mid(offset, length));
}

TEST_F(CliExport, FilesThereStayUnlessForcedAndEachIsOneLine) {
    folder.Write(QStringLiteral("out/Horn.wav"), "mine");
    ASSERT_EQ(::mkfifo(QFile::encodeName(Out(QStringLiteral("Skid.wav"))).constData(), 0600), 0);
    const QString elsewhere = folder.Write(QStringLiteral("elsewhere"), "linked");
    ASSERT_TRUE(QFile::link(elsewhere, Out(QStringLiteral("Gear.wav"))));
    const CliRun run = cli({QStringLiteral("export"), bank, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.ErrLines(),
              (QStringList{QStringLiteral("error: %1 exists and was not replaced (--force "
                                          "replaces it)")
                               .arg(Out(QStringLiteral("Horn.wav"))),
                           QStringLiteral("error: %1 exists and was not replaced (--force "
                                          "replaces it)")
                               .arg(Out(QStringLiteral("Skid.wav"))),
                           QStringLiteral("error: %1 exists and was not replaced (--force "
                                          "replaces it)")
                               .arg(Out(QStringLiteral("Gear.wav"))),
                           QStringLiteral("info: 9 wave files written to %1").arg(out)}));
    EXPECT_EQ(run.OutLines().size(), 9);
    EXPECT_EQ(folder.Read(QStringLiteral("out/Horn.wav")), QByteArray("mine"));
    EXPECT_TRUE(QFileInfo(Out(QStringLiteral("Gear.wav"))).isSymLink());

    const CliRun forced = cli({QStringLiteral("export"), bank, out, QStringLiteral("--force")});
    EXPECT_EQ(forced.exitCode, 0) << qPrintable(forced.err);
    EXPECT_EQ(forced.OutLines().size(), 12);
    EXPECT_TRUE(folder.Read(QStringLiteral("out/Horn.wav")).startsWith("RIFF"));
    EXPECT_TRUE(QFileInfo(Out(QStringLiteral("Skid.wav"))).isFile());
    EXPECT_FALSE(QFileInfo(Out(QStringLiteral("Gear.wav"))).isSymLink());
    EXPECT_EQ(folder.Read(QStringLiteral("elsewhere")), QByteArray("linked"));
    EXPECT_EQ(OutEntries().size(), 12);
}

// --force is for files of no bank: a wave another bank of the folder keeps a
// sample in is its only copy, as much as the exported bank's own.
TEST_F(CliExport, ForceNeverReplacesAFileAnyBankOfTheFolderNames) {
    BankBuilder other;
    other.bank = 0;
    other.AddSample(1, QStringLiteral("EngineIdle.wav"), BankBuilder::Pattern(100, 1), false);
    folder.Write(QStringLiteral("out/Bnk_0.bnm"), other.Build());
    const QByteArray kept = BankBuilder::Wave(BankBuilder::Pattern(100, 1));
    folder.Write(QStringLiteral("out/EngineIdle.wav"), kept);
    folder.Write(QStringLiteral("out/Horn.wav"), "no bank's");
    const CliRun run = cli({QStringLiteral("export"), bank, out, QStringLiteral("--force")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.ErrLines(),
              (QStringList{QStringLiteral("error: %1 was not written: it is a wave file that "
                                          "Bnk_0.bnm keeps a sample's data in.")
                               .arg(Out(QStringLiteral("EngineIdle.wav"))),
                           QStringLiteral("info: 11 wave files written to %1").arg(out)}));
    EXPECT_EQ(folder.Read(QStringLiteral("out/EngineIdle.wav")), kept);
    EXPECT_TRUE(folder.Read(QStringLiteral("out/Horn.wav")).startsWith("RIFF"));
    EXPECT_EQ(run.OutLines().size(), 11);
}

TEST_F(CliExport, OneResourceByIndexOrByName) {
    const CliRun byIndex = cli(
        {QStringLiteral("export"), bank, out, QStringLiteral("--resource"), QStringLiteral("3")});
    EXPECT_EQ(byIndex.exitCode, 0) << qPrintable(byIndex.err);
    EXPECT_EQ(byIndex.OutLines(), QStringList{Out(QStringLiteral("Skid.wav"))});
    // Its case aside, as import takes it.
    const CliRun byName = cli({QStringLiteral("export"), bank, out, QStringLiteral("--resource"),
                               QStringLiteral("siren")});
    EXPECT_EQ(byName.exitCode, 0) << qPrintable(byName.err);
    EXPECT_EQ(byName.OutLines(), QStringList{Out(QStringLiteral("Siren.wav"))});
    EXPECT_EQ(OutEntries(), (QStringList{QStringLiteral("Siren.wav"), QStringLiteral("Skid.wav")}));

    struct Refused {
        const char* resource;
        const char* error;
    };
    for (const Refused& r : {Refused{"12", "error: the resource at index 12 of %1 is no sample"},
                             Refused{"14", "error: %1 has no resource '14'"},
                             Refused{"-1", "error: %1 has no resource '-1'"},
                             Refused{"Trumpet", "error: %1 has no resource 'Trumpet'"}}) {
        const CliRun run = cli({QStringLiteral("export"), bank, out, QStringLiteral("--resource"),
                                QString::fromLatin1(r.resource)});
        EXPECT_EQ(run.exitCode, 1) << r.resource;
        EXPECT_EQ(run.ErrLines(), QStringList{QString::fromLatin1(r.error).arg(bank)})
            << r.resource;
        EXPECT_EQ(run.out, QString());
    }
    EXPECT_EQ(OutEntries().size(), 2);
}

TEST(CliExportNames, ANameSeveralResourcesShareIsRefusedWithTheirIndexes) {
    TestFolder folder;
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(10, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(10, 2), true);
    b.AddSample(3, QStringLiteral("c.wav"), BankBuilder::Pattern(10, 3), true);
    const QString bank = folder.Write(QStringLiteral("x.bnm"), b.Build());
    folder.Write(QStringLiteral("x.bns"), "[body res]\n1 \"Horn\"\n2 \"Gear\"\n3 \"Horn\"\n");
    const CliRun run = cli({QStringLiteral("export"), bank, folder.Path(),
                            QStringLiteral("--resource"), QStringLiteral("Horn")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              QStringLiteral("error: 'Horn' names the resources at 0, 2 of %1; give an index\n")
                  .arg(bank));
}

// bash's ulimit -f counts kilobytes; the demo's largest samples do not fit
// in 20 of them.
TEST_F(CliExport, FilesPastTheSizeLimitAreNamedAndLeaveNothing) {
    QProcess process;
    process.start(QStringLiteral("bash"),
                  {QStringLiteral("-c"), QStringLiteral("ulimit -f 20 && exec \"$0\" \"$@\""),
                   QStringLiteral(KANTEL_CLI_PATH), QStringLiteral("export"), bank, out});
    ASSERT_TRUE(process.waitForFinished(-1));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    const QStringList errors =
        QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    QStringList expected;
    for (const char* name : {"EngineHigh", "Crash", "Turbo"}) {
        expected.append(QStringLiteral("error: Disk full while accessing %1. File too large.")
                            .arg(Out(QString::fromLatin1(name) + QStringLiteral(".wav"))));
    }
    expected.append(QStringLiteral("info: 9 wave files written to %1").arg(out));
    EXPECT_EQ(errors, expected);
    EXPECT_EQ(OutEntries().size(), 9);
    for (const QString& entry : OutEntries()) {
        EXPECT_FALSE(entry.startsWith(QLatin1Char('.'))) << qPrintable(entry);
    }
    const CliRun missing = cli({QStringLiteral("export"), bank, Out(QStringLiteral("none"))});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err,
              QStringLiteral("error: The folder %1 does not exist; no sound was exported.\n")
                  .arg(Out(QStringLiteral("none"))));
}

TEST_F(CliDemo, ImportMakesAnyFileTheSampleOfANamedResourceAndSaves) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    const QString tone = folder.FilePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(SoundTools::Tone(
        tone,
        {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"), QStringLiteral("2")},
        1.0));
    const QString mp3 = folder.FilePath(QStringLiteral("Loud Horn.mp3"));
    ASSERT_TRUE(SoundTools::Ffmpeg({QStringLiteral("-i"), tone, mp3}));

    // By name (its case aside) into the 8-bit mono Horn, by index into the
    // stereo EngineHigh at the file's own rate.
    const CliRun horn = cli({QStringLiteral("import"), bank, QStringLiteral("horn"), mp3});
    ASSERT_EQ(horn.exitCode, 0) << qPrintable(horn.err);
    const CliRun engine = cli(
        {QStringLiteral("import"), bank, QStringLiteral("1"), tone, QStringLiteral("--keep-rate")});
    ASSERT_EQ(engine.exitCode, 0) << qPrintable(engine.err);

    const CliRun listed = cli({QStringLiteral("resources"), bank, QStringLiteral("--json")});
    ASSERT_EQ(listed.exitCode, 0);
    const QJsonArray rows = QJsonDocument::fromJson(listed.out.toUtf8()).array();
    const QJsonObject h = rows.at(2).toObject();
    EXPECT_EQ(h.value(QStringLiteral("File Name")).toString(), QStringLiteral("Loud_Horn.wav"));
    EXPECT_EQ(h.value(QStringLiteral("Samples/sec")).toString(), QStringLiteral("22050"));
    EXPECT_EQ(h.value(QStringLiteral("Channels")).toString(), QStringLiteral("1"));
    EXPECT_EQ(h.value(QStringLiteral("Bits/sample")).toString(), QStringLiteral("8"));
    EXPECT_EQ(h.value(QStringLiteral("Length")).toString(), QStringLiteral("22050"));
    const QJsonObject e = rows.at(1).toObject();
    EXPECT_EQ(e.value(QStringLiteral("File Name")).toString(), QStringLiteral("tone.wav"));
    EXPECT_EQ(e.value(QStringLiteral("Samples/sec")).toString(), QStringLiteral("44100"));
    EXPECT_EQ(e.value(QStringLiteral("Length")).toString(), QStringLiteral("176400"));
    // EngineHigh was looped: without a loop of its own the new sound loops whole.
    EXPECT_EQ(e.value(QStringLiteral("LoopStart")).toString(), QStringLiteral("0"));
    EXPECT_EQ(e.value(QStringLiteral("LoopLength")).toString(), QStringLiteral("176400"));
}

// Each import reads the bank, converts and saves: without one writer at a
// time both say success and the second save drops the first one's sound.
TEST_F(CliDemo, TwoImportsAtOnceBothLand) {
    const QString a = folder.Write(QStringLiteral("first.wav"),
                                   BankBuilder::Wave(BankBuilder::Pattern(400000, 1)));
    const QString b = folder.Write(QStringLiteral("second.wav"),
                                   BankBuilder::Wave(BankBuilder::Pattern(400000, 2)));
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        QProcess first;
        QProcess second;
        for (auto [process, index, file] : {std::tuple{&first, QStringLiteral("0"), a},
                                            std::tuple{&second, QStringLiteral("1"), b}}) {
            process->setStandardInputFile(QProcess::nullDevice());
            process->start(QStringLiteral(KANTEL_CLI_PATH),
                           {QStringLiteral("import"), bank, index, file});
        }
        ASSERT_TRUE(first.waitForFinished(-1) && second.waitForFinished(-1));
        EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().constData();
        EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().constData();
        const QStringList rows = cli({QStringLiteral("resources"), bank}).OutLines();
        ASSERT_GT(rows.size(), 2);
        EXPECT_TRUE(rows[1].split(QLatin1Char('\t')).at(5).startsWith(QStringLiteral("first")))
            << qPrintable(rows[1]);
        EXPECT_TRUE(rows[2].split(QLatin1Char('\t')).at(5).startsWith(QStringLiteral("second")))
            << qPrintable(rows[2]);
        EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/.Bnk_1.bnm.lock")));
    }
}

// A script reads the exit status: a command that told of an error did not
// do all it was asked, and an import refused outright is an error, not a
// warning.
TEST_F(CliDemo, AWritingCommandThatToldOfAnErrorFails) {
    ASSERT_TRUE(QDir(dir).mkdir(QStringLiteral("engidle.wav")));
    const CliRun save = cli({QStringLiteral("save"), bank});
    EXPECT_EQ(save.exitCode, 1);
    EXPECT_TRUE(save.err.startsWith(QStringLiteral("error: ")) &&
                save.err.contains(QStringLiteral("engidle.wav")))
        << qPrintable(save.err);

    const QString tone =
        folder.Write(QStringLiteral("ok.wav"), BankBuilder::Wave(BankBuilder::Pattern(2000, 2)));
    const CliRun cd = cli({QStringLiteral("import"), bank, QStringLiteral("RaceMusic"), tone});
    EXPECT_EQ(cd.exitCode, 1);
    EXPECT_TRUE(cd.ErrLines().contains(
        QStringLiteral("error: %1: Only a sample resource can take a sound file.").arg(bank)))
        << qPrintable(cd.err);
}

// The new wave and the bank land together or not at all: a save that is
// refused after the sound was converted leaves no wave behind, hidden or not.
TEST_F(CliDemo, AnImportWhoseSaveFailsLeavesNoNewWave) {
    ASSERT_EQ(cli({QStringLiteral("extract"), bank}).exitCode, 0);
    // engidle.wav becomes a float wave, which the game cannot play: the
    // save must stop.
    QByteArray idle = folder.Read(QStringLiteral("d/engidle.wav"));
    ASSERT_GT(idle.size(), 44);
    idle[20] = 3;
    folder.Write(QStringLiteral("d/engidle.wav"), idle);
    const QString tone =
        folder.Write(QStringLiteral("ok.wav"), BankBuilder::Wave(BankBuilder::Pattern(2000, 2)));
    const QStringList before =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    const QByteArray old = Bank();

    const CliRun run = cli({QStringLiteral("import"), bank, QStringLiteral("Horn"), tone});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("The bank was not saved"))) << qPrintable(run.err);
    EXPECT_EQ(
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        before);
    EXPECT_EQ(Bank(), old);
}

TEST_F(CliDemo, ImportThatCannotBeDoneSaysWhyAndLeavesTheBank) {
    const QByteArray before = Bank();
    const QString text = folder.Write(QStringLiteral("notes.txt"), QByteArray("no sound\n"));
    const CliRun unknown = cli({QStringLiteral("import"), bank, QStringLiteral("Trumpet"), text});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("no resource 'Trumpet'")))
        << qPrintable(unknown.err);
    const CliRun cd = cli({QStringLiteral("import"), bank, QStringLiteral("RaceMusic"), text});
    EXPECT_EQ(cd.exitCode, 1);
    const CliRun noSound = cli({QStringLiteral("import"), bank, QStringLiteral("0"), text});
    EXPECT_EQ(noSound.exitCode, 1);
    EXPECT_TRUE(noSound.err.contains(text)) << qPrintable(noSound.err);
    EXPECT_EQ(Bank(), before);
    EXPECT_EQ(cli({QStringLiteral("import"), bank, QStringLiteral("0")}).exitCode, 2);
}

// Each import with --match-loudness against the sound it replaced, both
// measured by ffmpeg: a quiet, a loud, a too short and a spiky sound (whose
// peak holds the gain back), into an external and a banked sample.
TEST_F(CliDemo, MatchLoudnessMakesTheNewSoundAsLoudAsTheOneItReplaces) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    const auto sox = [&](const QString& name, const QString& line) {
        return SoundTools::Make(folder.FilePath(name), line);
    };
    const QString original =
        sox(QStringLiteral("original.flac"), QStringLiteral("-r 44100 -c 2 OUT synth 2 pinknoise "
                                                            "gain -18"));
    const QString quiet = sox(QStringLiteral("quiet.flac"),
                              QStringLiteral("-r 48000 -c 2 -b 24 OUT synth 3 pinknoise gain -40"));
    const QString loud = sox(QStringLiteral("loud.wav"),
                             QStringLiteral("-r 22050 -c 1 OUT synth 3 sine 300 gain -1"));
    const QString shortOne =
        sox(QStringLiteral("short.wav"), QStringLiteral("-r 44100 -c 1 OUT synth 0.2 sine 1000 "
                                                        "gain -30"));
    // Pink noise peaks far above its loudness: matched to a square wave near
    // full scale, the peak limit holds it back.
    const QString square = sox(QStringLiteral("square.wav"),
                               QStringLiteral("-r 22050 -c 1 OUT synth 2 square 200 gain -1"));
    const QString spiky = sox(QStringLiteral("spiky.wav"),
                              QStringLiteral("-r 44100 -c 1 OUT synth 2 pinknoise gain -6"));

    // Crash is external, EngineIdle banked once the bank is saved.
    for (const char* resource : {"Crash", "EngineIdle"}) {
        ASSERT_EQ(
            cli({QStringLiteral("import"), bank, QString::fromLatin1(resource), original}).exitCode,
            0);
    }
    ASSERT_EQ(cli({QStringLiteral("import"), bank, QStringLiteral("Go"), square}).exitCode, 0);
    // The game plays the bank's copy of a banked sample: a wave file beside
    // it that says otherwise is not what is matched.
    const QString engineWave = dir + QStringLiteral("/original_1.wav");
    const QString bankedCopy = folder.FilePath(QStringLiteral("banked.wav"));
    ASSERT_TRUE(QFile::copy(engineWave, bankedCopy));
    ASSERT_TRUE(QFile::remove(engineWave));
    ASSERT_TRUE(
        SoundTools::Sox({bankedCopy, engineWave, QStringLiteral("gain"), QStringLiteral("-12")}));

    // The banked case comes first: any save packs the wave file's data.
    struct Case {
        const char* resource;
        QString source;
    };
    const std::vector<Case> cases{
        {"EngineIdle", loud}, {"Crash", quiet}, {"Crash", shortOne}, {"Go", spiky}};
    // Per resource, the sound an import replaces.
    QHash<QString, QString> replaced{
        {QStringLiteral("Crash"), dir + QStringLiteral("/original.wav")},
        {QStringLiteral("EngineIdle"), bankedCopy},
        {QStringLiteral("Go"), dir + QStringLiteral("/square.wav")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source.toStdString());
        const QString reference = replaced.value(QString::fromLatin1(c.resource));
        const CliRun run = cli({QStringLiteral("import"), bank, QString::fromLatin1(c.resource),
                                c.source, QStringLiteral("--match-loudness")});
        ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
        ASSERT_EQ(run.OutLines().size(), 1) << qPrintable(run.out);
        const QString said = run.OutLines().at(0);
        const QString made = dir + QLatin1Char('/') + said.section(QStringLiteral(": "), 0, 0);
        ASSERT_TRUE(QFileInfo(made).isFile()) << qPrintable(said);
        if (c.source == shortOne) {
            EXPECT_TRUE(said.contains(QStringLiteral(": peak +"))) << qPrintable(said);
            EXPECT_NEAR(SoundTools::PeakDb(SoundTools::Read(made)),
                        SoundTools::PeakDb(SoundTools::Read(reference)), 0.5);
        } else if (c.source == spiky) {
            EXPECT_TRUE(said.contains(QStringLiteral("held back by the peak limit of -1.0 dBTP")))
                << qPrintable(said);
            EXPECT_TRUE(run.err.contains(QStringLiteral("quieter than the sound it replaces")))
                << qPrintable(run.err);
            EXPECT_LT(SoundTools::LoudnessLufs(made), SoundTools::LoudnessLufs(reference) - 3.0);
            EXPECT_LE(SoundTools::PeakDb(SoundTools::Read(made)), -0.9);
        } else {
            EXPECT_TRUE(said.contains(QStringLiteral(": loudness "))) << qPrintable(said);
            EXPECT_NEAR(SoundTools::LoudnessLufs(made), SoundTools::LoudnessLufs(reference), 0.5);
        }
        replaced[QString::fromLatin1(c.resource)] = made;
    }
}

// Nothing to match against is a failure that names the missing sound and
// leaves nothing behind, never an import at the sound's own level.
TEST_F(CliDemo, MatchLoudnessWithoutTheOldSoundFailsAndWritesNothing) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    const QString tone = folder.FilePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(SoundTools::Tone(tone, {QStringLiteral("-r"), QStringLiteral("22050")}, 1.0));
    const QString crash = dir + QStringLiteral("/crash.wav");
    ASSERT_TRUE(QFile::remove(crash));
    ASSERT_EQ(::mkfifo(QFile::encodeName(crash).constData(), 0600), 0);
    const QByteArray before = Bank();
    const CliRun run = cli({QStringLiteral("import"), bank, QStringLiteral("Crash"), tone,
                            QStringLiteral("--match-loudness")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("The loudness of %1 cannot be measured: it is not a regular file")
            .arg(crash)))
        << qPrintable(run.err);
    EXPECT_EQ(Bank(), before);
    EXPECT_FALSE(Files().contains(QStringLiteral("tone.wav")));
}

TEST(CliMessages, MessageWithALineBreakIsOneWarningLine) {
    TestFolder folder;
    BankBuilder b;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(100, 1), true);
    QByteArray bank = b.Build();
    BankBuilder::Put32(bank, 36 + 12, 150);
    const CliRun run =
        cli({QStringLiteral("extract"), folder.Write(QStringLiteral("Bnk_1.bnm"), bank)});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, QStringLiteral("warning: End of file reached. Truncating sample ") +
                           folder.FilePath(QStringLiteral("a.wav")) + QLatin1Char('\n'));
}

// --- check ---------------------------------------------------------------------------

// The demo keeps three events deliberately pointing nowhere, so the event
// list shows every form of target label; the check finds those and nothing
// else, before and after its wave files are written.
TEST_F(CliDemo, CheckFindsTheDemosDeliberateTargetsAndNothingElse) {
    const QStringList expected = {
        QStringLiteral("%1: event 8 (id 108): Its target is resource 3 of Bnk_0.bnm, but the "
                       "folder %2 holds no Bnk_0.bnm; no other target in that bank is checked.")
            .arg(bank, dir),
        QStringLiteral("%1: event 9 (id 109): Its target is event 5 of Bnk_2.bnm, but the "
                       "folder %2 holds no Bnk_2.bnm; no other target in that bank is checked.")
            .arg(bank, dir),
        QStringLiteral("%1: event 10 (id 110): Its target, resource 40 of this bank, lies past "
                       "the end of the table: this bank has 14 resources.")
            .arg(bank),
    };
    const QStringList before = Files();
    CliRun run = cli({QStringLiteral("check"), bank});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QString());
    EXPECT_EQ(run.OutLines(), expected);
    EXPECT_EQ(Files(), before);
    ASSERT_EQ(cli({QStringLiteral("extract"), bank}).exitCode, 0);
    run = cli({QStringLiteral("check"), bank});
    EXPECT_EQ(run.OutLines(), expected);

    // The other banks there, with tables long enough: nothing is left.
    for (int number : {0, 2}) {
        BankBuilder other;
        other.bank = number;
        for (int i = 0; i < 6; ++i) {
            other.AddEvent(i, SoundEvent::kTypeEffect);
            other.AddCdTrack(i, 2);
        }
        folder.Write(QStringLiteral("d/BNK_%1.BNM").arg(number), other.Build());
    }
    QByteArray bytes = Bank();
    BankBuilder::Put32(bytes, 36 + 10 * 32 + 8, CBnmFormat::MakeTarget(1, 13));
    folder.Write(QStringLiteral("d/Bnk_1.bnm"), bytes);
    run = cli({QStringLiteral("check"), bank});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.out);
    EXPECT_EQ(run.out, QString());
}

TEST_F(CliDemo, CheckJsonHasTypedValuesAndNullWhereThereIsNone) {
    QFile::remove(dir + QStringLiteral("/Bnk_1.bns"));
    const CliRun run = cli({QStringLiteral("check"), bank, QStringLiteral("--json")});
    EXPECT_EQ(run.exitCode, 1);
    QJsonParseError error;
    const QJsonArray findings = QJsonDocument::fromJson(run.out.toUtf8(), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << qPrintable(run.out);
    ASSERT_EQ(findings.size(), 4);
    const QJsonObject target = findings[2].toObject();
    EXPECT_EQ(target.value(QStringLiteral("kind")).toString(), QStringLiteral("targetPastEnd"));
    EXPECT_EQ(target.value(QStringLiteral("record")).toString(), QStringLiteral("event"));
    EXPECT_TRUE(target.value(QStringLiteral("index")).isDouble());
    EXPECT_EQ(target.value(QStringLiteral("index")).toInt(), 10);
    EXPECT_EQ(target.value(QStringLiteral("id")).toInt(), 110);
    EXPECT_TRUE(target.value(QStringLiteral("file")).isNull());
    const QJsonObject names = findings[3].toObject();
    EXPECT_EQ(names.value(QStringLiteral("kind")).toString(), QStringLiteral("noNames"));
    EXPECT_EQ(names.value(QStringLiteral("record")).toString(), QStringLiteral("bank"));
    EXPECT_TRUE(names.value(QStringLiteral("index")).isNull());
    EXPECT_TRUE(names.value(QStringLiteral("id")).isNull());
    EXPECT_EQ(names.value(QStringLiteral("file")).toString(), dir + QStringLiteral("/Bnk_1.bns"));
}

// A bank on standard input has no folder: only what it holds itself is
// checked, and nothing is looked for where the command runs.
TEST_F(CliDemo, BanksFromStandardInput) {
    const QByteArray bytes = Bank();
    const CliRun header = cli({QStringLiteral("header"), QStringLiteral("-")}, bytes);
    EXPECT_EQ(header.exitCode, 0) << qPrintable(header.err);
    EXPECT_EQ(header.out, cli({QStringLiteral("header"), bank}).out);
    const CliRun check = cli({QStringLiteral("check"), QStringLiteral("-")}, bytes);
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_EQ(check.OutLines(),
              QStringList{QStringLiteral("standard input: event 10 (id 110): Its target, resource "
                                         "40 of this bank, lies past the end of the table: this "
                                         "bank has 14 resources.")});
    const CliRun resources =
        cli({QStringLiteral("resources"), QStringLiteral("-"), QStringLiteral("--records")}, bytes);
    EXPECT_EQ(resources.exitCode, 0) << qPrintable(resources.err);
    const QJsonArray rows = QJsonDocument::fromJson(resources.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 14);
    EXPECT_TRUE(rows[0].toObject().value(QStringLiteral("name")).isNull());

    const CliRun empty = cli({QStringLiteral("events"), QStringLiteral("-")}, QByteArray());
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_EQ(empty.err, QStringLiteral("error: standard input is empty: it holds no bank\n"));
    const CliRun truncated = cli({QStringLiteral("events"), QStringLiteral("-")}, bytes.left(36));
    EXPECT_EQ(truncated.exitCode, 1);
    EXPECT_EQ(truncated.err, QStringLiteral("error: standard input: File is truncated\n"));
}

// A pipe or a FIFO given by name is never waited on: it is refused, named,
// with the way to read it.
TEST_F(CliDemo, AFifoGivenAsTheBankIsRefusedAtOnce) {
    const QString fifo = folder.FilePath(QStringLiteral("pipe.bnm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const char* command : {"header", "check", "extract", "save"}) {
        const CliRun run = cli({QString::fromLatin1(command), fifo});
        EXPECT_EQ(run.exitCode, 1) << command;
        ASSERT_EQ(run.ErrLines().size(), 1) << qPrintable(run.err);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("error: %1 is not a regular file").arg(fifo)))
            << qPrintable(run.err);
    }
    // Nor is a bank put in the place of a FIFO, a device or a link to nothing.
    const QString dangling = folder.FilePath(QStringLiteral("gone.bnm"));
    ASSERT_TRUE(QFile::link(folder.FilePath(QStringLiteral("nothing")), dangling));
    const QByteArray before = Bank();
    for (const QString& target : {fifo, dangling, QStringLiteral("/dev/null")}) {
        for (const QStringList& command :
             {QStringList{QStringLiteral("save"), bank, QStringLiteral("-o"), target},
              QStringList{QStringLiteral("import"), bank, QStringLiteral("0"), bank,
                          QStringLiteral("-o"), target}}) {
            const CliRun run = cli(command);
            EXPECT_EQ(run.exitCode, 1) << qPrintable(target);
            EXPECT_EQ(run.err, QStringLiteral("error: %1 is not a regular file; the bank is not "
                                              "saved there\n")
                                   .arg(target));
        }
    }
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(Bank(), before);
}

TEST_F(CliDemo, RecordsAreTheRawFieldsWithNumbersAsNumbers) {
    const CliRun resources = cli({QStringLiteral("resources"), bank, QStringLiteral("--records")});
    ASSERT_EQ(resources.exitCode, 0) << qPrintable(resources.err);
    QJsonParseError error;
    const QJsonArray rows = QJsonDocument::fromJson(resources.out.toUtf8(), &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << qPrintable(resources.out);
    ASSERT_EQ(rows.size(), 14);
    const QJsonObject engine = rows[1].toObject();
    EXPECT_EQ(engine.value(QStringLiteral("index")).toInt(), 1);
    EXPECT_EQ(engine.value(QStringLiteral("name")).toString(), QStringLiteral("EngineHigh"));
    EXPECT_EQ(engine.value(QStringLiteral("resourceId")).toInt(), 2);
    EXPECT_EQ(engine.value(QStringLiteral("storage")).toInt(), SoundResource::kStorageBank);
    EXPECT_EQ(engine.value(QStringLiteral("length")).toInt(), 52920);
    EXPECT_EQ(engine.value(QStringLiteral("samplesPerSec")).toInt(), 44100);
    EXPECT_EQ(engine.value(QStringLiteral("fileName")).toString(), QStringLiteral("enghigh.wav"));
    EXPECT_EQ(engine.value(QStringLiteral("flags")).toArray().size(), 6);
    EXPECT_TRUE(engine.value(QStringLiteral("cdTrack")).isNull());
    const QJsonObject cd = rows[12].toObject();
    EXPECT_EQ(cd.value(QStringLiteral("cdTrack")).toInt(), 2);
    // The storage word, as the list shows it ("External"), for a CD track too.
    EXPECT_EQ(cd.value(QStringLiteral("storage")), QJsonValue(SoundResource::kStorageExternal));
    EXPECT_TRUE(cd.value(QStringLiteral("length")).isNull());
    EXPECT_TRUE(cd.value(QStringLiteral("fileName")).isNull());
    int long_ = 0;
    for (const QJsonValue& row : rows) {
        long_ += row.toObject().value(QStringLiteral("length")).toInt() > 10000 ? 1 : 0;
    }
    EXPECT_EQ(long_, 6);

    const CliRun events = cli({QStringLiteral("events"), bank, QStringLiteral("--records")});
    ASSERT_EQ(events.exitCode, 0);
    const QJsonArray eventRows = QJsonDocument::fromJson(events.out.toUtf8()).array();
    ASSERT_EQ(eventRows.size(), 14);
    const QJsonObject stop = eventRows[9].toObject();
    EXPECT_EQ(stop.value(QStringLiteral("eventId")).toInt(), 109);
    EXPECT_EQ(stop.value(QStringLiteral("type")).toInt(), SoundEvent::kTypeStop);
    EXPECT_EQ(stop.value(QStringLiteral("target")).toObject().value(QStringLiteral("bank")).toInt(),
              2);
    EXPECT_EQ(
        stop.value(QStringLiteral("target")).toObject().value(QStringLiteral("index")).toInt(), 5);
    EXPECT_TRUE(stop.value(QStringLiteral("param2")).isNull());
    EXPECT_EQ(eventRows[4].toObject().value(QStringLiteral("param2")).toInt(), 98304);
    EXPECT_TRUE(eventRows[6].toObject().value(QStringLiteral("target")).isNull());
    // A number past what a signed word holds stays the word's own value.
    EXPECT_EQ(eventRows[7].toObject().value(QStringLiteral("param1")).toDouble(), 4294967294.0);

    const CliRun header = cli({QStringLiteral("header"), bank, QStringLiteral("--records")});
    const QJsonArray headers = QJsonDocument::fromJson(header.out.toUtf8()).array();
    ASSERT_EQ(headers.size(), 1);
    EXPECT_EQ(headers[0].toObject().value(QStringLiteral("resourceTableOffset")).toInt(), 484);
    EXPECT_EQ(headers[0].toObject().value(QStringLiteral("bank")).toInt(), 1);
}

TEST_F(CliDemo, QuietSaysOnlyErrorsAndVerboseListsWhatWasWritten) {
    QByteArray bytes = Bank();
    BankBuilder::Put32(bytes, 16, 100000);
    folder.Write(QStringLiteral("d/Bnk_1.bnm"), bytes);
    EXPECT_EQ(cli({QStringLiteral("resources"), bank}).ErrLines().size(), 1);
    const CliRun quiet = cli({QStringLiteral("resources"), bank, QStringLiteral("--quiet")});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, QString());
    folder.Write(QStringLiteral("d/Bnk_1.bnm"), bytes.left(30));
    EXPECT_EQ(cli({QStringLiteral("header"), bank, QStringLiteral("-q")}).ErrLines().size(), 1);
}

TEST_F(CliDemo, VerboseListsTheFilesWritten) {
    const CliRun extract = cli({QStringLiteral("extract"), bank, QStringLiteral("--verbose")});
    ASSERT_EQ(extract.exitCode, 0) << qPrintable(extract.err);
    QStringList waves;
    for (const char* name : {"Horn.wav", "enghigh.wav", "engidle.wav", "gear.wav", "go.wav",
                             "siren.wav", "skid.wav", "wind.wav"}) {
        waves.append(dir + QLatin1Char('/') + QString::fromLatin1(name));
    }
    EXPECT_EQ(extract.OutLines(), waves);
    const QString copy = folder.FilePath(QStringLiteral("copy.bnm"));
    const CliRun save = cli(
        {QStringLiteral("save"), bank, QStringLiteral("-o"), copy, QStringLiteral("--verbose")});
    ASSERT_EQ(save.exitCode, 0) << qPrintable(save.err);
    EXPECT_EQ(save.OutLines(), QStringList{copy});
    EXPECT_EQ(cli({QStringLiteral("save"), bank}).out, QString());
}

namespace {

// What a terminal shows of a command: script(1) runs it with a terminal
// for its standard output and error.
QByteArray onTerminal(const QStringList& arguments) {
    QStringList quoted{QStringLiteral(KANTEL_CLI_PATH)};
    for (const QString& argument : arguments) {
        quoted.append(QLatin1Char('\'') + argument + QLatin1Char('\''));
    }
    QProcess process;
    process.start(QStringLiteral("script"), {QStringLiteral("-qec"), quoted.join(QLatin1Char(' ')),
                                             QStringLiteral("/dev/null")});
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(-1));
    return process.readAllStandardOutput();
}

} // namespace

// A script must not take half a listing for all of it.
TEST_F(CliDemo, OutputThatCannotBeWrittenIsAnError) {
    QProcess process;
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(KANTEL_CLI_PATH),
                  {QStringLiteral("resources"), bank, QStringLiteral("--records")});
    ASSERT_TRUE(process.waitForFinished(-1));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(QString::fromLocal8Bit(process.readAllStandardError()),
              QStringLiteral("error: standard output could not be written: No space left on "
                             "device\n"));
}

TEST_F(CliDemo, ProgressShowsOnATerminalOnly) {
    if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty()) {
        GTEST_SKIP() << "script(1) is needed";
    }
    const QByteArray extract = onTerminal({QStringLiteral("extract"), bank});
    EXPECT_TRUE(extract.startsWith("\r\x1b[KWriting samples:   0%")) << extract.constData();
    EXPECT_TRUE(extract.contains("\r\x1b[KWriting samples: 100%"));
    // Cleared at the end, so the shell's prompt starts on a clean line.
    EXPECT_TRUE(extract.endsWith("\r\x1b[K")) << extract.constData();
    EXPECT_EQ(onTerminal({QStringLiteral("save"), bank, QStringLiteral("--quiet")}), QByteArray());
    EXPECT_EQ(onTerminal({QStringLiteral("header"), bank}).count('\r'),
              7) // the figures' own line ends, as a terminal gives them
        << "no progress where there is no long work";
}

TEST(CliSinks, AMessageThatNamesNoFileIsAboutTheCommandsFile) {
    QString text;
    QTextStream err(&text);
    CCliPromptSink sink(err, QStringLiteral("/b/Bnk_1.bnm"), false);
    EXPECT_EQ(sink.Line(QStringLiteral("File is truncated"), MB_OK | MB_ICONHAND),
              QStringLiteral("error: /b/Bnk_1.bnm: File is truncated"));
    EXPECT_EQ(sink.Line(QStringLiteral("Couldn't store /b/a.wav"), MB_OK | MB_ICONHAND),
              QStringLiteral("error: Couldn't store /b/a.wav"));
    // Nobody can answer: a question gets the answer that loses nothing.
    EXPECT_EQ(sink.Show(QStringLiteral("Replace?"), MB_YESNOCANCEL | MB_ICONEXCLAMATION), IDCANCEL);
    EXPECT_EQ(sink.Show(QStringLiteral("Replace?"), MB_YESNO | MB_ICONQUESTION), IDNO);

    QString quietText;
    QTextStream quietErr(&quietText);
    CCliPromptSink quiet(quietErr, QStringLiteral("/b/Bnk_1.bnm"), true);
    quiet.Show(QStringLiteral("a warning"), MB_OK | MB_ICONEXCLAMATION);
    quiet.Show(QStringLiteral("a notice"), MB_OK | MB_ICONINFORMATION);
    quiet.Show(QStringLiteral("an error"), MB_OK | MB_ICONHAND);
    quietErr.flush();
    EXPECT_EQ(quietText, QStringLiteral("error: /b/Bnk_1.bnm: an error\n"));
}

TEST(CliSinks, ProgressRewritesOneLineAndClearsItForMessages) {
    QString text;
    QTextStream err(&text);
    CTerminalProgress progress(err);
    CCliPromptSink sink(err, QStringLiteral("/b/Bnk_1.bnm"), false);
    sink.SetProgress(&progress);
    progress.Begin(QStringLiteral("Writing samples"), 200);
    progress.Step(1); // still 0 %: nothing drawn
    progress.Step(100);
    sink.Show(QStringLiteral("Truncating /b/a.wav"), MB_OK | MB_ICONEXCLAMATION);
    progress.Step(200);
    progress.End();
    err.flush();
    const QString clear = QStringLiteral("\r\x1b[K");
    EXPECT_EQ(text, clear + QStringLiteral("Writing samples:   0%") + clear +
                        QStringLiteral("Writing samples:  50%") + clear +
                        QStringLiteral("warning: Truncating /b/a.wav\n") + clear +
                        QStringLiteral("Writing samples: 100%") + clear);
}

// --- replace ----------------------------------------------------------------------

namespace {

// Every file under root (hidden ones too) with its bytes, to tell that a
// command changed nothing anywhere.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!CFile::IsRegularFile(path)) {
            // Reading a FIFO would wait for a writer.
            files.insert(path, QByteArray("special"));
            continue;
        }
        QFile file(path);
        files.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
    }
    return files;
}

QStringList cdFormat() {
    return {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
            QStringLiteral("2"),  QStringLiteral("-b"),    QStringLiteral("16")};
}

} // namespace

class CliReplace : public CliDemo {
protected:
    void SetUp() override {
        CliDemo::SetUp();
        if (!SoundTools::Available()) {
            GTEST_SKIP() << "sox and ffmpeg are needed";
        }
        sounds = folder.FilePath(QStringLiteral("sounds"));
        ASSERT_TRUE(QDir().mkpath(sounds));
        const auto tone = [&](const char* name, QStringList format) {
            ASSERT_TRUE(SoundTools::Tone(Sound(name), format, 0.3));
        };
        const QStringList cd = cdFormat();
        // By wave name (engidle.wav), by names-file name in another case,
        // and one of each kind the import takes.
        tone("engidle.flac", cd);
        tone("ENGINEHIGH.wav", {QStringLiteral("-r"), QStringLiteral("48000"), QStringLiteral("-b"),
                                QStringLiteral("24")});
        tone("skid.aiff", cd);
        tone("Crash.ogg", cd);
        const QString wave = Sound("gear-source.wav");
        ASSERT_TRUE(SoundTools::Tone(wave, cd, 0.3));
        ASSERT_TRUE(SoundTools::Ffmpeg({QStringLiteral("-i"), wave, Sound("Horn.mp3")}));
        ASSERT_TRUE(SoundTools::Ffmpeg({QStringLiteral("-i"), wave, QStringLiteral("-c:a"),
                                        QStringLiteral("libopus"), Sound("gear.opus")}));
        QFile::remove(wave);
        // Two files for one sample, a file for no sample, a file for a CD
        // track (never matched).
        tone("beep.wav", cd);
        tone("Beep.flac", cd);
        tone("trumpet.wav", cd);
        tone("RaceMusic.wav", cd);
    }
    QString Sound(const char* name) const {
        return sounds + QLatin1Char('/') + QString::fromLatin1(name);
    }
    CliRun Replace(QStringList extra = {}) const {
        return cli(QStringList{QStringLiteral("replace"), bank, sounds} + extra);
    }

    QString sounds;
};

TEST_F(CliReplace, ADryRunAndAFailureChangeNothingAndASuccessSavesOnce) {
    const QMap<QString, QByteArray> before = snapshot(folder.Path());
    const CliRun dry = Replace({QStringLiteral("--dry-run")});
    ASSERT_EQ(dry.exitCode, 0) << qPrintable(dry.err);
    EXPECT_EQ(snapshot(folder.Path()), before);
    const QStringList lines = dry.OutLines();
    ASSERT_EQ(lines.size(), 6 + 2 + 2 + 1) << qPrintable(dry.out);
    EXPECT_EQ(lines[0], QStringLiteral("0 EngineIdle <- engidle.flac: 44100 Hz stereo 16 bit -> "
                                       "22050 Hz mono 16 bit, loop kept"));
    EXPECT_EQ(lines[2], QStringLiteral("2 Horn <- Horn.mp3: 44100 Hz stereo -> 22050 Hz mono 8 "
                                       "bit, no loop"));
    EXPECT_EQ(lines[6], QStringLiteral("Beep.flac: ambiguous, fits the samples at 6; left alone"));
    EXPECT_EQ(lines[8], QStringLiteral("RaceMusic.wav: matches no sample"));
    EXPECT_EQ(lines[10], QStringLiteral("5 samples matched no file"));

    // A damaged file fails the whole run; every failure is named.
    QByteArray damaged = "RIFF";
    damaged += QByteArray(3000, '\x7f');
    QFile siren(Sound("Siren.wav"));
    ASSERT_TRUE(siren.open(QIODevice::WriteOnly));
    siren.write(damaged);
    siren.close();
    // A wave file that holds no sound at all.
    const QString emptyWave = Sound("Go.wav");
    ASSERT_TRUE(SoundTools::Tone(Sound("go-source.wav"), cdFormat(), 0.1));
    ASSERT_TRUE(SoundTools::Sox({Sound("go-source.wav"), emptyWave, QStringLiteral("trim"),
                                 QStringLiteral("0"), QStringLiteral("0")}));
    QFile::remove(Sound("go-source.wav"));
    const QMap<QString, QByteArray> withDamage = snapshot(folder.Path());
    const CliRun failed = Replace({QStringLiteral("--json")});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(snapshot(folder.Path()), withDamage);
    const QJsonObject report = QJsonDocument::fromJson(failed.out.toUtf8()).object();
    EXPECT_TRUE(report.value(QStringLiteral("replaced")).toArray().isEmpty());
    const QJsonArray failures = report.value(QStringLiteral("failed")).toArray();
    ASSERT_EQ(failures.size(), 2) << qPrintable(failed.out);
    EXPECT_EQ(failures[0].toObject().value(QStringLiteral("file")).toString(), emptyWave);
    EXPECT_EQ(failures[1].toObject().value(QStringLiteral("file")).toString(), Sound("Siren.wav"));
    EXPECT_TRUE(failed.err.contains(Sound("Siren.wav"))) << qPrintable(failed.err);
    EXPECT_EQ(report.value(QStringLiteral("ambiguous"))
                  .toArray()
                  .at(0)
                  .toObject()
                  .value(QStringLiteral("indexes")),
              QJsonArray{6});

    QFile::remove(Sound("Siren.wav"));
    QFile::remove(emptyWave);
    const CliRun done = Replace({QStringLiteral("--json")});
    ASSERT_EQ(done.exitCode, 0) << qPrintable(done.err);
    const QJsonArray replaced = QJsonDocument::fromJson(done.out.toUtf8())
                                    .object()
                                    .value(QStringLiteral("replaced"))
                                    .toArray();
    ASSERT_EQ(replaced.size(), 6);
    EXPECT_EQ(replaced[1].toObject(),
              (QJsonObject{{QStringLiteral("index"), 1},
                           {QStringLiteral("name"), QStringLiteral("EngineHigh")},
                           {QStringLiteral("file"), QStringLiteral("ENGINEHIGH.wav")}}));
    const QJsonArray rows =
        QJsonDocument::fromJson(
            cli({QStringLiteral("resources"), bank, QStringLiteral("--json")}).out.toUtf8())
            .array();
    const QString horn = rows.at(2).toObject().value(QStringLiteral("File Name")).toString();
    EXPECT_EQ(horn, QStringLiteral("Horn.wav"));
    EXPECT_EQ(rows.at(2).toObject().value(QStringLiteral("Bits/sample")).toString(),
              QStringLiteral("8"));
    // Each sound is a new file, and no temporary of the batch is left.
    EXPECT_TRUE(QFileInfo::exists(dir + QStringLiteral("/engidle.wav")));
    EXPECT_NE(rows.at(0).toObject().value(QStringLiteral("File Name")).toString(),
              QStringLiteral("engidle.wav"));
    for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden)) {
        EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << qPrintable(name);
    }
    EXPECT_EQ(rows.at(6).toObject().value(QStringLiteral("File Name")).toString(),
              QStringLiteral("beep.wav"));
}

TEST_F(CliReplace, WhatIsNoFileToReadIsSkippedByNameAndBadTargetsAreRefusedFirst) {
    // A FIFO, a folder and a dangling link with sound files' names: opening
    // the FIFO would wait for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(Sound("Wind.wav")).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(Sound("Menu.flac")));
    ASSERT_TRUE(QFile::link(Sound("gone.wav"), Sound("Turbo.ogg")));
    const QMap<QString, QByteArray> before = snapshot(folder.Path());
    const CliRun dry = Replace({QStringLiteral("--dry-run")});
    ASSERT_EQ(dry.exitCode, 0) << qPrintable(dry.err);
    EXPECT_EQ(
        dry.ErrLines(),
        (QStringList{
            QStringLiteral("warning: %1 is a folder; skipped").arg(Sound("Menu.flac")),
            QStringLiteral("warning: %1 is a link to nothing; skipped").arg(Sound("Turbo.ogg")),
            QStringLiteral("warning: %1 is not a regular file; skipped").arg(Sound("Wind.wav")),
        }));

    // Saving onto a wave file the bank uses, or its names file, would lose
    // a sound; refused before anything is converted.
    for (const char* target : {"CRASH.wav", "Bnk_1.bns"}) {
        const CliRun onto =
            Replace({QStringLiteral("-o"), dir + QLatin1Char('/') + QString::fromLatin1(target)});
        EXPECT_EQ(onto.exitCode, 1) << target;
        EXPECT_TRUE(onto.err.contains(QStringLiteral("the bank is not saved there")))
            << qPrintable(onto.err);
    }
    const CliRun noFolder =
        cli({QStringLiteral("replace"), bank, folder.FilePath(QStringLiteral("none"))});
    EXPECT_EQ(noFolder.exitCode, 1);
    EXPECT_EQ(noFolder.err, QStringLiteral("error: %1 cannot be read: No such file or directory\n")
                                .arg(folder.FilePath(QStringLiteral("none"))));
    EXPECT_EQ(snapshot(folder.Path()), before);

    // Root writes into any folder, but not onto a read-only file system.
    const QString disk = folder.FilePath(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkpath(disk));
    if (const std::unique_ptr<TestMount> mount = TestMount::Tmpfs(disk, 64)) {
        ASSERT_TRUE(mount->SetReadOnly(true));
        const CliRun readOnly = Replace({QStringLiteral("-o"), disk + QStringLiteral("/out.bnm")});
        EXPECT_EQ(readOnly.exitCode, 1);
        EXPECT_EQ(readOnly.err,
                  QStringLiteral("error: %1/out.bnm cannot be written: Read-only file system\n")
                      .arg(disk));
        EXPECT_EQ(readOnly.out, QString());
    }
    EXPECT_EQ(cli({QStringLiteral("replace"), bank}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("import"), bank, QStringLiteral("0"), Sound("skid.aiff"),
                   QStringLiteral("--dry-run")})
                  .exitCode,
              2);
}

TEST_F(CliReplace, ASaveThatFailsTakesTheNewWaveFilesBackWithIt) {
    // Only what replace itself writes is at stake: the waves opening writes
    // are written first.
    ASSERT_EQ(cli({QStringLiteral("extract"), bank}).exitCode, 0);
    const QString disk = folder.FilePath(QStringLiteral("disk"));
    ASSERT_TRUE(QDir().mkpath(disk));
    const std::unique_ptr<TestMount> mount = TestMount::Tmpfs(disk, 16);
    if (!mount) {
        GTEST_SKIP() << "mounting needs root";
    }
    const QMap<QString, QByteArray> before = snapshot(dir);
    const CliRun full = Replace({QStringLiteral("-o"), disk + QStringLiteral("/out.bnm")});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(full.err.contains(disk + QStringLiteral("/out.bnm"))) << qPrintable(full.err);
    EXPECT_FALSE(full.out.contains(QStringLiteral(" <- "))) << qPrintable(full.out);
    EXPECT_EQ(snapshot(dir), before);
    EXPECT_EQ(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList());
}

// --- diff ------------------------------------------------------------------------

TEST_F(CliDemo, DiffIsQuietForTheSameBankAndCountsEachChange) {
    const QStringList before = Files();
    const CliRun self = cli({QStringLiteral("diff"), bank, bank});
    EXPECT_EQ(self.exitCode, 0) << qPrintable(self.err);
    EXPECT_EQ(self.out, QString());
    EXPECT_EQ(self.err, QString());
    // Nothing is written beside either bank: no wave file is extracted.
    EXPECT_EQ(Files(), before);

    // A copy in another folder, with the external samples' waves, is equal.
    const QString copyDir = folder.FilePath(QStringLiteral("copy"));
    ASSERT_TRUE(QDir().mkpath(copyDir));
    for (const QString& name : Files()) {
        ASSERT_TRUE(QFile::copy(dir + QLatin1Char('/') + name, copyDir + QLatin1Char('/') + name));
    }
    const QString copy = copyDir + QStringLiteral("/Bnk_1.bnm");
    EXPECT_EQ(cli({QStringLiteral("diff"), bank, copy}).exitCode, 0);

    // One resource quieter, the last one gone, one external wave gone.
    QByteArray bytes = Bank();
    const quint32 resourceTable = BankBuilder::Get32(bytes, 12);
    bytes[static_cast<qsizetype>(resourceTable + 2 * 92 + 20)] = 64; // Horn's volume
    BankBuilder::Put32(bytes, 16, BankBuilder::Get32(bytes, 16) - 1);
    folder.Write(QStringLiteral("copy/Bnk_1.bnm"), bytes);
    QFile::remove(copyDir + QStringLiteral("/crash.wav"));
    const CliRun changed = cli({QStringLiteral("diff"), bank, copy});
    EXPECT_EQ(changed.exitCode, 1) << qPrintable(changed.err);
    const QStringList lines = changed.OutLines();
    EXPECT_TRUE(lines.contains(QStringLiteral("resource 2 (Horn): volume 100 -> 64")))
        << qPrintable(changed.out);
    EXPECT_TRUE(lines.contains(QStringLiteral("resource 13 (MenuMusic): only in %1").arg(bank)))
        << qPrintable(changed.out);
    EXPECT_TRUE(changed.out.contains(
        QStringLiteral("resource 4 (Crash): sound differs (22050 Hz stereo 16 bit, 30868 bytes -> "
                       "%1/crash.wav is missing)")
            .arg(copyDir)))
        << qPrintable(changed.out);

    const CliRun json = cli({QStringLiteral("diff"), bank, copy, QStringLiteral("--json")});
    EXPECT_EQ(json.exitCode, 1);
    const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), lines.size());
    bool sawVolume = false;
    for (const QJsonValue& row : rows) {
        const QJsonObject o = row.toObject();
        EXPECT_EQ(o.keys(), (QStringList{"a", "b", "field", "index", "record"}));
        if (o.value("field") == QStringLiteral("volume")) {
            sawVolume = true;
            EXPECT_EQ(o.value("record").toString(), QStringLiteral("resource"));
            EXPECT_EQ(o.value("index").toInt(), 2);
            EXPECT_EQ(o.value("a").toInt(), 100);
            EXPECT_EQ(o.value("b").toInt(), 64);
        }
        if (o.value("field") == QStringLiteral("sound")) {
            EXPECT_EQ(o.value("a").toObject().value("bytes").toInt(), 30868);
            EXPECT_TRUE(o.value("b").isNull());
        }
    }
    EXPECT_TRUE(sawVolume);
}

TEST_F(CliDemo, DiffOfABankThatCannotBeReadExitsTwoNamingIt) {
    const QString names = dir + QStringLiteral("/Bnk_1.bns");
    const QString fifo = folder.FilePath(QStringLiteral("pipe.bnm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString missing = folder.FilePath(QStringLiteral("none.bnm"));
    for (const QString& other : {names, fifo, missing}) {
        for (const QStringList& arguments : {QStringList{QStringLiteral("diff"), bank, other},
                                             QStringList{QStringLiteral("diff"), other, bank}}) {
            const CliRun run = cli(arguments);
            EXPECT_EQ(run.exitCode, 2) << qPrintable(other);
            EXPECT_EQ(run.out, QString());
            EXPECT_TRUE(run.err.startsWith(QStringLiteral("error: ") + other))
                << qPrintable(run.err);
        }
    }
}

// Each replaced sample as loud as the one it replaced, as a second meter
// (ffmpeg's) hears it: one external and one banked, in one run.
TEST_F(CliDemo, ReplaceMatchesTheLoudnessOfEachSoundItReplaces) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    const auto sox = [&](const QString& name, const QString& line) {
        return SoundTools::Make(folder.FilePath(name), line);
    };
    // Long enough for a loudness reading, unlike the demo's own samples.
    const QString quiet = sox(QStringLiteral("quiet.flac"),
                              QStringLiteral("-r 44100 -c 2 OUT synth 2 pinknoise gain -30"));
    const QString medium = sox(QStringLiteral("medium.wav"),
                               QStringLiteral("-r 22050 -c 1 OUT synth 2 sine 500 gain -20"));
    for (const auto& [resource, source] :
         {std::pair{QStringLiteral("Crash"), quiet}, std::pair{QStringLiteral("Wind"), medium}}) {
        ASSERT_EQ(cli({QStringLiteral("import"), bank, resource, source}).exitCode, 0);
    }
    const auto waveOf = [&](const QString& name) {
        const QJsonArray records =
            QJsonDocument::fromJson(
                cli({QStringLiteral("resources"), bank, QStringLiteral("--records")}).out.toUtf8())
                .array();
        for (const QJsonValue& r : records) {
            if (r[QStringLiteral("name")].toString() == name) {
                return dir + QLatin1Char('/') + r[QStringLiteral("fileName")].toString();
            }
        }
        return QString();
    };
    // Wind's data is the bank's own copy once the import saved it; its wave
    // file is the same sound.
    const double crashBefore = SoundTools::LoudnessLufs(waveOf(QStringLiteral("Crash")));
    const double windBefore = SoundTools::LoudnessLufs(waveOf(QStringLiteral("Wind")));
    const QString sounds = folder.FilePath(QStringLiteral("new"));
    ASSERT_TRUE(QDir().mkpath(sounds));
    ASSERT_FALSE(SoundTools::Make(sounds + QStringLiteral("/crash.ogg"),
                                  QStringLiteral("-r 48000 -c 2 OUT synth 2 sine 700 gain -3"))
                     .isEmpty());
    ASSERT_FALSE(SoundTools::Make(sounds + QStringLiteral("/WIND.aiff"),
                                  QStringLiteral("-r 44100 -c 1 OUT synth 2 brownnoise gain -40"))
                     .isEmpty());
    const CliRun run =
        cli({QStringLiteral("replace"), bank, sounds, QStringLiteral("--match-loudness")});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_NEAR(SoundTools::LoudnessLufs(waveOf(QStringLiteral("Crash"))), crashBefore, 0.5);
    EXPECT_NEAR(SoundTools::LoudnessLufs(waveOf(QStringLiteral("Wind"))), windBefore, 0.5);
}
