#pragma once

class CKeyboardLocks;

// Installs a source of the lock states for the lifetime of the guard and
// puts the previous one back when it ends.
class CKeyboardLocksGuard {
public:
    explicit CKeyboardLocksGuard(CKeyboardLocks* locks);
    ~CKeyboardLocksGuard();
    CKeyboardLocksGuard(const CKeyboardLocksGuard&) = delete;
    CKeyboardLocksGuard& operator=(const CKeyboardLocksGuard&) = delete;

private:
    CKeyboardLocks* m_pPrevious;
};
