#pragma once

#include "framework/ui/IShellOpener.h"

#include <QStringList>

// Answers the desktop's "open" with one scripted code while it lives, and
// records every name it was given.
class ScriptedShellOpener final : public IShellOpener {
public:
    explicit ScriptedShellOpener(int result);
    int Open(const QString& name) override;

    QStringList names;

private:
    int m_result;
    CSeam<IShellOpener>::Guard m_guard;
};
