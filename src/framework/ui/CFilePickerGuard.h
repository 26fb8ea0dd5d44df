#pragma once

class CFilePicker;

// Installs a file picker for the lifetime of the guard and puts the previous
// one back when it ends.
class CFilePickerGuard {
public:
    explicit CFilePickerGuard(CFilePicker* picker);
    ~CFilePickerGuard();
    CFilePickerGuard(const CFilePickerGuard&) = delete;
    CFilePickerGuard& operator=(const CFilePickerGuard&) = delete;

private:
    CFilePicker* m_pPrevious;
};
