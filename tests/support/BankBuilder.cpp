#include "BankBuilder.h"

#include "format/CBnmFormat.h"
#include "format/CBnmRecordWriter.h"
#include "format/CLittleEndianWriter.h"
#include "format/CWaveFile.h"

#include <QtEndian>

#include <cstring>

SoundResource& BankBuilder::AddSample(qint32 id, const QString& fileName, const QByteArray& bytes,
                                      bool banked, qint32 rate, quint16 bits, quint16 channels) {
    SoundResource& r = AddResource(id, SoundResource::kTypeSample);
    r.storage = banked ? SoundResource::kStorageBank : SoundResource::kStorageExternal;
    r.length = static_cast<qint32>(bytes.size());
    r.volume = 100;
    r.samplesPerSec = rate;
    r.bitsPerSample = bits;
    r.channels = channels;
    r.waveFormat = SoundResource::kWaveFormatPcm;
    CBnmFormat::SetFileName(r, fileName);
    data.back() = bytes;
    return r;
}

SoundResource& BankBuilder::AddCdTrack(qint32 id, quint16 track, qint32 secondFlags) {
    SoundResource& r = AddResource(id, SoundResource::kTypeCdAudio);
    r.cdTrack = track;
    r.flags[1] = secondFlags;
    return r;
}

SoundResource& BankBuilder::AddResource(qint32 id, qint32 type) {
    SoundResource r;
    std::memset(&r, 0, sizeof r);
    r.resourceId = id;
    r.type = type;
    resources.push_back(r);
    data.emplace_back();
    return resources.back();
}

SoundEvent& BankBuilder::AddEvent(qint32 id, qint32 type, quint32 param1, quint32 param2,
                                  quint32 param3) {
    SoundEvent e{};
    e.eventId = id;
    e.type = type;
    e.param1 = param1;
    e.param2 = param2;
    e.param3 = param3;
    events.push_back(e);
    return events.back();
}

QByteArray BankBuilder::Build() const {
    static const quint32 kBankOffsets[] = {1636, 484, 1732, 580};
    const quint32 eventOffset = 36;
    quint32 resourceOffset = eventOffset + static_cast<quint32>(events.size() * 32);
    if (bank) {
        resourceOffset = kBankOffsets[*bank];
    }
    const quint32 sampleOffset = resourceOffset + static_cast<quint32>(resources.size() * 92) +
                                 static_cast<quint32>(gapAfterTables);
    QByteArray bytes(static_cast<qsizetype>(sampleOffset), '\0');

    std::vector<SoundResource> table = resources;
    QByteArray sampleArea;
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].IsBankedSample()) {
            sampleArea += data[i];
        }
    }
    CBnmFormat::RecomputeSampleOffsets(table.data(), static_cast<int>(table.size()));

    BnmHeader h = header;
    h.eventTableOffset = eventOffset;
    h.eventCount = static_cast<qint32>(events.size());
    h.resourceTableOffset = resourceOffset;
    h.resourceCount = static_cast<qint32>(resources.size());
    h.sampleDataOffset = sampleOffset;
    h.fileLength = sampleOffset + static_cast<quint32>(sampleArea.size());
    CLittleEndianWriter out(bytes, 0);
    CBnmRecordWriter::Write(out, h);
    out.Seek(eventOffset);
    for (const SoundEvent& e : events) {
        CBnmRecordWriter::Write(out, e);
    }
    out.Seek(resourceOffset);
    for (const SoundResource& r : table) {
        CBnmRecordWriter::Write(out, r);
    }
    return bytes + sampleArea;
}

QByteArray BankBuilder::Pattern(int size, int seed) {
    QByteArray bytes(size, '\0');
    quint32 state = 2166136261U ^ static_cast<quint32>(seed);
    for (int i = 0; i < size; ++i) {
        state = state * 16777619U + 12345U;
        bytes[i] = static_cast<char>(state >> 24U);
    }
    return bytes;
}

void BankBuilder::Put32(QByteArray& bytes, qsizetype offset, quint32 value) {
    CLittleEndianWriter::Put32(bytes, offset, value);
}

void BankBuilder::Put16(QByteArray& bytes, qsizetype offset, quint16 value) {
    CLittleEndianWriter::Put16(bytes, offset, value);
}

quint32 BankBuilder::Get32(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

QByteArray BankBuilder::Wave(const QByteArray& data, quint16 channels, quint32 rate, quint16 bits) {
    return CWaveFile::MakeHeader(channels, rate, bits, static_cast<quint32>(data.size())) + data;
}
