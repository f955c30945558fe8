#pragma once
// The grid's cell editor: an edit placed over the current cell while it is edited. It
// takes the field's picture mask when it is shown and checks each typed key against it.

#include "platform/vcl/controls/edits.h"

class TdwCustomDBGrid;

class TdwInplaceEdit : public TEdit {
public:
    explicit TdwInplaceEdit(TdwCustomDBGrid* Grid);

    String ClassName() const override { return "TdwInplaceEdit"; }
    bool InheritsFrom(const String& name) const override;
    // Enter, Esc and Tab belong to the grid while a cell is edited.
    int DialogCode() const override { return dlgcWantArrows | dlgcWantChars | dlgcWantTab | dlgcWantAllKeys; }

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;

    // Word-wrap mode (the grid's dgWordWrap): the text wraps onto the cell's lines and starts
    // at the client area's corner; otherwise it is one line inset 2 pixels from the top left.
    // The last pixel on the right stays free.
    void SetWordWrap(bool Value) override;
    // Shows the field's text; no change of the user's, so the record stays as it is.
    void ShowFieldText(const String& Value);
    // The text differs from the field's since it was shown or reset.
    bool TextChanged() const { return FTextChanged; }
    void SetTextChanged(bool Value) { FTextChanged = Value; }

    // The current field's picture mask; empty for none.
    const String& PictureMask() const { return FPictureMask; }
    // Typing appends the literals the mask requires next.
    bool AutoFill() const { return FAutoFill; }
    // The text may be posted although it fails the mask.
    bool AllowInvalidExit() const { return FAllowInvalidExit; }
    void SetAllowInvalidExit(bool Value) { FAllowInvalidExit = Value; }
    // Takes the current field's mask and checks the text against it.
    void TakeFieldPictureMask();
    // The text is empty or fills the mask.
    bool PassesPictureMask() const;
    // Tells the grid's OnCheckValue whether the text passes the mask.
    void CheckValue(bool Passes);

protected:
    void Change() override;

private:
    // A printable key typed against the mask; Key becomes 0 when the mask took it.
    void PictureKeyPress(char& Key);

    TdwCustomDBGrid* FGrid;
    bool FTextChanged = false;
    bool FShowingFieldText = false;
    String FPictureMask;
    bool FAutoFill = true;
    bool FAllowInvalidExit = false;
};
