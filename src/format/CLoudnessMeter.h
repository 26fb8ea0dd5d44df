#pragma once

#include "CResult.h"
#include "SoundResource.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <limits>
#include <memory>

// Measures how loud a sound is as EBU R128 has it, with libebur128: the
// integrated loudness, the true peak (the level between the samples that a
// player's reconstruction reaches) and the sample peak. Fed interleaved
// float frames, or the integer PCM of a wave file's data, block by block.
class CLoudnessMeter {
public:
    struct Reading {
        static constexpr double kNone = -std::numeric_limits<double>::infinity();
        // LUFS; kNone for a sound shorter than one 400 ms gating block, or
        // one so quiet that every block is gated away.
        double integrated = kNone;
        double truePeak = kNone;   // dBTP, over all channels
        double samplePeak = kNone; // dBFS, over all channels
        qint64 frames = 0;

        bool HasLoudness() const;
        bool operator==(const Reading&) const = default;
        // Some sample is not silence.
        bool HasPeak() const;
    };

    // A meter for frames of channels at samplesPerSec; without truePeak its
    // readings have no true peak, which costs most of the measuring (four
    // times oversampled). IsValid() is false when libebur128 takes no such
    // format (or has no memory for it), or cannot be loaded.
    CLoudnessMeter(int channels, int samplesPerSec, bool truePeak = true);
    ~CLoudnessMeter();
    CLoudnessMeter(const CLoudnessMeter&) = delete;
    CLoudnessMeter& operator=(const CLoudnessMeter&) = delete;

    bool IsValid() const { return m_pState != nullptr; }
    // For the user, when libebur128 could not be loaded (IsValid() is then
    // false); empty otherwise.
    const QString& LibraryError() const { return m_libraryError; }

    // Adds count interleaved frames of samples in -1 to 1.
    void Add(const float* frames, qint64 count);
    // Adds wave data of bitsPerSample (8 unsigned, 16, 24 or 32 signed,
    // little-endian); a partial last frame is left out.
    void AddPcm(QByteArrayView data, int bitsPerSample);

    // What the frames added so far measure.
    Reading Result() const;

    // Measures the sound file at path (any kind CSoundSource opens) in its
    // own format. The error names the file; a read that canceled() stops
    // between blocks is one too.
    static CResult<Reading> MeasureFile(const QString& path,
                                        const std::function<bool()>& canceled = {},
                                        bool truePeak = true);

    // Measures a sample record's sound where it lives: banked, the bank's
    // copy of its data, read in the record's format; otherwise (or when
    // banked is empty) the wave file at wavePath. The error names the file.
    // The reading has no true peak: a sound being replaced is matched on its
    // loudness or its sample peak, and only the new sound's true peak limits
    // the gain.
    static CResult<Reading> MeasureSample(const SoundResource& record, QByteArrayView banked,
                                          const QString& wavePath);

private:
    struct State;
    std::unique_ptr<State> m_pState;
    QString m_libraryError;
    int m_nChannels = 0;
    qint64 m_nFrames = 0;
};
