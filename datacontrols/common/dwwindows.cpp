#include "datacontrols/common/dwwindows.h"

#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/forms/userinput.h"

bool dwIsTextChangingKey(Word Key)
{
    return Key == 8 || Key == 32 || Key == 46 || (Key >= 48 && Key <= 111) || Key > 145;
}

bool dwKeyStateIsDown(int State) { return (State & 0x80) != 0; }

void dwGetWorkArea(TRect& Rect) { Rect = GuiScreen()->WorkAreaRect(); }

int dwScaleByPixelsPerInch(int Value) { return dwScaleByPixelsPerInch(Value, GuiScreen()->PixelsPerInch()); }

int dwScaleByPixelsPerInch(int Value, int PixelsPerInch) { return Value * PixelsPerInch / 96; }

void dwPostKeyWithModifier(TWinControl* Window, Word Key, Word Modifier)
{
    TShiftState shift;
    switch (Modifier) {
    case VK_SHIFT: shift.Include(ssShift); break;
    case VK_CONTROL: shift.Include(ssCtrl); break;
    case VK_MENU: shift.Include(ssAlt); break;
    default: break;
    }
    PostKey(Window, Key, shift);
}

void dwReleaseMouseButton()
{
    if (TWinControl* control = GuiScreen()->ActiveControl())
        PostLeftButtonUp(control);
}
