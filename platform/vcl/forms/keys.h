#pragma once
// Keys as Windows virtual-key codes, the shift state, and the key and mouse
// event types of the controls.

#include <functional>

#include "platform/classes/sets.h"
#include "platform/rtl/types.h"
#include "platform/vcl/graphics/geometry.h"

class TObject;

// The mouse buttons have codes too, for asking whether one is held.
constexpr Word VK_LBUTTON = 1;
constexpr Word VK_RBUTTON = 2;
constexpr Word VK_MBUTTON = 4;
constexpr Word VK_BACK = 8;
constexpr Word VK_TAB = 9;
constexpr Word VK_CLEAR = 12;
constexpr Word VK_RETURN = 13;
constexpr Word VK_SHIFT = 16;
constexpr Word VK_CONTROL = 17;
constexpr Word VK_MENU = 18;
constexpr Word VK_PAUSE = 19;
constexpr Word VK_CAPITAL = 20;
constexpr Word VK_ESCAPE = 27;
constexpr Word VK_SPACE = 32;
constexpr Word VK_PRIOR = 33;
constexpr Word VK_NEXT = 34;
constexpr Word VK_END = 35;
constexpr Word VK_HOME = 36;
constexpr Word VK_LEFT = 37;
constexpr Word VK_UP = 38;
constexpr Word VK_RIGHT = 39;
constexpr Word VK_DOWN = 40;
constexpr Word VK_PRINT = 42;
constexpr Word VK_SNAPSHOT = 44;
constexpr Word VK_INSERT = 45;
constexpr Word VK_DELETE = 46;
constexpr Word VK_HELP = 47;
// '0'..'9' and 'A'..'Z' are their own codes.
constexpr Word VK_LWIN = 91;
constexpr Word VK_RWIN = 92;
constexpr Word VK_APPS = 93;
constexpr Word VK_NUMPAD0 = 96;  // VK_NUMPAD0 + n for the keypad digit n
constexpr Word VK_MULTIPLY = 106;
constexpr Word VK_ADD = 107;
constexpr Word VK_SEPARATOR = 108;
constexpr Word VK_SUBTRACT = 109;
constexpr Word VK_DECIMAL = 110;
constexpr Word VK_DIVIDE = 111;
constexpr Word VK_F1 = 112;  // VK_F1 + n - 1 for Fn, up to F24
constexpr Word VK_F2 = 113;
constexpr Word VK_F3 = 114;
constexpr Word VK_F4 = 115;
constexpr Word VK_F5 = 116;
constexpr Word VK_F6 = 117;
constexpr Word VK_F7 = 118;
constexpr Word VK_F8 = 119;
constexpr Word VK_F9 = 120;
constexpr Word VK_F10 = 121;
constexpr Word VK_F11 = 122;
constexpr Word VK_F12 = 123;
constexpr Word VK_NUMLOCK = 144;
constexpr Word VK_SCROLL = 145;
constexpr Word VK_OEM_1 = 186;       // ;:
constexpr Word VK_OEM_PLUS = 187;    // =+
constexpr Word VK_OEM_COMMA = 188;   // ,<
constexpr Word VK_OEM_MINUS = 189;   // -_
constexpr Word VK_OEM_PERIOD = 190;  // .>
constexpr Word VK_OEM_2 = 191;       // /?
constexpr Word VK_OEM_3 = 192;       // `~
constexpr Word VK_OEM_4 = 219;       // [{
constexpr Word VK_OEM_5 = 220;       // backslash |
constexpr Word VK_OEM_6 = 221;       // ]}
constexpr Word VK_OEM_7 = 222;       // '"

// The characters keys type (KeyPress): the control keys, and Ctrl with a letter,
// which types the letter's place in the alphabet.
namespace KeyChar {
constexpr char Backspace = 8;
constexpr char Tab = 9;
constexpr char Enter = 13;
constexpr char CtrlV = 22;
constexpr char CtrlX = 24;
constexpr char CtrlZ = 26;
constexpr char Escape = 27;
}  // namespace KeyChar

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = SetOf<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseEvent =
        std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// One notch of the mouse wheel, in the units of a wheel's delta.
constexpr int WHEEL_DELTA = 120;
// The wheel turned by WheelDelta (positive away from the user) with the mouse at MousePos
// (screen coordinates); Handled ends the wheel's processing.
using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta,
                                            TPoint MousePos, bool& Handled)>;
// One notch down (towards the user) or up.
using TMouseWheelUpDownEvent =
        std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
