#include "EditorTestKit.h"
#include "SoundTools.h"

#include "views/CWaveformPane.h"

#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace {

constexpr int kFrames = 8000;
// The first sample's loop, in frames of its 4-byte stereo frames.
constexpr int kLoopStart = 2000;
constexpr int kLoopLength = 4000;

class WaveformPane : public EditorTest {
protected:
    void SetUp() override {
        m_sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
        if (m_sox.isEmpty()) {
            GTEST_SKIP() << "sox is not installed";
        }
        EditorTest::SetUp();
    }

    CWaveformPane& Pane() { return frame->m_wndWaveform; }
    CListCtrl& List() { return ActiveResourceView()->GetListCtrl(); }

    // Writes name with sox: kFrames frames at 8000 Hz of a 100 Hz square
    // wave of the given amplitude.
    void Sox(const QString& name, int channels, int bits, double amplitude, int frames = kFrames) {
        QDir(folder.Path()).mkpath(QFileInfo(folder.FilePath(name)).path());
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
                              bits == 8 ? QStringLiteral("unsigned-integer")
                                        : QStringLiteral("signed-integer"),
                              folder.FilePath(name),
                              QStringLiteral("synth"),
                              QStringLiteral("%1s").arg(frames)};
        for (int channel = 0; channel < channels; ++channel) {
            arguments << QStringLiteral("square") << QStringLiteral("100");
        }
        arguments << QStringLiteral("vol") << QString::number(amplitude);
        QProcess sox;
        sox.start(m_sox, arguments);
        ASSERT_TRUE(sox.waitForFinished(30000));
        ASSERT_EQ(sox.exitCode(), 0) << sox.readAllStandardError().toStdString();
    }

    // A bank beside its waves: a looped stereo sample, a mono 8-bit one
    // (its name in other case than its file's), one whose file is missing,
    // a CD track, one whose file is no wave file.
    QString WriteBank() {
        Sox(QStringLiteral("pane/horn.wav"), 2, 16, 0.5);
        Sox(QStringLiteral("pane/tick.wav"), 1, 8, 0.25);
        WriteFile(QStringLiteral("pane/notes.wav"), QByteArray("not a wave at all"));
        BankBuilder b;
        b.bank = 1;
        SoundResource& horn =
            b.AddSample(1, QStringLiteral("horn.wav"), QByteArray(qsizetype{kFrames} * 4, '\0'),
                        false, 8000, 16, 2);
        horn.looped = 1;
        horn.loopStart = kLoopStart * 4;
        horn.loopLength = kLoopLength * 4;
        // Named as a file system that ignores case would have it.
        b.AddSample(2, QStringLiteral("TICK.WAV"), QByteArray(kFrames, '\0'), false, 8000, 8, 1);
        b.AddSample(3, QStringLiteral("gone.wav"), QByteArray(100, '\0'), false);
        b.AddCdTrack(4, 2);
        b.AddSample(5, QStringLiteral("notes.wav"), QByteArray(100, '\0'), false);
        return WriteFile(QStringLiteral("pane/Bnk_1.bnm"), b.Build());
    }

    void ShowPane() {
        frame->OnCommand(ID_VIEW_WAVEFORM);
        ASSERT_TRUE(Pane().isVisible());
        Pane().resize(800, 200);
    }

    // Lets the event loop deliver the frame's pending update of its
    // commands and panes, then the pane's read.
    bool Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
        return QTest::qWaitFor(
            [this] {
                QCoreApplication::processEvents();
                return !Pane().IsReading();
            },
            10000);
    }

    // Shows row as a click does, once the pane has caught up.
    void Select(int row) {
        ClickRow(List(), row);
        ASSERT_TRUE(Settle());
    }

    QString ViewMenuWaveformItem() const {
        for (const QString& item : Items(OpenPopup(QStringLiteral("&View")))) {
            if (item.startsWith(QStringLiteral("&Waveform"))) {
                return item;
            }
        }
        return QString();
    }

private:
    QString m_sox;
};

TEST_F(WaveformPane, ViewMenuShowsAndHidesItAndTheNextStartRemembers) {
    EXPECT_TRUE(frame->m_wndWaveformBar.isHidden()) << "hidden at the first start";
    EXPECT_EQ(ViewMenuWaveformItem(), QStringLiteral("&Waveform"));
    frame->OnCommand(ID_VIEW_WAVEFORM);
    EXPECT_TRUE(Pane().isVisible());
    EXPECT_EQ(ViewMenuWaveformItem(), QStringLiteral("&Waveform (checked)"));
    EXPECT_EQ(Pane().GetMessage(), QStringLiteral("No sample selected"));

    QuitEditor();
    StartEditor();
    EXPECT_FALSE(frame->m_wndWaveformBar.isHidden());
    EXPECT_EQ(ViewMenuWaveformItem(), QStringLiteral("&Waveform (checked)"));
    // The bank's menu bar has the item too.
    ASSERT_NE(Open(WriteBank()), nullptr);
    EXPECT_EQ(ViewMenuWaveformItem(), QStringLiteral("&Waveform (checked)"));
    frame->OnCommand(ID_VIEW_WAVEFORM);
    EXPECT_TRUE(frame->m_wndWaveformBar.isHidden());

    QuitEditor();
    StartEditor();
    EXPECT_TRUE(frame->m_wndWaveformBar.isHidden());
    EXPECT_EQ(ViewMenuWaveformItem(), QStringLiteral("&Waveform"));
}

TEST_F(WaveformPane, FollowsTheSelectionAndMarksTheLoop) {
    ShowPane();
    CKantelDoc* pDoc = Open(WriteBank());
    ASSERT_NE(pDoc, nullptr);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Pane().GetMessage(), QStringLiteral("No sample selected"));

    Select(0);
    ASSERT_EQ(Pane().GetMessage(), QString());
    EXPECT_TRUE(Pane().GetFilePath().endsWith(QStringLiteral("/horn.wav")));
    ASSERT_NE(Pane().GetPeaks(), nullptr);
    EXPECT_EQ(Pane().GetPeaks()->Channels(), 2);
    EXPECT_EQ(Pane().GetPeaks()->Frames(), kFrames);
    EXPECT_NEAR(Pane().GetPeaks()->Peak(1, 0, kFrames).max, 16384, 1);

    // The loop covers its share of the width, from a quarter to three
    // quarters of the sound.
    const QRect wave = Pane().GetWaveRect();
    const QRect loop = Pane().GetLoopRect();
    ASSERT_FALSE(loop.isEmpty());
    EXPECT_NEAR(loop.left(), wave.left() + wave.width() / 4, 1);
    EXPECT_NEAR(loop.right(), wave.left() + wave.width() * 3 / 4, 1);
    EXPECT_EQ(loop.top(), wave.top());
    EXPECT_EQ(loop.bottom(), wave.bottom());
    // And is painted: near the top of the first lane, where a wave of half
    // of full scale does not reach, the loop is coloured and the rest not.
    const QImage image = Pane().grab().toImage();
    const int y = wave.top() + 3;
    const QColor base = Pane().palette().color(QPalette::Base);
    EXPECT_EQ(image.pixelColor(wave.left() + wave.width() / 8, y), base);
    EXPECT_EQ(image.pixelColor(wave.left() + wave.width() * 7 / 8, y), base);
    EXPECT_NE(image.pixelColor(wave.left() + wave.width() / 2, y), base);
    // The wave itself is drawn in the middle of each lane.
    const int lane = wave.height() / 2;
    EXPECT_NE(image.pixelColor(wave.left() + wave.width() / 8, wave.top() + lane / 2), base);
    EXPECT_NE(image.pixelColor(wave.left() + wave.width() / 8, wave.top() + lane + lane / 2), base);

    // The keyboard moves the selection; the pane follows without a loop.
    QTest::keyClick(&List(), Qt::Key_Down);
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Pane().GetFilePath().endsWith(QStringLiteral("/tick.wav")));
    ASSERT_NE(Pane().GetPeaks(), nullptr);
    EXPECT_EQ(Pane().GetPeaks()->Channels(), 1);
    EXPECT_NEAR(Pane().GetPeaks()->Peak(0, 0, kFrames).max, 8192, 256);
    EXPECT_TRUE(Pane().GetLoopRect().isEmpty());

    // What cannot be drawn is said.
    Select(2);
    EXPECT_EQ(Pane().GetMessage(), QStringLiteral("No wave file"));
    EXPECT_EQ(Pane().GetPeaks(), nullptr);
    Select(3);
    EXPECT_EQ(Pane().GetMessage(),
              QStringLiteral("CD track 2 is played from the disc: no wave to show"));
    EXPECT_EQ(Pane().GetPeaks(), nullptr);
    Select(4);
    EXPECT_EQ(Pane().GetMessage(), QStringLiteral("Not a wave file"));
    EXPECT_TRUE(Pane().GetLoopRect().isEmpty());
    EXPECT_FALSE(Pane().grab().isNull());

    // Back to the first sample: its peaks are kept, nothing is read again.
    ClickRow(List(), 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Pane().IsReading());
    EXPECT_FALSE(Pane().GetLoopRect().isEmpty());
}

// The figures come from a worker of their own; ffmpeg is the second opinion.
TEST_F(WaveformPane, ShowsTheLoudnessAndPeakOfTheFileAsItIsNow) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "ffmpeg is needed";
    }
    ShowPane();
    ASSERT_NE(Open(WriteBank()), nullptr);
    Select(0);
    const QString text = Pane().GetLoudnessText();
    const QString horn = folder.FilePath(QStringLiteral("pane/horn.wav"));
    ASSERT_TRUE(text.endsWith(QStringLiteral(" LUFS, peak -6.0 dBFS"))) << qPrintable(text);
    EXPECT_NEAR(text.section(QLatin1Char(' '), 0, 0).toDouble(), SoundTools::LoudnessLufs(horn),
                0.5);

    // tick.wav becomes a sound under one gating block: the pane does not
    // show the old figure for it, and has no loudness, only a peak.
    Sox(QStringLiteral("pane/tick.wav"), 1, 16, 0.25, 2000);
    Select(1);
    EXPECT_EQ(Pane().GetLoudnessText(), QStringLiteral("too short for loudness, peak -12.0 dBFS"));
    // Back to the first: kept with its peaks, and measured no more.
    ClickRow(List(), 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Pane().IsReading());
    EXPECT_EQ(Pane().GetLoudnessText(), text);
    Select(4);
    EXPECT_EQ(Pane().GetLoudnessText(), QString()) << "not a wave file";
}

TEST_F(WaveformPane, UpdatesAfterAnEditASaveAndAnotherActiveWindow) {
    ShowPane();
    CKantelDoc* pDoc = Open(WriteBank());
    ASSERT_NE(pDoc, nullptr);
    Select(0);
    ASSERT_FALSE(Pane().GetLoopRect().isEmpty());
    const QRect wave = Pane().GetWaveRect();

    // The properties dialog moves the loop to the first half ...
    const auto setLoop = [](const QString& start, const QString& length) {
        return [start, length](QDialog& dlg) {
            auto& dialog = static_cast<CDialog&>(dlg);
            DialogDriver::Retype(DialogDriver::Control<QLineEdit>(dialog, IDC_LOOP_START), start);
            DialogDriver::Retype(DialogDriver::Control<QLineEdit>(dialog, IDC_LOOP_LENGTH), length);
            DialogDriver::Click(DialogDriver::Control<QPushButton>(dialog, IDOK));
        };
    };
    dialogs.scripts << setLoop(QStringLiteral("0"), QString::number(kFrames * 4 / 2));
    DoubleClickRow(List(), 0);
    ASSERT_TRUE(Settle());
    ASSERT_EQ(dialogs.titles.size(), 1);
    ASSERT_EQ(pDoc->Resources()[0].loopStart, 0);
    ASSERT_FALSE(Pane().GetLoopRect().isEmpty());
    EXPECT_EQ(Pane().GetLoopRect().left(), wave.left());
    EXPECT_NEAR(Pane().GetLoopRect().right(), wave.left() + wave.width() / 2, 1);
    // ... and past the end of the sound, where it is cut at the end.
    dialogs.scripts << setLoop(QString::number(kFrames * 4 * 3 / 4), QString::number(kFrames * 4));
    DoubleClickRow(List(), 0);
    ASSERT_TRUE(Settle());
    ASSERT_FALSE(Pane().GetLoopRect().isEmpty());
    EXPECT_NEAR(Pane().GetLoopRect().left(), wave.left() + wave.width() * 3 / 4, 1);
    EXPECT_EQ(Pane().GetLoopRect().right(), wave.right());

    // The wave file is replaced by a louder, longer one and the bank is
    // saved. The lists are rebuilt and keep their selection; the sample is
    // read again, not taken from what was read before.
    Sox(QStringLiteral("pane/horn.wav"), 2, 16, 0.75, kFrames * 2);
    frame->OnCommand(ID_FILE_SAVE);
    ASSERT_TRUE(Settle());
    EXPECT_FALSE(pDoc->IsModified()) << prompts->Texts().join(u'|').toStdString();
    EXPECT_EQ(Selected(List()), 0);
    EXPECT_TRUE(Pane().GetMessage().isEmpty());
    ASSERT_NE(Pane().GetPeaks(), nullptr);
    EXPECT_EQ(Pane().GetPeaks()->Frames(), kFrames * 2);
    EXPECT_NEAR(Pane().GetPeaks()->Peak(0, 0, qint64{kFrames} * 2).max, 24576, 1);

    // An event list made active has no sample to show; the resource list
    // made active again shows its selection.
    CMDIChildWnd* pResources = ActiveWindow();
    frame->OnCommand(ID_WINDOW_NEW_EVENT_VIEW);
    ASSERT_NE(ActiveEventView(), nullptr);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Pane().GetMessage(), QStringLiteral("No sample selected"));
    pResources->MDIActivate();
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Pane().GetFilePath().endsWith(QStringLiteral("/horn.wav")));
    EXPECT_EQ(Pane().GetMessage(), QString());

    // With the bank closed there is nothing to show.
    frame->OnCommand(ID_FILE_CLOSE);
    DeleteClosedWindows();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Pane().GetMessage(), QStringLiteral("No sample selected"));
    EXPECT_EQ(Pane().GetPeaks(), nullptr);
}

TEST_F(WaveformPane, HiddenPaneReadsNothingUntilItIsShown) {
    CKantelDoc* pDoc = Open(WriteBank());
    ASSERT_NE(pDoc, nullptr);
    ClickRow(List(), 1);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Pane().GetPeaks(), nullptr);
    EXPECT_EQ(Pane().GetMessage(), QStringLiteral("No sample selected"));
    ShowPane();
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Pane().GetFilePath().endsWith(QStringLiteral("/tick.wav")));
    ASSERT_NE(Pane().GetPeaks(), nullptr);
}

} // namespace
