// Writes a bank for the save and extraction benchmark: COUNT banked samples
// of equal size that add up to at least MEGABYTES MiB, back to back in table
// order, each with a file name of its own, plus a names file beside it. The
// data is streamed, so making a bank of any size needs little memory.

#include "format/BnmHeader.h"
#include "format/CBnmFormat.h"
#include "format/CBnmRecordWriter.h"
#include "format/CLittleEndianWriter.h"
#include "format/SoundEvent.h"
#include "format/SoundResource.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Each bank's resource table offset, by which the games tell the banks
// apart; the events fill the room in front of it.
constexpr quint32 kResourceTableOffsets[] = {2124, 484, 1732, 620};
constexpr quint32 kEventTableOffset = 36;

bool writeAll(QFile& file, const char* bytes, qint64 size) {
    return file.write(bytes, size) == size;
}

int fail(const char* what, const QString& path) {
    std::fprintf(stderr, "kantel-bench-bank: %s %s\n", what, qPrintable(path));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    // "unnamed": no record names its wave file and there is no names file,
    // so opening chooses a name for every sample. "bank=N": the bank is bank
    // N (default 0). "spread": the events' targets go to all four banks,
    // at indexes below 10, so the other banks are looked at by a check.
    bool unnamed = false;
    bool spread = false;
    int number = 0;
    bool known = argc >= 4;
    for (int a = 4; a < argc; ++a) {
        if (std::strcmp(argv[a], "unnamed") == 0) {
            unnamed = true;
        } else if (std::strcmp(argv[a], "spread") == 0) {
            spread = true;
        } else if (std::strncmp(argv[a], "bank=", 5) == 0 && argv[a][5] >= '0' &&
                   argv[a][5] <= '3' && argv[a][6] == '\0') {
            number = argv[a][5] - '0';
        } else {
            known = false;
        }
    }
    if (!known) {
        std::fprintf(stderr, "usage: kantel-bench-bank BANK COUNT MEGABYTES [unnamed] [bank=N] "
                             "[spread]\n");
        return 2;
    }
    const quint32 resourceTableOffset = kResourceTableOffsets[number];
    const int eventCount = static_cast<int>((resourceTableOffset - kEventTableOffset) / 32);
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int count = std::atoi(argv[2]);
    const qint64 megabytes = std::atoll(argv[3]);
    if (count < 1 || count > 65535 || megabytes < 1 || megabytes > 3000) {
        std::fprintf(stderr, "kantel-bench-bank: COUNT 1 to 65535, MEGABYTES 1 to 3000\n");
        return 2;
    }
    // Even lengths, as 16-bit samples have.
    const qint64 total = megabytes << 20;
    const qint64 each = ((total + count - 1) / count + 1) & ~qint64{1};

    std::vector<SoundResource> resources(static_cast<size_t>(count));
    std::memset(resources.data(), 0, resources.size() * sizeof(SoundResource));
    QByteArray names("[body res]\r\n");
    for (int i = 0; i < count; ++i) {
        SoundResource& r = resources[static_cast<size_t>(i)];
        r.resourceId = i + 1;
        r.type = SoundResource::kTypeSample;
        r.storage = SoundResource::kStorageBank;
        // Lengths differ a little, so a sort by length has work to do.
        r.length = static_cast<qint32>(each - 2 * ((i * 7919) % 64));
        r.volume = 100;
        r.samplesPerSec = 22050;
        r.bitsPerSample = 16;
        r.channels = 1;
        r.waveFormat = SoundResource::kWaveFormatPcm;
        if (!unnamed) {
            CBnmFormat::SetFileName(r, QString::asprintf("S%04d.wav", i));
        }
        names += QByteArray::number(i + 1) + " \"" + QString::asprintf("Res%05d", i).toLatin1() +
                 "\" \"Benchmark sample\"\r\n";
    }
    CBnmFormat::RecomputeSampleOffsets(resources.data(), count);

    std::vector<SoundEvent> events(eventCount);
    for (int i = 0; i < eventCount; ++i) {
        events[static_cast<size_t>(i)] = SoundEvent{};
        events[static_cast<size_t>(i)].eventId = i;
        events[static_cast<size_t>(i)].type = SoundEvent::kTypePlay;
        events[static_cast<size_t>(i)].param1 =
            spread ? CBnmFormat::MakeTarget(i % 4, i % std::min(count, 10))
                   : CBnmFormat::MakeTarget(number, i % count);
    }

    const quint32 sampleDataOffset =
        resourceTableOffset + static_cast<quint32>(count) * sizeof(SoundResource);
    BnmHeader header{};
    header.eventTableOffset = kEventTableOffset;
    header.eventCount = eventCount;
    header.resourceTableOffset = resourceTableOffset;
    header.resourceCount = count;
    header.sampleDataOffset = sampleDataOffset;
    qint64 dataLength = 0;
    for (const SoundResource& r : resources) {
        dataLength += r.length;
    }
    header.fileLength = static_cast<quint32>(sampleDataOffset + dataLength);

    QByteArray region(static_cast<qsizetype>(sampleDataOffset), '\0');
    CLittleEndianWriter out(region, 0);
    CBnmRecordWriter::WriteRegion(out, header, events, resources);

    QFile bank(path);
    if (!bank.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !writeAll(bank, region.constData(), region.size())) {
        return fail("cannot write", path);
    }
    QByteArray chunk(static_cast<qsizetype>(each), '\0');
    quint64 state = 0x9E3779B97F4A7C15ULL;
    for (int i = 0; i < count; ++i) {
        // Different bytes in every sample, so a mix-up shows in a comparison.
        CLittleEndianWriter words(chunk, 0);
        for (qsizetype w = 0; w < chunk.size() / 8; ++w) {
            state ^= state << 13U;
            state ^= state >> 7U;
            state ^= state << 17U;
            words.U64(state);
        }
        if (!writeAll(bank, chunk.constData(), resources[static_cast<size_t>(i)].length)) {
            return fail("cannot write", path);
        }
    }
    if (!bank.flush()) {
        return fail("cannot write", path);
    }
    bank.close();

    QFile namesFile(path.left(path.size() - 3) + QStringLiteral("bns"));
    if (!unnamed && (!namesFile.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                     !writeAll(namesFile, names.constData(), names.size()))) {
        return fail("cannot write", namesFile.fileName());
    }
    std::printf("%s: %d samples of %lld bytes, %lld bytes in all\n", qPrintable(path), count,
                static_cast<long long>(each),
                static_cast<long long>(sampleDataOffset + each * count));
    return 0;
}
