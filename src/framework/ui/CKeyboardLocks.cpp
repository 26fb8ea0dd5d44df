#include "CKeyboardLocks.h"

#include "CX11KeyboardLocks.h"

template <> CKeyboardLocks& CSeam<CKeyboardLocks>::Default() {
    static CX11KeyboardLocks x11Locks;
    return x11Locks;
}
