#include "ScriptedShellOpener.h"

ScriptedShellOpener::ScriptedShellOpener(int result) : m_result(result), m_guard(this) {}

int ScriptedShellOpener::Open(const QString& name) {
    names << name;
    return m_result;
}
