// Painting of the data-aware grid: titles with their pictures, the indicator, data cells,
// grid lines with their 3-D edges, and the footer.

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "datacontrols/grid/wwdbigrd.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/frames.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/imagelist.h"

namespace {

enum TIndicatorGlyph { igArrow, igEdit, igInsert };
constexpr int GlyphWidth = 8;
constexpr int GlyphHeight = 10;

// The indicator's glyphs, black on white, made once for every grid.
TBitmap& IndicatorGlyph(TIndicatorGlyph Kind)
{
    static std::array<std::unique_ptr<TBitmap>, 3> glyphs;
    std::unique_ptr<TBitmap>& glyph = glyphs[Kind];
    if (glyph)
        return *glyph;
    glyph = std::make_unique<TBitmap>();
    glyph->SetSize(GlyphWidth, GlyphHeight);
    TCanvas* canvas = glyph->Canvas();
    canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetColor(clBlack);
    switch (Kind) {
    case igEdit:  // an I-beam
        canvas->MoveTo(1, 1);
        canvas->LineTo(6, 1);
        canvas->MoveTo(3, 1);
        canvas->LineTo(3, 9);
        canvas->MoveTo(1, 8);
        canvas->LineTo(6, 8);
        break;
    case igInsert:  // a star
        canvas->MoveTo(0, 5);
        canvas->LineTo(7, 5);
        canvas->MoveTo(3, 2);
        canvas->LineTo(3, 9);
        canvas->MoveTo(1, 3);
        canvas->LineTo(6, 8);
        canvas->MoveTo(5, 3);
        canvas->LineTo(0, 8);
        break;
    case igArrow: canvas->Polygon({Point(2, 1), Point(6, 5), Point(2, 9)}); break;
    }
    glyph->SetTransparent(true);  // white lets the cell show through
    return *glyph;
}

// The glyph with its white in Paper and its black in Ink.
std::unique_ptr<TBitmap> Recoloured(TBitmap& Glyph, TColor Paper, TColor Ink)
{
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(&Glyph);
    TCanvas* canvas = copy->Canvas();
    for (int y = 0; y < copy->Height(); ++y) {
        for (int x = 0; x < copy->Width(); ++x)
            canvas->SetPixel(x, y, canvas->Pixels(x, y) == clWhite ? Paper : Ink);
    }
    return copy;
}

// One line from (X1, Y1) to (X2, Y2), both ends included.
void Line(TCanvas* Canvas, TColor Color, int X1, int Y1, int X2, int Y2)
{
    Canvas->Pen()->SetColor(Color);
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2 + (X2 > X1 ? 1 : 0), Y2 + (Y2 > Y1 ? 1 : 0));
}

}  // namespace

unsigned TdwCustomDBGrid::CellTextFlags(TAlignment Alignment)
{
    switch (Alignment) {
    case taRightJustify: return DT_RIGHT | DT_NOPREFIX | DT_EXPANDTABS;
    case taCenter: return DT_CENTER | DT_NOPREFIX | DT_EXPANDTABS;
    default: return DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS;
    }
}

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
        return TRect {};
    const int left = ColumnLeft(ACol);
    if (left < 0 || left >= CellsWidth())
        return TRect {};
    int top = 0;
    int height = FTitleHeight;
    if (ARow >= FTitleRows) {
        top = DataRowsTop() + (ARow - FTitleRows) * RowPitch();
        height = FDefaultRowHeight;
    }
    if (top >= ClientHeight())
        return TRect {};
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
    TCanvas* canvas = GetPaintCanvas();
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
    DrawFooter(canvas);
    DrawVertScrollBar(canvas);
    DrawHorzScrollBar(canvas);
    if (FOptions.Contains(dgAlwaysShowEditor) && Focused())
        ShowEditor();
}

void TdwCustomDBGrid::DrawCell(TCanvas* Canvas, int ACol, int ARow, const TRect& R)
{
    Canvas->Font()->Assign(Font());
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Brush()->SetStyle(bsSolid);
    const int dataCol = ACol - FIndicatorCols;
    const int dataRow = ARow - FTitleRows;
    bool highlighted = false;
    if (ARow < FTitleRows) {
        if (dataCol < 0) {
            Canvas->Brush()->SetColor(FTitleColor);
            Canvas->FillRect(R);
        } else {
            DrawTitleCell(Canvas, dataCol, R);
        }
    } else if (dataCol < 0) {
        DrawIndicatorCell(Canvas, dataRow, R);
    } else {
        highlighted = DrawDataCell(Canvas, dataCol, dataRow, R);
    }
    DrawGridLines(Canvas, R, ARow < FTitleRows || dataCol < FFixedCols);
    DrawEdges(Canvas, ACol, ARow, R, highlighted);
}

void TdwCustomDBGrid::DrawTitleCell(TCanvas* Canvas, int DataCol, const TRect& R)
{
    TField* field = GetFields(DataCol);
    Canvas->Font()->Assign(FTitleFont.get());
    Canvas->Brush()->SetColor(FTitleColor);
    TAlignment alignment = FTitleAlignment;
    DoCalcTitleAttributes(field ? field->FieldName() : String(), Canvas->Font(), Canvas->Brush(), alignment);
    Canvas->FillRect(R);
    const bool pressed = FTitleButtons && TitleButtonDown(DataCol);
    const int offset = pressed ? 1 : 0;
    TRect text = R;
    bool showText = true;
    DrawTitleImage(Canvas, field, pressed, text, showText);
    bool defaultDrawing = true;
    DoDrawTitleCell(Canvas, field, R, defaultDrawing);
    if (defaultDrawing && showText) {
        String title = TitleText(DataCol);
        const int lines =
                FTitleLines == 1 ? 1 : static_cast<int>(std::count(title.begin(), title.end(), '~')) + 1;
        std::replace(title.begin(), title.end(), '~', '\n');
        const int blockHeight = Canvas->TextHeight("W") * lines;
        text.Left += 3 + offset;
        text.Right -= 2;
        text.Top =
                R.Top + std::max(0, static_cast<int>(std::lround((R.Height() - blockHeight) / 2.0))) + offset;
        unsigned flags = CellTextFlags(alignment) | DT_END_ELLIPSIS;
        if (!FUseTFields)
            flags &= ~DT_NOPREFIX;  // a Selected title may mark an accelerator with "&"
        Canvas->Brush()->SetStyle(bsClear);
        Canvas->DrawText(title, text, flags);
        Canvas->Brush()->SetStyle(bsSolid);
    }
    if (FTitleButtons) {
        TRect edge = R;
        DrawEdge(*Canvas, edge, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
}

// The title's picture at its end of R (or alone), with R narrowed to what the text keeps.
void TdwCustomDBGrid::DrawTitleImage(TCanvas* Canvas, TField* Field, bool Pressed, TRect& R, bool& ShowText)
{
    TdwTitleImageAttributes attributes;
    DoCalcTitleImage(Field, attributes);
    if (attributes.ImageIndex < 0 || !FTitleImageList)
        return;
    const int width = FTitleImageList->Width();
    const int offset = Pressed ? 1 : 0;
    const int y = (R.Top + R.Bottom - FTitleImageList->Height()) / 2 + offset;
    int x = 0;
    switch (attributes.ImagePosition) {
    case 0:
        x = R.Left + attributes.Margin;
        R.Left = x + width;
        break;
    case 2:
        x = (R.Left + R.Right - width) / 2;
        ShowText = false;
        break;
    default:
        x = R.Right - attributes.Margin - width;
        R.Right = x;
        break;
    }
    FTitleImageList->Draw(Canvas, x + offset, y, attributes.ImageIndex);
}

void TdwCustomDBGrid::DrawIndicatorCell(TCanvas* Canvas, int DataRow, const TRect& R)
{
    Canvas->Brush()->SetColor(FTitleColor);
    Canvas->FillRect(R);
    TDataSet* dataSet = DataSetOrNull();
    if (!FDataLink.Active() || !dataSet || DataRow != FDataLink.ActiveRecord() ||
        FDataLink.RecordCount() == 0)
        return;
    TBitmap& glyph = IndicatorGlyph(dataSet->State() == dsEdit     ? igEdit
                                    : dataSet->State() == dsInsert ? igInsert
                                                                   : igArrow);
    const int x = (R.Left + R.Right - GlyphWidth) / 2 + 1;
    const int y = (R.Top + R.Bottom - GlyphHeight) / 2;
    if (FIndicatorColor == icYellow) {
        std::unique_ptr<TBitmap> yellow = Recoloured(glyph, Canvas->Brush()->Color(), clYellow);
        Canvas->Draw(x, y, yellow.get());
        return;
    }
    Canvas->Draw(x, y, &glyph);
}

bool TdwCustomDBGrid::DrawDataCell(TCanvas* Canvas, int DataCol, int DataRow, const TRect& R)
{
    TField* field = GetFields(DataCol);
    const bool hasRecord = FDataLink.Active() && DataRow < FDataLink.RecordCount() && field;
    if (!hasRecord) {
        Canvas->Brush()->SetColor(ColumnColor(DataCol));
        Canvas->FillRect(R);
        return false;
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
        if (!PaintCustomCell(Canvas, DataCol, DataRow, R, highlight) && FDefaultDrawing) {
            Canvas->FillRect(R);
            const int topMargin = FOptions.Contains(dgRowLines) ? 2 : 1;
            TRect text = Rect(R.Left + 3, R.Top + topMargin, R.Right - 2, R.Bottom);
            const String value = CellText(field);
            unsigned flags = CellTextFlags(field->Alignment());
            if (Canvas->TextWidth(value) <= text.Width())
                flags |= DT_SINGLELINE;
            else if (FOptions.Contains(dgTrailingEllipsis))
                flags |= DT_SINGLELINE | DT_END_ELLIPSIS;
            else if (FOptions.Contains(dgWordWrap))
                flags |= DT_WORDBREAK;
            Canvas->Brush()->SetStyle(bsClear);
            Canvas->DrawText(value, text, flags);
            Canvas->Brush()->SetStyle(bsSolid);
        }
        if (OnDrawDataCell)
            OnDrawDataCell(this, R, field, state);
    } catch (...) {
        FPaintingRow = -1;
        FDataLink.SetActiveRecord(active);
        throw;
    }
    const bool highlighted = highlight && Canvas->Brush()->Color() == clHighlight;
    FPaintingRow = -1;
    FDataLink.SetActiveRecord(active);
    return highlighted;
}

// The lines between the cells, right of and below R.
void TdwCustomDBGrid::DrawGridLines(TCanvas* Canvas, const TRect& R, bool Fixed)
{
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
}

// Raised 3-D edges inside fixed cells, and inside the data cells of a white grid that are
// not in the highlight colour: the sides along the column lines with dgColLines, those
// along the row lines with dgRowLines.
void TdwCustomDBGrid::DrawEdges(TCanvas* Canvas, int ACol, int ARow, const TRect& R, bool Highlighted)
{
    if (!FDefaultDrawing || R.Width() <= 0 || R.Height() <= 0)
        return;
    const int dataCol = ACol - FIndicatorCols;
    const bool title = ARow < FTitleRows;
    const bool fixed = title || dataCol < FFixedCols;
    const bool white = Color() == clWhite;
    const bool colLines = FOptions.Contains(dgColLines);
    const bool rowLines = FOptions.Contains(dgRowLines);
    const int right = R.Right - 1;
    const int bottom = R.Bottom - 1;
    if (title && dataCol < 0 && FIndicatorButton) {
        TRect corner = R;
        Frame3D(*Canvas, corner, clBtnHighlight, clBtnShadow, 1);
    } else if (title && dataCol >= 0 && FTitleButtons && TitleButtonDown(dataCol)) {
        Line(Canvas, clBlack, R.Left, bottom, right, bottom);
    } else if (fixed || (white && !Highlighted)) {
        if (colLines) {
            Line(Canvas, clBtnHighlight, R.Left, R.Top, R.Left, bottom);
            Line(Canvas, clBtnShadow, right, R.Top, right, bottom);
        }
        if (rowLines) {
            Line(Canvas, clBtnHighlight, R.Left, R.Top, right, R.Top);
            Line(Canvas, clBtnShadow, R.Left, bottom, right, bottom);
        }
    }
    if (title && white && !rowLines)
        Line(Canvas, clBlack, R.Left, bottom, right, bottom);
}
