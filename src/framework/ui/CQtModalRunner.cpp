#include "CQtModalRunner.h"

#include <QDialog>

int CQtModalRunner::RunModal(QDialog& dialog) {
    return dialog.exec();
}
