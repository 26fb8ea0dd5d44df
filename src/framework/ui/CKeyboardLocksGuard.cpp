#include "CKeyboardLocksGuard.h"

#include "CKeyboardLocks.h"

CKeyboardLocksGuard::CKeyboardLocksGuard(CKeyboardLocks* locks)
    : m_pPrevious(CKeyboardLocks::Install(locks)) {}

CKeyboardLocksGuard::~CKeyboardLocksGuard() {
    CKeyboardLocks::Install(m_pPrevious);
}
