#include "DialogDriver.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "ScriptedModalRunner.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CDataExchange.h"
#include "framework/ui/CDialog.h"
#include "framework/ui/CModalRunner.h"
#include "framework/ui/CQtModalRunner.h"
#include "framework/ui/DialogTemplate.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

namespace {

using C = DialogControl;

constexpr int kEdit = 201;
constexpr int kList = 202;
constexpr int kAction = 203;

constexpr C kWithButtons[] = {
    C{kEdit, C::Edit, "", C::Border, 5, 5, 50, 12},
    C{kList, C::ComboBox, "", C::TabStop | C::DropDownList, 5, 20, 50, 40},
    C{kAction, C::PushButton, "&Action", C::TabStop, 60, 5, 40, 14},
    C{1, C::PushButton, "OK", C::TabStop | C::DefaultButton, 60, 25, 40, 14},
    C{2, C::PushButton, "Cancel", C::TabStop, 60, 45, 40, 14},
};
constexpr DialogInitItem kItems[] = {{kList, "one"}, {kList, "two"}};
constexpr DialogTemplate kButtons{910, "Buttons",    110,   65, "MS Sans Serif",
                                  8,   kWithButtons, kItems};

constexpr C kWithoutButtons[] = {
    C{kEdit, C::Edit, "", C::TabStop | C::ReadOnly | C::Border, 5, 5, 50, 12},
};
constexpr DialogTemplate kNoButtons{911, "Bare", 60, 20, "MS Sans Serif", 8, kWithoutButtons, {}};

// Records the notifications its message map delivers, and the calls of OK and
// Cancel.
class ProbeDlg : public CDialog {
public:
    explicit ProbeDlg(const DialogTemplate& t) : CDialog(t) {}

    QStringList calls;
    int m_nEndAtInit = 0;
    QString m_strEdit;

protected:
    bool OnInitDialog() override {
        if (m_nEndAtInit != 0) {
            EndDialog(m_nEndAtInit);
            return false;
        }
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, kEdit, m_strEdit); }
    void OnOK() override {
        calls << QStringLiteral("OnOK");
        CDialog::OnOK();
    }
    void OnCancel() override {
        calls << QStringLiteral("OnCancel");
        CDialog::OnCancel();
    }
    std::span<const MessageEntry> GetMessageMap() const override {
        static const std::array map{
            Notify(kAction, BN_CLICKED, &ProbeDlg::OnAction),
            Notify(kList, CBN_SELCHANGE, &ProbeDlg::OnSelchangeList),
            Notify(kEdit, EN_CHANGE, &ProbeDlg::OnChangeEdit),
        };
        return map;
    }

private:
    void OnAction() { calls << QStringLiteral("OnAction"); }
    void OnSelchangeList() { calls << QStringLiteral("OnSelchangeList"); }
    void OnChangeEdit() { calls << QStringLiteral("OnChangeEdit"); }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }

    RecordingPromptSink prompts;
    ScriptedModalRunner runner;
};

TEST_F(DialogTest, DialogEndedAtInitialisationIsNeverShown) {
    ProbeDlg dlg(kButtons);
    dlg.m_nEndAtInit = 3;
    bool ran = false;
    runner.scripts << [&](QDialog&) { ran = true; };
    EXPECT_EQ(dlg.DoModal(), 3);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(runner.titles.isEmpty());
    EXPECT_FALSE(dlg.isVisible());
    runner.scripts.clear();
}

TEST_F(DialogTest, UnknownTemplateGivesMinusOne) {
    CDialog dlg(12345);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_TRUE(runner.titles.isEmpty());
}

TEST_F(DialogTest, ButtonsEnterEscapeAndCloseBoxReachOkAndCancel) {
    const auto run = [&](const std::function<void(ProbeDlg&)>& act) {
        ProbeDlg dlg(kButtons);
        runner.scripts << [&](QDialog& d) { act(static_cast<ProbeDlg&>(d)); };
        const int result = dlg.DoModal();
        return std::pair{result, dlg.calls};
    };
    const auto edit = [](ProbeDlg& d) { return DialogDriver::Control<QLineEdit>(d, kEdit); };
    EXPECT_EQ(
        run([](ProbeDlg& d) { DialogDriver::Click(DialogDriver::Control<QPushButton>(d, 1)); }),
        std::pair(IDOK, QStringList{"OnOK"}));
    EXPECT_EQ(run([&](ProbeDlg& d) { DialogDriver::PressEnter(edit(d)); }),
              std::pair(IDOK, QStringList{"OnOK"}));
    EXPECT_EQ(run([&](ProbeDlg& d) { DialogDriver::PressEscape(edit(d)); }),
              std::pair(IDCANCEL, QStringList{"OnCancel"}));
    EXPECT_EQ(run([](ProbeDlg& d) { d.close(); }), std::pair(IDCANCEL, QStringList{"OnCancel"}));
    // Enter on a focused button presses that button.
    EXPECT_EQ(run([](ProbeDlg& d) {
                  auto* cancel = DialogDriver::Control<QPushButton>(d, 2);
                  cancel->setFocus();
                  DialogDriver::PressEnter(cancel);
              }),
              std::pair(IDCANCEL, QStringList{"OnCancel"}));
}

TEST_F(DialogTest, EnterWithoutADefaultButtonMeansOk) {
    ProbeDlg dlg(kNoButtons);
    dlg.m_strEdit = QStringLiteral("text");
    runner.scripts << [](QDialog& d) {
        auto& p = static_cast<ProbeDlg&>(d);
        p.calls.clear();
        DialogDriver::PressEnter(DialogDriver::Control<QLineEdit>(p, kEdit));
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.calls, QStringList{"OnOK"});
    EXPECT_EQ(dlg.m_strEdit, QStringLiteral("text"));
}

TEST_F(DialogTest, MessageMapGetsTheUsersNotificationsOnly) {
    ProbeDlg dlg(kButtons);
    runner.scripts << [](QDialog& d) {
        auto& p = static_cast<ProbeDlg&>(d);
        p.calls.clear();
        DialogDriver::Click(DialogDriver::Control<QPushButton>(p, kAction));
        auto* list = DialogDriver::Control<QComboBox>(p, kList);
        list->setCurrentIndex(1); // the program's own choice sends nothing
        DialogDriver::Pick(list, 0);
        // A change of an edit box's text is reported whoever made it.
        p.SetDlgItemText(kEdit, QStringLiteral("x"));
        DialogDriver::Type(DialogDriver::Control<QLineEdit>(p, kEdit), QStringLiteral("y"));
        DialogDriver::Click(DialogDriver::Control<QPushButton>(p, 2));
    };
    dlg.DoModal();
    EXPECT_EQ(dlg.calls, (QStringList{"OnAction", "OnSelchangeList", "OnChangeEdit", "OnChangeEdit",
                                      "OnCancel"}));
}

TEST_F(DialogTest, InitialisationFillsListsAndFocusesTheFirstEnabledTabStop) {
    ProbeDlg dlg(kButtons);
    int items = 0;
    bool focusOnList = false;
    runner.scripts << [&](QDialog& d) {
        auto* list = DialogDriver::Control<QComboBox>(static_cast<CDialog&>(d), kList);
        items = list->count();
        // The edit box comes first but is no tab stop.
        focusOnList = d.focusWidget() == list;
    };
    dlg.DoModal();
    EXPECT_EQ(items, 2);
    EXPECT_TRUE(focusOnList);
    // A second run starts from the template's items again.
    runner.scripts << [&](QDialog& d) {
        items = DialogDriver::Control<QComboBox>(static_cast<CDialog&>(d), kList)->count();
    };
    dlg.DoModal();
    EXPECT_EQ(items, 2);
}

TEST_F(DialogTest, FocusIsDrawnFromTheMomentTheDialogShows) {
    ProbeDlg dlg(kButtons);
    bool focused = false;
    bool drawn = false;
    runner.scripts << [&](QDialog& d) {
        auto* list = DialogDriver::Control<QComboBox>(static_cast<CDialog&>(d), kList);
        focused = list->hasFocus();
        // The style draws the focus frame only in a window where a key has
        // moved the focus; without that the list looks as if unfocused.
        const QImage shown = list->grab().toImage();
        d.setAttribute(Qt::WA_KeyboardFocusChange, false);
        drawn = shown != list->grab().toImage();
    };
    dlg.DoModal();
    EXPECT_TRUE(focused);
    EXPECT_TRUE(drawn);
}

TEST_F(DialogTest, DlgItemIntReadsLikeThePlatform) {
    ProbeDlg dlg(kButtons);
    dlg.CreateControls();
    struct Case {
        const char* text;
        bool bSigned;
        int value;
        bool translated;
    };
    for (const Case& c :
         {Case{" -12abc", true, -12, true}, Case{"+5", true, 5, true}, Case{"abc", true, 0, false},
          Case{"", true, 0, false}, Case{"2147483648", true, 0, false},
          Case{"-2147483648", true, std::numeric_limits<int>::min(), true},
          Case{"-1", false, 0, false}, Case{"4294967295", false, -1, true}}) {
        dlg.SetDlgItemText(kEdit, QLatin1String(c.text));
        bool translated = !c.translated;
        EXPECT_EQ(dlg.GetDlgItemInt(kEdit, &translated, c.bSigned), c.value) << c.text;
        EXPECT_EQ(translated, c.translated) << c.text;
    }
    dlg.SetDlgItemInt(kEdit, -1, false);
    EXPECT_EQ(dlg.GetDlgItemText(kEdit), QStringLiteral("4294967295"));
    EXPECT_EQ(dlg.GetDlgItem(999), nullptr);
}

TEST_F(DialogTest, QtRunnerRunsTheDialogsOwnLoopUntilEndDialog) {
    CQtModalRunner qtRunner;
    CSeam<CModalRunner>::Guard guard(&qtRunner);
    ProbeDlg dlg(kButtons);
    // Queued, so it runs inside the dialog's own event loop.
    QMetaObject::invokeMethod(
        &dlg,
        [&dlg] {
            DialogDriver::Click(DialogDriver::Control<QPushButton>(dlg, kAction));
            dlg.EndDialog(7);
        },
        Qt::QueuedConnection);
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_TRUE(dlg.calls.contains(QStringLiteral("OnAction")));
}

} // namespace
