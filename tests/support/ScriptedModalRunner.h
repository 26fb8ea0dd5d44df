#pragma once

#include "framework/ui/CModalRunner.h"

#include <QList>
#include <QStringList>

#include <functional>

class QDialog;

// Plays the user on modal dialogs while it lives. Each run shows the dialog,
// takes the next script and runs it on the live dialog; a dialog the script
// left open is closed like the close box does (a run without a script only
// does that). Records the title of every dialog run.
class ScriptedModalRunner final : public CModalRunner {
public:
    using Script = std::function<void(QDialog&)>;

    ScriptedModalRunner();
    int RunModal(QDialog& dialog) override;

    QList<Script> scripts;
    QStringList titles;

private:
    CSeam<CModalRunner>::Guard m_guard;
};
