#include "platform/classes/object.h"

#include "platform/rtl/strutils.h"

bool TObject::ClassNameIs(const String& name) const { return SameText(ClassName(), name); }

bool TObject::InheritsFrom(const String& name) const
{
    return ClassNameIs(name) || SameText(name, "TObject");
}

void TObject::Free()
{
    BeforeDestruction();
    delete this;
}
