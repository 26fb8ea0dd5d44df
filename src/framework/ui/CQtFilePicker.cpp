#include "CQtFilePicker.h"

#include "CFileDialog.h"
#include "CModalRunner.h"

#include "framework/core/AfxMessageBox.h"

#include <QFileDialog>

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
                               : open                  ? QStringLiteral("Open")
                                                       : QStringLiteral("Save As"));
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
    return fileDialog;
}
