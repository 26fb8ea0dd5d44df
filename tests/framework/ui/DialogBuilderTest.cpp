#include "BuiltControls.h"
#include "DialogDriver.h"
#include "QtPrinters.h"

#include "framework/ui/CDialogBuilder.h"
#include "framework/ui/DialogTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using C = DialogControl;

// Only the font matters for the conversion of dialog units.
constexpr DialogTemplate kEmpty{998, "Empty", 100, 50, "MS Sans Serif", 8, {}, {}};

class DialogBuilderTest : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }

    template <class T>
    static T* Find(const std::vector<CDialogBuilder::Control>& controls, int id) {
        return FindBuilt<T>(controls, id);
    }
    template <class T>
    static T* FindText(const std::vector<CDialogBuilder::Control>& controls, const char* text) {
        return FindBuiltText<T>(controls, text);
    }
};

TEST_F(DialogBuilderTest, DialogUnitsAreQuartersOfTheAverageWidthAndEighthsOfTheHeight) {
    const QFont font = CDialogBuilder::FontOf(kEmpty);
    const CDialogBuilder builder(font);
    const QSize base = builder.GetBaseUnits();
    const QFontMetrics metrics(font);
    EXPECT_EQ(base.height(), metrics.height());
    EXPECT_GT(base.width(), 2);
    EXPECT_EQ(builder.MapDialogRect(4, 8, 8, 16),
              QRect(base.width(), base.height(), 2 * base.width(), 2 * base.height()));
    // Adjacent rectangles stay adjacent after rounding.
    const QRect left = builder.MapDialogRect(7, 7, 47, 8);
    const QRect right = builder.MapDialogRect(54, 15, 10, 8);
    EXPECT_EQ(left.right() + 1, right.left());
    EXPECT_EQ(left.bottom() + 1, right.top());
}

TEST_F(DialogBuilderTest, PlainCheckBoxesNoPrefixLabelsAndGroupBoxesBehave) {
    static constexpr C kControls[] = {
        C{10, C::Edit, "", C::TabStop | C::Border, 40, 40, 60, 12},
        C{-1, C::GroupBox, "Group", 0, 4, 4, 150, 80},
        C{11, C::CheckBox, "&Plain", C::TabStop, 10, 20, 50, 10},
        C{12, C::Static, "Fish && &Chips", C::NoPrefix, 10, 60, 60, 8},
        C{13, C::Edit, "", C::ReadOnly, 80, 60, 40, 12},
        C{-1, C::Static, "&Orphan", 0, 10, 70, 40, 8},
    };
    static constexpr DialogTemplate kTemplate{999, "Test",    160, 90, "MS Sans Serif",
                                              8,   kControls, {}};
    QDialog dialog;
    const auto controls = CDialogBuilder::Build(dialog, kTemplate);
    dialog.show();

    auto* plain = Find<QCheckBox>(controls, 11);
    DialogDriver::Click(plain);
    EXPECT_FALSE(plain->isChecked());

    auto* label = Find<QLabel>(controls, 12);
    EXPECT_EQ(label->text(), QStringLiteral("Fish && &Chips"));
    EXPECT_EQ(label->buddy(), nullptr);
    // Without a tab stop after it, a mnemonic has nowhere to go.
    EXPECT_EQ(FindText<QLabel>(controls, "&Orphan")->text(), QStringLiteral("Orphan"));

    // An edit box that is no tab stop still takes a click; one without
    // border has no frame.
    auto* noStop = Find<QLineEdit>(controls, 13);
    EXPECT_EQ(noStop->focusPolicy(), Qt::ClickFocus);
    EXPECT_FALSE(noStop->hasFrame());

    // The group box lies beneath the edit box made before it.
    auto* edit = Find<QLineEdit>(controls, 10);
    EXPECT_EQ(dialog.childAt(edit->geometry().center()), edit);
    EXPECT_EQ(CDialogBuilder::StripMnemonic(QStringLiteral("Fish && &Chips")),
              QStringLiteral("Fish & Chips"));
}

TEST_F(DialogBuilderTest, EveryStyleIsHonoured) {
    static constexpr C kControls[] = {
        C{-1, C::Static, "&Id:", 0, 4, 4, 30, 8},
        C{20, C::Static, "", C::Sunken | C::NoPrefix, 40, 4, 40, 10},
        C{-1, C::Static, "&Kind:", 0, 4, 20, 30, 8},
        C{21, C::ComboBox, "", C::TabStop | C::DropDownList | C::VScroll | C::Sort, 40, 18, 60, 50},
        C{-1, C::Static, "&Offset:", 0, 4, 36, 30, 8},
        C{22, C::Edit, "", C::TabStop | C::Border | C::ReadOnly | C::Number, 40, 34, 60, 12},
        C{-1, C::Static, "&Start:", 0, 4, 52, 30, 8},
        C{23, C::Static, "", C::NoPrefix, 40, 52, 40, 8},
        C{24, C::Edit, "", C::TabStop | C::Border | C::Number | C::AutoHScroll, 90, 50, 40, 12},
        C{25, C::CheckBox, "&Looped", C::TabStop | C::AutoCheck, 4, 68, 50, 10},
        C{1, C::PushButton, "OK", C::TabStop | C::DefaultButton, 60, 80, 40, 14},
        C{2, C::PushButton, "Cancel", C::TabStop, 104, 80, 40, 14},
    };
    static constexpr DialogTemplate kTemplate{997, "Styles",  150, 100, "MS Sans Serif",
                                              8,   kControls, {}};
    QDialog dialog;
    const auto controls = CDialogBuilder::Build(dialog, kTemplate);
    dialog.show();

    auto* sunken = Find<QLabel>(controls, 20);
    ASSERT_NE(sunken, nullptr);
    EXPECT_EQ(sunken->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(sunken->textFormat(), Qt::PlainText);
    auto* plain = Find<QLabel>(controls, 23);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->frameShape(), QFrame::NoFrame);

    auto* kind = Find<QComboBox>(controls, 21);
    ASSERT_NE(kind, nullptr);
    EXPECT_FALSE(kind->isEditable());
    // The items belong to the dialog's initialisation, not to the builder.
    EXPECT_EQ(kind->count(), 0);

    auto* offset = Find<QLineEdit>(controls, 22);
    ASSERT_NE(offset, nullptr);
    EXPECT_TRUE(offset->isReadOnly());
    EXPECT_TRUE(offset->hasFrame());
    auto* start = Find<QLineEdit>(controls, 24);
    ASSERT_NE(start, nullptr);
    EXPECT_FALSE(start->isReadOnly());
    DialogDriver::Type(start, QStringLiteral("1a-2 3."));
    EXPECT_EQ(start->text(), QStringLiteral("123"));

    auto* looped = Find<QCheckBox>(controls, 25);
    DialogDriver::Click(looped);
    EXPECT_TRUE(looped->isChecked());

    EXPECT_TRUE(Find<QPushButton>(controls, 1)->isDefault());
    EXPECT_FALSE(Find<QPushButton>(controls, 2)->isDefault());

    // A label's mnemonic leads to the next tab stop after it, passing over
    // controls that are none.
    EXPECT_EQ(FindText<QLabel>(controls, "&Id:")->buddy(), kind);
    EXPECT_EQ(FindText<QLabel>(controls, "&Kind:")->buddy(), kind);
    EXPECT_EQ(FindText<QLabel>(controls, "&Offset:")->buddy(), offset);
    EXPECT_EQ(FindText<QLabel>(controls, "&Start:")->buddy(), start);
}

TEST_F(DialogBuilderTest, ReadOnlyEditIsFilledLikeTheDialogYetItsTextCanBeCopied) {
    static constexpr C kControls[] = {
        C{30, C::Edit, "", C::TabStop | C::Border | C::ReadOnly, 4, 4, 60, 12},
        C{31, C::Edit, "", C::TabStop | C::Border, 4, 20, 60, 12},
    };
    static constexpr DialogTemplate kTemplate{996, "Read-only", 70, 36, "MS Sans Serif",
                                              8,   kControls,   {}};
    QDialog dialog;
    const auto controls = CDialogBuilder::Build(dialog, kTemplate);
    dialog.show();
    auto* readOnly = Find<QLineEdit>(controls, 30);
    auto* editable = Find<QLineEdit>(controls, 31);
    ASSERT_NE(readOnly, nullptr);
    ASSERT_NE(editable, nullptr);

    // What the style paints inside each frame, where no text is.
    const auto inside = [](QLineEdit* edit) {
        return edit->grab().toImage().pixelColor(edit->width() / 2, edit->height() / 2);
    };
    const QColor window = dialog.palette().color(QPalette::Window);
    const QColor base = dialog.palette().color(QPalette::Base);
    ASSERT_NE(window, base);
    EXPECT_EQ(inside(readOnly), window);
    EXPECT_EQ(inside(editable), base);
    dialog.setEnabled(false);
    EXPECT_EQ(inside(readOnly), dialog.palette().color(QPalette::Disabled, QPalette::Window));
    dialog.setEnabled(true);

    readOnly->setText(QStringLiteral("1234"));
    readOnly->setFocus();
    QTest::keyClick(readOnly, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(readOnly->selectedText(), QStringLiteral("1234"));
    QTest::keyClick(readOnly, Qt::Key_5);
    EXPECT_EQ(readOnly->text(), QStringLiteral("1234"));
}

} // namespace
