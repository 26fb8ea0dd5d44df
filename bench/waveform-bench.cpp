// Measures the waveform pane, offscreen, in one process, on a wave file of
// one minute (44.1 kHz stereo 16-bit, written by sox in waveform-bench.sh):
//
// - reading its peaks against a plain sequential read of the same file, both
//   with the file in the page cache: the summary should cost little more
//   than getting the bytes;
// - painting the pane with those peaks against painting an empty widget of
//   the same size (its background only): once read, a repaint must take
//   well under one screen refresh (16 ms), whatever the sound's length;
// - how long asking for the file keeps the window's thread, against the
//   read that then runs on the worker.
//
//   kantel-waveform-bench WAVE [RUNS]
//
// Each figure is the median of RUNS runs (default 15). Prints the figures
// and the ratios; exits with 1 when a repaint takes 16 ms or more.

#include "format/CWavePeaks.h"
#include "views/CWaveformPane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr double kRefreshMs = 16.0;
constexpr int kWidth = 1280;
constexpr int kHeight = 240;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double Milliseconds(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Median milliseconds of a and of b over runs, taking turns so that neither
// gets the quieter moments of the machine.
std::pair<double, double> Compare(int runs, const std::function<void()>& a,
                                  const std::function<void()>& b) {
    std::vector<double> aTimes;
    std::vector<double> bTimes;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        a();
        aTimes.push_back(Milliseconds(timer));
        timer.restart();
        b();
        bTimes.push_back(Milliseconds(timer));
    }
    return {Median(aTimes), Median(bTimes)};
}

// Reads the whole file in blocks as large as the summary's, and keeps a
// byte of each so the reads are not optimised away.
qint64 PlainRead(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    QByteArray block(qsizetype{64} * 1024, '\0');
    qint64 sum = 0;
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got <= 0) {
            break;
        }
        sum += block.at(0);
    }
    return sum;
}

// The baseline: a widget that puts the pane's background on the same area
// and draws nothing else.
class BlankWidget final : public QWidget {
public:
    BlankWidget() { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
    }
};

int Fail(const char* what) {
    std::fprintf(stderr, "kantel-waveform-bench: %s\n", what);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: kantel-waveform-bench WAVE [RUNS]\n");
        return 2;
    }
    const QString path = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 15;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int appArgc = 1;
    QApplication application(appArgc, argv);

    // Into the page cache, and a check that the file is what we want.
    PlainRead(path);
    const CWavePeaks first = CWavePeaks::Read(path);
    if (!first.IsValid() || first.Frames() == 0) {
        return Fail("the file is no wave file that can be drawn");
    }

    volatile qint64 sink = 0;
    const auto [readPeaks, readPlain] = Compare(
        runs, [&] { sink = sink + CWavePeaks::Read(path).Frames(); },
        [&] { sink = sink + PlainRead(path); });

    // The pane as the editor shows it, with a loop over the middle half.
    CWaveformPane pane;
    pane.resize(kWidth, kHeight);
    pane.show();
    BlankWidget empty;
    empty.resize(kWidth, kHeight);
    empty.show();
    QCoreApplication::processEvents();

    CWaveformPane::Sample sample;
    sample.path = path;
    sample.looped = true;
    const qint64 bytes = first.Frames() * first.FrameBytes();
    sample.loopStart = bytes / 4;
    sample.loopLength = bytes / 2;
    QElapsedTimer asked;
    asked.start();
    pane.ShowSample(sample);
    const double askMs = Milliseconds(asked);
    while (pane.IsReading()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    const double deliveredMs = Milliseconds(asked);
    if (!pane.GetMessage().isEmpty() || pane.GetLoopRect().isEmpty()) {
        return Fail("the pane shows no waveform with a loop");
    }

    pane.repaint();
    empty.repaint();
    const auto [paintPane, paintEmpty] = Compare(
        runs * 4, [&] { pane.repaint(); }, [&] { empty.repaint(); });

    std::printf("wave file: %lld frames, %d channels, %d bits, %lld bytes\n",
                static_cast<long long>(first.Frames()), first.Channels(), first.BitsPerSample(),
                static_cast<long long>(QFileInfo(path).size()));
    std::printf("peak read, median of %d: %.2f ms; plain read: %.2f ms: ratio %.2f\n", runs,
                readPeaks, readPlain, readPeaks / readPlain);
    std::printf("repaint %d x %d, median of %d: %.3f ms; empty widget: %.3f ms: ratio %.2f "
                "(%.1f%% of a %.0f ms refresh)\n",
                kWidth, kHeight, runs * 4, paintPane, paintEmpty, paintPane / paintEmpty,
                100.0 * paintPane / kRefreshMs, kRefreshMs);
    std::printf("asking for the file took the window's thread %.3f ms; the peaks arrived "
                "after %.1f ms: ratio %.4f\n",
                askMs, deliveredMs, askMs / deliveredMs);

    // For bench/run.
    std::printf("result peaks %.2f %.2f\n", readPeaks, readPlain);
    std::printf("result paint %.3f %.3f\n", paintPane, paintEmpty);
    std::printf("result ask %.3f %.1f\n", askMs, deliveredMs);
    return paintPane < kRefreshMs ? 0 : 1;
}
