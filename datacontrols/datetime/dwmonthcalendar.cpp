#include "datacontrols/datetime/dwmonthcalendar.h"
#include "datacontrols/datetime/dwdatetimeparts.h"

#include <algorithm>
#include <cmath>

#include "datacontrols/common/wwintl.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/win/userlocale.h"

namespace {

String LimitText(TDateTime Date) { return FormatDateTime(ShortDateFormat, Date); }

// The same day in the month Months away, the day kept within that month's length.
TDateTime ShiftMonths(TDateTime Value, int Months)
{
    int year, month, day;
    DecodeDate(Value, year, month, day);
    const int total = year * 12 + (month - 1) + Months;
    year = total / 12;
    month = total % 12 + 1;
    if (year < 1 || year > 9999)
        return 0;
    return EncodeDate(year, month, std::min(day, DaysInMonth(year, month))) + dwTimeOfDay(Value);
}

constexpr int MonthsInYear = 12;
// Between two months side by side.
constexpr int MonthGap = 8;

// A month counted as year * 12 + month - 1, and back to its first day.
int MonthIndexOf(TDateTime Value)
{
    int year, month, day;
    DecodeDate(Value, year, month, day);
    return year * MonthsInYear + month - 1;
}

TDateTime FirstOfMonth(int Index) { return EncodeDate(Index / MonthsInYear, Index % MonthsInYear + 1, 1); }

}  // namespace

void dwCheckDateLimits(TDateTime Date, TDateTime MinDate, TDateTime MaxDate)
{
    if (Date == 0)
        return;
    if (MaxDate != 0 && dwDayOf(Date) > dwDayOf(MaxDate))
        throw EDateTimeError("Date exceeds maximum of " + LimitText(MaxDate));
    if (MinDate != 0 && dwDayOf(Date) < dwDayOf(MinDate))
        throw EDateTimeError("Date is less than minimum of " + LimitText(MinDate));
}

int dwLocaleFirstDayOfWeek() { return UserFirstDayOfWeek(); }

int dwFirstDayOfWeek(TdwCalDayOfWeek Day)
{
    // dwdowMonday (0) .. dwdowSunday (6) count from Monday; DayOfWeek from Sunday.
    return Day == dwdowLocaleDefault ? dwLocaleFirstDayOfWeek() : (static_cast<int>(Day) + 1) % 7 + 1;
}

// ---- colours and year options

void TdwDateTimeColors::SetColor(int Index, TColor Value)
{
    FColors[static_cast<size_t>(Index)] = Value;
    if (FOwner)
        FOwner->Invalidate();
}

void TdwDateTimeColors::Assign(TPersistent* Source)
{
    auto* colors = dynamic_cast<TdwDateTimeColors*>(Source);
    if (!colors) {
        TPersistent::Assign(Source);
        return;
    }
    for (int k = 1; k < 6; ++k)
        SetColor(k, colors->Color(k));
}

void TdwPopupYearOptions::Assign(TPersistent* Source)
{
    auto* options = dynamic_cast<TdwPopupYearOptions*>(Source);
    if (!options) {
        TPersistent::Assign(Source);
        return;
    }
    FYearsPerColumn = options->FYearsPerColumn;
    FNumberColumns = options->FNumberColumns;
    FStartYear = options->FStartYear;
    FShowEditYear = options->FShowEditYear;
}

void TCalendarPopupMenu::Popup(int X, int Y)
{
    const FlagScope showing(FShowing);
    TPopupMenu::Popup(X, Y);
}

// ---- the calendar

TdwMonthCalendar::TdwMonthCalendar(TComponent* AOwner)
    : TCustomControl(AOwner), FCalColors(std::make_unique<TdwDateTimeColors>(this)),
      FPopupYearOptions(std::make_unique<TdwPopupYearOptions>()), FValue(Now())
{
    SetColor(clWindow);
    SetTabStop(true);
    FFirstMonth = MonthIndexOf(FValue);
    const TSize size = MinimumSize();
    SetBounds(0, 0, std::max(155, size.cx), size.cy);
}

TdwMonthCalendar::~TdwMonthCalendar() = default;

bool TdwMonthCalendar::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwMonthCalendar") || TCustomControl::InheritsFrom(name);
}

void TdwMonthCalendar::SetBorderSingle(bool Value)
{
    FBorderSingle = Value;
    Invalidate();
}

bool TdwMonthCalendar::WithinLimits(TDateTime Value) const
{
    const TDateTime day = dwDayOf(Value);
    return (FMinDate == 0 || day >= dwDayOf(FMinDate)) && (FMaxDate == 0 || day <= dwDayOf(FMaxDate)) &&
           day >= (FMinDate == 0 ? 1 : -693593);
}

void TdwMonthCalendar::SetDate(TDateTime Value)
{
    if (dwDayOf(Value) == dwDayOf(FValue) && FValue != 0)
        return;
    const TDateTime value = dwDayOf(Value) == 0 ? 0 : dwDayOf(Value) + dwTimeOfDay(FValue);
    dwCheckDateLimits(value, FMinDate, FMaxDate);
    if (value != 0) {
        // Before 1899-12-31 only with a minimum that allows it.
        FValue = FMinDate == 0 && value < 1 ? 1 + dwTimeOfDay(value) : value;
        if (FOptions.Contains(mdoMultiSelect))
            FSelStart = FSelEnd = FAnchor = dwDayOf(FValue);
        ShowDateMonth();
    }
    Invalidate();
}

TDateTime TdwMonthCalendar::Time() const { return dwTimeOfDay(FValue); }

void TdwMonthCalendar::SetTime(TDateTime Value)
{
    const TDateTime time = dwTimeOfDay(Value);
    if (time != dwTimeOfDay(FValue))
        FValue = dwDayOf(FValue) + time;
}

void TdwMonthCalendar::SetMinDate(TDateTime Value)
{
    dwCheckDateLimits(Value, 0, FMaxDate);
    if (Value == FMinDate)
        return;
    FMinDate = Value;
    Invalidate();
}

void TdwMonthCalendar::SetMaxDate(TDateTime Value)
{
    dwCheckDateLimits(Value, FMinDate, 0);
    if (Value == FMaxDate)
        return;
    FMaxDate = Value;
    Invalidate();
}

void TdwMonthCalendar::SetOptions(TdwMonthOptions Value)
{
    FOptions = Value;
    if (FOptions.Contains(mdoMultiSelect) && FSelStart == 0)
        FSelStart = FSelEnd = FAnchor = dwDayOf(FValue);
    const TSize size = MinimumSize();
    SetBounds(Left(), Top(), std::max(Width(), size.cx), std::max(Height(), size.cy));
    Invalidate();
}

void TdwMonthCalendar::SetFirstDayOfWeek(TdwCalDayOfWeek Value)
{
    FFirstDayOfWeek = Value;
    Invalidate();
}

void TdwMonthCalendar::SetMaxSelectCount(int Value) { FMaxSelectCount = std::max(1, Value); }

void TdwMonthCalendar::SetSelectionRange(TDateTime Start, TDateTime End)
{
    TDateTime low = dwDayOf(std::min(Start, End));
    TDateTime high = dwDayOf(std::max(Start, End));
    dwCheckDateLimits(high, 0, FMaxDate);
    dwCheckDateLimits(low, FMinDate, 0);
    // No more days than MaxSelectCount, counted from the start.
    high = std::min(high, low + FMaxSelectCount - 1);
    FSelStart = low;
    FSelEnd = high;
    Invalidate();
}

// ---- geometry

TdwMonthCalendar::TGeometry TdwMonthCalendar::Geometry()
{
    Canvas()->SetFont(Font());
    const int text = Canvas()->TextHeight("0");
    TGeometry g {};
    g.Row = text + 4;
    g.Title = text + 10;
    g.Cell = std::max(Canvas()->TextWidth("00") + 8, 20);
    g.WeekNumbers = FOptions.Contains(mdoWeekNumbers) ? g.Cell : 0;
    // A block: the title, the day names and six weeks.
    g.MonthWidth = g.WeekNumbers + 7 * g.Cell + 4;
    g.MonthHeight = g.Title + 2 + 7 * g.Row + 4;
    const int today = FOptions.Contains(mdoNoToday) ? 0 : g.Row;
    g.Columns = std::max(1, (Width() + MonthGap) / (g.MonthWidth + MonthGap));
    g.Rows = std::max(1, (Height() - today - 2) / g.MonthHeight);
    const int blocksWidth = g.Columns * g.MonthWidth + (g.Columns - 1) * MonthGap;
    g.Left = std::max(0, (Width() - blocksWidth) / 2);
    g.TodayTop = g.Rows * g.MonthHeight;
    return g;
}

TSize TdwMonthCalendar::MinimumSize()
{
    const TGeometry g = Geometry();
    const int today = FOptions.Contains(mdoNoToday) ? 0 : g.Row;
    return TSize {g.MonthWidth, g.MonthHeight + today + 2};
}

void TdwMonthCalendar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const TSize size = MinimumSize();
    TCustomControl::SetBounds(ALeft, ATop, std::max(AWidth, size.cx), std::max(AHeight, size.cy));
    ShowDateMonth();
}

int TdwMonthCalendar::MonthColumns() { return Geometry().Columns; }

int TdwMonthCalendar::MonthRows() { return Geometry().Rows; }

int TdwMonthCalendar::MonthDelta() { return MonthColumns() * MonthRows(); }

TDateTime TdwMonthCalendar::FirstShownMonth() const { return FirstOfMonth(FFirstMonth); }

void TdwMonthCalendar::ShowDateMonth()
{
    const int shown = MonthDelta();
    const int month = MonthIndexOf(FValue);
    if (month < FFirstMonth)
        FFirstMonth = month;
    else if (month >= FFirstMonth + shown)
        FFirstMonth = month - shown + 1;
    // Nothing before year 1 or after 9999.
    FFirstMonth = std::clamp(FFirstMonth, MonthsInYear, 10000 * MonthsInYear - shown);
}

void TdwMonthCalendar::FontChanged()
{
    TCustomControl::FontChanged();
    SetBounds(Left(), Top(), Width(), Height());
    Invalidate();
}

TPoint TdwMonthCalendar::BlockOrigin(const TGeometry& G, int Block) const
{
    return Point(G.Left + (Block % G.Columns) * (G.MonthWidth + MonthGap),
                 (Block / G.Columns) * G.MonthHeight);
}

TRect TdwMonthCalendar::TitleRect(const TGeometry& G, int Block) const
{
    const TPoint origin = BlockOrigin(G, Block);
    // A single column's titles span the whole width.
    if (G.Columns == 1)
        return Rect(0, origin.Y, Width(), origin.Y + G.Title);
    return Rect(origin.X, origin.Y, origin.X + G.MonthWidth, origin.Y + G.Title);
}

TDateTime TdwMonthCalendar::FirstDayOfBlock(int Block) const
{
    const TDateTime first = FirstOfMonth(BlockMonth(Block));
    const int lead = (DayOfWeek(first) - dwFirstDayOfWeek(FFirstDayOfWeek) + 7) % 7;
    // A month that starts on the week's first day shows the week before it too.
    return first - (lead == 0 ? 7 : lead);
}

TdwCalendarHit TdwMonthCalendar::HitTest(int X, int Y, TDateTime& HitDate)
{
    int block = 0;
    return HitTest(X, Y, HitDate, block);
}

TdwCalendarHit TdwMonthCalendar::HitTest(int X, int Y, TDateTime& HitDate, int& Block)
{
    HitDate = 0;
    Block = -1;
    const TGeometry g = Geometry();
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
        return TdwCalendarHit::Nowhere;
    if (Y >= g.TodayTop)
        return FOptions.Contains(mdoNoToday) ? TdwCalendarHit::Nowhere : TdwCalendarHit::Today;
    const int row = Y / g.MonthHeight;
    for (int column = 0; column < g.Columns; ++column) {
        const int block = row * g.Columns + column;
        const TRect title = TitleRect(g, block);
        if (Y >= title.Bottom || X < title.Left || X >= title.Right)
            continue;
        Block = block;
        if (block == 0 && X < title.Left + g.Title)
            return TdwCalendarHit::TitleBtnPrev;
        if (block == g.Columns - 1 && X >= title.Right - g.Title)
            return TdwCalendarHit::TitleBtnNext;
        const int month = BlockMonth(block);
        const int monthWidth = Canvas()->TextWidth(LongMonthNames[month % MonthsInYear]);
        const int spaceWidth = Canvas()->TextWidth(" ");
        const int yearWidth = Canvas()->TextWidth(IntToStr(month / MonthsInYear));
        const int left = title.Left + (title.Width() - monthWidth - spaceWidth - yearWidth) / 2;
        if (X >= left && X < left + monthWidth)
            return TdwCalendarHit::TitleMonth;
        if (X >= left + monthWidth + spaceWidth && X < left + monthWidth + spaceWidth + yearWidth)
            return TdwCalendarHit::TitleYear;
        return TdwCalendarHit::Nowhere;
    }
    for (int column = 0; column < g.Columns; ++column) {
        const int block = row * g.Columns + column;
        const TPoint origin = BlockOrigin(g, block);
        const int gridLeft = origin.X + 2;
        if (X < gridLeft || X >= gridLeft + g.WeekNumbers + 7 * g.Cell)
            continue;
        const int top = origin.Y + g.Title + 2;
        const int line = (Y - top) / g.Row;
        if (Y < top || line > 6)
            return TdwCalendarHit::Nowhere;
        Block = block;
        if (line == 0)
            return TdwCalendarHit::DayOfWeekRow;
        if (X < gridLeft + g.WeekNumbers)
            return TdwCalendarHit::WeekNumber;
        const TDateTime date =
                FirstDayOfBlock(block) + (line - 1) * 7 + (X - gridLeft - g.WeekNumbers) / g.Cell;
        // Days of the months around are shown only before the first month and after the last.
        const int dateMonth = MonthIndexOf(date);
        if ((dateMonth < BlockMonth(block) && block != 0) ||
            (dateMonth > BlockMonth(block) && block != g.Columns * g.Rows - 1))
            return TdwCalendarHit::Nowhere;
        HitDate = date;
        return TdwCalendarHit::Day;
    }
    return TdwCalendarHit::Nowhere;
}

unsigned TdwMonthCalendar::DayStateMask(int Year, int Month)
{
    unsigned mask = 0;
    if (!FOptions.Contains(mdoDayState) || !OnCalcBoldDay)
        return mask;
    for (int day = 1; day <= DaysInMonth(Year, Month); ++day) {
        bool accept = false;
        OnCalcBoldDay(this, EncodeDate(Year, Month, day), Month, day, Year, accept);
        if (accept)
            mask |= 1u << (day - 1);
    }
    return mask;
}

// ---- painting

void TdwMonthCalendar::Paint()
{
    TCanvas* canvas = Canvas();
    const TGeometry g = Geometry();
    const TRect all = ClientRect();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(FCalColors->MonthBackColor());
    canvas->FillRect(all);
    for (int block = 0; block < g.Columns * g.Rows; ++block)
        PaintMonth(canvas, g, block);
    if (!FOptions.Contains(mdoNoToday)) {
        canvas->Brush()->SetStyle(bsClear);
        canvas->Font()->SetStyle({fsBold});
        canvas->Font()->SetColor(FCalColors->TextColor());
        canvas->TextOut(g.Left + 6, g.TodayTop + 2,
                        "Today: " + FormatDateTime(ShortDateFormat, dwDayOf(Now())));
    }
    if (FBorderSingle) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(clBlack);
        canvas->FrameRect(all);
    }
}

void TdwMonthCalendar::PaintMonth(TCanvas* Canvas, const TGeometry& G, int Block)
{
    const int index = BlockMonth(Block);
    const int year = index / MonthsInYear;
    const int month = index % MonthsInYear + 1;
    const bool first = Block == 0;
    const bool last = Block == G.Columns * G.Rows - 1;
    const TPoint origin = BlockOrigin(G, Block);
    const TRect titleRect = TitleRect(G, Block);

    // Title: the month and the year, the buttons on the first and the top right month.
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FCalColors->TitleBackColor());
    Canvas->FillRect(titleRect);
    Canvas->Font()->SetColor(FCalColors->TitleTextColor());
    Canvas->Font()->SetStyle({fsBold});
    Canvas->Brush()->SetStyle(bsClear);
    const String title = LongMonthNames[month - 1] + " " + IntToStr(year);
    Canvas->TextOut(titleRect.Left + (titleRect.Width() - Canvas->TextWidth(title)) / 2,
                    titleRect.Top + (G.Title - Canvas->TextHeight(title)) / 2, title);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FCalColors->TitleTextColor());
    Canvas->Pen()->SetColor(FCalColors->TitleTextColor());
    const int mid = titleRect.Top + G.Title / 2;
    if (first) {
        const int left = titleRect.Left + G.Title / 2;
        Canvas->Polygon({Point(left - 3, mid), Point(left + 2, mid - 5), Point(left + 2, mid + 5)});
    }
    if (Block == G.Columns - 1) {
        const int right = titleRect.Right - G.Title / 2;
        Canvas->Polygon({Point(right + 3, mid), Point(right - 2, mid - 5), Point(right - 2, mid + 5)});
    }

    // Day names, then six weeks of days.
    const int gridLeft = origin.X + 2;
    const int top = origin.Y + G.Title + 2;
    Canvas->Font()->SetStyle({});
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Font()->SetColor(FCalColors->TitleBackColor());
    const int firstDay = dwFirstDayOfWeek(FFirstDayOfWeek);
    for (int k = 0; k < 7; ++k) {
        const String name = ShortDayNames[(firstDay - 1 + k) % 7].substr(0, 2);
        const int x = gridLeft + G.WeekNumbers + k * G.Cell;
        Canvas->TextOut(x + (G.Cell - Canvas->TextWidth(name)) / 2, top + 1, name);
    }
    Canvas->Pen()->SetColor(FCalColors->TitleBackColor());
    Canvas->MoveTo(gridLeft, top + G.Row - 1);
    Canvas->LineTo(gridLeft + G.WeekNumbers + 7 * G.Cell, top + G.Row - 1);

    // Bold days of this month, and of the months around where their days show.
    const unsigned masks[3] = {
            first ? DayStateMask((index - 1) / MonthsInYear, (index - 1) % MonthsInYear + 1) : 0,
            DayStateMask(year, month),
            last ? DayStateMask((index + 1) / MonthsInYear, (index + 1) % MonthsInYear + 1) : 0};
    const TDateTime today = dwDayOf(Now());
    const TDateTime start = FirstDayOfBlock(Block);
    for (int cell = 0; cell < 42; ++cell) {
        const TDateTime date = start + cell;
        const int which = MonthIndexOf(date) - index + 1;
        const int x = gridLeft + G.WeekNumbers + (cell % 7) * G.Cell;
        const int rowTop = top + (cell / 7 + 1) * G.Row;
        int y, m, d;
        DecodeDate(date, y, m, d);
        if (FOptions.Contains(mdoWeekNumbers) && cell % 7 == 0) {
            const int week = static_cast<int>((date - EncodeDate(y, 1, 1)) / 7) + 1;
            Canvas->Font()->SetStyle({});
            Canvas->Font()->SetColor(FCalColors->TrailingTextColor());
            Canvas->Brush()->SetStyle(bsClear);
            Canvas->TextOut(gridLeft + 2, rowTop + 2, IntToStr(week));
        }
        if ((which == 0 && !first) || (which == 2 && !last))
            continue;
        const TRect box = Rect(x, rowTop, x + G.Cell, rowTop + G.Row);
        const bool selected = FOptions.Contains(mdoMultiSelect) && FSelStart != 0
                                      ? date >= FSelStart && date <= FSelEnd
                                      : date == dwDayOf(FValue);
        if (selected) {
            Canvas->Brush()->SetStyle(bsSolid);
            Canvas->Brush()->SetColor(FCalColors->TitleBackColor());
            Canvas->FillRect(box);
        }
        Canvas->Font()->SetStyle((masks[which] >> (d - 1)) & 1u ? TFontStyles {fsBold} : TFontStyles {});
        TColor color = which == 1 ? FCalColors->TextColor() : FCalColors->TrailingTextColor();
        if (!WithinLimits(date))
            color = clGrayText;
        Canvas->Font()->SetColor(selected ? FCalColors->MonthBackColor() : color);
        Canvas->Brush()->SetStyle(bsClear);
        const String text = IntToStr(d);
        Canvas->TextOut(box.Right - 4 - Canvas->TextWidth(text), rowTop + 2, text);
        if (date == today && !FOptions.Contains(mdoNoTodayCircle)) {
            Canvas->Pen()->SetColor(clRed);
            Canvas->FrameRect(box);
        }
    }
}

// ---- keys

bool TdwMonthCalendar::MoveTo(TDateTime Value)
{
    if (Value == 0 || !WithinLimits(Value)) {
        MessageBeep();
        return false;
    }
    SetDate(Value);
    return true;
}

TDateTime TdwMonthCalendar::MonthsAway(TDateTime Value, int Months) const
{
    return ShiftMonths(Value, Months);
}

bool TdwMonthCalendar::MoveMonths(int Months)
{
    const int first = FFirstMonth;
    if (!MoveTo(MonthsAway(FValue, Months)))
        return false;
    FFirstMonth = first + Months;
    ShowDateMonth();
    Invalidate();
    return true;
}

void TdwMonthCalendar::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Shift.Contains(ssCtrl))
        return;
    const bool multi = FOptions.Contains(mdoMultiSelect);
    const bool range = multi && FSelStart != 0 && FSelEnd != FSelStart;
    int days = 0;
    switch (Key) {
    case VK_PRIOR:
    case VK_NEXT: {
        // With a range of days selected, the months are not paged.
        const int months = Key == VK_PRIOR ? -1 : 1;
        Key = 0;
        if (!range && MoveTo(MonthsAway(FValue, months)))
            Change();
        return;
    }
    case VK_LEFT: days = -1; break;
    case VK_RIGHT: days = 1; break;
    case VK_UP: days = -7; break;
    case VK_DOWN: days = 7; break;
    default: return;
    }
    Key = 0;
    if (multi && Shift.Contains(ssShift)) {
        // The range grows or shrinks at the end away from where it was started.
        const TDateTime anchor = FAnchor != 0 ? FAnchor : dwDayOf(FValue);
        const TDateTime moving = (FSelStart == anchor ? FSelEnd : FSelStart) + days;
        if (!WithinLimits(moving) || std::fabs(moving - anchor) >= FMaxSelectCount) {
            MessageBeep();
            return;
        }
        FSelStart = std::min(anchor, moving);
        FSelEnd = std::max(anchor, moving);
        FAnchor = anchor;
        Invalidate();
        Change();
        return;
    }
    if (MoveTo(dwDayOf(FValue) + days + dwTimeOfDay(FValue)))
        Change();
}

void TdwMonthCalendar::Change()
{
    if (OnChange)
        OnChange(this);
}

// ---- mouse

void TdwMonthCalendar::FireMouse(const TmcMouseUPDownEvent& Event, TMouseButton Button, TShiftState Shift,
                                 int X, int Y)
{
    if (!Event)
        return;
    TDateTime date = 0;
    int year = 0, month = 0, day = 0;
    if (HitTest(X, Y, date) == TdwCalendarHit::Day)
        DecodeDate(date, year, month, day);
    Event(this, Button, Shift, X, Y, month, day, year);
}

void TdwMonthCalendar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (CanFocus() && !Focused() && AcceptsFocus() && TabStop())
        SetFocus();
    FireMouse(OnMouseDown, Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    TDateTime date = 0;
    int block = 0;
    const TdwCalendarHit hit = HitTest(X, Y, date, block);
    switch (hit) {
    case TdwCalendarHit::TitleBtnNext:
    case TdwCalendarHit::TitleBtnPrev: {
        const int delta = MonthDelta();
        if (MoveMonths(hit == TdwCalendarHit::TitleBtnNext ? delta : -delta))
            Change();
        return;
    }
    case TdwCalendarHit::TitleMonth:
    case TdwCalendarHit::TitleYear: {
        FMenuMonthOffset = BlockMonth(block) - MonthIndexOf(FValue);
        const bool months = hit == TdwCalendarHit::TitleMonth;
        if (months)
            BuildMonthMenu();
        else
            BuildYearMenu();
        PopupTitleMenu(months ? MonthMenu() : YearMenu());
        FMenuMonthOffset = 0;
        return;
    }
    case TdwCalendarHit::Today:
        if (MoveTo(dwDayOf(Now()) + dwTimeOfDay(FValue)))
            Change();
        return;
    case TdwCalendarHit::Day:
        // A day beyond the limits is shown greyed and cannot be chosen.
        if (!WithinLimits(date))
            return;
        if (FOptions.Contains(mdoMultiSelect) && Shift.Contains(ssShift) && FAnchor != 0) {
            if (std::fabs(date - FAnchor) < FMaxSelectCount) {
                FSelStart = std::min(FAnchor, date);
                FSelEnd = std::max(FAnchor, date);
                FSelectionPending = true;
                Invalidate();
            }
            return;
        }
        if (dwDayOf(date) != dwDayOf(FValue)) {
            SetDate(date);
            if (!FOptions.Contains(mdoMultiSelect))
                Change();
            else
                FSelectionPending = true;
        }
        return;
    default: return;
    }
}

void TdwMonthCalendar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    FireMouse(OnMouseUp, Button, Shift, X, Y);
    if (FSelectionPending) {
        FSelectionPending = false;
        Change();
    }
    TDateTime date = 0;
    if (Button == mbLeft && HitTest(X, Y, date) == TdwCalendarHit::Day && WithinLimits(date))
        DayClicked();
}

void TdwMonthCalendar::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    if (!OnMouseMove)
        return;
    TDateTime date = 0;
    int year = 0, month = 0, day = 0;
    if (HitTest(X, Y, date) == TdwCalendarHit::Day)
        DecodeDate(date, year, month, day);
    OnMouseMove(this, Shift, X, Y, month, day, year);
}

// ---- the title's menus

TCalendarPopupMenu* TdwMonthCalendar::MonthMenu()
{
    if (!FMonthMenu) {
        FMonthMenu = new TCalendarPopupMenu(this);
        for (int month = 1; month <= MonthsInYear; ++month) {
            auto* item = new TMenuItem(FMonthMenu);
            item->SetCaption(LongMonthNames[month - 1]);
            item->OnClick = [this](TObject* Sender) { MonthItemClick(Sender); };
            FMonthMenu->Items()->Add(item);
        }
    }
    return FMonthMenu;
}

int TdwMonthCalendar::MenuMonth() const { return MonthIndexOf(FValue) + FMenuMonthOffset; }

void TdwMonthCalendar::BuildMonthMenu()
{
    const int month = MenuMonth() % MonthsInYear + 1;
    TMenuItem* items = MonthMenu()->Items();
    for (int k = 1; k <= MonthsInYear; ++k) {
        TMenuItem* item = items->Items(k - 1);
        item->SetChecked(k == month);
        item->SetEnabled(WithinLimits(MonthsAway(FValue, k - month)));
    }
}

TCalendarPopupMenu* TdwMonthCalendar::YearMenu()
{
    if (!FYearMenu)
        FYearMenu = new TCalendarPopupMenu(this);
    return FYearMenu;
}

void TdwMonthCalendar::BuildYearMenu()
{
    TMenuItem* items = YearMenu()->Items();
    while (items->Count() > 0) {
        TMenuItem* item = items->Items(items->Count() - 1);
        items->Remove(item);
        delete item;
    }
    const int year = MenuMonth() / MonthsInYear;
    const TdwPopupYearOptions& options = *FPopupYearOptions;
    const int perColumn = std::max(1, options.YearsPerColumn());
    if (options.ShowEditYear()) {
        auto* edit = new TMenuItem(FYearMenu);
        edit->SetCaption(dwIntl()->MonthCalendar().PopupYearLabel);
        edit->OnClick = [this](TObject* Sender) { EditYearClick(Sender); };
        items->Add(edit);
        auto* line = new TMenuItem(FYearMenu);
        line->SetCaption("-");
        items->Add(line);
    }
    const int count = perColumn * std::max(1, options.NumberColumns());
    for (int k = 0; k < count; ++k) {
        const int itemYear = options.StartYear() + k;
        auto* item = new TMenuItem(FYearMenu);
        item->SetCaption(IntToStr(itemYear));
        item->SetChecked(itemYear == year);
        item->SetEnabled(itemYear >= 1 && itemYear <= 9999 &&
                         WithinLimits(MonthsAway(FValue, (itemYear - year) * MonthsInYear)));
        item->SetBreak((k > 0 && k % perColumn == 0) || (k == 0 && options.ShowEditYear() && perColumn != 1));
        item->OnClick = [this](TObject* Sender) { YearItemClick(Sender); };
        items->Add(item);
    }
}

void TdwMonthCalendar::PopupTitleMenu(TCalendarPopupMenu* Menu)
{
    // Under the title clicked.
    const TGeometry g = Geometry();
    const TRect title = TitleRect(g, MenuMonth() - FFirstMonth);
    int x = title.Left + title.Width() / 2 - 40;
    if (Menu == FYearMenu && FPopupYearOptions->ShowEditYear())
        x -= Canvas()->TextWidth(dwIntl()->MonthCalendar().PopupYearLabel) +
             45 * GuiScreen()->PixelsPerInch() / 96;
    const TPoint at = ClientToScreen(Point(x, title.Bottom));
    Menu->Popup(at.X, at.Y);
}

void TdwMonthCalendar::MonthItemClick(TObject* Sender)
{
    const auto* item = static_cast<TMenuItem*>(Sender);
    for (int month = 1; month <= MonthsInYear; ++month) {
        if (item->Caption() != LongMonthNames[month - 1])
            continue;
        if (MoveMonths(month - (MenuMonth() % MonthsInYear + 1)))
            Change();
        return;
    }
}

void TdwMonthCalendar::YearItemClick(TObject* Sender)
{
    const int year = StrToIntDef(static_cast<TMenuItem*>(Sender)->Caption(), 0);
    if (year >= 1 && year <= 9999 && MoveMonths((year - MenuMonth() / MonthsInYear) * MonthsInYear))
        Change();
}

String TdwMonthCalendar::EnterYearPrompt() const
{
    int minYear = 0, maxYear = 0, month, day;
    if (FMinDate != 0)
        DecodeDate(FMinDate, minYear, month, day);
    if (FMaxDate != 0)
        DecodeDate(FMaxDate, maxYear, month, day);
    String range;
    if (FMinDate != 0 && FMaxDate != 0)
        range = " (" + IntToStr(minYear) + "-" + IntToStr(maxYear) + ")";
    else if (FMinDate != 0)
        range = " (>=" + IntToStr(minYear) + ")";
    else if (FMaxDate != 0)
        range = " (<=" + IntToStr(maxYear) + ")";
    return "Enter New Year:" + dwIntl()->MonthCalendar().EnterYearPrompt + range;
}

void TdwMonthCalendar::EditYearClick(TObject*)
{
    const int year = MenuMonth() / MonthsInYear;
    const String answer =
            InputBox(dwIntl()->MonthCalendar().PopupYearLabel, EnterYearPrompt(), IntToStr(year));
    const int typed = StrToIntDef(Trim(answer), 0);
    // An answer that is no year within the limits changes nothing.
    if (typed == year)
        return;
    if (typed < 1 || typed > 9999 || !MoveMonths((typed - year) * MonthsInYear))
        return;
    Change();
}
