#include "CDemoBank.h"

#include "format/BnmHeader.h"
#include "format/CBnmFormat.h"
#include "format/CBnmRecordWriter.h"
#include "format/CLittleEndianWriter.h"
#include "format/CWaveFile.h"
#include "format/SoundEvent.h"
#include "format/SoundResource.h"
#include "framework/core/CFileBatch.h"

#include <QDir>

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

enum class Shape { Sine, Square, Saw, Noise, Chirp, Pluck };

// A dozen rows, their fields in the order the table reads rather than the
// one that packs them best.
// NOLINTNEXTLINE(clang-analyzer-optin.performance.Padding)
struct DemoSample {
    int id;
    const char* name;
    const char* description;
    const char* fileName; // empty: the names file gives it when the bank is opened
    bool banked;
    int rate;
    int channels;
    int bits;
    double seconds;
    double frequency;
    Shape shape;
    bool looped;
    int volume;
};

struct DemoCdTrack {
    int id;
    const char* name;
    const char* description;
    int track;
};

const DemoSample kSamples[] = {
    {1, "EngineIdle", "Engine idling, low rumble", "engidle.wav", true, 22050, 1, 16, 0.40, 55.0,
     Shape::Saw, true, 110},
    {2, "EngineHigh", "Engine at high revs", "enghigh.wav", true, 44100, 2, 16, 0.30, 220.0,
     Shape::Saw, true, 120},
    {3, "Horn", "Car horn", "", true, 22050, 1, 8, 0.35, 440.0, Shape::Square, false, 100},
    {4, "Skid", "Tyres skidding on tarmac", "skid.wav", true, 11025, 1, 8, 0.30, 0.0, Shape::Noise,
     true, 90},
    {5, "Crash", "Collision with a barrier", "crash.wav", false, 22050, 2, 16, 0.35, 0.0,
     Shape::Noise, false, 127},
    {6, "Gear", "Gear change click", "gear.wav", true, 8000, 1, 8, 0.10, 900.0, Shape::Pluck, false,
     80},
    {7, "Beep", "Countdown beep", "beep.wav", false, 11025, 1, 16, 0.20, 880.0, Shape::Sine, false,
     100},
    {8, "Go", "Start signal", "go.wav", true, 22050, 1, 16, 0.30, 1320.0, Shape::Sine, false, 110},
    {9, "Turbo", "Turbo whistle rising", "turbo.wav", false, 44100, 1, 16, 0.30, 600.0,
     Shape::Chirp, false, 70},
    {10, "Wind", "Wind at speed", "wind.wav", true, 22050, 2, 8, 0.40, 0.0, Shape::Noise, true, 60},
    {11, "Menu", "Menu select blip", "menu.wav", false, 8000, 1, 8, 0.08, 1000.0, Shape::Square,
     false, 90},
    {12, "Siren", "Police siren sweep", "siren.wav", true, 11025, 1, 16, 0.40, 700.0, Shape::Chirp,
     true, 100},
};

const DemoCdTrack kCdTracks[] = {
    {20, "RaceMusic", "Race music, CD track 2", 2},
    {21, "MenuMusic", "Menu music, CD track 5", 5},
};

constexpr int kSampleCount = static_cast<int>(std::size(kSamples));
constexpr int kResourceCount = kSampleCount + static_cast<int>(std::size(kCdTracks));
constexpr int kEventCount = 14;
// Bank 1: its resource table starts at 484, right after fourteen events.
constexpr quint32 kEventTableOffset = 36;
constexpr quint32 kResourceTableOffset = 484;
static_assert(kEventTableOffset + kEventCount * 32 == kResourceTableOffset);
constexpr quint32 kSampleDataOffset = kResourceTableOffset + kResourceCount * 92;

QByteArray synthesize(const DemoSample& s) {
    const int frames = static_cast<int>(s.rate * s.seconds);
    const int bytesPerSample = s.bits / 8;
    QByteArray data(qsizetype{frames} * s.channels * bytesPerSample, '\0');
    quint32 noise = 0x12345678U + static_cast<quint32>(s.id);
    double phase = 0.0;
    for (int f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / s.rate;
        const double fade = std::min(1.0, std::min(t, s.seconds - t) * 40.0);
        double frequency = s.frequency;
        if (s.shape == Shape::Chirp) {
            frequency = s.frequency * (1.0 + t / s.seconds);
        }
        phase += frequency / s.rate;
        phase -= std::floor(phase);
        double v = 0.0;
        switch (s.shape) {
        case Shape::Sine:
        case Shape::Chirp:
            v = std::sin(2.0 * std::numbers::pi * phase);
            break;
        case Shape::Square:
            v = phase < 0.5 ? 0.6 : -0.6;
            break;
        case Shape::Saw:
            v = 2.0 * phase - 1.0;
            break;
        case Shape::Noise:
            noise = noise * 1664525U + 1013904223U;
            v = static_cast<double>(noise >> 8U) / 8388608.0 - 1.0;
            break;
        case Shape::Pluck:
            v = std::sin(2.0 * std::numbers::pi * phase) * std::exp(-t * 40.0);
            break;
        }
        v *= 0.5 * fade;
        for (int c = 0; c < s.channels; ++c) {
            const double channelValue = c == 0 ? v : v * 0.8;
            CLittleEndianWriter at(data,
                                   (static_cast<qsizetype>(f) * s.channels + c) * bytesPerSample);
            if (bytesPerSample == 1) {
                at.U8(static_cast<quint8>(128 + std::lround(channelValue * 127)));
            } else {
                at.U16(
                    static_cast<quint16>(static_cast<qint16>(std::lround(channelValue * 32767))));
            }
        }
    }
    return data;
}

// What the demo writes, file name by file name, before any of it is written.
struct DemoFiles {
    std::vector<std::pair<QString, QByteArray>> files;
};

SoundResource sampleRecord(const DemoSample& s, qint32 length) {
    SoundResource r{};
    r.resourceId = s.id;
    r.type = SoundResource::kTypeSample;
    r.storage = s.banked ? SoundResource::kStorageBank : SoundResource::kStorageExternal;
    r.length = length;
    r.volume = static_cast<quint8>(s.volume);
    r.flags[0] = s.id % 3;
    r.flags[2] = 1;
    r.looped = s.looped ? 1 : 0;
    r.loopStart = s.looped ? r.length / 4 : 0;
    r.loopLength = s.looped ? r.length / 2 : 0;
    r.samplesPerSec = s.rate;
    r.bitsPerSample = static_cast<quint16>(s.bits);
    r.channels = static_cast<quint16>(s.channels);
    r.waveFormat = SoundResource::kWaveFormatPcm;
    CBnmFormat::SetFileName(r, QString::fromLatin1(s.fileName));
    return r;
}

SoundResource cdTrackRecord(const DemoCdTrack& cd) {
    SoundResource r{};
    r.resourceId = cd.id;
    r.type = SoundResource::kTypeCdAudio;
    r.offset = 0;
    r.volume = 100;
    r.cdTrack = static_cast<quint16>(cd.track);
    r.flags[1] = 1;
    r.looped = 1;
    return r;
}

SoundEvent makeEvent(qint32 id, qint32 type, quint32 param1, quint32 param2, quint32 param3,
                     bool stopable, bool dynamic) {
    SoundEvent e{};
    e.eventId = id;
    e.type = type;
    e.param1 = param1;
    e.param2 = param2;
    e.param3 = param3;
    e.stopable = stopable ? 1 : 0;
    e.dynamic = dynamic ? 1 : 0;
    return e;
}

std::array<SoundEvent, kEventCount> demoEvents() {
    const auto target = CBnmFormat::MakeTarget;
    // Events 108 to 110 point at banks the demo does not write and past the
    // end of this bank's table, so the event list shows every form of target
    // label; they are what `kantel-cli check` finds in the demo.
    return {
        makeEvent(100, SoundEvent::kTypePlay, target(1, 0), 0, 0, true, false),
        makeEvent(101, SoundEvent::kTypePlay, target(1, 1), 0, 0, true, true),
        makeEvent(102, SoundEvent::kTypePlay, target(1, 2), 0, 0, false, false),
        makeEvent(103, SoundEvent::kTypeStop, target(1, 0), 0, 0, false, false),
        makeEvent(104, SoundEvent::kTypePitch, target(1, 1), 98304, 65536, true, true),
        makeEvent(105, SoundEvent::kTypeVolume, target(1, 9), 32768, 65536, false, true),
        makeEvent(106, SoundEvent::kTypeEffect, 7, 0, 0, false, false),
        makeEvent(107, SoundEvent::kTypeEffect, 0xFFFFFFFEU, 0, 0, false, false),
        makeEvent(108, SoundEvent::kTypePlay, target(0, 3), 0, 0, true, false),
        makeEvent(109, SoundEvent::kTypeStop, target(2, 5), 0, 0, false, false),
        makeEvent(110, SoundEvent::kTypePlay, target(1, 40), 0, 0, false, false),
        makeEvent(111, SoundEvent::kTypePlay, target(1, 12), 0, 0, true, false),
        makeEvent(112, 4, 12345, 1, 2, true, true),
        makeEvent(113, 12, 0, 0, 0, false, false),
    };
}

QByteArray bankFile(const std::vector<SoundResource>& resources, const QByteArray& sampleData) {
    const std::array<SoundEvent, kEventCount> events = demoEvents();
    QByteArray bank(static_cast<qsizetype>(kSampleDataOffset), '\0');
    BnmHeader header{};
    header.word0 = 0x4D4E4221U;
    header.eventTableOffset = kEventTableOffset;
    header.eventCount = kEventCount;
    header.resourceTableOffset = kResourceTableOffset;
    header.resourceCount = kResourceCount;
    header.sampleDataOffset = kSampleDataOffset;
    header.fileLength = kSampleDataOffset + static_cast<quint32>(sampleData.size());
    CLittleEndianWriter out(bank, 0);
    CBnmRecordWriter::WriteRegion(out, header, events, resources);
    return bank + sampleData;
}

void appendName(QByteArray& names, int id, const char* name, const char* description) {
    names += QByteArray::number(id) + " \"" + name + "\" \"" + description + "\"\r\n";
}

DemoFiles demoFiles() {
    DemoFiles demo;
    std::vector<SoundResource> resources;
    resources.reserve(kResourceCount);
    QByteArray sampleData;
    QByteArray names("; Names of the sounds in Bnk_1.bnm\r\n[head]\r\nbank 1\r\n[body res]\r\n");
    for (const DemoSample& s : kSamples) {
        const QByteArray data = synthesize(s);
        const SoundResource& r =
            resources.emplace_back(sampleRecord(s, static_cast<qint32>(data.size())));
        if (s.banked) {
            sampleData += data;
        } else {
            demo.files.emplace_back(
                QString::fromLatin1(s.fileName),
                CWaveFile::MakeHeader(r.channels, static_cast<quint32>(r.samplesPerSec),
                                      r.bitsPerSample, static_cast<quint32>(data.size())) +
                    data);
        }
        appendName(names, s.id, s.name, s.description);
    }
    for (const DemoCdTrack& cd : kCdTracks) {
        resources.push_back(cdTrackRecord(cd));
        appendName(names, cd.id, cd.name, cd.description);
    }
    CBnmFormat::RecomputeSampleOffsets(resources.data(), kResourceCount);
    demo.files.emplace_back(QStringLiteral("Bnk_1.bnm"), bankFile(resources, sampleData));
    demo.files.emplace_back(QStringLiteral("Bnk_1.bns"), names);
    return demo;
}

} // namespace

QString CDemoBank::Write(const QString& folder) {
    // "demo DIR" is how a first try starts, so a folder that is not there yet
    // is made rather than refused.
    if (!QDir(folder).exists() && !QDir().mkpath(folder)) {
        return QStringLiteral("Cannot create the folder %1.").arg(folder);
    }
    // One batch, as a save writes: on a full disk or a failed write nothing
    // of the demo is left half-written, and the message names the file and
    // the cause. A demo written again takes the place of the last one.
    const DemoFiles demo = demoFiles();
    try {
        CFileBatch batch(QDir(folder).absolutePath());
        for (const auto& [name, bytes] : demo.files) {
            batch.Add(name, {QByteArrayView(bytes)}, CFileBatch::Replace::Allowed);
        }
        CFileException error;
        if (!batch.Commit(error).empty()) {
            throw error;
        }
    } catch (const CFileException& e) {
        return e.GetErrorMessage().replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    return QString();
}
