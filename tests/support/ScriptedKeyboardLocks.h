#pragma once

#include "framework/ui/CKeyboardLocks.h"

#include <array>

// Key locks that are on or off as a test sets them, current while it lives.
class ScriptedKeyboardLocks final : public CKeyboardLocks {
public:
    ScriptedKeyboardLocks();
    States Read() override;

    // Indexed by Lock; all off at first.
    States on{};

private:
    CSeam<CKeyboardLocks>::Guard m_guard;
};
