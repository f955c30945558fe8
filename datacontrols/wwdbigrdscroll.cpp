// The grid's vertical scroll bar, drawn at its right edge: it shows where the current
// record lies and moves through the records when pressed.

#include <algorithm>

#include "datacontrols/wwdbigrd.h"
#include "platform/db/dataset.h"

namespace {

constexpr int BarWidth = 16;

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
    const int track = bar.Bottom - bar.Top - 2 * BarWidth - BarWidth;
    if (bar.Right <= bar.Left || track <= 0 || !FDataLink.Active() || !dataSet || dataSet->IsEmpty())
        return TRect{};
    int top = 0;
    const int count = dataSet->RecordCount();
    if (dataSet->IsSequenced() && count > 1) {
        const int recNo = std::clamp(dataSet->RecNo(), 1, count);
        top = static_cast<int>(static_cast<long long>(track) * (recNo - 1) / (count - 1));
    } else if (dataSet->Eof()) {
        top = track;
    } else if (!dataSet->Bof()) {
        top = track / 2;
    }
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
}
