#include "CRecordsJson.h"

#include "CJsonText.h"

#include "format/CBankRecords.h"
#include "format/CBnmFormat.h"

namespace {

using Fields = CJsonText::Fields;

QString number(qint64 value) {
    return CJsonText::Number(value);
}

QString text(const QString& value) {
    return CJsonText::Quote(value);
}

QString null() {
    return CJsonText::Null();
}

bool hasTarget(const SoundEvent& event) {
    return event.type == SoundEvent::kTypePlay || event.type == SoundEvent::kTypeStop ||
           event.HasFractions();
}

} // namespace

QString CRecordsJson::Header(const CBankRecords& records) {
    const BnmHeader* h = records.Header();
    if (h == nullptr) {
        return QStringLiteral("[]");
    }
    const int bank = records.GetBank();
    return CJsonText::ValueArray({{
        {QStringLiteral("word0"), number(h->word0)},
        {QStringLiteral("eventTableOffset"), number(h->eventTableOffset)},
        {QStringLiteral("eventCount"), number(h->eventCount)},
        {QStringLiteral("resourceTableOffset"), number(h->resourceTableOffset)},
        {QStringLiteral("resourceCount"), number(h->resourceCount)},
        {QStringLiteral("sampleDataOffset"), number(h->sampleDataOffset)},
        {QStringLiteral("word6"), number(h->word6)},
        {QStringLiteral("word7"), number(h->word7)},
        {QStringLiteral("fileLength"), number(h->fileLength)},
        // What the bank holds of its tables, which may be less than the
        // header claims.
        {QStringLiteral("events"), number(static_cast<qint64>(records.Events().size()))},
        {QStringLiteral("resources"), number(static_cast<qint64>(records.Resources().size()))},
        {QStringLiteral("bank"), bank >= 0 ? number(bank) : null()},
    }});
}

QString CRecordsJson::Resources(const CBankRecords& records) {
    QList<Fields> rows;
    const std::span<const SoundResource> resources = records.Resources();
    rows.reserve(static_cast<qsizetype>(resources.size()));
    for (size_t i = 0; i < resources.size(); ++i) {
        const SoundResource& r = resources[i];
        const ResourceName* name = records.FindResourceName(r.resourceId & 0xFFFF);
        // A CD track has no sample data and no format; the fields that hold
        // them for a sample mean nothing for it.
        const bool cd = r.IsCdAudio();
        const auto sample = [cd](qint64 value) { return cd ? null() : number(value); };
        QStringList flags;
        for (const qint32 flag : r.flags) {
            flags.append(number(flag));
        }
        rows.append({
            {QStringLiteral("index"), number(static_cast<qint64>(i))},
            {QStringLiteral("name"), name != nullptr ? text(name->name) : null()},
            {QStringLiteral("description"), name != nullptr ? text(name->description) : null()},
            {QStringLiteral("resourceId"), number(r.resourceId)},
            {QStringLiteral("type"), number(r.type)},
            // The word is there for a CD track too, and the list shows it.
            {QStringLiteral("storage"), number(r.storage)},
            {QStringLiteral("length"), sample(r.length)},
            {QStringLiteral("offset"), sample(r.offset)},
            {QStringLiteral("volume"), number(r.volume)},
            {QStringLiteral("flags"),
             QLatin1Char('[') + flags.join(QStringLiteral(", ")) + QLatin1Char(']')},
            {QStringLiteral("cdTrack"), cd ? number(r.cdTrack) : null()},
            {QStringLiteral("looped"), number(r.looped)},
            {QStringLiteral("loopStart"), sample(r.loopStart)},
            {QStringLiteral("loopLength"), sample(r.loopLength)},
            {QStringLiteral("samplesPerSec"), sample(r.samplesPerSec)},
            {QStringLiteral("bitsPerSample"), sample(r.bitsPerSample)},
            {QStringLiteral("channels"), sample(r.channels)},
            {QStringLiteral("waveFormat"), sample(r.waveFormat)},
            {QStringLiteral("fileName"), cd ? null() : text(CBnmFormat::FileNameText(r))},
        });
    }
    return CJsonText::ValueArray(rows);
}

QString CRecordsJson::Events(const CBankRecords& records) {
    QList<Fields> rows;
    const std::span<const SoundEvent> events = records.Events();
    rows.reserve(static_cast<qsizetype>(events.size()));
    for (size_t i = 0; i < events.size(); ++i) {
        const SoundEvent& e = events[i];
        const bool fractions = e.HasFractions();
        rows.append({
            {QStringLiteral("index"), number(static_cast<qint64>(i))},
            {QStringLiteral("eventId"), number(e.eventId)},
            {QStringLiteral("type"), number(e.type)},
            {QStringLiteral("param1"), number(e.param1)},
            {QStringLiteral("target"),
             hasTarget(e)
                 ? CJsonText::Inline({
                       {QStringLiteral("bank"), number(CBnmFormat::TargetBank(e.param1))},
                       {QStringLiteral("index"), number(CBnmFormat::TargetIndex(e.param1))},
                   })
                 : null()},
            {QStringLiteral("param2"), fractions ? number(e.param2) : null()},
            {QStringLiteral("param3"), fractions ? number(e.param3) : null()},
            {QStringLiteral("stopable"), number(e.stopable)},
            {QStringLiteral("dynamic"), number(e.dynamic)},
        });
    }
    return CJsonText::ValueArray(rows);
}

QString CRecordsJson::Findings(const std::vector<CBankChecker::Finding>& findings) {
    QList<Fields> rows;
    rows.reserve(static_cast<qsizetype>(findings.size()));
    for (const CBankChecker::Finding& f : findings) {
        const bool bank = f.record == CBankChecker::Finding::Record::Bank;
        rows.append({
            {QStringLiteral("kind"), text(CBankChecker::KindName(f.kind))},
            {QStringLiteral("record"), text(CBankChecker::RecordName(f.record))},
            {QStringLiteral("index"), bank ? null() : number(f.index)},
            {QStringLiteral("id"), bank ? null() : number(f.id)},
            {QStringLiteral("file"), f.file.isEmpty() ? null() : text(f.file)},
            {QStringLiteral("message"), text(f.text)},
        });
    }
    return CJsonText::ValueArray(rows);
}
