// The grid's footer row: one cell a column under the rows, with texts that the program
// sets in OnUpdateFooter whenever the current record changes.

#include <algorithm>

#include "datacontrols/grid/wwdbigrd.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/frames.h"

void TdwColumn::SetFooterValue(const String& Value)
{
    if (FFooterValue == Value)
        return;
    FFooterValue = Value;
    if (FGrid && FGrid->Options().Contains(dgShowFooter))
        FGrid->Invalidate();
}

void TdwCustomDBGrid::SetFooterHeight(int Value)
{
    Value = std::max(0, Value);
    if (FFooterHeight == Value)
        return;
    FFooterHeight = Value;
    LayoutChanged();
}

void TdwCustomDBGrid::SetFooterColor(TColor Value)
{
    if (FFooterColor == Value)
        return;
    FFooterColor = Value;
    LayoutChanged();
}

void TdwCustomDBGrid::SetFooterCellColor(TColor Value)
{
    if (FFooterCellColor == Value)
        return;
    FFooterCellColor = Value;
    LayoutChanged();
}

int TdwCustomDBGrid::FooterTotalHeight() const
{
    if (!FOptions.Contains(dgShowFooter))
        return 0;
    const int height = FFooterHeight > 0 ? FFooterHeight : FDefaultRowHeight + 4;
    return height + (FOptions.Contains(dgFooter3DCells) ? 2 : 0);
}

int TdwCustomDBGrid::ClientHeight() const
{
    const TRect bar = HorzScrollBarRect();
    return std::max(0, TCustomControl::ClientHeight() - FooterTotalHeight() - (bar.Bottom - bar.Top));
}

TRect TdwCustomDBGrid::FooterRect() const
{
    const int height = FooterTotalHeight();
    if (height == 0)
        return TRect {};
    const int top = ClientHeight();
    return Rect(0, top, ClientWidth(), top + height);
}

void TdwCustomDBGrid::DrawFooter(TCanvas* Canvas)
{
    const TRect footer = FooterRect();
    if (footer.Bottom <= footer.Top)
        return;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FFooterColor);
    Canvas->FillRect(footer);
    const int fixed = FIndicatorCols + FFixedCols;
    for (int col = FIndicatorCols; col < ColCount(); ++col) {
        if (col >= fixed && col < FLeftCol)
            continue;
        const int left = ColumnLeft(col);
        if (left < 0 || left >= CellsWidth())
            break;
        const int right = std::min(left + ColWidths(col), CellsWidth());
        DrawFooterCell(Canvas, col - FIndicatorCols, Rect(left, footer.Top + 2, right, footer.Bottom - 2));
    }
}

void TdwCustomDBGrid::DrawFooterCell(TCanvas* Canvas, int DataCol, const TRect& R)
{
    TField* field = GetFields(DataCol);
    const String text = GetColumn(DataCol)->FooterValue();
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FFooterCellColor);
    Canvas->Font()->Assign(Font());
    bool defaultDrawing = true;
    DoDrawFooterCell(Canvas, R, field, text, defaultDrawing);
    if (!defaultDrawing || text.empty())
        return;
    Canvas->FillRect(R);
    if (FOptions.Contains(dgFooter3DCells)) {
        // Sunken: a black ring outside, the highlight and the face inside.
        TRect ring = R;
        Frame3D(*Canvas, ring, clBlack, clBtnHighlight, 1);
        Frame3D(*Canvas, ring, clBtnFace, clBtnHighlight, 1);
    } else {
        Canvas->Pen()->SetColor(clBtnHighlight);
        Canvas->MoveTo(R.Right - 1, R.Top);
        Canvas->LineTo(R.Right - 1, R.Bottom - 1);
        Canvas->LineTo(R.Left - 1, R.Bottom - 1);
    }
    const int lineHeight = Canvas->TextHeight("A");
    const int top = R.Top + std::max(0, (R.Height() - lineHeight) / 2);
    TRect textRect = Rect(R.Left + 5, top, R.Left + ColWidths(DataCol + FIndicatorCols) - 9, R.Bottom);
    const TAlignment alignment = field ? field->Alignment() : taLeftJustify;
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->DrawText(text, textRect, CellTextFlags(alignment) | DT_WORDBREAK);
    Canvas->Brush()->SetStyle(bsSolid);
}

void TdwCustomDBGrid::DoDrawFooterCell(TCanvas* Canvas, const TRect& FooterCellRect, TField* Field,
                                       const String& FooterText, bool& DefaultDrawing)
{
    if (OnDrawFooterCell)
        OnDrawFooterCell(this, Canvas, FooterCellRect, Field, FooterText, DefaultDrawing);
}

void TdwCustomDBGrid::DoUpdateFooter()
{
    if (OnUpdateFooter)
        OnUpdateFooter(this);
}

void TdwCustomDBGrid::UpdateFooterOnRecordChange()
{
    TDataSet* dataSet = DataSetOrNull();
    if (!FDataLink.Active() || !dataSet)
        return;
    const TBookmark current = dataSet->IsEmpty() ? TBookmark() : dataSet->GetBookmark();
    if (FHaveFooterRecord && current == FFooterRecord && !FRecordChanged)
        return;
    FFooterRecord = current;
    FHaveFooterRecord = true;
    FRecordChanged = false;
    DoUpdateFooter();
    if (FOptions.Contains(dgShowFooter))
        Invalidate();
}
