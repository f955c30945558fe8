#pragma once
// The grid's cell editor: an edit placed over the current cell while it is edited.

#include "platform/vcl/edits.h"

class TdwCustomDBGrid;

class TdwInplaceEdit : public TEdit {
public:
    explicit TdwInplaceEdit(TdwCustomDBGrid* Grid);

    String ClassName() const override { return "TdwInplaceEdit"; }
    bool InheritsFrom(const String& name) const override;
    // Enter, Esc and Tab belong to the grid while a cell is edited.
    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars | dlgcWantTab | dlgcWantAllKeys; }

    void KeyDown(Word& Key, TShiftState Shift) override;

    // The text differs from the field's since it was shown or reset.
    bool TextChanged() const { return FTextChanged; }
    void SetTextChanged(bool Value) { FTextChanged = Value; }

protected:
    void Change() override;

private:
    TdwCustomDBGrid* FGrid;
    bool FTextChanged = false;
};
