#pragma once

// Where the status bar learns whether Caps Lock, Num Lock and Scroll Lock are
// on: the keyboard's own lights, which Qt does not report. The editor asks
// the X server; tests install a stand-in. Exactly one is current at any time.
class CKeyboardLocks {
public:
    enum Lock { CapsLock, NumLock, ScrollLock };

    CKeyboardLocks() = default;
    CKeyboardLocks(const CKeyboardLocks&) = delete;
    CKeyboardLocks& operator=(const CKeyboardLocks&) = delete;
    virtual ~CKeyboardLocks() = default;

    // False also when it cannot be told (no X server, no such light).
    virtual bool IsOn(Lock lock) = 0;

    // The current one; the X server's when none was installed.
    static CKeyboardLocks& Current();
    // Makes locks current (not owned) and returns the one it replaces;
    // nullptr restores the X server's.
    static CKeyboardLocks* Install(CKeyboardLocks* locks);
};
