#include "platform/vcl/forms/lockkeys.h"

#include <QGuiApplication>

// The X headers come last: their macros (None, Bool, Status) would break Qt's.
#include <X11/XKBlib.h>

namespace {

TLockKeys* Installed = nullptr;

bool IndicatorOn(Display* X, const char* Name)
{
    Bool on = False;
    return XkbGetNamedIndicator(X, XInternAtom(X, Name, False), nullptr, &on, nullptr, nullptr) && on;
}

}  // namespace

TLockKeyState XServerLockKeys(Display* X)
{
    TLockKeyState state;
    if (!X)
        return state;
    state.Known = true;
    state.CapsLock = IndicatorOn(X, "Caps Lock");
    state.NumLock = IndicatorOn(X, "Num Lock");
    return state;
}

TLockKeyState TSystemLockKeys::State()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return XServerLockKeys(x11 ? x11->display() : nullptr);
}

TLockKeys& LockKeys()
{
    static TSystemLockKeys system;
    return Installed ? *Installed : system;
}

TLockKeys* SetLockKeys(TLockKeys* Value)
{
    TLockKeys* previous = Installed;
    Installed = Value;
    return previous;
}
