#include "CKantelCli.h"

#include "CCliBank.h"
#include "CCliDiffCommand.h"
#include "CCliInvocation.h"
#include "CCliOptions.h"
#include "CCliPromptSink.h"
#include "CCliWriteCommands.h"
#include "CDemoBank.h"
#include "CJsonText.h"
#include "CRecordsJson.h"
#include "CTerminalProgress.h"

#include "format/BankImage.h"
#include "format/BnmHeaderFigures.h"
#include "format/CBankChecker.h"
#include "format/CBankRecords.h"
#include "framework/core/CPromptSink.h"
#include "framework/core/IProgressSink.h"
#include "views/CEventCells.h"
#include "views/CResourceCells.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileDevice>
#include <QFileInfo>
#include <QIODevice>
#include <QStringConverter>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <optional>

#include <unistd.h>

namespace {

const char* const kUsage =
    "Commands:\n"
    "  header BANK [--json | --records]     the figures of the bank's header\n"
    "  resources BANK [--json | --records]  the resource list, as the editor shows it\n"
    "  events BANK [--json | --records]     the event list, as the editor shows it\n"
    "  check BANK [--json]       what is wrong with the bank, one finding a line;\n"
    "                            exit status 1 when anything is found\n"
    "  extract BANK              open as the editor does: write every missing wave file\n"
    "  save BANK [-o OUT] [--all-external | --all-banked]\n"
    "                            open as the editor does, then save to OUT (default BANK)\n"
    "  import BANK RESOURCE FILE [--keep-rate] [--match-loudness] [-o OUT]\n"
    "                            open as the editor does, make the sound FILE (any format)\n"
    "                            the sample of RESOURCE (an index or a resource name),\n"
    "                            then save to OUT (default BANK); --match-loudness makes\n"
    "                            it as loud as the sound it replaces and prints the gain\n"
    "  replace BANK FOLDER [--dry-run] [--keep-rate] [--match-loudness] [-o OUT] [--json]\n"
    "                            make each sound file of FOLDER whose name is a sample's\n"
    "                            (its name or its wave file's, case ignored) that sample's\n"
    "                            sound, all in one save; nothing is written when any fails\n"
    "  demo DIR                  write the demo bank Bnk_1.bnm and its files into DIR\n"
    "  export BANK DIR [--resource RESOURCE] [--force]\n"
    "                            write the samples as wave files into DIR\n"
    "  diff BANK_A BANK_B [--json]\n"
    "                            what differs between two banks, one difference a line;\n"
    "                            exit status 1 when they differ, 2 when one cannot be read\n"
    "A BANK of - is read from standard input by header, resources, events and check;\n"
    "it has no folder, so no names file, wave files or other banks go with it.";

// Puts text on out's device as UTF-8 in one write, past the stream's own
// buffer, which would copy it once more; a stream on a string, or one that
// encodes otherwise, takes it as any other text. A failed write leaves out
// failed, as its own writes would.
void writeUtf8(QTextStream& out, const QString& text) {
    QIODevice* device = out.device();
    if (device == nullptr || out.encoding() != QStringConverter::Utf8 ||
        out.generateByteOrderMark()) {
        out << text;
        return;
    }
    out.flush();
    const QByteArray bytes = text.toUtf8();
    if (device->write(bytes) != bytes.size()) {
        out.setStatus(QTextStream::WriteFailed);
    }
}

template <typename Cells> void printTable(const CBankRecords& doc, bool json, QTextStream& out) {
    const auto& columns = Cells::Columns();
    const int rows = Cells::RowCount(doc);
    if (json) {
        QList<CJsonText::Fields> objects;
        objects.reserve(rows);
        for (int row = 0; row < rows; ++row) {
            CJsonText::Fields fields;
            for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
                fields.append({QString::fromLatin1(columns[static_cast<size_t>(c)].title),
                               Cells::Text(doc, row, c)});
            }
            objects.append(fields);
        }
        out << CJsonText::Array(objects) << '\n';
        return;
    }
    QStringList titles;
    for (const ListColumn& column : columns) {
        titles << QString::fromLatin1(column.title);
    }
    out << titles.join(QLatin1Char('\t')) << '\n';
    if constexpr (requires(QString & text) {
                      Cells::AppendRowsText(doc, 0, 1, text, QLatin1Char('\t'), QLatin1Char('\n'));
                  }) {
        // A bank may hold 65,535 rows: they go out in runs of rows through
        // one string, so that no cell becomes a string of its own and the
        // stream is called once a run, not once a row.
        constexpr int kRun = 256;
        QString text;
        for (int first = 0; first < rows; first += kRun) {
            text.resize(0);
            Cells::AppendRowsText(doc, first, std::min(rows, first + kRun), text, QLatin1Char('\t'),
                                  QLatin1Char('\n'));
            writeUtf8(out, text);
        }
        // What the device still buffers is written now, so that a failure is
        // the stream's to report.
        if (auto* file = qobject_cast<QFileDevice*>(out.device());
            file != nullptr && !file->flush()) {
            out.setStatus(QTextStream::WriteFailed);
        }
        return;
    }
    for (int row = 0; row < rows; ++row) {
        QStringList cells;
        for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
            cells << Cells::Text(doc, row, c);
        }
        out << cells.join(QLatin1Char('\t')) << '\n';
    }
}

void printHeader(const CBankRecords& doc, bool json, QTextStream& out) {
    const BnmHeaderFigures f = doc.GetHeaderFigures();
    const CJsonText::Fields fields = {
        {QStringLiteral("File length"), f.fileLength},
        {QStringLiteral("Sample data offset"), f.sampleDataOffset},
        {QStringLiteral("Sound Events Count"), f.eventCount},
        {QStringLiteral("Sound Events Table offset"), f.eventTableOffset},
        {QStringLiteral("Sound Resources Count"), f.resourceCount},
        {QStringLiteral("Sound Resources Table offset"), f.resourceTableOffset},
        {QStringLiteral("Bank number"), QString::asprintf("%d", doc.GetBank())},
    };
    if (json) {
        out << CJsonText::Object(fields) << '\n';
        return;
    }
    for (const auto& [label, value] : fields) {
        out << label << ": " << value << '\n';
    }
}

int usageError(QTextStream& err, const QString& text) {
    err << "kantel-cli: " << text << '\n' << "Try 'kantel-cli --help'.\n";
    return CKantelCli::UsageError;
}

int runDemo(const CCliInvocation& run) {
    const QString& folder = run.args.at(0);
    const QString error = CDemoBank::Write(folder);
    if (!error.isEmpty()) {
        run.err << "error: " << error << '\n';
        return CKantelCli::Failure;
    }
    run.out << QFileInfo(folder + QStringLiteral("/Bnk_1.bnm")).absoluteFilePath() << '\n';
    return CKantelCli::Success;
}

// header, resources and events: the bank is read and shown, nothing written.
int runLook(const CCliInvocation& run) {
    // Of the three, only the resource list shows names; the header's figures
    // and the event list's labels need none. The bank outlives everything
    // shown of it, so its names need no strings of their own.
    const std::optional<CCliBank> bank =
        CCliBank::Read(run.args.at(0), run.err,
                       run.command == QStringLiteral("resources") ? CCliBank::Reading::Records
                                                                  : CCliBank::Reading::HeaderRegion,
                       NamesTable::Strings::Borrowed);
    if (!bank) {
        return CKantelCli::Failure;
    }
    const CBankRecords records = bank->Records();
    if (run.IsSet(run.options.records)) {
        run.out << (run.command == QStringLiteral("header")      ? CRecordsJson::Header(records)
                    : run.command == QStringLiteral("resources") ? CRecordsJson::Resources(records)
                                                                 : CRecordsJson::Events(records))
                << '\n';
        return CKantelCli::Success;
    }
    const bool json = run.IsSet(run.options.json);
    if (run.command == QStringLiteral("header")) {
        printHeader(records, json, run.out);
    } else if (run.command == QStringLiteral("resources")) {
        printTable<CResourceCells>(records, json, run.out);
    } else {
        printTable<CEventCells>(records, json, run.out);
    }
    return CKantelCli::Success;
}

// Reads the bank alone, as the look commands do; the findings go to out.
int runCheck(const CCliInvocation& run) {
    const QString& path = run.args.at(0);
    const std::optional<CCliBank> bank = CCliBank::Read(path, run.err);
    if (!bank) {
        return CKantelCli::Failure;
    }
    CBankChecker::Bank checked;
    checked.records = bank->Records();
    if (bank->names.names) {
        checked.names = {bank->names.names.get(), static_cast<size_t>(bank->image.resourceCount)};
    }
    checked.image = {reinterpret_cast<const char*>(bank->image.data.get()),
                     static_cast<qsizetype>(bank->image.size)};
    checked.fileSize = bank->image.size;
    checked.path = bank->path;
    const std::vector<CBankChecker::Finding> findings = CBankChecker(checked).Check();
    if (run.IsSet(run.options.json)) {
        run.out << CRecordsJson::Findings(findings) << '\n';
    } else {
        // As compilers name a place: the file, then the record.
        const QString file = CCliBank::IsStdin(path) ? QStringLiteral("standard input") : path;
        for (const CBankChecker::Finding& finding : findings) {
            run.out << file << ": " << CBankChecker::RecordLabel(finding) << ": " << finding.text
                    << '\n';
        }
    }
    return findings.empty() ? CKantelCli::Success : CKantelCli::Failure;
}

struct Command {
    enum Trait : unsigned {
        ReadsStdin = 1,    // takes - for a bank on standard input
        ShowsProgress = 2, // long work, shown on a terminal
        // Writes files: any error it told of means something asked for was
        // not done, whatever it did besides.
        Writes = 4
    };
    const char* name;
    int argumentCount;   // what must follow the name
    const char* missing; // says what it is when it does not
    unsigned options;    // the CCliOptions flags it takes
    int (*run)(const CCliInvocation&);
    unsigned traits = 0;
};

constexpr unsigned kLookOptions = CCliOptions::Json | CCliOptions::Records | CCliOptions::Quiet;
constexpr unsigned kWriteOptions = CCliOptions::Quiet | CCliOptions::Verbose;

constexpr std::array kCommands{
    Command{"header", 1, "one bank", kLookOptions, runLook, Command::ReadsStdin},
    Command{"resources", 1, "one bank", kLookOptions, runLook, Command::ReadsStdin},
    Command{"events", 1, "one bank", kLookOptions, runLook, Command::ReadsStdin},
    Command{"check", 1, "one bank", CCliOptions::Json | CCliOptions::Quiet, runCheck,
            Command::ReadsStdin},
    Command{"extract", 1, "one bank", kWriteOptions, CCliWriteCommands::Extract,
            Command::ShowsProgress | Command::Writes},
    Command{"save", 1, "one bank",
            CCliOptions::Output | CCliOptions::AllExternal | CCliOptions::AllBanked | kWriteOptions,
            CCliWriteCommands::Save, Command::ShowsProgress | Command::Writes},
    Command{"import", 3, "a bank, a resource and a sound file",
            CCliOptions::Output | CCliOptions::KeepRate | CCliOptions::MatchLoudness |
                kWriteOptions,
            CCliWriteCommands::Import, Command::ShowsProgress | Command::Writes},
    Command{"replace", 2, "one bank and one folder",
            CCliOptions::Output | CCliOptions::KeepRate | CCliOptions::DryRun |
                CCliOptions::MatchLoudness | CCliOptions::Json | kWriteOptions,
            CCliWriteCommands::Replace, Command::ShowsProgress | Command::Writes},
    Command{"demo", 1, "one folder", CCliOptions::Quiet, runDemo},
    Command{"export", 2, "one bank and one folder",
            CCliOptions::Resource | CCliOptions::Force | CCliOptions::Quiet,
            CCliWriteCommands::Export},
    Command{"diff", 2, "two banks", CCliOptions::Json | CCliOptions::Quiet, CCliDiffCommand::Run},
};

// The parser of kantel-cli's command line, with every option of options.
struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help;
    QCommandLineOption version;

    explicit Parser(const CCliOptions& options)
        : help(addOptions(parser, options)), version(parser.addVersionOption()) {}

    static QCommandLineOption addOptions(QCommandLineParser& parser, const CCliOptions& options) {
        parser.setApplicationDescription(QStringLiteral(
            "Reads, extracts, imports, exports and saves the sound banks (.bnm) of Korvex "
            "and Lunaris."));
        parser.addPositionalArgument(QStringLiteral("command"), QString::fromLatin1(kUsage));
        parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("The bank or folder."));
        parser.addOptions(options.All());
        return parser.addHelpOption();
    }
};

// Why command cannot run as given (positional: what follows its name; set:
// the flags of the options given), or an empty string.
QString usageProblem(const Command& command, const QStringList& positional, unsigned set) {
    const QString name = QLatin1String(command.name);
    if (positional.size() != command.argumentCount) {
        return QStringLiteral("'%1' takes %2").arg(name, QLatin1String(command.missing));
    }
    if ((set & ~command.options) != 0U) {
        return QStringLiteral("option not valid for '%1'").arg(name);
    }
    const auto both = [set](unsigned a, unsigned b) { return (set & a) != 0U && (set & b) != 0U; };
    if (both(CCliOptions::AllExternal, CCliOptions::AllBanked)) {
        return QStringLiteral("--all-external and --all-banked exclude each other");
    }
    if (both(CCliOptions::Json, CCliOptions::Records)) {
        return QStringLiteral("--json and --records exclude each other");
    }
    if (both(CCliOptions::Quiet, CCliOptions::Verbose)) {
        return QStringLiteral("--quiet and --verbose exclude each other");
    }
    if ((command.traits & Command::ReadsStdin) == 0U && positional.contains(QStringLiteral("-"))) {
        return QStringLiteral("'%1' cannot read a bank from standard input: it "
                              "needs the bank's folder")
            .arg(name);
    }
    return QString();
}

// Runs command with the prompts and progress a shell gets; its exit status.
int runCommand(const Command& command, const CCliInvocation& run, unsigned set) {
    // Messages that name no file are about the first one the command names.
    CCliPromptSink prompts(run.err, CCliBank::Label(run.args.first()),
                           (set & CCliOptions::Quiet) != 0U);
    const CSeam<CPromptSink>::Guard promptGuard(&prompts);
    // Progress is for a person watching; a log or a pipe gets none.
    std::optional<CTerminalProgress> progress;
    if ((command.traits & Command::ShowsProgress) != 0U && (set & CCliOptions::Quiet) == 0U &&
        ::isatty(STDERR_FILENO) == 1) {
        progress.emplace(run.err);
        prompts.SetProgress(&*progress);
    }
    const CSeam<IProgressSink>::Guard progressGuard(progress ? &*progress : nullptr);
    int code = command.run(run);
    if (code == CKantelCli::Success && (command.traits & Command::Writes) != 0U &&
        prompts.ErrorCount() > 0) {
        code = CKantelCli::Failure;
    }
    return code;
}

// A script reading the output of a command that seemed to succeed must not
// get half of it (a full disk, ulimit -f, a closed pipe): code, or Failure
// after saying so when out could not be written whole.
int flushed(QTextStream& out, QTextStream& err, int code) {
    out.flush();
    if (out.status() != QTextStream::Ok) {
        err << "error: standard output could not be written"
            << (out.device() != nullptr && !out.device()->errorString().isEmpty()
                    ? QStringLiteral(": ") + out.device()->errorString()
                    : QString())
            << '\n';
        return CKantelCli::Failure;
    }
    return code;
}

} // namespace

int CKantelCli::Run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const CCliOptions options;
    Parser given(options);
    QCommandLineParser& parser = given.parser;
    if (!parser.parse(arguments)) {
        return usageError(err, parser.errorText());
    }
    if (parser.isSet(given.help)) {
        out << parser.helpText();
        return Success;
    }
    if (parser.isSet(given.version)) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << '\n';
        return Success;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return usageError(err, QStringLiteral("no command given"));
    }
    const QString command = positional.takeFirst();
    const auto found = std::find_if(kCommands.begin(), kCommands.end(), [&](const Command& c) {
        return command == QLatin1String(c.name);
    });
    if (found == kCommands.end()) {
        return usageError(err, QStringLiteral("unknown command '%1'").arg(command));
    }
    const unsigned set = options.SetOn(parser);
    if (const QString problem = usageProblem(*found, positional, set); !problem.isEmpty()) {
        return usageError(err, problem);
    }
    return flushed(out, err,
                   runCommand(*found, {parser, options, command, positional, out, err}, set));
}
