#include "CFilePicker.h"

#include "CQtFilePicker.h"

template <> CFilePicker& CSeam<CFilePicker>::Default() {
    static CQtFilePicker qtPicker;
    return qtPicker;
}

QString CFilePicker::PickFolder(const QString& /*title*/, const QString& /*initialDir*/,
                                QWidget* /*pParent*/) {
    return QString();
}
