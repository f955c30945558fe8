#include "controls/kvlabel.h"

#include "platform/rtl/strutils.h"

bool TKVLabel::InheritsFrom(const String& name) const
{
    return SameText(name, "TKVLabel") || TLabel::InheritsFrom(name);
}

void TKVLabel::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove) {
        if (AComponent == FFirstControl)
            FFirstControl = nullptr;
        if (AComponent == FLastControl)
            FLastControl = nullptr;
    }
    TLabel::Notification(AComponent, Operation);
}

void TKVLabel::SetFirstControl(TWinControl* Value)
{
    FFirstControl = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TKVLabel::SetLastControl(TWinControl* Value)
{
    FLastControl = Value;
    if (Value)
        Value->FreeNotification(this);
}
