// Long: one bank comparison, with its field tables and the byte-for-byte reading of sounds.
#include "CBankComparer.h"

#include "CBnmFormat.h"
#include "CWaveReader.h"

#include "framework/core/CFile.h"
#include "framework/core/CFileException.h"
#include "framework/core/CFolderListing.h"

#include <QCoreApplication>
#include <QVariantList>
#include <QVariantMap>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace {

using Difference = CBankComparer::Difference;
using Record = Difference::Record;

// Sounds are compared this much at a time, so a long one never lies whole
// in memory.
constexpr qint64 kChunk = qint64{1} << 20;

// Words the editor never interprets are shown as the bits they are.
enum class Shown { Decimal, Hex };

struct ResourceField {
    const char* name;
    Shown shown;
    QVariant (*value)(const SoundResource&);
};

struct EventField {
    const char* name;
    Shown shown;
    QVariant (*value)(const SoundEvent&);
};

QVariant number(qint64 value) {
    return QVariant::fromValue(value);
}

// A CD track has no sample data and no format, as --records shows it.
QVariant sample(const SoundResource& r, qint64 value) {
    return r.IsCdAudio() ? QVariant() : number(value);
}

QVariant flagsOf(const SoundResource& r) {
    QVariantList flags;
    for (const qint32 flag : r.flags) {
        flags.append(number(flag));
    }
    return flags;
}

QVariant volumeRestOf(const SoundResource& r) {
    return number(qint64{r.volumeRest[0]} | qint64{r.volumeRest[1]} << 8 |
                  qint64{r.volumeRest[2]} << 16);
}

// The fields of --records in its order, then the words it leaves out, which
// a save writes back as they are and a game may read all the same.
const std::array kResourceFields{
    ResourceField{"resourceId", Shown::Decimal,
                  [](const SoundResource& r) { return number(r.resourceId); }},
    ResourceField{"type", Shown::Decimal, [](const SoundResource& r) { return number(r.type); }},
    ResourceField{"storage", Shown::Decimal,
                  [](const SoundResource& r) { return sample(r, r.storage); }},
    ResourceField{"length", Shown::Decimal,
                  [](const SoundResource& r) { return sample(r, r.length); }},
    ResourceField{"offset", Shown::Decimal,
                  [](const SoundResource& r) { return sample(r, r.offset); }},
    ResourceField{"volume", Shown::Decimal,
                  [](const SoundResource& r) { return number(r.volume); }},
    ResourceField{"flags", Shown::Decimal, flagsOf},
    ResourceField{
        "cdTrack", Shown::Decimal,
        [](const SoundResource& r) { return r.IsCdAudio() ? number(r.cdTrack) : QVariant(); }},
    ResourceField{"looped", Shown::Decimal,
                  [](const SoundResource& r) { return number(r.looped); }},
    ResourceField{"loopStart", Shown::Decimal,
                  [](const SoundResource& r) { return sample(r, r.loopStart); }},
    ResourceField{"loopLength", Shown::Decimal,
                  [](const SoundResource& r) { return sample(r, r.loopLength); }},
    ResourceField{"samplesPerSec", Shown::Decimal,
                  [](const SoundResource& r) { return sample(r, r.samplesPerSec); }},
    ResourceField{"bitsPerSample", Shown::Decimal,
                  [](const SoundResource& r) { return sample(r, r.bitsPerSample); }},
    ResourceField{"channels", Shown::Decimal,
                  [](const SoundResource& r) { return sample(r, r.channels); }},
    ResourceField{"waveFormat", Shown::Decimal,
                  [](const SoundResource& r) { return sample(r, r.waveFormat); }},
    ResourceField{"fileName", Shown::Decimal,
                  [](const SoundResource& r) {
                      return r.IsCdAudio() ? QVariant() : QVariant(CBnmFormat::FileNameText(r));
                  }},
    ResourceField{"volumeRest", Shown::Hex, volumeRestOf},
    ResourceField{"word22", Shown::Hex, [](const SoundResource& r) { return number(r.word22); }},
};

QVariant fraction(const SoundEvent& e, quint32 value) {
    return e.HasFractions() ? number(value) : QVariant();
}

// The target in param1 is not a field of its own: it is param1 read another
// way, and a changed target shows as a changed param1.
const std::array kEventFields{
    EventField{"eventId", Shown::Decimal, [](const SoundEvent& e) { return number(e.eventId); }},
    EventField{"type", Shown::Decimal, [](const SoundEvent& e) { return number(e.type); }},
    EventField{"param1", Shown::Hex, [](const SoundEvent& e) { return number(e.param1); }},
    EventField{"param2", Shown::Hex, [](const SoundEvent& e) { return fraction(e, e.param2); }},
    EventField{"param3", Shown::Hex, [](const SoundEvent& e) { return fraction(e, e.param3); }},
    EventField{"stopable", Shown::Decimal, [](const SoundEvent& e) { return number(e.stopable); }},
    EventField{"dynamic", Shown::Decimal, [](const SoundEvent& e) { return number(e.dynamic); }},
    EventField{"word5", Shown::Hex, [](const SoundEvent& e) { return number(e.word5); }},
};

QString valueText(const QVariant& value, Shown shown) {
    if (!value.isValid()) {
        return QCoreApplication::translate("CBankComparer", "none");
    }
    if (value.typeId() == QMetaType::QString) {
        QString text = value.toString();
        text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        text.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    if (value.typeId() == QMetaType::QVariantList) {
        QStringList items;
        for (const QVariant& item : value.toList()) {
            items.append(valueText(item, shown));
        }
        return QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    if (shown == Shown::Hex) {
        return QStringLiteral("0x%1").arg(value.toLongLong(), 8, 16, QLatin1Char('0'));
    }
    return QString::number(value.toLongLong());
}

QString changeText(const QString& field, const QVariant& a, const QVariant& b, Shown shown) {
    return QStringLiteral("%1 %2 -> %3").arg(field, valueText(a, shown), valueText(b, shown));
}

bool staysInFolder(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QStringLiteral(".") &&
           name != QStringLiteral("..");
}

QString formatText(const SoundResource& r) {
    const QString channels =
        r.channels == 1 ? QCoreApplication::translate("CBankComparer", "mono")
        : r.channels == 2
            ? QCoreApplication::translate("CBankComparer", "stereo")
            : QCoreApplication::translate("CBankComparer", "%n channels", nullptr, r.channels);
    return QCoreApplication::translate("CBankComparer", "%1 Hz %2 %3 bit")
        .arg(r.samplesPerSec)
        .arg(channels)
        .arg(r.bitsPerSample);
}

QString bytesText(qint64 bytes) {
    // One text for one and one for many, so a translation can put the number
    // where its language wants it.
    return QCoreApplication::translate("CBankComparer",
                                       bytes == 1 ? QT_TRANSLATE_NOOP("CBankComparer", "%1 byte")
                                                  : QT_TRANSLATE_NOOP("CBankComparer", "%1 bytes"))
        .arg(bytes);
}

} // namespace

// One comparison: both banks, each folder listed when a wave file is first
// wanted from it.
class CBankComparer::Run {
public:
    Run(const Bank& a, const Bank& b)
        : m_sides{Side{a, std::nullopt, QString()}, Side{b, std::nullopt, QString()}} {}

    Result Compare() {
        Header();
        Resources();
        Events();
        Names();
        return std::move(m_result);
    }

private:
    struct Side {
        const Bank& bank;
        std::optional<CFolderListing> listing;
        QString folder;
    };

    // Where one sample's sound lies, or why it has none.
    struct Sound {
        QString why;
        bool inMemory = false;
        QByteArrayView memory;
        QString file;
        qint64 offset = 0;
        qint64 length = 0;
    };

    enum class Same { Yes, No, Failed };

    const CBankRecords& A() const { return m_sides[0].bank.records; }
    const CBankRecords& B() const { return m_sides[1].bank.records; }

    void Add(Record record, int index, const QString& label, const QString& field, QVariant a,
             QVariant b, QString text) {
        m_result.differences.push_back(
            {record, index, field, std::move(a), std::move(b), label, std::move(text)});
    }

    QString ResourceLabel(int index) const {
        QString name;
        for (const CBankRecords* records : {&A(), &B()}) {
            const std::span<const SoundResource> resources = records->Resources();
            if (static_cast<size_t>(index) < resources.size() && name.isEmpty()) {
                name = records->GetResourceName(resources[static_cast<size_t>(index)].resourceId &
                                                0xFFFF);
            }
        }
        return name.isEmpty() ? QStringLiteral("resource %1").arg(index)
                              : QStringLiteral("resource %1 (%2)").arg(index).arg(name);
    }

    // The line for a record only one bank has; the values are its id.
    void OnlyIn(Record record, int index, const QString& label, int side, qint64 id) {
        const QString path = m_sides[static_cast<size_t>(side)].bank.path;
        Add(record, index, label, QString(), side == 0 ? number(id) : QVariant(),
            side == 1 ? number(id) : QVariant(),
            path.isEmpty()
                ? (side == 0
                       ? QCoreApplication::translate("CBankComparer", "only in the first bank")
                       : QCoreApplication::translate("CBankComparer", "only in the second bank"))
                : QCoreApplication::translate("CBankComparer", "only in %1").arg(path));
    }

    void Header();
    void Resources();
    void Sounds(int index, const SoundResource& a, const SoundResource& b);
    Sound SoundOf(Side& side, int index, const SoundResource& r);
    Sound FromBank(const Side& side, int index, const SoundResource& r) const;
    Sound FromWave(Side& side, const SoundResource& r);
    static Same SameBytes(const Sound& a, const Sound& b, QString* why);
    // Reads the bytes of one side of SameBytes.
    struct Reader;
    void Events();
    void Names();

    std::array<Side, 2> m_sides;
    Result m_result;
};

void CBankComparer::Run::Header() {
    const BnmHeader* a = A().Header();
    const BnmHeader* b = B().Header();
    if (a == nullptr || b == nullptr) {
        return;
    }
    const auto bank = [](int n) { return n >= 0 ? number(n) : QVariant(); };
    const struct {
        const char* name;
        Shown shown;
        QVariant a;
        QVariant b;
    } fields[] = {
        {"word0", Shown::Hex, number(a->word0), number(b->word0)},
        {"eventTableOffset", Shown::Decimal, number(a->eventTableOffset),
         number(b->eventTableOffset)},
        {"eventCount", Shown::Decimal, number(a->eventCount), number(b->eventCount)},
        {"resourceTableOffset", Shown::Decimal, number(a->resourceTableOffset),
         number(b->resourceTableOffset)},
        {"resourceCount", Shown::Decimal, number(a->resourceCount), number(b->resourceCount)},
        {"sampleDataOffset", Shown::Decimal, number(a->sampleDataOffset),
         number(b->sampleDataOffset)},
        {"word6", Shown::Hex, number(a->word6), number(b->word6)},
        {"word7", Shown::Hex, number(a->word7), number(b->word7)},
        {"fileLength", Shown::Decimal, number(a->fileLength), number(b->fileLength)},
        // What each bank holds of its tables, which may be less than its
        // header claims.
        {"events", Shown::Decimal, number(static_cast<qint64>(A().Events().size())),
         number(static_cast<qint64>(B().Events().size()))},
        {"resources", Shown::Decimal, number(static_cast<qint64>(A().Resources().size())),
         number(static_cast<qint64>(B().Resources().size()))},
        {"bank", Shown::Decimal, bank(A().GetBank()), bank(B().GetBank())},
    };
    for (const auto& field : fields) {
        if (field.a != field.b) {
            const QString name = QString::fromLatin1(field.name);
            Add(Record::Header, -1, QStringLiteral("header"), name, field.a, field.b,
                changeText(name, field.a, field.b, field.shown));
        }
    }
}

void CBankComparer::Run::Resources() {
    const std::span<const SoundResource> a = A().Resources();
    const std::span<const SoundResource> b = B().Resources();
    const size_t both = std::min(a.size(), b.size());
    for (size_t i = 0; i < both; ++i) {
        const SoundResource& ra = a[i];
        const SoundResource& rb = b[i];
        const int index = static_cast<int>(i);
        // Most records of two versions of a bank are alike byte for byte. A
        // record is the file's 92 bytes, packed, so its bytes are its value.
        // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
        if (std::memcmp(&ra, &rb, sizeof ra) != 0) {
            const bool storageMoved = ra.storage != rb.storage;
            QString label;
            for (const ResourceField& field : kResourceFields) {
                const QVariant va = field.value(ra);
                const QVariant vb = field.value(rb);
                const QString name = QString::fromLatin1(field.name);
                // A sample that moved between the bank and its wave file has
                // its offset from where its data went; the sound tells
                // whether the data is the same.
                if (va == vb || (storageMoved && name == QStringLiteral("offset"))) {
                    continue;
                }
                if (label.isEmpty()) {
                    label = ResourceLabel(index);
                }
                Add(Record::Resource, index, label, name, va, vb,
                    changeText(name, va, vb, field.shown));
            }
        }
        if (ra.IsSample() && rb.IsSample()) {
            Sounds(index, ra, rb);
        }
    }
    for (int side = 0; side < 2; ++side) {
        const std::span<const SoundResource> longer = side == 0 ? a : b;
        for (size_t i = both; i < longer.size(); ++i) {
            OnlyIn(Record::Resource, static_cast<int>(i), ResourceLabel(static_cast<int>(i)), side,
                   longer[i].resourceId);
        }
    }
}

void CBankComparer::Run::Sounds(int index, const SoundResource& a, const SoundResource& b) {
    Sound sa = SoundOf(m_sides[0], index, a);
    Sound sb = SoundOf(m_sides[1], index, b);
    if (sa.why.isEmpty() && sb.why.isEmpty()) {
        QString why;
        const Same same = SameBytes(sa, sb, &why);
        if (same == Same::Yes) {
            return;
        }
        if (same == Same::Failed) {
            // why names the file that could not be read to its end.
            (sa.inMemory ? sb : sa).why = why;
        }
    }
    if (!sa.why.isEmpty() && !sb.why.isEmpty()) {
        m_result.warnings.append(
            QCoreApplication::translate("CBankComparer",
                                        "%1: the sound can be compared in neither bank: %2; %3")
                .arg(ResourceLabel(index), sa.why, sb.why));
        return;
    }
    const auto value = [](const Sound& s, const SoundResource& r) -> QVariant {
        if (!s.why.isEmpty()) {
            return {};
        }
        return QVariantMap{{QStringLiteral("samplesPerSec"), number(r.samplesPerSec)},
                           {QStringLiteral("bitsPerSample"), number(r.bitsPerSample)},
                           {QStringLiteral("channels"), number(r.channels)},
                           {QStringLiteral("bytes"), number(s.length)}};
    };
    const auto describe = [](const Sound& s, const SoundResource& r) {
        return s.why.isEmpty() ? formatText(r) + QStringLiteral(", ") + bytesText(s.length) : s.why;
    };
    QString detail;
    if (sa.why.isEmpty() && sb.why.isEmpty() && formatText(a) == formatText(b)) {
        detail = formatText(a) + QStringLiteral(", ") + bytesText(sa.length);
        if (sa.length != sb.length) {
            detail += QStringLiteral(" -> ") + bytesText(sb.length);
        }
    } else {
        detail = describe(sa, a) + QStringLiteral(" -> ") + describe(sb, b);
    }
    Add(Record::Resource, index, ResourceLabel(index), QStringLiteral("sound"), value(sa, a),
        value(sb, b),
        QCoreApplication::translate("CBankComparer", "sound differs (%1)").arg(detail));
}

CBankComparer::Run::Sound CBankComparer::Run::SoundOf(Side& side, int index,
                                                      const SoundResource& r) {
    const bool banked = r.IsBankedSample();
    if (banked && !side.bank.wavesFirst) {
        return FromBank(side, index, r);
    }
    Sound wave = FromWave(side, r);
    if (wave.why.isEmpty() || !banked) {
        return wave;
    }
    Sound copy = FromBank(side, index, r);
    return copy.why.isEmpty() ? copy : wave;
}

CBankComparer::Run::Sound CBankComparer::Run::FromBank(const Side& side, int index,
                                                       const SoundResource& r) const {
    Sound sound;
    sound.inMemory = true;
    if (side.bank.bankedData) {
        sound.memory = side.bank.bankedData(index);
    }
    sound.length = sound.memory.size();
    if (sound.memory.isEmpty() && r.length > 0) {
        sound.why = QCoreApplication::translate("CBankComparer", "%1 holds none of its data")
                        .arg(side.bank.path.isEmpty()
                                 ? QCoreApplication::translate("CBankComparer", "the bank")
                                 : side.bank.path);
    }
    return sound;
}

CBankComparer::Run::Sound CBankComparer::Run::FromWave(Side& side, const SoundResource& r) {
    Sound sound;
    const QString name = CBnmFormat::FileNameText(r);
    if (!staysInFolder(name)) {
        sound.why = QCoreApplication::translate("CBankComparer", "its record names no wave file");
        return sound;
    }
    if (side.bank.path.isEmpty()) {
        sound.why = QCoreApplication::translate("CBankComparer",
                                                "its wave file %1 is in no folder: the bank has "
                                                "none")
                        .arg(name);
        return sound;
    }
    if (!side.listing) {
        const qsizetype slash = side.bank.path.lastIndexOf(QLatin1Char('/'));
        side.folder = slash > 0 ? side.bank.path.left(slash) : QString();
        side.listing.emplace(slash > 0 ? side.folder : QStringLiteral("/"));
    }
    const QString found = side.listing->Resolve(name);
    const QString path = side.folder + QLatin1Char('/') + (found.isEmpty() ? name : found);
    if (found.isEmpty()) {
        sound.why = QCoreApplication::translate("CBankComparer", "%1 is missing").arg(path);
        return sound;
    }
    if (side.listing->IsFolder(found) || !side.listing->IsRegularFile(found)) {
        sound.why =
            QCoreApplication::translate("CBankComparer", "%1 is not a regular file").arg(path);
        return sound;
    }
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead, &error)) {
        sound.why = QCoreApplication::translate("CBankComparer", "%1 cannot be opened (%2)")
                        .arg(path, error.m_strDetail);
        return sound;
    }
    try {
        const CWaveReader::Info info = CWaveReader::Read(file, CWaveReader::Stop::AtData);
        if (!info.wave || !info.hasData) {
            sound.why =
                QCoreApplication::translate("CBankComparer", "%1 is not a wave file").arg(path);
            return sound;
        }
        sound.file = path;
        sound.offset = info.dataOffset;
        sound.length = info.dataHeld;
    } catch (const CFileException& e) {
        sound.why = QCoreApplication::translate("CBankComparer", "%1 cannot be read (%2)")
                        .arg(path, e.m_strDetail);
    }
    return sound;
}

// A side in a file is read a chunk at a time into its buffer; one in
// memory is looked at where it lies.
struct CBankComparer::Run::Reader {
    const Sound& sound;
    CFile file;
    QByteArray buffer;
    bool Open(QString* why) {
        if (sound.inMemory) {
            return true;
        }
        CFileException error;
        if (!file.Open(sound.file, CFile::modeRead, &error)) {
            *why = QCoreApplication::translate("CBankComparer", "%1 cannot be opened (%2)")
                       .arg(sound.file, error.m_strDetail);
            return false;
        }
        file.Seek(sound.offset, CFile::begin);
        return true;
    }
    std::optional<QByteArrayView> Next(qint64 at, qint64 count) {
        if (sound.inMemory) {
            return sound.memory.sliced(at, count);
        }
        buffer.resize(count);
        if (file.Read(buffer.data(), count) != count) {
            return std::nullopt;
        }
        return QByteArrayView(buffer);
    }
};

CBankComparer::Run::Same CBankComparer::Run::SameBytes(const Sound& a, const Sound& b,
                                                       QString* why) {
    if (a.length != b.length) {
        return Same::No;
    }
    if (a.inMemory && b.inMemory) {
        return a.memory == b.memory ? Same::Yes : Same::No;
    }
    Reader ra{a, {}, {}};
    Reader rb{b, {}, {}};
    try {
        if (!ra.Open(why) || !rb.Open(why)) {
            return Same::Failed;
        }
        for (qint64 at = 0; at < a.length; at += kChunk) {
            const qint64 count = std::min(kChunk, a.length - at);
            const std::optional<QByteArrayView> va = ra.Next(at, count);
            const std::optional<QByteArrayView> vb = rb.Next(at, count);
            if (!va || !vb) {
                *why = QCoreApplication::translate("CBankComparer",
                                                   "%1 became shorter while it was read")
                           .arg(!va ? a.file : b.file);
                return Same::Failed;
            }
            if (*va != *vb) {
                return Same::No;
            }
        }
    } catch (const CFileException& e) {
        *why = QCoreApplication::translate("CBankComparer", "%1 cannot be read (%2)")
                   .arg(e.m_strFileName, e.m_strDetail);
        return Same::Failed;
    }
    return Same::Yes;
}

void CBankComparer::Run::Events() {
    const std::span<const SoundEvent> a = A().Events();
    const std::span<const SoundEvent> b = B().Events();
    const size_t both = std::min(a.size(), b.size());
    for (size_t i = 0; i < both; ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(SoundEvent)) == 0) {
            continue;
        }
        const int index = static_cast<int>(i);
        const QString label = QStringLiteral("event %1").arg(index);
        for (const EventField& field : kEventFields) {
            const QVariant va = field.value(a[i]);
            const QVariant vb = field.value(b[i]);
            if (va != vb) {
                const QString name = QString::fromLatin1(field.name);
                Add(Record::Event, index, label, name, va, vb,
                    changeText(name, va, vb, field.shown));
            }
        }
    }
    for (int side = 0; side < 2; ++side) {
        const std::span<const SoundEvent> longer = side == 0 ? a : b;
        for (size_t i = both; i < longer.size(); ++i) {
            OnlyIn(Record::Event, static_cast<int>(i), QStringLiteral("event %1").arg(i), side,
                   longer[i].eventId);
        }
    }
}

void CBankComparer::Run::Names() {
    const std::span<const SoundResource> a = A().Resources();
    const std::span<const SoundResource> b = B().Resources();
    const size_t both = std::min(a.size(), b.size());
    for (size_t i = 0; i < both; ++i) {
        const ResourceName* na = A().FindResourceName(a[i].resourceId & 0xFFFF);
        const ResourceName* nb = B().FindResourceName(b[i].resourceId & 0xFFFF);
        const int index = static_cast<int>(i);
        if (na == nullptr && nb == nullptr) {
            continue;
        }
        const auto field = [&](const char* fieldName, QString ResourceName::*member) {
            // Values are made only for what differs: most names are alike.
            if (na != nullptr && nb != nullptr && na->*member == nb->*member) {
                return;
            }
            const QVariant va = na != nullptr ? QVariant(na->*member) : QVariant();
            const QVariant vb = nb != nullptr ? QVariant(nb->*member) : QVariant();
            if (va != vb) {
                const QString name = QString::fromLatin1(fieldName);
                Add(Record::Name, index, QStringLiteral("name %1").arg(index), name, va, vb,
                    changeText(name, va, vb, Shown::Decimal));
            }
        };
        field("name", &ResourceName::name);
        field("description", &ResourceName::description);
    }
}

CBankComparer::CBankComparer(Bank a, Bank b) : m_a(std::move(a)), m_b(std::move(b)) {}

CBankComparer::Result CBankComparer::Compare() const {
    return Run(m_a, m_b).Compare();
}

QString CBankComparer::RecordName(Difference::Record record) {
    switch (record) {
    case Record::Header:
        return QStringLiteral("header");
    case Record::Resource:
        return QStringLiteral("resource");
    case Record::Event:
        return QStringLiteral("event");
    case Record::Name:
        return QStringLiteral("name");
    }
    return QString();
}
