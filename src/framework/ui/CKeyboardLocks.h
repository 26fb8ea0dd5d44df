#pragma once

#include "framework/core/CSeam.h"

// Where the status bar learns whether Caps Lock, Num Lock and Scroll Lock are
// on: the keyboard's own lights, which Qt does not report. The editor asks
// the X server; tests install a stand-in (CSeam<CKeyboardLocks>).
class CKeyboardLocks {
public:
    enum Lock { CapsLock, NumLock, ScrollLock };

    CKeyboardLocks() = default;
    CKeyboardLocks(const CKeyboardLocks&) = delete;
    CKeyboardLocks& operator=(const CKeyboardLocks&) = delete;
    virtual ~CKeyboardLocks() = default;

    // False also when it cannot be told (no X server, no such light).
    virtual bool IsOn(Lock lock) = 0;
};

// The X server's.
template <> CKeyboardLocks& CSeam<CKeyboardLocks>::Default();
