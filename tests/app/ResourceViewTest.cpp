#include "EditorTestKit.h"
#include "SoundTools.h"

#include "cli/CKantelCli.h"
#include "format/CBnmFormat.h"
#include "framework/ui/PlaySound.h"
#include "views/CResourceCells.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTextStream>
#include <QUrl>

#include <algorithm>

#include <cstring>

namespace {

// The rows kantel-cli prints for a bank, each split into its cells.
QList<QStringList> CliRows(const QString& command, const QString& bank) {
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    EXPECT_EQ(CKantelCli::Run({QStringLiteral("kantel-cli"), command, bank}, outStream, errStream),
              0)
        << err.toStdString();
    outStream.flush();
    QList<QStringList> rows;
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts)) {
        rows.append(line.split(u'\t'));
    }
    return rows;
}

QByteArray Bytes(const SoundResource& r) {
    return QByteArray(reinterpret_cast<const char*>(&r), sizeof r);
}

// The centre of a rectangle as the list control computes it: right and
// bottom lie just outside the rectangle.
QPoint LabelCentre(const QRect& r) {
    return QPoint((r.left() + r.left() + r.width()) / 2, (r.top() + r.top() + r.height()) / 2);
}

class ResourceView : public EditorTest {
protected:
    CListCtrl& List() { return ActiveResourceView()->GetListCtrl(); }

    template <class T> static T* Control(QDialog& dlg, int id) {
        return DialogDriver::Control<T>(static_cast<CDialog&>(dlg), id);
    }

    // A script that types volume into the sample dialog and presses OK.
    static ScriptedModalRunner::Script SetVolume(const QString& volume) {
        return [volume](QDialog& dlg) {
            DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_VOLUME), volume);
            DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
        };
    }

    // A bank with one resource of each kind the view tells apart: a Sample,
    // a CD track, a resource of type 2.
    QString WriteMixedBank() {
        BankBuilder b;
        b.bank = 1;
        b.AddSample(5, QStringLiteral("a.wav"), BankBuilder::Pattern(64, 1), false);
        b.AddCdTrack(6, 5, 7);
        b.AddResource(7, 2);
        WriteFile(QStringLiteral("mixed/a.wav"), BankBuilder::Wave(BankBuilder::Pattern(64, 1)));
        return WriteFile(QStringLiteral("mixed/Bnk_1.bnm"), b.Build());
    }
};

TEST_F(ResourceView, OpeningShowsNineteenColumnsWithTheTextsKantelCliPrints) {
    const QString bank = WriteDemoBank();
    const QList<QStringList> cli = CliRows(QStringLiteral("resources"), bank);
    CKantelDoc* pDoc = Open(bank);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(Windows().size(), 1);
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Resource View"));

    CListCtrl& list = List();
    ASSERT_EQ(cli.size(), static_cast<int>(pDoc->Resources().size()) + 1);
    EXPECT_EQ(ColumnTitles(list), cli.at(0));
    const int widths[] = {100, 75, 100, 75, 100, 125, 200, 75,  75, 75,
                          75,  75, 75,  75, 75,  75,  100, 100, 75};
    for (int column = 0; column < 19; ++column) {
        int format = -1;
        ASSERT_TRUE(list.GetColumnFormat(column, &format));
        EXPECT_EQ(format, column >= 7 && column <= 10 ? LVCFMT_RIGHT : LVCFMT_LEFT) << column;
        // A title wider than its column in the desktop's font widens it.
        EXPECT_EQ(list.GetColumnWidth(column),
                  std::max(widths[column], list.header()->sectionSizeHint(column)))
            << column;
        const Qt::Alignment alignment =
            list.model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(alignment.testFlag(Qt::AlignRight), format == LVCFMT_RIGHT) << column;
    }
    ASSERT_EQ(list.GetItemCount(), static_cast<int>(pDoc->Resources().size()));
    for (int row = 0; row < list.GetItemCount(); ++row) {
        QStringList expected = cli.at(row + 1);
        // The banked Horn has no file name in the bank; opening gave it the
        // one its wave file was written under.
        if (expected.at(5).isEmpty() && pDoc->Resources()[row].IsBankedSample()) {
            expected[5] = CBnmFormat::FileNameText(pDoc->Resources()[row]);
            EXPECT_FALSE(expected[5].isEmpty());
            EXPECT_TRUE(QFileInfo::exists(pDoc->GetBankFolder() + expected[5]));
        }
        EXPECT_EQ(RowTexts(list, row), expected) << "row " << row;
    }
    // Nothing is selected, so neither command can be used.
    EXPECT_EQ(Selected(list), -1);
    EXPECT_FALSE(IsEnabled(ID_EDIT_PROPERTIES));
    EXPECT_FALSE(IsEnabled(ID_SOUND_PLAY));
}

TEST_F(ResourceView, EditInOneViewRefreshesEveryViewOfTheBankAndEachKeepsItsPlace) {
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    CMDIChildWnd* pFirst = ActiveWindow();
    QTest::keyClick(&List(), Qt::Key_R, Qt::ControlModifier); // New Resource View
    CMDIChildWnd* pSecond = ActiveWindow();
    QTest::keyClick(&List(), Qt::Key_E, Qt::ControlModifier); // New Event View
    CMDIChildWnd* pEvents = ActiveWindow();
    ASSERT_EQ(Windows(), (QList<CMDIChildWnd*>{pFirst, pSecond, pEvents}));
    ASSERT_NE(ViewOf<CEventView>(pEvents), nullptr);
    EXPECT_EQ(Captions(Windows()), (QStringList{QStringLiteral("Bnk_1.bnm - Resource View"),
                                                QStringLiteral("Bnk_1.bnm - Resource View"),
                                                QStringLiteral("Bnk_1.bnm - Event View")}));

    CListCtrl& events = ViewOf<CEventView>(pEvents)->GetListCtrl();
    ClickRow(events, 4);
    CListCtrl& second = ViewOf<CKantelView>(pSecond)->GetListCtrl();
    ClickRow(second, 1);
    pFirst->MDIActivate();
    CListCtrl& first = ViewOf<CKantelView>(pFirst)->GetListCtrl();
    // A width the user dragged outlives the refill.
    first.header()->resizeSection(6, 260);

    dialogs.scripts << SetVolume(QStringLiteral("33"));
    DoubleClickRow(first, 3);
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("Sound Resource Properties")});

    EXPECT_EQ(pDoc->Resources()[3].volume, 33);
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(Captions(Windows()), (QStringList{QStringLiteral("Bnk_1.bnm - Resource View *"),
                                                QStringLiteral("Bnk_1.bnm - Resource View *"),
                                                QStringLiteral("Bnk_1.bnm - Event View *")}));
    EXPECT_EQ(first.model()->index(3, 12).data().toString(), QStringLiteral("33"));
    EXPECT_EQ(second.model()->index(3, 12).data().toString(), QStringLiteral("33"));
    EXPECT_EQ(Selected(first), 3);
    EXPECT_EQ(first.GetItemState(3, LVIS_FOCUSED), LVIS_FOCUSED);
    // The other lists keep their places.
    EXPECT_EQ(Selected(second), 1);
    EXPECT_EQ(Selected(events), 4);
    EXPECT_EQ(first.GetColumnWidth(6), 260);
}

TEST_F(ResourceView, CdTrackIsEditedFromTheKeyboard) {
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    ClickRow(List(), 13);
    dialogs.scripts << [](QDialog& dlg) {
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_CD_TRACK), QStringLiteral("9"));
        DialogDriver::PressEnter(Control<QLineEdit>(dlg, IDC_CD_TRACK));
    };
    QTest::keyClick(&List(), Qt::Key_Return, Qt::AltModifier); // Properties
    ASSERT_EQ(dialogs.titles.size(), 1);
    EXPECT_EQ(pDoc->Resources()[13].cdTrack, 9);
    EXPECT_EQ(RowTexts(List(), 13).at(18), QStringLiteral("9"));
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Resource View *"));
    EXPECT_EQ(Selected(List()), 13);
}

TEST_F(ResourceView, CancelledDialogLeavesRecordFlagAndViewsAlone) {
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    ClickRow(List(), 0);
    const QByteArray before = Bytes(pDoc->Resources()[0]);
    dialogs.scripts << [](QDialog& dlg) {
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_VOLUME), QStringLiteral("5"));
        DialogDriver::PressEscape(Control<QLineEdit>(dlg, IDC_VOLUME));
    };
    DoubleClickRow(List(), 0);
    ASSERT_EQ(dialogs.titles.size(), 1);
    EXPECT_EQ(Bytes(pDoc->Resources()[0]), before);
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Resource View"));
    EXPECT_EQ(Selected(List()), 0);
}

TEST_F(ResourceView, PlayAndPropertiesFollowTheTypeOfTheSelectedRow) {
    ASSERT_NE(Open(WriteMixedBank()), nullptr);
    EXPECT_EQ(RowTexts(List(), 2),
              (QStringList{"", "2", "7", "Unknown", "External", "", "", "Unknown", "", "", "", "",
                           "", "", "", "", "", "", ""}));
    EXPECT_EQ(RowTexts(List(), 1).mid(16), (QStringList{"7", "", "5"}));

    struct Case {
        int row;
        bool enabled;
    };
    for (const Case& c : {Case{0, true}, Case{1, true}, Case{2, false}}) {
        ClickRow(List(), c.row);
        EXPECT_EQ(IsEnabled(ID_EDIT_PROPERTIES), c.enabled) << c.row;
        EXPECT_EQ(IsEnabled(ID_SOUND_PLAY), c.enabled) << c.row;
    }
    // A double-click on the resource of type 2 opens nothing.
    DoubleClickRow(List(), 2);
    EXPECT_TRUE(dialogs.titles.isEmpty());

    // The Play item and toolbar button show the same state.
    ClickRow(List(), 0);
    QMenu* pSound = OpenPopup(QStringLiteral("&Sound"));
    EXPECT_EQ(Items(pSound),
              (QStringList{QStringLiteral("&Play\tSpace"), QStringLiteral("&Stop (off)"),
                           QStringLiteral("-"), QStringLiteral("&Import Sound..."),
                           QStringLiteral("&Export Sounds..."),
                           QStringLiteral("Replace from &Folder...")}));
    frame->OnIdleUpdateCmdUI();
    EXPECT_TRUE(frame->GetCommandAction(ID_SOUND_PLAY)->isEnabled());
}

TEST_F(ResourceView, BankWithoutResourcesShowsTheColumnsAndNoRows) {
    BankBuilder b;
    b.bank = 0;
    // The resource table's offset must lie inside the file.
    b.gapAfterTables = 4;
    b.AddEvent(1, SoundEvent::kTypePlay, 0);
    ASSERT_NE(Open(folder.Write(QStringLiteral("Bnk_0.bnm"), b.Build())), nullptr)
        << prompts->Texts().join(u'|').toStdString() << dialogs.titles.join(u'|').toStdString();
    EXPECT_EQ(List().GetColumnCount(), 19);
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_FALSE(IsEnabled(ID_EDIT_PROPERTIES));
    EXPECT_FALSE(IsEnabled(ID_SOUND_PLAY));
}

TEST_F(ResourceView, SpacePlaysTheSelectedSampleAndNotACdTrack) {
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    const QString folderPath = pDoc->GetBankFolder();

    ClickRow(List(), 0);
    QTest::keyClick(&List(), Qt::Key_Space);
    ASSERT_EQ(sounds.sounds.size(), 1);
    EXPECT_EQ(sounds.sounds.at(0).path, folderPath + QStringLiteral("engidle.wav"));
    EXPECT_EQ(sounds.sounds.at(0).flags, SND_FILENAME | SND_ASYNC);
    EXPECT_TRUE(QFileInfo::exists(sounds.sounds.at(0).path)) << "opening wrote it";
    EXPECT_EQ(Selected(List()), 0);

    // Play is enabled on a CD track, but there is nothing to play.
    ClickRow(List(), 12);
    EXPECT_TRUE(IsEnabled(ID_SOUND_PLAY));
    QTest::keyClick(&List(), Qt::Key_Space);
    frame->OnCommand(ID_SOUND_PLAY);
    EXPECT_EQ(sounds.sounds.size(), 1);
    EXPECT_EQ(Selected(List()), 12);

    // The Play command plays an external sample from the bank's folder.
    ClickRow(List(), 4);
    frame->GetCommandAction(ID_SOUND_PLAY)->trigger();
    ASSERT_EQ(sounds.sounds.size(), 2);
    EXPECT_EQ(sounds.sounds.at(1).path, folderPath + QStringLiteral("crash.wav"));
}

TEST_F(ResourceView, ContextMenuFromTheKeyboardOpensAtTheCentreOfTheSelectedRowsLabel) {
    ASSERT_NE(OpenDemoBank(), nullptr);
    ScriptedMenuRunner menus;

    // No selected row: no menu, by keyboard or mouse.
    AskForContextMenuByKeyboard(List());
    const QPoint below(20, List().viewport()->height() - 3);
    ASSERT_LT(List().indexAt(below).row(), 0) << "the demo bank fills the list";
    QTest::mouseClick(List().viewport(), Qt::RightButton, Qt::NoModifier, below);
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, below, List().viewport()->mapToGlobal(below));
    QCoreApplication::sendEvent(List().viewport(), &mouse);
    EXPECT_TRUE(menus.menus.isEmpty());

    ClickRow(List(), 5);
    menus.choose = QStringLiteral("Properties");
    AskForContextMenuByKeyboard(List());
    ASSERT_EQ(menus.points.size(), 1);
    QRect label;
    ASSERT_TRUE(List().GetItemRect(5, &label, LVIR_LABEL));
    EXPECT_EQ(menus.points.at(0), List().viewport()->mapToGlobal(LabelCentre(label)));
    EXPECT_EQ(menus.menus.at(0),
              (QStringList{QStringLiteral("P&lay"), QStringLiteral("&Import Sound..."),
                           QStringLiteral("&Export Sounds..."), QStringLiteral("-"),
                           QStringLiteral("Properties")}));
    // The chosen item went through the routing to the view.
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("Sound Resource Properties")});

    // Shift+F10 asks for the same menu.
    menus.choose = QStringLiteral("P&lay");
    QTest::keyClick(&List(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(menus.points.size(), 2);
    EXPECT_EQ(menus.points.at(1), menus.points.at(0));
    ASSERT_EQ(sounds.sounds.size(), 1);
    EXPECT_TRUE(sounds.sounds.at(0).path.endsWith(QStringLiteral("/gear.wav")));

    // With the mouse the menu opens at the pointer.
    const QPoint row2 = RowPoint(List(), 2);
    QTest::mouseClick(List().viewport(), Qt::RightButton, Qt::NoModifier, row2);
    QContextMenuEvent onRow(QContextMenuEvent::Mouse, row2, List().viewport()->mapToGlobal(row2));
    QCoreApplication::sendEvent(List().viewport(), &onRow);
    ASSERT_EQ(menus.points.size(), 3);
    EXPECT_EQ(menus.points.at(2), List().viewport()->mapToGlobal(row2));
}

} // namespace

// Export Sounds as a user meets it: the question whether the selected sample
// alone is meant, the folder, the questions about files there, and the
// command from the context menu.
TEST_F(ResourceView, ExportSoundsAsksForTheSelectedOneOrAllThenAFolder) {
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    const QString out = folder.FilePath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(out));
    const auto exported = [&] { return QDir(out).entryList(QDir::Files, QDir::Name); };

    // Horn alone.
    ClickRow(List(), 2);
    ASSERT_TRUE(IsEnabled(ID_SOUND_EXPORT));
    prompts->answers = {IDYES};
    files.answers = {out};
    frame->GetCommandAction(ID_SOUND_EXPORT)->trigger();
    ASSERT_EQ(prompts->prompts.size(), 2);
    // Afterwards the user is told how many files went where.
    EXPECT_EQ(prompts->prompts[1].text, QStringLiteral("1 wave file was written to %1.").arg(out));
    EXPECT_EQ(prompts->prompts[0].text,
              QStringLiteral("Export only the selected sound, Horn.wav?\nYes exports Horn.wav "
                             "alone, No all 12 sounds of the bank."));
    EXPECT_EQ(prompts->prompts[0].type, MB_YESNOCANCEL | MB_ICONQUESTION);
    ASSERT_EQ(files.requests.size(), 1);
    EXPECT_TRUE(files.requests[0].bFolder);
    EXPECT_EQ(files.requests[0].title, QStringLiteral("Export Sounds"));
    EXPECT_EQ(files.requests[0].initialDir, pDoc->GetBankFolder());
    EXPECT_EQ(exported(), QStringList{QStringLiteral("Horn.wav")});

    // All of them: Horn.wav is there now, and No keeps it.
    const QByteArray horn = folder.Read(QStringLiteral("out/Horn.wav"));
    folder.Write(QStringLiteral("out/Horn.wav"), "kept");
    prompts->prompts.clear();
    prompts->answers = {IDNO, IDNO};
    files.answers = {out};
    frame->OnCommand(ID_SOUND_EXPORT);
    ASSERT_EQ(prompts->prompts.size(), 3);
    EXPECT_EQ(prompts->prompts[2].text,
              QStringLiteral("11 wave files were written to %1.").arg(out));
    EXPECT_EQ(prompts->prompts[1].text,
              QStringLiteral("%1/Horn.wav already exists.\nDo you want to replace it?").arg(out));
    EXPECT_EQ(exported().size(), 12);
    EXPECT_EQ(folder.Read(QStringLiteral("out/Horn.wav")), QByteArray("kept"));
    EXPECT_EQ(Selected(List()), 2);

    // From the context menu on a CD track nothing is asked but the folder,
    // and Cancel there exports nothing.
    ClickRow(List(), 12);
    ScriptedMenuRunner menus;
    menus.choose = QStringLiteral("&Export Sounds...");
    prompts->prompts.clear();
    files.answers = {QString()};
    AskForContextMenuByKeyboard(List());
    EXPECT_EQ(files.requests.size(), 3);
    EXPECT_TRUE(prompts->prompts.isEmpty());
    EXPECT_EQ(folder.Read(QStringLiteral("out/Horn.wav")), QByteArray("kept"));

    // Replacing what is there.
    prompts->answers = {IDYESTOALL};
    files.answers = {out};
    AskForContextMenuByKeyboard(List());
    EXPECT_EQ(prompts->prompts.size(), 2); // the question, then the count
    EXPECT_EQ(folder.Read(QStringLiteral("out/Horn.wav")), horn);
    EXPECT_FALSE(pDoc->IsModified());
}

TEST_F(ResourceView, ExportSoundsNeedsASample) {
    BankBuilder b;
    b.bank = 1;
    b.AddCdTrack(6, 5, 7);
    ASSERT_NE(Open(WriteFile(QStringLiteral("cd/Bnk_1.bnm"), b.Build())), nullptr);
    EXPECT_FALSE(IsEnabled(ID_SOUND_EXPORT));
    ASSERT_NE(Open(WriteMixedBank()), nullptr);
    EXPECT_TRUE(IsEnabled(ID_SOUND_EXPORT));
    frame->OnCommand(ID_WINDOW_NEW_EVENT_VIEW);
    ASSERT_NE(ActiveEventView(), nullptr);
    EXPECT_FALSE(IsEnabled(ID_SOUND_EXPORT));
}

// The prompt's box reaches the import. The demo's Crash is under one
// gating block, so its peak level is what is matched.
TEST_F(ResourceView, TheImportPromptsBoxMatchesTheSoundItReplaces) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    const QString flac = folder.FilePath(QStringLiteral("quiet.flac"));
    ASSERT_TRUE(
        SoundTools::Tone(flac, {QStringLiteral("-r"), QStringLiteral("22050")}, 1.0, 440, -30.0));
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    QString crash;
    ASSERT_TRUE(pDoc->GetSampleFilePath(4, crash));
    const double oldPeak = SoundTools::PeakDb(SoundTools::Read(crash));
    ClickRow(List(), 4);
    files.answers << flac;
    prompts->checks = {true};
    frame->GetCommandAction(ID_SOUND_IMPORT)->trigger();
    ASSERT_EQ(prompts->prompts.size(), 1) << qPrintable(prompts->Texts().join(u'|'));
    EXPECT_EQ(prompts->prompts[0].check,
              QStringLiteral("Match the loudness of the sound it replaces"));
    QString made;
    ASSERT_TRUE(pDoc->GetSampleFilePath(4, made));
    ASSERT_NE(made, crash);
    EXPECT_NEAR(SoundTools::PeakDb(SoundTools::Read(made)), oldPeak, 0.5);
    EXPECT_TRUE(pDoc->IsModified());
}

TEST_F(ResourceView, ImportSoundAndADroppedFileMakeASoundTheSamplesOwn) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    const QString flac = folder.FilePath(QStringLiteral("Big Bang.flac"));
    ASSERT_TRUE(
        SoundTools::Tone(flac,
                         {QStringLiteral("-r"), QStringLiteral("44100"), QStringLiteral("-c"),
                          QStringLiteral("2"), QStringLiteral("-b"), QStringLiteral("24")},
                         0.5));
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    // Crash: 22,050 Hz stereo 16-bit, external.
    ClickRow(List(), 4);
    ASSERT_TRUE(IsEnabled(ID_SOUND_IMPORT));
    files.answers << flac;
    prompts->answers = {IDYES};
    frame->GetCommandAction(ID_SOUND_IMPORT)->trigger();
    ASSERT_EQ(files.requests.size(), 1);
    EXPECT_EQ(files.requests[0].initialDir, pDoc->GetBankFolder());
    ASSERT_EQ(prompts->Texts().size(), 1);
    EXPECT_TRUE(prompts->Texts()[0].startsWith(
        QStringLiteral("Big Bang.flac (FLAC, 24-bit, 44.1 kHz, stereo) will be converted to "
                       "22,050 Hz, stereo, 16-bit and saved in the bank's folder")))
        << qPrintable(prompts->Texts()[0]);
    // Each button says what it does; No is the file's own rate.
    EXPECT_EQ(prompts->prompts[0].buttons,
              (QStringList{QStringLiteral("Convert to 22,050 Hz"), QStringLiteral("Keep 44,100 Hz"),
                           QStringLiteral("Cancel")}));
    const SoundResource& crash = pDoc->Resources()[4];
    EXPECT_EQ(CBnmFormat::FileNameText(crash), QStringLiteral("Big_Bang.wav"));
    EXPECT_EQ(crash.samplesPerSec, 22050);
    EXPECT_EQ(crash.channels, 2);
    EXPECT_EQ(crash.length, 11025 * 4);
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(Selected(List()), 4) << "the row stays selected";
    EXPECT_EQ(RowTexts(List(), 4).at(CResourceCells::FileName), QStringLiteral("Big_Bang.wav"));

    // Dropped on Skid (11,025 Hz mono 8-bit), keeping the file's own rate.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(flac)});
    const QPoint skid = RowPoint(List(), 3);
    QDragEnterEvent enter(skid, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(List().viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    prompts->answers = {IDNO};
    QDropEvent drop(skid, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(List().viewport(), &drop);
    const SoundResource& r = pDoc->Resources()[3];
    EXPECT_EQ(CBnmFormat::FileNameText(r), QStringLiteral("Big_Bang_1.wav"));
    EXPECT_EQ(r.samplesPerSec, 44100);
    EXPECT_EQ(r.channels, 1);
    EXPECT_EQ(r.bitsPerSample, 8);
    EXPECT_EQ(r.length, 22050);

    // A bank dropped on the list is left to the frame, which opens it.
    CListCtrl& list = List();
    QMimeData bankData;
    bankData.setUrls({QUrl::fromLocalFile(WriteDemoBank(QStringLiteral("other")))});
    QDragEnterEvent bankEnter(skid, Qt::CopyAction, &bankData, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &bankEnter);
    EXPECT_TRUE(bankEnter.isAccepted());
    QDropEvent bankDrop(skid, Qt::CopyAction, &bankData, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list.viewport(), &bankDrop);
    EXPECT_EQ(Windows().size(), 2);
    EXPECT_EQ(pDoc->Resources()[3].length, 22050) << "the dropped bank changed no sample";

    // Saved, the bank holds both new sounds.
    prompts->answers.clear();
    ASSERT_TRUE(pDoc->OnSaveDocument(pDoc->GetPathName()));
    CKantelDoc reopened;
    ASSERT_TRUE(reopened.LoadBankAndNames(pDoc->GetPathName()));
    EXPECT_EQ(reopened.Resources()[3].length, 22050);
    EXPECT_EQ(CBnmFormat::FileNameText(reopened.Resources()[4]), QStringLiteral("Big_Bang.wav"));
}

// Replace from Folder as a user meets it: the folder, the preview whose rows
// can be unticked and whose Keep rate shows its effect at once, one undo
// step for all of it.
TEST_F(ResourceView, ReplaceFromFolderPreviewsAppliesTheTickedRowsAndUndoesInOneStep) {
    if (!SoundTools::Available()) {
        GTEST_SKIP() << "sox and ffmpeg are needed";
    }
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    const std::vector<SoundResource> opened(pDoc->Resources().begin(), pDoc->Resources().end());
    const QString sounds = folder.FilePath(QStringLiteral("sounds"));
    ASSERT_TRUE(QDir().mkpath(sounds));
    const QStringList format{QStringLiteral("-r"), QStringLiteral("48000"), QStringLiteral("-c"),
                             QStringLiteral("1"),  QStringLiteral("-b"),    QStringLiteral("16")};
    for (const char* name : {"Skid.flac", "gear.wav", "trumpet.wav"}) {
        ASSERT_TRUE(
            SoundTools::Tone(sounds + QLatin1Char('/') + QString::fromLatin1(name), format, 0.2));
    }

    QStringList shown;
    dialogs.scripts << [&](QDialog& dlg) {
        auto* pTable = dlg.findChild<QTableWidget*>(QStringLiteral("replaceTable"));
        ASSERT_NE(pTable, nullptr);
        ASSERT_EQ(pTable->rowCount(), 2);
        for (int column = 1; column < pTable->columnCount(); ++column) {
            shown.append(pTable->item(0, column)->text());
        }
        Control<QCheckBox>(dlg, IDC_KEEP_RATE)->click();
        shown.append(pTable->item(0, 4)->text());
        Control<QCheckBox>(dlg, IDC_KEEP_RATE)->click();
        pTable->item(1, 0)->setCheckState(Qt::Unchecked);
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
    };
    files.answers = {sounds};
    ASSERT_TRUE(IsEnabled(ID_SOUND_REPLACE_FOLDER));
    frame->GetCommandAction(ID_SOUND_REPLACE_FOLDER)->trigger();
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("Replace from Folder")});
    ASSERT_EQ(files.requests.size(), 1);
    EXPECT_TRUE(files.requests[0].bFolder);
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("3 Skid"), QStringLiteral("Skid.flac"),
                           QStringLiteral("48000 Hz mono 16 bit"),
                           QStringLiteral("11025 Hz mono 8 bit"), QStringLiteral("loop kept"),
                           QStringLiteral("-"), QStringLiteral("48000 Hz mono 8 bit")}));
    EXPECT_TRUE(prompts->prompts.isEmpty()) << qPrintable(prompts->Texts().join(u'\n'));

    EXPECT_EQ(CBnmFormat::FileNameText(pDoc->Resources()[3]), QStringLiteral("Skid_1.wav"));
    EXPECT_EQ(pDoc->Resources()[3].samplesPerSec, 11025);
    EXPECT_EQ(CBnmFormat::FileNameText(pDoc->Resources()[5]), QStringLiteral("gear.wav"))
        << "the unticked gear stays";
    QMenu* pEdit = OpenPopup(QStringLiteral("&Edit"));
    EXPECT_EQ(Items(pEdit).value(0), QStringLiteral("&Undo Replace 1 Sound\tCtrl+Z"));
    // The progress window was shown at once and is gone: a window manager
    // gives the activation back, the offscreen platform does not.
    QApplication::setActiveWindow(frame);
    QTest::keyClick(&List(), Qt::Key_Z, Qt::ControlModifier);
    for (size_t i = 0; i < opened.size(); ++i) {
        EXPECT_EQ(std::memcmp(&pDoc->Resources()[i], &opened[i], sizeof(SoundResource)), 0) << i;
    }
    EXPECT_FALSE(pDoc->IsModified());

    // A folder with nothing to take says so and shows no preview.
    const QString empty = folder.FilePath(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkpath(empty));
    files.answers = {empty};
    frame->OnCommand(ID_SOUND_REPLACE_FOLDER);
    EXPECT_EQ(dialogs.titles.size(), 1);
    ASSERT_EQ(prompts->prompts.size(), 1);
    EXPECT_EQ(prompts->prompts[0].text,
              QStringLiteral("No sound file in %1/ can replace a sample.").arg(empty));
}
