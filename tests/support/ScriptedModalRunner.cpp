#include "ScriptedModalRunner.h"

#include <QCoreApplication>
#include <QDialog>

ScriptedModalRunner::ScriptedModalRunner() : m_guard(this) {}

int ScriptedModalRunner::RunModal(QDialog& dialog) {
    titles << dialog.windowTitle();
    dialog.show();
    dialog.activateWindow();
    QCoreApplication::processEvents();
    if (!scripts.isEmpty()) {
        const Script script = scripts.takeFirst();
        script(dialog);
    }
    if (dialog.isVisible()) {
        dialog.reject();
    }
    if (dialog.isVisible()) {
        dialog.done(QDialog::Rejected);
    }
    return dialog.result();
}
