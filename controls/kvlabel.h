#pragma once
// The numbered caption of a line of fields: typing its number selects the controls
// from FirstControl to LastControl.

#include "platform/vcl/controls/label.h"

class TKVLabel : public TLabel {
public:
    explicit TKVLabel(TComponent* AOwner) : TLabel(AOwner) { }

    String ClassName() const override { return "TKVLabel"; }
    bool InheritsFrom(const String& name) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TWinControl* FirstControl() const { return FFirstControl; }
    void SetFirstControl(TWinControl* Value);
    TWinControl* LastControl() const { return FLastControl; }
    void SetLastControl(TWinControl* Value);

private:
    TWinControl* FFirstControl = nullptr;
    TWinControl* FLastControl = nullptr;
};
