#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

class QIODevice;

// A summary of a wave file's sample data for drawing it: per channel, the
// lowest and highest sample of every bucket of frames, at a fine bucket size
// and at coarser levels built from it, so that any width is drawn from a few
// buckets per column however long the sound is. Samples of every depth are
// scaled to 16 bits (8-bit samples are unsigned in the file and signed here).
// Reads only what both the data chunk and the file hold; a partial last frame
// is left out.
class CWavePeaks {
public:
    enum class Problem {
        None,
        Unreadable,  // the file could not be opened or read
        NotWave,     // no RIFF WAVE file
        NoFormat,    // no "fmt " chunk before the data
        Unsupported, // not integer PCM of 1 to 32 bits in 1 to kMaxChannels channels
        NoData,      // no "data" chunk
        Canceled,    // the caller asked to stop before the end
    };

    struct Range {
        qint16 min = 0;
        qint16 max = 0;
    };

    // More channels than this are not drawn; a file that has them is refused
    // rather than summarised into lanes nobody can see.
    static constexpr int kMaxChannels = 16;
    // The finest bucket is at most this many frames, and smaller for short
    // sounds, so that a short sound still has detail.
    static constexpr int kMaxFinestBucket = 256;

    // Asked between blocks of the read; true makes the read stop with
    // Problem::Canceled.
    using CancelCheck = std::function<bool()>;

    // The summary of the wave file open for reading in device (from its
    // start), or the reason there is none. Leaves the position anywhere.
    static CWavePeaks Read(QIODevice& device, const CancelCheck& canceled = {});
    // The same for the file at path.
    static CWavePeaks Read(const QString& path, const CancelCheck& canceled = {});

    Problem GetProblem() const { return m_problem; }
    bool IsValid() const { return m_problem == Problem::None; }

    // The format as the file gives it (also when it is unsupported, if the
    // format chunk was found).
    int Channels() const { return m_nChannels; }
    int BitsPerSample() const { return m_nBits; }
    quint32 SamplesPerSec() const { return m_nRate; }
    // Bytes of one frame in the file.
    int FrameBytes() const { return m_nFrameBytes; }
    // Whole frames summarised.
    qint64 Frames() const { return m_nFrames; }
    // The data chunk claims more than the file holds, or the file ended
    // before its data had been read.
    bool IsTruncated() const { return m_bTruncated; }

    int FramesPerBucket() const;
    int LevelCount() const { return static_cast<int>(m_levels.size()); }

    // The lowest and highest sample of channel in frames [first, end), from
    // the finest buckets that cover the span (a span inside one bucket gives
    // that bucket's range), read through coarser levels wherever whole
    // buckets of them fit, so it costs a few buckets per level however long
    // the span. An empty span or one outside the data gives {0, 0}; a channel
    // out of range too.
    Range Peak(int channel, qint64 first, qint64 end) const;

private:
    struct Level {
        qint64 framesPerBucket = 0;
        // Bucket after bucket, the channels of each side by side.
        std::vector<Range> ranges;
    };

    static CWavePeaks Failed(Problem problem);
    // Reads the held bytes of sample data at dataOffset into the finest
    // level and builds the coarser ones; false with m_problem set when it
    // stops.
    bool Summarise(QIODevice& device, qint64 dataOffset, qint64 dataHeld,
                   const CancelCheck& canceled);
    void BuildCoarserLevels();

    Problem m_problem = Problem::None;
    int m_nChannels = 0;
    int m_nBits = 0;
    quint32 m_nRate = 0;
    int m_nFrameBytes = 0;
    qint64 m_nFrames = 0;
    bool m_bTruncated = false;
    std::vector<Level> m_levels;
};
