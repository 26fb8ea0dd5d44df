#pragma once

#include "framework/ui/CKeyboardLocks.h"

#include <array>

// Key locks that are on or off as a test sets them, current while it lives.
class ScriptedKeyboardLocks final : public CKeyboardLocks {
public:
    ScriptedKeyboardLocks();
    bool IsOn(Lock lock) override;

    // Indexed by Lock; all off at first.
    std::array<bool, 3> on{};

private:
    CSeam<CKeyboardLocks>::Guard m_guard;
};
