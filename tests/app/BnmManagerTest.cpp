#include "DialogDriver.h"
#include "QtPrinters.h"
#include "ScriptedModalRunner.h"
#include "TestFolder.h"

#include "app/CBnmManager.h"
#include "app/CKantelApp.h"
#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CFileDialog.h"
#include "framework/ui/CFilePicker.h"
#include "framework/ui/CMultiDocTemplate.h"
#include "res/resource.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

const QString kOpenFilter = QStringLiteral("Kantel Files (*.bnm)|*.bnm|All Files (*.*)|*.*||");
const QString kSaveFilter = QStringLiteral("Kantel Files (*.bnm)|*.BNM|All Files (*.*)|*.*||");

// Answers every file dialog with Cancel, or with the next scripted path, and
// keeps the whole setup of each run (the shared scripted picker does not
// keep the title or the default extension).
class RecordingPicker final : public CFilePicker {
public:
    RecordingPicker() : m_guard(this) {}
    int Pick(CFileDialog& dialog) override {
        runs.append({dialog.IsOpenFileDialog(), dialog.m_ofn});
        if (answers.isEmpty()) {
            return IDCANCEL;
        }
        dialog.m_ofn.strFile = answers.takeFirst();
        return IDOK;
    }

    struct Run {
        bool bOpen;
        CFileDialog::OpenFileName ofn;
    };
    QList<Run> runs;
    QStringList answers;

private:
    CSeam<CFilePicker>::Guard m_guard;
};

// The application object with a Wine prefix and a current folder of the
// test's own; the game folders are set as start-up would have read them.
class BnmManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        DialogDriver::EnsureApplication();
        m_savedPrefix = qgetenv("WINEPREFIX");
        qputenv("WINEPREFIX", prefix.Path().toLocal8Bit());
        m_savedDir = QDir::currentPath();
        QDir::setCurrent(current.Path());
        // D: of the prefix is a folder of its own, as winecfg makes it.
        QDir(prefix.Path()).mkpath(QStringLiteral("dosdevices"));
        QDir(prefix.Path()).mkpath(QStringLiteral("drive_c/windows"));
        QDir(games.Path()).mkpath(QStringLiteral("Korvex/KVDATAB/Resson"));
        QDir(games.Path()).mkpath(QStringLiteral("Lunaris/datab/resson"));
        QFile::link(games.Path(), prefix.FilePath(QStringLiteral("dosdevices/d:")));
    }
    void TearDown() override {
        QDir::setCurrent(m_savedDir);
        if (m_savedPrefix.isNull()) {
            qunsetenv("WINEPREFIX");
        } else {
            qputenv("WINEPREFIX", m_savedPrefix);
        }
    }

    QString gamesHost(const QString& below) const {
        return QFileInfo(games.Path()).canonicalFilePath() + QLatin1Char('/') + below;
    }
    CBnmManager& manager() { return *static_cast<CBnmManager*>(app.m_pDocManager); }

    TestFolder prefix;
    TestFolder games;
    TestFolder current;
    CKantelApp app;
    RecordingPicker picker;

private:
    QByteArray m_savedPrefix;
    QString m_savedDir;
};

TEST_F(BnmManagerTest, FileOpenStartsInTheCurrentGamesBankFolder) {
    app.m_bHaveGameDir = 1;
    app.m_strKorvexPath = QStringLiteral("D:\\Korvex\\");
    app.m_strLunarisPath = QStringLiteral("D:\\Lunaris\\");

    app.OnFileOpen();
    app.OnGameLunaris();
    app.OnFileOpen();
    app.OnGameKorvex();
    app.OnFileOpen();

    ASSERT_EQ(picker.runs.size(), 3);
    // Each folder as it is spelled on disk, found without regard to case.
    EXPECT_EQ(picker.runs[0].ofn.strInitialDir,
              gamesHost(QStringLiteral("Korvex/KVDATAB/Resson/")));
    EXPECT_EQ(picker.runs[1].ofn.strInitialDir, gamesHost(QStringLiteral("Lunaris/datab/resson/")));
    EXPECT_EQ(picker.runs[2].ofn.strInitialDir, picker.runs[0].ofn.strInitialDir);
    // The game's folder itself keeps the Windows form the ini file gave.
    EXPECT_EQ(app.GetDefaultPath(), QStringLiteral("D:\\Korvex\\kvdatab\\resson\\"));

    const CFileDialog::OpenFileName& ofn = picker.runs[0].ofn;
    EXPECT_TRUE(picker.runs[0].bOpen);
    EXPECT_EQ(ofn.strFilter, kOpenFilter);
    EXPECT_EQ(ofn.nFilterIndex, 1);
    EXPECT_EQ(ofn.strDefExt, QString());
    EXPECT_EQ(ofn.strTitle, QStringLiteral("Open"));
    EXPECT_EQ(ofn.strFile, QString());
    EXPECT_EQ(ofn.Flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST);
}

TEST_F(BnmManagerTest, WithoutAGameFolderThePlatformChoosesTheStart) {
    app.OnFileOpen();
    app.OnGameLunaris();
    app.OnFileOpen();
    ASSERT_EQ(picker.runs.size(), 2);
    EXPECT_EQ(picker.runs[0].ofn.strInitialDir, QString());
    EXPECT_EQ(picker.runs[1].ofn.strInitialDir, QString());
}

TEST_F(BnmManagerTest, OneFlagForBothGamesLeavesTheOtherGameARelativeFolder) {
    // Only Korvex was found; Lunaris current gives the bare subfolder, which
    // a file dialog takes relative to the current folder.
    app.m_bHaveGameDir = 1;
    app.m_strKorvexPath = QStringLiteral("D:\\Korvex\\");
    app.OnGameLunaris();
    EXPECT_EQ(app.GetDefaultPath(), QStringLiteral("datab\\resson\\"));
    app.OnFileOpen();
    ASSERT_EQ(picker.runs.size(), 1);
    EXPECT_EQ(picker.runs[0].ofn.strInitialDir,
              QDir(current.Path()).filePath(QStringLiteral("datab/resson/")));
}

TEST_F(BnmManagerTest, UnknownDriveGivesThePlatformsStart) {
    app.m_bHaveGameDir = 1;
    app.m_strKorvexPath = QStringLiteral("Q:\\Korvex\\");
    app.OnFileOpen();
    ASSERT_EQ(picker.runs.size(), 1);
    EXPECT_EQ(picker.runs[0].ofn.strInitialDir, QString());
}

TEST_F(BnmManagerTest, SaveAsOffersTheTemplatesFilterAndExtension) {
    app.m_bHaveGameDir = 1;
    app.m_strKorvexPath = QStringLiteral("D:\\Korvex\\");
    CMultiDocTemplate bankTemplate(IDR_BNMTYPE, nullptr, nullptr, nullptr);
    QString name = QStringLiteral("Bnk_1.BNM");
    picker.answers << QStringLiteral("/somewhere/Bnk_2.BNM");

    EXPECT_TRUE(manager().DoPromptFileName(
        name, AFX_IDS_SAVEFILE, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, false, &bankTemplate));
    EXPECT_EQ(name, QStringLiteral("/somewhere/Bnk_2.BNM"));
    ASSERT_EQ(picker.runs.size(), 1);
    const CFileDialog::OpenFileName& ofn = picker.runs[0].ofn;
    EXPECT_FALSE(picker.runs[0].bOpen);
    EXPECT_EQ(ofn.strFilter, kSaveFilter);
    EXPECT_EQ(ofn.nFilterIndex, 1);
    EXPECT_EQ(ofn.strDefExt, QStringLiteral("BNM"));
    EXPECT_EQ(ofn.strTitle, QStringLiteral("Save As"));
    EXPECT_EQ(ofn.strFile, QStringLiteral("Bnk_1.BNM"));
    EXPECT_EQ(ofn.strInitialDir, gamesHost(QStringLiteral("Korvex/KVDATAB/Resson/")));
    EXPECT_EQ(ofn.Flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
}

TEST_F(BnmManagerTest, CancelLeavesTheNameAlone) {
    QString name = QStringLiteral("Bnk_1.BNM");
    CMultiDocTemplate bankTemplate(IDR_BNMTYPE, nullptr, nullptr, nullptr);
    EXPECT_FALSE(manager().DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, false, &bankTemplate));
    EXPECT_EQ(name, QStringLiteral("Bnk_1.BNM"));
}

TEST_F(BnmManagerTest, TemplateWithoutFilterAddsOnlyAllFiles) {
    // String 128 is the frame's title alone: no filter name, no extension.
    CMultiDocTemplate plain(IDR_MAINFRAME, nullptr, nullptr, nullptr);
    CFileDialog dlg(false);
    QString filter;
    QString defaultExt = QStringLiteral("unchanged");
    EXPECT_EQ(CBnmManager::AppendTemplateFilter(filter, dlg, &plain, &defaultExt, 0), 0);
    EXPECT_EQ(filter, QString());
    EXPECT_EQ(defaultExt, QStringLiteral("unchanged"));
    EXPECT_EQ(dlg.m_ofn.strDefExt, QString());

    QString name;
    manager().DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, false, &plain);
    ASSERT_EQ(picker.runs.size(), 1);
    EXPECT_EQ(picker.runs[0].ofn.strFilter, QStringLiteral("All Files (*.*)|*.*||"));
    EXPECT_EQ(picker.runs[0].ofn.strDefExt, QString());
}

TEST_F(BnmManagerTest, AppendedFilterIsChosenWhereItLands) {
    CMultiDocTemplate bankTemplate(IDR_BNMTYPE, nullptr, nullptr, nullptr);
    CFileDialog dlg(false);
    QString filter = QStringLiteral("Other (*.x)|*.x|");
    QString defaultExt;
    EXPECT_EQ(CBnmManager::AppendTemplateFilter(filter, dlg, &bankTemplate, &defaultExt, 1), 1);
    EXPECT_EQ(filter, QStringLiteral("Other (*.x)|*.x|Kantel Files (*.bnm)|*.BNM|"));
    EXPECT_EQ(defaultExt, QStringLiteral("BNM"));
    EXPECT_EQ(dlg.m_ofn.strDefExt, QStringLiteral("BNM"));
    EXPECT_EQ(dlg.m_ofn.nFilterIndex, 2);

    // Without a place for the extension the dialog gets none either.
    CFileDialog plainDlg(false);
    QString plainFilter;
    CBnmManager::AppendTemplateFilter(plainFilter, plainDlg, &bankTemplate, nullptr, 0);
    EXPECT_EQ(plainFilter, QStringLiteral("Kantel Files (*.bnm)|*.BNM|"));
    EXPECT_EQ(plainDlg.m_ofn.strDefExt, QString());
}

// --- The real file dialog -------------------------------------------------

class BnmManagerQtDialogTest : public BnmManagerTest {
protected:
    // The editor's own picker, not the recording one.
    CSeam<CFilePicker>::Guard qtPicker{nullptr};
    ScriptedModalRunner runner;
};

TEST_F(BnmManagerQtDialogTest, SaveAsAddsTheExtensionToATypedNameWithout) {
    app.m_bHaveGameDir = 1;
    app.m_strKorvexPath = QStringLiteral("D:\\Korvex\\");
    const QString folder = gamesHost(QStringLiteral("Korvex/KVDATAB/Resson"));
    CMultiDocTemplate bankTemplate(IDR_BNMTYPE, nullptr, nullptr, nullptr);
    const auto typeName = [&](const QString& typed) {
        return [&, typed](QDialog& d) {
            auto& fileDialog = dynamic_cast<QFileDialog&>(d);
            EXPECT_EQ(fileDialog.directory().absolutePath(), folder);
            // The bank filter, first of the two, is the one chosen.
            ASSERT_EQ(fileDialog.nameFilters().size(), 2);
            EXPECT_EQ(fileDialog.selectedNameFilter(), fileDialog.nameFilters().first());
            // One pattern, shown once: the dialog ignores case.
            EXPECT_EQ(fileDialog.selectedNameFilter(), QStringLiteral("Kantel Files (*.bnm)"));
            auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            DialogDriver::Retype(edit, typed);
            d.accept(); // as the Save button does
        };
    };
    runner.scripts << typeName(QStringLiteral("newbank")) << typeName(QStringLiteral("other.bnm"));

    QString name;
    ASSERT_TRUE(manager().DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, false, &bankTemplate));
    EXPECT_EQ(name, folder + QStringLiteral("/newbank.BNM"));
    // A name with an extension of its own keeps it.
    name.clear();
    ASSERT_TRUE(manager().DoPromptFileName(name, AFX_IDS_SAVEFILE, 0, false, &bankTemplate));
    EXPECT_EQ(name, folder + QStringLiteral("/other.bnm"));
    EXPECT_EQ(runner.titles, (QStringList{QStringLiteral("Save As"), QStringLiteral("Save As")}));
}

TEST_F(BnmManagerQtDialogTest, OpenListsBanksFirstAndEveryFileOnRequest) {
    app.m_bHaveGameDir = 1;
    app.m_strKorvexPath = QStringLiteral("D:\\Korvex\\");
    runner.scripts << [](QDialog& d) {
        auto& fileDialog = dynamic_cast<QFileDialog&>(d);
        EXPECT_EQ(fileDialog.nameFilters(), (QStringList{QStringLiteral("Kantel Files (*.bnm)"),
                                                         QStringLiteral("All Files (*)")}));
        EXPECT_EQ(fileDialog.selectedNameFilter(), QStringLiteral("Kantel Files (*.bnm)"));
        EXPECT_TRUE(fileDialog.defaultSuffix().isEmpty());
        d.reject();
    };
    app.OnFileOpen();
    EXPECT_EQ(runner.titles, QStringList{QStringLiteral("Open")});
}

} // namespace
