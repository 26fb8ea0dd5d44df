#include "BankBuilder.h"
#include "DialogDriver.h"
#include "RecordingPromptSink.h"
#include "ScriptedFilePicker.h"
#include "ScriptedModalRunner.h"
#include "TestFolder.h"

#include "dialogs/CSelectSoundFileDlg.h"
#include "format/CWaveReader.h"
#include "framework/ui/CQtSoundPlayer.h"
#include "framework/ui/CSoundPlayer.h"
#include "framework/ui/IWaveDuration.h"
#include "framework/ui/PlaySound.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

// Plays sounds through the real player into the null sink of the PulseAudio
// daemon that with-pulseaudio.sh starts, and listens on the sink's monitor.

namespace {

constexpr int kRate = 22050;
constexpr qint16 kAmplitude = 8000;

// A square wave of the given length, 16-bit mono.
QByteArray Tone(int milliseconds) {
    const int frames = kRate * milliseconds / 1000;
    QByteArray data(frames * 2, '\0');
    for (int i = 0; i < frames; ++i) {
        const qint16 sample = (i / 25) % 2 == 0 ? kAmplitude : static_cast<qint16>(-kAmplitude);
        std::memcpy(data.data() + 2 * i, &sample, 2);
    }
    return BankBuilder::Wave(data, 1, kRate, 16);
}

// Records what the null sink plays, from its monitor.
class Listener {
public:
    Listener() {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput,
                         [this] { m_captured += m_process.readAllStandardOutput(); });
        m_process.start(QStringLiteral("parec"),
                        {QStringLiteral("--device=kantel_null.monitor"),
                         QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                         QStringLiteral("--rate=%1").arg(kRate), QStringLiteral("--raw"),
                         QStringLiteral("--latency-msec=20")});
    }
    ~Listener() {
        m_process.kill();
        m_process.waitForFinished();
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    // True once the monitor delivers samples, silent or not.
    bool WaitUntilListening() {
        return QTest::qWaitFor([this] { return !m_captured.isEmpty(); }, 10000);
    }
    void Forget() { m_captured.clear(); }
    // The number of samples heard that are clearly not silence.
    qsizetype LoudSamples() const {
        qsizetype loud = 0;
        for (qsizetype i = 0; i + 1 < m_captured.size(); i += 2) {
            qint16 sample = 0;
            std::memcpy(&sample, m_captured.constData() + i, 2);
            if (std::abs(sample) > kAmplitude / 4) {
                ++loud;
            }
        }
        return loud;
    }
    bool WaitForTone(qsizetype samples) {
        return QTest::qWaitFor([&] { return LoudSamples() >= samples; }, 10000);
    }
    // Waits until the monitor has delivered another milliseconds of sound,
    // loud or silent: the sink's own clock, however busy the machine is.
    bool WaitForStream(int milliseconds) {
        const qsizetype wanted = m_captured.size() + qsizetype{2} * kRate * milliseconds / 1000;
        return QTest::qWaitFor([&] { return m_captured.size() >= wanted; }, milliseconds + 10000);
    }

private:
    QProcess m_process;
    QByteArray m_captured;
};

// Times the waves as the application does once it has started.
struct ProgramWaveDuration final : IWaveDuration {
    qint64 DurationMs(QIODevice& device) const override { return CWaveReader::DurationMs(device); }
};

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::EnsureApplication();
        ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty())
            << "no sound server: run this test through with-pulseaudio.sh";
    }

    TestFolder folder;
    RecordingPromptSink prompts;
    ProgramWaveDuration duration;
    CSeam<IWaveDuration>::Guard durationGuard{&duration};
};

TEST_F(PlaybackTest, AsynchronousSoundReturnsAtOnceAndIsHeard) {
    const QString path = folder.Write(QStringLiteral("long.wav"), Tone(2000));
    Listener listener;
    ASSERT_TRUE(listener.WaitUntilListening());
    listener.Forget();

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(PlaySound(path, SND_FILENAME | SND_ASYNC));
    // Returned long before a two-second sound could have ended.
    EXPECT_LT(clock.elapsed(), 2000);
    // A tenth of a second of the tone reaches the sink while the program
    // goes on.
    EXPECT_TRUE(listener.WaitForTone(kRate / 10));
    PlaySound(QString(), SND_ASYNC);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(PlaybackTest, AsynchronousSoundPlaysUntilItEndsOrIsStopped) {
    constexpr int kLengthMs = 300;
    const QString shortTone = folder.Write(QStringLiteral("short.wav"), Tone(kLengthMs));
    const QString longTone = folder.Write(QStringLiteral("long.wav"), Tone(4000));
    const CSoundPlayer& player = CSeam<CSoundPlayer>::Current();
    EXPECT_FALSE(player.IsPlaying());

    // A short sound plays for its length, then ends by itself.
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(PlaySound(shortTone, SND_FILENAME | SND_ASYNC));
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_TRUE(QTest::qWaitFor([&player] { return !player.IsPlaying(); },
                                kLengthMs + CQtSoundPlayer::kLatencyAllowanceMs + 2000));
    EXPECT_GE(clock.elapsed(), kLengthMs - 20);

    // A long one stops when told to, and is heard no more.
    Listener listener;
    ASSERT_TRUE(listener.WaitUntilListening());
    ASSERT_TRUE(PlaySound(longTone, SND_FILENAME | SND_ASYNC));
    EXPECT_TRUE(listener.WaitForTone(kRate / 10));
    EXPECT_TRUE(player.IsPlaying());
    PlaySound(QString(), SND_ASYNC);
    EXPECT_FALSE(player.IsPlaying());
    // What was on its way to the sink when it stopped may still arrive.
    ASSERT_TRUE(listener.WaitForStream(500));
    listener.Forget();
    ASSERT_TRUE(listener.WaitForStream(1000));
    EXPECT_EQ(listener.LoudSamples(), 0);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(PlaybackTest, PlayButtonReturnsOnlyAfterTheSoundHasEnded) {
    constexpr int kLengthMs = 400;
    const QString path = folder.Write(QStringLiteral("short.wav"), Tone(kLengthMs));
    Listener listener;
    ASSERT_TRUE(listener.WaitUntilListening());
    listener.Forget();

    ScriptedModalRunner runner;
    ScriptedFilePicker picker;
    picker.answers << path;
    qint64 elapsed = -1;
    runner.scripts << [&](QDialog& d) {
        auto* play = DialogDriver::Control<QPushButton>(static_cast<CDialog&>(d), IDC_PLAY);
        ASSERT_TRUE(play->isEnabled());
        QElapsedTimer clock;
        clock.start();
        DialogDriver::Click(play);
        elapsed = clock.elapsed();
    };
    CSelectSoundFileDlg dlg;
    dlg.m_strDirectory = folder.Path();
    dlg.DoModal();

    // The click blocks for the sound's length (less a little for the clock's
    // granularity).
    EXPECT_GE(elapsed, kLengthMs - 20);
    // Most of the tone was played into the sink.
    EXPECT_TRUE(listener.WaitForTone(kRate * kLengthMs / 1000 / 2));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

} // namespace
