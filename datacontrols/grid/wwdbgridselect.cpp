// Selecting several records of the grid: the list of their bookmarks, the clicks that
// build it, and the highlight of the rows that hold them.

#include <algorithm>

#include "datacontrols/grid/wwdbgrid.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"

int TdwDBGrid::SelectedIndexOf(const TBookmark& Bookmark)
{
    TDataSet* dataSet = DataLink()->DataSet();
    if (!dataSet || Bookmark.empty())
        return -1;
    for (size_t i = 0; i < FSelectedList.size(); ++i) {
        if (dataSet->CompareBookmarks(FSelectedList[i], Bookmark) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

bool TdwDBGrid::IsSelected()
{
    TDataSet* dataSet = DataLink()->DataSet();
    if (!DataLink()->Active() || !dataSet || dataSet->State() == dsEdit || dataSet->State() == dsInsert)
        return false;
    return SelectedIndexOf(dataSet->GetBookmark()) >= 0;
}

void TdwDBGrid::DoMultiSelectRecord(bool Selecting, bool& Accept)
{
    if (OnMultiSelectRecord)
        OnMultiSelectRecord(this, Selecting, Accept);
}

void TdwDBGrid::SelectRecord()
{
    TDataSet* dataSet = DataLink()->DataSet();
    if (!DataLink()->Active() || !dataSet)
        return;
    TBookmark bookmark = dataSet->GetBookmark();
    if (bookmark.empty() || SelectedIndexOf(bookmark) >= 0)
        return;
    bool accept = true;
    DoMultiSelectRecord(true, accept);
    if (!accept)
        return;
    FSelectedList.push_back(std::move(bookmark));
    Invalidate();
}

void TdwDBGrid::UnselectRecord()
{
    TDataSet* dataSet = DataLink()->DataSet();
    if (!DataLink()->Active() || !dataSet)
        return;
    const int index = SelectedIndexOf(dataSet->GetBookmark());
    if (index < 0)
        return;
    bool accept = true;
    DoMultiSelectRecord(false, accept);
    if (!accept)
        return;
    FSelectedList.erase(FSelectedList.begin() + index);
    Invalidate();
}

void TdwDBGrid::UnselectAll()
{
    FSelectedList.clear();
    Invalidate();
}

void TdwDBGrid::UnselectBookmark(const TBookmark& Bookmark)
{
    bool removed = false;
    for (int index = SelectedIndexOf(Bookmark); index >= 0;) {
        bool accept = true;
        DoMultiSelectRecord(false, accept);
        if (!accept)
            break;
        FSelectedList.erase(FSelectedList.begin() + index);
        removed = true;
        index = SelectedIndexOf(Bookmark);
    }
    if (removed)
        Invalidate();
}

void TdwDBGrid::RecordDeleted(const TBookmark& Bookmark)
{
    if (std::erase(FSelectedList, Bookmark) > 0)
        Invalidate();
}

void TdwDBGrid::RefreshRowFlags()
{
    TdwGridDataLink* link = DataLink();
    TDataSet* dataSet = link->DataSet();
    const int rows = link->Active() && dataSet ? link->RecordCount() : 0;
    FRowFlags.assign(static_cast<size_t>(rows), 0);
    if (FSelectedList.empty() || rows == 0)
        return;
    const int active = link->ActiveRecord();
    for (int row = 0; row < rows; ++row) {
        link->SetActiveRecord(row);
        FRowFlags[static_cast<size_t>(row)] = SelectedIndexOf(dataSet->GetBookmark()) >= 0;
    }
    link->SetActiveRecord(active);
}

bool TdwDBGrid::HighlightCell(int DataCol, int DataRow, TGridDrawState State)
{
    if (!Options().Contains(dgMultiSelect) || State.Contains(gdFixed))
        return TdwCustomDBGrid::HighlightCell(DataCol, DataRow, State);
    return DataRow >= 0 && DataRow < static_cast<int>(FRowFlags.size()) &&
           FRowFlags[static_cast<size_t>(DataRow)];
}

bool TdwDBGrid::IsSelectionCheckBox(TField* Field)
{
    return Field && Field->Calculated() && AnsiLowerCase(Field->FieldName()) == "selected" &&
           SameText(GetControlInfo(Field->FieldName()).TypeWord, "CheckBox");
}

void TdwDBGrid::DataCellClicked(int DataCol, int DataRow, TShiftState Shift)
{
    TDataSet* dataSet = DataLink()->DataSet();
    if (!Options().Contains(dgMultiSelect) || !dataSet || DataRow >= DataLink()->RecordCount() ||
        IsSelectionCheckBox(GetFields(DataCol)))
        return;
    const bool toggle = Shift.Contains(ssCtrl) || Shift.Contains(ssShift);
    const bool autoUnselect = MultiSelectOptions().Contains(msoAutoUnselect);
    if (toggle) {
        if (IsSelected())
            UnselectRecord();
        else
            SelectRecord();
    } else if (autoUnselect) {
        UnselectAll();
        SelectRecord();
    }
    if (!MultiSelectOptions().Contains(msoShiftSelect) || !(toggle || autoUnselect))
        return;
    const TBookmark previous = FAnchor;
    FAnchor = dataSet->GetBookmark();
    if (Shift.Contains(ssShift) && !previous.empty())
        SelectRange(previous);
}

// The records between the anchor and the current one are found by walking from the
// anchor, forwards when the current record lies that way, else backwards.
void TdwDBGrid::SelectRange(const TBookmark& Anchor)
{
    TDataSet* dataSet = DataLink()->DataSet();
    const TBookmark target = dataSet->GetBookmark();
    if (target.empty() || dataSet->CompareBookmarks(Anchor, target) == 0)
        return;
    const int row = DataLink()->ActiveRecord();
    const auto reached = [&] { return dataSet->CompareBookmarks(dataSet->GetBookmark(), target) == 0; };
    dataSet->DisableControls();
    try {
        dataSet->GotoBookmark(Anchor);
        bool forward = false;
        while (!forward && !dataSet->Eof()) {
            forward = reached();
            dataSet->Next();
        }
        dataSet->GotoBookmark(Anchor);
        while (!reached()) {
            if (SelectedIndexOf(dataSet->GetBookmark()) < 0) {
                bool accept = true;
                DoMultiSelectRecord(true, accept);
                if (accept)
                    FSelectedList.push_back(dataSet->GetBookmark());
            }
            if (forward)
                dataSet->Next();
            else
                dataSet->Prior();
            if (dataSet->Eof() || dataSet->Bof())
                break;
        }
        dataSet->GotoBookmark(target);
    } catch (...) {
        dataSet->EnableControls();
        throw;
    }
    dataSet->EnableControls();
    ShowCurrentAtRow(row);
    Invalidate();
}

// Moving past the edge of the rows shown scrolls them; moving back stays inside.
void TdwDBGrid::ShowCurrentAtRow(int Row)
{
    TdwGridDataLink* link = DataLink();
    TDataSet* dataSet = link->DataSet();
    const int shift = link->ActiveRecord() - Row;
    if (shift == 0)
        return;
    const int past = shift > 0 ? link->BufferCount() - 1 - link->ActiveRecord() + shift
                               : -(link->ActiveRecord() - shift);
    dataSet->MoveBy(-dataSet->MoveBy(past));
}
