#include "controls/kvbutton.h"

#include "platform/rtl/strutils.h"

bool TKVButton::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVButton") || TButton::InheritsFrom(name);
}
