// The grid's scroll bars: the vertical one, drawn at its right edge, shows where the
// current record lies and moves through the records when pressed or when its thumb is
// dragged; the horizontal one along the bottom edge scrolls the columns sideways. And
// the mouse wheel, a record a notch.

#include <algorithm>

#include "datacontrols/grid/wwdbigrd.h"
#include "platform/db/dataset.h"

namespace {

constexpr int BarWidth = 16;
// The places of the thumb of a data set that does not count its records: the first
// record, a page up, the middle, a page down, the last record.
constexpr int UncountedPlaces = 4;

// How far the thumb can travel between the arrows.
int ThumbTrack(const TRect& Bar) { return Bar.Bottom - Bar.Top - 3 * BarWidth; }

// The last place the thumb can stand for, its first being 0 (record 1 when counted).
int LastThumbPlace(TDataSet* DataSet)
{
    return DataSet->IsSequenced() ? std::max(1, DataSet->RecordCount() - 1) : UncountedPlaces;
}

// A notch of the wheel: the next record (Distance 1) or the one before (-1); false
// without records to move through.
bool WheelStep(TDataSet* DataSet, bool LinkActive, int Distance)
{
    if (!LinkActive || !DataSet)
        return false;
    DataSet->MoveBy(Distance);
    return true;
}

// A scroll bar in Bar: its edge towards the cells, an arrow at each end and the thumb.
// Drawn as a vertical bar; a horizontal one swaps the coordinates.
void DrawScrollBar(TCanvas* Canvas, const TRect& Bar, const TRect& Thumb, bool Horizontal)
{
    if (Bar.Right <= Bar.Left || Bar.Bottom <= Bar.Top)
        return;
    const auto at = [Horizontal](int Across, int Along) {
        return Horizontal ? Point(Along, Across) : Point(Across, Along);
    };
    const int start = Horizontal ? Bar.Left : Bar.Top;
    const int end = Horizontal ? Bar.Right : Bar.Bottom;
    const int side = Horizontal ? Bar.Top : Bar.Left;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(Bar);
    Canvas->Pen()->SetColor(clBtnShadow);
    const TPoint edgeFrom = at(side, start);
    const TPoint edgeTo = at(side, end);
    Canvas->MoveTo(edgeFrom.X, edgeFrom.Y);
    Canvas->LineTo(edgeTo.X, edgeTo.Y);
    const int middle = side + BarWidth / 2;
    const int first = start + BarWidth / 2;
    const int last = end - BarWidth / 2;
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Brush()->SetColor(clBlack);
    Canvas->Polygon({at(middle - 4, first + 2), at(middle + 4, first + 2), at(middle, first - 2)});
    Canvas->Polygon({at(middle - 4, last - 2), at(middle + 4, last - 2), at(middle, last + 2)});
    if (Thumb.Right <= Thumb.Left || Thumb.Bottom <= Thumb.Top)
        return;
    Canvas->Brush()->SetColor(clBtnShadow);
    Canvas->FillRect(Horizontal ? Rect(Thumb.Left, Thumb.Top + 2, Thumb.Right, Thumb.Bottom - 1)
                                : Rect(Thumb.Left + 2, Thumb.Top, Thumb.Right - 1, Thumb.Bottom));
}

}  // namespace

void TdwCustomDBGrid::SetShowHorzScrollBar(bool Value)
{
    if (FShowHorzScrollBar == Value)
        return;
    FShowHorzScrollBar = Value;
    LayoutChanged();
}

int TdwCustomDBGrid::FirstScrollingCol() const
{
    return std::min(FIndicatorCols + FFixedCols, ColCount() - 1);
}

int TdwCustomDBGrid::MaxLeftCol() const
{
    const int lineWidth = FOptions.Contains(dgColLines) ? 1 : 0;
    const int first = FirstScrollingCol();
    int room = CellsWidth();
    for (int c = 0; c < first; ++c)
        room -= ColWidths(c) + lineWidth;
    int left = ColCount() - 1;
    for (int used = ColWidths(left) + lineWidth; left > first; --left) {
        used += ColWidths(left - 1) + lineWidth;
        if (used > room)
            break;
    }
    return std::max(left, first);
}

void TdwCustomDBGrid::SetLeftCol(int Value)
{
    const int left = std::clamp(Value, FirstScrollingCol(), std::max(FirstScrollingCol(), MaxLeftCol()));
    if (left == FLeftCol)
        return;
    HideEditor();
    HideHintWindow();
    FLeftCol = left;
    Invalidate();
    if (OnLeftColChanged)
        OnLeftColChanged(this, FLeftCol);
}

TRect TdwCustomDBGrid::HorzScrollBarRect() const
{
    if (!FShowHorzScrollBar || (MaxLeftCol() <= FirstScrollingCol() && FLeftCol <= FirstScrollingCol()))
        return TRect {};
    const int bottom = TCustomControl::ClientHeight();
    return Rect(0, std::max(0, bottom - BarWidth), CellsWidth(), bottom);
}

TRect TdwCustomDBGrid::HorzScrollThumbRect() const
{
    const TRect bar = HorzScrollBarRect();
    const int track = bar.Right - bar.Left - 3 * BarWidth;
    if (bar.Bottom <= bar.Top || track <= 0)
        return TRect {};
    const int first = FirstScrollingCol();
    const int last = std::max(1, MaxLeftCol() - first);
    int left = static_cast<int>(static_cast<long long>(track) * std::min(FLeftCol - first, last) / last);
    if (FMouseMode == mmHorzThumb)
        left = FThumbDragTop;
    const int x = bar.Left + BarWidth + left;
    return Rect(x, bar.Top, x + BarWidth, bar.Bottom);
}

void TdwCustomDBGrid::DrawHorzScrollBar(TCanvas* Canvas)
{
    DrawScrollBar(Canvas, HorzScrollBarRect(), HorzScrollThumbRect(), true);
}

void TdwCustomDBGrid::HorzScrollBarClick(int X)
{
    const TRect bar = HorzScrollBarRect();
    const TRect thumb = HorzScrollThumbRect();
    // A page is the scrolling columns in view, less the one that stays for orientation.
    int shown = 0;
    for (int c = FLeftCol; c < ColCount() && ColumnLeft(c) + ColWidths(c) <= CellsWidth(); ++c)
        ++shown;
    const int page = std::max(1, shown - 1);
    if (X < bar.Left + BarWidth)
        SetLeftCol(FLeftCol - 1);
    else if (X >= bar.Right - BarWidth)
        SetLeftCol(FLeftCol + 1);
    else if (thumb.Right <= thumb.Left)
        return;
    else if (X < thumb.Left)
        SetLeftCol(FLeftCol - page);
    else if (X >= thumb.Right)
        SetLeftCol(FLeftCol + page);
    else {
        FThumbDragTop = thumb.Left - bar.Left - BarWidth;
        FThumbGrabX = X - thumb.Left;
        FMouseMode = mmHorzThumb;
    }
}

// The columns follow the thumb while it is dragged.
void TdwCustomDBGrid::HorzScrollThumbDragged(int X)
{
    const TRect bar = HorzScrollBarRect();
    const int track = bar.Right - bar.Left - 3 * BarWidth;
    if (track <= 0)
        return;
    FThumbDragTop = std::clamp(X - FThumbGrabX - bar.Left - BarWidth, 0, track);
    const int first = FirstScrollingCol();
    const int last = std::max(0, MaxLeftCol() - first);
    SetLeftCol(first + static_cast<int>((static_cast<long long>(FThumbDragTop) * last + track / 2) / track));
    Invalidate();
}

void TdwCustomDBGrid::SetShowVertScrollBar(bool Value)
{
    if (FShowVertScrollBar == Value)
        return;
    FShowVertScrollBar = Value;
    LayoutChanged();
}

int TdwCustomDBGrid::CellsWidth() const
{
    return std::max(0, ClientWidth() - (FShowVertScrollBar ? BarWidth : 0));
}

TRect TdwCustomDBGrid::VertScrollBarRect() const
{
    if (!FShowVertScrollBar)
        return TRect {};
    return Rect(CellsWidth(), 0, ClientWidth(), ClientHeight());
}

TRect TdwCustomDBGrid::VertScrollThumbRect()
{
    const TRect bar = VertScrollBarRect();
    TDataSet* dataSet = DataSetOrNull();
    const int track = ThumbTrack(bar);
    if (bar.Right <= bar.Left || track <= 0 || !FDataLink.Active() || !dataSet || dataSet->IsEmpty())
        return TRect {};
    int place = UncountedPlaces / 2;
    if (dataSet->IsSequenced())
        place = std::clamp(dataSet->RecNo(), 1, std::max(1, dataSet->RecordCount())) - 1;
    else if (dataSet->Eof())
        place = UncountedPlaces;
    else if (dataSet->Bof())
        place = 0;
    int top = static_cast<int>(static_cast<long long>(track) * place / LastThumbPlace(dataSet));
    if (FMouseMode == mmThumb)
        top = FThumbDragTop;
    const int y = bar.Top + BarWidth + top;
    return Rect(bar.Left, y, bar.Right, y + BarWidth);
}

void TdwCustomDBGrid::DrawVertScrollBar(TCanvas* Canvas)
{
    DrawScrollBar(Canvas, VertScrollBarRect(), VertScrollThumbRect(), false);
}

void TdwCustomDBGrid::VertScrollBarClick(int Y)
{
    TDataSet* dataSet = DataSetOrNull();
    const TRect bar = VertScrollBarRect();
    if (!dataSet || bar.Right <= bar.Left)
        return;
    const TRect thumb = VertScrollThumbRect();
    if (Y < bar.Top + BarWidth)
        dataSet->Prior();
    else if (Y >= bar.Bottom - BarWidth)
        dataSet->Next();
    else if (thumb.Bottom <= thumb.Top)
        return;
    else if (Y < thumb.Top)
        dataSet->MoveBy(-VisibleRowCount());
    else if (Y >= thumb.Bottom)
        dataSet->MoveBy(VisibleRowCount());
    else {
        FThumbDragTop = thumb.Top - bar.Top - BarWidth;
        FThumbGrabY = Y - thumb.Top;
        FMouseMode = mmThumb;
    }
}

void TdwCustomDBGrid::VertScrollThumbDragged(int Y)
{
    const TRect bar = VertScrollBarRect();
    FThumbDragTop = std::clamp(Y - FThumbGrabY - bar.Top - BarWidth, 0, std::max(0, ThumbTrack(bar)));
    Invalidate();
}

// Only the place where the thumb is let go moves the records.
void TdwCustomDBGrid::VertScrollThumbReleased()
{
    TDataSet* dataSet = DataSetOrNull();
    const int track = ThumbTrack(VertScrollBarRect());
    Invalidate();
    if (!FDataLink.Active() || !dataSet || track <= 0)
        return;
    const int last = LastThumbPlace(dataSet);
    const int place = static_cast<int>((static_cast<long long>(FThumbDragTop) * last + track / 2) / track);
    if (dataSet->IsSequenced()) {
        const int recNo = place + 1;
        if (recNo <= 1)
            dataSet->First();
        else if (recNo > dataSet->RecordCount())
            dataSet->Last();
        else
            dataSet->SetRecNo(recNo);
        return;
    }
    switch (place) {
    case 0: dataSet->First(); break;
    case 1: dataSet->MoveBy(-VisibleRowCount()); break;
    case UncountedPlaces - 1: dataSet->MoveBy(VisibleRowCount()); break;
    case UncountedPlaces: dataSet->Last(); break;
    default: break;
    }
}

bool TdwCustomDBGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    return TCustomControl::DoMouseWheelDown(Shift, MousePos) ||
           WheelStep(DataSetOrNull(), FDataLink.Active(), 1);
}

bool TdwCustomDBGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    return TCustomControl::DoMouseWheelUp(Shift, MousePos) ||
           WheelStep(DataSetOrNull(), FDataLink.Active(), -1);
}
