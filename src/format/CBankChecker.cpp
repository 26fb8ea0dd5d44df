// Long: one check of many kinds, members of Run sharing the listing, other banks and findings.
#include "CBankChecker.h"

#include "CBankReader.h"
#include "CBnmFormat.h"
#include "CLeftoverWaves.h"
#include "CWaveReader.h"

#include "framework/core/CCaseFold.h"
#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"
#include "framework/core/CPlural.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace {

using Finding = CBankChecker::Finding;
using Kind = Finding::Kind;
using Record = Finding::Record;

constexpr int kBankCount = 4;

QString formatText(qint64 rate, qint64 bits, int channels) {
    return QCoreApplication::translate("CBankChecker", "%1 Hz, %2 bits, %3")
        .arg(rate)
        .arg(bits)
        .arg(CPlural::Text("CBankChecker", QT_TRANSLATE_N_NOOP("CBankChecker", "%n channel(s)"),
                           channels));
}

// A file error's text on one line, as a finding is one sentence.
QString oneLine(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

bool staysInFolder(const QString& name) {
    return !name.contains(QLatin1Char('/')) && name != QStringLiteral(".") &&
           name != QStringLiteral("..");
}

} // namespace

// One check: the bank, its folder as listed once, the other banks as far as
// they were looked at, and the findings so far.
class CBankChecker::Run {
public:
    explicit Run(const Bank& bank);
    std::vector<Finding> Check();

private:
    // What a target needs of another bank: its table sizes, or why there are none.
    struct OtherBank {
        bool looked = false;
        bool usable = false;
        bool told = false;
        CBankReader::TableCounts counts;
        QString file;
        QString why; // completes "but ..."
    };
    // A target's table: its size, its bank as a sentence names it, its file if another's.
    struct TargetTable {
        int count = 0;
        QString where;
        QString file;
    };

    void Step(void (Run::*check)());
    void Add(Kind kind, Record record, int index, qint64 id, QString text,
             QString file = QString());
    void AddResource(Kind kind, int index, QString text, QString file = QString());
    void AddEvent(Kind kind, int index, QString text, QString file = QString());

    const SoundResource& Resource(int index) const;
    int ResourceCount() const { return static_cast<int>(m_records.Resources().size()); }
    int EventCount() const { return static_cast<int>(m_records.Events().size()); }
    QString InFolder(const QString& name) const { return m_folder + QLatin1Char('/') + name; }
    QString Label(Record record, int index) const;

    void Tables();
    void Targets();
    void CheckTarget(int event, bool stop);
    std::optional<TargetTable> OtherTable(int event, bool stop, int number, int index);
    OtherBank& Other(int number);
    void Waves();
    void CheckLoop(int index);
    bool WaveNameUsable(int index, const QString& name);
    void FindWave(int index, const QString& name);
    void NotRegular(int index, const QString& path);
    void CompareShared(int index, int first, const QString& name);
    void CheckWave(int index, const QString& path);
    void CompareWave(int index, const QString& path, const CWaveReader::Info& info);
    void SampleData();
    void Ids();
    void Names();
    void Leftovers();

    const Bank& m_bank;
    const CBankRecords& m_records;
    QString m_folder;
    QString m_ownName;
    std::optional<CFolderListing> m_listing;
    std::array<OtherBank, kBankCount> m_others;
    std::vector<Finding> m_findings;
};

CBankChecker::Run::Run(const Bank& bank) : m_bank(bank), m_records(bank.records) {
    if (!bank.path.isEmpty()) {
        const QFileInfo info(bank.path);
        m_folder = info.absolutePath();
        m_ownName = info.fileName();
        m_listing.emplace(m_folder);
    }
}

std::vector<Finding> CBankChecker::Run::Check() {
    Step(&Run::Tables);
    Step(&Run::Targets);
    Step(&Run::Waves);
    Step(&Run::SampleData);
    Step(&Run::Ids);
    Step(&Run::Names);
    Step(&Run::Leftovers);
    return std::move(m_findings);
}

// Runs one group of checks and puts its findings in table order.
void CBankChecker::Run::Step(void (Run::*check)()) {
    const size_t from = m_findings.size();
    (this->*check)();
    std::stable_sort(m_findings.begin() + static_cast<std::ptrdiff_t>(from), m_findings.end(),
                     [](const Finding& a, const Finding& b) {
                         return a.record != b.record ? a.record < b.record : a.index < b.index;
                     });
}

void CBankChecker::Run::Add(Kind kind, Record record, int index, qint64 id, QString text,
                            QString file) {
    m_findings.push_back({kind, record, index, id, std::move(file), std::move(text)});
}

void CBankChecker::Run::AddResource(Kind kind, int index, QString text, QString file) {
    Add(kind, Record::Resource, index, Resource(index).resourceId, std::move(text),
        std::move(file));
}

void CBankChecker::Run::AddEvent(Kind kind, int index, QString text, QString file) {
    Add(kind, Record::Event, index, m_records.Events()[static_cast<size_t>(index)].eventId,
        std::move(text), std::move(file));
}

const SoundResource& CBankChecker::Run::Resource(int index) const {
    return m_records.Resources()[static_cast<size_t>(index)];
}

QString CBankChecker::Run::Label(Record record, int index) const {
    Finding f;
    f.record = record;
    f.index = index;
    f.id = record == Record::Resource ? Resource(index).resourceId
                                      : m_records.Events()[static_cast<size_t>(index)].eventId;
    return CBankChecker::RecordLabel(f);
}

void CBankChecker::Run::Tables() {
    const BnmHeader* header = m_records.Header();
    if (header == nullptr) {
        return;
    }
    // One sentence a table, as "resources" and "events" may take different
    // forms in another language.
    const auto cut = [this](qint32 claimed, int held, const char* sentence) {
        if (claimed != held) {
            Add(Kind::TableCut, Record::Bank, -1, 0,
                QCoreApplication::translate("CBankChecker", sentence).arg(claimed).arg(held));
        }
    };
    cut(header->resourceCount, ResourceCount(),
        QT_TRANSLATE_NOOP("CBankChecker", "The header lists %1 resources, but only %2 lie inside "
                                          "the header region; the others are not checked."));
    cut(header->eventCount, EventCount(),
        QT_TRANSLATE_NOOP("CBankChecker", "The header lists %1 events, but only %2 lie inside "
                                          "the header region; the others are not checked."));
}

CBankChecker::Run::OtherBank& CBankChecker::Run::Other(int number) {
    OtherBank& other = m_others[static_cast<size_t>(number)];
    if (other.looked) {
        return other;
    }
    other.looked = true;
    const QString name = QStringLiteral("Bnk_%1.bnm").arg(number);
    const QString found = m_listing->Resolve(name);
    if (found.isEmpty()) {
        other.file = InFolder(name);
        other.why = QCoreApplication::translate("CBankChecker", "the folder %1 holds no %2")
                        .arg(m_folder, name);
        return other;
    }
    other.file = InFolder(found);
    if (m_listing->IsFolder(found) || !m_listing->IsRegularFile(found)) {
        other.why =
            QCoreApplication::translate("CBankChecker", "%1 is not a regular file").arg(other.file);
        return other;
    }
    CFile file;
    CFileException error;
    if (!file.Open(other.file, CFile::modeRead, &error)) {
        other.why = oneLine(error.GetErrorMessage());
        return other;
    }
    try {
        BnmHeader header{};
        const qint64 length = file.GetLength();
        const std::optional<CBankReader::TableCounts> counts =
            length > static_cast<qint64>(sizeof header) &&
                    file.Read(&header, sizeof header) == static_cast<qint64>(sizeof header)
                ? CBankReader::CountTables(header, length)
                : std::nullopt;
        if (!counts) {
            // A large file of zeros or noise is no short bank.
            other.why =
                length > static_cast<qint64>(sizeof header)
                    ? QCoreApplication::translate(
                          "CBankChecker", "%1 is no bank: its header places its tables outside it")
                          .arg(other.file)
                    : QCoreApplication::translate("CBankChecker", "%1 is too short to be a bank")
                          .arg(other.file);
            return other;
        }
        other.counts = *counts;
        other.usable = true;
    } catch (const CFileException& e) {
        other.why = oneLine(e.GetErrorMessage());
    }
    return other;
}

void CBankChecker::Run::Targets() {
    const std::span<const SoundEvent> events = m_records.Events();
    for (int i = 0; i < EventCount(); ++i) {
        const SoundEvent& event = events[static_cast<size_t>(i)];
        const bool stop = event.type == SoundEvent::kTypeStop;
        if (stop || event.type == SoundEvent::kTypePlay || event.HasFractions()) {
            CheckTarget(i, stop);
        }
    }
}

void CBankChecker::Run::CheckTarget(int event, bool stop) {
    const qint32 param = m_records.Events()[static_cast<size_t>(event)].param1;
    const int number = CBnmFormat::TargetBank(param);
    const int index = CBnmFormat::TargetIndex(param);
    if (number >= kBankCount) {
        AddEvent(Kind::BankOutOfRange, event,
                 QCoreApplication::translate(
                     "CBankChecker", "Its target names bank %1, but banks are numbered 0 to 3.")
                     .arg(number));
        return;
    }
    std::optional<TargetTable> table;
    if (number == m_records.GetBank()) {
        table = TargetTable{stop ? EventCount() : ResourceCount(),
                            QCoreApplication::translate("CBankChecker", "this bank"), QString()};
    } else if (m_listing) { // a bank from a stream has no folder to find the others in
        table = OtherTable(event, stop, number, index);
    }
    if (!table || index < table->count) {
        return;
    }
    const QString held =
        stop ? CPlural::Text("CBankChecker", QT_TRANSLATE_N_NOOP("CBankChecker", "%n event(s)"),
                             table->count)
             : CPlural::Text("CBankChecker", QT_TRANSLATE_N_NOOP("CBankChecker", "%n resource(s)"),
                             table->count);
    if (stop) {
        AddEvent(Kind::StopTargetMissing, event,
                 QCoreApplication::translate(
                     "CBankChecker", "It stops event %1 of %2, which does not exist: %2 has %3.")
                     .arg(index)
                     .arg(table->where, held),
                 table->file);
    } else {
        AddEvent(Kind::TargetPastEnd, event,
                 QCoreApplication::translate(
                     "CBankChecker", "Its target, resource %1 of %2, lies past the end of the "
                                     "table: %2 has %3.")
                     .arg(index)
                     .arg(table->where, held),
                 table->file);
    }
}

std::optional<CBankChecker::Run::TargetTable> CBankChecker::Run::OtherTable(int event, bool stop,
                                                                            int number, int index) {
    OtherBank& other = Other(number);
    if (other.usable) {
        return TargetTable{stop ? other.counts.events : other.counts.resources,
                           QFileInfo(other.file).fileName(), other.file};
    }
    if (!other.told) {
        other.told = true;
        // One sentence for each kind of target, as a translation may need to
        // tell them apart.
        const QString sentence =
            stop ? QCoreApplication::translate("CBankChecker",
                                               "Its target is event %1 of Bnk_%2.bnm, but "
                                               "%3; no other target in that bank is checked.")
                 : QCoreApplication::translate("CBankChecker",
                                               "Its target is resource %1 of Bnk_%2.bnm, but "
                                               "%3; no other target in that bank is checked.");
        AddEvent(Kind::OtherBankMissing, event, sentence.arg(index).arg(number).arg(other.why),
                 other.file);
    }
    return std::nullopt;
}

void CBankChecker::Run::Waves() {
    // Case-folded wave file name -> the first sample that names it.
    QHash<QString, int> firstOfFile;
    for (int i = 0; i < ResourceCount(); ++i) {
        const SoundResource& r = Resource(i);
        if (!r.IsSample()) {
            continue;
        }
        CheckLoop(i);
        const QString name = CBnmFormat::FileNameText(r);
        if (!WaveNameUsable(i, name)) {
            continue;
        }
        if (m_listing) {
            if (name.compare(m_ownName, Qt::CaseInsensitive) == 0) {
                // A banked sample may name its bank, as the games' own banks
                // do; an external one would be played from it.
                if (r.storage != SoundResource::kStorageBank) {
                    AddResource(Kind::WaveUnreadable, i,
                                QCoreApplication::translate(
                                    "CBankChecker", "It is stored outside the bank, but its wave "
                                                    "file %1 is the bank itself.")
                                    .arg(name),
                                m_bank.path);
                }
                continue;
            }
            FindWave(i, name);
        }
        const auto first = firstOfFile.constFind(CCaseFold::Fold(name));
        if (first == firstOfFile.cend()) {
            firstOfFile.insert(CCaseFold::Fold(name), i);
        } else {
            CompareShared(i, *first, name);
        }
    }
}

void CBankChecker::Run::CheckLoop(int index) {
    const SoundResource& r = Resource(index);
    if (r.looped != 0 && (r.loopStart < 0 || r.loopLength < 0 ||
                          qint64{r.loopStart} + r.loopLength > qint64{r.length})) {
        AddResource(Kind::LoopPastData, index,
                    QCoreApplication::translate("CBankChecker",
                                                "Its loop (start %1, length %2) runs past the end "
                                                "of its %3 bytes of data.")
                        .arg(r.loopStart)
                        .arg(r.loopLength)
                        .arg(r.length));
    }
}

bool CBankChecker::Run::WaveNameUsable(int index, const QString& name) {
    if (name.isEmpty()) {
        // A banked sample without a name gets one when the bank is opened.
        if (Resource(index).storage != SoundResource::kStorageBank) {
            AddResource(Kind::WaveMissing, index,
                        QCoreApplication::translate(
                            "CBankChecker", "It is stored outside the bank but names no wave "
                                            "file."));
        }
        return false;
    }
    if (!staysInFolder(name)) {
        AddResource(Kind::WaveUnreadable, index,
                    QCoreApplication::translate(
                        "CBankChecker", "Its wave file name %1 leads out of the bank's folder, "
                                        "where no wave file is ever looked for.")
                        .arg(name));
        return false;
    }
    return true;
}

void CBankChecker::Run::FindWave(int index, const QString& name) {
    const QString found = m_listing->Resolve(name);
    if (found.isEmpty()) {
        // Opening the bank writes a banked sample's file.
        if (Resource(index).storage != SoundResource::kStorageBank) {
            AddResource(Kind::WaveMissing, index,
                        QCoreApplication::translate("CBankChecker",
                                                    "Its wave file %1 is not in the folder %2.")
                            .arg(name, m_folder),
                        InFolder(name));
        }
    } else if (m_listing->IsFolder(found) || !m_listing->IsRegularFile(found)) {
        NotRegular(index, InFolder(found));
    } else {
        CheckWave(index, InFolder(found));
    }
}

void CBankChecker::Run::NotRegular(int index, const QString& path) {
    AddResource(
        Kind::WaveUnreadable, index,
        QCoreApplication::translate("CBankChecker", "Its wave file %1 is not a regular file.")
            .arg(path),
        path);
}

void CBankChecker::Run::CompareShared(int index, int first, const QString& name) {
    const SoundResource& r = Resource(index);
    const SoundResource& other = Resource(first);
    bool differ = other.length != r.length || other.samplesPerSec != r.samplesPerSec ||
                  other.bitsPerSample != r.bitsPerSample || other.channels != r.channels;
    if (!differ && r.storage == SoundResource::kStorageBank && other.IsBankedSample() &&
        r.length > 0) {
        const qint64 start = qint64{m_records.Header()->sampleDataOffset};
        const qint64 a = start + other.offset;
        const qint64 b = start + r.offset;
        const qint64 size = m_bank.image.size();
        if (a >= 0 && b >= 0 && a + r.length <= size && b + r.length <= size) {
            differ = m_bank.image.sliced(a, r.length) != m_bank.image.sliced(b, r.length);
        }
    }
    if (differ) {
        AddResource(Kind::SharedWaveDiffers, index,
                    QCoreApplication::translate(
                        "CBankChecker", "It names the wave file %1, as %2 does, but their data "
                                        "differ; one of them would take the other's sound.")
                        .arg(name, Label(Record::Resource, first)),
                    m_listing ? InFolder(name) : QString());
    }
}

void CBankChecker::Run::CheckWave(int index, const QString& path) {
    // Every sample's file is read, so the wave module reads its headers with
    // as few system calls as can be.
    const CWaveReader::FileInfo read = CWaveReader::ReadFile(path);
    if (read.status == CWaveReader::FileInfo::Status::NotRegular) {
        NotRegular(index, path);
        return;
    }
    if (read.status == CWaveReader::FileInfo::Status::Failed) {
        const CFileException e(CFileException::CauseFromErrno(read.error), path,
                               QString::fromLocal8Bit(std::strerror(read.error)));
        AddResource(Kind::WaveUnreadable, index,
                    QCoreApplication::translate("CBankChecker", "Its wave file cannot be read: %1")
                        .arg(oneLine(e.GetErrorMessage())),
                    path);
        return;
    }
    const CWaveReader::Info& info = read.info;
    if (!info.wave || !info.hasFormat || !info.hasData) {
        AddResource(Kind::WaveUnreadable, index,
                    QCoreApplication::translate(
                        "CBankChecker",
                        "Its wave file %1 is not a RIFF WAVE file with a format and "
                        "a data chunk.")
                        .arg(path),
                    path);
        return;
    }
    if (!info.format.pcm) {
        AddResource(Kind::WaveNotPcm, index,
                    QCoreApplication::translate(
                        "CBankChecker", "Its wave file %1 is not PCM (format 0x%2), which the game "
                                        "cannot play.")
                        .arg(path)
                        .arg(info.format.formatTag, 4, 16, QLatin1Char('0')),
                    path);
        return;
    }
    CompareWave(index, path, info);
}

void CBankChecker::Run::CompareWave(int index, const QString& path, const CWaveReader::Info& info) {
    const SoundResource& r = Resource(index);
    const CWaveReader::Format& f = info.format;
    if (f.samplesPerSec != static_cast<quint32>(r.samplesPerSec) ||
        f.bitsPerSample != r.bitsPerSample || f.channels != r.channels) {
        AddResource(Kind::WaveFormatDiffers, index,
                    QCoreApplication::translate(
                        "CBankChecker", "Its wave file %1 holds %2, but the record says %3.")
                        .arg(path, formatText(f.samplesPerSec, f.bitsPerSample, f.channels),
                             formatText(r.samplesPerSec, r.bitsPerSample, r.channels)),
                    path);
    }
    if (info.dataHeld != r.length) {
        QString text =
            QCoreApplication::translate("CBankChecker",
                                        "Its wave file %1 holds %2 bytes of sample data, but the "
                                        "record says %3.")
                .arg(path)
                .arg(info.dataHeld)
                .arg(r.length);
        if (info.dataClaimed > info.dataHeld) {
            text += QCoreApplication::translate(
                        "CBankChecker", " Its data chunk claims %1: the file was cut short.")
                        .arg(info.dataClaimed);
        }
        AddResource(Kind::WaveLengthDiffers, index, text, path);
    }
}

void CBankChecker::Run::SampleData() {
    const BnmHeader* header = m_records.Header();
    if (header == nullptr) {
        return;
    }
    struct Range {
        qint64 start;
        qint64 end;
        int index;
    };
    std::vector<Range> ranges;
    const qint64 dataStart = header->sampleDataOffset;
    for (int i = 0; i < ResourceCount(); ++i) {
        const SoundResource& r = Resource(i);
        if (!r.IsBankedSample()) {
            continue;
        }
        const qint64 start = dataStart + r.offset;
        const qint64 end = start + r.length;
        if (r.offset < 0 || r.length < 0 || end > m_bank.fileSize) {
            AddResource(Kind::DataOutsideFile, i,
                        QCoreApplication::translate(
                            "CBankChecker",
                            "Its data (%1 bytes at offset %2 of the sample data) lies "
                            "outside the bank, whose sample data are %3 bytes.")
                            .arg(r.length)
                            .arg(r.offset)
                            .arg(std::max<qint64>(m_bank.fileSize - dataStart, 0)));
        } else if (r.length > 0) {
            ranges.push_back({start, end, i});
        }
    }
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) {
        return a.start != b.start ? a.start < b.start : a.index < b.index;
    });
    // The range reaching furthest so far: whatever starts before its end
    // shares bytes with it.
    const Range* furthest = nullptr;
    for (const Range& range : ranges) {
        if (furthest != nullptr && range.start < furthest->end) {
            const Range& earlier = furthest->index < range.index ? *furthest : range;
            const Range& later = furthest->index < range.index ? range : *furthest;
            AddResource(Kind::DataOverlaps, later.index,
                        QCoreApplication::translate(
                            "CBankChecker", "Its data (bytes %1 to %2 of the sample data) overlap "
                                            "those of %3.")
                            .arg(later.start - dataStart)
                            .arg(later.end - dataStart - 1)
                            .arg(Label(Record::Resource, earlier.index)));
        }
        if (furthest == nullptr || range.end > furthest->end) {
            furthest = &range;
        }
    }
}

void CBankChecker::Run::Ids() {
    const std::span<const SoundEvent> events = m_records.Events();
    // idOf copies the id: the records are packed, and their fields may not
    // be bound to the references the hash takes.
    const auto duplicates = [this](int count, Record record, Kind kind, const auto& idOf) {
        QHash<qint32, int> first;
        first.reserve(count);
        for (int i = 0; i < count; ++i) {
            const qint32 id = idOf(i);
            const auto at = first.constFind(id);
            if (at == first.cend()) {
                first.insert(id, i);
                continue;
            }
            QString text =
                QCoreApplication::translate("CBankChecker", "Its id %1 is also that of %2.")
                    .arg(id)
                    .arg(Label(record, *at));
            if (record == Record::Resource) {
                AddResource(kind, i, std::move(text));
            } else {
                AddEvent(kind, i, std::move(text));
            }
        }
    };
    duplicates(ResourceCount(), Record::Resource, Kind::DuplicateResourceId,
               [this](int i) -> qint32 { return Resource(i).resourceId; });
    duplicates(EventCount(), Record::Event, Kind::DuplicateEventId,
               [&events](int i) -> qint32 { return events[static_cast<size_t>(i)].eventId; });
}

void CBankChecker::Run::Names() {
    if (ResourceCount() == 0) {
        return;
    }
    if (m_bank.names.empty()) {
        if (!m_listing) {
            return;
        }
        const QString name = m_ownName.left(m_ownName.size() - 3) + QStringLiteral("bns");
        const QString found = m_listing->Resolve(name);
        const QString path = InFolder(found.isEmpty() ? name : found);
        QString text;
        if (found.isEmpty()) {
            text = QCoreApplication::translate(
                "CBankChecker", "There is no names file %1, so no resource has a name.");
        } else if (m_listing->IsFolder(found) || !m_listing->IsRegularFile(found)) {
            text = QCoreApplication::translate(
                "CBankChecker", "The names file %1 is not a regular file, so no resource has "
                                "a name.");
        } else {
            text = QCoreApplication::translate(
                "CBankChecker", "The names file %1 gives no names: it has no [body res] line, "
                                "or it could not be read.");
        }
        Add(Kind::NoNames, Record::Bank, -1, 0, text.arg(path), path);
        return;
    }
    QSet<int> ids;
    ids.reserve(ResourceCount());
    for (const SoundResource& r : m_records.Resources()) {
        ids.insert(r.resourceId & 0xFFFF);
    }
    for (size_t p = 0; p < m_bank.names.size(); ++p) {
        const ResourceName& entry = m_bank.names[p];
        if (entry.hasId && entry.id != -1 && !ids.contains(entry.id)) {
            Add(Kind::NameWithoutResource, Record::NamesEntry, static_cast<int>(p), entry.id,
                QCoreApplication::translate("CBankChecker",
                                            "It names the id %1 (\"%2\"), which no resource has.")
                    .arg(entry.id)
                    .arg(entry.name));
        }
    }
    for (int i = 0; i < ResourceCount(); ++i) {
        if (m_records.FindResourceName(Resource(i).resourceId & 0xFFFF) == nullptr) {
            AddResource(Kind::ResourceWithoutName, i,
                        QCoreApplication::translate("CBankChecker",
                                                    "The names file gives its id %1 no name.")
                            .arg(Resource(i).resourceId & 0xFFFF));
        }
    }
}

void CBankChecker::Run::Leftovers() {
    if (!m_listing) {
        return;
    }
    const CLeftoverWaves::Bank bank{m_records.Resources(), m_records.GetBank(),
                                    [this](int id) { return m_records.GetResourceName(id); },
                                    m_ownName};
    const std::optional<QStringList> leftovers = CLeftoverWaves::Find(m_folder, *m_listing, bank);
    for (const QString& name : leftovers.value_or(QStringList())) {
        Add(Kind::WaveUnused, Record::Bank, -1, 0,
            QCoreApplication::translate("CBankChecker",
                                        "No record of the folder's banks names the wave file %1; "
                                        "it stays there, as Kantel deletes no file.")
                .arg(InFolder(name)),
            InFolder(name));
    }
}

CBankChecker::CBankChecker(Bank bank) : m_bank(std::move(bank)) {}

std::vector<CBankChecker::Finding> CBankChecker::Check() const {
    return Run(m_bank).Check();
}

QString CBankChecker::KindName(Finding::Kind kind) {
    switch (kind) {
    case Kind::TableCut:
        return QStringLiteral("tableCut");
    case Kind::TargetPastEnd:
        return QStringLiteral("targetPastEnd");
    case Kind::StopTargetMissing:
        return QStringLiteral("stopTargetMissing");
    case Kind::OtherBankMissing:
        return QStringLiteral("otherBankMissing");
    case Kind::BankOutOfRange:
        return QStringLiteral("bankOutOfRange");
    case Kind::WaveMissing:
        return QStringLiteral("waveMissing");
    case Kind::WaveUnreadable:
        return QStringLiteral("waveUnreadable");
    case Kind::WaveNotPcm:
        return QStringLiteral("waveNotPcm");
    case Kind::WaveFormatDiffers:
        return QStringLiteral("waveFormatDiffers");
    case Kind::WaveLengthDiffers:
        return QStringLiteral("waveLengthDiffers");
    case Kind::LoopPastData:
        return QStringLiteral("loopPastData");
    case Kind::DataOverlaps:
        return QStringLiteral("dataOverlaps");
    case Kind::DataOutsideFile:
        return QStringLiteral("dataOutsideFile");
    case Kind::SharedWaveDiffers:
        return QStringLiteral("sharedWaveDiffers");
    case Kind::DuplicateResourceId:
        return QStringLiteral("duplicateResourceId");
    case Kind::DuplicateEventId:
        return QStringLiteral("duplicateEventId");
    case Kind::NameWithoutResource:
        return QStringLiteral("nameWithoutResource");
    case Kind::ResourceWithoutName:
        return QStringLiteral("resourceWithoutName");
    case Kind::NoNames:
        return QStringLiteral("noNames");
    case Kind::WaveUnused:
        return QStringLiteral("waveUnused");
    }
    return QString();
}

QString CBankChecker::RecordName(Finding::Record record) {
    switch (record) {
    case Record::Bank:
        return QStringLiteral("bank");
    case Record::Resource:
        return QStringLiteral("resource");
    case Record::Event:
        return QStringLiteral("event");
    case Record::NamesEntry:
        return QStringLiteral("namesEntry");
    }
    return QString();
}

QString CBankChecker::RecordLabel(const Finding& finding) {
    switch (finding.record) {
    case Record::Bank:
        return QCoreApplication::translate("CBankChecker", "bank");
    case Record::Resource:
        return QCoreApplication::translate("CBankChecker", "resource %1 (id %2)")
            .arg(finding.index)
            .arg(finding.id);
    case Record::Event:
        return QCoreApplication::translate("CBankChecker", "event %1 (id %2)")
            .arg(finding.index)
            .arg(finding.id);
    case Record::NamesEntry:
        return QCoreApplication::translate("CBankChecker", "names entry %1 (id %2)")
            .arg(finding.index)
            .arg(finding.id);
    }
    return QString();
}
