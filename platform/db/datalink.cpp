#include "platform/db/datalink.h"

#include <algorithm>

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/rtl/scopeexit.h"

// ---- TDataLink

TDataLink::~TDataLink() { SetDataSource(nullptr); }

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* Value)
{
    if (Value == FDataSource)
        return;
    if (FDataSource)
        FDataSource->RemoveDataLink(this);
    FDataSource = Value;
    if (FDataSource)
        FDataSource->AddDataLink(this);
    SetActive(FDataSource && FDataSource->State() != dsInactive);
    UpdateEditing();
}

void TDataLink::SetReadOnly(bool Value)
{
    if (Value == FReadOnly)
        return;
    FReadOnly = Value;
    UpdateEditing();
}

void TDataLink::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    FActive = Value;
    FFirstRecord = 0;
    if (Value)
        UpdateRange();
    ActiveChanged();
}

void TDataLink::UpdateEditing()
{
    TDataSetState state = FDataSource ? FDataSource->State() : dsInactive;
    bool editing = (state == dsEdit || state == dsInsert) && !FReadOnly;
    if (editing == FEditing)
        return;
    FEditing = editing;
    EditingChanged();
}

void TDataLink::UpdateRange()
{
    TDataSet* dataSet = DataSet();
    if (!FActive || !dataSet)
        return;
    int active = dataSet->FActiveRecord;
    int low = std::max(0, active - FBufferCount + 1);
    // The window starts no lower than where it still shows as many records as it can.
    int high = std::min(active, std::max(0, dataSet->FRecordCount - FBufferCount));
    high = std::max(high, low);
    FFirstRecord = std::clamp(FFirstRecord, low, high);
}

void TDataLink::BufferShifted(int Delta)
{
    FFirstRecord += Delta;
    UpdateRange();
}

int TDataLink::ActiveRecord() const
{
    TDataSet* dataSet = DataSet();
    if (!FActive || !dataSet || FDataSource->State() == dsSetKey)
        return 0;
    return dataSet->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value)
{
    TDataSet* dataSet = DataSet();
    if (!FActive || !dataSet)
        return;
    dataSet->FActiveRecord = Value + FFirstRecord;
}

void TDataLink::SetBufferCount(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FBufferCount)
        return;
    FBufferCount = Value;
    TDataSet* dataSet = DataSet();
    if (FActive && dataSet) {
        UpdateRange();
        dataSet->UpdateBufferCount();
        UpdateRange();
    }
}

int TDataLink::RecordCount() const
{
    TDataSet* dataSet = DataSet();
    if (!FActive || !dataSet)
        return 0;
    return std::clamp(dataSet->FRecordCount - FFirstRecord, 0, FBufferCount);
}

bool TDataLink::Edit()
{
    if (!FReadOnly && FDataSource)
        FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord()
{
    const FlagScope updating(FUpdating);
    UpdateData();
}

void TDataLink::DataEvent(TDataEvent Event, std::intptr_t Info)
{
    switch (Event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating)
            RecordChanged(Event == deFieldChange ? reinterpret_cast<TField*>(Info) : nullptr);
        break;
    case deDataSetChange:
    case deLayoutChange:
        UpdateRange();
        if (Event == deLayoutChange)
            LayoutChanged();
        else
            DataSetChanged();
        break;
    case deDataSetScroll: {
        // The records moved Info places in the data set's window; the link's own
        // window follows the active record.
        int shifted = FFirstRecord + static_cast<int>(Info);
        FFirstRecord = shifted;
        UpdateRange();
        DataSetScrolled(FFirstRecord - shifted);
        break;
    }
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: {
        auto* field = reinterpret_cast<TField*>(Info);
        FocusControl(field);
        break;
    }
    case deUpdateState: UpdateEditing(); break;
    }
}

// ---- TFieldDataLink

void TFieldDataLink::SetFieldName(const String& Value)
{
    if (Value == FFieldName)
        return;
    FFieldName = Value;
    UpdateField();
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

bool TFieldDataLink::Edit()
{
    if (CanModify())
        TDataLink::Edit();
    return FFieldEditing;
}

void TFieldDataLink::Reset() { RecordChanged(nullptr); }

void TFieldDataLink::SetField(TField* Value)
{
    if (Value == FField)
        return;
    FField = Value;
    EditingChanged();
    RecordChanged(nullptr);
}

void TFieldDataLink::UpdateField()
{
    TDataSet* dataSet = DataSet();
    if (Active() && dataSet && !FFieldName.empty()) {
        SetField(nullptr);
        SetField(dataSet->FieldByName(FFieldName));
    } else {
        SetField(nullptr);
    }
}

void TFieldDataLink::SetFieldEditing(bool Value)
{
    if (Value == FFieldEditing)
        return;
    FFieldEditing = Value;
    FModified = false;
    if (OnEditingChange)
        OnEditingChange(this);
}

void TFieldDataLink::ActiveChanged()
{
    UpdateField();
    if (OnActiveChange)
        OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() { SetFieldEditing(TDataLink::Editing() && CanModify()); }

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* Field)
{
    if (Field && Field != FField)
        return;
    if (OnDataChange)
        OnDataChange(this);
    FModified = false;
}

void TFieldDataLink::UpdateData()
{
    if (!FModified)
        return;
    if (FField && OnUpdateData)
        OnUpdateData(this);
    FModified = false;
}

// ---- TMasterDataLink

void TMasterDataLink::SetFieldNames(const String& Value)
{
    if (Value == FFieldNames)
        return;
    FFieldNames = Value;
    ActiveChanged();
}

void TMasterDataLink::ActiveChanged()
{
    FFields.clear();
    TDataSet* master = DataSet();
    if (Active() && master)
        FFields = master->GetFieldList(FFieldNames);
    if (!FDetailDataSet || !FDetailDataSet->Active() ||
        FDetailDataSet->ComponentState().Contains(csDestroying))
        return;
    if (Active() && !FFields.empty()) {
        if (OnMasterChange)
            OnMasterChange(this);
    } else if (OnMasterDisable) {
        OnMasterDisable(this);
    }
}

void TMasterDataLink::CheckBrowseMode()
{
    if (FDetailDataSet && FDetailDataSet->Active())
        FDetailDataSet->CheckBrowseMode();
}

void TMasterDataLink::LayoutChanged() { ActiveChanged(); }

void TMasterDataLink::RecordChanged(TField* Field)
{
    if (FFields.empty() || !FDetailDataSet || !FDetailDataSet->Active())
        return;
    if (Field && std::find(FFields.begin(), FFields.end(), Field) == FFields.end())
        return;
    if (OnMasterChange)
        OnMasterChange(this);
}
