#include "CKantelCli.h"

#include "CDemoBank.h"
#include "CJsonText.h"

#include "doc/BankImage.h"
#include "doc/BnmHeaderFigures.h"
#include "doc/CBankReader.h"
#include "doc/CBankRecords.h"
#include "doc/CKantelDoc.h"
#include "doc/CNamesFileReader.h"
#include "doc/CSoundExporter.h"
#include "doc/NamesTable.h"
#include "doc/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CPromptSink.h"
#include "framework/core/IProgressSink.h"
#include "views/CEventCells.h"
#include "views/CResourceCells.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <optional>
#include <span>

namespace {

const char* const kUsage =
    "Commands:\n"
    "  header BANK [--json]      the figures of the bank's header\n"
    "  resources BANK [--json]   the resource list, as the editor shows it\n"
    "  events BANK [--json]      the event list, as the editor shows it\n"
    "  extract BANK              open as the editor does: write every missing wave file\n"
    "  save BANK [-o OUT] [--all-external | --all-banked]\n"
    "                            open as the editor does, then save to OUT (default BANK)\n"
    "  import BANK RESOURCE FILE [--keep-rate] [-o OUT]\n"
    "                            open as the editor does, make the sound FILE (any format)\n"
    "                            the sample of RESOURCE (an index or a resource name),\n"
    "                            then save to OUT (default BANK)\n"
    "  demo DIR                  write the demo bank Bnk_1.bnm and its files into DIR\n"
    "  export BANK DIR [--resource RESOURCE] [--force]\n"
    "                            write the samples as wave files into DIR";

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
    err << CPromptSink::FormatLine(text, type) << '\n';
}

// The editor closes the window of an empty file without a word; a script
// needs to know why nothing was done.
void sayEmpty(const QString& path, QTextStream& err) {
    err << "error: " << QFileInfo(path).absoluteFilePath() << " is empty: it holds no bank\n";
}

// The bank at path and the names beside it, or nothing after saying why.
// Troubles the editor would show in message boxes go to err as lines.
std::optional<LoadedBank> readBank(const QString& path, QTextStream& err) {
    CFile file;
    CFileException error;
    CResult<BankImage> read{FormatError{}};
    try {
        if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &error)) {
            throw error;
        }
        if (file.GetLength() == 0) {
            sayEmpty(path, err);
            return std::nullopt;
        }
        read = CBankReader::Read(file);
    } catch (const CFileException& e) {
        tell(err,
             e.m_cause != CFileException::none || !e.m_strDetail.isEmpty()
                 ? e.GetErrorMessage()
                 : QStringLiteral("Failed to open document %1.").arg(path),
             MB_OK | MB_ICONHAND);
        return std::nullopt;
    }
    if (!read) {
        if (!read.Error().text.isEmpty()) {
            tell(err, read.Error().text, MB_OK | MB_ICONHAND);
        }
        return std::nullopt;
    }
    LoadedBank bank{std::move(read.Value()), {}};
    for (const QString& warning : bank.image.warnings) {
        tell(err, warning, MB_OK | MB_ICONEXCLAMATION);
    }
    CResult<NamesTable> names = CNamesFileReader::ReadBeside(path, bank.image.resourceCount);
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
    enum Flag : unsigned { Json = 1, Output = 2, AllExternal = 4, AllBanked = 8, KeepRate = 16 };
    enum ExportFlag : unsigned { Resource = 32, Force = 64 };

    QCommandLineOption json{QStringLiteral("json"), QStringLiteral("Print JSON instead of text.")};
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

    // The flags of the options set on parser.
    unsigned SetOn(const QCommandLineParser& parser) const {
        return (parser.isSet(json) ? Json : 0U) | (parser.isSet(output) ? Output : 0U) |
               (parser.isSet(allExternal) ? AllExternal : 0U) |
               (parser.isSet(allBanked) ? AllBanked : 0U) |
               (parser.isSet(keepRate) ? KeepRate : 0U) | (parser.isSet(resource) ? Resource : 0U) |
               (parser.isSet(force) ? Force : 0U);
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
    const std::optional<LoadedBank> bank = readBank(run.args.at(0), run.err);
    if (!bank) {
        return CKantelCli::Failure;
    }
    const CBankRecords records = bank->Records();
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
    if (!openBank(doc, run.args.at(0), run.err)) {
        return CKantelCli::Failure;
    }
    // The bank still holds what was not written, but a script that asked for
    // the wave files did not get them.
    return doc.GetUnwrittenCount() > 0 ? CKantelCli::Failure : CKantelCli::Success;
}

int runSave(const Invocation& run) {
    const QString& path = run.args.at(0);
    CKantelDoc doc;
    if (!openBank(doc, path, run.err)) {
        return CKantelCli::Failure;
    }
    if (run.IsSet(run.options.allExternal)) {
        doc.OnEditAllExternal();
    } else if (run.IsSet(run.options.allBanked)) {
        doc.OnEditAllBanked();
    }
    const QString target =
        run.IsSet(run.options.output) ? run.parser.value(run.options.output) : path;
    return doc.OnSaveDocument(target) ? CKantelCli::Success : CKantelCli::Failure;
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
                << (index < 0 ? QStringLiteral("the bank holds no samples")
                              : QStringLiteral("the resource at index %1 is no sample").arg(index))
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
    CKantelDoc doc;
    if (!openBank(doc, path, run.err)) {
        return CKantelCli::Failure;
    }
    const int index = findResource(doc.Records(), path, run.args.at(1), run.err);
    if (index < 0) {
        return CKantelCli::Failure;
    }
    if (!doc.ImportSound(index, run.args.at(2), run.IsSet(run.options.keepRate))) {
        return CKantelCli::Failure;
    }
    const QString target =
        run.IsSet(run.options.output) ? run.parser.value(run.options.output) : path;
    return doc.OnSaveDocument(target) ? CKantelCli::Success : CKantelCli::Failure;
}

struct Command {
    const char* name;
    int argumentCount;   // what must follow the name
    const char* missing; // says what it is when it does not
    unsigned options;    // Options::Flag
    int (*run)(const Invocation&);
};

constexpr std::array kCommands{
    Command{"header", 1, "one bank", Options::Json, runLook},
    Command{"resources", 1, "one bank", Options::Json, runLook},
    Command{"events", 1, "one bank", Options::Json, runLook},
    Command{"extract", 1, "one bank", 0, runExtract},
    Command{"save", 1, "one bank", Options::Output | Options::AllExternal | Options::AllBanked,
            runSave},
    Command{"import", 3, "a bank, a resource and a sound file", Options::Output | Options::KeepRate,
            runImport},
    Command{"demo", 1, "one folder", 0, runDemo},
    Command{"export", 2, "one bank and one folder", Options::Resource | Options::Force, runExport},
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
    parser.addOptions({options.json, options.output, options.allExternal, options.allBanked,
                       options.keepRate, options.resource, options.force});
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
    if ((set & Options::AllExternal) != 0U && (set & Options::AllBanked) != 0U) {
        return usageError(err,
                          QStringLiteral("--all-external and --all-banked exclude each other"));
    }
    return found->run({parser, options, command, positional, out, err});
}
