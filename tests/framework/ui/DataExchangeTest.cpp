#include "DialogDriver.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "ScriptedModalRunner.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CDataExchange.h"
#include "framework/ui/CDialog.h"
#include "framework/ui/DialogTemplate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using C = DialogControl;

constexpr int kNumber = 101;
constexpr int kText = 102;
constexpr int kCheck = 103;
constexpr int kList = 104;
constexpr int kLabel = 105;
constexpr int kDigits = 106;

constexpr C kControls[] = {
    C{kNumber, C::Edit, "", C::TabStop | C::Border, 5, 5, 50, 12},
    C{kText, C::Edit, "", C::TabStop | C::Border, 5, 20, 50, 12},
    C{kCheck, C::CheckBox, "Check", C::TabStop | C::AutoCheck, 5, 35, 50, 10},
    C{kList, C::ComboBox, "", C::TabStop | C::DropDownList, 5, 50, 50, 40},
    C{kLabel, C::Static, "", C::NoPrefix, 5, 65, 50, 8},
    C{kDigits, C::Edit, "", C::TabStop | C::Border | C::Number, 60, 5, 50, 12},
    C{1, C::PushButton, "OK", C::TabStop | C::DefaultButton, 60, 65, 40, 14},
    C{2, C::PushButton, "Cancel", C::TabStop, 105, 65, 40, 14},
};
constexpr DialogInitItem kInit[] = {{kList, "A"}, {kList, "B"}, {kList, "C"}};
constexpr DialogTemplate kTemplate{900, "Exchange", 150, 85, "MS Sans Serif", 8, kControls, kInit};

// Exchanges a number in 1..10, a text of at most 5 characters, a check box, a
// list index, a label and a digits-only text of at most 4 characters, in
// that order.
class ExchangeDlg : public CDialog {
public:
    ExchangeDlg() : CDialog(kTemplate) {}

    int m_nNumber = 3;
    QString m_strText = QStringLiteral("abc");
    int m_bCheck = 0;
    int m_nIndex = 1;
    QString m_strLabel = QStringLiteral("<i>label</i>");
    QString m_strDigits = QStringLiteral("-12");
    int m_nMin = 1;
    int m_nMax = 10;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, kNumber, m_nNumber);
        DDV_MinMaxInt(pDX, m_nNumber, m_nMin, m_nMax);
        DDX_Text(pDX, kText, m_strText);
        DDV_MaxChars(pDX, m_strText, 5);
        DDX_Check(pDX, kCheck, m_bCheck);
        DDX_CBIndex(pDX, kList, m_nIndex);
        DDX_Text(pDX, kLabel, m_strLabel);
        DDX_Text(pDX, kDigits, m_strDigits);
        DDV_MaxChars(pDX, m_strDigits, 4);
    }
};

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::EnsureApplication();
        dlg = std::make_unique<ExchangeDlg>();
    }

    // Runs the dialog with script as the user.
    int Run(const std::function<void(ExchangeDlg&)>& script) {
        runner.scripts << [&script](QDialog& d) { script(static_cast<ExchangeDlg&>(d)); };
        return dlg->DoModal();
    }
    template <class T> static T* Control(ExchangeDlg& d, int id) {
        return DialogDriver::Control<T>(d, id);
    }
    // Types number into the number box and presses OK; true when the dialog
    // took it.
    bool OkWithNumber(ExchangeDlg& d, const QString& number) {
        DialogDriver::Retype(Control<QLineEdit>(d, kNumber), number);
        DialogDriver::Click(Control<QPushButton>(d, 1));
        return !d.isVisible();
    }

    RecordingPromptSink prompts;
    ScriptedModalRunner runner;
    std::unique_ptr<ExchangeDlg> dlg;
};

TEST_F(DataExchangeTest, OpeningPutsTheMembersIntoTheControls) {
    dlg->m_bCheck = 5; // any non-zero state shows checked
    QStringList shown;
    Run([&](ExchangeDlg& d) {
        shown << Control<QLineEdit>(d, kNumber)->text() << Control<QLineEdit>(d, kText)->text()
              << QString::number(Control<QCheckBox>(d, kCheck)->isChecked())
              << Control<QComboBox>(d, kList)->currentText()
              << QString::number(Control<QComboBox>(d, kList)->count())
              << Control<QLabel>(d, kLabel)->text() << Control<QLineEdit>(d, kDigits)->text();
    });
    EXPECT_EQ(shown, (QStringList{"3", "abc", "1", "B", "3", "<i>label</i>", "-12"}));
}

TEST_F(DataExchangeTest, ListIndexOutsideTheListShowsNoSelectionAndSavesMinusOne) {
    for (int index : {-1, 3, 99}) {
        dlg = std::make_unique<ExchangeDlg>();
        dlg->m_nIndex = index;
        int shown = 0;
        EXPECT_EQ(Run([&](ExchangeDlg& d) {
                      shown = Control<QComboBox>(d, kList)->currentIndex();
                      DialogDriver::Click(Control<QPushButton>(d, 1));
                  }),
                  IDOK);
        EXPECT_EQ(shown, -1) << index;
        EXPECT_EQ(dlg->m_nIndex, -1);
    }
}

TEST_F(DataExchangeTest, OkSavesEveryControlInto_itsMember) {
    dlg->m_bCheck = 5;
    EXPECT_EQ(Run([&](ExchangeDlg& d) {
                  DialogDriver::Retype(Control<QLineEdit>(d, kNumber), QStringLiteral("10"));
                  DialogDriver::Retype(Control<QLineEdit>(d, kText), QStringLiteral("xyz"));
                  DialogDriver::Pick(Control<QComboBox>(d, kList), 2);
                  DialogDriver::Click(Control<QPushButton>(d, 1));
              }),
              IDOK);
    EXPECT_EQ(dlg->m_nNumber, 10);
    EXPECT_EQ(dlg->m_strText, QStringLiteral("xyz"));
    EXPECT_EQ(dlg->m_bCheck, 1);
    EXPECT_EQ(dlg->m_nIndex, 2);
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(DataExchangeTest, IntegersAreDecimalsWithOptionalSignAndBlanksWithinInt) {
    dlg->m_nMin = std::numeric_limits<int>::min();
    dlg->m_nMax = std::numeric_limits<int>::max();
    QList<bool> taken;
    QList<int> values;
    for (const char* text : {"12a", "", "-", "1 2", "0x10", "2147483648", "-2147483649", " +7 ",
                             "-2147483648", "2147483647", "007"}) {
        dlg = std::make_unique<ExchangeDlg>();
        dlg->m_nMin = std::numeric_limits<int>::min();
        dlg->m_nMax = std::numeric_limits<int>::max();
        bool ok = false;
        Run([&](ExchangeDlg& d) {
            // The number box has no digits-only style, so anything can be typed.
            ok = OkWithNumber(d, QLatin1String(text));
        });
        taken << ok;
        if (ok) {
            values << dlg->m_nNumber;
        }
    }
    EXPECT_EQ(taken, (QList<bool>{false, false, false, false, false, false, false, true, true, true,
                                  true}));
    EXPECT_EQ(values,
              (QList<int>{7, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 7}));
    EXPECT_EQ(prompts.Texts(), QStringList(7, QStringLiteral("Please enter an integer.")));
    EXPECT_EQ(prompts.prompts[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
}

TEST_F(DataExchangeTest, RangeIncludesBothEnds) {
    QList<bool> taken;
    for (const char* text : {"0", "1", "10", "11"}) {
        dlg = std::make_unique<ExchangeDlg>();
        Run([&](ExchangeDlg& d) { taken << OkWithNumber(d, QLatin1String(text)); });
    }
    EXPECT_EQ(taken, (QList<bool>{false, true, true, false}));
    EXPECT_EQ(prompts.Texts(),
              QStringList(2, QStringLiteral("Please enter an integer between 1 and 10.")));
}

TEST_F(DataExchangeTest, FirstFailureFocusesItsBoxSelectsItAndReadsNothingAfterIt) {
    bool focused = false;
    QString selected;
    Run([&](ExchangeDlg& d) {
        // Typing stops at five characters; the program's text does not.
        d.SetDlgItemText(kText, QStringLiteral("toolong"));
        DialogDriver::Click(Control<QCheckBox>(d, kCheck));
        DialogDriver::Retype(Control<QLineEdit>(d, kNumber), QStringLiteral("5"));
        // Focus elsewhere, as after clicking OK.
        Control<QPushButton>(d, 1)->setFocus();
        DialogDriver::Click(Control<QPushButton>(d, 1));
        focused = d.focusWidget() == Control<QLineEdit>(d, kText);
        selected = Control<QLineEdit>(d, kText)->selectedText();
        EXPECT_TRUE(d.isVisible());
    });
    EXPECT_TRUE(focused);
    EXPECT_EQ(selected, QStringLiteral("toolong"));
    EXPECT_EQ(prompts.Texts(), QStringList{"Please enter no more than 5 characters."});
    // The text was read, then refused; the check box after it was not read.
    EXPECT_EQ(dlg->m_strText, QStringLiteral("toolong"));
    EXPECT_EQ(dlg->m_bCheck, 0);
}

TEST_F(DataExchangeTest, MaxCharsLimitsTypingButNotTheProgramsText) {
    QStringList texts;
    Run([&](ExchangeDlg& d) {
        auto* text = Control<QLineEdit>(d, kText);
        DialogDriver::Type(text, QStringLiteral("defgh"));
        texts << text->text();
        // Pasting past the limit is refused as typing is.
        text->selectAll();
        text->insert(QStringLiteral("123456"));
        texts << text->text();
        d.SetDlgItemText(kText, QStringLiteral("eightchr"));
        texts << text->text();
        // Deleting from an overlong text works; adding to it does not.
        QTest::keyClick(text, Qt::Key_End);
        QTest::keyClick(text, Qt::Key_Backspace);
        QTest::keyClicks(text, QStringLiteral("zz"));
        texts << text->text();

        // The digits-only box keeps both of its rules.
        auto* digits = Control<QLineEdit>(d, kDigits);
        DialogDriver::Type(digits, QStringLiteral("3x45"));
        texts << digits->text();
    });
    EXPECT_EQ(texts, (QStringList{"abcde", "abcde", "eightchr", "eightch", "-123"}));
}

TEST_F(DataExchangeTest, ChecksRunOnlyWhenSaving) {
    dlg->m_nNumber = 50;
    dlg->m_strText = QStringLiteral("far too long");
    QStringList shown;
    Run([&](ExchangeDlg& d) {
        shown << Control<QLineEdit>(d, kNumber)->text() << Control<QLineEdit>(d, kText)->text();
    });
    EXPECT_EQ(shown, (QStringList{"50", "far too long"}));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

} // namespace
