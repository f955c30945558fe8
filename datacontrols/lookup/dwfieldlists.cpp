#include "datacontrols/lookup/dwfieldlists.h"

#include "platform/rtl/strutils.h"

TStrings* TdwFieldListSettings::PublishedStrings(const String& Name)
{
    if (SameText(Name, "PictureMasks"))
        return &FPictureMasks;
    if (SameText(Name, "ControlType"))
        return &FControlType;
    return nullptr;
}

std::optional<bool> TdwFieldListSettings::PublishedBool(const String& Name)
{
    if (SameText(Name, "PictureMaskFromDataSet"))
        return FPictureMaskFromDataset;
    if (SameText(Name, "ControlInfoInDataSet"))
        return FControlInfoInDataset;
    return std::nullopt;
}
