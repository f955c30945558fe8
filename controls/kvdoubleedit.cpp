#include "controls/kvdoubleedit.h"

#include "platform/rtl/strutils.h"

bool TKVDoubleEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVDoubleEdit") || TKVNumberEdit::InheritsFrom(name);
}
