#include "CSoundExporter.h"

#include "CBankFolderFiles.h"
#include "CBankWriter.h"
#include "CBnmFormat.h"
#include "CWaveFile.h"
#include "CWaveReader.h"

#include "framework/core/CCaseFold.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"
#include "framework/core/CPlural.h"
#include "framework/core/IProgressSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

const QString kExtension = QStringLiteral(".wav");

// A name for a file of its own in any folder: no folder part, nothing a
// terminal or a file dialog shows as something else, and not hidden.
QString safeStem(QString name) {
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 ||
            c.unicode() == 0x7F) {
            c = QLatin1Char('_');
        }
    }
    name = name.trimmed();
    if (name.endsWith(kExtension, Qt::CaseInsensitive)) {
        name.chop(kExtension.size());
        name = name.trimmed();
    }
    if (name.startsWith(QLatin1Char('.'))) {
        name[0] = QLatin1Char('_');
    }
    return name;
}

// A file error's message as one line: each of its lines a sentence.
QString oneLine(const QString& text) {
    QString line;
    for (const QString& part : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.isEmpty()) {
            if (!line.endsWith(QLatin1Char('.'))) {
                line += QLatin1Char('.');
            }
            line += QLatin1Char(' ');
        }
        line += part;
    }
    if (!line.isEmpty() && !line.endsWith(QLatin1Char('.'))) {
        line += QLatin1Char('.');
    }
    return line;
}

// The RIFF size is 32 bits and counts everything after its own field.
constexpr qint64 kMaxRiffBody = qint64{0xFFFFFFFF};
// A record's length is a signed 32-bit count.
constexpr qint64 kMaxSampleData = qint64{0x7FFFFFFF};

} // namespace

CSoundExporter::CSoundExporter(Bank bank) : m_bank(std::move(bank)) {
    NameSamples();
}

QByteArrayView CSoundExporter::RecordedData(QByteArrayView image, const BnmHeader& header,
                                            const SoundResource& resource) {
    const qint64 at = qint64{header.sampleDataOffset} + resource.offset;
    if (at < 0 || at >= image.size() || resource.length <= 0) {
        return {};
    }
    return image.sliced(static_cast<qsizetype>(at), static_cast<qsizetype>(std::min<qint64>(
                                                        resource.length, image.size() - at)));
}

// Names are given in table order; a name two samples would share goes to the
// first, and the later ones get a number that no sample has as its own name,
// so exporting one sample or all of them gives it the same file name. Names
// that differ only in case collide as well: the samples' names come from a
// file system that ignores case, and so may the folder they go to.
void CSoundExporter::NameSamples() {
    const std::span<const SoundResource> resources = m_bank.records.Resources();
    QStringList stems;
    QSet<QString> wanted;
    for (const SoundResource& resource : resources) {
        if (!resource.IsSample()) {
            stems.append(QString());
            continue;
        }
        const int id = resource.resourceId & 0xFFFF;
        QString stem = safeStem(m_bank.records.GetResourceName(id));
        if (stem.isEmpty()) {
            const QString fileName = CBnmFormat::FileNameText(resource);
            if (fileName.compare(m_bank.bankFileName, Qt::CaseInsensitive) != 0) {
                stem = safeStem(fileName);
            }
        }
        if (stem.isEmpty()) {
            stem = QString::asprintf("Res%05d", id);
        }
        stems.append(stem);
        wanted.insert(CCaseFold::Fold(QString(stem + kExtension)));
    }
    QSet<QString> taken;
    // Per folded stem, the number its next copy tries first, so a bank whose
    // samples all share one name is named in time that grows with their count.
    QHash<QString, int> nextNumber;
    for (const QString& stem : std::as_const(stems)) {
        if (stem.isEmpty()) {
            m_names.append(QString());
            continue;
        }
        QString name = stem + kExtension;
        if (taken.contains(CCaseFold::Fold(name))) {
            int& k = nextNumber[CCaseFold::Fold(stem)];
            k = std::max(k, 2);
            do {
                name = QStringLiteral("%1 (%2)%3").arg(stem).arg(k++).arg(kExtension);
            } while (taken.contains(CCaseFold::Fold(name)) ||
                     wanted.contains(CCaseFold::Fold(name)));
        }
        taken.insert(CCaseFold::Fold(name));
        m_names.append(name);
    }
}

QString CSoundExporter::FileNameOf(int index) const {
    return index >= 0 && index < m_names.size() ? m_names.at(index) : QString();
}

std::vector<CSoundExporter::Target> CSoundExporter::Plan(const QString& folder, int index) const {
    std::vector<Target> targets;
    const CFolderListing listing(folder);
    const int count = static_cast<int>(m_names.size());
    // Replacing a wave file of the bank would replace a sample's data.
    QSet<QString> waveFiles;
    const QString here = QFileInfo(folder).canonicalFilePath();
    if (!here.isEmpty() && here == QFileInfo(m_bank.folder).canonicalFilePath()) {
        for (const SoundResource& resource : m_bank.records.Resources()) {
            if (resource.IsSample()) {
                waveFiles.insert(CCaseFold::Fold(CBnmFormat::FileNameText(resource)));
            }
        }
    }
    const CBankFolderFiles folderFiles(folder);
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const int first = index < 0 ? 0 : index;
    const int end = index < 0 ? count : std::min(index + 1, count);
    for (int i = first; i < end; ++i) {
        const QString& name = m_names.at(i);
        if (name.isEmpty()) {
            continue;
        }
        if (waveFiles.contains(CCaseFold::Fold(name))) {
            targets.push_back(
                {i, name, false, false,
                 QCoreApplication::translate("CSoundExporter",
                                             "%1 was not written: the bank keeps a sample's data "
                                             "in a wave file of that name.")
                     .arg(base + name)});
            continue;
        }
        // The other banks of the folder are no less sure to lose a sample,
        // and --force was given for files of no bank.
        if (const CBankFolderFiles::Role role = folderFiles.RoleOf(base + name)) {
            targets.push_back(
                {i, name, false, false,
                 QCoreApplication::translate("CSoundExporter", "%1 was not written: it is %2.")
                     .arg(base + name, CBankFolderFiles::Describe(role))});
            continue;
        }
        // Only the exact name: another case of it is another file here, and
        // a folder of that name is no file anybody could replace.
        const bool exists = listing.Resolve(name) == name && !listing.IsFolder(name);
        targets.push_back({i, name, exists, false, QString()});
    }
    return targets;
}

namespace {

// Why the wave file at path cannot be opened.
QString openProblem(const QString& path, const CFileException& error) {
    return error.m_cause == CFileException::fileNotFound
               ? QCoreApplication::translate("CSoundExporter", "%1 was not found").arg(path)
           : error.m_cause == CFileException::notRegularFile
               ? QCoreApplication::translate("CSoundExporter", "%1 is not a regular file").arg(path)
               : QCoreApplication::translate("CSoundExporter", "%1 could not be opened (%2)")
                     .arg(path, error.m_strDetail);
}

// The sample data of the wave file at path into *data, or why not in
// *problem.
bool readWaveData(const QString& path, QByteArray* data, QString* problem) {
    CFile wave;
    CFileException error;
    if (!wave.Open(path, CFile::modeRead, &error)) {
        *problem = openProblem(path, error);
        return false;
    }
    try {
        const CWaveReader::Info info = CWaveReader::Read(wave, CWaveReader::Stop::AtData);
        if (!info.wave || !info.hasData) {
            *problem = QCoreApplication::translate("CSoundExporter", "%1 is not a wave file")
                           .arg(wave.GetFilePath());
        } else if (info.dataHeld > kMaxSampleData) {
            *problem = QCoreApplication::translate(
                           "CSoundExporter", "%1 holds more sample data than a bank's sample can")
                           .arg(wave.GetFilePath());
        } else {
            data->resize(static_cast<qsizetype>(info.dataHeld));
            wave.Seek(info.dataOffset, CFile::begin);
            if (wave.Read(data->data(), info.dataHeld) == info.dataHeld) {
                return true;
            }
            *problem =
                QCoreApplication::translate("CSoundExporter", "%1 became shorter while it was read")
                    .arg(wave.GetFilePath());
        }
    } catch (const CFileException& e) {
        *problem = QCoreApplication::translate("CSoundExporter", "%1 could not be read (%2)")
                       .arg(wave.GetFilePath(), e.m_strDetail);
    }
    return false;
}

} // namespace

bool CSoundExporter::ReadData(int index, QByteArray* data, QString* why) const {
    const SoundResource& resource = m_bank.records.Resources()[static_cast<size_t>(index)];
    const QString fileName = CBnmFormat::FileNameText(resource);
    const QString path = CBankWriter::SampleFilePath(m_bank.folder, resource);
    // A record without a file name of its own names the folder; one with a
    // folder part leads out of it. Neither is a wave file of this bank.
    const bool named = !fileName.isEmpty() && !fileName.contains(QLatin1Char('/')) &&
                       fileName != QStringLiteral(".") && fileName != QStringLiteral("..");
    QString problem;
    if (!named) {
        problem = QCoreApplication::translate("CSoundExporter", "its record names no wave file");
    } else if (readWaveData(path, data, &problem)) {
        return true;
    }
    // The bank's copy is what the game plays of a banked sample; a wave file
    // that cannot give the data leaves that.
    if (resource.IsBankedSample() && m_bank.bankedData) {
        const QByteArrayView banked = m_bank.bankedData(index);
        if (!banked.isEmpty()) {
            *data = banked.toByteArray();
            return true;
        }
    }
    *why = problem;
    data->clear();
    return false;
}

QByteArray CSoundExporter::Compose(int index, const QString& target, QString* why) const {
    const SoundResource& resource = m_bank.records.Resources()[static_cast<size_t>(index)];
    const auto fail = [&](const QString& reason) {
        *why = QCoreApplication::translate("CSoundExporter", "%1 was not written: %2.")
                   .arg(target, reason);
        return QByteArray();
    };
    // Whole bytes per sample, as integer PCM has them; anything else would
    // make a file no program reads as the game does.
    const quint16 bits = resource.bitsPerSample;
    if (resource.channels == 0 || resource.samplesPerSec <= 0 || bits == 0 || bits % 8 != 0 ||
        bits > 32) {
        return fail(CPlural::Text("CSoundExporter",
                                  QT_TRANSLATE_N_NOOP("CSoundExporter",
                                                      "its record's format (%1 Hz, %2 bits, %n "
                                                      "channel(s)) is none a wave file can have"),
                                  resource.channels)
                        .arg(resource.samplesPerSec)
                        .arg(bits));
    }
    QByteArray data;
    QString problem;
    if (!ReadData(index, &data, &problem)) {
        return fail(problem);
    }
    const auto dataLength = static_cast<quint32>(data.size());
    const qint64 blockAlign = qint64{bits / 8} * resource.channels;
    QByteArray sampler;
    if (resource.looped != 0) {
        // The record counts the loop in bytes of sample data, the sampler
        // chunk in frames up to its last one; a loop that reaches past the
        // data is cut to it, and one with no whole frame left is none.
        const qint64 start = std::max<qint64>(resource.loopStart, 0);
        const qint64 end =
            std::min<qint64>(qint64{resource.loopStart} + resource.loopLength, data.size());
        const qint64 firstFrame = start / blockAlign;
        const qint64 endFrame = end / blockAlign;
        if (endFrame > firstFrame) {
            sampler = CWaveFile::MakeSamplerChunk(static_cast<quint32>(resource.samplesPerSec),
                                                  static_cast<quint32>(firstFrame),
                                                  static_cast<quint32>(endFrame - 1));
        }
    }
    const QByteArray trailer = CWaveFile::MakeTrailer(dataLength, sampler);
    if (CWaveFile::kHeaderSize - 8 + qint64{data.size()} + trailer.size() > kMaxRiffBody) {
        return fail(
            QCoreApplication::translate(
                "CSoundExporter", "its %1 bytes of sample data are more than a wave file holds")
                .arg(data.size()));
    }
    QByteArray file =
        CWaveFile::MakeHeader(resource.channels, static_cast<quint32>(resource.samplesPerSec), bits,
                              dataLength, static_cast<quint32>(trailer.size()));
    file.reserve(file.size() + data.size() + trailer.size());
    file += data;
    data = QByteArray();
    file += trailer;
    return file;
}

namespace {

// Why nothing can be exported into folder: it is not one.
std::optional<CSoundExporter::Failure> noFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir()) {
        return std::nullopt;
    }
    const QString shown = QDir::cleanPath(info.absoluteFilePath());
    return CSoundExporter::Failure{
        shown, info.exists()
                   ? QCoreApplication::translate("CSoundExporter",
                                                 "%1 is not a folder; no sound was exported.")
                         .arg(shown)
                   : QCoreApplication::translate(
                         "CSoundExporter", "The folder %1 does not exist; no sound was exported.")
                         .arg(shown)};
}

// Sorts the targets added to a batch (batch file number, target) into
// report's written files or failures, as the batch's commit left them
// (unnamed: the numbers of the files that did not take their names, with
// errors beside them); then moves failures, each with the number of its
// target, to report's in target order.
void settle(const std::vector<std::pair<int, size_t>>& added, const std::vector<int>& unnamed,
            const std::vector<CFileException>& errors,
            const std::vector<CSoundExporter::Target>& targets, const QString& base,
            std::vector<std::pair<size_t, CSoundExporter::Failure>>& failures,
            CSoundExporter::Report& report) {
    QHash<int, size_t> errorOf;
    for (size_t k = 0; k < unnamed.size(); ++k) {
        errorOf.insert(unnamed[k], k);
    }
    for (const auto& [number, t] : added) {
        const QString path = base + targets[t].name;
        const auto error = errorOf.constFind(number);
        if (error == errorOf.cend()) {
            report.written.append(path);
        } else {
            failures.push_back({t, {path, oneLine(errors[*error].GetErrorMessage())}});
        }
    }
    std::stable_sort(failures.begin(), failures.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [t, failure] : failures) {
        report.failures.push_back(std::move(failure));
    }
}

} // namespace

CSoundExporter::Report CSoundExporter::Export(const QString& folder,
                                              const std::vector<Target>& targets,
                                              IProgressSink& progress) const {
    Report report;
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    const auto pathOf = [&](const Target& target) { return base + target.name; };
    if (targets.empty()) {
        return report;
    }
    if (std::optional<Failure> failure = noFolder(folder)) {
        report.failures.push_back(std::move(*failure));
        return report;
    }

    // Failures in target order, whether found while writing or when the
    // files took their names.
    std::vector<std::pair<size_t, Failure>> failures;
    // Batch file numbers and their targets.
    std::vector<std::pair<int, size_t>> added;
    CFileBatch batch(folder);
    batch.RemoveOrphans(CFolderListing(folder).NamesStartingWith(
        QString::fromLatin1(CFileBatch::kTemporaryPrefix)));
    progress.Begin(QCoreApplication::translate("CSoundExporter", "Exporting sounds"),
                   static_cast<qint64>(targets.size()));
    for (size_t t = 0; t < targets.size(); ++t) {
        const Target& target = targets[t];
        progress.Step(static_cast<qint64>(t));
        if (!target.refusal.isEmpty()) {
            failures.push_back({t, {pathOf(target), target.refusal}});
            continue;
        }
        if (target.exists && !target.overwrite) {
            report.skipped.append(pathOf(target));
            continue;
        }
        QString why;
        const QByteArray file = Compose(target.index, pathOf(target), &why);
        if (file.isEmpty()) {
            failures.push_back({t, {pathOf(target), why}});
            continue;
        }
        try {
            const int number = batch.Add(target.name, {QByteArrayView(file)},
                                         target.overwrite ? CFileBatch::Replace::Allowed
                                                          : CFileBatch::Replace::Never);
            added.emplace_back(number, t);
        } catch (const CFileException& e) {
            failures.push_back({t, {pathOf(target), oneLine(e.GetErrorMessage())}});
        }
    }
    progress.Step(static_cast<qint64>(targets.size()));
    CFileException first;
    std::vector<CFileException> errors;
    const std::vector<int> unnamed = batch.Commit(first, &errors);
    progress.End();
    settle(added, unnamed, errors, targets, base, failures, report);
    return report;
}
