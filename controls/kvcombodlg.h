#pragma once
// The combo-dialog field of the keyboard-driven forms: the data-aware control library's
// dialog edit that takes part in the command panel's protocol. Reached by its number it
// opens its dialog; left as the end of a group chosen by number it hands the focus back
// to the selection entry.

#include "controls/kvcommander.h"
#include "datacontrols/edits/wwdotdot.h"

class TKVComboDlg : public TdwDBComboDlg, public TKVCommanded {
public:
    explicit TKVComboDlg(TComponent* AOwner) : TdwDBComboDlg(AOwner) { }

    String ClassName() const override { return "TKVComboDlg"; }
    bool InheritsFrom(const String& name) const override;

protected:
    // After the inherited exit, the mouse-free return with the caption turned black;
    // not when the exit was refused, since the edit keeps the focus then.
    void DoExit() override;
};
