#include "CKeyboardLocks.h"

#include "CX11KeyboardLocks.h"

namespace {
CKeyboardLocks* g_current = nullptr;
} // namespace

CKeyboardLocks& CKeyboardLocks::Current() {
    static CX11KeyboardLocks x11Locks;
    return g_current != nullptr ? *g_current : x11Locks;
}

CKeyboardLocks* CKeyboardLocks::Install(CKeyboardLocks* locks) {
    CKeyboardLocks* previous = g_current;
    g_current = locks;
    return previous;
}
