#pragma once
// The keyboard and the mouse buttons as the program sees them: which are held, and
// input posted to a control as if the user gave it.

#include <functional>
#include <memory>

#include "platform/vcl/forms/keys.h"
#include "platform/vcl/graphics/geometry.h"

class TControl;
class TWinControl;

// Whether a mouse button (VK_LBUTTON, VK_RBUTTON, VK_MBUTTON) or Shift, Ctrl or Alt is
// held down, as of the last input the program took. Other keys read as up.
bool KeyIsDown(Word Key);

// Posts a key-down and then a key-up of Key to Control with Shift held for these two
// alone: once the event loop runs they take the routing a user's key takes (dialog keys,
// KeyDown, KeyPress with the character a letter, digit or Space types, KeyUp), and no
// key is left held.
void PostKey(TWinControl* Control, Word Key, TShiftState Shift);

// Posts a left-button release, at the mouse's position, to the control inside Control
// that holds the mouse, or to Control itself when none of them does.
void PostLeftButtonUp(TWinControl* Control);

// Runs Action once the event loop has finished the event being handled now, as a posted
// message runs; nothing happens when Control is freed before then.
void PostCall(TControl* Control, std::function<void()> Action);
