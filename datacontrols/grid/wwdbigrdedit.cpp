// Editing a cell of the data-aware grid in place.

#include "datacontrols/common/dwdatetext.h"
#include "datacontrols/common/dwpicturemasks.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/grid/wwdbigrd.h"
#include "datacontrols/grid/wwinplaceedit.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/scopeexit.h"

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

bool TdwCustomDBGrid::CanEditShow()
{
    if (FOptions.Contains(dgAlwaysShowEditor) && !Focused() && !(EditorMode() && FEditor->Focused()))
        return false;
    return CanEditCell();
}

void TdwCustomDBGrid::PlaceEditor()
{
    const TRect cell = CellRect(FCol, FRow);
    FEditor->SetFont(Font());
    FEditor->SetBounds(cell.Left, cell.Top, cell.Right - cell.Left, cell.Bottom - cell.Top);
}

void TdwCustomDBGrid::ShowEditor()
{
    if (EditorMode() || !CanEditShow())
        return;
    if (!FEditor)
        FEditor = new TdwInplaceEdit(this);
    ScrollColumnIntoView();
    PlaceEditor();
    TField* field = SelectedField();
    FEditor->SetMaxLength(field->DataType() == ftString ? field->Size() : 0);
    FEditText = field->Text();
    FEditor->ShowFieldText(FEditText);
    FEditor->TakeFieldPictureMask();
    FEditor->Show();
    if (FEditor->CanFocus()) {
        const FlagScope focusingEditor(FFocusingEditor);
        FEditor->SetFocus();
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
    const String text = FEditor->Text();
    if (!FEditor->AllowInvalidExit() && !FEditor->PassesPictureMask()) {
        TDataSet* dataSet = DataSetOrNull();
        if (const TdwInvalidValueEvent onInvalidValue = dwGetOnInvalidValue(dataSet))
            onInvalidValue(dataSet, field);
        else
            ValidationErrorUsingMask(field);
        return;
    }
    FEditor->SetTextChanged(false);
    if (field->Text() == text)
        return;
    FEditText = text;
    TDateTime date = 0;
    const TFieldType type = field->DataType();
    if ((type == ftDate || type == ftDateTime) && dwParseDate(text, date)) {
        // The library reads the date; a time of day typed after it is kept.
        const TDateTime dateTime = dwTextToDateTime(text);
        field->SetAsDateTime(date + (dateTime - static_cast<long long>(dateTime)));
    } else {
        field->SetText(text);
    }
    DoFieldChanged(field);
}

void TdwCustomDBGrid::ResetEditorText()
{
    if (!EditorMode() || !SelectedField())
        return;
    FEditText = SelectedField()->Text();
    FEditor->ShowFieldText(FEditText);
    FEditor->CheckValue(FEditor->PassesPictureMask());
}

void TdwCustomDBGrid::EscapeRecord()
{
    const bool alwaysShow = FOptions.Contains(dgAlwaysShowEditor);
    if (!alwaysShow)
        DropEditor();
    CancelRecord();
    if (!alwaysShow)
        return;
    // The editor stays, showing the field as it is now.
    if (EditorMode())
        ResetEditorText();
    else
        ShowEditor();
}

void TdwCustomDBGrid::ValidationErrorUsingMask(TField* Field)
{
    dwIntl()->DoValidationErrorUsingMask(this, Field);
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
        if (FEditor->TextChanged())
            ResetEditorText();
        else
            EscapeRecord();
        return;
    case VK_DELETE: {
        // Ctrl+Delete deletes the record: its typing is not worth posting first.
        Word gridKey = key;
        KeyDown(gridKey, Shift);
        return;
    }
    case VK_RETURN:
        if (!FKeyOptions.Contains(dgEnterToTab)) {
            HideEditor();
            return;
        }
        [[fallthrough]];  // the grid takes it as Tab
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
    // Typing over a cell starts editing it: the character replaces the cell's text as
    // if typed into the editor, the mask checking it.
    char typed = Key;
    Key = 0;
    ShowEditor();
    if (!EditorMode())
        return;
    FEditor->SelectAll();
    FEditor->KeyPress(typed);
    if (typed != 0)
        FEditor->SetSelText(String(1, typed));  // its change puts the record into edit state
}
