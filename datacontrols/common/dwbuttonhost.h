#pragma once
// What the library's controls with a button inside their right edge share: the
// button's style, and the windowed holder that carries the button.

#include <functional>

#include "platform/vcl/controls.h"
#include "platform/vcl/lists.h"

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
};

// What a click on a control's drop-down button does: an open control closes, taking
// its choice; a closed one takes the focus and, once it has it, drops down.
void dwDropDownButtonClick(TWinControl* Control, bool DroppedDown, const std::function<void()>& CloseUp,
                           const std::function<void()>& DropDown);
