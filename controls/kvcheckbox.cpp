#include "controls/kvcheckbox.h"

#include "platform/rtl/strutils.h"

bool TKVCheckBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVCheckBox") || TCheckBox::InheritsFrom(name);
}

void TKVCheckBox::Bind(bool* Value)
{
    FValue = Value;
    if (FValue)
        SetChecked(*FValue);
}

void TKVCheckBox::Click()
{
    if (FValue)
        *FValue = Checked();
    TCheckBox::Click();
}

void TKVCheckBox::DoExit()
{
    TCheckBox::DoExit();
    MouseFreeReturn(this, true);
}
