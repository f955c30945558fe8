#pragma once
// A check box bound to a bool, written at every click.

#include "controls/kvcommander.h"
#include "platform/vcl/controls/checkboxes.h"

class TKVCheckBox : public TCheckBox, public TKVCommanded {
public:
    explicit TKVCheckBox(TComponent* AOwner) : TCheckBox(AOwner) { }

    String ClassName() const override { return "TKVCheckBox"; }
    bool InheritsFrom(const String& name) const override;

    // The variable must outlive the check box's last click.
    void Bind(bool* Value);
    void Click() override;

protected:
    void DoExit() override;

private:
    bool* FValue = nullptr;
};
