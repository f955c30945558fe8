#pragma once
// The per-field lists a lookup form's grid takes from the component that opens it: the
// control types and picture masks, each taken from the data set instead when the
// data set has its own and the switch says to take those.

#include "datacontrols/common/dwproperties.h"
#include "platform/rtl/stringlist.h"

class TdwFieldListSettings : public TdwPublished {
public:
    TStrings* ControlType() { return &FControlType; }
    void SetControlType(const TStrings* Value) { FControlType.Assign(*Value); }
    bool ControlInfoInDataset() const { return FControlInfoInDataset; }
    void SetControlInfoInDataset(bool Value) { FControlInfoInDataset = Value; }
    TStrings* PictureMasks() { return &FPictureMasks; }
    void SetPictureMasks(const TStrings* Value) { FPictureMasks.Assign(*Value); }
    bool PictureMaskFromDataset() const { return FPictureMaskFromDataset; }
    void SetPictureMaskFromDataset(bool Value) { FPictureMaskFromDataset = Value; }

    TStrings* PublishedStrings(const String& Name) override;
    std::optional<bool> PublishedBool(const String& Name) override;

private:
    TStringList FControlType;
    TStringList FPictureMasks;
    bool FControlInfoInDataset = true;
    bool FPictureMaskFromDataset = true;
};
