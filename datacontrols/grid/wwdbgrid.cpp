#include "datacontrols/grid/wwdbgrid.h"

#include "datacontrols/common/dwfields.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/scopeexit.h"

bool TdwDBGrid::InheritsFrom(const String& name) const
{
    return name == "TdwDBGrid" || TdwCustomDBGrid::InheritsFrom(name);
}

void TdwDBGrid::LinkActive(bool Value)
{
    if (FInLinkActive)
        return;
    const FlagScope inLinkActive(FInLinkActive);
    HideCellControl();
    if (FDateTimePicker)
        FDateTimePicker->SetDataField(String());
    TdwCustomDBGrid::LinkActive(Value);
    if (Value) {
        ApplySelected();
        AttachCellControls();
        UpdateCellControl();
    }
}

// The column list, once the link opens: to the fields with UseTFields (a data set with
// calculated fields keeps its own layout), else straight to the columns.
void TdwDBGrid::ApplySelected()
{
    TDataSet* dataSet = DataLink()->DataSet();
    if (!dataSet || Selected()->Count() == 0)
        return;
    if (!UseTFields()) {
        LayoutChanged();
        return;
    }
    for (TField* field : dataSet->Fields()) {
        if (field->Calculated())
            return;
    }
    dataSet->DisableControls();
    try {
        dwApplySelectedToFields(dataSet, Selected());
    } catch (...) {
        dataSet->EnableControls();
        throw;
    }
    dataSet->EnableControls();
    LayoutChanged();
}

TColor TdwDBGrid::ColumnColor(int DataCol) const
{
    return DataCol < FixedCols() ? TitleColor() : TdwCustomDBGrid::ColumnColor(DataCol);
}

void TdwDBGrid::Paint()
{
    RefreshRowFlags();
    TdwCustomDBGrid::Paint();
}
