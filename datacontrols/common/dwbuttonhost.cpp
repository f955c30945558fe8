#include "datacontrols/common/dwbuttonhost.h"

TBtnWinControl::TBtnWinControl(TWinControl* Control) : TCustomControl(Control)
{
    SetTabStop(false);
}

bool TBtnWinControl::InheritsFrom(const String& name) const
{
    return name == "TBtnWinControl" || TCustomControl::InheritsFrom(name);
}
