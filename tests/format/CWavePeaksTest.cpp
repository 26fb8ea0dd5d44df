#include "BankBuilder.h"
#include "TestFolder.h"

#include "format/CWavePeaks.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using Problem = CWavePeaks::Problem;

// Wave files written by sox, so that the summary is checked against another
// program's idea of the format. Dither is off (-D), so a square wave's
// samples are exactly its amplitude.
class SoxPeaks : public ::testing::Test {
protected:
    void SetUp() override {
        m_sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
        if (m_sox.isEmpty()) {
            GTEST_SKIP() << "sox is not installed";
        }
    }

    // A file of the given layout at 8000 Hz from sox's null input and the
    // effects given; its path.
    QString Make(const QString& name, int channels, int bits, const QStringList& effects,
                 const QString& encoding = QString()) {
        QString path = folder.FilePath(name);
        QStringList arguments{QStringLiteral("-D"),
                              QStringLiteral("-r"),
                              QStringLiteral("8000"),
                              QStringLiteral("-n"),
                              QStringLiteral("-r"),
                              QStringLiteral("8000"),
                              QStringLiteral("-c"),
                              QString::number(channels),
                              QStringLiteral("-b"),
                              QString::number(bits),
                              QStringLiteral("-e"),
                              !encoding.isEmpty() ? encoding
                              : bits == 8         ? QStringLiteral("unsigned-integer")
                                                  : QStringLiteral("signed-integer"),
                              path};
        arguments += effects;
        QProcess sox;
        sox.start(m_sox, arguments);
        EXPECT_TRUE(sox.waitForFinished(60000));
        EXPECT_EQ(sox.exitCode(), 0) << sox.readAllStandardError().toStdString();
        return path;
    }

    // frames of a 100 Hz square wave, half of full scale on the first
    // channel, a quarter on the second, an eighth on the third.
    QString Square(const QString& name, int channels, int bits, int frames) {
        QStringList effects{QStringLiteral("synth"), QStringLiteral("%1s").arg(frames)};
        for (int channel = 0; channel < channels; ++channel) {
            effects << QStringLiteral("square") << QStringLiteral("100");
        }
        effects << QStringLiteral("remix");
        for (int channel = 0; channel < channels; ++channel) {
            effects << QStringLiteral("%1v%2").arg(channel + 1).arg(0.5 / (1 << channel));
        }
        return Make(name, channels, bits, effects);
    }

    TestFolder folder;

private:
    QString m_sox;
};

void ExpectRange(const CWavePeaks::Range& range, int low, int high, int tolerance) {
    EXPECT_NEAR(range.min, low, tolerance);
    EXPECT_NEAR(range.max, high, tolerance);
}

TEST_F(SoxPeaks, SquareWavesOfKnownAmplitudeInEveryDepthAndBothLayouts) {
    struct Case {
        int channels;
        int bits;
    };
    // sox writes 24 and 32 bits in the extensible form.
    for (const Case c : {Case{1, 8}, Case{2, 8}, Case{1, 16}, Case{2, 16}, Case{3, 16}, Case{2, 24},
                         Case{1, 32}}) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.bits << " bits");
        // Five seconds: long enough for buckets of several frames, which
        // each half period of 40 frames fills exactly.
        const QString path = Square(QStringLiteral("square.wav"), c.channels, c.bits, 40000);
        const CWavePeaks peaks = CWavePeaks::Read(path);
        ASSERT_EQ(peaks.GetProblem(), Problem::None);
        EXPECT_EQ(peaks.Channels(), c.channels);
        EXPECT_EQ(peaks.BitsPerSample(), c.bits);
        EXPECT_EQ(peaks.SamplesPerSec(), 8000U);
        EXPECT_EQ(peaks.FrameBytes(), c.channels * c.bits / 8);
        EXPECT_EQ(peaks.Frames(), 40000);
        EXPECT_EQ(peaks.FramesPerBucket(), 8);
        EXPECT_FALSE(peaks.IsTruncated());
        // 8-bit samples are steps of 256 once scaled; sox rounds half of
        // full scale to 64 steps either side of the middle.
        const int tolerance = c.bits == 8 ? 256 : 1;
        for (int channel = 0; channel < c.channels; ++channel) {
            const int amplitude = 16384 >> channel;
            ExpectRange(peaks.Peak(channel, 0, peaks.Frames()), -amplitude, amplitude, tolerance);
        }
        // The wave starts high: its first half period is above the middle.
        ExpectRange(peaks.Peak(0, 0, 40), 16384, 16384, tolerance);
        ExpectRange(peaks.Peak(0, 40, 80), -16384, -16384, tolerance);
        // No channel past the last, no span past the end.
        ExpectRange(peaks.Peak(c.channels, 0, 40000), 0, 0, 0);
        ExpectRange(peaks.Peak(0, 40000, 41000), 0, 0, 0);
        ExpectRange(peaks.Peak(0, 500, 500), 0, 0, 0);
    }
}

TEST_F(SoxPeaks, LongSoundIsExactAtTheFinestBucketThroughEveryLevel) {
    // 300,000 frames of silence, then the tone: the tone starts inside
    // finest bucket 1171 (frames 299,776 to 300,031).
    constexpr int kSilence = 300000;
    constexpr int kFrames = 1200000;
    const QString path =
        Make(QStringLiteral("long.wav"), 1, 8,
             {QStringLiteral("synth"), QStringLiteral("%1s").arg(kFrames - kSilence),
              QStringLiteral("square"), QStringLiteral("100"), QStringLiteral("vol"),
              QStringLiteral("0.5"), QStringLiteral("pad"), QStringLiteral("%1s").arg(kSilence)});
    const CWavePeaks peaks = CWavePeaks::Read(path);
    ASSERT_EQ(peaks.GetProblem(), Problem::None);
    ASSERT_EQ(peaks.Frames(), kFrames);
    EXPECT_EQ(peaks.FramesPerBucket(), CWavePeaks::kMaxFinestBucket);
    EXPECT_GE(peaks.LevelCount(), 3);

    constexpr int kToneBucketStart = 1171 * 256;
    // Long spans of silence, aligned or not, read through coarse levels
    // whose buckets reach into the tone: none of it may leak in.
    ExpectRange(peaks.Peak(0, 0, kToneBucketStart), 0, 0, 0);
    ExpectRange(peaks.Peak(0, 12345, kToneBucketStart), 0, 0, 0);
    ExpectRange(peaks.Peak(0, 0, kSilence - 300), 0, 0, 0);
    // The bucket where the tone starts holds both.
    ExpectRange(peaks.Peak(0, kSilence - 1, kSilence), 0, 16384, 256);
    ExpectRange(peaks.Peak(0, 0, kSilence + 1), 0, 16384, 256);
    // The tone alone, to the last frame, and everything.
    ExpectRange(peaks.Peak(0, kToneBucketStart + 256, kFrames), -16384, 16384, 256);
    // The last bucket holds 128 frames, more than a period.
    ExpectRange(peaks.Peak(0, kFrames - 1, kFrames), -16384, 16384, 256);
    ExpectRange(peaks.Peak(0, -5, kFrames + 5), -16384, 16384, 256);
}

TEST_F(SoxPeaks, ShortSoundKeepsSingleFrames) {
    const QString path = Square(QStringLiteral("short.wav"), 2, 16, 1000);
    const CWavePeaks peaks = CWavePeaks::Read(path);
    ASSERT_EQ(peaks.GetProblem(), Problem::None);
    EXPECT_EQ(peaks.FramesPerBucket(), 1);
    // Frame 39 is the last high one, 40 the first low one.
    ExpectRange(peaks.Peak(0, 39, 40), 16384, 16384, 1);
    ExpectRange(peaks.Peak(1, 40, 41), -8192, -8192, 1);
    ExpectRange(peaks.Peak(1, 39, 41), -8192, 8192, 1);
    // A low half period, partly through the coarser level.
    ExpectRange(peaks.Peak(1, 41, 80), -8192, -8192, 1);
    ExpectRange(peaks.Peak(0, 41, 81), -16384, 16384, 1);
}

TEST_F(SoxPeaks, TruncatedFilesGiveTheWholeFramesTheyHold) {
    const QString path = Square(QStringLiteral("square.wav"), 2, 16, 4000);
    QFile source(path);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray whole = source.readAll();
    const qsizetype dataAt = whole.indexOf("data") + 8;
    ASSERT_EQ(whole.size(), dataAt + qsizetype{4000} * 4);

    // Cut in the middle of frame 1000: the data chunk claims more than
    // the file holds, and the partial frame is left out.
    const QByteArray cut = whole.left(dataAt + qsizetype{1000} * 4 + 3);
    const CWavePeaks fromCut = CWavePeaks::Read(folder.Write(QStringLiteral("cut.wav"), cut));
    ASSERT_EQ(fromCut.GetProblem(), Problem::None);
    EXPECT_TRUE(fromCut.IsTruncated());
    EXPECT_EQ(fromCut.Frames(), 1000);
    ExpectRange(fromCut.Peak(0, 0, 1000), -16384, 16384, 1);

    // A data chunk that claims far more than the file holds, read from
    // memory as from a file.
    QByteArray lying = whole;
    BankBuilder::Put32(lying, dataAt - 4, 0x7FFFFFF0U);
    QBuffer buffer(&lying);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    const CWavePeaks fromLie = CWavePeaks::Read(buffer);
    ASSERT_EQ(fromLie.GetProblem(), Problem::None);
    EXPECT_TRUE(fromLie.IsTruncated());
    EXPECT_EQ(fromLie.Frames(), 4000);
    ExpectRange(fromLie.Peak(1, 0, 4000), -8192, 8192, 1);

    // Cut inside the header: no data chunk is found at all.
    const CWavePeaks fromHeader =
        CWavePeaks::Read(folder.Write(QStringLiteral("header.wav"), whole.left(dataAt - 6)));
    EXPECT_EQ(fromHeader.GetProblem(), Problem::NoData);
}

TEST_F(SoxPeaks, FloatingPointSamplesAreRefusedWithTheirFormat) {
    const QString path = Make(QStringLiteral("float.wav"), 1, 32,
                              {QStringLiteral("synth"), QStringLiteral("100s"),
                               QStringLiteral("sine"), QStringLiteral("440")},
                              QStringLiteral("floating-point"));
    const CWavePeaks peaks = CWavePeaks::Read(path);
    EXPECT_EQ(peaks.GetProblem(), Problem::Unsupported);
    EXPECT_EQ(peaks.BitsPerSample(), 32);
    EXPECT_EQ(peaks.Channels(), 1);
}

TEST(WavePeaks, WhatIsNoWaveFileIsNamed) {
    TestFolder folder;
    const QByteArray wave = BankBuilder::Wave(BankBuilder::Pattern(400, 3), 2, 22050, 16);
    QByteArray aiff = wave;
    aiff.replace(8, 4, "AIFF");
    QByteArray noFormat = wave;
    noFormat.replace(12, 4, "junk");
    QByteArray noData = wave;
    noData.replace(36, 4, "junk");
    QByteArray tooManyChannels = wave;
    BankBuilder::Put16(tooManyChannels, 22, CWavePeaks::kMaxChannels + 1);
    QByteArray noChannels = wave;
    BankBuilder::Put16(noChannels, 22, 0);
    QByteArray wideSamples = wave;
    BankBuilder::Put16(wideSamples, 34, 40);
    QByteArray adpcm = wave;
    BankBuilder::Put16(adpcm, 20, 2);
    struct Case {
        const char* name;
        QByteArray bytes;
        Problem problem;
    };
    const Case cases[] = {
        {"empty", QByteArray(), Problem::NotWave},
        {"text", QByteArray("just some words, no chunks at all"), Problem::NotWave},
        {"riff of another form", aiff, Problem::NotWave},
        {"no format chunk", noFormat, Problem::NoFormat},
        {"no data chunk", noData, Problem::NoData},
        {"too many channels", tooManyChannels, Problem::Unsupported},
        {"no channels", noChannels, Problem::Unsupported},
        {"samples wider than 32 bits", wideSamples, Problem::Unsupported},
        {"compressed", adpcm, Problem::Unsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.Write(QString::fromLatin1(c.name), c.bytes);
        EXPECT_EQ(CWavePeaks::Read(path).GetProblem(), c.problem);
    }
    EXPECT_EQ(CWavePeaks::Read(folder.FilePath(QStringLiteral("missing.wav"))).GetProblem(),
              Problem::Unreadable);
    EXPECT_EQ(CWavePeaks::Read(folder.Path()).GetProblem(), Problem::Unreadable);
    // A FIFO would block an open for reading until someone writes to it.
    const QString fifo = folder.FilePath(QStringLiteral("fifo.wav"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(CWavePeaks::Read(fifo).GetProblem(), Problem::Unreadable);
}

TEST(WavePeaks, AskingToStopEndsTheReadWithoutAResult) {
    TestFolder folder;
    const QString path = folder.Write(
        QStringLiteral("w.wav"), BankBuilder::Wave(BankBuilder::Pattern(400000, 5), 2, 44100, 16));
    int asked = 0;
    const CWavePeaks stopped = CWavePeaks::Read(path, [&asked] { return ++asked > 2; });
    EXPECT_EQ(stopped.GetProblem(), Problem::Canceled);
    EXPECT_EQ(stopped.Frames(), 0);
    EXPECT_EQ(asked, 3) << "asked before the walk and before each block";
    const CWavePeaks whole = CWavePeaks::Read(path, [] { return false; });
    EXPECT_EQ(whole.GetProblem(), Problem::None);
    EXPECT_EQ(whole.Frames(), 100000);
}

} // namespace
