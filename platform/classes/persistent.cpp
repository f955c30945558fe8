#include "platform/classes/persistent.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/strutils.h"

bool TPersistent::InheritsFrom(const String& name) const
{
    return SameText(name, "TPersistent") || TObject::InheritsFrom(name);
}

void TPersistent::Assign(TPersistent* Source)
{
    if (Source == nullptr) {
        AssignError(nullptr);
    }
    Source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source)
{
    const String sourceName = Source != nullptr ? Source->ClassName() : String("nil");
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}
