#include "datacontrols/dwwindows.h"

#include "platform/vcl/guiscreen.h"

bool dwIsTextChangingKey(Word Key) { return Key == 8 || Key == 32 || Key == 46 || (Key >= 48 && Key <= 111) || Key > 145; }

bool dwKeyStateIsDown(int State) { return (State & 0x80) != 0; }

void dwGetWorkArea(TRect& Rect) { Rect = GuiScreen()->WorkAreaRect(); }

int dwScaleByPixelsPerInch(int Value) { return dwScaleByPixelsPerInch(Value, GuiScreen()->PixelsPerInch()); }

int dwScaleByPixelsPerInch(int Value, int PixelsPerInch) { return Value * PixelsPerInch / 96; }
