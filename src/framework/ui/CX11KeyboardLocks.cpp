#include "CX11KeyboardLocks.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

#include <iterator>

CKeyboardLocks::States CX11KeyboardLocks::Read() {
    States on{};
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return on;
    }
    // The lights are found by their names, so that any keymap's numbering
    // serves. Atoms live as long as the server: all three are asked for in
    // one round trip, once.
    static char capsLock[] = "Caps Lock";
    static char numLock[] = "Num Lock";
    static char scrollLock[] = "Scroll Lock";
    static char* names[] = {capsLock, numLock, scrollLock};
    static Atom atoms[std::size(names)] = {};
    if (atoms[CapsLock] == None &&
        XInternAtoms(display, names, static_cast<int>(std::size(names)), False, atoms) == 0) {
        atoms[CapsLock] = None;
        return on;
    }
    // Then one round trip for the lights' names and one for their states,
    // for all three locks.
    XkbDescPtr keyboard = XkbAllocKeyboard();
    if (keyboard == nullptr) {
        return on;
    }
    unsigned state = 0;
    if (XkbGetNames(display, XkbIndicatorNamesMask, keyboard) == Success &&
        keyboard->names != nullptr &&
        XkbGetIndicatorState(display, XkbUseCoreKbd, &state) == Success) {
        for (int light = 0; light < XkbNumIndicators; ++light) {
            const Atom name = keyboard->names->indicators[light];
            for (size_t lock = 0; lock < on.size(); ++lock) {
                if (name != None && name == atoms[lock]) {
                    on[lock] = (state & (1U << light)) != 0;
                }
            }
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return on;
}
