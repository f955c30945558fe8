#include "platform/db/datasource.h"

#include <algorithm>

#include "platform/db/datalink.h"
#include "platform/db/dataset.h"
#include "platform/rtl/strutils.h"

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) { }

TDataSource::~TDataSource()
{
    for (TDataLink* link : std::vector<TDataLink*>(FDataLinks))
        link->SetDataSource(nullptr);
    // Quietly: the handlers' owners may be gone already.
    if (FDataSet) {
        RemoveFreeNotification(FDataSet);
        FDataSet->RemoveDataSource(this);
    }
}

bool TDataSource::InheritsFrom(const String& name) const
{
    return SameText(name, "TDataSource") || TComponent::InheritsFrom(name);
}

bool TDataSource::IsLinkedTo(TDataSet* DataSet) const
{
    // A source met twice means the masters go round in a circle.
    std::vector<const TDataSource*> seen;
    for (const TDataSource* source = this; source;
         source = source->FDataSet ? source->FDataSet->GetDataSource() : nullptr) {
        if (std::find(seen.begin(), seen.end(), source) != seen.end())
            return true;
        seen.push_back(source);
        if (source->FDataSet == DataSet)
            return true;
    }
    return false;
}

void TDataSource::SetDataSet(TDataSet* Value)
{
    if (Value == FDataSet)
        return;
    // Value must not follow this source, however far up its masters go.
    std::vector<const TDataSource*> seen;
    for (const TDataSource* master = Value ? Value->GetDataSource() : nullptr; master;
         master = master->FDataSet ? master->FDataSet->GetDataSource() : nullptr) {
        if (master == this)
            DatabaseError(dbtext::CircularLink, this);
        if (std::find(seen.begin(), seen.end(), master) != seen.end())
            break;
        seen.push_back(master);
    }
    if (FDataSet) {
        RemoveFreeNotification(FDataSet);
        FDataSet->RemoveDataSource(this);
    }
    FDataSet = Value;
    if (FDataSet) {
        FreeNotification(FDataSet);
        FDataSet->AddDataSource(this);
    }
    UpdateState();
}

void TDataSource::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateState();
}

void TDataSource::Edit()
{
    if (FAutoEdit && FState == dsBrowse)
        FDataSet->Edit();
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == FDataSet)
        SetDataSet(nullptr);
    TComponent::Notification(AComponent, Operation);
}

void TDataSource::UpdateState()
{
    TDataSetState state = FDataSet && FEnabled ? FDataSet->State() : dsInactive;
    if (state == FState)
        return;
    bool wasActive = FState != dsInactive;
    FState = state;
    bool active = state != dsInactive;
    for (TDataLink* link : std::vector<TDataLink*>(FDataLinks)) {
        if (active != wasActive)
            link->SetActive(active);
        link->UpdateEditing();
    }
    DoStateChange();
}

void TDataSource::DataEvent(TDataEvent Event, std::intptr_t Info)
{
    if (Event == deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == dsInactive)
        return;
    for (TDataLink* link : std::vector<TDataLink*>(FDataLinks))
        link->DataEvent(Event, Info);
    switch (Event) {
    case deFieldChange: DoDataChange(reinterpret_cast<TField*>(Info)); break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: DoDataChange(nullptr); break;
    case deUpdateRecord: DoUpdateData(); break;
    default: break;
    }
}

void TDataSource::AddDataLink(TDataLink* Link)
{
    FDataLinks.push_back(Link);
    if (FDataSet && FDataSet->Active())
        FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* Link)
{
    FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), Link), FDataLinks.end());
    if (FDataSet && FDataSet->Active())
        FDataSet->UpdateBufferCount();
}

void TDataSource::DoDataChange(TField* Field)
{
    if (OnDataChange)
        OnDataChange(this, Field);
}

void TDataSource::DoStateChange()
{
    if (OnStateChange)
        OnStateChange(this);
}

void TDataSource::DoUpdateData()
{
    if (OnUpdateData)
        OnUpdateData(this);
}
