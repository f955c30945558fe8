#pragma once
// Check boxes and radio buttons.

#include "platform/vcl/controls/controls.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    String ClassName() const override { return "TCheckBox"; }
    bool InheritsFrom(const String& name) const override;

    bool Checked() const { return FState == cbChecked; }
    // A change fires Click (OnClick), whoever makes it.
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    // Which side of the box the caption is on (taRightJustify: the caption on the right).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void TextChanged() override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TAlignment FAlignment = taRightJustify;
};

// Checking one radio button unchecks the others on the same parent.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    String ClassName() const override { return "TRadioButton"; }
    bool InheritsFrom(const String& name) const override;

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    void TextChanged() override;

private:
    bool FChecked = false;
};
