#include "DialogDriver.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "RecordingSoundPlayer.h"
#include "ScriptedFilePicker.h"
#include "ScriptedModalRunner.h"
#include "TestFolder.h"

#include "dialogs/CSelectSoundFileDlg.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CFileDialog.h"
#include "framework/ui/PlaySound.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

class SelectSoundFileDlgTest : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }

    // Runs the dialog with name and folder handed in and script as the user;
    // the browser that opens with it answers firstAnswer.
    int Run(const QString& name, const QString& firstAnswer,
            const ScriptedModalRunner::Script& script) {
        picker.answers << firstAnswer;
        runner.scripts << script;
        dlg.emplace();
        dlg->m_strDirectory = QStringLiteral("/banks/korvex/");
        dlg->m_strFileName = name;
        return dlg->DoModal();
    }

    static QLineEdit* Edit(QDialog& d) {
        return DialogDriver::Control<QLineEdit>(static_cast<CDialog&>(d), IDC_SOUND_FILE);
    }
    static QPushButton* Button(QDialog& d, int id) {
        return DialogDriver::Control<QPushButton>(static_cast<CDialog&>(d), id);
    }

    RecordingPromptSink prompts;
    ScriptedModalRunner runner;
    ScriptedFilePicker picker;
    RecordingSoundPlayer sound;
    std::optional<CSelectSoundFileDlg> dlg;
};

TEST_F(SelectSoundFileDlgTest, BrowserOpensAtOnceInTheFolderWithTheWaveFilter) {
    bool browsedBeforeShown = false;
    Run(QStringLiteral("engine.wav"), QString(),
        [&](QDialog&) { browsedBeforeShown = picker.requests.size() == 1; });
    EXPECT_TRUE(browsedBeforeShown);
    ASSERT_EQ(picker.requests.size(), 1);
    const ScriptedFilePicker::Request& request = picker.requests[0];
    EXPECT_TRUE(request.bOpen);
    EXPECT_EQ(request.flags, 0x81006U);
    EXPECT_EQ(request.filter,
              QStringLiteral("Wave Files (*.wav)|*.wav|Sound Files (*.wav *.aif *.aiff *.flac "
                             "*.ogg *.oga *.opus *.mp3)|*.wav;*.aif;*.aiff;*.flac;*.ogg;*.oga;"
                             "*.opus;*.mp3|All Files (*.*)|*.*||"));
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_EQ(request.file, QString());
    EXPECT_EQ(request.initialDir, QStringLiteral("/banks/korvex/"));
    EXPECT_EQ(runner.titles, QStringList{QStringLiteral("Select Sound File")});
}

TEST_F(SelectSoundFileDlgTest, CancelledBrowserKeepsTheNameAndPlayFindsItInTheBankFolder) {
    QString shown;
    bool playEnabled = false;
    const int result = Run(QStringLiteral("engine.wav"), QString(), [&](QDialog& d) {
        shown = Edit(d)->text();
        playEnabled = Button(d, IDC_PLAY)->isEnabled();
        DialogDriver::Click(Button(d, IDC_PLAY));
        DialogDriver::Click(Button(d, IDOK));
    });
    EXPECT_EQ(shown, QStringLiteral("engine.wav"));
    EXPECT_TRUE(playEnabled);
    ASSERT_EQ(sound.sounds.size(), 1);
    // Not the bare name, which would be looked for in the working folder.
    EXPECT_EQ(sound.sounds[0].path, QStringLiteral("/banks/korvex/engine.wav"));
    // Synchronous: no SND_ASYNC.
    EXPECT_EQ(sound.sounds[0].flags, SND_FILENAME);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg->m_strFileName, QStringLiteral("engine.wav"));

    // A wave file spelled otherwise on disk is the one played.
    TestFolder folder;
    const QString onDisk = folder.Write(QStringLiteral("Engine.WAV"), QByteArray("RIFF"));
    picker.answers << QString();
    runner.scripts << [&](QDialog& d) { DialogDriver::Click(Button(d, IDC_PLAY)); };
    dlg.emplace();
    dlg->m_strDirectory = folder.Path() + u'/';
    dlg->m_strFileName = QStringLiteral("engine.wav");
    dlg->DoModal();
    ASSERT_EQ(sound.sounds.size(), 2);
    EXPECT_EQ(sound.sounds[1].path, onDisk);
}

TEST_F(SelectSoundFileDlgTest, WithoutANameOrAChoicePlayStaysDisabled) {
    bool playEnabled = true;
    const int result = Run(QString(), QString(), [&](QDialog& d) {
        playEnabled = Button(d, IDC_PLAY)->isEnabled();
        DialogDriver::Click(Button(d, IDC_PLAY));
        DialogDriver::PressEnter(Edit(d));
    });
    EXPECT_FALSE(playEnabled);
    EXPECT_TRUE(sound.sounds.isEmpty());
    // OK with an empty box returns an empty name.
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg->m_strFileName, QString());
}

TEST_F(SelectSoundFileDlgTest, ChoiceFromAnotherFolderGivesItsNameAndPlaysItsPath) {
    QString shown;
    const int result = Run(QStringLiteral("engine.wav"),
                           QStringLiteral("/elsewhere/sounds/horn.wav"), [&](QDialog& d) {
                               shown = Edit(d)->text();
                               DialogDriver::Click(Button(d, IDC_PLAY));
                               // A typed name changes what OK returns, not what Play plays.
                               DialogDriver::Retype(Edit(d), QStringLiteral("bell.wav"));
                               DialogDriver::Click(Button(d, IDC_PLAY));
                               DialogDriver::Click(Button(d, IDOK));
                           });
    EXPECT_EQ(shown, QStringLiteral("horn.wav"));
    ASSERT_EQ(sound.sounds.size(), 2);
    EXPECT_EQ(sound.sounds[0].path, QStringLiteral("/elsewhere/sounds/horn.wav"));
    EXPECT_EQ(sound.sounds[1].path, QStringLiteral("/elsewhere/sounds/horn.wav"));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg->m_strFileName, QStringLiteral("bell.wav"));
}

TEST_F(SelectSoundFileDlgTest, BrowseButtonOpensTheBrowserAgainAndPlayFollowsItsPath) {
    QList<bool> playEnabled;
    QStringList shown;
    Run(QString(), QString(), [&](QDialog& d) {
        playEnabled << Button(d, IDC_PLAY)->isEnabled();
        picker.answers << QStringLiteral("/x/one.wav");
        DialogDriver::Click(Button(d, IDC_BROWSE));
        playEnabled << Button(d, IDC_PLAY)->isEnabled();
        shown << Edit(d)->text();
        // A cancelled browser keeps the last choice.
        DialogDriver::Click(Button(d, IDC_BROWSE));
        playEnabled << Button(d, IDC_PLAY)->isEnabled();
        shown << Edit(d)->text();
        DialogDriver::Click(Button(d, IDC_PLAY));
    });
    EXPECT_EQ(picker.requests.size(), 3);
    for (const ScriptedFilePicker::Request& request : picker.requests) {
        EXPECT_EQ(request.file, QString());
        EXPECT_EQ(request.filterIndex, 1);
    }
    EXPECT_EQ(playEnabled, (QList<bool>{false, true, true}));
    EXPECT_EQ(shown, (QStringList{"one.wav", "one.wav"}));
    ASSERT_EQ(sound.sounds.size(), 1);
    EXPECT_EQ(sound.sounds[0].path, QStringLiteral("/x/one.wav"));
}

// Any file may be chosen now: one whose name does not fit a record is
// converted into a new wave file under a short name by the sample dialog.
TEST_F(SelectSoundFileDlgTest, LongNamesTypedOrChosenAreTakenWhole) {
    QString typed;
    Run(QString(), QString(), [&](QDialog& d) {
        DialogDriver::Type(Edit(d), QStringLiteral("abcdefghijklmnopqrst"));
        typed = Edit(d)->text();
        DialogDriver::Click(Button(d, IDOK));
    });
    EXPECT_EQ(typed, QStringLiteral("abcdefghijklmnopqrst"));
    EXPECT_EQ(dlg->m_strFileName, QStringLiteral("abcdefghijklmnopqrst"));
    EXPECT_EQ(dlg->ChosenPath(), dlg->m_strDirectory + QStringLiteral("abcdefghijklmnopqrst"));
    EXPECT_TRUE(prompts.prompts.isEmpty());

    QString shown;
    const int result = Run(QStringLiteral("engine.wav"),
                           QStringLiteral("/x/a_rather_long_name.flac"), [&](QDialog& d) {
                               shown = Edit(d)->text();
                               DialogDriver::Click(Button(d, IDOK));
                           });
    EXPECT_EQ(shown, QStringLiteral("a_rather_long_name.flac"));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg->ChosenPath(), QStringLiteral("/x/a_rather_long_name.flac"));
    EXPECT_EQ(dlg->m_bKeepRate, 0);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(SelectSoundFileDlgTest, CancelGivesCancelAndLeavesTheCallersName) {
    const int result = Run(QStringLiteral("engine.wav"), QString(), [&](QDialog& d) {
        DialogDriver::Retype(Edit(d), QStringLiteral("other.wav"));
        DialogDriver::PressEscape(Edit(d));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg->m_strFileName, QStringLiteral("engine.wav"));
}

} // namespace
