#include "CWavePeaks.h"

#include "CPcmSamples.h"
#include "CWaveReader.h"

#include "framework/core/CFile.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <bit>
#include <limits>

namespace {

// A sound of at least this many frames gets the largest finest bucket; a
// shorter one smaller buckets, down to single frames.
constexpr qint64 kDetailBuckets = 4096;
// Each coarser level merges this many buckets of the one below ...
constexpr qint64 kLevelFactor = 4;
// ... until a level has no more buckets than this.
constexpr qint64 kCoarsestBuckets = 256;
// Frames read at a time: a multiple of every bucket size, and large enough
// that the device's overhead per read does not count.
constexpr qint64 kBlockFrames = 16384;

constexpr CWavePeaks::Range kEmptyRange{std::numeric_limits<qint16>::max(),
                                        std::numeric_limits<qint16>::min()};

// Gathers frames into buckets of the finest level.
class Buckets {
public:
    Buckets(int channels, qint64 framesPerBucket, std::vector<CWavePeaks::Range>& out)
        : m_channels(channels), m_perBucket(framesPerBucket),
          m_current(static_cast<size_t>(channels), kEmptyRange), m_out(out) {}

    template <int Bytes> void Add(const uchar* data, qint64 frames) {
        const qint64 frameBytes = qint64{m_channels} * Bytes;
        qint64 done = 0;
        while (done < frames) {
            const qint64 run = std::min(frames - done, m_perBucket - m_inBucket);
            for (int channel = 0; channel < m_channels; ++channel) {
                CWavePeaks::Range& range = m_current[static_cast<size_t>(channel)];
                qint16 low = range.min;
                qint16 high = range.max;
                const uchar* p = data + done * frameBytes + qint64{channel} * Bytes;
                for (qint64 i = 0; i < run; ++i, p += frameBytes) {
                    const qint16 sample = CPcmSamples::To16<Bytes>(p);
                    low = std::min(low, sample);
                    high = std::max(high, sample);
                }
                range = {low, high};
            }
            done += run;
            m_inBucket += run;
            if (m_inBucket == m_perBucket) {
                Flush();
            }
        }
    }

    // 16-bit frames, the common case, read in place as the host's own
    // integers (the host is little-endian, as the file), so that the
    // compiler can take many samples at a time.
    void Add16(const qint16* samples, qint64 frames) {
        qint64 done = 0;
        while (done < frames) {
            const qint64 run = std::min(frames - done, m_perBucket - m_inBucket);
            const qint16* p = samples + done * m_channels;
            if (m_channels == 1) {
                Gather1(p, run);
            } else if (m_channels == 2) {
                Gather2(p, run);
            } else {
                for (int channel = 0; channel < m_channels; ++channel) {
                    CWavePeaks::Range& range = m_current[static_cast<size_t>(channel)];
                    for (qint64 i = 0; i < run; ++i) {
                        const qint16 sample = p[i * m_channels + channel];
                        range.min = std::min(range.min, sample);
                        range.max = std::max(range.max, sample);
                    }
                }
            }
            done += run;
            m_inBucket += run;
            if (m_inBucket == m_perBucket) {
                Flush();
            }
        }
    }

    // Ends the bucket under way, if it holds any frames.
    void Flush() {
        if (m_inBucket == 0) {
            return;
        }
        m_out.insert(m_out.end(), m_current.begin(), m_current.end());
        std::fill(m_current.begin(), m_current.end(), kEmptyRange);
        m_inBucket = 0;
    }

private:
    void Gather1(const qint16* p, qint64 run) {
        qint16 low = m_current[0].min;
        qint16 high = m_current[0].max;
        for (qint64 i = 0; i < run; ++i) {
            low = std::min(low, p[i]);
            high = std::max(high, p[i]);
        }
        m_current[0] = {low, high};
    }

    void Gather2(const qint16* p, qint64 run) {
        qint16 lowLeft = m_current[0].min;
        qint16 highLeft = m_current[0].max;
        qint16 lowRight = m_current[1].min;
        qint16 highRight = m_current[1].max;
        for (qint64 i = 0; i < run; ++i) {
            lowLeft = std::min(lowLeft, p[2 * i]);
            highLeft = std::max(highLeft, p[2 * i]);
            lowRight = std::min(lowRight, p[2 * i + 1]);
            highRight = std::max(highRight, p[2 * i + 1]);
        }
        m_current[0] = {lowLeft, highLeft};
        m_current[1] = {lowRight, highRight};
    }

    int m_channels;
    qint64 m_perBucket;
    qint64 m_inBucket = 0;
    std::vector<CWavePeaks::Range> m_current;
    std::vector<CWavePeaks::Range>& m_out;
};

void AddFrames(Buckets& buckets, int sampleBytes, const qint16* block, qint64 frames) {
    const auto* data = reinterpret_cast<const uchar*>(block);
    switch (sampleBytes) {
    case 1:
        buckets.Add<1>(data, frames);
        break;
    case 2:
        buckets.Add16(block, frames);
        break;
    case 3:
        buckets.Add<3>(data, frames);
        break;
    default:
        buckets.Add<4>(data, frames);
        break;
    }
}

} // namespace

CWavePeaks CWavePeaks::Failed(Problem problem) {
    CWavePeaks peaks;
    peaks.m_problem = problem;
    return peaks;
}

CWavePeaks CWavePeaks::Read(const QString& path, const CancelCheck& canceled) {
    // A FIFO would block the open until someone writes to it.
    if (!CFile::IsRegularFile(path)) {
        return Failed(Problem::Unreadable);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Failed(Problem::Unreadable);
    }
    return Read(file, canceled);
}

CWavePeaks CWavePeaks::Read(QIODevice& device, const CancelCheck& canceled) {
    if (canceled && canceled()) {
        return Failed(Problem::Canceled);
    }
    const CWaveReader::Info info = CWaveReader::Read(device, CWaveReader::Stop::AtData);
    if (!info.riff || !info.wave) {
        return Failed(Problem::NotWave);
    }
    if (!info.hasFormat) {
        return Failed(Problem::NoFormat);
    }
    CWavePeaks peaks;
    const CWaveReader::Format& format = info.format;
    peaks.m_nChannels = format.channels;
    peaks.m_nBits = format.bitsPerSample;
    peaks.m_nRate = format.samplesPerSec;
    if (!format.pcm || format.channels == 0 || format.channels > kMaxChannels ||
        format.bitsPerSample == 0 || format.bitsPerSample > 32) {
        peaks.m_problem = Problem::Unsupported;
        return peaks;
    }
    if (!info.hasData) {
        peaks.m_problem = Problem::NoData;
        return peaks;
    }
    // The frame size follows from the channels and the sample width, whatever
    // the chunk's block alignment says.
    peaks.m_nFrameBytes = format.channels * ((format.bitsPerSample + 7) / 8);
    peaks.m_bTruncated = info.dataClaimed > info.dataHeld;
    if (!peaks.Summarise(device, info.dataOffset, info.dataHeld, canceled)) {
        return Failed(peaks.m_problem);
    }
    return peaks;
}

bool CWavePeaks::Summarise(QIODevice& device, qint64 dataOffset, qint64 dataHeld,
                           const CancelCheck& canceled) {
    const int sampleBytes = m_nFrameBytes / m_nChannels;
    const qint64 frameBytes = m_nFrameBytes;
    const qint64 frames = dataHeld / frameBytes;
    Level finest;
    finest.framesPerBucket =
        std::clamp<qint64>(static_cast<qint64>(std::bit_floor(
                               static_cast<quint64>(std::max<qint64>(frames / kDetailBuckets, 1)))),
                           1, kMaxFinestBucket);
    finest.ranges.reserve(static_cast<size_t>((frames + finest.framesPerBucket - 1) /
                                              finest.framesPerBucket * m_nChannels));
    Buckets buckets(m_nChannels, finest.framesPerBucket, finest.ranges);
    if (frames > 0 && !device.seek(dataOffset)) {
        m_problem = Problem::Unreadable;
        return false;
    }
    // Held as 16-bit integers, so that 16-bit samples are read in place;
    // other widths are taken byte by byte.
    std::vector<qint16> block(
        static_cast<size_t>((std::min(frames, kBlockFrames) * frameBytes + 1) / 2));
    qint64 summarised = 0;
    while (summarised < frames) {
        if (canceled && canceled()) {
            m_problem = Problem::Canceled;
            return false;
        }
        const qint64 wanted = std::min(frames - summarised, kBlockFrames) * frameBytes;
        const qint64 got = device.read(reinterpret_cast<char*>(block.data()), wanted);
        if (got < 0) {
            m_problem = Problem::Unreadable;
            return false;
        }
        // The file may have shrunk since its chunks were walked: what it
        // still holds is drawn, and the picture says it is cut short.
        const qint64 gotFrames = got / frameBytes;
        AddFrames(buckets, sampleBytes, block.data(), gotFrames);
        summarised += gotFrames;
        if (got < wanted) {
            m_bTruncated = true;
            break;
        }
    }
    buckets.Flush();
    m_nFrames = summarised;
    m_levels.push_back(std::move(finest));
    BuildCoarserLevels();
    return true;
}

void CWavePeaks::BuildCoarserLevels() {
    const size_t channels = static_cast<size_t>(m_nChannels);
    while (m_levels.back().ranges.size() / channels > static_cast<size_t>(kCoarsestBuckets)) {
        const Level& fine = m_levels.back();
        const size_t fineBuckets = fine.ranges.size() / channels;
        const size_t factor = static_cast<size_t>(kLevelFactor);
        Level coarse;
        coarse.framesPerBucket = fine.framesPerBucket * kLevelFactor;
        coarse.ranges.resize((fineBuckets + factor - 1) / factor * channels, kEmptyRange);
        for (size_t bucket = 0; bucket < fineBuckets; ++bucket) {
            for (size_t channel = 0; channel < channels; ++channel) {
                const Range& from = fine.ranges[bucket * channels + channel];
                Range& to = coarse.ranges[bucket / factor * channels + channel];
                to.min = std::min(to.min, from.min);
                to.max = std::max(to.max, from.max);
            }
        }
        m_levels.push_back(std::move(coarse));
    }
}

int CWavePeaks::FramesPerBucket() const {
    return m_levels.empty() ? 0 : static_cast<int>(m_levels.front().framesPerBucket);
}

CWavePeaks::Range CWavePeaks::Peak(int channel, qint64 first, qint64 end) const {
    first = std::max<qint64>(first, 0);
    end = std::min(end, m_nFrames);
    if (channel < 0 || channel >= m_nChannels || m_levels.empty() || first >= end) {
        return {};
    }
    const size_t channels = static_cast<size_t>(m_nChannels);
    const size_t factor = static_cast<size_t>(kLevelFactor);
    Range range = kEmptyRange;
    const auto take = [&](const Level& level, size_t bucket) {
        const Range& from = level.ranges[bucket * channels + static_cast<size_t>(channel)];
        range.min = std::min(range.min, from.min);
        range.max = std::max(range.max, from.max);
    };
    // The finest buckets that cover the span; end never passes the frames
    // summarised, so neither does the last of them.
    const qint64 perBucket = m_levels.front().framesPerBucket;
    size_t low = static_cast<size_t>(first / perBucket);
    size_t high = static_cast<size_t>((end - 1) / perBucket + 1);
    // Climbs the levels: the buckets at either end that do not make up a
    // whole bucket of the next level are taken here, the rest from above.
    // So a long span costs a few buckets per level, and its range is exact
    // to the finest bucket.
    for (size_t at = 0; low < high; ++at) {
        const Level& level = m_levels[at];
        if (at + 1 == m_levels.size()) {
            for (size_t bucket = low; bucket < high; ++bucket) {
                take(level, bucket);
            }
            break;
        }
        while (low < high && low % factor != 0) {
            take(level, low++);
        }
        while (low < high && high % factor != 0) {
            take(level, --high);
        }
        low /= factor;
        high /= factor;
    }
    return range;
}
