#include "datacontrols/common/dwbuttonhost.h"

TBtnWinControl::TBtnWinControl(TWinControl* Control) : TCustomControl(Control)
{
    SetTabStop(false);
}

bool TBtnWinControl::InheritsFrom(const String& name) const
{
    return name == "TBtnWinControl" || TCustomControl::InheritsFrom(name);
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
