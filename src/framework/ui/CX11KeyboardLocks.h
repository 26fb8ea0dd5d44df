#pragma once

#include "CKeyboardLocks.h"

// The lock lights of the X server's core keyboard, found by their names
// ("Caps Lock", "Num Lock", "Scroll Lock") so that any keymap's numbering
// serves. Off on any other platform (Wayland, offscreen).
class CX11KeyboardLocks final : public CKeyboardLocks {
public:
    States Read() override;
};
