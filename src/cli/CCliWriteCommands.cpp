#include "CCliWriteCommands.h"

#include "CCliBank.h"
#include "CCliInvocation.h"
#include "CKantelCli.h"

#include "doc/CKantelDoc.h"
#include "format/CBankFolderFiles.h"
#include "format/CBnmFormat.h"
#include "format/CFolderReplacer.h"
#include "format/CReplacePlan.h"
#include "format/CSoundExporter.h"
#include "format/SoundResource.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileBatch.h"
#include "framework/core/CFileLock.h"
#include "framework/core/IProgressSink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <span>

#include <unistd.h>

namespace {

// The files of a folder, to tell afterwards which ones a command wrote.
class WrittenFiles {
public:
    // Nothing is listed unless the user asked for it: reading a folder of
    // thousands of wave files costs time.
    WrittenFiles(const CCliInvocation& run, const QString& bank)
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

// Opens the bank as the editor does, wave files written and all; false after
// saying why it could not be opened.
bool openBank(CKantelDoc& doc, const QString& path, QTextStream& err) {
    err.flush();
    if (!doc.OnOpenDocument(path)) {
        const QFileInfo info(path);
        if (info.isFile() && info.size() == 0) {
            CCliBank::SayEmpty(path, err);
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
bool lockBank(const CCliInvocation& run, CFileLock& lock) {
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

// Where save and import write the bank. Saving puts a new file in the
// target's place: a FIFO, a device or a dangling link there would be
// replaced without a word, so it is refused before anything is done.
std::optional<QString> saveTarget(const CCliInvocation& run, QTextStream& err) {
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

// What replace did or would do, as lines or as one JSON object.
void printReplace(const CCliInvocation& run, const CReplacePlan& plan,
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
bool replaceTargetsWritable(const CCliInvocation& run, const QString& path, const QString& target) {
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
int applyReplace(const CCliInvocation& run, const CCliBank& bank, const CReplacePlan& plan,
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
            run.err << "error: " << CCliBank::Label(path)
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

// Tells what an export wrote, left alone and failed to write; its exit
// status.
int tellExported(const CCliInvocation& run, const QString& folder,
                 const CSoundExporter::Report& report) {
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
        CCliBank::Tell(run.err,
                       report.written.size() == 1
                           ? QStringLiteral("1 wave file written to %1").arg(where)
                           : QStringLiteral("%1 wave files written to %2")
                                 .arg(report.written.size())
                                 .arg(where),
                       MB_OK | MB_ICONINFORMATION);
    }
    return report.skipped.isEmpty() && report.failures.empty() ? CKantelCli::Success
                                                               : CKantelCli::Failure;
}

} // namespace

int CCliWriteCommands::Extract(const CCliInvocation& run) {
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

int CCliWriteCommands::Save(const CCliInvocation& run) {
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

int CCliWriteCommands::Import(const CCliInvocation& run) {
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
    const int index = CCliBank::FindResource(doc.Records(), path, run.args.at(1), run.err);
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

// Plans on the bank as read, so that a dry run or a failure writes nothing
// at all, not even the wave files opening writes; every sound is converted
// before the bank is opened as the editor opens it, and saved once.
int CCliWriteCommands::Replace(const CCliInvocation& run) {
    const QString& path = run.args.at(0);
    const std::optional<QString> target = saveTarget(run, run.err);
    if (!target) {
        return CKantelCli::Failure;
    }
    const bool dryRun = run.IsSet(run.options.dryRun);
    if (!dryRun && !replaceTargetsWritable(run, path, *target)) {
        return CKantelCli::Failure;
    }
    const std::optional<CCliBank> bank = CCliBank::Read(path, run.err);
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

// Reads the bank alone, so nothing is written into its folder; a sample with
// no wave file comes from the bank. Nobody can be asked, so files that are
// there stay unless --force.
int CCliWriteCommands::Export(const CCliInvocation& run) {
    const QString& path = run.args.at(0);
    const QString& folder = run.args.at(1);
    const std::optional<CCliBank> bank = CCliBank::Read(path, run.err);
    if (!bank) {
        return CKantelCli::Failure;
    }
    const CBankRecords records = bank->Records();
    int index = -1;
    if (run.IsSet(run.options.resource)) {
        index =
            CCliBank::FindResource(records, path, run.parser.value(run.options.resource), run.err);
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
                << (index < 0 ? QStringLiteral("%1 holds no samples").arg(CCliBank::Label(path))
                              : QStringLiteral("the resource at index %1 of %2 is no sample")
                                    .arg(index)
                                    .arg(CCliBank::Label(path)))
                << '\n';
        return CKantelCli::Failure;
    }
    for (CSoundExporter::Target& target : targets) {
        target.overwrite = run.IsSet(run.options.force);
    }
    const CSoundExporter::Report report =
        exporter.Export(folder, targets, CSeam<IProgressSink>::Current());
    return tellExported(run, folder, report);
}
