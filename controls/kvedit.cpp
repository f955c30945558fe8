#include "controls/kvedit.h"

#include "platform/rtl/strutils.h"

bool TKVEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVEdit") || TEdit::InheritsFrom(name);
}

void TKVEdit::Bind(String* Value)
{
    FValue = Value;
    if (FValue)
        SetText(*FValue);
}

void TKVEdit::CMEnter()
{
    SetSlashGuard(DontSlashClose(), true);
    TEdit::CMEnter();
}

void TKVEdit::DoExit()
{
    if (FValue)
        *FValue = Text();
    TEdit::DoExit();
    SetSlashGuard(DontSlashClose(), false);
    if (!DisableMouseFree())
        MouseFreeReturn(this, false);
}
