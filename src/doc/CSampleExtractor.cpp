#include "CSampleExtractor.h"

#include "CBnmFormat.h"
#include "CMessageList.h"
#include "CSampleNameIndex.h"
#include "CWaveFile.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"
#include "framework/core/IProgressSink.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Wave files are compared in pieces of this size, so opening a bank never
// holds a whole sample twice.
constexpr qint64 kCopyChunk = 1 << 20;

} // namespace

// A name for a banked sample whose record names no file of its own, or whose
// file is taken by something else. The names file's name comes first; the
// name must fit the record (so play and save find the file under the name
// the record keeps) and must stay inside the bank's folder. The candidates
// come in a fixed order, so opening the bank again, before it was saved,
// arrives at the same name.
QString
CSampleExtractor::ChooseSampleName(int index,
                                   const std::function<bool(const QString&)>& isFree) const {
    const int id = m_bank.resources[static_cast<size_t>(index)].resourceId & 0xFFFF;
    QString name = m_bank.nameOf ? m_bank.nameOf(id) : QString();
    if (!name.isEmpty()) {
        for (QChar& c : name) {
            if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() > 0xFF ||
                c.unicode() < 0x20) {
                c = QLatin1Char('_');
            }
        }
        if (name.right(4).compare(QStringLiteral(".wav"), Qt::CaseInsensitive) != 0) {
            name += QStringLiteral(".wav");
        }
        if (name.size() > SoundResource::kMaxFileName) {
            const QString extension = name.right(4);
            name = name.left(SoundResource::kMaxFileName - 4) + extension;
        }
        if (name != QStringLiteral(".wav") && isFree(name)) {
            return name;
        }
    }
    name = QString::asprintf("Res%05d.wav", id);
    if (isFree(name)) {
        return name;
    }
    // The four banks of a game share one folder, and their ids overlap.
    if (m_bank.bank >= 0) {
        name = QString::asprintf("Bnk%d_%05d.wav", m_bank.bank, id);
        if (isFree(name)) {
            return name;
        }
    }
    name = QString::asprintf("Idx%X.wav", static_cast<unsigned>(index));
    for (unsigned k = 0; !isFree(name); ++k) {
        name = QString::asprintf("K%08X.wav", k);
    }
    return name;
}

bool CSampleExtractor::IsWaveFile(const QString& path) {
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) {
        // Unreadable now does not mean it is no wave; leave it alone. Not a
        // regular file at all: it cannot be one.
        return error.m_cause != CFileException::notRegularFile;
    }
    qint64 offset = 0;
    qint64 size = 0;
    try {
        return CWaveFile::FindDataChunk(file, &offset, &size);
    } catch (const CFileException&) {
        return true;
    }
}

QByteArrayView CSampleExtractor::OpenedData(int index) const {
    const SoundResource& resource = m_bank.resources[static_cast<size_t>(index)];
    const qint64 at = static_cast<qint64>(m_bank.header->sampleDataOffset) + resource.offset;
    if (at < 0 || at >= m_bank.imageSize || resource.length <= 0) {
        return {};
    }
    const qint64 length = std::min<qint64>(resource.length, m_bank.imageSize - at);
    return {reinterpret_cast<const char*>(m_bank.image + at), static_cast<qsizetype>(length)};
}

bool CSampleExtractor::WaveHolds(const QString& path, QByteArrayView data) {
    CFile wave;
    if (!wave.Open(path, CFile::modeRead)) {
        return false;
    }
    try {
        qint64 offset = 0;
        qint64 size = 0;
        if (!CWaveFile::FindDataChunk(wave, &offset, &size) || size != data.size()) {
            return false;
        }
        wave.Seek(offset, CFile::begin);
        QByteArray buffer(static_cast<qsizetype>(std::min<qint64>(size, kCopyChunk)), '\0');
        for (qint64 done = 0; done < size;) {
            const qint64 want = std::min<qint64>(size - done, buffer.size());
            if (wave.Read(buffer.data(), want) != want ||
                std::memcmp(buffer.constData(), data.data() + done, static_cast<size_t>(want)) !=
                    0) {
                return false;
            }
            done += want;
        }
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

int CSampleExtractor::WriteWaveFile(CFileBatch& batch, const QString& name, qint64 start,
                                    qint64 length, int index, CFileException& error) const {
    const SoundResource& resource = m_bank.resources[static_cast<size_t>(index)];
    const QByteArray header =
        CWaveFile::MakeHeader(resource.channels, static_cast<quint32>(resource.samplesPerSec),
                              resource.bitsPerSample, static_cast<quint32>(length));
    try {
        return batch.Add(name,
                         {QByteArrayView(header),
                          QByteArrayView(m_bank.image + start, static_cast<qsizetype>(length))});
    } catch (const CFileException& e) {
        error = e;
        return -1;
    }
}

// The wave files are written into the bank's folder under temporary names
// and take their own names together once all of them are on disk: a sync
// per file would cost many times the writing. Until then the bank is the only
// copy of their data, so a file that fails to take its name leaves its samples
// to be saved from the image, as if writing it had failed.
CSampleExtractor::CSampleExtractor(Bank bank, IProgressSink& progress)
    : m_bank(std::move(bank)), m_progress(progress) {}

void CSampleExtractor::Note(Report& report, Message message) const {
    if (m_messageSink) {
        m_messageSink(message);
    } else {
        report.messages.push_back(std::move(message));
    }
}

CSampleExtractor::Report CSampleExtractor::Extract() {
    const QString& bankPath = m_bank.bankPath;
    const QString& folder = m_bank.folder;
    const int count = static_cast<int>(m_bank.resources.size());
    Report report;
    report.extraction.assign(m_bank.resources.size(), SampleExtraction());
    qint64 total = 0;
    for (const SoundResource& resource : m_bank.resources) {
        if (resource.IsBankedSample()) {
            total += std::max(qint32{resource.length}, 0);
        }
    }
    IProgressSink& progress = m_progress;
    progress.Begin(QStringLiteral("Writing samples"), total);
    // One reading of the folder serves every sample; the files this run
    // writes are known to the batch.
    const CFolderListing listing(folder);
    CFileBatch batch(folder);
    // What an open that was killed half-way left behind.
    batch.RemoveOrphans(
        listing.NamesStartingWith(QString::fromLatin1(CFileBatch::kTemporaryPrefix)));
    CSampleNameIndex names;
    names.Build(m_bank.resources.data(), count);
    const auto rename = [&](SoundResource& resource, const QString& name) {
        const QString before = CBnmFormat::FileNameText(resource);
        CBnmFormat::SetFileName(resource, name);
        names.Rename(before, CBnmFormat::FileNameText(resource));
    };
    // The path of the file of that name in the folder, or an empty string;
    // a folder of that name counts as no file.
    const auto existingFile = [&](const QString& name) {
        const QString found = listing.Resolve(name);
        return found.isEmpty() || listing.IsFolder(found) ? QString() : found;
    };
    // Why an existing file cannot be a sample's wave, or an empty string. A
    // file that is no wave (a sibling bank, the names file) cannot be a
    // sample; packing it would fail on every save. Only a regular file named
    // as a wave file is taken for one without looking inside: opening every
    // sample's file would make opening a bank of many samples slow.
    const auto foreignReason = [&](const QString& found) {
        if (!listing.IsRegularFile(found)) {
            return QStringLiteral("%1 is not a regular file").arg(found);
        }
        if (!found.endsWith(QStringLiteral(".wav"), Qt::CaseInsensitive) &&
            !IsWaveFile(folder + found)) {
            return QStringLiteral("%1 is not a wave file").arg(found);
        }
        return QString();
    };
    // A chosen name must be nobody else's: not another record's, not a
    // file this run wrote, and not a file in the folder (another bank's
    // sample, say) unless that file holds exactly this sample's data, which
    // is how the same name is found again when the bank is opened again.
    const auto freeFor = [&](int index) {
        return [&, index](const QString& name) {
            if (QString(folder + name).compare(bankPath, Qt::CaseInsensitive) == 0 ||
                names.IsTakenByOther(name, m_bank.resources[static_cast<size_t>(index)]) ||
                batch.FindAdded(name) >= 0) {
                return false;
            }
            const QString found = listing.Resolve(name);
            return found.isEmpty() || (!listing.IsFolder(found) && listing.IsRegularFile(found) &&
                                       WaveHolds(folder + found, OpenedData(index)));
        };
    };
    // Per resource: the number of the batch file its data waits in, or -1.
    std::vector<int> waitsIn(static_cast<size_t>(count), -1);
    // Case-folded file name -> the first banked sample of this bank that took it.
    QHash<QString, int> takenBy;
    // Samples that got a file of their own although their records named one.
    QStringList renamed;
    // Wave files that could not be written are told of in one message at the
    // end, with the first failure's cause: on a full disk every sample after
    // the first fails too, and a message for each would be hundreds of them.
    CFileException firstError;
    qsizetype notWritten = 0;
    const auto noteFailure = [&](const CFileException& error, qsizetype count) {
        if (notWritten == 0) {
            firstError = error;
        }
        notWritten += count;
    };
    qint64 done = 0;
    for (int i = 0; i < count; ++i) {
        SoundResource& resource = m_bank.resources[static_cast<size_t>(i)];
        if (!resource.IsBankedSample()) {
            continue;
        }
        QString fileName = CBnmFormat::FileNameText(resource);
        // A record without a name of its own, or one naming the bank itself,
        // gets a name whether or not there is a names file; otherwise its data
        // would have no file to live in and the next save would drop it. A name
        // with a folder part ("../x.wav") gets one too: a bank must not make us
        // write files outside its folder.
        if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')) ||
            fileName == QStringLiteral(".") || fileName == QStringLiteral("..") ||
            QString(folder + fileName).compare(bankPath, Qt::CaseInsensitive) == 0) {
            fileName = ChooseSampleName(i, freeFor(i));
            rename(resource, fileName);
        }
        // Two records of this bank that name one file (the same name, or
        // names that differ only in case) share it only when their data are
        // the same; otherwise the later one's data would be replaced by the
        // earlier one's on the next save.
        const auto first = takenBy.constFind(fileName.toCaseFolded());
        if (first != takenBy.cend() && OpenedData(*first) != OpenedData(i)) {
            const QString own = ChooseSampleName(i, freeFor(i));
            renamed.append(QStringLiteral("%1 -> %2 (another sample names the same file "
                                          "with other data)")
                               .arg(fileName, own));
            fileName = own;
            rename(resource, fileName);
        }
        // A file an earlier record of this bank wrote counts as existing.
        int waiting = batch.FindAdded(fileName);
        // A folder of that name is no wave file: writing fails below and is
        // reported, and saving keeps the data from the bank.
        QString existing = waiting >= 0 ? QString() : existingFile(fileName);
        if (!existing.isEmpty()) {
            const QString why = foreignReason(existing);
            if (!why.isEmpty()) {
                const QString own = ChooseSampleName(i, freeFor(i));
                renamed.append(QStringLiteral("%1 -> %2 (%3)").arg(fileName, own, why));
                fileName = own;
                rename(resource, fileName);
                waiting = batch.FindAdded(fileName);
                existing = waiting >= 0 ? QString() : existingFile(fileName);
            }
        }
        takenBy.insert(fileName.toCaseFolded(), i);
        const QString wave = folder + fileName;
        if (waiting >= 0 || !existing.isEmpty()) {
            SampleExtraction& extraction = report.extraction[static_cast<size_t>(i)];
            extraction.state = SampleExtraction::State::Written;
            waitsIn[static_cast<size_t>(i)] = waiting;
            // What of the sample the bank holds, so a save can tell whether
            // the bank is all that is left of it.
            const QByteArrayView held = OpenedData(i);
            if (!held.isEmpty()) {
                extraction.openedAt = reinterpret_cast<const quint8*>(held.data()) - m_bank.image;
                extraction.openedLength = held.size();
            }
            continue;
        }

        const qint64 start = static_cast<qint64>(m_bank.header->sampleDataOffset) + resource.offset;
        qint64 length = resource.length;
        if (start < 0 || start + length > m_bank.fileSize) {
            Note(report, {Message::Kind::Warning,
                          QStringLiteral("End of file reached.\nTruncating sample %1").arg(wave)});
            length = start < 0 ? -1 : m_bank.fileSize - start;
            resource.length = static_cast<qint32>(length);
            report.modified = true;
        }
        if (length < 0) {
            Note(report, {Message::Kind::Error,
                          QStringLiteral("Negative length.\nCan't save sample to %1").arg(wave)});
            length = 0;
            resource.length = 0;
            report.modified = true;
        }
        const qint64 from = length > 0 ? start : 0;
        report.extraction[static_cast<size_t>(i)].openedAt = from;
        report.extraction[static_cast<size_t>(i)].openedLength = length;
        CFileException error;
        const int added = WriteWaveFile(batch, fileName, from, length, i, error);
        if (added < 0) {
            noteFailure(error, 1);
        }
        report.extraction[static_cast<size_t>(i)].state =
            added >= 0 ? SampleExtraction::State::Written : SampleExtraction::State::Failed;
        waitsIn[static_cast<size_t>(i)] = added;
        done += length;
        progress.Step(done);
    }

    CFileException commitError;
    const std::vector<int> failed = batch.Commit(commitError);
    if (!failed.empty()) {
        for (int i = 0; i < count; ++i) {
            const int waited = waitsIn[static_cast<size_t>(i)];
            if (waited >= 0 && std::binary_search(failed.begin(), failed.end(), waited)) {
                report.extraction[static_cast<size_t>(i)].state = SampleExtraction::State::Failed;
            }
        }
        noteFailure(commitError, static_cast<qsizetype>(failed.size()));
    }
    progress.End();
    report.unwritten = notWritten;
    if (!renamed.isEmpty()) {
        report.messages.push_back(
            {Message::Kind::Warning,
             QStringLiteral("These samples were given wave files of their own:\n%1\n"
                            "Saving the bank keeps the new names.")
                 .arg(CMessageList::Join(renamed))});
    }
    if (notWritten > 0) {
        const QString consequence =
            notWritten == 1
                ? QStringLiteral("The wave file was not written; the bank keeps its sample data.")
                : QStringLiteral(
                      "%1 wave files were not written; the bank keeps their sample data.")
                      .arg(notWritten);
        firstError.m_strDetail = firstError.m_strDetail.isEmpty()
                                     ? consequence
                                     : firstError.m_strDetail + QLatin1Char('\n') + consequence;
        report.messages.push_back({Message::Kind::Error, firstError.GetErrorMessage()});
    }
    return report;
}
