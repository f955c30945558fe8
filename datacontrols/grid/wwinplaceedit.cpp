#include "datacontrols/grid/wwinplaceedit.h"

#include "datacontrols/common/dwpicture.h"
#include "datacontrols/common/dwpicturemasks.h"
#include "datacontrols/grid/wwdbigrd.h"
#include "platform/db/field.h"
#include "platform/rtl/scopeexit.h"
#include "platform/vcl/dialogs/dialogs.h"

TdwInplaceEdit::TdwInplaceEdit(TdwCustomDBGrid* Grid) : TEdit(Grid), FGrid(Grid)
{
    SetParent(Grid);
    Hide();
    SetWordWrap(Grid->Options().Contains(dgWordWrap));
}

void TdwInplaceEdit::SetWordWrap(bool Value)
{
    TEdit::SetWordWrap(Value);
    const int inset = Value ? 0 : 2;
    SetTextMargins(Rect(inset, inset, 1, 0));
}

bool TdwInplaceEdit::InheritsFrom(const String& name) const
{
    return name == "TdwInplaceEdit" || name == "TInplaceEdit" || TEdit::InheritsFrom(name);
}

void TdwInplaceEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TEdit::KeyDown(Key, Shift);
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE: FGrid->EditorKeyDown(Key, Shift); break;
    case VK_DELETE:
        if (Shift.Contains(ssCtrl))
            FGrid->EditorKeyDown(Key, Shift);
        break;
    default: break;
    }
}

void TdwInplaceEdit::KeyPress(char& Key)
{
    TEdit::KeyPress(Key);
    if (Key == 0 || FPictureMask.empty() || ReadOnly())
        return;
    if (Key == '\b') {
        if (!FGrid->OnCheckValue)
            return;
        String text = Text();
        const size_t selStart = static_cast<size_t>(SelStart());
        if (SelLength() > 0)
            text.erase(selStart, static_cast<size_t>(SelLength()));
        else if (selStart > 0)
            text.erase(selStart - 1, 1);
        CheckValue(dwPassesPictureMask(FPictureMask, text));
        return;
    }
    if (static_cast<unsigned char>(Key) >= 32)
        PictureKeyPress(Key);
}

void TdwInplaceEdit::PictureKeyPress(char& Key)
{
    const String old = Text();
    const int selStart = SelStart();
    String text = old.substr(0, static_cast<size_t>(selStart)) + Key +
                  old.substr(static_cast<size_t>(selStart + SelLength()));
    if (MaxLength() > 0 && static_cast<int>(text.size()) > MaxLength() && text.size() > old.size()) {
        Key = 0;
        return;
    }
    TdwPictureValidator validator(FPictureMask, FAutoFill);
    if (validator.Status() != 0)
        return;  // a malformed mask checks nothing
    const size_t typedLength = text.size();
    const TdwPicResult result = validator.Match(text, FAutoFill);
    bool passes = false;
    if (result == prComplete || result == prIncomplete) {
        // The caret goes after the typed character and what auto-fill added.
        const int caret = selStart + 1 + static_cast<int>(text.size() - typedLength);
        SetText(text);
        SetSelStart(caret);
        SetSelLength(0);
        Key = 0;
        passes = result == prComplete;
    } else if (selStart >= static_cast<int>(old.size())) {
        MessageBeep();
        Key = 0;
        return;
    }
    CheckValue(passes);
}

void TdwInplaceEdit::KeyUp(Word& Key, TShiftState Shift)
{
    TEdit::KeyUp(Key, Shift);
    if (Key == VK_DELETE && !FPictureMask.empty())
        CheckValue(PassesPictureMask());
}

void TdwInplaceEdit::TakeFieldPictureMask()
{
    TField* field = FGrid->SelectedField();
    TdwFieldPictureMask mask;
    if (field)
        mask = dwGetFieldPictureMask(dwGetPictureMasksOwner(FGrid, FGrid->DataLink()->DataSet()),
                                     field->FieldName());
    FPictureMask = mask.UseInGrid ? mask.Mask : String();
    FAutoFill = mask.AutoFill;
    FAllowInvalidExit = false;
    CheckValue(PassesPictureMask());
}

bool TdwInplaceEdit::PassesPictureMask() const
{
    return FPictureMask.empty() || dwPassesPictureMask(FPictureMask, Text());
}

void TdwInplaceEdit::CheckValue(bool Passes)
{
    if (FGrid->OnCheckValue)
        FGrid->OnCheckValue(FGrid, Passes);
}

void TdwInplaceEdit::ShowFieldText(const String& Value)
{
    {
        const FlagScope showingFieldText(FShowingFieldText);
        SetText(Value);
    }
    FTextChanged = false;
}

void TdwInplaceEdit::Change()
{
    TEdit::Change();
    if (Visible() && !FShowingFieldText)
        FGrid->EditorChanged();
}
