#pragma once

#include "CResult.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

// An audio file of any kind libsndfile decodes (wave files of every PCM,
// float and extensible kind, AIFF, FLAC, Ogg Vorbis, Opus, MP3), read as
// interleaved float frames in the range -1 to 1.
class CSoundSource {
public:
    struct Info {
        int channels = 0;
        int samplesPerSec = 0;
        // As the file claims; reading stops where the data does.
        qint64 frames = 0;
        // What a wave file's data chunk claims, when more than it holds
        // (frames is then what it holds); frames otherwise.
        qint64 claimedFrames = 0;
        // Of integer PCM data; 0 for float and compressed data, whose
        // precision is above any the games play.
        int bitsPerSample = 0;
        // "WAV (Microsoft) / Signed 16 bit PCM", as the decoder names it.
        QString description;
        // The kind of file as a user knows it: "WAV", "FLAC", "MP3".
        QString kind;
    };
    // A loop in sample frames of the source: the first frame and how many.
    struct Loop {
        qint64 start = 0;
        qint64 length = 0;
    };

    CSoundSource(CSoundSource&&) noexcept;
    CSoundSource& operator=(CSoundSource&&) noexcept;
    ~CSoundSource();

    // What the file is opened for, which the error's words say.
    enum class Use { Import, Measure };

    // Opens path. Only a regular file is opened, so a FIFO cannot make the
    // caller wait. The error's text names the file and says why.
    static CResult<CSoundSource> Open(const QString& path, Use use = Use::Import);

    const Info& GetInfo() const { return m_info; }
    // The first loop of the file's sampler data (a wave file's "smpl" chunk,
    // an AIFF file's markers), when it has one that lies inside the sound.
    std::optional<Loop> GetLoop() const { return m_loop; }

    // Reads up to count frames into frames (count * channels floats); the
    // number read, 0 at the end and on a read error.
    qint64 Read(float* frames, qint64 count);

    // Whether the file is no longer as it was opened (written, cut short or
    // replaced since): what was read of it may be half of one and half of
    // another.
    bool ChangedSinceOpened() const;

private:
    struct Handle;
    explicit CSoundSource(std::unique_ptr<Handle> handle);
    // A wave file of integer PCM that the chunk walker reads but libsndfile
    // refused for why.
    static CResult<CSoundSource> OpenPcmWave(const QString& path, const QString& why, Use use);
    qint64 ReadPcm(float* frames, qint64 count);
    // Fills the info and the loop of a file libsndfile opened, from what it
    // gave (format is its SF_FORMAT_ value) and, for a wave file, from the
    // chunk walker's reading of path.
    void Describe(int channels, int samplesPerSec, qint64 frames, int format, const QString& path);

    std::unique_ptr<Handle> m_handle;
    Info m_info;
    std::optional<Loop> m_loop;
};
