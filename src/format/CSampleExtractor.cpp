// Long: the extractor and its one pass over a folder share the naming rules they apply.
#include "CSampleExtractor.h"

#include "CBnmFormat.h"
#include "CMessageList.h"
#include "CSampleNameIndex.h"
#include "CWaveFile.h"

#include "framework/core/CCaseFold.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileBatch.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"
#include "framework/core/CPlural.h"
#include "framework/core/IProgressSink.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// Wave files are compared in pieces of this size, so opening a bank never
// holds a whole sample twice.
constexpr qint64 kCopyChunk = 1 << 20;

// name ends in ".wav" in any case. Asked for every sample's file, where Qt's
// comparison without regard to case would fold each character through its
// Unicode tables; no character but an ASCII letter folds to w, a or v.
bool endsWithWav(const QString& name) {
    if (name.size() < 4) {
        return false;
    }
    const QChar* end = name.constData() + name.size() - 4;
    const auto is = [](QChar c, char16_t lower) { return (c.unicode() | 0x20U) == lower; };
    return end[0] == QLatin1Char('.') && is(end[1], u'w') && is(end[2], u'a') && is(end[3], u'v');
}

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

CResult<void> CSampleExtractor::LoadData() const {
    return m_bank.loadData ? m_bank.loadData() : CResult<void>();
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

// One run of Extract: the folder as it was found, the files this run adds to
// it, and what became of each sample so far.
class CSampleExtractor::Pass {
public:
    Pass(const CSampleExtractor& extractor, Report& report)
        : m_x(extractor), m_report(report), m_folder(extractor.m_bank.folder),
          m_count(static_cast<int>(extractor.m_bank.resources.size())), m_listing(m_folder),
          m_batch(m_folder), m_waitsIn(static_cast<size_t>(m_count), -1) {
        m_bankName = extractor.m_bank.bankPath.mid(m_folder.size());
        m_takenBy.reserve(m_count);
        // What an open that was killed half-way left behind.
        m_batch.RemoveOrphans(
            m_listing.NamesStartingWith(QString::fromLatin1(CFileBatch::kTemporaryPrefix)));
    }

    int Count() const { return m_count; }
    // Has the folder's entry for the file sample i names fetched, so that
    // finding it later does not wait on memory.
    void Prefetch(int i) const;
    // Finds or writes the wave file of banked sample i: the bytes of the
    // bank it wrote, or -1 when the sample's file was there already.
    qint64 Place(int i);
    // Gives the written files their names, then tells what went wrong.
    void Finish();

private:
    SoundResource& Resource(int i) const { return m_x.m_bank.resources[static_cast<size_t>(i)]; }
    void Rename(int i, const QString& name);
    void RenameAway(int i, QString& fileName, const QString& why);
    // The path of the file of that name in the folder, or an empty string;
    // a folder of that name counts as no file.
    QString ExistingFile(const QString& name) const;
    QString ForeignReason(const QString& found) const;
    // Whether name in the folder is the bank file being opened.
    bool IsBankItself(const QString& name) const;
    bool IsFreeFor(int index, const QString& name) const;
    QString NameFor(int index) const {
        return m_x.ChooseSampleName(
            index, [this, index](const QString& n) { return IsFreeFor(index, n); });
    }
    // The file name of sample i once the record's own is found usable, and
    // FoldedKey of that name in key.
    QString FileNameFor(int i, size_t& key);
    // A hash of name case-folded, made without a folded copy of it where the
    // name is ASCII, as nearly every record's is.
    static size_t FoldedKey(const QString& name);
    // Whether the file name of sample j equals name without regard to case.
    bool SameFile(int j, const QString& name) const;
    // The sample of this bank that took name last, without regard to case,
    // or -1; key is FoldedKey(name).
    int TakenBy(const QString& name, size_t key) const;
    void Take(const QString& name, size_t key, int i);
    qint64 Write(int i, const QString& fileName);
    void NoteFailure(const CFileException& error, qsizetype count);

    const CSampleExtractor& m_x;
    Report& m_report;
    const QString& m_folder;
    const int m_count;
    // One reading of the folder serves every sample; the files this run
    // writes are known to the batch.
    const CFolderListing m_listing;
    // What follows the folder's length in the bank's path: the bank's name
    // when it lies in the folder.
    QString m_bankName;
    CFileBatch m_batch;
    // Counted at the first name that has to be chosen: a bank whose records
    // all name usable files never needs it.
    mutable CSampleNameIndex m_names;
    mutable bool m_bNamesBuilt = false;
    // Per resource: the number of the batch file its data waits in, or -1.
    std::vector<int> m_waitsIn;
    // Which banked sample of this bank took a file name last, case aside:
    // by FoldedKey, for the first name of each key; names that share a key
    // with another go by their folded text.
    QHash<size_t, int> m_takenBy;
    QHash<QString, int> m_takenByFolded;
    // Samples that got a file of their own although their records named one.
    QStringList m_renamed;
    // Wave files that could not be written are told of in one message at the
    // end, with the first failure's cause: on a full disk every sample after
    // the first fails too, and a message for each would be hundreds of them.
    CFileException m_firstError;
    qsizetype m_notWritten = 0;
};

void CSampleExtractor::Pass::Rename(int i, const QString& name) {
    SoundResource& resource = Resource(i);
    const QString before = CBnmFormat::FileNameText(resource);
    CBnmFormat::SetFileName(resource, name);
    if (m_bNamesBuilt) {
        m_names.Rename(before, CBnmFormat::FileNameText(resource));
    }
}

void CSampleExtractor::Pass::RenameAway(int i, QString& fileName, const QString& why) {
    const QString own = NameFor(i);
    m_renamed.append(QStringLiteral("%1 -> %2 (%3)").arg(fileName, own, why));
    fileName = own;
    Rename(i, fileName);
}

// Asked for every sample, so only names of the bank's own length are compared
// at all: a comparison without regard to case never matches texts of
// different lengths.
bool CSampleExtractor::Pass::IsBankItself(const QString& name) const {
    const QString& bankPath = m_x.m_bank.bankPath;
    return bankPath.size() == m_folder.size() + name.size() &&
           m_bankName.compare(name, Qt::CaseInsensitive) == 0 &&
           QStringView(bankPath).first(m_folder.size()).compare(m_folder, Qt::CaseInsensitive) == 0;
}

void CSampleExtractor::Pass::Prefetch(int i) const {
    if (i >= m_count) {
        return;
    }
    // The record's name as FileNameText gives it, without a string of its own.
    const SoundResource& resource = Resource(i);
    std::array<char16_t, sizeof resource.fileName> name{};
    size_t size = 0;
    while (size < name.size() && resource.fileName[size] != 0) {
        name[size] = static_cast<unsigned char>(resource.fileName[size]);
        ++size;
    }
    m_listing.Prefetch(QStringView(name.data(), static_cast<qsizetype>(size)));
}

QString CSampleExtractor::Pass::ExistingFile(const QString& name) const {
    const QString found = m_listing.Resolve(name);
    return found.isEmpty() || m_listing.IsFolder(found) ? QString() : found;
}

// Why an existing file cannot be a sample's wave, or an empty string. A file
// that is no wave (a sibling bank, the names file) cannot be a sample; packing
// it would fail on every save. Only a regular file named as a wave file is
// taken for one without looking inside: opening every sample's file would make
// opening a bank of many samples slow.
QString CSampleExtractor::Pass::ForeignReason(const QString& found) const {
    if (!m_listing.IsRegularFile(found)) {
        return QCoreApplication::translate("CSampleExtractor", "%1 is not a regular file")
            .arg(found);
    }
    if (!endsWithWav(found) && !IsWaveFile(m_folder + found)) {
        return QCoreApplication::translate("CSampleExtractor", "%1 is not a wave file").arg(found);
    }
    return QString();
}

// A chosen name must be nobody else's: not another record's, not a file this
// run wrote, and not a file in the folder (another bank's sample, say) unless
// that file holds exactly this sample's data, which is how the same name is
// found again when the bank is opened again.
bool CSampleExtractor::Pass::IsFreeFor(int index, const QString& name) const {
    if (!m_bNamesBuilt) {
        m_names.Build(m_x.m_bank.resources.data(), m_count);
        m_bNamesBuilt = true;
    }
    if (IsBankItself(name) || m_names.IsTakenByOther(name, Resource(index)) ||
        m_batch.FindAdded(name) >= 0) {
        return false;
    }
    const QString found = m_listing.Resolve(name);
    // Without the bank's data the file cannot be shown to hold it.
    return found.isEmpty() ||
           (!m_listing.IsFolder(found) && m_listing.IsRegularFile(found) && m_x.LoadData() &&
            WaveHolds(m_folder + found, m_x.OpenedData(index)));
}

size_t CSampleExtractor::Pass::FoldedKey(const QString& name) {
    const auto hash = [](QStringView text, bool lower) {
        std::uint64_t h = 14695981039346656037ULL;
        for (const QChar c : text) {
            char16_t u = c.unicode();
            if (lower && u >= u'A' && u <= u'Z') {
                u = static_cast<char16_t>(u + (u'a' - u'A'));
            }
            h = (h ^ u) * 1099511628211ULL;
        }
        return static_cast<size_t>(h);
    };
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            return hash(CCaseFold::Fold(name), false);
        }
    }
    return hash(name, true);
}

bool CSampleExtractor::Pass::SameFile(int j, const QString& name) const {
    return CCaseFold::Fold(CBnmFormat::FileNameText(Resource(j))) == CCaseFold::Fold(name);
}

int CSampleExtractor::Pass::TakenBy(const QString& name, size_t key) const {
    const auto first = m_takenBy.constFind(key);
    if (first == m_takenBy.cend()) {
        return -1;
    }
    return SameFile(*first, name) ? *first : m_takenByFolded.value(CCaseFold::Fold(name), -1);
}

void CSampleExtractor::Pass::Take(const QString& name, size_t key, int i) {
    const auto first = m_takenBy.find(key);
    if (first == m_takenBy.end()) {
        m_takenBy.insert(key, i);
    } else if (SameFile(*first, name)) {
        *first = i;
    } else {
        m_takenByFolded.insert(CCaseFold::Fold(name), i);
    }
}

QString CSampleExtractor::Pass::FileNameFor(int i, size_t& key) {
    QString fileName = CBnmFormat::FileNameText(Resource(i));
    // A record without a name of its own, or one naming the bank itself, gets
    // a name whether or not there is a names file; otherwise its data would
    // have no file to live in and the next save would drop it. A name with a
    // folder part ("../x.wav") gets one too: a bank must not make us write
    // files outside its folder.
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')) ||
        fileName == QStringLiteral(".") || fileName == QStringLiteral("..") ||
        IsBankItself(fileName)) {
        fileName = NameFor(i);
        Rename(i, fileName);
    }
    // Two records of this bank that name one file (the same name, or names
    // that differ only in case) share it only when their data are the same;
    // otherwise the later one's data would be replaced by the earlier one's on
    // the next save.
    key = FoldedKey(fileName);
    const int first = TakenBy(fileName, key);
    // Data the bank cannot give now counts as other data.
    if (first >= 0 && (!m_x.LoadData() || m_x.OpenedData(first) != m_x.OpenedData(i))) {
        RenameAway(i, fileName,
                   QCoreApplication::translate(
                       "CSampleExtractor", "another sample names the same file with other data"));
        key = FoldedKey(fileName);
    }
    return fileName;
}

qint64 CSampleExtractor::Pass::Place(int i) {
    size_t key = 0;
    QString fileName = FileNameFor(i, key);
    // A file an earlier record of this bank wrote counts as existing.
    int waiting = m_batch.FindAdded(fileName);
    // A folder of that name is no wave file: writing fails below and is
    // reported, and saving keeps the data from the bank.
    QString existing = waiting >= 0 ? QString() : ExistingFile(fileName);
    if (!existing.isEmpty()) {
        const QString why = ForeignReason(existing);
        if (!why.isEmpty()) {
            RenameAway(i, fileName, why);
            key = FoldedKey(fileName);
            waiting = m_batch.FindAdded(fileName);
            existing = waiting >= 0 ? QString() : ExistingFile(fileName);
        }
    }
    Take(fileName, key, i);
    if (waiting < 0 && existing.isEmpty()) {
        return Write(i, fileName);
    }
    SampleExtraction& extraction = m_report.extraction[static_cast<size_t>(i)];
    extraction.state = SampleExtraction::State::Written;
    m_waitsIn[static_cast<size_t>(i)] = waiting;
    // What of the sample the bank holds, so a save can tell whether the bank
    // is all that is left of it.
    const QByteArrayView held = m_x.OpenedData(i);
    if (!held.isEmpty()) {
        extraction.openedAt = reinterpret_cast<const quint8*>(held.data()) - m_x.m_bank.image;
        extraction.openedLength = held.size();
    }
    return -1;
}

qint64 CSampleExtractor::Pass::Write(int i, const QString& fileName) {
    SoundResource& resource = Resource(i);
    const QString wave = m_folder + fileName;
    const qint64 fileSize = m_x.m_bank.fileSize;
    const qint64 start = static_cast<qint64>(m_x.m_bank.header->sampleDataOffset) + resource.offset;
    qint64 length = resource.length;
    if (start < 0 || start + length > fileSize) {
        m_x.Note(m_report, {Message::Kind::Warning,
                            QCoreApplication::translate(
                                "CSampleExtractor", "End of file reached.\nTruncating sample %1")
                                .arg(wave)});
        length = start < 0 ? -1 : fileSize - start;
        resource.length = static_cast<qint32>(length);
        m_report.modified = true;
    }
    if (length < 0) {
        m_x.Note(m_report, {Message::Kind::Error,
                            QCoreApplication::translate("CSampleExtractor",
                                                        "Negative length.\nCan't save sample to %1")
                                .arg(wave)});
        length = 0;
        resource.length = 0;
        m_report.modified = true;
    }
    const qint64 from = length > 0 ? start : 0;
    SampleExtraction& extraction = m_report.extraction[static_cast<size_t>(i)];
    extraction.openedAt = from;
    extraction.openedLength = length;
    // Data the bank cannot give now stays unwritten, as a failed write does,
    // and a save will need it from the bank again.
    int added = -1;
    if (const CResult<void> loaded = m_x.LoadData(); !loaded) {
        m_x.Note(m_report, {Message::Kind::Error, loaded.Error().text});
        ++m_notWritten;
    } else {
        CFileException error;
        added = m_x.WriteWaveFile(m_batch, fileName, from, length, i, error);
        if (added < 0) {
            NoteFailure(error, 1);
        }
    }
    extraction.state =
        added >= 0 ? SampleExtraction::State::Written : SampleExtraction::State::Failed;
    m_waitsIn[static_cast<size_t>(i)] = added;
    return length;
}

void CSampleExtractor::Pass::NoteFailure(const CFileException& error, qsizetype count) {
    if (m_notWritten == 0) {
        m_firstError = error;
    }
    m_notWritten += count;
}

void CSampleExtractor::Pass::Finish() {
    CFileException commitError;
    const std::vector<int> failed = m_batch.Commit(commitError);
    if (!failed.empty()) {
        for (int i = 0; i < m_count; ++i) {
            const int waited = m_waitsIn[static_cast<size_t>(i)];
            if (waited >= 0 && std::binary_search(failed.begin(), failed.end(), waited)) {
                m_report.extraction[static_cast<size_t>(i)].state = SampleExtraction::State::Failed;
            }
        }
        NoteFailure(commitError, static_cast<qsizetype>(failed.size()));
    }
    m_report.unwritten = m_notWritten;
    if (!m_renamed.isEmpty()) {
        m_report.messages.push_back(
            {Message::Kind::Warning,
             QCoreApplication::translate("CSampleExtractor",
                                         "These samples were given wave files of their own:\n%1\n"
                                         "Saving the bank keeps the new names.")
                 .arg(CMessageList::Join(m_renamed))});
    }
    if (m_notWritten > 0) {
        // One for one file, as English says "its" where it says "their".
        const QString consequence =
            m_notWritten == 1
                ? QCoreApplication::translate(
                      "CSampleExtractor",
                      "The wave file was not written; the bank keeps its sample data.")
                : CPlural::Text("CSampleExtractor",
                                QT_TRANSLATE_N_NOOP("CSampleExtractor",
                                                    "%n wave file(s) were not written; the bank "
                                                    "keeps their sample data."),
                                static_cast<int>(m_notWritten));
        m_firstError.m_strDetail = m_firstError.m_strDetail.isEmpty()
                                       ? consequence
                                       : m_firstError.m_strDetail + QLatin1Char('\n') + consequence;
        m_report.messages.push_back({Message::Kind::Error, m_firstError.GetErrorMessage()});
    }
}

CSampleExtractor::Report CSampleExtractor::Extract() {
    Report report;
    report.extraction.assign(m_bank.resources.size(), SampleExtraction());
    qint64 total = 0;
    for (const SoundResource& resource : m_bank.resources) {
        if (resource.IsBankedSample()) {
            total += std::max(qint32{resource.length}, 0);
        }
    }
    m_progress.Begin(QCoreApplication::translate("CSampleExtractor", "Writing samples"), total);
    Pass pass(*this, report);
    qint64 done = 0;
    // How many samples ahead the folder's entries are fetched.
    constexpr int kAhead = 8;
    for (int i = 0; i < kAhead; ++i) {
        pass.Prefetch(i);
    }
    for (int i = 0; i < pass.Count(); ++i) {
        pass.Prefetch(i + kAhead);
        if (!m_bank.resources[static_cast<size_t>(i)].IsBankedSample()) {
            continue;
        }
        if (const qint64 written = pass.Place(i); written >= 0) {
            done += written;
            m_progress.Step(done);
        }
    }
    pass.Finish();
    m_progress.End();
    return report;
}
