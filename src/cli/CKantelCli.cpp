#include "CKantelCli.h"

#include "CDemoBank.h"
#include "CJsonText.h"

#include "doc/BankImage.h"
#include "doc/BnmHeaderFigures.h"
#include "doc/CBankReader.h"
#include "doc/CBankRecords.h"
#include "doc/CKantelDoc.h"
#include "doc/CNamesFileReader.h"
#include "doc/NamesTable.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CPromptSink.h"
#include "views/CEventCells.h"
#include "views/CResourceCells.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <array>
#include <optional>

namespace {

const char* const kUsage =
    "Commands:\n"
    "  header BANK [--json]      the figures of the bank's header\n"
    "  resources BANK [--json]   the resource list, as the editor shows it\n"
    "  events BANK [--json]      the event list, as the editor shows it\n"
    "  extract BANK              open as the editor does: write every missing wave file\n"
    "  save BANK [-o OUT] [--all-external | --all-banked]\n"
    "                            open as the editor does, then save to OUT (default BANK)\n"
    "  demo DIR                  write the demo bank Bnk_1.bnm and its files into DIR";

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

} // namespace

int CKantelCli::Run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads, extracts and saves the sound banks (.bnm) of Korvex and Lunaris."));
    parser.addPositionalArgument(QStringLiteral("command"), QString::fromLatin1(kUsage));
    parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("The bank or folder."));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("Print JSON instead of text."));
    const QCommandLineOption outOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                       QStringLiteral("Save to <file> instead of the bank."),
                                       QStringLiteral("file"));
    const QCommandLineOption externalOption(QStringLiteral("all-external"),
                                            QStringLiteral("Make every sample external first."));
    const QCommandLineOption bankedOption(QStringLiteral("all-banked"),
                                          QStringLiteral("Bank every sample first."));
    parser.addOptions({jsonOption, outOption, externalOption, bankedOption});
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
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) {
        return usageError(err, positional.isEmpty()
                                   ? QStringLiteral("no command given")
                                   : QStringLiteral("expected a command and one path"));
    }
    const QString& command = positional.at(0);
    const QString& path = positional.at(1);
    const bool json = parser.isSet(jsonOption);
    const bool readOnly = command == QStringLiteral("header") ||
                          command == QStringLiteral("resources") ||
                          command == QStringLiteral("events");
    const bool saving = command == QStringLiteral("save");

    if ((json && !readOnly) ||
        (!saving &&
         (parser.isSet(outOption) || parser.isSet(externalOption) || parser.isSet(bankedOption)))) {
        return usageError(err, QStringLiteral("option not valid for '%1'").arg(command));
    }
    if (parser.isSet(externalOption) && parser.isSet(bankedOption)) {
        return usageError(err,
                          QStringLiteral("--all-external and --all-banked exclude each other"));
    }

    if (command == QStringLiteral("demo")) {
        const QString error = CDemoBank::Write(path);
        if (!error.isEmpty()) {
            err << "error: " << error << '\n';
            return Failure;
        }
        out << QFileInfo(path + QStringLiteral("/Bnk_1.bnm")).absoluteFilePath() << '\n';
        return Success;
    }
    if (!readOnly && !saving && command != QStringLiteral("extract")) {
        return usageError(err, QStringLiteral("unknown command '%1'").arg(command));
    }

    if (readOnly) {
        const std::optional<LoadedBank> bank = readBank(path, err);
        if (!bank) {
            return Failure;
        }
        const CBankRecords records = bank->Records();
        if (command == QStringLiteral("header")) {
            printHeader(records, json, out);
        } else if (command == QStringLiteral("resources")) {
            printTable<CResourceCells>(records, json, out);
        } else {
            printTable<CEventCells>(records, json, out);
        }
        return Success;
    }

    CKantelDoc doc;
    err.flush();
    if (!doc.OnOpenDocument(path)) {
        const QFileInfo info(path);
        if (info.isFile() && info.size() == 0) {
            sayEmpty(path, err);
        }
        return Failure;
    }
    doc.SetPathName(path);
    if (command == QStringLiteral("extract")) {
        // The bank still holds what was not written, but a script that asked
        // for the wave files did not get them.
        if (doc.GetUnwrittenCount() > 0) {
            return Failure;
        }
    } else {
        if (parser.isSet(externalOption)) {
            doc.OnEditAllExternal();
        } else if (parser.isSet(bankedOption)) {
            doc.OnEditAllBanked();
        }
        const QString target = parser.isSet(outOption) ? parser.value(outOption) : path;
        if (!doc.OnSaveDocument(target)) {
            return Failure;
        }
    }
    return Success;
}
