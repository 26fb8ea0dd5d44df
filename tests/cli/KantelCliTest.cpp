#include "BankBuilder.h"
#include "QtPrinters.h"
#include "SoundTools.h"
#include "TestFolder.h"

#include "cli/CCliPromptSink.h"
#include "cli/CKantelCli.h"
#include "cli/CTerminalProgress.h"
#include "doc/CBnmFormat.h"
#include "framework/core/AfxMessageBox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <gtest/gtest.h>

#include <optional>

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
