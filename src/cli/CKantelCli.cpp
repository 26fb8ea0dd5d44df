#include "CKantelCli.h"

#include "CCliPromptSink.h"
#include "CDemoBank.h"
#include "CJsonText.h"
#include "CRecordsJson.h"
#include "CTerminalProgress.h"

#include "doc/BankImage.h"
#include "doc/BnmHeaderFigures.h"
#include "doc/CBankChecker.h"
#include "doc/CBankComparer.h"
#include "doc/CBankFolderFiles.h"
#include "doc/CBankReader.h"
#include "doc/CBankRecords.h"
#include "doc/CBnmFormat.h"
#include "doc/CFolderReplacer.h"
#include "doc/CKantelDoc.h"
#include "doc/CLoudnessMeter.h"
#include "doc/CNamesFileReader.h"
#include "doc/CReplacePlan.h"
#include "doc/CSoundExporter.h"
#include "doc/NamesTable.h"
#include "doc/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFileLock.h"
#include "framework/core/CPathCase.h"
#include "framework/core/CPromptSink.h"
#include "framework/core/IProgressSink.h"
#include "views/CEventCells.h"
#include "views/CResourceCells.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
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

    // How loud resource index's sample is where it lives: the bank's copy
    // of a banked one's data, else its wave file.
    CResult<CLoudnessMeter::Reading> MeasureSample(int index) const {
        const SoundResource& r = image.resources[index];
        QByteArrayView banked;
        const qint64 at = qint64{image.header->sampleDataOffset} + r.offset;
        if (r.IsBankedSample() && r.offset >= 0 && r.length > 0 && at + r.length <= image.size) {
            banked = {reinterpret_cast<const char*>(image.data.get() + at), r.length};
        }
        const QString wave = CPathCase::ResolveExisting(image.folder + QLatin1Char('/') +
                                                        CBnmFormat::FileNameText(r));
        return CLoudnessMeter::MeasureSample(
            r, banked,
            wave.isEmpty() ? image.folder + QLatin1Char('/') + CBnmFormat::FileNameText(r) : wave);
    }

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
    static constexpr unsigned MatchLoudness = 1024;
    static constexpr unsigned DryRun = 2048;

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
    QCommandLineOption matchLoudness{
        QStringLiteral("match-loudness"),
        QStringLiteral("Scale each new sound to the loudness of the one it replaces, never past "
                       "a true peak of -1 dBTP.")};
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
    QCommandLineOption dryRun{QStringLiteral("dry-run"),
                              QStringLiteral("Say what replace would do; write nothing.")};

    // The flags of the options set on parser.
    unsigned SetOn(const QCommandLineParser& parser) const {
        return (parser.isSet(json) ? Json : 0U) | (parser.isSet(output) ? Output : 0U) |
               (parser.isSet(allExternal) ? AllExternal : 0U) |
               (parser.isSet(allBanked) ? AllBanked : 0U) |
               (parser.isSet(keepRate) ? KeepRate : 0U) | (parser.isSet(resource) ? Resource : 0U) |
               (parser.isSet(force) ? Force : 0U) | (parser.isSet(records) ? Records : 0U) |
               (parser.isSet(quiet) ? Quiet : 0U) | (parser.isSet(verbose) ? Verbose : 0U) |
               (parser.isSet(dryRun) ? DryRun : 0U) |
               (parser.isSet(matchLoudness) ? MatchLoudness : 0U);
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
                !name.startsWith(QLatin1String(CFileBatch::kTemporaryPrefix)) &&
                !CFileLock::IsLockFileName(name)) {
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

// How long a writing command waits for another writer of its bank.
constexpr std::chrono::seconds kLockWait{10};

// Takes the bank's lock for a command that writes beside it or into it, from
// before it is opened until the command ends: two imports at once would
// otherwise each save the bank as it was without the other's sound. False
// after saying who holds it.
bool lockBank(const Invocation& run, CFileLock& lock) {
    const QString& path = run.args.at(0);
    if (lock.Acquire(path, QStringLiteral("kantel-cli ") + run.command, kLockWait) !=
        CFileLock::Result::Busy) {
        return true;
    }
    run.err << "error: " << QFileInfo(path).absoluteFilePath() << " is being written by "
            << (lock.Holder().isEmpty() ? QStringLiteral("another program") : lock.Holder())
            << "; waited " << kLockWait.count() << " seconds, nothing was done\n";
    return false;
}

int runExtract(const Invocation& run) {
    CFileLock lock;
    if (!lockBank(run, lock)) {
        return CKantelCli::Failure;
    }
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
    if (info.isDir()) {
        err << "error: " << info.absoluteFilePath()
            << " is a folder; the bank is not saved there\n";
        return std::nullopt;
    }
    if ((info.exists() || info.isSymLink()) && !CFile::IsRegularFile(target)) {
        err << "error: " << info.absoluteFilePath()
            << " is not a regular file; the bank is not saved there\n";
        return std::nullopt;
    }
    if (!QFileInfo(info.absolutePath()).isDir()) {
        err << "error: the folder " << info.absolutePath()
            << " does not exist; the bank is not saved there\n";
        return std::nullopt;
    }
    // Checked before any work: the import's new wave and the bank's missing
    // ones would otherwise be written for a save that cannot happen.
    if (const CBankFolderFiles::Role role =
            CBankFolderFiles::SaveObstacle(target, run.args.at(0))) {
        err << "error: " << info.absoluteFilePath() << " is " << CBankFolderFiles::Describe(role)
            << "; the bank is not saved there\n";
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
    CFileLock lock;
    if (!lockBank(run, lock)) {
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
    // Standard output stays one path a line for scripts; the count is for
    // the person, who may not have seen where the files went.
    const QString where = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!report.written.isEmpty() || report.failures.empty()) {
        tell(run.err,
             report.written.size() == 1 ? QStringLiteral("1 wave file written to %1").arg(where)
                                        : QStringLiteral("%1 wave files written to %2")
                                              .arg(report.written.size())
                                              .arg(where),
             MB_OK | MB_ICONINFORMATION);
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
    CFileLock lock;
    if (!lockBank(run, lock)) {
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
    // The new wave lands with the bank or not at all.
    const CKantelDoc::ImportOptions options{run.IsSet(run.options.keepRate),
                                            run.IsSet(run.options.matchLoudness), true};
    CSoundImporter::Imported imported;
    if (!doc.ImportSound(index, run.args.at(2), options, &imported)) {
        written.Tell(run.out);
        return CKantelCli::Failure;
    }
    const bool saved = doc.OnSaveDocument(*target);
    // Said once the bank holds it: a gain of a save that failed was never
    // applied to anything.
    if (saved && imported.loudness && !run.IsSet(run.options.quiet)) {
        run.out << imported.fileName << ": " << imported.loudness->Text() << '\n';
    }
    written.Tell(run.out, saved ? *target : QString());
    return saved ? CKantelCli::Success : CKantelCli::Failure;
}

// What replace did or would do, as lines or as one JSON object.
void printReplace(const Invocation& run, const CReplacePlan& plan,
                  std::span<const CFolderReplacer::Failure> failures, bool replaced) {
    const std::vector<CReplacePlan::Match> none;
    const std::span<const CReplacePlan::Match> matches =
        replaced ? std::span<const CReplacePlan::Match>(plan.matches) : none;
    if (run.IsSet(run.options.json)) {
        QJsonArray done;
        for (const CReplacePlan::Match& m : matches) {
            done.append(QJsonObject{{QStringLiteral("index"), m.index},
                                    {QStringLiteral("name"), m.name},
                                    {QStringLiteral("file"), m.fileName}});
        }
        QJsonArray ambiguous;
        for (const CReplacePlan::Ambiguous& a : plan.ambiguous) {
            QJsonArray indexes;
            for (int index : a.indexes) {
                indexes.append(index);
            }
            ambiguous.append(QJsonObject{{QStringLiteral("file"), a.fileName},
                                         {QStringLiteral("indexes"), indexes}});
        }
        QJsonArray failed;
        for (const CFolderReplacer::Failure& f : failures) {
            failed.append(QJsonObject{{QStringLiteral("file"), f.file},
                                      {QStringLiteral("message"), f.message}});
        }
        const QJsonObject report{
            {QStringLiteral("replaced"), done},
            {QStringLiteral("ambiguous"), ambiguous},
            {QStringLiteral("unmatched"), QJsonArray::fromStringList(plan.unmatched)},
            {QStringLiteral("failed"), failed}};
        run.out << QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Compact)) << '\n';
    } else {
        for (const CReplacePlan::Match& m : matches) {
            run.out << m.index << ' ' << m.name << " <- " << m.fileName << ": "
                    << CReplacePlan::FormatText(m.from) << " -> " << CReplacePlan::FormatText(m.to)
                    << ", " << CReplacePlan::LoopText(m.loop) << '\n';
        }
        for (const CReplacePlan::Ambiguous& a : plan.ambiguous) {
            QStringList indexes;
            for (int index : a.indexes) {
                indexes.append(QString::number(index));
            }
            run.out << a.fileName << ": ambiguous, fits the samples at "
                    << indexes.join(QStringLiteral(", ")) << "; left alone\n";
        }
        for (const QString& file : plan.unmatched) {
            run.out << file << ": matches no sample\n";
        }
        run.out << plan.samplesWithoutFile
                << (plan.samplesWithoutFile == 1 ? " sample" : " samples") << " matched no file\n";
    }
    for (const CFolderReplacer::Failure& f : failures) {
        run.err << "error: " << f.message << '\n';
    }
}

// Whether the new waves (beside the bank) and the bank (at target) can be
// written at all: found out after minutes of converting, this would waste
// them.
bool replaceTargetsWritable(const Invocation& run, const QString& path, const QString& target) {
    for (const QString& written : {target, path}) {
        const QString folder = QFileInfo(written).absolutePath();
        if (::access(QFile::encodeName(folder).constData(), W_OK) != 0) {
            run.err << "error: "
                    << (written == path ? folder : QFileInfo(written).absoluteFilePath())
                    << " cannot be written: " << QString::fromLocal8Bit(std::strerror(errno))
                    << '\n';
            return false;
        }
    }
    return true;
}

// Converts and names every match's wave, then opens the bank as the editor
// does, gives the records their new sounds and saves once; on any failure
// the new waves go again.
int applyReplace(const Invocation& run, const LoadedBank& bank, const CReplacePlan& plan,
                 const QString& path, const QString& target) {
    QStringList taken;
    for (const SoundResource& r : bank.Records().Resources()) {
        if (r.IsSample()) {
            taken.append(CBnmFormat::FileNameText(r));
        }
    }
    // Before the new waves are made, so that --verbose lists them.
    const WrittenFiles written(run, path);
    CFolderReplacer replacer(
        bank.image.folder + QLatin1Char('/'),
        [&](const QString& name) { return taken.contains(name, Qt::CaseInsensitive); },
        [&](int index) { return bank.MeasureSample(index); });
    if (replacer.Convert(plan, plan.matches, CSeam<IProgressSink>::Current()) !=
            CFolderReplacer::Outcome::Done ||
        !replacer.Commit()) {
        printReplace(run, plan, replacer.Failures(), false);
        return CKantelCli::Failure;
    }
    CKantelDoc doc;
    bool saved = false;
    if (openBank(doc, path, run.err)) {
        if (!doc.ApplyReplaced(replacer)) {
            run.err << "error: " << bankLabel(path)
                    << " changed while the sounds were converted; nothing was replaced\n";
        } else {
            saved = doc.OnSaveDocument(target);
        }
    }
    if (!saved) {
        // The new files were named; no record names them now.
        replacer.RemoveCommitted();
        printReplace(run, plan, replacer.Failures(), false);
        return CKantelCli::Failure;
    }
    printReplace(run, plan, {}, true);
    written.Tell(run.out, target);
    return CKantelCli::Success;
}

// Plans on the bank as read, so that a dry run or a failure writes nothing
// at all, not even the wave files opening writes; every sound is converted
// before the bank is opened as the editor opens it, and saved once.
int runReplace(const Invocation& run) {
    const QString& path = run.args.at(0);
    const std::optional<QString> target = saveTarget(run, run.err);
    if (!target) {
        return CKantelCli::Failure;
    }
    const bool dryRun = run.IsSet(run.options.dryRun);
    if (!dryRun && !replaceTargetsWritable(run, path, *target)) {
        return CKantelCli::Failure;
    }
    const std::optional<LoadedBank> bank = readBank(path, run.err);
    if (!bank) {
        return CKantelCli::Failure;
    }
    CReplacePlan::Options options;
    options.keepRate = run.IsSet(run.options.keepRate);
    options.matchLoudness = run.IsSet(run.options.matchLoudness);
    CResult<CReplacePlan> made =
        CReplacePlan::Make(run.args.at(1), bank->Records(), options, bank->image.folder);
    if (!made) {
        run.err << "error: " << made.Error().text << '\n';
        return CKantelCli::Failure;
    }
    const CReplacePlan& plan = made.Value();
    if (run.IsSet(run.options.output)) {
        const QString conflict = plan.OutputConflict(*target, path, bank->Records());
        if (!conflict.isEmpty()) {
            run.err << "error: " << conflict << "; the bank is not saved there\n";
            return CKantelCli::Failure;
        }
    }
    for (const CReplacePlan::Problem& skipped : plan.skipped) {
        run.err << "warning: " << skipped.message << '\n';
    }
    std::vector<CFolderReplacer::Failure> failures;
    for (const CReplacePlan::Problem& failed : plan.failed) {
        failures.push_back({failed.file, failed.message});
    }
    if (!failures.empty() || dryRun || plan.matches.empty()) {
        printReplace(run, plan, failures, failures.empty());
        return failures.empty() ? CKantelCli::Success : CKantelCli::Failure;
    }
    return applyReplace(run, *bank, plan, path, *target);
}

// A value of a difference as JSON: numbers as numbers, texts quoted, a
// sound as an object.
QString jsonValue(const QVariant& value) {
    if (!value.isValid()) {
        return CJsonText::Null();
    }
    switch (value.typeId()) {
    case QMetaType::QString:
        return CJsonText::Quote(value.toString());
    case QMetaType::QVariantList: {
        QStringList items;
        for (const QVariant& item : value.toList()) {
            items.append(jsonValue(item));
        }
        return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    case QMetaType::QVariantMap: {
        CJsonText::Fields fields;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            fields.append({it.key(), jsonValue(it.value())});
        }
        return CJsonText::Inline(fields);
    }
    default:
        return CJsonText::Number(value.toLongLong());
    }
}

// Both banks are read as the look commands read them: nothing is written
// beside either, and a banked sample's sound is the bank's own copy.
int runDiff(const Invocation& run) {
    // Apart from "equal" and "differ", so a script never takes a bank it
    // could not read for one that differs.
    constexpr int kUnreadable = 2;
    const QString& pathA = run.args.at(0);
    const QString& pathB = run.args.at(1);
    const std::optional<LoadedBank> a = readBank(pathA, run.err);
    if (!a) {
        return kUnreadable;
    }
    std::optional<LoadedBank> b;
    {
        // What reading the second bank says is about the second bank.
        CCliPromptSink prompts(run.err, bankLabel(pathB), run.IsSet(run.options.quiet));
        const CSeam<CPromptSink>::Guard guard(&prompts);
        b = readBank(pathB, run.err);
    }
    if (!b) {
        return kUnreadable;
    }
    const auto side = [](const LoadedBank& bank) {
        const CBankRecords records = bank.Records();
        const QByteArrayView image(reinterpret_cast<const char*>(bank.image.data.get()),
                                   static_cast<qsizetype>(bank.image.size));
        const BnmHeader* header = bank.image.header;
        return CBankComparer::Bank{records, bank.path, [records, image, header](int i) {
                                       return CSoundExporter::RecordedData(
                                           image, *header,
                                           records.Resources()[static_cast<size_t>(i)]);
                                   }};
    };
    const CBankComparer::Result result = CBankComparer(side(*a), side(*b)).Compare();
    if (!run.IsSet(run.options.quiet)) {
        for (const QString& warning : result.warnings) {
            run.err << "warning: " << warning << '\n';
        }
    }
    if (run.IsSet(run.options.json)) {
        QList<CJsonText::Fields> rows;
        rows.reserve(static_cast<qsizetype>(result.differences.size()));
        for (const CBankComparer::Difference& d : result.differences) {
            rows.append({
                {QStringLiteral("record"), CJsonText::Quote(CBankComparer::RecordName(d.record))},
                {QStringLiteral("index"),
                 d.index >= 0 ? CJsonText::Number(d.index) : CJsonText::Null()},
                {QStringLiteral("field"),
                 d.field.isEmpty() ? CJsonText::Null() : CJsonText::Quote(d.field)},
                {QStringLiteral("a"), jsonValue(d.a)},
                {QStringLiteral("b"), jsonValue(d.b)},
            });
        }
        run.out << CJsonText::ValueArray(rows) << '\n';
    } else {
        for (const CBankComparer::Difference& d : result.differences) {
            run.out << d.label << ": " << d.text << '\n';
        }
    }
    return result.differences.empty() ? CKantelCli::Success : CKantelCli::Failure;
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
    Command{"extract", 1, "one bank", kWriteOptions, runExtract,
            Command::ShowsProgress | Command::Writes},
    Command{"save", 1, "one bank",
            Options::Output | Options::AllExternal | Options::AllBanked | kWriteOptions, runSave,
            Command::ShowsProgress | Command::Writes},
    Command{"import", 3, "a bank, a resource and a sound file",
            Options::Output | Options::KeepRate | Options::MatchLoudness | kWriteOptions, runImport,
            Command::ShowsProgress | Command::Writes},
    Command{"replace", 2, "one bank and one folder",
            Options::Output | Options::KeepRate | Options::DryRun | Options::MatchLoudness |
                Options::Json | kWriteOptions,
            runReplace, Command::ShowsProgress | Command::Writes},
    Command{"demo", 1, "one folder", Options::Quiet, runDemo},
    Command{"export", 2, "one bank and one folder",
            Options::Resource | Options::Force | Options::Quiet, runExport},
    Command{"diff", 2, "two banks", Options::Json | Options::Quiet, runDiff},
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
                       options.allBanked, options.keepRate, options.matchLoudness, options.resource,
                       options.force, options.quiet, options.verbose, options.dryRun});
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
    int code = found->run({parser, options, command, positional, out, err});
    if (code == Success && (found->traits & Command::Writes) != 0U && prompts.ErrorCount() > 0) {
        code = Failure;
    }
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
