#include "ScriptedKeyboardLocks.h"

ScriptedKeyboardLocks::ScriptedKeyboardLocks() : m_guard(this) {}

CKeyboardLocks::States ScriptedKeyboardLocks::Read() {
    return on;
}
