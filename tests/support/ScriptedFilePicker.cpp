#include "ScriptedFilePicker.h"

#include "framework/core/AfxMessageBox.h"
#include "framework/ui/CFileDialog.h"

ScriptedFilePicker::ScriptedFilePicker() : m_guard(this) {}

int ScriptedFilePicker::Pick(CFileDialog& dialog) {
    const CFileDialog::OpenFileName& ofn = dialog.m_ofn;
    requests.append({dialog.IsOpenFileDialog(), ofn.Flags, ofn.strFilter, ofn.nFilterIndex,
                     ofn.strFile, ofn.strInitialDir, false, ofn.strTitle});
    const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
    if (answer.isEmpty()) {
        return IDCANCEL;
    }
    dialog.m_ofn.strFile = answer;
    return IDOK;
}

QString ScriptedFilePicker::PickFolder(const QString& title, const QString& initialDir,
                                       QWidget* /*pParent*/) {
    requests.append({true, 0, QString(), 0, QString(), initialDir, true, title});
    return answers.isEmpty() ? QString() : answers.takeFirst();
}
