// Cell hints of the data-aware grid: the whole text of a cell that is too narrow for it.

#include "datacontrols/common/dwfields.h"
#include "datacontrols/grid/wwdbigrd.h"
#include "platform/db/field.h"
#include "platform/vcl/hintwindow.h"

bool TdwCustomDBGrid::CellHintShowing() const { return FHintWindow && FHintWindow->Visible(); }

void TdwCustomDBGrid::HideCellHint()
{
    FHintCol = -1;
    FHintRow = -1;
    if (CellHintShowing())
        FHintWindow->ReleaseHandle();
}

void TdwCustomDBGrid::UpdateCellHint(int X, int Y)
{
    if (!FOptions.Contains(dgShowCellHint))
        return;
    int col = -1;
    int row = -1;
    if (!CellAt(X, Y, col, row))
        col = row = -1;
    if (col == FHintCol && row == FHintRow)
        return;
    HideCellHint();
    FHintCol = col;
    FHintRow = row;
    const int dataCol = col - FIndicatorCols;
    const int dataRow = row - FTitleRows;
    TField* field = GetFields(dataCol);
    if (!field || dataRow < 0 || dataRow >= FDataLink.RecordCount() || !FDataLink.Active() ||
        (EditorMode() && col == FCol && row == FRow))
        return;
    if (field->IsBlob() && field->DataType() != ftMemo)
        return;
    const int active = FDataLink.ActiveRecord();
    FDataLink.SetActiveRecord(dataRow);
    const String text = CellText(field);
    FDataLink.SetActiveRecord(active);

    const TRect cell = CellRect(col, row);
    Canvas()->SetFont(Font());
    const int textWidth = Canvas()->TextWidth(text);
    // The text starts 3 pixels in and keeps 2 from the right edge.
    if (textWidth <= cell.Right - cell.Left - 5)
        return;
    const bool rightAligned = dwIsNumericFieldType(field->DataType()) || field->DataType() == ftBCD;
    const int width = textWidth + 8;
    TRect hint = rightAligned ? Rect(cell.Right - width, cell.Top, cell.Right, cell.Bottom)
                              : Rect(cell.Left, cell.Top, cell.Left + width, cell.Bottom);
    const TPoint topLeft = ClientToScreen(Point(hint.Left, hint.Top));
    hint = Rect(topLeft.X, topLeft.Y, topLeft.X + width, topLeft.Y + (cell.Bottom - cell.Top));
    if (!FHintWindow) {
        FHintWindow = new THintWindow(this);
        FHintWindow->SetColor(clInfoBk);
        FHintWindow->Font()->Assign(Font());
        FHintWindow->Font()->SetColor(clInfoText);
    }
    FHintRect = hint;
    FHintWindow->ActivateHint(hint, text);
}
