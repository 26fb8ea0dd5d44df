#pragma once

class CFileDialog;

// Shows a file dialog and reports the choice. The editor's picker is a
// QFileDialog; tests install one that answers as scripted. Exactly one picker
// is current at any time.
class CFilePicker {
public:
    CFilePicker() = default;
    CFilePicker(const CFilePicker&) = delete;
    CFilePicker& operator=(const CFilePicker&) = delete;
    virtual ~CFilePicker() = default;

    // Shows a dialog set up as dialog.m_ofn says; on IDOK the chosen path is
    // in dialog.m_ofn.strFile. Returns IDOK or IDCANCEL.
    virtual int Pick(CFileDialog& dialog) = 0;

    // The current picker; the QFileDialog one when none was installed.
    static CFilePicker& Current();
    // Makes picker current (not owned) and returns the one it replaces;
    // nullptr restores the QFileDialog picker.
    static CFilePicker* Install(CFilePicker* picker);
};
