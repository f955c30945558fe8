#include "platform/db/updateobject.h"

#include "platform/db/dataset.h"
#include "platform/rtl/strutils.h"

bool TDataSetUpdateObject::InheritsFrom(const String& name) const
{
    return SameText(name, "TDataSetUpdateObject") || TComponent::InheritsFrom(name);
}

void TDataSetUpdateObject::SetDataSet(TDataSet* Value)
{
    if (Value == FDataSet)
        return;
    if (FDataSet)
        FDataSet->RemoveFreeNotification(this);
    FDataSet = Value;
    if (FDataSet)
        FDataSet->FreeNotification(this);
}

void TDataSetUpdateObject::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet)
        FDataSet = nullptr;
}
