#include "CFilePicker.h"

#include "CQtFilePicker.h"

template <> CFilePicker& CSeam<CFilePicker>::Default() {
    static CQtFilePicker qtPicker;
    return qtPicker;
}
