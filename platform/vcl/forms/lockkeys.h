#pragma once
// Whether Caps Lock and Num Lock are on, as far as the window system tells.

struct TLockKeyState {
    // False where the window system does not say (Wayland, no display): then neither is on.
    bool Known = false;
    bool CapsLock = false;
    bool NumLock = false;
};

class TLockKeys {
public:
    virtual ~TLockKeys() = default;
    virtual TLockKeyState State() = 0;
};

// The X server's keyboard indicators; not known on any other window system.
class TSystemLockKeys : public TLockKeys {
public:
    TLockKeyState State() override;
};

struct _XDisplay;
// The indicators of the X server Display is connected to.
TLockKeyState XServerLockKeys(_XDisplay* Display);

TLockKeys& LockKeys();
// Installs Value (not owned; null restores the system's); returns the previous one.
TLockKeys* SetLockKeys(TLockKeys* Value);
