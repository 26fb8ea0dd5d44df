#include "DialogDriver.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "ScriptedModalRunner.h"

#include "dialogs/CSoundEventDlg.h"
#include "format/SoundEvent.h"
#include "framework/core/AfxMessageBox.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const SoundEvent& e) {
    return QByteArray(reinterpret_cast<const char*>(&e), sizeof e);
}

class SoundEventDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::EnsureApplication();
        event.eventId = 42;
        event.type = SoundEvent::kTypeVolume;
        event.param1 = (2U << 16U) | 5U;
        event.param2 = 32768;
        event.param3 = 65536;
        event.word5 = 0xFEEDF00D;
        event.stopable = 1;
        event.dynamic = 0;
    }

    int Run(const ScriptedModalRunner::Script& script) {
        runner.scripts << script;
        CSoundEventDlg dlg(&event);
        return dlg.DoModal();
    }

    static CDialog& Dlg(QDialog& d) { return static_cast<CDialog&>(d); }
    static QLineEdit* Edit(QDialog& d, int id) {
        return DialogDriver::Control<QLineEdit>(Dlg(d), id);
    }
    static void Ok(QDialog& d) {
        DialogDriver::Click(DialogDriver::Control<QPushButton>(Dlg(d), IDOK));
    }

    RecordingPromptSink prompts;
    ScriptedModalRunner runner;
    SoundEvent event{};
};

TEST_F(SoundEventDlgTest, OpensWithTargetSplitAndFractions) {
    QStringList shown;
    QList<bool> checks;
    Run([&](QDialog& d) {
        for (int id : {IDC_EVENT_ID, IDC_EVENT_TYPE, IDC_TARGET_INDEX, IDC_BANK_NUMBER, IDC_PARAM2,
                       IDC_PARAM2_FRACTION, IDC_PARAM3, IDC_PARAM3_FRACTION}) {
            shown << Dlg(d).GetDlgItemText(id);
        }
        checks << DialogDriver::Control<QCheckBox>(Dlg(d), IDC_STOPABLE)->isChecked()
               << DialogDriver::Control<QCheckBox>(Dlg(d), IDC_DYNAMIC)->isChecked();
    });
    EXPECT_EQ(shown,
              (QStringList{"42", "Volume", "5", "2", "32768", "0.500000", "65536", "1.000000"}));
    EXPECT_EQ(checks, (QList<bool>{true, false}));
    EXPECT_EQ(runner.titles, QStringList{QStringLiteral("Sound Event Properties")});
}

TEST_F(SoundEventDlgTest, OkWithoutChangesWritesTheSameRecordAndKeepsTheType) {
    const QByteArray before = Bytes(event);
    EXPECT_EQ(Run([&](QDialog& d) { Ok(d); }), IDOK);
    EXPECT_EQ(Bytes(event), before);
    event.type = SoundEvent::kTypePitch;
    const QByteArray pitch = Bytes(event);
    QString caption;
    EXPECT_EQ(Run([&](QDialog& d) {
                  caption = Dlg(d).GetDlgItemText(IDC_EVENT_TYPE);
                  DialogDriver::PressEscape(Edit(d, IDC_PARAM2));
              }),
              IDCANCEL);
    EXPECT_EQ(caption, QStringLiteral("Pitch"));
    EXPECT_EQ(Bytes(event), pitch);
}

TEST_F(SoundEventDlgTest, OkWritesFlagsTargetAndParametersOnly) {
    event.stopable = 7; // any non-zero value is a checked box
    const int result = Run([&](QDialog& d) {
        DialogDriver::Click(DialogDriver::Control<QCheckBox>(Dlg(d), IDC_STOPABLE));
        DialogDriver::Click(DialogDriver::Control<QCheckBox>(Dlg(d), IDC_DYNAMIC));
        DialogDriver::Retype(Edit(d, IDC_TARGET_INDEX), QStringLiteral("65535"));
        DialogDriver::Retype(Edit(d, IDC_BANK_NUMBER), QStringLiteral("3"));
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QStringLiteral("1"));
        DialogDriver::Retype(Edit(d, IDC_PARAM3), QStringLiteral("0"));
        EXPECT_EQ(event.param2, 32768U);
        Ok(d);
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(event.stopable, 0);
    EXPECT_EQ(event.dynamic, 1);
    EXPECT_EQ(event.param1, 0x0003FFFFU);
    EXPECT_EQ(event.param2, 1U);
    EXPECT_EQ(event.param3, 0U);
    EXPECT_EQ(event.eventId, 42);
    EXPECT_EQ(event.type, SoundEvent::kTypeVolume);
    EXPECT_EQ(event.word5, 0xFEEDF00DU);
}

TEST_F(SoundEventDlgTest, FractionsFollowTheBoxesAsTheUserTypes) {
    QStringList fractions;
    Run([&](QDialog& d) {
        const auto fraction = [&] { return Dlg(d).GetDlgItemText(IDC_PARAM2_FRACTION); };
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QString());
        fractions << fraction();
        DialogDriver::Type(Edit(d, IDC_PARAM2), QStringLiteral("1"));
        fractions << fraction();
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QStringLiteral("65536"));
        fractions << fraction();
        // Above 1.0 the true value shows, so a stored pitch reads as the
        // list reads it.
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QStringLiteral("98304"));
        fractions << fraction();
        DialogDriver::Retype(Edit(d, IDC_PARAM3), QStringLiteral("16384"));
        fractions << Dlg(d).GetDlgItemText(IDC_PARAM3_FRACTION);
    });
    EXPECT_EQ(fractions, (QStringList{"0.000000", "0.000015", "1.000000", "1.500000", "0.250000"}));
}

TEST_F(SoundEventDlgTest, RangeEndsAreAcceptedAndTheNextValuesRefused) {
    const QByteArray before = Bytes(event);
    Run([&](QDialog& d) {
        DialogDriver::Retype(Edit(d, IDC_BANK_NUMBER), QStringLiteral("4"));
        Ok(d);
        DialogDriver::Retype(Edit(d, IDC_BANK_NUMBER), QStringLiteral("3"));
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QStringLiteral("65537"));
        Ok(d);
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QStringLiteral("65536"));
        DialogDriver::Retype(Edit(d, IDC_TARGET_INDEX), QStringLiteral("65536"));
        Ok(d);
        EXPECT_EQ(d.focusWidget(), Edit(d, IDC_TARGET_INDEX));
        EXPECT_EQ(Bytes(event), before);
        DialogDriver::Retype(Edit(d, IDC_TARGET_INDEX), QStringLiteral("65535"));
        Ok(d);
    });
    EXPECT_EQ(prompts.Texts(), (QStringList{"Please enter an integer between 0 and 3.",
                                            "Please enter an integer between 0 and 65536.",
                                            "Please enter an integer between 0 and 65535."}));
    EXPECT_EQ(event.param1, 0x0003FFFFU);
    EXPECT_EQ(event.param2, 65536U);
}

TEST_F(SoundEventDlgTest, InvalidBoxesAreReportedBankParam2Param3TargetInThatOrder) {
    event.param1 = (9U << 16U) | 1U; // a stored bank number above 3 opens as it is
    QString bankShown;
    QList<QWidget*> focused;
    QList<QWidget*> expected;
    Run([&](QDialog& d) {
        bankShown = Edit(d, IDC_BANK_NUMBER)->text();
        DialogDriver::Retype(Edit(d, IDC_TARGET_INDEX), QString());
        DialogDriver::Retype(Edit(d, IDC_PARAM3), QStringLiteral("99999"));
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QString());
        for (int id : {IDC_BANK_NUMBER, IDC_PARAM2, IDC_PARAM3, IDC_TARGET_INDEX}) {
            Ok(d);
            focused << d.focusWidget();
            expected << Edit(d, id);
            DialogDriver::Retype(Edit(d, id), QStringLiteral("1"));
        }
        Ok(d);
    });
    EXPECT_EQ(bankShown, QStringLiteral("9"));
    EXPECT_EQ(focused, expected);
    EXPECT_EQ(
        prompts.Texts(),
        (QStringList{"Please enter an integer between 0 and 3.", "Please enter an integer.",
                     "Please enter an integer between 0 and 65536.", "Please enter an integer."}));
    EXPECT_EQ(event.param1, 0x00010001U);
}

TEST_F(SoundEventDlgTest, StoredParameterWordsOpenAsTheyAreAndOkKeepsThem) {
    // A pitch of 1.5 and a word with its top bit set, on either type: OK
    // after changing only a flag writes both back unchanged.
    for (qint32 type : {SoundEvent::kTypePitch, SoundEvent::kTypeVolume}) {
        event.type = type;
        event.param2 = 98304;
        event.param3 = 0x80000000U;
        QStringList shown;
        const int result = Run([&](QDialog& d) {
            for (int id : {IDC_PARAM_RANGE, IDC_PARAM2, IDC_PARAM2_FRACTION, IDC_PARAM3,
                           IDC_PARAM3_FRACTION}) {
                shown << Dlg(d).GetDlgItemText(id);
            }
            DialogDriver::Click(DialogDriver::Control<QCheckBox>(Dlg(d), IDC_DYNAMIC));
            Ok(d);
        });
        EXPECT_EQ(shown.mid(1), (QStringList{"98304", "1.500000", "2147483648", "32768.000000"}))
            << type;
        EXPECT_EQ(shown.first(), type == SoundEvent::kTypePitch
                                     ? QStringLiteral("Range 0 - 4294967295")
                                     : QStringLiteral("Range 0 - 65536 (0.0 - 1.0)"));
        EXPECT_EQ(result, IDOK) << type;
        EXPECT_EQ(event.param2, 98304U);
        EXPECT_EQ(event.param3, 0x80000000U);
    }
}

TEST_F(SoundEventDlgTest, PitchTakesAnyWordAndVolumeAtMostOneForNewValues) {
    event.type = SoundEvent::kTypePitch;
    Run([&](QDialog& d) {
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QStringLiteral("4294967296"));
        Ok(d);
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QStringLiteral("4294967295"));
        Ok(d);
    });
    EXPECT_EQ(event.param2, 4294967295U);
    // A Volume holding 98304 keeps it, and refuses any other word above 1.0.
    event.type = SoundEvent::kTypeVolume;
    event.param2 = 98304;
    Run([&](QDialog& d) {
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QStringLiteral("98305"));
        Ok(d);
        DialogDriver::Retype(Edit(d, IDC_PARAM2), QStringLiteral("98304"));
        Ok(d);
    });
    EXPECT_EQ(prompts.Texts(), (QStringList{"Please enter an integer between 0 and 4294967295.",
                                            "Please enter an integer between 0 and 65536."}));
    EXPECT_EQ(event.param2, 98304U);
}

TEST_F(SoundEventDlgTest, OtherEventTypesEndWithThreeBeforeShowing) {
    for (qint32 type : {SoundEvent::kTypePlay, SoundEvent::kTypeStop, SoundEvent::kTypeEffect}) {
        event.type = type;
        const QByteArray before = Bytes(event);
        EXPECT_EQ(Run([](QDialog&) {}), 3) << type;
        EXPECT_EQ(Bytes(event), before);
    }
    EXPECT_TRUE(runner.titles.isEmpty());
    runner.scripts.clear();
}

} // namespace
