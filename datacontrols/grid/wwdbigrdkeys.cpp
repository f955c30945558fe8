// Keyboard and mouse navigation of the data-aware grid.

#include <algorithm>

#include "datacontrols/common/wwintl.h"
#include "datacontrols/grid/wwdbigrd.h"
#include "datacontrols/grid/wwinplaceedit.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/forms.h"

void TdwCustomDBGrid::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    TDataSet* dataSet = DataSetOrNull();
    if (Key == 0 || !FDataLink.Active() || !dataSet)
        return;
    const bool rowSelect = FOptions.Contains(dgRowSelect);
    const int lastCol = GetFieldCount() - 1;
    const Word key = Key;
    Key = 0;
    if (Shift.Contains(ssCtrl)) {
        switch (key) {
        case VK_UP:
        case VK_PRIOR: dataSet->MoveBy(-FDataLink.ActiveRecord()); return;
        case VK_DOWN:
        case VK_NEXT: dataSet->MoveBy(FDataLink.BufferCount() - FDataLink.ActiveRecord() - 1); return;
        case VK_LEFT: MoveCol(0, false); return;
        case VK_RIGHT: MoveCol(std::min(dataSet->FieldCount() - 1, lastCol), false); return;
        case VK_HOME: dataSet->First(); return;
        case VK_END: dataSet->Last(); return;
        case VK_DELETE: DeleteRecord(); return;
        default: Key = key; return;
        }
    }
    switch (key) {
    case VK_UP: PriorRecord(); return;
    case VK_DOWN: NextRecord(); return;
    case VK_PRIOR: dataSet->MoveBy(-VisibleRowCount()); return;
    case VK_NEXT: dataSet->MoveBy(VisibleRowCount()); return;
    case VK_HOME:
        if (rowSelect || dataSet->FieldCount() == 1)
            dataSet->First();
        else
            MoveCol(0, false);
        return;
    case VK_END:
        if (rowSelect || dataSet->FieldCount() == 1)
            dataSet->Last();
        else
            MoveCol(std::min(dataSet->FieldCount() - 1, lastCol), false);
        return;
    case VK_LEFT:
        if (rowSelect)
            PriorRecord();
        else
            MoveCol(SelectedIndex() - 1, false);
        return;
    case VK_RIGHT:
        if (rowSelect)
            NextRecord();
        else
            MoveCol(SelectedIndex() + 1, false);
        return;
    case VK_INSERT:
        if (!FReadOnly && FOptions.Contains(dgEditing) && FKeyOptions.Contains(dgAllowInsert))
            dataSet->Insert();
        return;
    case VK_TAB:
        if (Shift.Contains(ssAlt))
            break;
        TabMove(!Shift.Contains(ssShift));
        return;
    case VK_RETURN:
        if (!FKeyOptions.Contains(dgEnterToTab))
            break;
        TabMove(!Shift.Contains(ssShift));
        return;
    case VK_ESCAPE: EscapeRecord(); return;
    case VK_F2: ShowEditor(); return;
    default: break;
    }
    Key = key;
}

void TdwCustomDBGrid::NextRecord()
{
    TDataSet* dataSet = DataSetOrNull();
    if (dataSet->State() == dsInsert && !dataSet->Modified()) {
        if (dataSet->Eof())
            return;
        dataSet->Cancel();
        return;
    }
    if (dataSet->Eof() && FDataLink.ActiveRecord() < FDataLink.RecordCount() - 1)
        FDataLink.SetActiveRecord(FDataLink.ActiveRecord() + 1);
    else
        dataSet->Next();
    if (dataSet->Eof() && dataSet->CanModify() && !FReadOnly && FOptions.Contains(dgEditing) &&
        FKeyOptions.Contains(dgAllowInsert))
        dataSet->Append();
}

void TdwCustomDBGrid::PriorRecord()
{
    TDataSet* dataSet = DataSetOrNull();
    if (dataSet->State() == dsInsert && !dataSet->Modified() && dataSet->Eof()) {
        dataSet->Cancel();
        return;
    }
    if (dataSet->Bof() && FDataLink.ActiveRecord() > 0)
        FDataLink.SetActiveRecord(FDataLink.ActiveRecord() - 1);
    else
        dataSet->Prior();
}

void TdwCustomDBGrid::TabMove(bool Forward)
{
    const int count = GetFieldCount();
    int col = SelectedIndex();
    for (;;) {
        col += Forward ? 1 : -1;
        if (col < 0 || col >= count)
            break;
        if (TabStops(col + FIndicatorCols)) {
            MoveCol(col, true);
            return;
        }
    }
    if (FOptions.Contains(dgTabExitsOnLastCol)) {
        if (Parent())
            Parent()->SelectNext(this, Forward, true);
        return;
    }
    if (Forward) {
        NextRecord();
        MoveCol(0, true);
    } else {
        PriorRecord();
        MoveCol(count - 1, true);
    }
}

void TdwCustomDBGrid::MoveCol(int DataCol, bool Tabbing)
{
    const int target =
            std::clamp(DataCol, 0, std::max(0, std::min(GetFieldCount(), ColCount() - FIndicatorCols) - 1));
    if (target == SelectedIndex())
        return;
    HideEditor();
    if (OnColExit)
        OnColExit(this);
    FCol = target + FIndicatorCols;
    const int oldLeft = FLeftCol;
    ScrollColumnIntoView();
    if (FLeftCol != oldLeft && OnLeftColChanged)
        OnLeftColChanged(this, FLeftCol);
    Invalidate();
    if (!Tabbing && FOptions.Contains(dgAlwaysShowEditor))
        ShowEditor();
    if (OnColEnter)
        OnColEnter(this);
    DoCellChanged();
}

void TdwCustomDBGrid::DeleteRecord()
{
    TDataSet* dataSet = DataSetOrNull();
    if (!FKeyOptions.Contains(dgAllowDelete) || FReadOnly || !dataSet->CanModify() ||
        !FOptions.Contains(dgEditing) || dataSet->IsEmpty())
        return;
    if (FOptions.Contains(dgConfirmDelete) &&
        MessageDlg(dwIntl()->Navigator().ConfirmDeleteMessage, mtConfirmation, mbOKCancel, 0) != mrOk)
        return;
    // The editor goes with the record and comes back over the one that takes its place.
    const bool editing = EditorMode();
    DropEditor();
    const TBookmark deleted = dataSet->GetBookmark();
    dataSet->Delete();
    RecordDeleted(deleted);
    if (editing || FOptions.Contains(dgAlwaysShowEditor))
        ShowEditor();
}

void TdwCustomDBGrid::CancelRecord()
{
    TDataSet* dataSet = DataSetOrNull();
    if (dataSet->State() != dsEdit && dataSet->State() != dsInsert)
        return;
    if (dataSet->Modified() && MessageDlg(dwIntl()->UserMessages().dwDBGridDiscardChanges, mtConfirmation,
                                          {mbYes, mbNo}, 0) != mrYes)
        return;
    dataSet->Cancel();
}

void TdwCustomDBGrid::DoExit()
{
    // The focus going to the cell editor does not leave the grid.
    if (FFocusingEditor) {
        TCustomControl::DoExit();
        return;
    }
    // Only a new record that nothing was typed into is given up; typing still in the
    // editor goes into the field, where the next post takes it.
    TDataSet* dataSet = DataSetOrNull();
    const bool typed = EditorMode() && FEditor->TextChanged();
    if (FOptions.Contains(dgCancelOnExit) && dataSet && dataSet->State() == dsInsert &&
        !dataSet->Modified() && !typed)
        dataSet->Cancel();
    else
        UpdateData();
    DropEditor();
    TCustomControl::DoExit();
}
