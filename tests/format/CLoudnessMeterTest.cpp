#include "SoundTools.h"
#include "TestFolder.h"

#include "format/CLoudnessMeter.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

class SoxLoudness : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SoundTools::Available()) {
            GTEST_SKIP() << "sox and ffmpeg are needed";
        }
    }
    QString Make(const QString& name, const QString& line) {
        return SoundTools::Make(folder.FilePath(name), line);
    }
    TestFolder folder;
};

} // namespace

TEST_F(SoxLoudness, TheStandardsSineReadsMinus23AndShortOrSilentSoundsHaveNoLoudness) {
    // EBU Tech 3341's first case: a 1 kHz sine at -23 dBFS in both channels.
    const CResult<CLoudnessMeter::Reading> sine = CLoudnessMeter::MeasureFile(
        Make(QStringLiteral("sine.wav"),
             QStringLiteral("-r 48000 -c 2 -b 24 OUT synth 5 sine 1000 gain -23")));
    ASSERT_TRUE(sine) << qPrintable(sine.Error().text);
    EXPECT_NEAR(sine.Value().integrated, -23.0, 0.1);
    EXPECT_NEAR(sine.Value().samplePeak, -23.0, 0.05);
    EXPECT_GE(sine.Value().truePeak, sine.Value().samplePeak);
    EXPECT_LT(sine.Value().truePeak, -22.5);
    EXPECT_EQ(sine.Value().frames, 5 * 48000);

    const CResult<CLoudnessMeter::Reading> blip = CLoudnessMeter::MeasureFile(
        Make(QStringLiteral("blip.wav"), QStringLiteral("-r 22050 -c 1 OUT synth 0.3 sine 500 "
                                                        "gain -6")));
    ASSERT_TRUE(blip);
    EXPECT_FALSE(blip.Value().HasLoudness()) << "under one 400 ms block";
    EXPECT_TRUE(blip.Value().HasPeak());
    EXPECT_NEAR(blip.Value().samplePeak, -6.0, 0.05);

    const CResult<CLoudnessMeter::Reading> silence = CLoudnessMeter::MeasureFile(
        Make(QStringLiteral("silence.wav"), QStringLiteral("-r 22050 -c 1 OUT trim 0 2")));
    ASSERT_TRUE(silence);
    EXPECT_FALSE(silence.Value().HasLoudness());
    EXPECT_FALSE(silence.Value().HasPeak());

    const CResult<CLoudnessMeter::Reading> text = CLoudnessMeter::MeasureFile(
        folder.Write(QStringLiteral("notes.wav"), QByteArray("no sound at all")));
    ASSERT_FALSE(text);
    EXPECT_TRUE(text.Error().text.contains(folder.FilePath(QStringLiteral("notes.wav"))))
        << qPrintable(text.Error().text);
}

// A banked sample is measured from its raw bytes: each width must read as
// libsndfile reads the same samples in a wave file (8 bits unsigned, the
// wider ones signed and little-endian).
TEST_F(SoxLoudness, RawPcmOfEveryWidthMeasuresAsItsWaveFile) {
    for (const int bits : {8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        const QString encoding =
            bits == 8 ? QStringLiteral("unsigned-integer") : QStringLiteral("signed-integer");
        const QString wave = Make(QStringLiteral("w%1.wav").arg(bits),
                                  QStringLiteral("-r 11025 -c 2 -b %1 -e %2 OUT synth 1.5 sine "
                                                 "300 sine 700 gain -3")
                                      .arg(bits)
                                      .arg(encoding));
        const QString raw = folder.FilePath(QStringLiteral("w%1.raw").arg(bits));
        ASSERT_TRUE(SoundTools::Sox({wave, QStringLiteral("-t"), QStringLiteral("raw"), raw}));
        QFile file(raw);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        // A partial last frame is left out, as a bank's odd length would.
        const QByteArray data = file.readAll() + QByteArray(1, '\x7f');

        const CResult<CLoudnessMeter::Reading> fromFile = CLoudnessMeter::MeasureFile(wave);
        ASSERT_TRUE(fromFile);
        CLoudnessMeter meter(2, 11025);
        ASSERT_TRUE(meter.IsValid());
        meter.AddPcm(data, bits);
        const CLoudnessMeter::Reading fromBytes = meter.Result();
        EXPECT_EQ(fromBytes.frames, fromFile.Value().frames);
        EXPECT_NEAR(fromBytes.integrated, fromFile.Value().integrated, 0.01);
        EXPECT_NEAR(fromBytes.samplePeak, fromFile.Value().samplePeak, 0.01);
        EXPECT_NEAR(fromBytes.samplePeak, -3.0, 0.2);
    }
}
