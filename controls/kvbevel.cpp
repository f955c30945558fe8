#include "controls/kvbevel.h"

#include "platform/rtl/strutils.h"

TKVBevel::TKVBevel(TComponent* AOwner) : TBevel(AOwner)
{
    SetHeight(23);
    SetShape(bsFrame);
    SetStyle(bsRaised);
}

bool TKVBevel::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVBevel") || TBevel::InheritsFrom(name);
}
