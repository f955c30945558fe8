#pragma once
// What the library's controls with a button inside their right edge share: the
// button's style, the windowed holder that carries the button, and the button that
// looks pressed while the mouse holds it.

#include <functional>
#include <memory>

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/controls.h"
#include "platform/vcl/controls/lists.h"

class TBitmap;

enum TdwComboButtonStyle { cbsEllipsis, cbsDownArrow, cbsCustom };
// csDropDown lets the user type any text; csDropDownList only searches with it.
using TdwDBLookupComboStyle = TComboBoxStyle;

// The holder of the button at a control's right edge, owned by that control.
class TBtnWinControl : public TCustomControl {
public:
    explicit TBtnWinControl(TWinControl* Control);
    String ClassName() const override { return "TBtnWinControl"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    // Asked at every paint: true lets the control under the holder show through it (a
    // flat or transparent button over its control's own frame); otherwise, and when
    // unset, the holder fills itself with its colour.
    std::function<bool()> ErasesTransparently;

protected:
    void Paint() override;
};

// A drop-down or dialog button that its control draws: Pressed from a left press on
// the enabled button until the mouse lets go of it.
class TdwPressedLookButton : public TSpeedButton {
public:
    using TSpeedButton::TSpeedButton;
    bool Pressed() const { return FPressed; }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool FPressed = false;
};

// What a click on a control's drop-down button does: an open control closes, taking
// its choice; a closed one takes the focus and, once it has it, drops down.
void dwDropDownButtonClick(TWinControl* Control, bool DroppedDown, const std::function<void()>& CloseUp,
                           const std::function<void()>& DropDown);

// The glyph a button of Style shows: ButtonGlyph for cbsCustom (none while it is empty),
// the library's small arrow ("WWDROPDOWN") for cbsDownArrow with the flat or transparent
// look (FlatLook), loaded into DropDownGlyph at its first need; otherwise none, the
// button's face showing its style.
TBitmap* dwShownButtonGlyph(TdwComboButtonStyle Style, TBitmap* ButtonGlyph, bool FlatLook,
                            std::unique_ptr<TBitmap>& DropDownGlyph);
