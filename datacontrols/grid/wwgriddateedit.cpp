#include "datacontrols/grid/wwgriddateedit.h"

#include "datacontrols/common/dwdatetext.h"
#include "datacontrols/grid/wwdbigrd.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs.h"

TdwGridDateEdit::TdwGridDateEdit(TdwCustomDBGrid* Grid) : TEdit(Grid), FGrid(Grid)
{
    SetParent(Grid);
    Hide();
    FDataLink.SetControl(this);
    FDataLink.OnDataChange = [this](TObject*) { ShowFieldValue(); };
    FDataLink.OnUpdateData = [this](TObject*) { WriteField(); };
}

TdwGridDateEdit::~TdwGridDateEdit()
{
    FDataLink.OnDataChange = nullptr;
    FDataLink.OnUpdateData = nullptr;
    FDataLink.SetDataSource(nullptr);
}

bool TdwGridDateEdit::InheritsFrom(const String& name) const
{
    return name == "TdwGridDateEdit" || TEdit::InheritsFrom(name);
}

void TdwGridDateEdit::ShowFieldValue()
{
    TField* field = Field();
    FShowingValue = true;
    SetText(field && !field->IsNull() ? field->Text() : String());
    FShowingValue = false;
    if (Focused())
        SelectAll();
}

void TdwGridDateEdit::Change()
{
    TEdit::Change();
    if (FShowingValue || !Field())
        return;
    // Typing puts the record into edit state; the date is written when it is posted.
    if (FDataLink.Edit())
        FDataLink.Modified();
}

void TdwGridDateEdit::WriteField()
{
    TField* field = Field();
    const String text = Trim(Text());
    if (text.empty()) {
        field->Clear();
        return;
    }
    TDateTime value = 0;
    if (!dwIsValidDate(text) || !dwParseDate(text, value))
        throw EConvertError("'" + Text() + "' is not a valid date");
    field->SetAsDateTime(value);
}

bool TdwGridDateEdit::PostText()
{
    if (!Modified() || !Field() || !FDataLink.Editing())
        return true;
    try {
        FDataLink.UpdateRecord();
    } catch (const EConvertError& e) {
        MessageDlg(e.Message(), mtError, {mbOK}, 0);
        SetFocus();
        return false;
    }
    SetModified(false);
    return true;
}

bool TdwGridDateEdit::IsGridKey(Word Key, TShiftState Shift) const
{
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_TAB:
    case VK_RETURN:
        return true;
    case VK_LEFT:
        return SelStart() == 0 && SelLength() == 0 && !Shift.Contains(ssShift);
    case VK_RIGHT:
        return SelStart() >= static_cast<int>(Text().size()) && !Shift.Contains(ssShift);
    default:
        return false;
    }
}

void TdwGridDateEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TEdit::KeyDown(Key, Shift);
    if (Key == VK_DELETE && !ReadOnly())
        FDataLink.Edit();
    if (Key == VK_ESCAPE) {
        // The first Esc takes back the typing; the next one goes to the grid.
        if (Modified()) {
            Key = 0;
            FDataLink.Reset();
            SetModified(false);
            return;
        }
    } else if (!IsGridKey(Key, Shift)) {
        return;
    }
    const Word key = Key;
    Key = 0;
    if (!PostText())
        return;
    if (FGrid->CanFocus())
        FGrid->SetFocus();
    if (key == VK_RETURN)
        return;
    Word gridKey = key;
    FGrid->KeyDown(gridKey, Shift);
}

void TdwGridDateEdit::KeyPress(char& Key)
{
    TEdit::KeyPress(Key);
    if ((Key == '+' || Key == '-') && !ReadOnly()) {
        const int days = Key == '+' ? 1 : -1;
        Key = 0;
        StepDay(days);
        return;
    }
    if (Key != 0 && !ReadOnly() && (static_cast<unsigned char>(Key) >= 32 || Key == '\b') && !FDataLink.Edit()) {
        Key = 0;
        MessageBeep();
    }
}

void TdwGridDateEdit::StepDay(int Days)
{
    TDateTime value = 0;
    const String text = Trim(Text());
    if (!dwIsValidDate(text) || !dwParseDate(text, value) || !FDataLink.Edit()) {
        MessageBeep();
        return;
    }
    SetText(FormatDateTime(ShortDateFormat, value + Days));
    SetModified(true);
    SetSelStart(static_cast<int>(Text().size()));
}

void TdwGridDateEdit::DoExit()
{
    // A date is written on the way out; text that is no date stays until it is mended
    // (the record then refuses to post).
    if (Modified() && Field() && FDataLink.Editing()) {
        try {
            FDataLink.UpdateRecord();
            SetModified(false);
        } catch (const EConvertError&) {
        }
    }
    TEdit::DoExit();
}
