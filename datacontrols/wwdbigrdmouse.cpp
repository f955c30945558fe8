// The mouse on the data-aware grid: picking a cell, title buttons, and sizing and
// moving columns by their titles.

#include <algorithm>

#include "datacontrols/wwdbigrd.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"

namespace {

// A press this close to a title's right edge sizes the column.
constexpr int SizingMargin = 3;

}  // namespace

bool TdwCustomDBGrid::CellAt(int X, int Y, int& ACol, int& ARow) const
{
    for (int r = 0; r < FTitleRows + VisibleRowCount(); ++r) {
        for (int c = 0; c < ColCount(); ++c) {
            const TRect cell = CellRect(c, r);
            if (cell.Right > cell.Left && X >= cell.Left && X <= cell.Right && Y >= cell.Top && Y <= cell.Bottom) {
                ACol = c;
                ARow = r;
                return true;
            }
        }
    }
    return false;
}

void TdwCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    HideCellHint();
    if (CanFocus() && !Focused())
        SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
    FMouseMode = mmNone;
    TDataSet* dataSet = DataSetOrNull();
    if (Button == mbLeft && FDataLink.Active() && dataSet && X >= CellsWidth()) {
        VertScrollBarClick(Y);
        return;
    }
    int col = 0;
    int row = 0;
    if (Button != mbLeft || !FDataLink.Active() || !dataSet || !CellAt(X, Y, col, row))
        return;
    const int dataCol = col - FIndicatorCols;
    if (row < FTitleRows) {
        if (dataCol < 0)
            return;
        const TRect cell = CellRect(col, row);
        FMouseCol = dataCol;
        FMouseStartX = X;
        FTitleDragged = false;
        if (FOptions.Contains(dgColumnResize) && X >= cell.Right - SizingMargin)
            FMouseMode = mmSizing;
        else
            FMouseMode = mmTitle;
        return;
    }
    if (!FOptions.Contains(dgRowSelect) && dataCol >= 0)
        MoveCol(dataCol, false);
    const int dataRow = row - FTitleRows;
    if (dataRow < FDataLink.RecordCount())
        dataSet->MoveBy(dataRow - FDataLink.ActiveRecord());
}

void TdwCustomDBGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (FMouseMode == mmSizing) {
        const int col = FMouseCol + FIndicatorCols;
        FColWidths[static_cast<size_t>(col)] = std::max(1, X - ColumnLeft(col));
        Invalidate();
    } else if (FMouseMode == mmTitle && std::abs(X - FMouseStartX) > 2) {
        FTitleDragged = FOptions.Contains(dgColumnResize) && FMouseCol >= FFixedCols;
    } else if (FMouseMode == mmNone) {
        UpdateCellHint(X, Y);
    }
}

void TdwCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    const TMouseMode mode = FMouseMode;
    FMouseMode = mmNone;
    if (mode == mmSizing) {
        SetColumnWidth(FMouseCol, ColWidths(FMouseCol + FIndicatorCols));
        if (OnColWidthChanged)
            OnColWidthChanged(this, FMouseCol);
        return;
    }
    if (mode != mmTitle)
        return;
    int col = 0;
    int row = 0;
    const bool inCell = CellAt(X, Y, col, row);
    const int target = col - FIndicatorCols;
    if (FTitleDragged) {
        if (inCell && target >= FFixedCols && target != FMouseCol)
            MoveColumn(FMouseCol, target);
        return;
    }
    TField* field = GetFields(FMouseCol);
    if (FTitleButtons && inCell && row < FTitleRows && target == FMouseCol && field)
        DoTitleButtonClick(field->FieldName());
}

void TdwCustomDBGrid::SetColumnWidth(int DataCol, int Width)
{
    TField* field = GetFields(DataCol);
    if (!field)
        return;
    Canvas()->SetFont(Font());
    const int charWidth = std::max(1, Canvas()->TextWidth("0"));
    const int chars = (Width - 4 + std::max(0, charWidth / 2 - 3)) / charWidth;
    if (FUseTFields) {
        field->SetDisplayWidth(chars);
    } else if (DataCol < FSelected.Count()) {
        const std::vector<String> parts = LineTokens(FSelected.Strings(DataCol));
        String line = parts[0] + "\t" + IntToStr(chars) + "\t" + (parts.size() > 2 ? parts[2] : String());
        if (parts.size() > 3)
            line += "\t" + parts[3];
        FSelected.Put(DataCol, line);
    }
    LayoutChanged();
}

void TdwCustomDBGrid::MoveColumn(int FromIndex, int ToIndex)
{
    const int count = GetFieldCount();
    if (FromIndex < 0 || ToIndex < 0 || FromIndex >= count || ToIndex >= count || FromIndex == ToIndex)
        return;
    if (FUseTFields) {
        TField* moved = GetFields(FromIndex);
        TField* target = GetFields(ToIndex);
        moved->SetIndex(target->Index());
    } else {
        const String line = FSelected.Strings(FromIndex);
        FSelected.Delete(FromIndex);
        FSelected.Insert(ToIndex, line);
        LayoutChanged();
    }
    if (OnColumnMoved)
        OnColumnMoved(this, FromIndex, ToIndex);
}
