#include "EditorTestKit.h"

#include "cli/CKantelCli.h"
#include "format/CBnmFormat.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>

#include <algorithm>

namespace {

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

QPoint LabelCentre(const QRect& r) {
    return QPoint((r.left() + r.left() + r.width()) / 2, (r.top() + r.top() + r.height()) / 2);
}

class EventView : public EditorTest {
protected:
    // Opens the demo bank and an event list on it (Ctrl+E in the resource
    // list); returns the event list.
    CListCtrl* OpenDemoEvents() {
        pDoc = OpenDemoBank();
        if (pDoc == nullptr || ActiveResourceView() == nullptr) {
            return nullptr;
        }
        QTest::keyClick(&ActiveResourceView()->GetListCtrl(), Qt::Key_E, Qt::ControlModifier);
        return ActiveEventView() != nullptr ? &ActiveEventView()->GetListCtrl() : nullptr;
    }

    template <class T> static T* Control(QDialog& dlg, int id) {
        return DialogDriver::Control<T>(static_cast<CDialog&>(dlg), id);
    }

    CKantelDoc* pDoc = nullptr;
};

TEST_F(EventView, NewEventViewListsTheEventsAsKantelCliPrintsThem) {
    const QList<QStringList> cli = CliRows(QStringLiteral("events"), WriteDemoBank());
    CListCtrl* pList = OpenDemoEvents();
    ASSERT_NE(pList, nullptr);
    ASSERT_EQ(Windows().size(), 2);
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Event View"));
    EXPECT_EQ(ActiveEventView()->GetDocument(), pDoc) << "the bank is not opened again";

    EXPECT_EQ(ColumnTitles(*pList), cli.at(0));
    const int widths[] = {75, 75, 75, 225, 75, 75, 75, 75};
    for (int column = 0; column < 8; ++column) {
        int format = -1;
        ASSERT_TRUE(pList->GetColumnFormat(column, &format));
        EXPECT_EQ(format, LVCFMT_LEFT);
        EXPECT_EQ(pList->GetColumnWidth(column),
                  std::max(widths[column], pList->header()->sectionSizeHint(column)));
    }
    ASSERT_EQ(pList->GetItemCount(), static_cast<int>(pDoc->Events().size()));
    ASSERT_EQ(cli.size(), static_cast<int>(pDoc->Events().size()) + 1);
    // Opening named the banked Horn's wave file, which its label shows.
    const QString horn = CBnmFormat::FileNameText(pDoc->Resources()[2]);
    ASSERT_FALSE(horn.isEmpty());
    for (int row = 0; row < pList->GetItemCount(); ++row) {
        QStringList expected = cli.at(row + 1);
        expected[3].replace(QStringLiteral("()"), QStringLiteral("(%1)").arg(horn));
        EXPECT_EQ(RowTexts(*pList, row), expected) << "row " << row;
    }
    EXPECT_EQ(RowTexts(*pList, 12).at(0), QStringLiteral("     12"));
}

TEST_F(EventView, EditInTheEventViewRefreshesEveryViewAndEachKeepsItsPlace) {
    CListCtrl* pEvents = OpenDemoEvents();
    ASSERT_NE(pEvents, nullptr);
    CMDIChildWnd* pEventWindow = ActiveWindow();
    CMDIChildWnd* pResourceWindow = Windows().at(0);
    CListCtrl& resources = ViewOf<CKantelView>(pResourceWindow)->GetListCtrl();
    ClickRow(resources, 1);
    pEventWindow->MDIActivate();

    dialogs.scripts << [](QDialog& dlg) {
        DialogDriver::Retype(Control<QLineEdit>(dlg, IDC_PARAM2), QStringLiteral("32768"));
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
    };
    DoubleClickRow(*pEvents, 4);
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("Sound Event Properties")});

    EXPECT_EQ(pDoc->Events()[4].param2, 32768U);
    EXPECT_EQ(RowTexts(*pEvents, 4).at(4), QStringLiteral("0.500000"));
    EXPECT_EQ(Captions(Windows()), (QStringList{QStringLiteral("Bnk_1.bnm - Resource View *"),
                                                QStringLiteral("Bnk_1.bnm - Event View *")}));
    EXPECT_EQ(Selected(*pEvents), 4);
    EXPECT_EQ(pEvents->GetItemState(4, LVIS_FOCUSED), LVIS_FOCUSED);
    EXPECT_EQ(Selected(resources), 1) << "the other list keeps its place";
}

TEST_F(EventView, ResourceEditShowsAtOnceInTheEventLabels) {
    CListCtrl* pEvents = OpenDemoEvents();
    ASSERT_NE(pEvents, nullptr);
    CListCtrl& resources = ViewOf<CKantelView>(Windows().at(0))->GetListCtrl();
    Windows().at(0)->MDIActivate();
    // The Sample of event 0 takes another wave file: Select, pick it in the
    // file browser, OK in the sound file dialog and in the sample dialog.
    const QString other =
        WriteFile(QStringLiteral("demo/other.wav"), BankBuilder::Wave(BankBuilder::Pattern(40, 3)));
    files.answers << other;
    dialogs.scripts << [this](QDialog& dlg) {
        dialogs.scripts << [](QDialog& select) {
            EXPECT_EQ(static_cast<CDialog&>(select).GetDlgItemText(IDC_SOUND_FILE),
                      QStringLiteral("other.wav"));
            DialogDriver::Click(Control<QPushButton>(select, IDOK));
        };
        DialogDriver::Click(Control<QPushButton>(dlg, IDC_SELECT));
        DialogDriver::Click(Control<QPushButton>(dlg, IDOK));
    };
    DoubleClickRow(resources, 0);
    EXPECT_EQ(dialogs.titles, (QStringList{QStringLiteral("Sound Resource Properties"),
                                           QStringLiteral("Select Sound File")}));
    EXPECT_TRUE(prompts->prompts.isEmpty()) << prompts->Texts().join(u'|').toStdString();
    EXPECT_EQ(CBnmFormat::FileNameText(pDoc->Resources()[0]), QStringLiteral("other.wav"));
    EXPECT_EQ(RowTexts(*pEvents, 0).at(3), QStringLiteral("Resource ID   1 (other.wav)"));
    EXPECT_EQ(RowTexts(*pEvents, 1).at(3), QStringLiteral("Resource ID   2 (enghigh.wav)"));
}

TEST_F(EventView, PropertiesOnlyForPitchAndVolumeAndPlayNeverInAnEventView) {
    CListCtrl* pEvents = OpenDemoEvents();
    ASSERT_NE(pEvents, nullptr);
    EXPECT_FALSE(IsEnabled(ID_EDIT_PROPERTIES));
    for (int row = 0; row < pEvents->GetItemCount(); ++row) {
        ClickRow(*pEvents, row);
        const qint32 type = pDoc->Events()[row].type;
        const bool editable = type == SoundEvent::kTypePitch || type == SoundEvent::kTypeVolume;
        EXPECT_EQ(IsEnabled(ID_EDIT_PROPERTIES), editable) << row;
        EXPECT_FALSE(IsEnabled(ID_SOUND_PLAY)) << row;
    }
    frame->OnIdleUpdateCmdUI();
    EXPECT_FALSE(frame->GetCommandAction(ID_SOUND_PLAY)->isEnabled());
    EXPECT_EQ(Items(OpenPopup(QStringLiteral("&Sound"))),
              (QStringList{QStringLiteral("&Play\tSpace (off)"), QStringLiteral("&Stop (off)"),
                           QStringLiteral("-"), QStringLiteral("&Import Sound... (off)"),
                           QStringLiteral("&Export Sounds... (off)"),
                           QStringLiteral("Replace from &Folder... (off)")}));

    // A Play event opens nothing, and Space plays nothing.
    DoubleClickRow(*pEvents, 0);
    QTest::keyClick(pEvents, Qt::Key_Space);
    QTest::keyClick(pEvents, Qt::Key_Return, Qt::AltModifier);
    EXPECT_TRUE(dialogs.titles.isEmpty());
    EXPECT_TRUE(sounds.sounds.isEmpty());
    EXPECT_FALSE(pDoc->IsModified());
}

TEST_F(EventView, ContextMenuHoldsPropertiesAndOpensAtTheSelectedRowsLabel) {
    CListCtrl* pEvents = OpenDemoEvents();
    ASSERT_NE(pEvents, nullptr);
    ScriptedMenuRunner menus;
    AskForContextMenuByKeyboard(*pEvents);
    EXPECT_TRUE(menus.menus.isEmpty());

    ClickRow(*pEvents, 5);
    menus.choose = QStringLiteral("Properties");
    QTest::keyClick(pEvents, Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(menus.points.size(), 1);
    QRect label;
    ASSERT_TRUE(pEvents->GetItemRect(5, &label, LVIR_LABEL));
    EXPECT_EQ(menus.points.at(0), pEvents->viewport()->mapToGlobal(LabelCentre(label)));
    EXPECT_EQ(menus.menus.at(0), QStringList{QStringLiteral("Properties")});
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("Sound Event Properties")});

    // On a Play event the one item is disabled.
    ClickRow(*pEvents, 0);
    AskForContextMenuByKeyboard(*pEvents);
    EXPECT_EQ(menus.menus.value(1), QStringList{QStringLiteral("Properties (off)")});
    EXPECT_EQ(dialogs.titles.size(), 1);
}

TEST_F(EventView, ClosingAnEventViewOfAModifiedBankAsksNothingWhileAResourceViewRemains) {
    CListCtrl* pEvents = OpenDemoEvents();
    ASSERT_NE(pEvents, nullptr);
    pDoc->SetModifiedFlag(true);
    ActiveWindow()->close();
    DeleteClosedWindows();
    EXPECT_TRUE(prompts->prompts.isEmpty());
    ASSERT_EQ(Windows().size(), 1);
    EXPECT_NE(ActiveResourceView(), nullptr);
}

TEST_F(EventView, NewResourceViewFromTheLastEventViewOpensAResourceViewOfTheSameBank) {
    CListCtrl* pEvents = OpenDemoEvents();
    ASSERT_NE(pEvents, nullptr);
    Windows().at(0)->close();
    DeleteClosedWindows();
    ASSERT_EQ(Windows().size(), 1);
    ASSERT_NE(ActiveEventView(), nullptr);
    EXPECT_EQ(ActiveEventView()->GetDocument(), pDoc) << "the bank stays open";

    QTest::keyClick(&ActiveEventView()->GetListCtrl(), Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(Windows().size(), 2);
    ASSERT_NE(ActiveResourceView(), nullptr);
    EXPECT_EQ(ActiveResourceView()->GetDocument(), pDoc);
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Resource View"));

    // From an event view, Ctrl+E opens a second event view of the same bank.
    Windows().at(0)->MDIActivate();
    QTest::keyClick(&ActiveEventView()->GetListCtrl(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(Windows().size(), 3);
    EXPECT_EQ(ActiveEventView()->GetDocument(), pDoc);
}

} // namespace
