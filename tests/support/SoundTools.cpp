#include "SoundTools.h"

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

bool run(const QString& program, const QStringList& arguments, QByteArray* out = nullptr) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        ADD_FAILURE() << program.toStdString() << " is not installed";
        return false;
    }
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ' '
                      << arguments.join(QLatin1Char(' ')).toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return false;
    }
    if (out != nullptr) {
        *out = process.readAllStandardOutput();
    }
    return true;
}

QString soxi(const QString& path, const char* what) {
    QByteArray out;
    run(QStringLiteral("soxi"), {QString::fromLatin1(what), path}, &out);
    return QString::fromLatin1(out).trimmed();
}

} // namespace

bool SoundTools::Available() {
    return !QStandardPaths::findExecutable(QStringLiteral("sox")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
}

bool SoundTools::Sox(const QStringList& arguments) {
    return run(QStringLiteral("sox"), arguments);
}

bool SoundTools::Ffmpeg(const QStringList& arguments) {
    return run(QStringLiteral("ffmpeg"),
               QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                           QStringLiteral("error"), QStringLiteral("-y")} +
                   arguments);
}

QString SoundTools::Make(const QString& path, const QString& line) {
    QStringList words = line.split(QLatin1Char(' '));
    words.replaceInStrings(QStringLiteral("OUT"), path);
    return Sox(QStringList{QStringLiteral("-D"), QStringLiteral("-n")} + words) ? path : QString();
}

bool SoundTools::Tone(const QString& path, const QStringList& format, double seconds, int frequency,
                      double levelDb) {
    // A sine well inside every band used here, and no dither from sox, so
    // the file holds the tone and nothing else.
    return Sox(QStringList{QStringLiteral("-D"), QStringLiteral("-n")} + format +
               QStringList{path, QStringLiteral("synth"), QString::number(seconds),
                           QStringLiteral("sine"), QString::number(frequency),
                           QStringLiteral("gain"), QString::number(levelDb)});
}

double SoundTools::LoudnessLufs(const QString& path) {
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("ffmpeg")),
                  {QStringLiteral("-nostats"), QStringLiteral("-hide_banner"), QStringLiteral("-i"),
                   path, QStringLiteral("-filter_complex"), QStringLiteral("ebur128"),
                   QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
    const double none = std::numeric_limits<double>::quiet_NaN();
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        ADD_FAILURE() << "ffmpeg could not measure " << path.toStdString();
        return none;
    }
    // The summary comes last; the running figures before it have "I:" too.
    const QString log = QString::fromLocal8Bit(process.readAllStandardError());
    const qsizetype summary = log.lastIndexOf(QStringLiteral("Integrated loudness:"));
    const qsizetype at = log.indexOf(QStringLiteral("I:"), summary);
    if (summary < 0 || at < 0) {
        ADD_FAILURE() << "ffmpeg gave no loudness for " << path.toStdString();
        return none;
    }
    const QString figure = log.mid(at + 2).trimmed().section(QLatin1Char(' '), 0, 0);
    return figure.toDouble();
}

double SoundTools::PeakDb(const Sound& sound) {
    double peak = 0.0;
    for (double s : sound.samples) {
        peak = std::max(peak, std::abs(s));
    }
    return peak > 0.0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
}

SoundTools::Sound SoundTools::Read(const QString& path) {
    Sound sound;
    sound.channels = soxi(path, "-c").toInt();
    sound.rate = soxi(path, "-r").toInt();
    QByteArray raw;
    if (!run(QStringLiteral("sox"),
             {QStringLiteral("-D"), path, QStringLiteral("-t"), QStringLiteral("f64"),
              QStringLiteral("-")},
             &raw)) {
        return sound;
    }
    sound.samples.resize(static_cast<size_t>(raw.size()) / sizeof(double));
    std::memcpy(sound.samples.data(), raw.constData(), sound.samples.size() * sizeof(double));
    return sound;
}

double SoundTools::LevelDb(const std::vector<double>& samples) {
    double sum = 0.0;
    for (double s : samples) {
        sum += s * s;
    }
    const double rms = samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
    return 20.0 * std::log10(std::max(rms, 1e-12));
}

double SoundTools::DifferenceDb(const Sound& a, const Sound& b, int maxShift) {
    if (a.channels != b.channels || a.channels == 0) {
        ADD_FAILURE() << "channels differ: " << a.channels << " and " << b.channels;
        return 0.0;
    }
    const qint64 channels = a.channels;
    const qint64 af = a.Frames();
    const qint64 bf = b.Frames();
    double best = std::numeric_limits<double>::max();
    double signalAtBest = 1.0;
    for (int shift = -maxShift; shift <= maxShift; ++shift) {
        double diff = 0.0;
        double signal = 0.0;
        // Frames where the shifted a and b overlap, leaving out the edges,
        // where resamplers ramp in and out differently.
        const qint64 from = std::max<qint64>(0, -shift) + 64;
        const qint64 to = std::min<qint64>(bf, af - shift) - 64;
        for (qint64 f = from; f < to; ++f) {
            for (qint64 c = 0; c < channels; ++c) {
                const double x = a.samples[static_cast<size_t>((f + shift) * channels + c)];
                const double y = b.samples[static_cast<size_t>(f * channels + c)];
                diff += (x - y) * (x - y);
                signal += y * y;
            }
        }
        if (to > from && diff < best) {
            best = diff;
            signalAtBest = signal;
        }
    }
    if (best == std::numeric_limits<double>::max()) {
        ADD_FAILURE() << "the sounds do not overlap";
        return 0.0;
    }
    return 10.0 * std::log10(std::max(signalAtBest, 1e-30) / std::max(best, 1e-30));
}
