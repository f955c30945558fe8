#include "datacontrols/common/dwbuttonhost.h"

#include "datacontrols/common/dwdrawing.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"

TBtnWinControl::TBtnWinControl(TWinControl* Control) : TCustomControl(Control) { SetTabStop(false); }

bool TBtnWinControl::InheritsFrom(const String& name) const
{
    return name == "TBtnWinControl" || TCustomControl::InheritsFrom(name);
}

void TBtnWinControl::Paint()
{
    if (ErasesTransparently && ErasesTransparently())
        return;
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

void TdwPressedLookButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && Enabled()) {
        FPressed = true;
        Invalidate();
    }
    TSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TdwPressedLookButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FPressed = false;
    Invalidate();
    TSpeedButton::MouseUp(Button, Shift, X, Y);
}

void dwDropDownButtonClick(TWinControl* Control, bool DroppedDown, const std::function<void()>& CloseUp,
                           const std::function<void()>& DropDown)
{
    if (DroppedDown) {
        CloseUp();
        return;
    }
    if (Control->CanFocus() && !Control->Focused())
        Control->SetFocus();
    if (Control->Focused())
        DropDown();
}

TBitmap* dwShownButtonGlyph(TdwComboButtonStyle Style, TBitmap* ButtonGlyph, bool FlatLook,
                            std::unique_ptr<TBitmap>& DropDownGlyph)
{
    if (Style == cbsCustom)
        return ButtonGlyph->Empty() ? nullptr : ButtonGlyph;
    if (Style != cbsDownArrow || !FlatLook)
        return nullptr;
    if (!DropDownGlyph) {
        DropDownGlyph = std::make_unique<TBitmap>();
        dwLoadDropDownGlyph(DropDownGlyph.get());
    }
    return DropDownGlyph.get();
}
