#pragma once
// The one translation from Qt's keys to virtual-key codes and characters.

#include <QKeyEvent>

#include "platform/vcl/forms/keys.h"

// 0 for keys without a virtual-key code (and for lone dead keys).
Word VirtualKeyOf(const QKeyEvent& Event);
// The Qt key a virtual-key code stands for, with KeypadModifier for the keypad's keys;
// Qt::Key_unknown for a code without one.
QKeyCombination QtKeyOf(Word Key);
TShiftState ShiftStateOf(Qt::KeyboardModifiers Modifiers, Qt::MouseButtons Buttons = Qt::NoButton);
// The character the key gives, as the class library's KeyPress sees it (13 for
// Enter, 27 for Esc, 8 for Backspace, 9 for Tab); 0 when the key gives none.
char KeyCharOf(const QKeyEvent& Event);
// The text Qt types for the character Key (a KeyPress handler may change it).
QString KeyTextOf(char Key);
