#pragma once

#include "framework/core/CSeam.h"

#include <array>

// Where the status bar learns whether Caps Lock, Num Lock and Scroll Lock are
// on: the keyboard's own lights, which Qt does not report. The editor asks
// the X server; tests install a stand-in (CSeam<CKeyboardLocks>).
class CKeyboardLocks {
public:
    enum Lock { CapsLock, NumLock, ScrollLock };
    // Whether each lock is on, indexed by Lock.
    using States = std::array<bool, 3>;

    CKeyboardLocks() = default;
    CKeyboardLocks(const CKeyboardLocks&) = delete;
    CKeyboardLocks& operator=(const CKeyboardLocks&) = delete;
    virtual ~CKeyboardLocks() = default;

    // All three at once; a lock is off also when it cannot be told (no X
    // server, no such light).
    virtual States Read() = 0;
};

// The X server's.
template <> CKeyboardLocks& CSeam<CKeyboardLocks>::Default();
