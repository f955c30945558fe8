#pragma once
// The lookup combo whose button opens the lookup dialog's form on its lookup table
// instead of dropping down a grid; the record chosen there gives the combo its value.

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/lookup/dwdblook.h"
#include "datacontrols/lookup/dwidlg.h"

class TdwDBLookupComboDlg : public TdwDBCustomLookupCombo, public TdwPublished {
public:
    explicit TdwDBLookupComboDlg(TComponent* AOwner);

    String ClassName() const override { return "TdwDBLookupComboDlg"; }
    bool InheritsFrom(const String& name) const override;

    // How the form shows: its caption ("Lookup"), sizes, grid options and colours, the
    // options ([opShowOKCancel, opShowSearchBy]), the user buttons and the events. Its
    // column list, initial search text and character case come from the combo.
    TdwLookupDlgSettings& DialogSettings() { return FDialogSettings; }
    // Per-field lists for the form's grid, unless the lookup table has its own and the
    // switch says to take those.
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

    // Opens the form; OK puts the chosen record's key into the combo.
    void DropDown() override;

protected:
    bool IsLookupRecordChosen() override { return true; }
    // Puts the lookup table on the record the dialog should open at.
    void PositionBeforeDialog(bool FromTyping);

private:
    TdwLookupDlgSettings FDialogSettings;
    TStringList FControlType;
    TStringList FPictureMasks;
    bool FControlInfoInDataset = true;
    bool FPictureMaskFromDataset = true;
};
