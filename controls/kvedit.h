#pragma once
// A text edit bound to a string variable: it shows the variable and writes its text
// back when it is left.

#include "controls/kvcommander.h"
#include "platform/vcl/controls/edits.h"

class TKVEdit : public TEdit, public TKVCommanded, public TKVMouseFreeOption, public TKVSlashOption {
public:
    explicit TKVEdit(TComponent* AOwner) : TEdit(AOwner) { }

    String ClassName() const override { return "TKVEdit"; }
    bool InheritsFrom(const String& name) const override;

    // The variable must outlive the edit's last exit.
    void Bind(String* Value);

    void CMEnter() override;

protected:
    void DoExit() override;

private:
    String* FValue = nullptr;
};
