#include "CFilePickerGuard.h"

#include "CFilePicker.h"

CFilePickerGuard::CFilePickerGuard(CFilePicker* picker)
    : m_pPrevious(CFilePicker::Install(picker)) {}

CFilePickerGuard::~CFilePickerGuard() {
    CFilePicker::Install(m_pPrevious);
}
