#include "datacontrols/datetime/dwmonthcalendar.h"
#include "datacontrols/datetime/dwdatetimeparts.h"

#include <algorithm>
#include <cmath>

#include "datacontrols/common/wwintl.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/guiscreen.h"

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

int dwFirstDayOfWeek(TdwCalDayOfWeek Day)
{
    // dwdowMonday (0) .. dwdowSunday (6) count from Monday; DayOfWeek from Sunday.
    return Day == dwdowLocaleDefault ? 1 : (static_cast<int>(Day) + 1) % 7 + 1;
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
    FShowing = true;
    try {
        TPopupMenu::Popup(X, Y);
    } catch (...) {
        FShowing = false;
        throw;
    }
    FShowing = false;
}

// ---- the calendar

TdwMonthCalendar::TdwMonthCalendar(TComponent* AOwner)
    : TCustomControl(AOwner), FCalColors(std::make_unique<TdwDateTimeColors>(this)),
      FPopupYearOptions(std::make_unique<TdwPopupYearOptions>()), FValue(Now())
{
    SetColor(clWindow);
    SetTabStop(true);
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
    const int gridWidth = g.WeekNumbers + 7 * g.Cell;
    g.Left = std::max(2, (Width() - gridWidth) / 2);
    g.Top = g.Title + 2;
    return g;
}

TSize TdwMonthCalendar::MinimumSize()
{
    const TGeometry g = Geometry();
    const int today = FOptions.Contains(mdoNoToday) ? 0 : g.Row;
    return TSize {g.WeekNumbers + 7 * g.Cell + 4, g.Top + g.Row * 7 + today + 6};
}

void TdwMonthCalendar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const TSize size = MinimumSize();
    TCustomControl::SetBounds(ALeft, ATop, std::max(AWidth, size.cx), std::max(AHeight, size.cy));
}

void TdwMonthCalendar::FontChanged()
{
    TCustomControl::FontChanged();
    SetBounds(Left(), Top(), Width(), Height());
    Invalidate();
}

TDateTime TdwMonthCalendar::FirstShownDay() const
{
    int year, month, day;
    DecodeDate(FValue, year, month, day);
    const TDateTime first = EncodeDate(year, month, 1);
    const int lead = (DayOfWeek(first) - dwFirstDayOfWeek(FFirstDayOfWeek) + 7) % 7;
    // A month that starts on the week's first day shows the week before it too.
    return first - (lead == 0 ? 7 : lead);
}

TdwCalendarHit TdwMonthCalendar::HitTest(int X, int Y, TDateTime& HitDate)
{
    HitDate = 0;
    const TGeometry g = Geometry();
    if (X < 0 || Y < 0 || X >= Width() || Y >= Height())
        return TdwCalendarHit::Nowhere;
    if (Y < g.Title) {
        if (X < g.Title)
            return TdwCalendarHit::TitleBtnPrev;
        if (X >= Width() - g.Title)
            return TdwCalendarHit::TitleBtnNext;
        int year, month, day;
        DecodeDate(FValue, year, month, day);
        const String monthText = LongMonthNames[month - 1];
        const int monthWidth = Canvas()->TextWidth(monthText);
        const int yearWidth = Canvas()->TextWidth(IntToStr(year));
        const int left = (Width() - monthWidth - Canvas()->TextWidth(" ") - yearWidth) / 2;
        if (X >= left && X < left + monthWidth)
            return TdwCalendarHit::TitleMonth;
        if (X >= Width() - left - yearWidth && X < Width() - left)
            return TdwCalendarHit::TitleYear;
        return TdwCalendarHit::Nowhere;
    }
    const int row = (Y - g.Top) / g.Row;
    if (Y < g.Top || row > 6) {
        return !FOptions.Contains(mdoNoToday) && Y >= g.Top + 7 * g.Row ? TdwCalendarHit::Today
                                                                        : TdwCalendarHit::Nowhere;
    }
    if (X < g.Left || X >= g.Left + g.WeekNumbers + 7 * g.Cell)
        return TdwCalendarHit::Nowhere;
    if (row == 0)
        return TdwCalendarHit::DayOfWeekRow;
    if (X < g.Left + g.WeekNumbers)
        return TdwCalendarHit::WeekNumber;
    const int column = (X - g.Left - g.WeekNumbers) / g.Cell;
    HitDate = FirstShownDay() + (row - 1) * 7 + column;
    return TdwCalendarHit::Day;
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

    int year, month, day;
    DecodeDate(FValue, year, month, day);
    // Title: the buttons, the month and the year.
    canvas->Brush()->SetColor(FCalColors->TitleBackColor());
    canvas->FillRect(Rect(0, 0, Width(), g.Title));
    canvas->Font()->SetColor(FCalColors->TitleTextColor());
    canvas->Font()->SetStyle({fsBold});
    canvas->Brush()->SetStyle(bsClear);
    const String title = LongMonthNames[month - 1] + " " + IntToStr(year);
    canvas->TextOut((Width() - canvas->TextWidth(title)) / 2, (g.Title - canvas->TextHeight(title)) / 2,
                    title);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(FCalColors->TitleTextColor());
    canvas->Pen()->SetColor(FCalColors->TitleTextColor());
    const int mid = g.Title / 2;
    canvas->Polygon(
            {Point(g.Title / 2 - 3, mid), Point(g.Title / 2 + 2, mid - 5), Point(g.Title / 2 + 2, mid + 5)});
    const int right = Width() - g.Title / 2;
    canvas->Polygon({Point(right + 3, mid), Point(right - 2, mid - 5), Point(right - 2, mid + 5)});

    // Day names, then six weeks of days.
    canvas->Font()->SetStyle({});
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(FCalColors->TitleBackColor());
    const int first = dwFirstDayOfWeek(FFirstDayOfWeek);
    for (int k = 0; k < 7; ++k) {
        const String name = ShortDayNames[(first - 1 + k) % 7].substr(0, 2);
        const int x = g.Left + g.WeekNumbers + k * g.Cell;
        canvas->TextOut(x + (g.Cell - canvas->TextWidth(name)) / 2, g.Top + 1, name);
    }
    canvas->Pen()->SetColor(FCalColors->TitleBackColor());
    canvas->MoveTo(g.Left, g.Top + g.Row - 1);
    canvas->LineTo(g.Left + g.WeekNumbers + 7 * g.Cell, g.Top + g.Row - 1);

    const unsigned masks[3] = {DayStateMask(month == 1 ? year - 1 : year, month == 1 ? 12 : month - 1),
                               DayStateMask(year, month),
                               DayStateMask(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1)};
    const TDateTime today = dwDayOf(Now());
    const TDateTime start = FirstShownDay();
    for (int cell = 0; cell < 42; ++cell) {
        const TDateTime date = start + cell;
        int y, m, d;
        DecodeDate(date, y, m, d);
        const int x = g.Left + g.WeekNumbers + (cell % 7) * g.Cell;
        const int top = g.Top + (cell / 7 + 1) * g.Row;
        const TRect box = Rect(x, top, x + g.Cell, top + g.Row);
        const bool selected = FOptions.Contains(mdoMultiSelect) && FSelStart != 0
                                      ? date >= FSelStart && date <= FSelEnd
                                      : date == dwDayOf(FValue);
        if (selected) {
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(FCalColors->TitleBackColor());
            canvas->FillRect(box);
        }
        const int which = m == month ? 1 : (date < EncodeDate(year, month, 1) ? 0 : 2);
        canvas->Font()->SetStyle((masks[which] >> (d - 1)) & 1u ? TFontStyles {fsBold} : TFontStyles {});
        TColor color = m == month ? FCalColors->TextColor() : FCalColors->TrailingTextColor();
        if (!WithinLimits(date))
            color = clGrayText;
        canvas->Font()->SetColor(selected ? FCalColors->MonthBackColor() : color);
        canvas->Brush()->SetStyle(bsClear);
        const String text = IntToStr(d);
        canvas->TextOut(box.Right - 4 - canvas->TextWidth(text), top + 2, text);
        if (date == today && !FOptions.Contains(mdoNoTodayCircle)) {
            canvas->Pen()->SetColor(clRed);
            canvas->FrameRect(box);
        }
        if (FOptions.Contains(mdoWeekNumbers) && cell % 7 == 0) {
            const int week = static_cast<int>((date - EncodeDate(y, 1, 1)) / 7) + 1;
            canvas->Font()->SetStyle({});
            canvas->Font()->SetColor(FCalColors->TrailingTextColor());
            canvas->TextOut(g.Left + 2, top + 2, IntToStr(week));
        }
    }
    if (!FOptions.Contains(mdoNoToday)) {
        canvas->Font()->SetStyle({fsBold});
        canvas->Font()->SetColor(FCalColors->TextColor());
        canvas->TextOut(g.Left + 4, g.Top + 7 * g.Row + 2,
                        "Today: " + FormatDateTime(ShortDateFormat, today));
    }
    if (FBorderSingle) {
        canvas->Brush()->SetColor(clBlack);
        canvas->FrameRect(all);
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
    switch (HitTest(X, Y, date)) {
    case TdwCalendarHit::TitleBtnNext:
    case TdwCalendarHit::TitleBtnPrev: {
        const TDateTime moved =
                MonthsAway(FValue, HitTest(X, Y, date) == TdwCalendarHit::TitleBtnNext ? 1 : -1);
        if (MoveTo(moved))
            Change();
        return;
    }
    case TdwCalendarHit::TitleMonth:
        BuildMonthMenu();
        PopupTitleMenu(MonthMenu());
        return;
    case TdwCalendarHit::TitleYear:
        BuildYearMenu();
        PopupTitleMenu(YearMenu());
        return;
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

void TdwMonthCalendar::BuildMonthMenu()
{
    int year, month, day;
    DecodeDate(FValue, year, month, day);
    TMenuItem* items = MonthMenu()->Items();
    for (int k = 1; k <= MonthsInYear; ++k) {
        TMenuItem* item = items->Items(k - 1);
        item->SetChecked(k == month);
        item->SetEnabled(WithinLimits(EncodeDate(year, k, std::min(day, DaysInMonth(year, k)))));
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
    int year, month, day;
    DecodeDate(FValue, year, month, day);
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
        item->SetEnabled(
                itemYear >= 1 && itemYear <= 9999 &&
                WithinLimits(EncodeDate(itemYear, month, std::min(day, DaysInMonth(itemYear, month)))));
        item->SetBreak((k > 0 && k % perColumn == 0) || (k == 0 && options.ShowEditYear() && perColumn != 1));
        item->OnClick = [this](TObject* Sender) { YearItemClick(Sender); };
        items->Add(item);
    }
}

void TdwMonthCalendar::PopupTitleMenu(TCalendarPopupMenu* Menu)
{
    const TGeometry g = Geometry();
    int x = Width() / 2 - 40;
    if (Menu == FYearMenu && FPopupYearOptions->ShowEditYear())
        x -= Canvas()->TextWidth(dwIntl()->MonthCalendar().PopupYearLabel) +
             45 * GuiScreen()->PixelsPerInch() / 96;
    const TPoint at = ClientToScreen(Point(x, g.Title));
    Menu->Popup(at.X, at.Y);
}

void TdwMonthCalendar::MonthItemClick(TObject* Sender)
{
    const auto* item = static_cast<TMenuItem*>(Sender);
    for (int month = 1; month <= MonthsInYear; ++month) {
        if (item->Caption() != LongMonthNames[month - 1])
            continue;
        int year, current, day;
        DecodeDate(FValue, year, current, day);
        if (MoveTo(MonthsAway(FValue, month - current)))
            Change();
        return;
    }
}

void TdwMonthCalendar::YearItemClick(TObject* Sender)
{
    const int year = StrToIntDef(static_cast<TMenuItem*>(Sender)->Caption(), 0);
    int current, month, day;
    DecodeDate(FValue, current, month, day);
    if (year >= 1 && year <= 9999 && MoveTo(MonthsAway(FValue, (year - current) * 12)))
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
    int year, month, day;
    DecodeDate(FValue, year, month, day);
    const String answer =
            InputBox(dwIntl()->MonthCalendar().PopupYearLabel, EnterYearPrompt(), IntToStr(year));
    const int typed = StrToIntDef(Trim(answer), 0);
    // An answer that is no year within the limits changes nothing.
    if (typed == year)
        return;
    if (typed < 1 || typed > 9999 || !MoveTo(MonthsAway(FValue, (typed - year) * 12)))
        return;
    Change();
}
