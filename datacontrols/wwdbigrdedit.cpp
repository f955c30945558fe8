// Editing a cell of the data-aware grid in place.

#include "datacontrols/wwdbigrd.h"
#include "datacontrols/wwinplaceedit.h"
#include "platform/db/datasource.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"

bool TdwCustomDBGrid::EditorMode() const { return FEditor && FEditor->Visible(); }

bool TdwCustomDBGrid::CanEditCell() const
{
    TDataSet* dataSet = DataSetOrNull();
    TField* field = SelectedField();
    if (!FOptions.Contains(dgEditing) || FOptions.Contains(dgRowSelect) || FReadOnly || !FDataLink.Active() ||
        !dataSet || !dataSet->CanModify() || !field || field->ReadOnly() || field->IsBlob() ||
        (field->Calculated() && !FEditCalculated) || IsColumnReadOnly(SelectedIndex()))
        return false;
    return DataSource()->AutoEdit() || FDataLink.Editing();
}

void TdwCustomDBGrid::PlaceEditor()
{
    const TRect cell = CellRect(FCol, FRow);
    FEditor->SetFont(Font());
    FEditor->SetBounds(cell.Left, cell.Top, cell.Right - cell.Left, cell.Bottom - cell.Top);
}

void TdwCustomDBGrid::ShowEditor()
{
    if (EditorMode() || !CanEditCell())
        return;
    if (!FEditor)
        FEditor = new TdwInplaceEdit(this);
    ScrollColumnIntoView();
    PlaceEditor();
    FEditor->SetText(SelectedField()->Text());
    FEditor->SetTextChanged(false);
    FEditor->Show();
    if (FEditor->CanFocus()) {
        FFocusingEditor = true;
        try {
            FEditor->SetFocus();
        } catch (...) {
            FFocusingEditor = false;
            throw;
        }
        FFocusingEditor = false;
    }
}

void TdwCustomDBGrid::DropEditor()
{
    if (!EditorMode())
        return;
    const bool hadFocus = FEditor->Focused();
    FEditor->SetTextChanged(false);
    FEditor->Hide();
    if (hadFocus && CanFocus())
        SetFocus();
}

void TdwCustomDBGrid::HideEditor()
{
    if (!EditorMode())
        return;
    UpdateData();
    DropEditor();
}

void TdwCustomDBGrid::UpdateData()
{
    if (!EditorMode() || !FEditor->TextChanged())
        return;
    TField* field = SelectedField();
    if (!field)
        return;
    FEditor->SetTextChanged(false);
    if (field->Text() == FEditor->Text())
        return;
    field->SetText(FEditor->Text());
    DoFieldChanged(field);
}

void TdwCustomDBGrid::EditorChanged()
{
    FEditor->SetTextChanged(true);
    if (!FDataLink.Editing())
        FDataLink.Edit();
}

void TdwCustomDBGrid::EditorKeyDown(Word& Key, TShiftState Shift)
{
    const Word key = Key;
    Key = 0;
    switch (key) {
    case VK_ESCAPE:
        // The first Esc takes back the typing; the next one the record's changes.
        if (FEditor->TextChanged()) {
            FEditor->SetText(SelectedField()->Text());
            FEditor->SetTextChanged(false);
            return;
        }
        DropEditor();
        CancelRecord();
        return;
    case VK_RETURN:
        HideEditor();
        return;
    default: {
        HideEditor();
        Word gridKey = key;
        KeyDown(gridKey, Shift);
        return;
    }
    }
}

void TdwCustomDBGrid::KeyPress(char& Key)
{
    TCustomControl::KeyPress(Key);
    if (static_cast<unsigned char>(Key) < 32 || EditorMode() || !CanEditCell())
        return;
    // Typing over a cell starts editing it with that character.
    const char typed = Key;
    Key = 0;
    ShowEditor();
    if (!EditorMode())
        return;
    FEditor->SetText(String(1, typed));  // its change puts the record into edit state
    FEditor->SetSelStart(1);
}
