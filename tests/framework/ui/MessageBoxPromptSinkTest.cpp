#include "DialogDriver.h"
#include "QtPrinters.h"
#include "ScriptedModalRunner.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CMessageBoxPromptSink.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class MessageBoxPromptSinkTest : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }

    CMessageBoxPromptSink sink;
    CSeam<CPromptSink>::Guard guard{&sink};
    ScriptedModalRunner runner;
};

TEST_F(MessageBoxPromptSinkTest, BoxIsTitledKantelWithIconAndButtonsByStyle) {
    struct Case {
        unsigned type;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };
    for (const Case& c :
         {Case{MB_OK, QMessageBox::NoIcon, QMessageBox::Ok},
          Case{MB_ICONHAND, QMessageBox::Critical, QMessageBox::Ok},
          Case{MB_OK | MB_ICONEXCLAMATION, QMessageBox::Warning, QMessageBox::Ok},
          Case{MB_YESNO | MB_ICONQUESTION, QMessageBox::Question,
               QMessageBox::Yes | QMessageBox::No},
          Case{MB_YESNOCANCEL | MB_ICONEXCLAMATION, QMessageBox::Warning,
               QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
          Case{MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::Information,
               QMessageBox::Ok | QMessageBox::Cancel},
          Case{MB_YESTOALLNOCANCEL | MB_ICONQUESTION, QMessageBox::Question,
               QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel}}) {
        const auto box = sink.CreateBox(QStringLiteral("<b>a.wav</b>\nsecond"), c.type, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Kantel"));
        EXPECT_EQ(box->icon(), c.icon) << c.type;
        EXPECT_EQ(box->standardButtons(), c.buttons) << c.type;
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), QStringLiteral("<b>a.wav</b>\nsecond"));
    }
}

TEST_F(MessageBoxPromptSinkTest, AnswersFollowTheButtonTheUserPressed) {
    const auto press = [&](QMessageBox::StandardButton button) {
        runner.scripts << [button](QDialog& d) {
            DialogDriver::Click(static_cast<QMessageBox&>(d).button(button));
        };
    };
    press(QMessageBox::No);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Save?"), MB_YESNOCANCEL), IDNO);
    press(QMessageBox::Yes);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Save?"), MB_YESNOCANCEL), IDYES);
    press(QMessageBox::Cancel);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Go?"), MB_OKCANCEL), IDCANCEL);
    press(QMessageBox::Ok);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Done"), MB_OK), IDOK);
    press(QMessageBox::YesToAll);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Replace?"), MB_YESTOALLNOCANCEL), IDYESTOALL);
    // Escape and the close box choose what loses nothing.
    runner.scripts << [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); };
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Save?"), MB_YESNOCANCEL), IDCANCEL);
    runner.scripts << [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); };
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Sure?"), MB_YESNO), IDNO);
    runner.scripts << [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); };
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Replace?"), MB_YESTOALLNOCANCEL), IDCANCEL);
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Save?"), MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(runner.titles, QStringList(9, QStringLiteral("Kantel")));
}

TEST_F(MessageBoxPromptSinkTest, NamedButtonsAndACheckBoxGiveBackTheUsersChoices) {
    bool checked = true;
    bool shownChecked = false;
    runner.scripts << [&](QDialog& d) {
        auto& box = static_cast<QMessageBox&>(d);
        ASSERT_NE(box.checkBox(), nullptr);
        EXPECT_EQ(box.checkBox()->text(), QStringLiteral("Match it"));
        shownChecked = box.checkBox()->isChecked();
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("Convert to 22,050 Hz"));
        EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("Keep 96,000 Hz"));
        DialogDriver::Click(box.checkBox());
        DialogDriver::Click(box.button(QMessageBox::No));
    };
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Convert?"), MB_YESNOCANCEL,
                            {{QStringLiteral("Convert to 22,050 Hz"),
                              QStringLiteral("Keep 96,000 Hz"), QStringLiteral("Cancel")},
                             QStringLiteral("Match it"),
                             &checked}),
              IDNO);
    EXPECT_TRUE(shownChecked);
    EXPECT_FALSE(checked);
}

TEST_F(MessageBoxPromptSinkTest, EnterTakesTheFirstButton) {
    runner.scripts << [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); };
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Save?"), MB_YESNOCANCEL), IDYES);
    // Unless the first would throw away the user's work.
    runner.scripts << [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); };
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Reload?"), MB_YESNO | MB_DEFBUTTON2), IDNO);
}

// The question about a bank another program changed: its two answers have
// no standard button, and neither Enter nor Escape may replace the change.
TEST_F(MessageBoxPromptSinkTest, SaveAnywayReloadCancelAnswersByButtonAndKeysKeepTheFile) {
    const auto click = [&](const QString& text) {
        runner.scripts << [text](QDialog& d) {
            for (QAbstractButton* button : static_cast<QMessageBox&>(d).buttons()) {
                if (button->text().remove(QLatin1Char('&')) == text) {
                    DialogDriver::Click(button);
                    return;
                }
            }
            ADD_FAILURE() << "no button " << qPrintable(text);
        };
    };
    click(QStringLiteral("Save Anyway"));
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Changed"), MB_SAVEANYWAYRELOADCANCEL), IDSAVEANYWAY);
    click(QStringLiteral("Reload"));
    EXPECT_EQ(AfxMessageBox(QStringLiteral("Changed"), MB_SAVEANYWAYRELOADCANCEL), IDRELOAD);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        runner.scripts << [key](QDialog& d) { QTest::keyClick(&d, key); };
        EXPECT_EQ(AfxMessageBox(QStringLiteral("Changed"), MB_SAVEANYWAYRELOADCANCEL), IDCANCEL);
    }
}

} // namespace
