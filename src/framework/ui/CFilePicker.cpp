#include "CFilePicker.h"

#include "CQtFilePicker.h"

namespace {
CFilePicker* g_current = nullptr;
} // namespace

CFilePicker& CFilePicker::Current() {
    static CQtFilePicker qtPicker;
    return g_current != nullptr ? *g_current : qtPicker;
}

CFilePicker* CFilePicker::Install(CFilePicker* picker) {
    CFilePicker* previous = g_current;
    g_current = picker;
    return previous;
}
