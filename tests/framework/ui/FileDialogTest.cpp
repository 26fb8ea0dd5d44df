#include "DialogDriver.h"
#include "QtPrinters.h"
#include "ScriptedModalRunner.h"
#include "TestFolder.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CFileDialog.h"
#include "framework/ui/CQtFilePicker.h"

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <array>

namespace {

const QString kWaveFilter = QStringLiteral("Wave Files (*.wav)|*.wav|All Files (*.*)|*.*||");
constexpr unsigned kOpenFlags =
    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST | OFN_EXPLORER;

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override { DialogDriver::EnsureApplication(); }

    TestFolder folder;
    ScriptedModalRunner runner;
};

TEST_F(FileDialogTest, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(CFileDialog::NameFilters(kWaveFilter),
              (QStringList{"Wave Files (*.wav)", "All Files (*)"}));
    // One pattern list each, case ignored as the dialog ignores it; a
    // caption's own list is not shown a second time.
    EXPECT_EQ(CFileDialog::NameFilters(QStringLiteral("Sound Banks|*.bnm;*.BNM|Names (x)|*.bns||")),
              (QStringList{"Sound Banks (*.bnm)", "Names (x) (*.bns)"}));
    EXPECT_EQ(CFileDialog::NameFilters(
                  QStringLiteral("Kantel Files (*.bnm)|*.BNM|Sound Files (*.wav *.mp3)|*.wav;*.mp3|"
                                 "Waves (*.wav;*.WAV)|*.wav|Old (*.voc)|*.wav||")),
              (QStringList{"Kantel Files (*.bnm)", "Sound Files (*.wav *.mp3)", "Waves (*.wav)",
                           "Old (*.wav)"}));
    EXPECT_EQ(CFileDialog::NameFilters(QString()), QStringList());
    EXPECT_EQ(CFileDialog::AllFilesFilterName(), QStringLiteral("All Files (*.*)"));
}

TEST_F(FileDialogTest, QtDialogIsSetUpAsTheFlagsSay) {
    CFileDialog open(true, QString(), QString(), kOpenFlags, kWaveFilter);
    open.m_ofn.nFilterIndex = 2;
    open.m_ofn.strInitialDir = folder.Path();
    const auto dialog = CQtFilePicker::CreateDialog(open);
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->selectedNameFilter(), QStringLiteral("All Files (*)"));
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(folder.Path()).absolutePath());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Open"));
    // Names from a file system that ignores case: "*.wav" shows ENGINE.WAV.
    EXPECT_FALSE(dialog->filter().testFlag(QDir::CaseSensitive));

    CFileDialog save(false, QStringLiteral("bnm"), QStringLiteral("Bnk_0.bnm"), OFN_HIDEREADONLY,
                     QString());
    const auto saveDialog = CQtFilePicker::CreateDialog(save);
    EXPECT_EQ(saveDialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(saveDialog->fileMode(), QFileDialog::AnyFile);
    EXPECT_EQ(saveDialog->defaultSuffix(), QStringLiteral("bnm"));
    EXPECT_TRUE(saveDialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(saveDialog->windowTitle(), QStringLiteral("Save As"));
}

TEST_F(FileDialogTest, ChoiceInTheQtDialogComesBackAsPathAndName) {
    const QString path = folder.Write(QStringLiteral("ENGINE.WAV"), QByteArray("RIFF"));
    CFileDialog dlg(true, QString(), QString(), kOpenFlags, kWaveFilter);
    dlg.m_ofn.strInitialDir = folder.Path();
    runner.scripts << [&](QDialog& d) {
        // The user types the name in the dialog's name box and opens it.
        auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        DialogDriver::Retype(name, QStringLiteral("engine.WAV"));
        DialogDriver::Retype(name, QStringLiteral("ENGINE.WAV"));
        d.accept(); // as the Open button does
    };
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetPathName(), path);
    EXPECT_EQ(dlg.GetFileName(), QStringLiteral("ENGINE.WAV"));
    EXPECT_EQ(dlg.GetFileTitle(), QStringLiteral("ENGINE"));
    EXPECT_EQ(dlg.GetFileExt(), QStringLiteral("WAV"));
    EXPECT_EQ(runner.titles, QStringList{QStringLiteral("Open")});
}

TEST_F(FileDialogTest, CancelledQtDialogLeavesTheNameAsItWas) {
    CFileDialog dlg(true, QString(), QStringLiteral("start.wav"), kOpenFlags, kWaveFilter);
    runner.scripts << [](QDialog& d) { d.reject(); };
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_ofn.strFile, QStringLiteral("start.wav"));
}

TEST_F(FileDialogTest, FolderChoiceShowsFoldersAndGivesTheChosenOneOrNothing) {
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("Out")));
    const QString out = folder.FilePath(QStringLiteral("Out"));
    const auto dialog =
        CQtFilePicker::CreateFolderDialog(QStringLiteral("Export Sounds"), folder.Path(), nullptr);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(dialog->testOption(QFileDialog::ShowDirsOnly));
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Export Sounds"));
    EXPECT_EQ(dialog->directory().absolutePath(), QDir(folder.Path()).absolutePath());

    CQtFilePicker picker;
    // The user goes into Out and chooses it.
    runner.scripts << [&](QDialog& d) {
        static_cast<QFileDialog&>(d).setDirectory(out);
        d.accept();
    };
    EXPECT_EQ(picker.PickFolder(QStringLiteral("Export Sounds"), folder.Path(), nullptr), out);
    runner.scripts << [](QDialog& d) { d.reject(); };
    EXPECT_EQ(picker.PickFolder(QStringLiteral("Export Sounds"), folder.Path(), nullptr),
              QString());
    EXPECT_EQ(runner.titles, QStringList(2, QStringLiteral("Export Sounds")));
}

TEST_F(FileDialogTest, OpensWideEnoughToShowNameSizeTypeAndDate) {
    folder.Write(QStringLiteral("ENGINE_IDLE_2.WAV"), QByteArray(4096, 'x'));
    ASSERT_TRUE(QDir(folder.Path()).mkdir(QStringLiteral("Exported sounds")));
    CFileDialog open(true, QString(), QString(), kOpenFlags, kWaveFilter);
    open.m_ofn.strInitialDir = folder.Path();
    std::array dialogs{
        CQtFilePicker::CreateDialog(open),
        CQtFilePicker::CreateFolderDialog(QStringLiteral("Export Sounds"), folder.Path(), nullptr)};
    for (const auto& dialog : dialogs) {
        const std::string title = dialog->windowTitle().toStdString();
        dialog->show();
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(view, nullptr);
        // The folder is read in the background.
        ASSERT_TRUE(QTest::qWaitFor(
            [view] { return view->model()->rowCount(view->rootIndex()) > 0; }, 5000))
            << title;
        EXPECT_TRUE(view->isVisible()) << title;
        const QHeaderView* header = view->header();
        ASSERT_GE(header->count(), 4);
        for (int column = 0; column < 4; ++column) {
            EXPECT_FALSE(header->isSectionHidden(column)) << column;
            EXPECT_LE(header->sectionViewportPosition(column) + header->sectionSize(column),
                      view->viewport()->width())
                << title << " column " << column;
            // No cell of the column is cut off.
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                const QModelIndex index = view->model()->index(row, column, view->rootIndex());
                const int needed = view->fontMetrics().horizontalAdvance(index.data().toString()) +
                                   (column == 0 ? view->iconSize().width() : 0);
                EXPECT_LT(needed, header->sectionSize(column))
                    << title << " " << index.data().toString().toStdString();
            }
        }
        dialog->hide();
    }
}

} // namespace
