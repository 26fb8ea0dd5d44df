#include "CX11KeyboardLocks.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

#include <iterator>

bool CX11KeyboardLocks::IsOn(Lock lock) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    if (display == nullptr) {
        return false;
    }
    static const char* const kNames[] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    // Atoms live as long as the server; one round trip each, once.
    static Atom atoms[std::size(kNames)] = {};
    Atom& atom = atoms[lock];
    if (atom == None) {
        atom = XInternAtom(display, kNames[lock], False);
    }
    Bool on = False;
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) {
        return false;
    }
    return on != False;
}
