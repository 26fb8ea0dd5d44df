#include "CQtFilePicker.h"

#include "CFileDialog.h"
#include "CModalRunner.h"

#include "framework/core/AfxMessageBox.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QScreen>
#include <QTreeView>

#include <array>

namespace {

// The widest text of the list's date column: Qt shows the system locale's
// short date and time, whose width varies with the month.
int DateColumnText(const QFontMetrics& metrics) {
    const QLocale locale = QLocale::system();
    int widest = 0;
    for (int month = 1; month <= 12; ++month) {
        const QDateTime time(QDate(2000, month, 28), QTime(23, 59, 59));
        widest =
            qMax(widest, metrics.horizontalAdvance(locale.toString(time, QLocale::ShortFormat)));
    }
    return widest;
}

// Qt's own layout shows little more than the names and cuts the dates off;
// a bank's folder holds hundreds of wave files told apart by size and date,
// so the dialog opens with its name, size, type and date columns wide enough
// for their texts, and itself wide enough for them, as far as the screen
// allows.
void SizeForColumns(QFileDialog& fileDialog) {
    fileDialog.setViewMode(QFileDialog::Detail);
    const QFontMetrics metrics(fileDialog.font());
    // Room for the icon and the margins the style keeps around a cell's text.
    const int padding = metrics.height() + 16;
    const std::array<int, 4> columns{
        metrics.averageCharWidth() * 24 + padding,
        metrics.horizontalAdvance(QStringLiteral("1,023.99 KiB")) + padding,
        metrics.horizontalAdvance(QStringLiteral("plain text document")) + padding,
        DateColumnText(metrics) + padding,
    };
    int listWidth = 0;
    if (auto* view = fileDialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        for (int column = 0; column < header->count() && column < 4; ++column) {
            header->resizeSection(column, columns.at(static_cast<std::size_t>(column)));
            listWidth += columns.at(static_cast<std::size_t>(column));
        }
    }
    // The list shares the width with the places beside it and the frame.
    QSize wanted(
        qMax(metrics.averageCharWidth() * 120, listWidth + metrics.averageCharWidth() * 40),
        metrics.height() * 30);
    const QWidget* parent = fileDialog.parentWidget();
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        wanted = wanted.boundedTo(screen->availableSize() * 9 / 10);
    }
    fileDialog.resize(wanted.expandedTo(fileDialog.sizeHint()));
}

} // namespace

int CQtFilePicker::Pick(CFileDialog& dialog) {
    const std::unique_ptr<QFileDialog> fileDialog = CreateDialog(dialog);
    if (CSeam<CModalRunner>::Current().RunModal(*fileDialog) != QDialog::Accepted) {
        return IDCANCEL;
    }
    const QStringList files = fileDialog->selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) {
        return IDCANCEL;
    }
    dialog.m_ofn.strFile = files.first();
    return IDOK;
}

std::unique_ptr<QFileDialog> CQtFilePicker::CreateDialog(const CFileDialog& dialog) {
    const CFileDialog::OpenFileName& ofn = dialog.m_ofn;
    auto fileDialog = std::make_unique<QFileDialog>(dialog.GetParentWnd());
    fileDialog->setOption(QFileDialog::DontUseNativeDialog);
    const bool open = dialog.IsOpenFileDialog();
    fileDialog->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    fileDialog->setWindowTitle(!ofn.strTitle.isEmpty() ? ofn.strTitle
                               : open ? QCoreApplication::translate("CQtFilePicker", "Open")
                                      : QCoreApplication::translate("CQtFilePicker", "Save As"));
    fileDialog->setFileMode(open && (ofn.Flags & OFN_FILEMUSTEXIST) != 0U
                                ? QFileDialog::ExistingFile
                                : QFileDialog::AnyFile);
    if (!open && (ofn.Flags & OFN_OVERWRITEPROMPT) == 0U) {
        fileDialog->setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!ofn.strDefExt.isEmpty()) {
        fileDialog->setDefaultSuffix(ofn.strDefExt);
    }
    // Bank and wave file names were given on a file system that ignores
    // case, so "*.wav" must also show "ENGINE.WAV".
    fileDialog->setFilter(fileDialog->filter() & ~QDir::CaseSensitive);
    const QStringList filters = CFileDialog::NameFilters(ofn.strFilter);
    if (!filters.isEmpty()) {
        fileDialog->setNameFilters(filters);
        const int index =
            ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= filters.size() ? ofn.nFilterIndex - 1 : 0;
        fileDialog->selectNameFilter(filters.at(index));
    }
    if (!ofn.strInitialDir.isEmpty()) {
        fileDialog->setDirectory(ofn.strInitialDir);
    }
    if (!ofn.strFile.isEmpty()) {
        fileDialog->selectFile(ofn.strFile);
    }
    SizeForColumns(*fileDialog);
    return fileDialog;
}

QString CQtFilePicker::PickFolder(const QString& title, const QString& initialDir,
                                  QWidget* pParent) {
    const std::unique_ptr<QFileDialog> fileDialog = CreateFolderDialog(title, initialDir, pParent);
    if (CSeam<CModalRunner>::Current().RunModal(*fileDialog) != QDialog::Accepted) {
        return QString();
    }
    const QStringList folders = fileDialog->selectedFiles();
    return folders.isEmpty() ? QString() : folders.first();
}

std::unique_ptr<QFileDialog> CQtFilePicker::CreateFolderDialog(const QString& title,
                                                               const QString& initialDir,
                                                               QWidget* pParent) {
    auto fileDialog = std::make_unique<QFileDialog>(pParent);
    fileDialog->setOption(QFileDialog::DontUseNativeDialog);
    fileDialog->setWindowTitle(title);
    fileDialog->setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog->setFileMode(QFileDialog::Directory);
    fileDialog->setOption(QFileDialog::ShowDirsOnly);
    if (!initialDir.isEmpty()) {
        fileDialog->setDirectory(initialDir);
    }
    SizeForColumns(*fileDialog);
    return fileDialog;
}
