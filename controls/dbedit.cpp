#include "controls/dbedit.h"

#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"

TDBEdit::TDBEdit(TComponent* AOwner) : TEdit(AOwner)
{
    FDataLink.SetControl(this);
    FDataLink.OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink.OnEditingChange = [this](TObject*) { EditingChange(); };
    FDataLink.OnUpdateData = [this](TObject*) { UpdateData(); };
    FDataLink.OnActiveChange = [this](TObject*) { EditingChange(); };
    EditingChange();
}

TDBEdit::~TDBEdit()
{
    FDataLink.OnDataChange = nullptr;
    FDataLink.OnEditingChange = nullptr;
    FDataLink.OnUpdateData = nullptr;
    FDataLink.OnActiveChange = nullptr;
    FDataLink.SetDataSource(nullptr);
}

bool TDBEdit::InheritsFrom(const String& name) const
{
    return SameText(name, "TDBEdit") || TEdit::InheritsFrom(name);
}

void TDBEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove && AComponent == DataSource())
        FDataLink.SetDataSource(nullptr);
    TEdit::Notification(AComponent, Operation);
}

void TDBEdit::SetDataSource(TDataSource* Value)
{
    FDataLink.SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
}

// Focused and editable, the field's edit text; otherwise its display text.
void TDBEdit::DataChange()
{
    TField* field = Field();
    String text;
    if (field)
        text = FFocusedDisplay && FDataLink.CanModify() ? field->Text() : field->DisplayText();
    // Setting the same length or text again would lose the caret and the selection.
    if (field && field->DataType() == ftString && field->Size() != MaxLength())
        SetMaxLength(field->Size());
    if (text != Text())
        SetText(text);
}

void TDBEdit::SetReadOnly(bool Value)
{
    FDataLink.SetReadOnly(Value);
    EditingChange();
}

void TDBEdit::EditingChange() { TEdit::SetReadOnly(!FDataLink.Active() || !FDataLink.CanModify()); }

void TDBEdit::UpdateData()
{
    if (TField* field = Field())
        field->SetText(Text());
}

void TDBEdit::SetFocusedDisplay(bool Value)
{
    if (Value == FFocusedDisplay)
        return;
    FFocusedDisplay = Value;
    if (Field())
        FDataLink.Reset();
}

void TDBEdit::Change()
{
    if (Modified())
        FDataLink.Modified();
    TEdit::Change();
}

void TDBEdit::KeyPress(char& Key)
{
    TEdit::KeyPress(Key);
    if (Key == KeyChar::Escape) {
        // Esc gives up the change and shows the field's value again.
        FDataLink.Reset();
        SelectAll();
        Key = 0;
        return;
    }
    TField* field = Field();
    const bool printable = static_cast<unsigned char>(Key) >= ' ';
    if (!field || !(printable || Key == KeyChar::Backspace || Key == KeyChar::CtrlV || Key == KeyChar::CtrlX))
        return;
    if (printable && !field->IsValidChar(Key)) {
        MessageBeep();
        Key = 0;
        return;
    }
    // A change starts editing the record; a field that cannot be changed takes nothing.
    if (!FDataLink.Edit())
        Key = 0;
}

void TDBEdit::CommitText() { FDataLink.UpdateRecord(); }

void TDBEdit::CMEnter()
{
    SetFocusedDisplay(true);
    TEdit::CMEnter();
}

void TDBEdit::CMExit()
{
    try {
        CommitText();
    } catch (...) {
        SelectAll();
        if (CanFocus())
            SetFocus();
        throw;
    }
    SetFocusedDisplay(false);
    DoExit();
}
