// The grid's per-field setting lists, published by name for the library's readers.

#include "datacontrols/grid/wwdbigrd.h"
#include "platform/db/dataset.h"

void TdwCustomDBGrid::SetControlType(const TStrings* Value)
{
    FControlType.Assign(*Value);
    Invalidate();
}

void TdwCustomDBGrid::SetControlInfoInDataset(bool Value)
{
    FControlInfoInDataset = Value;
    Invalidate();
}

void TdwCustomDBGrid::SetEditControlOptions(TdwEditControlOptions Value)
{
    FEditControlOptions = Value;
    LayoutChanged();
}

TStrings* TdwCustomDBGrid::PublishedStrings(const String& Name)
{
    if (Name == "ControlType")
        return &FControlType;
    if (Name == "PictureMasks")
        return &FPictureMasks;
    return nullptr;
}

std::optional<bool> TdwCustomDBGrid::PublishedBool(const String& Name)
{
    if (Name == "ControlInfoInDataSet")
        return FControlInfoInDataset;
    if (Name == "PictureMaskFromDataSet")
        return FPictureMaskFromDataSet;
    return std::nullopt;
}

TdwFieldControlType TdwCustomDBGrid::GetControlInfo(const String& FieldName)
{
    return dwGetFieldControlType(dwGetControlInfoOwner(this, DataSetOrNull()), FieldName);
}
