#pragma once

#include "CFilePicker.h"

#include <memory>

class QFileDialog;

// The editor's file dialog: Qt's own (not the desktop's, which would not go
// through the modal runner), run through the current modal runner.
class CQtFilePicker final : public CFilePicker {
public:
    int Pick(CFileDialog& dialog) override;
    QString PickFolder(const QString& title, const QString& initialDir, QWidget* pParent) override;

    // The QFileDialog Pick runs for dialog.
    static std::unique_ptr<QFileDialog> CreateDialog(const CFileDialog& dialog);
    // The QFileDialog PickFolder runs.
    static std::unique_ptr<QFileDialog>
    CreateFolderDialog(const QString& title, const QString& initialDir, QWidget* pParent);
};
