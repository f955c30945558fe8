#pragma once
// Keyboard and screen helpers of the library's edit controls and grid.

#include "platform/rtl/types.h"
#include "platform/vcl/graphics/geometry.h"

class TWinControl;

// Whether a key (virtual-key code) changes an edit's text: Backspace, Space, Delete,
// 48..111 and everything above 145; not cursor keys, function keys or 112..145.
bool dwIsTextChangingKey(Word Key);
// A keyboard-state byte says "held down" in bit 7.
bool dwKeyStateIsDown(int State);
// The desktop without task bars.
void dwGetWorkArea(TRect& Rect);
// Value scaled from 96 pixels per inch to the screen's (or the given) pixels per inch.
int dwScaleByPixelsPerInch(int Value);
int dwScaleByPixelsPerInch(int Value, int PixelsPerInch);
// Posts Key to Window as if typed with Modifier (VK_SHIFT, VK_CONTROL or VK_MENU) held:
// it arrives, once the event loop runs, as the user's key would; nothing stays held.
void dwPostKeyWithModifier(TWinControl* Window, Word Key, Word Modifier);
// Posts a left-button release to the screen's active control, or to the control inside
// it that holds the mouse, so that a drag or a pressed button there ends.
void dwReleaseMouseButton();
