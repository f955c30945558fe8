#include "datacontrols/datasets/dwstorep.h"

#include "platform/rtl/strutils.h"

bool TdwStoredProc::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwStoredProc") || TDataSet::InheritsFrom(name);
}
