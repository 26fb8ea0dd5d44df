#include "EditorTestKit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {

// Undo and Redo, and finding and sorting in a list, as a user meets them:
// the keys, the Edit menu and the list's title bar.
class EditHistory : public EditorTest {
protected:
    CListCtrl& List() { return ActiveResourceView()->GetListCtrl(); }

    static ScriptedModalRunner::Script SetVolume(const QString& volume) {
        return [volume](QDialog& dlg) {
            auto& dialog = static_cast<CDialog&>(dlg);
            DialogDriver::Retype(DialogDriver::Control<QLineEdit>(dialog, IDC_VOLUME), volume);
            DialogDriver::Click(DialogDriver::Control<QPushButton>(dialog, IDOK));
        };
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(&List(), static_cast<Qt::Key>(key), modifiers);
    }

    QStringList EditItems() { return Items(OpenPopup(QStringLiteral("&Edit"))).mid(0, 3); }
};

TEST_F(EditHistory, EditsTakenBackAndMadeAgainSaveTheBanksTheyStandFor) {
    const QString bank = WriteDemoBank();
    const QByteArray original = folder.Read(QStringLiteral("demo/Bnk_1.bnm"));
    // The bank both edits give, made on a copy of it alone.
    const QString copy = WriteDemoBank(QStringLiteral("copy"));
    {
        CKantelDoc reference;
        ASSERT_TRUE(reference.OnOpenDocument(copy));
        SoundResource louder = reference.Resources()[3];
        louder.volume = 33;
        ASSERT_TRUE(reference.ReplaceResource(3, reference.Resources()[3], louder));
        reference.OnEditAllExternal();
        ASSERT_TRUE(reference.OnSaveDocument(copy));
    }
    const QByteArray bothEdits = folder.Read(QStringLiteral("copy/Bnk_1.bnm"));

    CKantelDoc* pDoc = Open(bank);
    ASSERT_NE(pDoc, nullptr);
    EXPECT_FALSE(pDoc->IsModified());
    // Opening named the banked Horn, which has no file name in the bank.
    EXPECT_EQ(EditItems(),
              (QStringList{QStringLiteral("&Undo Changes Made When Opening\tCtrl+Z"),
                           QStringLiteral("&Redo\tCtrl+Y (off)"), QStringLiteral("-")}));

    const quint8 volume = pDoc->Resources()[3].volume;
    dialogs.scripts << SetVolume(QStringLiteral("33"));
    DoubleClickRow(List(), 3);
    EXPECT_EQ(EditItems().value(0), QStringLiteral("&Undo Properties of Skid\tCtrl+Z"));
    frame->OnCommand(ID_EDIT_ALL_EXTERNAL);
    EXPECT_EQ(EditItems().value(0), QStringLiteral("&Undo All External\tCtrl+Z"));
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Resource View *"));

    Key(Qt::Key_Z);
    Key(Qt::Key_Z);
    EXPECT_EQ(pDoc->Resources()[3].volume, volume);
    EXPECT_FALSE(pDoc->IsModified()) << "back at the bank as opened";
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Resource View"));
    EXPECT_EQ(EditItems().value(1), QStringLiteral("&Redo Properties of Skid\tCtrl+Y"));
    // The third takes back the name opening gave: the bank is the file, and
    // the caption says so as it did after opening.
    Key(Qt::Key_Z);
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(ActiveWindow()->GetWindowText(), QStringLiteral("Bnk_1.bnm - Resource View"));
    Key(Qt::Key_Y);
    EXPECT_FALSE(pDoc->IsModified());
    Key(Qt::Key_Z);
    Key(Qt::Key_S);
    EXPECT_EQ(folder.Read(QStringLiteral("demo/Bnk_1.bnm")), original);

    Key(Qt::Key_Y);
    Key(Qt::Key_Y);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(IsEnabled(ID_EDIT_REDO));
    Key(Qt::Key_S);
    EXPECT_EQ(folder.Read(QStringLiteral("demo/Bnk_1.bnm")), bothEdits);
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_TRUE(prompts->prompts.isEmpty()) << prompts->Texts().join(u'\n').toStdString();
}

TEST_F(EditHistory, CommandsActOnTheRecordOfTheSelectedRowInAFilteredSortedList) {
    CKantelDoc* pDoc = OpenDemoBank();
    ASSERT_NE(pDoc, nullptr);
    CListCtrl& list = List();
    ClickRow(list, 9);
    list.horizontalScrollBar()->setValue(list.horizontalScrollBar()->maximum());
    const int right = list.horizontalScrollBar()->value();

    // Ctrl+F, then type: only the rows with "in" in a cell stay.
    Key(Qt::Key_F);
    QLineEdit& filter = ActiveResourceView()->GetFilterEdit();
    ASSERT_TRUE(filter.hasFocus());
    QTest::keyClicks(&filter, QStringLiteral("IN"));
    QList<int> shown;
    for (int row = 0; row < list.GetVisibleItemCount(); ++row) {
        shown.append(list.GetVisibleItem(row));
    }
    // EngineIdle, EngineHigh, Wind, and whatever else has it in a cell.
    EXPECT_TRUE(shown.contains(0) && shown.contains(1) && shown.contains(9));
    EXPECT_FALSE(shown.contains(2)) << "Horn";
    EXPECT_EQ(Selected(list), 9) << "Wind is still selected";

    // A click on "Name" sorts by it, another turns it around.
    const auto clickTitle = [&list](int column) {
        list.horizontalScrollBar()->setValue(0);
        QTest::mouseClick(list.header()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(list.header()->sectionViewportPosition(column) + 10, 5));
    };
    clickTitle(0);
    clickTitle(0);
    EXPECT_EQ(list.GetSortOrder(), Qt::DescendingOrder);
    EXPECT_EQ(list.model()->index(0, 0).data().toString(), QStringLiteral("Wind"));
    EXPECT_EQ(list.model()->index(0, 1).data().toString(), QStringLiteral("9"))
        << "the Index column shows the record's own index";

    dialogs.scripts << SetVolume(QStringLiteral("12"));
    frame->OnCommand(ID_EDIT_PROPERTIES);
    EXPECT_EQ(pDoc->Resources()[9].volume, 12) << "Wind was edited";
    EXPECT_EQ(Selected(list), 9);
    EXPECT_EQ(filter.text(), QStringLiteral("IN")) << "the filter survives the refresh";
    EXPECT_EQ(list.GetSortColumn(), 0);
    list.horizontalScrollBar()->setValue(right);
    Key(Qt::Key_Z);
    EXPECT_EQ(list.horizontalScrollBar()->value(), right) << "an undo keeps the list's place";
    EXPECT_EQ(Selected(list), 9);

    // Escape in the field clears it and goes back to the list.
    filter.setFocus();
    QTest::keyClick(&filter, Qt::Key_Escape);
    EXPECT_EQ(list.GetVisibleItemCount(), static_cast<int>(pDoc->Resources().size()));
    EXPECT_TRUE(list.hasFocus());
}

} // namespace
