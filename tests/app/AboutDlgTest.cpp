#include "DialogDriver.h"
#include "QtPrinters.h"
#include "RecordingPromptSink.h"
#include "ScriptedModalRunner.h"

#include "FixedVersionRecord.h"
#include "app/CAboutDlg.h"
#include "app/CKantelApp.h"
#include "app/CVersionInfo.h"
#include "framework/core/AfxMessageBox.h"
#include "res/resource.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct Shown {
    QString title;
    QString version;
    QString legal;
    QPixmap icon;
    QRect iconRect;
    QRect expectedIconRect;
};

class AboutDlgTest : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }

    // Runs the box once, notes what it shows and closes it with OK.
    int run(Shown& shown) {
        runner.scripts << [&shown](QDialog& d) {
            auto& dlg = static_cast<CDialog&>(d);
            shown.title = d.windowTitle();
            shown.version = dlg.GetDlgItemText(IDC_ABOUT_VERSION);
            shown.legal = dlg.GetDlgItemText(IDC_ABOUT_LEGAL);
            shown.expectedIconRect = dlg.MapDialogRect(11, 17, 18, 20);
            for (const QLabel* label : d.findChildren<QLabel*>()) {
                if (!label->pixmap().isNull()) {
                    shown.icon = label->pixmap();
                    shown.iconRect = label->geometry();
                }
            }
            DialogDriver::Click(DialogDriver::Control<QPushButton>(dlg, IDOK));
        };
        CAboutDlg dlg;
        return dlg.DoModal();
    }

    RecordingPromptSink prompts;
    ScriptedModalRunner runner;
};

TEST_F(AboutDlgTest, LinesComeFromTheRecordTheBuildAttached) {
    Shown shown;
    EXPECT_EQ(run(shown), IDOK);
    EXPECT_EQ(shown.title, QStringLiteral("About Kantel"));
    EXPECT_EQ(shown.version,
              QStringLiteral("Kantel Version " KANTEL_FILE_VERSION " (Feb  8 2000)"));
    EXPECT_EQ(shown.legal, QStringLiteral(KANTEL_LEGAL " " KANTEL_COMPANY));
    EXPECT_TRUE(prompts.prompts.isEmpty());
}

TEST_F(AboutDlgTest, TheProgramIconSitsWhereTheTemplateLeavesRoom) {
    Shown shown;
    run(shown);
    ASSERT_FALSE(shown.icon.isNull());
    EXPECT_EQ(shown.iconRect, shown.expectedIconRect);
    // The image fits the room without being cut.
    EXPECT_LE(shown.icon.width(), shown.iconRect.width());
    EXPECT_LE(shown.icon.height(), shown.iconRect.height());
    EXPECT_GE(shown.icon.width(), 16);
}

TEST_F(AboutDlgTest, EveryLineFitsItsControl) {
    // A maker or legal line set at build time that is too long would be cut
    // off in the box.
    QStringList cut;
    runner.scripts << [&cut](QDialog& d) {
        for (const QLabel* label : d.findChildren<QLabel*>()) {
            const int room = label->contentsRect().width();
            for (const QString& line : label->text().split(QLatin1Char('\n'))) {
                if (label->fontMetrics().horizontalAdvance(line) > room) {
                    cut << line;
                }
            }
        }
    };
    CAboutDlg dlg;
    dlg.DoModal();
    EXPECT_EQ(cut, QStringList());
}

TEST_F(AboutDlgTest, MissingValuesLeaveTheirPartEmpty) {
    FixedVersionRecord guard("Translation: 0409 04B0\n"
                             "[StringFileInfo\\040904B0]\n"
                             "ProductName=Kantel\n"
                             "LegalCopyright=Copyright (C) 2000\n");
    Shown shown;
    EXPECT_EQ(run(shown), IDOK);
    EXPECT_EQ(shown.version, QStringLiteral("Kantel Version  (Feb  8 2000)"));
    EXPECT_EQ(shown.legal, QStringLiteral("Copyright (C) 2000 "));
}

TEST_F(AboutDlgTest, ValuesOfAnotherTranslationAreReadFromItsBlock) {
    FixedVersionRecord guard("Translation: 0407 04E4\n"
                             "[StringFileInfo\\040904b0]\nProductName=English\nFileVersion=1\n"
                             "[StringFileInfo\\040704e4]\nProductName=Kantel DE\nFileVersion=2\n"
                             "CompanyName=Firma\nLegalCopyright=(C)\n");
    Shown shown;
    run(shown);
    EXPECT_EQ(shown.version, QStringLiteral("Kantel DE Version 2 (Feb  8 2000)"));
    EXPECT_EQ(shown.legal, QStringLiteral("(C) Firma"));
}

TEST_F(AboutDlgTest, UnreadableRecordGivesOneMessageAndNoBox) {
    const char* broken[] = {"", "[StringFileInfo\\040904b0]\nProductName=Kantel\n",
                            "Translation: 0409\n", "Translation: 10409 04B0\n"};
    for (const char* record : broken) {
        FixedVersionRecord guard(record);
        RecordingPromptSink failures;
        CAboutDlg dlg;
        EXPECT_EQ(dlg.DoModal(), IDABORT) << record;
        ASSERT_EQ(failures.prompts.size(), 1) << record;
        EXPECT_EQ(failures.prompts[0].text, QStringLiteral("Error reading version resource"));
        EXPECT_EQ(failures.prompts[0].type, MB_OK | MB_ICONHAND);
    }
    // The box was never shown.
    EXPECT_TRUE(runner.titles.isEmpty());
}

TEST_F(AboutDlgTest, EachOpeningReadsTheRecordAgain) {
    Shown first;
    run(first);
    FixedVersionRecord guard(
        "Translation: 0409 04B0\n[StringFileInfo\\040904B0]\nProductName=Other\n");
    Shown second;
    run(second);
    EXPECT_NE(first.version, second.version);
    EXPECT_EQ(second.version, QStringLiteral("Other Version  (Feb  8 2000)"));
}

TEST_F(AboutDlgTest, AboutCommandOfTheApplicationRunsTheBox) {
    CKantelApp app;
    runner.scripts << [](QDialog& d) { d.reject(); };
    EXPECT_TRUE(app.OnCmdMsg(ID_APP_ABOUT, CN_COMMAND, nullptr));
    EXPECT_EQ(runner.titles, QStringList{QStringLiteral("About Kantel")});
}

} // namespace
