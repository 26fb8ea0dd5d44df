#include "BankBuilder.h"
#include "DialogDriver.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "ScriptedModalRunner.h"

#include "dialogs/CCdTrackResourceDlg.h"
#include "format/SoundResource.h"
#include "framework/core/AfxMessageBox.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstring>

namespace {

QByteArray Bytes(const SoundResource& r) {
    return QByteArray(reinterpret_cast<const char*>(&r), sizeof r);
}

class CdTrackResourceDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::EnsureApplication();
        std::memset(&cd, 0x5A, sizeof cd);
        cd.resourceId = -7;
        cd.type = SoundResource::kTypeCdAudio;
        cd.cdTrack = 5;
    }

    int Run(SoundResource& r, const ScriptedModalRunner::Script& script) {
        runner.scripts << script;
        CCdTrackResourceDlg dlg(&r);
        return dlg.DoModal();
    }

    static QLineEdit* Track(QDialog& d) {
        return DialogDriver::Control<QLineEdit>(static_cast<CDialog&>(d), IDC_CD_TRACK);
    }
    static QPushButton* Button(QDialog& d, int id) {
        return DialogDriver::Control<QPushButton>(static_cast<CDialog&>(d), id);
    }

    // Types track and presses OK; true when the dialog closed.
    bool Enter(QDialog& d, const QString& track) {
        DialogDriver::Retype(Track(d), track);
        DialogDriver::Click(Button(d, IDOK));
        return !d.isVisible();
    }

    RecordingPromptSink prompts;
    ScriptedModalRunner runner;
    SoundResource cd{};
};

TEST_F(CdTrackResourceDlgTest, OpensWithIdTypeAndTrackAndFocusOnOk) {
    QStringList shown;
    bool focusOnOk = false;
    Run(cd, [&](QDialog& d) {
        auto& dlg = static_cast<CDialog&>(d);
        shown << dlg.GetDlgItemText(IDC_RESOURCE_ID) << dlg.GetDlgItemText(IDC_RESOURCE_TYPE)
              << dlg.GetDlgItemText(IDC_CD_TRACK);
        focusOnOk = d.focusWidget() == Button(d, IDOK);
    });
    EXPECT_EQ(shown, (QStringList{"-7", "CD Audio", "5"}));
    EXPECT_TRUE(focusOnOk);
    EXPECT_EQ(runner.titles, QStringList{QStringLiteral("Sound Resource Properties")});
}

TEST_F(CdTrackResourceDlgTest, BothEndsOfTheRangeAreAcceptedAndOnlyTheTrackHalfIsWritten) {
    for (const auto& [text, track] : {std::pair{"2", 2}, std::pair{"17", 17}}) {
        SoundResource expected = cd;
        expected.cdTrack = static_cast<quint16>(track);
        const int result = Run(cd, [&](QDialog& d) { EXPECT_TRUE(Enter(d, QLatin1String(text))); });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(Bytes(cd), Bytes(expected)) << text;
    }
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(CdTrackResourceDlgTest, TracksOutsideTheRangeAreRefused) {
    const QByteArray before = Bytes(cd);
    const int result = Run(cd, [&](QDialog& d) {
        EXPECT_FALSE(Enter(d, QStringLiteral("1")));
        EXPECT_FALSE(Enter(d, QStringLiteral("18")));
        EXPECT_FALSE(Enter(d, QString()));
        EXPECT_EQ(d.focusWidget(), Track(d));
        EXPECT_EQ(Bytes(cd), before);
        DialogDriver::Click(Button(d, IDCANCEL));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(prompts.Texts(), (QStringList{"Please enter an integer between 2 and 17.",
                                            "Please enter an integer between 2 and 17.",
                                            "Please enter an integer."}));
    EXPECT_EQ(Bytes(cd), before);
}

TEST_F(CdTrackResourceDlgTest, StoredTrackOutsideTheRangeOpensAndMustBeCorrected) {
    cd.cdTrack = 40000;
    QString shown;
    const int result = Run(cd, [&](QDialog& d) {
        shown = Track(d)->text();
        DialogDriver::Click(Button(d, IDOK));
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(Enter(d, QStringLiteral("9")));
    });
    EXPECT_EQ(shown, QStringLiteral("40000"));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(cd.cdTrack, 9);
    EXPECT_EQ(prompts.prompts.size(), 1);
}

TEST_F(CdTrackResourceDlgTest, SampleRecordEndsWithThreeAndStaysUntouched) {
    cd.type = SoundResource::kTypeSample;
    const QByteArray before = Bytes(cd);
    EXPECT_EQ(Run(cd, [](QDialog&) {}), 3);
    EXPECT_TRUE(runner.titles.isEmpty());
    EXPECT_EQ(Bytes(cd), before);
    runner.scripts.clear();
}

} // namespace
