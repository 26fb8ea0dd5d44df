#pragma once

#include "framework/core/CSeam.h"

#include <QString>

class CFileDialog;
class QWidget;

// Shows a file or folder dialog and reports the choice. The editor's picker is a
// QFileDialog; tests install one that answers as scripted
// (CSeam<CFilePicker>).
class CFilePicker {
public:
    CFilePicker() = default;
    CFilePicker(const CFilePicker&) = delete;
    CFilePicker& operator=(const CFilePicker&) = delete;
    virtual ~CFilePicker() = default;

    // Shows a dialog set up as dialog.m_ofn says; on IDOK the chosen path is
    // in dialog.m_ofn.strFile. Returns IDOK or IDCANCEL.
    virtual int Pick(CFileDialog& dialog) = 0;
    // Shows a dialog for choosing an existing folder, titled title, over
    // pParent, starting in initialDir (a host folder; empty for the current
    // one). The chosen folder, or an empty string for Cancel, which is all a
    // picker that offers no folders answers.
    virtual QString PickFolder(const QString& title, const QString& initialDir, QWidget* pParent);
};

// The QFileDialog one.
template <> CFilePicker& CSeam<CFilePicker>::Default();
