// Painting of the data-aware grid: titles, indicator, data cells and grid lines.

#include <algorithm>

#include "datacontrols/dwfields.h"
#include "datacontrols/wwdbigrd.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"

namespace {

unsigned AlignmentFlags(TAlignment Alignment)
{
    switch (Alignment) {
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        return DT_CENTER;
    default:
        return DT_LEFT;
    }
}

bool IsRightAligned(const TField* Field)
{
    return dwIsNumericFieldType(Field->DataType()) || Field->DataType() == ftBCD;
}

String Replaced(String Text, char From, char To)
{
    std::replace(Text.begin(), Text.end(), From, To);
    return Text;
}

}  // namespace

int TdwCustomDBGrid::ColumnLeft(int Col) const
{
    const int lineWidth = FOptions.Contains(dgColLines) ? 1 : 0;
    const int fixed = FIndicatorCols + FFixedCols;
    int x = 0;
    for (int c = 0; c < std::min(Col, fixed); ++c)
        x += ColWidths(c) + lineWidth;
    if (Col < fixed)
        return x;
    if (Col < FLeftCol)
        return -1;
    for (int c = FLeftCol; c < Col; ++c)
        x += ColWidths(c) + lineWidth;
    return x;
}

TRect TdwCustomDBGrid::CellRect(int ACol, int ARow) const
{
    if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= FRowCount)
        return TRect{};
    const int left = ColumnLeft(ACol);
    if (left < 0 || left >= CellsWidth())
        return TRect{};
    const int titlePitch = FTitleRows ? FTitleHeight + (FOptions.Contains(dgRowLines) ? 1 : 0) : 0;
    int top = 0;
    int height = FTitleHeight;
    if (ARow >= FTitleRows) {
        top = titlePitch + (ARow - FTitleRows) * RowPitch();
        height = FDefaultRowHeight;
    }
    if (top >= ClientHeight())
        return TRect{};
    return Rect(left, top, left + ColWidths(ACol), top + height);
}

void TdwCustomDBGrid::ScrollColumnIntoView()
{
    const int fixed = FIndicatorCols + FFixedCols;
    if (FCol < fixed)
        return;
    if (FCol < FLeftCol)
        FLeftCol = FCol;
    const int lineWidth = FOptions.Contains(dgColLines) ? 1 : 0;
    // Scroll right until the current column's right edge is in view (or it is the first scrolling one).
    while (FLeftCol < FCol) {
        const int left = ColumnLeft(FCol);
        if (left >= 0 && left + ColWidths(FCol) + lineWidth <= CellsWidth())
            break;
        ++FLeftCol;
    }
}

void TdwCustomDBGrid::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    const int rows = FTitleRows + std::max(0, std::min(VisibleRowCount(), FRowCount - FTitleRows));
    const int fixed = FIndicatorCols + FFixedCols;
    std::vector<int> cols;
    for (int c = 0; c < std::min(fixed, ColCount()); ++c)
        cols.push_back(c);
    for (int c = std::max(FLeftCol, fixed); c < ColCount(); ++c) {
        if (ColumnLeft(c) >= CellsWidth())
            break;
        cols.push_back(c);
    }
    for (int r = 0; r < rows; ++r) {
        for (int c : cols) {
            const TRect cell = CellRect(c, r);
            if (cell.Right > cell.Left)
                DrawCell(canvas, c, r, cell);
        }
    }
    DrawVertScrollBar(canvas);
}

void TdwCustomDBGrid::DrawCell(TCanvas* Canvas, int ACol, int ARow, const TRect& R)
{
    Canvas->Font()->Assign(Font());
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Brush()->SetStyle(bsSolid);
    const int dataCol = ACol - FIndicatorCols;
    const int dataRow = ARow - FTitleRows;
    if (ARow < FTitleRows) {
        if (dataCol < 0) {
            Canvas->Brush()->SetColor(FTitleColor);
            Canvas->FillRect(R);
        } else {
            DrawTitleCell(Canvas, dataCol, R);
        }
        DrawEdges(Canvas, R, true);
    } else if (dataCol < 0) {
        DrawIndicatorCell(Canvas, dataRow, R);
        DrawEdges(Canvas, R, true);
    } else {
        DrawDataCell(Canvas, dataCol, dataRow, R);
        DrawEdges(Canvas, R, dataCol < FFixedCols);
    }
}

void TdwCustomDBGrid::DrawTitleCell(TCanvas* Canvas, int DataCol, const TRect& R)
{
    TField* field = GetFields(DataCol);
    Canvas->Font()->Assign(FTitleFont.get());
    Canvas->Brush()->SetColor(FTitleColor);
    TAlignment alignment = FTitleAlignment;
    DoCalcTitleAttributes(field ? field->FieldName() : String(), Canvas->Font(), Canvas->Brush(), alignment);
    Canvas->FillRect(R);
    const String title = TitleText(DataCol);
    const int lines = FTitleLines == 1 ? 1 : static_cast<int>(std::count(title.begin(), title.end(), '~')) + 1;
    const int textHeight = Canvas->TextHeight("W");
    const int top = R.Top + std::max(0, (R.Bottom - R.Top) / 2 - (textHeight * lines + 1) / 2);
    TRect text = Rect(R.Left + 3, top, R.Right - 2, R.Bottom);
    unsigned flags = AlignmentFlags(alignment) | DT_EXPANDTABS | DT_END_ELLIPSIS;
    if (FUseTFields)
        flags |= DT_NOPREFIX;
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->DrawText(FTitleLines == 1 ? Replaced(title, '~', ' ') : Replaced(title, '~', '\n'), text, flags);
    Canvas->Brush()->SetStyle(bsSolid);
}

void TdwCustomDBGrid::DrawIndicatorCell(TCanvas* Canvas, int DataRow, const TRect& R)
{
    Canvas->Brush()->SetColor(FTitleColor);
    Canvas->FillRect(R);
    TDataSet* dataSet = DataSetOrNull();
    if (!FDataLink.Active() || !dataSet || DataRow != FDataLink.ActiveRecord() || FDataLink.RecordCount() == 0)
        return;
    const int cx = (R.Left + R.Right) / 2 + 1;
    const int cy = (R.Top + R.Bottom) / 2;
    const TColor ink = FIndicatorColor == icYellow ? clYellow : clBlack;
    Canvas->Pen()->SetColor(ink);
    Canvas->Brush()->SetColor(ink);
    switch (dataSet->State()) {
    case dsEdit:  // an I-beam
        Canvas->MoveTo(cx - 2, cy - 4);
        Canvas->LineTo(cx + 3, cy - 4);
        Canvas->MoveTo(cx, cy - 4);
        Canvas->LineTo(cx, cy + 5);
        Canvas->MoveTo(cx - 2, cy + 4);
        Canvas->LineTo(cx + 3, cy + 4);
        break;
    case dsInsert:  // a star
        Canvas->MoveTo(cx - 3, cy);
        Canvas->LineTo(cx + 4, cy);
        Canvas->MoveTo(cx, cy - 3);
        Canvas->LineTo(cx, cy + 4);
        Canvas->MoveTo(cx - 2, cy - 2);
        Canvas->LineTo(cx + 3, cy + 3);
        Canvas->MoveTo(cx + 2, cy - 2);
        Canvas->LineTo(cx - 3, cy + 3);
        break;
    default:  // the arrow
        Canvas->Polygon({Point(cx - 2, cy - 4), Point(cx + 2, cy), Point(cx - 2, cy + 4)});
        break;
    }
}

void TdwCustomDBGrid::DrawDataCell(TCanvas* Canvas, int DataCol, int DataRow, const TRect& R)
{
    TField* field = GetFields(DataCol);
    const bool hasRecord = FDataLink.Active() && DataRow < FDataLink.RecordCount() && field;
    if (!hasRecord) {
        Canvas->Brush()->SetColor(ColumnColor(DataCol));
        Canvas->FillRect(R);
        return;
    }
    const int active = FDataLink.ActiveRecord();
    FDataLink.SetActiveRecord(DataRow);
    FPaintingRow = DataRow;
    TGridDrawState state;
    if (DataRow == FRow - FTitleRows && (DataCol == SelectedIndex() || FOptions.Contains(dgRowSelect)))
        state.Include(gdSelected);
    if (Focused() && DataCol == SelectedIndex() && DataRow == FRow - FTitleRows)
        state.Include(gdFocused);
    if (DataCol < FFixedCols)
        state.Include(gdFixed);
    const bool highlight = HighlightCell(DataCol, DataRow, state);
    Canvas->Brush()->SetColor(ColumnColor(DataCol));
    if (highlight) {
        Canvas->Brush()->SetColor(clHighlight);
        Canvas->Font()->SetColor(clHighlightText);
    }
    try {
        DoCalcCellColors(field, state, highlight, Canvas->Font(), Canvas->Brush());
        if (FDefaultDrawing) {
            Canvas->FillRect(R);
            const int topMargin = FOptions.Contains(dgRowLines) ? 2 : 1;
            TRect text = Rect(R.Left + 3, R.Top + topMargin, R.Right - 2, R.Bottom);
            unsigned flags = AlignmentFlags(IsRightAligned(field) ? taRightJustify : taLeftJustify) | DT_NOPREFIX |
                             DT_EXPANDTABS | DT_SINGLELINE;
            if (FOptions.Contains(dgTrailingEllipsis))
                flags |= DT_END_ELLIPSIS;
            Canvas->Brush()->SetStyle(bsClear);
            Canvas->DrawText(CellText(field), text, flags);
            Canvas->Brush()->SetStyle(bsSolid);
        }
        if (OnDrawDataCell)
            OnDrawDataCell(this, R, field, state);
    } catch (...) {
        FPaintingRow = -1;
        FDataLink.SetActiveRecord(active);
        throw;
    }
    FPaintingRow = -1;
    FDataLink.SetActiveRecord(active);
}

// Lines between the cells, with raised 3-D edges on fixed cells.
void TdwCustomDBGrid::DrawEdges(TCanvas* Canvas, const TRect& R, bool Fixed)
{
    if (!FDefaultDrawing)
        return;
    const bool colLines = FOptions.Contains(dgColLines);
    const bool rowLines = FOptions.Contains(dgRowLines);
    Canvas->Pen()->SetColor(Fixed ? clBlack : clSilver);
    if (colLines) {
        Canvas->MoveTo(R.Right, R.Top);
        Canvas->LineTo(R.Right, R.Bottom + (rowLines ? 1 : 0));
    }
    if (rowLines) {
        Canvas->MoveTo(R.Left, R.Bottom);
        Canvas->LineTo(R.Right + (colLines ? 1 : 0), R.Bottom);
    }
    if (!Fixed)
        return;
    Canvas->Pen()->SetColor(clBtnHighlight);
    Canvas->MoveTo(R.Left, R.Bottom - 1);
    Canvas->LineTo(R.Left, R.Top);
    Canvas->LineTo(R.Right, R.Top);
    Canvas->Pen()->SetColor(clBtnShadow);
    Canvas->MoveTo(R.Right - 1, R.Top + 1);
    Canvas->LineTo(R.Right - 1, R.Bottom - 1);
    Canvas->LineTo(R.Left, R.Bottom - 1);
}
