#include "controls/kvdbdateeditamerican.h"

#include "platform/rtl/strutils.h"

TKVDBDateEditAmerican::TKVDBDateEditAmerican(TComponent* AOwner) : TKVDBDateEditBase(AOwner, ddSlashAsTyped)
{
    SetHeight(21);
    SetWidth(80);
}

bool TKVDBDateEditAmerican::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVDBDateEditAmerican") || TKVDBDateEditBase::InheritsFrom(name);
}

void TKVDBDateEditAmerican::CMEnter()
{
    SetSlashGuard(DontSlashClose(), true);
    TKVDBDateEditBase::CMEnter();
}

void TKVDBDateEditAmerican::DoExit()
{
    TKVDBDateEditBase::DoExit();
    SetSlashGuard(DontSlashClose(), false);
    MouseFreeReturn(this, true);
}
