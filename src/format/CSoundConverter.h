#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

// Turns interleaved float frames of one format into the PCM bytes of a wave
// file of another, as they arrive: channels mixed (down-mixing averages
// them, up-mixing copies them), the rate changed by libsoxr at its very high
// quality, and the samples made integers of the target's width, with TPDF
// dither where that width is below the source's precision. The two halves
// can also be had apart: the converted float frames first (to measure them),
// and then their integers, with a gain applied before the dither.
class CSoundConverter {
public:
    struct Format {
        int channels = 0;
        int samplesPerSec = 0;
        int bitsPerSample = 0; // 8 (unsigned), 16, 24 or 32; for a source, 0 for float data
    };

    CSoundConverter(const Format& from, const Format& to);
    ~CSoundConverter();
    CSoundConverter(const CSoundConverter&) = delete;
    CSoundConverter& operator=(const CSoundConverter&) = delete;

    // False, with Error() saying why, when the formats cannot be converted.
    bool IsValid() const { return m_error.isEmpty(); }
    const QString& Error() const { return m_error; }
    // Whether the samples get dither on the way: the target is narrower
    // than the source.
    bool Dithers() const { return m_bDither; }

    // Converts count frames of the source format and appends the result.
    void Push(const float* frames, qint64 count, QByteArray& out);
    // Appends what the resampler still holds; call once after the last Push.
    void Finish(QByteArray& out);

    // The same as Push and Finish, but stopping short of the integers: the
    // frames in the target's channels and rate, as floats.
    void Convert(const float* frames, qint64 count, std::vector<float>& out);
    void FinishConverting(std::vector<float>& out);
    // Makes integers of frames that Convert gave, as Push does, with the
    // gain applied first.
    void Quantize(const float* samples, qint64 frames, QByteArray& out);
    // A factor for every sample before dither and rounding; 1 by default.
    void SetGain(double factor) { m_gain = factor; }

private:
    struct Resampler;

    void Mix(const float* frames, qint64 count);
    // Resamples what Mix left and hands each piece to take.
    template <typename Take> void Resample(qint64 count, Take take);
    template <typename Take> void Drain(Take take);
    float Noise();

    Format m_from;
    Format m_to;
    QString m_error;
    bool m_bDither = false;
    quint32 m_nSeed = 0x9E3779B9U;
    double m_gain = 1.0;
    std::vector<float> m_mixed;
    std::vector<float> m_resampled;
    std::unique_ptr<Resampler> m_pResampler;
};
