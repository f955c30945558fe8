// The mouse on the data-aware grid: picking a cell, title buttons, and sizing and
// moving columns by their titles.

#include <algorithm>

#include "datacontrols/grid/wwdbigrd.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/image.h"
#include "platform/vcl/controls/shape.h"
#include "platform/vcl/forms/timer.h"
#include "platform/vcl/graphics/bitmap.h"

namespace {

// A press this close to a title's right edge sizes the column.
constexpr int SizingMargin = 3;
// A title moved further than this sideways is being dragged, not clicked.
constexpr int DragThreshold = 2;
// How often the columns scroll while a dragged title is past the grid's edge.
constexpr unsigned DragScrollInterval = 100;
constexpr int DragMarkerWidth = 2;
// How often the records move while the mouse selects beyond the rows.
constexpr unsigned SelectScrollInterval = 60;

}  // namespace

bool TdwCustomDBGrid::CellAt(int X, int Y, int& ACol, int& ARow) const
{
    for (int r = 0; r < FTitleRows + VisibleRowCount(); ++r) {
        for (int c = 0; c < ColCount(); ++c) {
            const TRect cell = CellRect(c, r);
            if (cell.Right > cell.Left && X >= cell.Left && X <= cell.Right && Y >= cell.Top &&
                Y <= cell.Bottom) {
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
    HideHintWindow();
    if (CanFocus() && !Focused())
        SetFocus();
    TCustomControl::MouseDown(Button, Shift, X, Y);
    // A drag whose release went elsewhere (the mouse was taken away) ends here.
    EndTitleDrag();
    EndSelecting();
    SetMouseCapture(false);
    FMouseMode = mmNone;
    TDataSet* dataSet = DataSetOrNull();
    if (Button == mbLeft && HorzScrollBarRect().Contains(Point(X, Y))) {
        HorzScrollBarClick(X);
        return;
    }
    if (Button == mbLeft && FDataLink.Active() && dataSet && X >= CellsWidth() && Y < ClientHeight()) {
        VertScrollBarClick(Y);
        return;
    }
    int col = 0;
    int row = 0;
    if (Button != mbLeft || !FDataLink.Active() || !dataSet || !CellAt(X, Y, col, row))
        return;
    const int dataCol = col - FIndicatorCols;
    if (row < FTitleRows) {
        // A double click on a title is no second press of its button.
        if (dataCol < 0 || Shift.Contains(ssDouble))
            return;
        const TRect cell = CellRect(col, row);
        FMouseCol = dataCol;
        FMouseStartX = X;
        FTitleDragged = false;
        if (FOptions.Contains(dgColumnResize) && X >= cell.Right - SizingMargin) {
            // The cell being edited keeps its text through the resize.
            UpdateData();
            FMouseMode = mmSizing;
            return;
        }
        FMouseMode = mmTitle;
        FTitleButtonDown = FTitleButtons;
        if (FTitleButtons)
            Invalidate();
        // The drag keeps the mouse until the button comes up, wherever it goes.
        if (FOptions.Contains(dgColumnResize) && dataCol >= FFixedCols)
            SetMouseCapture(true);
        return;
    }
    if (!FOptions.Contains(dgRowSelect) && dataCol >= 0)
        MoveCol(dataCol, false);
    const int dataRow = row - FTitleRows;
    if (dataRow < FDataLink.RecordCount())
        dataSet->MoveBy(dataRow - FDataLink.ActiveRecord());
    DataCellClicked(dataCol, dataRow, Shift);
    // Moving on with the button held moves the record with the mouse.
    if (!Shift.Contains(ssDouble) && FDataLink.Active()) {
        FMouseMode = mmSelecting;
        SetMouseCapture(true);
    }
}

void TdwCustomDBGrid::SelectingMoved(int X, int Y)
{
    TDataSet* dataSet = DataSetOrNull();
    if (!FDataLink.Active() || !dataSet)
        return;
    const int rowsTop = DataRowsTop();
    FSelectDirection = Y < rowsTop ? -1 : Y >= rowsTop + VisibleRowCount() * RowPitch() ? 1 : 0;
    if (FSelectDirection != 0) {
        SelectingScroll();
        if (!FSelectTimer) {
            FSelectTimer = new TTimer(this);
            FSelectTimer->SetInterval(SelectScrollInterval);
            FSelectTimer->OnTimer = [this](TObject*) { SelectingScroll(); };
        }
        return;
    }
    int col = 0;
    int row = 0;
    if (!CellAt(std::clamp(X, 0, CellsWidth() - 1), Y, col, row) || row < FTitleRows)
        return;
    if (!FOptions.Contains(dgRowSelect) && col >= FIndicatorCols)
        MoveCol(col - FIndicatorCols, false);
    const int dataRow = row - FTitleRows;
    if (dataRow < FDataLink.RecordCount() && dataRow != FDataLink.ActiveRecord())
        dataSet->MoveBy(dataRow - FDataLink.ActiveRecord());
}

void TdwCustomDBGrid::SelectingScroll()
{
    TDataSet* dataSet = DataSetOrNull();
    if (!FDataLink.Active() || !dataSet || FSelectDirection == 0)
        return;
    // Up to the record before the top row; down to the one after the bottom row.
    if (FSelectDirection < 0)
        dataSet->MoveBy(-(FDataLink.ActiveRecord() + 1));
    else
        dataSet->MoveBy(FDataLink.RecordCount() - FDataLink.ActiveRecord());
}

void TdwCustomDBGrid::EndSelecting()
{
    FSelectDirection = 0;
    if (FSelectTimer) {
        FSelectTimer->Free();
        FSelectTimer = nullptr;
    }
}

void TdwCustomDBGrid::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (FMouseMode == mmSizing) {
        const int col = FMouseCol + FIndicatorCols;
        FColWidths[static_cast<size_t>(col)] = std::max(1, X - ColumnLeft(col));
        Invalidate();
    } else if (FMouseMode == mmTitle) {
        if (!FTitleDragged && std::abs(X - FMouseStartX) > DragThreshold &&
            FOptions.Contains(dgColumnResize) && FMouseCol >= FFixedCols)
            StartTitleDrag();
        if (FTitleDragged)
            TitleDragMoved(X);
        const bool over = FTitleButtons && OverPressedTitle(X, Y);
        if (over != FTitleButtonDown) {
            FTitleButtonDown = over;
            Invalidate();
        }
    } else if (FMouseMode == mmThumb) {
        VertScrollThumbDragged(Y);
    } else if (FMouseMode == mmHorzThumb) {
        HorzScrollThumbDragged(X);
    } else if (FMouseMode == mmSelecting) {
        SelectingMoved(X, Y);
    } else if (FMouseMode == mmNone) {
        UpdateCellHint(X, Y);
    }
}

void TdwCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    // Every drag here is the left button's.
    if (Button != mbLeft)
        return;
    if (FMouseMode == mmThumb)
        VertScrollThumbReleased();
    const TMouseMode mode = FMouseMode;
    FMouseMode = mmNone;
    if (mode == mmSelecting) {
        EndSelecting();
        SetMouseCapture(false);
        return;
    }
    if (mode == mmSizing) {
        SetColumnWidth(FMouseCol, ColWidths(FMouseCol + FIndicatorCols));
        if (OnColWidthChanged)
            OnColWidthChanged(this, FMouseCol);
        return;
    }
    if (mode != mmTitle)
        return;
    SetMouseCapture(false);
    FTitleButtonDown = false;
    Invalidate();
    if (FTitleDragged) {
        EndTitleDrag();
        const int target = TitleDropColumn(X) - FIndicatorCols;
        if (target != FMouseCol)
            MoveColumn(FMouseCol, target);
        return;
    }
    TField* field = GetFields(FMouseCol);
    if (FTitleButtons && OverPressedTitle(X, Y) && field)
        DoTitleButtonClick(field->FieldName());
}

bool TdwCustomDBGrid::OverPressedTitle(int X, int Y) const
{
    int col = 0;
    int row = 0;
    return CellAt(X, Y, col, row) && row < FTitleRows && col - FIndicatorCols == FMouseCol;
}

int TdwCustomDBGrid::TitleDropColumn(int X) const
{
    const int lineWidth = FOptions.Contains(dgColLines) ? 1 : 0;
    const int first = std::max(FLeftCol, FIndicatorCols + FFixedCols);
    int col = first;
    for (int c = first; c < ColCount(); ++c) {
        const int left = ColumnLeft(c);
        if (left < 0 || left >= CellsWidth())
            break;
        col = c;
        if (X < left + ColWidths(c) + lineWidth)
            break;
    }
    return col;
}

void TdwCustomDBGrid::StartTitleDrag()
{
    FTitleDragged = true;
    const int col = FMouseCol + FIndicatorCols;
    const TRect cell = CellRect(col, 0);
    FDragGrabX = FMouseStartX - cell.Left;
    // The title as it looks now, grid lines included.
    TBitmap picture;
    picture.SetSize(cell.Width() + 1, cell.Height() + 1);
    DrawCell(picture.Canvas(), col, 0, Rect(0, 0, cell.Width(), cell.Height()));
    FDragPicture = new TImage(this);
    FDragPicture->Picture()->SetGraphic(&picture);
    FDragPicture->SetBounds(cell.Left, FDragVertOffset, picture.Width(), picture.Height());
    FDragPicture->SetParent(this);
    FDragMarker = new TShape(this);
    FDragMarker->Pen()->SetColor(clBlack);
    FDragMarker->Brush()->SetColor(clBlack);
    FDragMarker->SetVisible(false);
    FDragMarker->SetParent(this);
    FDragTimer = new TTimer(this);
    FDragTimer->SetInterval(DragScrollInterval);
    FDragTimer->OnTimer = [this](TObject*) { TitleDragScroll(); };
}

void TdwCustomDBGrid::TitleDragMoved(int X)
{
    FDragX = X;
    FDragPicture->SetLeft(X - FDragGrabX);
    const int target = TitleDropColumn(X);
    const int from = FMouseCol + FIndicatorCols;
    if (target == from) {
        FDragMarker->SetVisible(false);
        return;
    }
    // The border the column will sit against: the target's right one when moving right.
    const int border = target > from ? ColumnLeft(target) + ColWidths(target) : ColumnLeft(target);
    FDragMarker->SetBounds(border - DragMarkerWidth / 2, 0, DragMarkerWidth, ClientHeight());
    FDragMarker->SetVisible(true);
}

void TdwCustomDBGrid::TitleDragScroll()
{
    const TRect picture = FDragPicture->BoundsRect();
    const int firstScrolling = FIndicatorCols + FFixedCols;
    const int last = ColCount() - 1;
    const int oldLeft = FLeftCol;
    if (picture.Left < ColumnLeft(FLeftCol) && FLeftCol > firstScrolling)
        --FLeftCol;
    else if (picture.Right > CellsWidth() && FLeftCol < last &&
             ColumnLeft(last) + ColWidths(last) > CellsWidth())
        ++FLeftCol;
    if (FLeftCol == oldLeft)
        return;
    Invalidate();
    if (OnLeftColChanged)
        OnLeftColChanged(this, FLeftCol);
    TitleDragMoved(FDragX);
}

void TdwCustomDBGrid::EndTitleDrag()
{
    if (!FTitleDragged)
        return;
    FTitleDragged = false;
    FDragTimer->Free();
    FDragMarker->Free();
    FDragPicture->Free();
    FDragTimer = nullptr;
    FDragMarker = nullptr;
    FDragPicture = nullptr;
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
