#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Sound files made and measured by other programs (sox and ffmpeg), so the
// program's audio code is tried on files it did not write itself.
class SoundTools {
public:
    // Whether sox and ffmpeg are installed; tests that need them skip without.
    static bool Available();
    // Runs sox (or ffmpeg) with arguments; false, with a test failure naming
    // what it printed, when it does not succeed.
    static bool Sox(const QStringList& arguments);
    static bool Ffmpeg(const QStringList& arguments);
    // Runs "sox -D -n LINE" with OUT in line (words split at blanks)
    // standing for path; path, or an empty string when sox failed.
    static QString Make(const QString& path, const QString& line);
    // A tone of frequency Hz at level dB below full scale, of seconds, made
    // by sox into path with sox's own format options (rate, channels, bits,
    // encoding, type) given in format.
    static bool Tone(const QString& path, const QStringList& format, double seconds,
                     int frequency = 440, double levelDb = -6.0);

    struct Sound {
        int channels = 0;
        int rate = 0;
        std::vector<double> samples; // interleaved, -1 to 1
        qint64 Frames() const { return channels > 0 ? qint64(samples.size()) / channels : 0; }
    };
    // The samples of a sound file as sox decodes them.
    static Sound Read(const QString& path);
    // RMS level in dB below full scale; very low for silence.
    static double LevelDb(const std::vector<double>& samples);
    // The integrated loudness of the file at path in LUFS, as ffmpeg's
    // ebur128 filter measures it; NaN (with a test failure) when it cannot.
    static double LoudnessLufs(const QString& path);
    // The highest sample, in dB below full scale.
    static double PeakDb(const Sound& sound);
    // How far below the signal b the difference a - b lies, in dB, with a
    // shifted by whole samples up to maxShift where that matches them best
    // (lossy decoders disagree on where a sound starts). Only the frames
    // both hold are compared.
    static double DifferenceDb(const Sound& a, const Sound& b, int maxShift = 0);
};
