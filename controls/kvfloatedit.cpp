#include "controls/kvfloatedit.h"

#include "platform/rtl/strutils.h"

bool TKVFloatEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVFloatEdit") || TKVNumberEdit::InheritsFrom(name);
}
