#include "controls/kvcombodlg.h"

#include "platform/rtl/strutils.h"

bool TKVComboDlg::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVComboDlg") || TdwDBComboDlg::InheritsFrom(name);
}

void TKVComboDlg::DoExit()
{
    TdwDBComboDlg::DoExit();
    if (!InvalidExit())
        MouseFreeReturn(this, true);
}
