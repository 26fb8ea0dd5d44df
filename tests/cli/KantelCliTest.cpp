#include "BankBuilder.h"
#include "QtPrinters.h"
#include "SoundTools.h"
#include "TestFolder.h"

#include "cli/CKantelCli.h"
#include "doc/CBnmFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTextStream>

#include <gtest/gtest.h>

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
CliRun cli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(KANTEL_CLI_PATH), arguments);
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
    EXPECT_EQ(run.err, QStringLiteral("error: File is truncated\n"));
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
    EXPECT_EQ(run.err, QString());
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
                               .arg(Out(QStringLiteral("Gear.wav")))}));
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
    for (const Refused& r : {Refused{"12", "error: the resource at index 12 is no sample"},
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
