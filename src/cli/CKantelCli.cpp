#include "CKantelCli.h"

#include "CCliPromptSink.h"
#include "CDemoBank.h"
#include "CJsonText.h"
#include "CRecordsJson.h"
#include "CTerminalProgress.h"

#include "doc/BankImage.h"
#include "doc/BnmHeaderFigures.h"
#include "doc/CBankChecker.h"
#include "doc/CBankReader.h"
#include "doc/CBankRecords.h"
#include "doc/CKantelDoc.h"
#include "doc/CNamesFileReader.h"
#include "doc/CSoundExporter.h"
#include "doc/NamesTable.h"
#include "doc/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CPromptSink.h"
#include "framework/core/IProgressSink.h"
#include "views/CEventCells.h"
#include "views/CResourceCells.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <span>

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
    "  import BANK RESOURCE FILE [--keep-rate] [-o OUT]\n"
    "                            open as the editor does, make the sound FILE (any format)\n"
    "                            the sample of RESOURCE (an index or a resource name),\n"
    "                            then save to OUT (default BANK)\n"
    "  demo DIR                  write the demo bank Bnk_1.bnm and its files into DIR\n"
    "  export BANK DIR [--resource RESOURCE] [--force]\n"
    "                            write the samples as wave files into DIR\n"
    "A BANK of - is read from standard input by header, resources, events and check;\n"
    "it has no folder, so no names file, wave files or other banks go with it.";

// A bank read from standard input is held whole in memory; a real one is a
// few hundred megabytes at most.
constexpr qint64 kMaxStdinBank = qint64{1} << 30;

bool isStdin(const QString& path) {
    return path == QStringLiteral("-");
}

// The bank as messages name it.
QString bankLabel(const QString& path) {
    return isStdin(path) ? QStringLiteral("standard input") : QFileInfo(path).absoluteFilePath();
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
                      Cells::AppendRowText(doc, 0, text, QLatin1Char('\t'));
                  }) {
        // A bank may hold 65,535 rows: one string serves them all, and no
        // cell becomes a string of its own.
        QString line;
        for (int row = 0; row < rows; ++row) {
            line.resize(0);
            Cells::AppendRowText(doc, row, line, QLatin1Char('\t'));
            line.back() = QLatin1Char('\n');
            out << line;
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

// A bank read only to be looked at: nothing is written beside it.
struct LoadedBank {
    BankImage image;
    NamesTable names;
    QString path; // the bank file as opened, absolute; empty for standard input

    CBankRecords Records() const {
        return {image.header,
                {image.resources, static_cast<size_t>(image.resourceCount)},
                {image.events, static_cast<size_t>(image.eventCount)},
                image.bank,
                names.names.get(),
                &names.firstOfId};
    }
};

void tell(QTextStream& err, const QString& text, unsigned type) {
    // The command's sink writes to the same stream; what was written to it
    // directly must come first.
    err.flush();
    CSeam<CPromptSink>::Current().Show(text, type);
}

// The editor closes the window of an empty file without a word; a script
// needs to know why nothing was done.
void sayEmpty(const QString& path, QTextStream& err) {
    err << "error: " << QFileInfo(path).absoluteFilePath() << " is empty: it holds no bank\n";
}

// All of standard input, or nothing after saying why.
std::optional<QByteArray> readStdin(QTextStream& err) {
    if (::isatty(STDIN_FILENO) == 1) {
        // Nobody types a bank: waiting for one would look like a hang.
        err << "error: standard input is a terminal; give a bank through a pipe or with <\n";
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            err << "error: standard input could not be read: "
                << QString::fromLocal8Bit(std::strerror(errno)) << '\n';
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        if (bytes.size() + got > kMaxStdinBank) {
            err << "error: standard input holds more than " << (kMaxStdinBank >> 20)
                << " MiB, more than a bank read from it may; give the bank as a file\n";
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<qsizetype>(got));
    }
}

// How much of a bank a command looks at. Sample data and names cost most of
// the reading of a big bank, so a command that shows neither reads neither.
enum class Reading {
    Whole,       // the sample data too, and the names
    Records,     // the header region and the names
    HeaderRegion // the header region alone
};

// The bank at path (standard input for "-") and, unless reading says
// otherwise, the names beside it, or nothing after saying why. Troubles the
// editor would show in message boxes go to err as lines.
std::optional<LoadedBank> readBank(const QString& path, QTextStream& err,
                                   Reading reading = Reading::Whole) {
    CResult<BankImage> read{FormatError{}};
    QString opened;
    if (isStdin(path)) {
        const std::optional<QByteArray> bytes = readStdin(err);
        if (!bytes) {
            return std::nullopt;
        }
        if (bytes->isEmpty()) {
            err << "error: standard input is empty: it holds no bank\n";
            return std::nullopt;
        }
        read = CBankReader::Read(*bytes, QString());
    } else {
        CFile file;
        CFileException error;
        try {
            if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
                throw error;
            }
            if (file.GetLength() == 0) {
                sayEmpty(path, err);
                return std::nullopt;
            }
            opened = file.GetFilePath();
            read = reading == Reading::Whole ? CBankReader::Read(file)
                                             : CBankReader::ReadRecords(file);
        } catch (const CFileException& e) {
            QString text = e.m_cause != CFileException::none || !e.m_strDetail.isEmpty()
                               ? e.GetErrorMessage()
                               : QStringLiteral("Failed to open document %1.").arg(path);
            if (e.m_cause == CFileException::notRegularFile) {
                // A pipe given by name (bash's <(...)) is read as standard
                // input instead.
                text +=
                    QStringLiteral("\nheader, resources, events and check read a bank given as - "
                                   "from standard input.");
            }
            tell(err, text, MB_OK | MB_ICONHAND);
            return std::nullopt;
        }
    }
    if (!read) {
        if (!read.Error().text.isEmpty()) {
            tell(err, read.Error().text, MB_OK | MB_ICONHAND);
        }
        return std::nullopt;
    }
    LoadedBank bank{std::move(read.Value()), {}, opened};
    for (const QString& warning : bank.image.warnings) {
        tell(err, warning, MB_OK | MB_ICONEXCLAMATION);
    }
    if (opened.isEmpty() || reading == Reading::HeaderRegion) {
        return bank;
    }
    CResult<NamesTable> names = CNamesFileReader::ReadBeside(opened, bank.image.resourceCount);
    if (names) {
        bank.names = std::move(names.Value());
    } else if (!names.Error().text.isEmpty()) {
        tell(err, names.Error().text + QStringLiteral("\nThe bank is shown without names."),
             MB_OK | MB_ICONEXCLAMATION);
    }
    return bank;
}

int usageError(QTextStream& err, const QString& text) {
    err << "kantel-cli: " << text << '\n' << "Try 'kantel-cli --help'.\n";
    return CKantelCli::UsageError;
}

// The options, each of which only some commands take.
struct Options {
    static constexpr unsigned Json = 1;
    static constexpr unsigned Output = 2;
    static constexpr unsigned AllExternal = 4;
    static constexpr unsigned AllBanked = 8;
    static constexpr unsigned KeepRate = 16;
    static constexpr unsigned Resource = 32;
    static constexpr unsigned Force = 64;
    static constexpr unsigned Records = 128;
    static constexpr unsigned Quiet = 256;
    static constexpr unsigned Verbose = 512;

    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("Print JSON instead of text.")};
    QCommandLineOption records{QStringLiteral("records"),
                               QStringLiteral("Print the records' own fields as JSON, numbers "
                                              "as numbers.")};
    QCommandLineOption output{QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Save to <file> instead of the bank."),
                              QStringLiteral("file")};
    QCommandLineOption allExternal{QStringLiteral("all-external"),
                                   QStringLiteral("Make every sample external first.")};
    QCommandLineOption allBanked{QStringLiteral("all-banked"),
                                 QStringLiteral("Bank every sample first.")};
    QCommandLineOption keepRate{QStringLiteral("keep-rate"),
                                QStringLiteral("Import at the sound file's own sample rate.")};
    QCommandLineOption resource{QStringLiteral("resource"),
                                QStringLiteral("Export only <resource>: its table index, or "
                                               "its name in the names file."),
                                QStringLiteral("resource")};
    QCommandLineOption force{QStringLiteral("force"),
                             QStringLiteral("Export replaces files that are there already.")};
    QCommandLineOption quiet{QStringList{QStringLiteral("q"), QStringLiteral("quiet")},
                             QStringLiteral("Say nothing but errors.")};
    QCommandLineOption verbose{QStringLiteral("verbose"),
                               QStringLiteral("List every file written, one a line.")};

    // The flags of the options set on parser.
    unsigned SetOn(const QCommandLineParser& parser) const {
        return (parser.isSet(json) ? Json : 0U) | (parser.isSet(output) ? Output : 0U) |
               (parser.isSet(allExternal) ? AllExternal : 0U) |
               (parser.isSet(allBanked) ? AllBanked : 0U) |
               (parser.isSet(keepRate) ? KeepRate : 0U) | (parser.isSet(resource) ? Resource : 0U) |
               (parser.isSet(force) ? Force : 0U) | (parser.isSet(records) ? Records : 0U) |
               (parser.isSet(quiet) ? Quiet : 0U) | (parser.isSet(verbose) ? Verbose : 0U);
    }
};

// One command as given: what follows its name, and where its output goes.
struct Invocation {
    const QCommandLineParser& parser;
    const Options& options;
    QString command;
    QStringList args;
    QTextStream& out;
    QTextStream& err;

    bool IsSet(const QCommandLineOption& option) const { return parser.isSet(option); }
};

// The files of a folder, to tell afterwards which ones a command wrote.
class WrittenFiles {
public:
    // Nothing is listed unless the user asked for it: reading a folder of
    // thousands of wave files costs time.
    WrittenFiles(const Invocation& run, const QString& bank)
        : m_bListing(run.IsSet(run.options.verbose)), m_folder(QFileInfo(bank).absolutePath()) {
        if (m_bListing) {
            const QStringList before = Entries();
            m_before = QSet<QString>(before.begin(), before.end());
        }
    }

    // Lists on out the files that are new in the folder, then the bank the
    // command saved (when it saved one).
    void Tell(QTextStream& out, const QString& saved = QString()) const {
        if (!m_bListing) {
            return;
        }
        for (const QString& name : Entries()) {
            if (!m_before.contains(name) &&
                !name.startsWith(QLatin1String(CFileBatch::kTemporaryPrefix))) {
                out << QDir(m_folder).filePath(name) << '\n';
            }
        }
        if (!saved.isEmpty()) {
            out << QFileInfo(saved).absoluteFilePath() << '\n';
        }
    }

private:
    QStringList Entries() const {
        return QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    bool m_bListing;
    QString m_folder;
    QSet<QString> m_before;
};

int runDemo(const Invocation& run) {
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
int runLook(const Invocation& run) {
    // The header's figures need no names; the lists show them.
    const std::optional<LoadedBank> bank = readBank(
        run.args.at(0), run.err,
        run.command == QStringLiteral("header") ? Reading::HeaderRegion : Reading::Records);
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
int runCheck(const Invocation& run) {
    const QString& path = run.args.at(0);
    const std::optional<LoadedBank> bank = readBank(path, run.err);
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
        const QString file = isStdin(path) ? QStringLiteral("standard input") : path;
        for (const CBankChecker::Finding& finding : findings) {
            run.out << file << ": " << CBankChecker::RecordLabel(finding) << ": " << finding.text
                    << '\n';
        }
    }
    return findings.empty() ? CKantelCli::Success : CKantelCli::Failure;
}

// Opens the bank as the editor does, wave files written and all; false after
// saying why it could not be opened.
bool openBank(CKantelDoc& doc, const QString& path, QTextStream& err) {
    err.flush();
    if (!doc.OnOpenDocument(path)) {
        const QFileInfo info(path);
        if (info.isFile() && info.size() == 0) {
            sayEmpty(path, err);
        }
        return false;
    }
    doc.SetPathName(path);
    return true;
}

int runExtract(const Invocation& run) {
    CKantelDoc doc;
    const WrittenFiles written(run, run.args.at(0));
    if (!openBank(doc, run.args.at(0), run.err)) {
        return CKantelCli::Failure;
    }
    written.Tell(run.out);
    // The bank still holds what was not written, but a script that asked for
    // the wave files did not get them.
    return doc.GetUnwrittenCount() > 0 ? CKantelCli::Failure : CKantelCli::Success;
}

// Where save and import write the bank. Saving puts a new file in the
// target's place: a FIFO, a device or a dangling link there would be
// replaced without a word, so it is refused before anything is done.
std::optional<QString> saveTarget(const Invocation& run, QTextStream& err) {
    const QString target =
        run.IsSet(run.options.output) ? run.parser.value(run.options.output) : run.args.at(0);
    const QFileInfo info(target);
    if ((info.exists() || info.isSymLink()) && !info.isDir() && !CFile::IsRegularFile(target)) {
        err << "error: " << info.absoluteFilePath()
            << " is not a regular file; the bank is not saved there\n";
        return std::nullopt;
    }
    return target;
}

int runSave(const Invocation& run) {
    const QString& path = run.args.at(0);
    const std::optional<QString> target = saveTarget(run, run.err);
    if (!target) {
        return CKantelCli::Failure;
    }
    CKantelDoc doc;
    const WrittenFiles written(run, path);
    if (!openBank(doc, path, run.err)) {
        return CKantelCli::Failure;
    }
    if (run.IsSet(run.options.allExternal)) {
        doc.OnEditAllExternal();
    } else if (run.IsSet(run.options.allBanked)) {
        doc.OnEditAllBanked();
    }
    const bool saved = doc.OnSaveDocument(*target);
    written.Tell(run.out, saved ? *target : QString());
    return saved ? CKantelCli::Success : CKantelCli::Failure;
}

// The resource a command line names: its table index, or the name the names
// file gives it (its case aside when no name matches exactly). -1 after
// saying on err why there is none, or that several resources have the name.
int findResource(const CBankRecords& records, const QString& bankPath, const QString& text,
                 QTextStream& err) {
    const std::span<const SoundResource> resources = records.Resources();
    bool number = false;
    const int index = text.toInt(&number);
    QStringList found;
    if (number) {
        if (index >= 0 && index < static_cast<int>(resources.size())) {
            return index;
        }
    } else {
        for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
            for (size_t row = 0; row < resources.size(); ++row) {
                if (records.GetResourceName(resources[row].resourceId & 0xFFFF).compare(text, cs) ==
                    0) {
                    found.append(QString::number(row));
                }
            }
            if (!found.isEmpty()) {
                break;
            }
        }
    }
    if (found.size() == 1) {
        return found.first().toInt();
    }
    const QString bank = QFileInfo(bankPath).absoluteFilePath();
    if (found.isEmpty()) {
        err << "error: " << bank << " has no resource '" << text << "'\n";
    } else {
        // Taking the first could change or write the wrong sample.
        err << "error: '" << text << "' names the resources at " << found.join(QStringLiteral(", "))
            << " of " << bank << "; give an index\n";
    }
    return -1;
}

// Reads the bank alone, so nothing is written into its folder; a sample with
// no wave file comes from the bank. Nobody can be asked, so files that are
// there stay unless --force.
int runExport(const Invocation& run) {
    const QString& path = run.args.at(0);
    const QString& folder = run.args.at(1);
    const std::optional<LoadedBank> bank = readBank(path, run.err);
    if (!bank) {
        return CKantelCli::Failure;
    }
    const CBankRecords records = bank->Records();
    int index = -1;
    if (run.IsSet(run.options.resource)) {
        index = findResource(records, path, run.parser.value(run.options.resource), run.err);
        if (index < 0) {
            return CKantelCli::Failure;
        }
    }
    const QByteArrayView image(reinterpret_cast<const char*>(bank->image.data.get()),
                               static_cast<qsizetype>(bank->image.size));
    const BnmHeader& header = *bank->image.header;
    const CSoundExporter exporter(
        {records, bank->image.folder + QLatin1Char('/'), QFileInfo(path).fileName(), [&](int i) {
             return CSoundExporter::RecordedData(image, header,
                                                 records.Resources()[static_cast<size_t>(i)]);
         }});
    std::vector<CSoundExporter::Target> targets = exporter.Plan(folder, index);
    if (targets.empty()) {
        run.err << "error: "
                << (index < 0 ? QStringLiteral("%1 holds no samples").arg(bankLabel(path))
                              : QStringLiteral("the resource at index %1 of %2 is no sample")
                                    .arg(index)
                                    .arg(bankLabel(path)))
                << '\n';
        return CKantelCli::Failure;
    }
    for (CSoundExporter::Target& target : targets) {
        target.overwrite = run.IsSet(run.options.force);
    }
    const CSoundExporter::Report report =
        exporter.Export(folder, targets, CSeam<IProgressSink>::Current());
    for (const QString& written : report.written) {
        run.out << written << '\n';
    }
    for (const QString& skipped : report.skipped) {
        run.err << "error: " << skipped << " exists and was not replaced (--force replaces it)\n";
    }
    for (const CSoundExporter::Failure& failure : report.failures) {
        run.err << "error: " << failure.text << '\n';
    }
    return report.skipped.isEmpty() && report.failures.empty() ? CKantelCli::Success
                                                               : CKantelCli::Failure;
}

int runImport(const Invocation& run) {
    const QString& path = run.args.at(0);
    const std::optional<QString> target = saveTarget(run, run.err);
    if (!target) {
        return CKantelCli::Failure;
    }
    CKantelDoc doc;
    const WrittenFiles written(run, path);
    if (!openBank(doc, path, run.err)) {
        return CKantelCli::Failure;
    }
    const int index = findResource(doc.Records(), path, run.args.at(1), run.err);
    if (index < 0) {
        written.Tell(run.out);
        return CKantelCli::Failure;
    }
    if (!doc.ImportSound(index, run.args.at(2), run.IsSet(run.options.keepRate))) {
        written.Tell(run.out);
        return CKantelCli::Failure;
    }
    const bool saved = doc.OnSaveDocument(*target);
    written.Tell(run.out, saved ? *target : QString());
    return saved ? CKantelCli::Success : CKantelCli::Failure;
}

struct Command {
    enum Trait : unsigned {
        ReadsStdin = 1,   // takes - for a bank on standard input
        ShowsProgress = 2 // long work, shown on a terminal
    };
    const char* name;
    int argumentCount;   // what must follow the name
    const char* missing; // says what it is when it does not
    unsigned options;    // the Options flags it takes
    int (*run)(const Invocation&);
    unsigned traits = 0;
};

constexpr unsigned kLookOptions = Options::Json | Options::Records | Options::Quiet;
constexpr unsigned kWriteOptions = Options::Quiet | Options::Verbose;

constexpr std::array kCommands{
    Command{"header", 1, "one bank", kLookOptions, runLook, Command::ReadsStdin},
    Command{"resources", 1, "one bank", kLookOptions, runLook, Command::ReadsStdin},
    Command{"events", 1, "one bank", kLookOptions, runLook, Command::ReadsStdin},
    Command{"check", 1, "one bank", Options::Json | Options::Quiet, runCheck, Command::ReadsStdin},
    Command{"extract", 1, "one bank", kWriteOptions, runExtract, Command::ShowsProgress},
    Command{"save", 1, "one bank",
            Options::Output | Options::AllExternal | Options::AllBanked | kWriteOptions, runSave,
            Command::ShowsProgress},
    Command{"import", 3, "a bank, a resource and a sound file",
            Options::Output | Options::KeepRate | kWriteOptions, runImport, Command::ShowsProgress},
    Command{"demo", 1, "one folder", Options::Quiet, runDemo},
    Command{"export", 2, "one bank and one folder",
            Options::Resource | Options::Force | Options::Quiet, runExport},
};

} // namespace

int CKantelCli::Run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads, extracts, imports, exports and saves the sound banks (.bnm) of Korvex "
        "and Lunaris."));
    parser.addPositionalArgument(QStringLiteral("command"), QString::fromLatin1(kUsage));
    parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("The bank or folder."));
    const Options options;
    parser.addOptions({options.json, options.records, options.output, options.allExternal,
                       options.allBanked, options.keepRate, options.resource, options.force,
                       options.quiet, options.verbose});
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();

    if (!parser.parse(arguments)) {
        return usageError(err, parser.errorText());
    }
    if (parser.isSet(helpOption)) {
        out << parser.helpText();
        return Success;
    }
    if (parser.isSet(versionOption)) {
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
    if (positional.size() != found->argumentCount) {
        return usageError(
            err, QStringLiteral("'%1' takes %2").arg(command, QLatin1String(found->missing)));
    }
    const unsigned set = options.SetOn(parser);
    if ((set & ~found->options) != 0U) {
        return usageError(err, QStringLiteral("option not valid for '%1'").arg(command));
    }
    const auto both = [set](unsigned a, unsigned b) { return (set & a) != 0U && (set & b) != 0U; };
    if (both(Options::AllExternal, Options::AllBanked)) {
        return usageError(err,
                          QStringLiteral("--all-external and --all-banked exclude each other"));
    }
    if (both(Options::Json, Options::Records)) {
        return usageError(err, QStringLiteral("--json and --records exclude each other"));
    }
    if (both(Options::Quiet, Options::Verbose)) {
        return usageError(err, QStringLiteral("--quiet and --verbose exclude each other"));
    }
    if ((found->traits & Command::ReadsStdin) == 0U && positional.contains(QStringLiteral("-"))) {
        return usageError(err, QStringLiteral("'%1' cannot read a bank from standard input: it "
                                              "needs the bank's folder")
                                   .arg(command));
    }
    // Messages that name no file are about the first one the command names.
    CCliPromptSink prompts(err, bankLabel(positional.first()), (set & Options::Quiet) != 0U);
    const CSeam<CPromptSink>::Guard promptGuard(&prompts);
    // Progress is for a person watching; a log or a pipe gets none.
    std::optional<CTerminalProgress> progress;
    if ((found->traits & Command::ShowsProgress) != 0U && (set & Options::Quiet) == 0U &&
        ::isatty(STDERR_FILENO) == 1) {
        progress.emplace(err);
        prompts.SetProgress(&*progress);
    }
    const CSeam<IProgressSink>::Guard progressGuard(progress ? &*progress : nullptr);
    const int code = found->run({parser, options, command, positional, out, err});
    // A script reading the output of a command that seemed to succeed must
    // not get half of it (a full disk, ulimit -f, a closed pipe).
    out.flush();
    if (out.status() != QTextStream::Ok) {
        err << "error: standard output could not be written"
            << (out.device() != nullptr && !out.device()->errorString().isEmpty()
                    ? QStringLiteral(": ") + out.device()->errorString()
                    : QString())
            << '\n';
        return Failure;
    }
    return code;
}
