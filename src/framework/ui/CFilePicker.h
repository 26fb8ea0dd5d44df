#pragma once

#include "framework/core/CSeam.h"

class CFileDialog;

// Shows a file dialog and reports the choice. The editor's picker is a
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
};

// The QFileDialog one.
template <> CFilePicker& CSeam<CFilePicker>::Default();
