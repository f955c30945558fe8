#include "platform/vcl/lockkeys.h"

#include <QGuiApplication>

// The X headers come last: their macros (None, Bool, Status) would break Qt's.
#include <X11/XKBlib.h>

namespace {

TLockKeys* Installed = nullptr;

bool IndicatorOn(Display* X, const char* Name) {
    Bool on = False;
    return XkbGetNamedIndicator(X, XInternAtom(X, Name, False), nullptr, &on, nullptr, nullptr) && on;
}

}  // namespace

TLockKeyState TSystemLockKeys::State() {
    TLockKeyState state;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) return state;
    state.Known = true;
    state.CapsLock = IndicatorOn(display, "Caps Lock");
    state.NumLock = IndicatorOn(display, "Num Lock");
    return state;
}

TLockKeys& LockKeys() {
    static TSystemLockKeys system;
    return Installed ? *Installed : system;
}

TLockKeys* SetLockKeys(TLockKeys* Value) {
    TLockKeys* previous = Installed;
    Installed = Value;
    return previous;
}
