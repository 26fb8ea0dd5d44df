#include "ScriptedKeyboardLocks.h"

ScriptedKeyboardLocks::ScriptedKeyboardLocks() : m_guard(this) {}

bool ScriptedKeyboardLocks::IsOn(Lock lock) {
    return on.at(static_cast<std::size_t>(lock));
}
