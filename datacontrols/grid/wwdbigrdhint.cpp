// Cell hints of the data-aware grid: the whole text of a cell too narrow or too short
// for it, shown while the mouse stays over the cell.

#include <algorithm>

#include "datacontrols/grid/wwdbigrd.h"
#include "datacontrols/grid/wwgridhintwindow.h"
#include "platform/db/field.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/forms/timer.h"

namespace {

constexpr unsigned HintTickInterval = 250;
// The fewest ticks a hint stays for while the mouse rests over it.
constexpr int MinimumHintTicks = 16;

}  // namespace

bool TdwGridHintWindow::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwGridHintWindow") || THintWindow::InheritsFrom(name);
}

void TdwGridHintWindow::Paint()
{
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->Pen()->SetColor(clBlack);
    canvas->Rectangle(rect);
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(bsClear);
    rect = Rect(rect.Left + 2, rect.Top + 2, rect.Right - 2, rect.Bottom - 2);
    const unsigned align = FAlignment == taRightJustify ? DT_RIGHT
                           : FAlignment == taCenter     ? DT_CENTER
                                                        : DT_LEFT;
    canvas->DrawText(Caption(), rect, align | DT_NOPREFIX | (FWordWrap ? DT_WORDBREAK : 0u));
}

bool TdwCustomDBGrid::CellHintShowing() const { return FHintWindow && FHintWindow->Visible(); }

void TdwCustomDBGrid::HideHintWindow()
{
    FHintCol = -1;
    FHintRow = -1;
    // The timer stays for the next hint: this may run inside its own tick.
    if (FHintTimer)
        FHintTimer->SetEnabled(false);
    if (FHintWindow) {
        FHintWindow->Free();
        FHintWindow = nullptr;
    }
}

TdwGridHintWindow* TdwCustomDBGrid::CreateHintWindow()
{
    auto* window = new TdwGridHintWindow(this);
    window->SetColor(clInfoBk);
    window->Font()->Assign(Font());
    window->Font()->SetColor(clInfoText);
    return window;
}

void TdwCustomDBGrid::DoCreateHintWindow(TdwGridHintWindow* HintWindow, TField* AField, const TRect& R,
                                         bool& WordWrap, int& MaxWidth, int& MaxHeight, bool& DoDefault)
{
    if (OnCreateHintWindow)
        OnCreateHintWindow(this, HintWindow, AField, R, WordWrap, MaxWidth, MaxHeight, DoDefault);
}

void TdwCustomDBGrid::UpdateCellHint(int X, int Y)
{
    FMouseScreenPos = ClientToScreen(Point(X, Y));
    if (!FOptions.Contains(dgShowCellHint))
        return;
    int col = -1;
    int row = -1;
    if (!CellAt(X, Y, col, row))
        col = row = -1;
    if (col == FHintCol && row == FHintRow)
        return;
    HideHintWindow();
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

    // Measured as the cell paints it: within the cell less its margins, wrapped with dgWordWrap.
    const TRect cell = CellRect(col, row);
    const int cellWidth = cell.Right - cell.Left;
    const int cellHeight = cell.Bottom - cell.Top;
    const unsigned wrap = FOptions.Contains(dgWordWrap) ? DT_WORDBREAK : 0u;
    Canvas()->SetFont(Font());
    TRect measured = Rect(0, 0, cellWidth - 4, 0);
    Canvas()->DrawText(text, measured, DT_CALCRECT | DT_NOPREFIX | wrap);
    if (measured.Right < cellWidth - 1 && measured.Bottom <= cellHeight)
        return;

    FHintWindow = CreateHintWindow();
    FHintWindow->SetField(field);
    FHintTicks = 0;
    if (!FHintTimer) {
        FHintTimer = new TTimer(this);
        FHintTimer->SetInterval(HintTickInterval);
        FHintTimer->OnTimer = [this](TObject*) { CellHintTick(); };
    }
    FHintTimer->SetEnabled(true);
    const TPoint topLeft = ClientToScreen(Point(cell.Left, cell.Top));
    FHintCellRect = Rect(topLeft.X, topLeft.Y, topLeft.X + cellWidth, topLeft.Y + cellHeight);
    FHintWindow->SetAlignment(field->Alignment());
    bool wordWrap = true;
    int maxWidth = GuiScreen()->Width();
    int maxHeight = cellHeight - 2;
    bool doDefault = true;
    DoCreateHintWindow(FHintWindow, field, FHintCellRect, wordWrap, maxWidth, maxHeight, doDefault);
    FHintWindow->SetWordWrap(wordWrap);
    if (!doDefault)
        return;
    maxWidth = std::max(maxWidth, cellWidth - 4);
    TRect size = Rect(0, 0, maxWidth, 0);
    FHintWindow->Canvas()->SetFont(FHintWindow->Font());
    FHintWindow->Canvas()->DrawText(text, size, DT_CALCRECT | DT_NOPREFIX | (wordWrap ? DT_WORDBREAK : 0u));
    const int width = std::min(size.Right + 8, maxWidth);
    const int height = std::max(cellHeight, std::min(size.Bottom + 4, maxHeight + 2));
    const bool growsLeft = field->Alignment() == taRightJustify;
    const int left = growsLeft ? FHintCellRect.Right - width : FHintCellRect.Left;
    FHintRect = Rect(left, FHintCellRect.Top, left + width, FHintCellRect.Top + height);
    FHintWindow->ActivateHint(FHintRect, text);
}

void TdwCustomDBGrid::CellHintTick()
{
    const TRect cell = Rect(FHintCellRect.Left - 1, FHintCellRect.Top - 1, FHintCellRect.Right + 1,
                            FHintCellRect.Bottom + 1);
    const bool overHint = CellHintShowing() && FHintRect.Contains(FMouseScreenPos);
    if (!cell.Contains(FMouseScreenPos) && !overHint) {
        HideHintWindow();
        return;
    }
    const int pauseTicks = Application->HintHidePause() / static_cast<int>(HintTickInterval);
    if (++FHintTicks > std::max(pauseTicks, MinimumHintTicks))
        HideHintWindow();
}
