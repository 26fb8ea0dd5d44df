#include "EditorTestKit.h"

#include "framework/core/CDocument.h"
#include "framework/ui/CProgressDialogSink.h"
#include "framework/ui/CRecentFileList.h"
#include "framework/ui/CToolBar.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>

#include <cstring>

namespace {

class KantelApp : public EditorTest {
protected:
    void Restart() {
        QuitEditor();
        StartEditor();
    }

    void StoreGame(const QVariant& value) {
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Settings/Game"), value);
    }

    QVariant StoredGame() const {
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        return settings.value(QStringLiteral("Settings/Game"));
    }

    // The Game pop-up's items with their marks, as the menu bar shows it now.
    QStringList GameMenu() const { return Items(OpenPopup(QStringLiteral("&Game"))); }

    bool ToolbarButtonChecked(int nID) {
        frame->OnIdleUpdateCmdUI();
        return frame->GetCommandAction(nID)->isChecked();
    }

    template <class T> static T* Control(QDialog& dlg, int id) {
        return DialogDriver::Control<T>(static_cast<CDialog&>(dlg), id);
    }
};

TEST_F(KantelApp, StartsWithoutABankWithKorvexMarked) {
    EXPECT_TRUE(Windows().isEmpty());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->GetMenuResourceId(), IDR_MAINFRAME);
    EXPECT_EQ(app->m_nGame, 0);
    EXPECT_EQ(app->m_bHaveGameDir, 0) << "no game is installed in the test's Wine prefix";
    EXPECT_EQ(GameMenu(),
              (QStringList{QStringLiteral("&Korvex (checked)"), QStringLiteral("&Lunaris")}));
    EXPECT_TRUE(ToolbarButtonChecked(ID_GAME_KORVEX));
    EXPECT_FALSE(ToolbarButtonChecked(ID_GAME_LUNARIS));
    EXPECT_TRUE(IsEnabled(ID_GAME_LUNARIS));
}

TEST_F(KantelApp, StoredGameIsClampedAtStartAndTheClampedValueIsStoredAtExit) {
    struct Case {
        QVariant stored;
        int game;
    };
    for (const Case& c : {Case{5, 1}, Case{-2, 0}, Case{1, 1}, Case{QStringLiteral("x"), 0}}) {
        QuitEditor();
        StoreGame(c.stored);
        StartEditor();
        EXPECT_EQ(app->m_nGame, c.game) << c.stored.toString().toStdString();
        EXPECT_EQ(
            GameMenu(),
            c.game == 1
                ? (QStringList{QStringLiteral("&Korvex"), QStringLiteral("&Lunaris (checked)")})
                : (QStringList{QStringLiteral("&Korvex (checked)"), QStringLiteral("&Lunaris")}));
        QuitEditor();
        EXPECT_EQ(StoredGame().toInt(), c.game) << c.stored.toString().toStdString();
        StartEditor();
    }
}

TEST_F(KantelApp, ChosenGameIsMarkedInBothMenuBarsAndOnTheToolbarAndRemembered) {
    QAction* pLunaris = Item(OpenPopup(QStringLiteral("&Game")), QStringLiteral("&Lunaris"));
    ASSERT_NE(pLunaris, nullptr);
    pLunaris->trigger();
    EXPECT_EQ(app->m_nGame, 1);
    EXPECT_EQ(GameMenu(),
              (QStringList{QStringLiteral("&Korvex"), QStringLiteral("&Lunaris (checked)")}));

    ASSERT_NE(OpenDemoBank(), nullptr);
    ASSERT_EQ(frame->GetMenuResourceId(), IDR_BNMTYPE);
    EXPECT_EQ(GameMenu(),
              (QStringList{QStringLiteral("&Korvex"), QStringLiteral("&Lunaris (checked)")}));
    EXPECT_TRUE(ToolbarButtonChecked(ID_GAME_LUNARIS));
    EXPECT_FALSE(ToolbarButtonChecked(ID_GAME_KORVEX));

    Restart();
    EXPECT_EQ(StoredGame().toInt(), 1);
    EXPECT_EQ(GameMenu(),
              (QStringList{QStringLiteral("&Korvex"), QStringLiteral("&Lunaris (checked)")}));
    frame->GetCommandAction(ID_GAME_KORVEX)->trigger();
    EXPECT_EQ(app->m_nGame, 0);
    QuitEditor();
    EXPECT_EQ(StoredGame().toInt(), 0);
}

TEST_F(KantelApp, OpenEditSaveRoundTrip) {
    const QString bank = WriteDemoBank();
    CKantelDoc* pDoc = Open(bank);
    ASSERT_NE(pDoc, nullptr);
    QTest::keyClick(&ActiveResourceView()->GetListCtrl(), Qt::Key_E, Qt::ControlModifier);
    Windows().at(0)->MDIActivate();
    CListCtrl& list = ActiveResourceView()->GetListCtrl();

    // Wind (row 9): volume 60 to 61, loop off.
    ClickRow(list, 9);
    dialogs.scripts << [](QDialog& dlg) {
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_VOLUME), QStringLiteral("61"));
        DialogDriver::Click(Control<QCheckBox>(dlg, IDC_LOOPED));
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
    };
    QTest::keyClick(&list, Qt::Key_Return, Qt::AltModifier);
    ASSERT_EQ(dialogs.titles.size(), 1);
    ASSERT_EQ(Captions(Windows()), (QStringList{QStringLiteral("Bnk_1.bnm - Resource View *"),
                                                QStringLiteral("Bnk_1.bnm - Event View *")}));

    QTest::keyClick(&list, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(prompts->prompts.isEmpty()) << prompts->Texts().join(u'|').toStdString();
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(Captions(Windows()), (QStringList{QStringLiteral("Bnk_1.bnm - Resource View"),
                                                QStringLiteral("Bnk_1.bnm - Event View")}));

    // The file holds the edit, and every sample's data is where the table says.
    CKantelDoc saved;
    ASSERT_TRUE(saved.LoadBankAndNames(bank));
    ASSERT_EQ(static_cast<int>(saved.Resources().size()),
              static_cast<int>(pDoc->Resources().size()));
    EXPECT_EQ(saved.Resources()[9].volume, 61);
    EXPECT_EQ(saved.Resources()[9].looped, 0);
    for (int i = 0; i < static_cast<int>(saved.Resources().size()); ++i) {
        EXPECT_EQ(0,
                  std::memcmp(&saved.Resources()[i], &pDoc->Resources()[i], sizeof(SoundResource)))
            << "record " << i;
    }

    // Closing the saved bank asks nothing.
    frame->OnCommand(ID_FILE_CLOSE);
    DeleteClosedWindows();
    EXPECT_TRUE(Windows().isEmpty());
    EXPECT_TRUE(prompts->prompts.isEmpty());
}

TEST_F(KantelApp, QuittingAsksAboutEachModifiedBankOnceAndClosesEveryWindow) {
    CKantelDoc* pFirst = OpenDemoBank();
    CKantelDoc* pSecond = Open(WriteDemoBank(QStringLiteral("second")));
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pSecond, nullptr);
    QTest::keyClick(&ActiveResourceView()->GetListCtrl(), Qt::Key_E, Qt::ControlModifier);
    Windows().at(0)->MDIActivate();
    QTest::keyClick(&ActiveResourceView()->GetListCtrl(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(Windows().size(), 4);
    pSecond->SetModifiedFlag(true);

    prompts->answers = {IDNO};
    frame->OnCommand(ID_APP_EXIT);
    DeleteClosedWindows();
    EXPECT_TRUE(frame.isNull());
    EXPECT_EQ(prompts->Texts(), QStringList{QStringLiteral("Save changes to Bnk_1.bnm?")});
    EXPECT_EQ(app->m_pDocManager->GetOpenDocumentCount(), 0);
    // ExitInstance (in the fixture's tear-down) then deletes the event
    // template once; the sanitizers would see a second time.
}

TEST_F(KantelApp, RecentFileListHoldsEightBanks) {
    for (int i = 0; i < 9; ++i) {
        ASSERT_NE(Open(WriteDemoBank(QStringLiteral("bank%1").arg(i))), nullptr);
    }
    Restart();
    ASSERT_NE(app->m_pRecentFileList, nullptr);
    EXPECT_EQ(app->m_pRecentFileList->GetCount(), 8);
    frame->OnCommand(ID_FILE_MRU_FILE1);
    ASSERT_EQ(Windows().size(), 1);
    EXPECT_EQ(ActiveWindow()->GetActiveDocument()->GetPathName(),
              folder.FilePath(QStringLiteral("bank8/Bnk_1.bnm")));
}

TEST_F(KantelApp, LongWorkOfTheBankShowsTheProgressDialogOverTheMainFrame) {
    // A sample whose data runs past the end of the bank stops the extraction
    // with a message box, in the middle of the work: a look at the progress
    // dialog then needs no clock.
    BankBuilder b;
    b.bank = 1;
    b.AddSample(1, QStringLiteral("a.wav"), BankBuilder::Pattern(400, 1), true);
    b.AddSample(2, QStringLiteral("b.wav"), BankBuilder::Pattern(400, 2), true).length = 500;
    const QString bank = WriteFile(QStringLiteral("short/Bnk_1.bnm"), b.Build());

    // The application's own message boxes this time, through the runner.
    prompts.reset();
    struct Seen {
        bool busy = false;
        bool dialog = false;
        QString label;
        int minimumDuration = -1;
        QWidget* parent = nullptr;
        Qt::WindowModality modality = Qt::NonModal;
        QString message;
    } seen;
    dialogs.scripts << [&seen](QDialog& box) {
        seen.busy = CProgressDialogSink::IsBusy();
        const auto* pSink = dynamic_cast<CProgressDialogSink*>(&CDocument::Progress());
        if (const QProgressDialog* pProgress = pSink != nullptr ? pSink->GetDialog() : nullptr) {
            seen.dialog = true;
            seen.label = pProgress->labelText();
            seen.minimumDuration = pProgress->minimumDuration();
            seen.parent = pProgress->parentWidget();
            seen.modality = pProgress->windowModality();
        }
        if (const auto* pBox = qobject_cast<QMessageBox*>(&box)) {
            seen.message = pBox->text();
        }
    };
    CKantelDoc* pDoc = Open(bank);
    prompts = std::make_unique<RecordingPromptSink>();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("Kantel")});
    EXPECT_TRUE(seen.message.startsWith(QStringLiteral("End of file reached.")))
        << seen.message.toStdString();
    EXPECT_TRUE(seen.busy);
    ASSERT_TRUE(seen.dialog);
    EXPECT_EQ(seen.label, QStringLiteral("Writing samples"));
    EXPECT_EQ(seen.minimumDuration, 500);
    EXPECT_EQ(seen.parent, frame.data());
    EXPECT_EQ(seen.modality, Qt::WindowModal);
    EXPECT_FALSE(CProgressDialogSink::IsBusy());
    // The repair made the bank modified.
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Resource View *"));

    // After exit the documents report to nobody again.
    QuitEditor();
    EXPECT_EQ(dynamic_cast<CProgressDialogSink*>(&CDocument::Progress()), nullptr);
}

} // namespace
