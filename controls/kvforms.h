#pragma once
// The keyboard-driven base form: numbered field captions, the command panel at the
// bottom, Enter from field to field, '*' to the selection entry, '/' to close, '+' for
// full edit, F1 for help and F2 for the calculator.

#include "controls/kvcommander.h"
#include "platform/vcl/forms/forms.h"

class TKVMouseFreeForm : public TForm {
public:
    // Sets the key handlers and the size; the numbering and wiring follow once the
    // descendant has built its components (Loaded, before OnCreate).
    explicit TKVMouseFreeForm(TComponent* AOwner);

    String ClassName() const override { return "TKVMouseFreeForm"; }
    bool InheritsFrom(const String& name) const override;
    void Loaded() override;

    // The form's command panel; null when it has none.
    TKVCommander* Commander = nullptr;
    // Set once the 99th label has been numbered: numbers have three digits from then on.
    bool ThreeDigit = false;

    // The form's key handlers; a descendant's own key handler may pass keys on to them.
    void MouseFreeKeyPress(TObject* Sender, char& Key);
    void MouseFreeKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

protected:
    // Focus goes to the selection entry each time the form becomes active.
    void Activate() override;

private:
    void WireAndNumber();
};
