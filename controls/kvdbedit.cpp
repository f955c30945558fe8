#include "controls/kvdbedit.h"

#include "platform/rtl/strutils.h"

bool TKVDBEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVDBEdit") || TDBEdit::InheritsFrom(name);
}

void TKVDBEdit::CMEnter()
{
    SetSlashGuard(DontSlashClose(), true);
    TDBEdit::CMEnter();
}

void TKVDBEdit::DoExit()
{
    TDBEdit::DoExit();
    SetSlashGuard(DontSlashClose(), false);
    if (!DisableMouseFree())
        MouseFreeReturn(this, false);
}
