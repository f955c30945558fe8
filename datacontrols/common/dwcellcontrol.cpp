#include "datacontrols/common/dwcellcontrol.h"

IdwCellControlHost* dwCellHostOf(const TControl* Control)
{
    return Control ? dynamic_cast<IdwCellControlHost*>(Control->Parent()) : nullptr;
}

bool dwIsDropDownKey(Word Key, TShiftState Shift)
{
    return Shift.Contains(ssAlt) && (Key == VK_DOWN || Key == VK_UP);
}

bool dwHandKeyToCellHost(const TControl* Control, Word Key, TShiftState Shift)
{
    IdwCellControlHost* host = dwCellHostOf(Control);
    if (!host)
        return false;
    host->CellControlKey(Key, Shift);
    return true;
}
