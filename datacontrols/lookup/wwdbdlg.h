#pragma once
// The lookup combo whose button opens the lookup dialog's form on its lookup table
// instead of dropping down a grid; the record chosen there gives the combo its value.

#include "datacontrols/lookup/dwdblook.h"
#include "datacontrols/lookup/dwfieldlists.h"
#include "datacontrols/lookup/dwidlg.h"

class TdwDBLookupComboDlg : public TdwDBCustomLookupCombo, public TdwFieldListSettings {
public:
    explicit TdwDBLookupComboDlg(TComponent* AOwner);

    String ClassName() const override { return "TdwDBLookupComboDlg"; }
    bool InheritsFrom(const String& name) const override;

    // How the form shows: its caption ("Lookup"), sizes, grid options and colours, the
    // options ([opShowOKCancel, opShowSearchBy]), the user buttons and the events. Its
    // column list, initial search text and character case come from the combo.
    TdwLookupDlgSettings& DialogSettings() { return FDialogSettings; }
    // Opens the form; OK puts the chosen record's key into the combo.
    void DropDown() override;

protected:
    bool IsLookupRecordChosen() override { return true; }
    // Puts the lookup table on the record the dialog should open at.
    void PositionBeforeDialog(bool FromTyping);

private:
    TdwLookupDlgSettings FDialogSettings;
};
