// The grid's vertical scroll bar, drawn at its right edge: it shows where the current
// record lies and moves through the records when pressed or when its thumb is dragged;
// and the mouse wheel, a record a notch.

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

}  // namespace

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
        return TRect{};
    return Rect(CellsWidth(), 0, ClientWidth(), ClientHeight());
}

TRect TdwCustomDBGrid::VertScrollThumbRect()
{
    const TRect bar = VertScrollBarRect();
    TDataSet* dataSet = DataSetOrNull();
    const int track = ThumbTrack(bar);
    if (bar.Right <= bar.Left || track <= 0 || !FDataLink.Active() || !dataSet || dataSet->IsEmpty())
        return TRect{};
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
    const TRect bar = VertScrollBarRect();
    if (bar.Right <= bar.Left)
        return;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(clBtnFace);
    Canvas->FillRect(bar);
    Canvas->Pen()->SetColor(clBtnShadow);
    Canvas->MoveTo(bar.Left, bar.Top);
    Canvas->LineTo(bar.Left, bar.Bottom);
    const int cx = (bar.Left + bar.Right) / 2;
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Brush()->SetColor(clBlack);
    const int up = bar.Top + BarWidth / 2;
    const int down = bar.Bottom - BarWidth / 2;
    Canvas->Polygon({Point(cx - 4, up + 2), Point(cx + 4, up + 2), Point(cx, up - 2)});
    Canvas->Polygon({Point(cx - 4, down - 2), Point(cx + 4, down - 2), Point(cx, down + 2)});
    const TRect thumb = VertScrollThumbRect();
    if (thumb.Bottom > thumb.Top) {
        Canvas->Brush()->SetColor(clBtnShadow);
        Canvas->FillRect(Rect(thumb.Left + 2, thumb.Top, thumb.Right - 1, thumb.Bottom));
    }
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
    case 0:
        dataSet->First();
        break;
    case 1:
        dataSet->MoveBy(-VisibleRowCount());
        break;
    case UncountedPlaces - 1:
        dataSet->MoveBy(VisibleRowCount());
        break;
    case UncountedPlaces:
        dataSet->Last();
        break;
    default:
        break;
    }
}

bool TdwCustomDBGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    return TCustomControl::DoMouseWheelDown(Shift, MousePos) || WheelStep(DataSetOrNull(), FDataLink.Active(), 1);
}

bool TdwCustomDBGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    return TCustomControl::DoMouseWheelUp(Shift, MousePos) || WheelStep(DataSetOrNull(), FDataLink.Active(), -1);
}
