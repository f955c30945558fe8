#pragma once
// The month calendar: months of days, each under a title with its month and year, as
// many side by side and one under another as its size holds, drawn by itself. It keeps
// its date within MinDate..MaxDate, asks which days are bold, offers menus of months and
// years on its titles, moves by keys, and with mdoMultiSelect selects a range of days.

#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/sets.h"
#include "platform/rtl/exceptions.h"
#include "platform/vcl/controls/controls.h"
#include "platform/vcl/forms/menus.h"

// A date outside the limits of a picker or calendar.
class EDateTimeError : public Exception {
public:
    using Exception::Exception;
};

// Raises EDateTimeError "Date exceeds maximum of <MaxDate>" or "Date is less than
// minimum of <MinDate>" when the day of a nonzero Date lies beyond a nonzero limit.
void dwCheckDateLimits(TDateTime Date, TDateTime MinDate, TDateTime MaxDate);

enum TdwMonthOption { mdoDayState, mdoWeekNumbers, mdoNoToday, mdoNoTodayCircle, mdoMultiSelect };
using TdwMonthOptions = SetOf<TdwMonthOption>;

enum TdwCalDayOfWeek {
    dwdowMonday,
    dwdowTuesday,
    dwdowWednesday,
    dwdowThursday,
    dwdowFriday,
    dwdowSaturday,
    dwdowSunday,
    dwdowLocaleDefault
};

// The user's first day of the week, 1 = Sunday .. 7 = Saturday, from the time locale
// the environment names; Sunday for the C locale or one that cannot be read.
int dwLocaleFirstDayOfWeek();
// The week's first day as DayOfWeek counts (1 = Sunday .. 7 = Saturday); the locale
// default is the user's. The calendar and the picker's day-name sections both use it.
int dwFirstDayOfWeek(TdwCalDayOfWeek Day);

using TCalcBoldDayEvent =
        std::function<void(TObject* Sender, TDateTime ADate, int Month, int Day, int Year, bool& Accept)>;
using TmcMouseMoveEvent =
        std::function<void(TObject* Sender, TShiftState Shift, int X, int Y, int Month, int Day, int Year)>;
using TmcMouseUPDownEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X,
                                               int Y, int Month, int Day, int Year)>;

class TdwMonthCalendar;

// The calendar's colours; a change repaints the calendar that owns them.
class TdwDateTimeColors : public TPersistent {
public:
    explicit TdwDateTimeColors(TdwMonthCalendar* Owner) : FOwner(Owner) { }
    String ClassName() const override { return "TdwDateTimeColors"; }

    // 0 background, 1 TextColor, 2 TitleBackColor, 3 TitleTextColor, 4 MonthBackColor,
    // 5 TrailingTextColor.
    TColor Color(int Index) const { return FColors[static_cast<size_t>(Index)]; }
    void SetColor(int Index, TColor Value);
    TColor TextColor() const { return Color(1); }
    void SetTextColor(TColor Value) { SetColor(1, Value); }
    TColor TitleBackColor() const { return Color(2); }
    void SetTitleBackColor(TColor Value) { SetColor(2, Value); }
    TColor TitleTextColor() const { return Color(3); }
    void SetTitleTextColor(TColor Value) { SetColor(3, Value); }
    TColor MonthBackColor() const { return Color(4); }
    void SetMonthBackColor(TColor Value) { SetColor(4, Value); }
    TColor TrailingTextColor() const { return Color(5); }
    void SetTrailingTextColor(TColor Value) { SetColor(5, Value); }

    // Copies the five published colours of another TdwDateTimeColors; any other source
    // raises EConvertError "Cannot assign a <source> to a TdwDateTimeColors".
    void Assign(TPersistent* Source) override;

private:
    TdwMonthCalendar* FOwner;
    TColor FColors[6] = {clWindow, clWindowText, clActiveCaption, clWhite, clWhite, clInactiveCaptionText};
};

class TdwPopupYearOptions : public TPersistent {
public:
    String ClassName() const override { return "TdwPopupYearOptions"; }
    // Below 1 counts as 1.
    int YearsPerColumn() const { return FYearsPerColumn; }
    void SetYearsPerColumn(int Value) { FYearsPerColumn = Value; }
    int NumberColumns() const { return FNumberColumns; }
    void SetNumberColumns(int Value) { FNumberColumns = Value; }
    int StartYear() const { return FStartYear; }
    void SetStartYear(int Value) { FStartYear = Value; }
    // The menu begins with an item that asks for a year.
    bool ShowEditYear() const { return FShowEditYear; }
    void SetShowEditYear(bool Value) { FShowEditYear = Value; }
    void Assign(TPersistent* Source) override;

private:
    int FYearsPerColumn = 10;
    int FNumberColumns = 2;
    int FStartYear = 1990;
    bool FShowEditYear = false;
};

// The title's month and year menus; Showing while one is up.
class TCalendarPopupMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    String ClassName() const override { return "TCalendarPopupMenu"; }
    bool Showing() const { return FShowing; }
    void Popup(int X, int Y);

private:
    bool FShowing = false;
};

// What lies under a point of the calendar.
enum class TdwCalendarHit {
    Nowhere,
    TitleMonth,
    TitleYear,
    TitleBtnNext,
    TitleBtnPrev,
    DayOfWeekRow,
    WeekNumber,
    Day,
    Today
};

class TdwMonthCalendar : public TCustomControl {
public:
    explicit TdwMonthCalendar(TComponent* AOwner);
    ~TdwMonthCalendar() override;

    String ClassName() const override { return "TdwMonthCalendar"; }
    bool InheritsFrom(const String& name) const override;
    int DialogCode() const override { return dlgcWantArrows; }

    bool BorderSingle() const { return FBorderSingle; }
    void SetBorderSingle(bool Value);
    TdwDateTimeColors* CalColors() const { return FCalColors.get(); }
    TdwPopupYearOptions* PopupYearOptions() const { return FPopupYearOptions.get(); }

    // The day shown as chosen, with the time of day it keeps. The setter raises
    // EDateTimeError beyond the limits.
    TDateTime Date() const { return FValue; }
    void SetDate(TDateTime Value);
    TDateTime Time() const;
    void SetTime(TDateTime Value);
    TDateTime MinDate() const { return FMinDate; }
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMinDate(TDateTime Value);
    void SetMaxDate(TDateTime Value);
    TdwMonthOptions Options() const { return FOptions; }
    virtual void SetOptions(TdwMonthOptions Value);
    TdwCalDayOfWeek FirstDayOfWeek() const { return FFirstDayOfWeek; }
    void SetFirstDayOfWeek(TdwCalDayOfWeek Value);
    int MaxSelectCount() const { return FMaxSelectCount; }
    void SetMaxSelectCount(int Value);
    // The selected range with mdoMultiSelect, ordered; both 0 when none.
    TDateTime SelectionStart() const { return FSelStart; }
    TDateTime SelectionEnd() const { return FSelEnd; }
    void SetSelectionRange(TDateTime Start, TDateTime End);

    // The smallest size that shows one whole month.
    TSize MinimumSize();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The months the size holds side by side, and one under another.
    int MonthColumns();
    int MonthRows();
    // The first of the months shown (top left); the others follow it row by row.
    TDateTime FirstShownMonth() const;
    // How far the title's buttons move: as many months as are shown.
    int MonthDelta();

    // What lies at the point, and the date of the day there (0 when none).
    TdwCalendarHit HitTest(int X, int Y, TDateTime& HitDate);
    // Bit (day - 1) set for each day of the month that OnCalcBoldDay makes bold.
    unsigned DayStateMask(int Year, int Month);

    // The title's menus, made on first use; the year menu is made anew each time. They
    // offer the months and years of the title clicked last (the date's own month before
    // any click) and move every shown month, and the date, alike.
    TCalendarPopupMenu* MonthMenu();
    TCalendarPopupMenu* YearMenu();
    void BuildMonthMenu();
    void BuildYearMenu();
    // The edit-year item's question: "Enter New Year:" and the allowed range.
    String EnterYearPrompt() const;

    void KeyDown(Word& Key, TShiftState Shift) override;

    TCalcBoldDayEvent OnCalcBoldDay;
    TNotifyEvent OnChange;
    TmcMouseUPDownEvent OnMouseDown;
    TmcMouseUPDownEvent OnMouseUp;
    TmcMouseMoveEvent OnMouseMove;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void FontChanged() override;
    virtual void Change();
    // The drop-down's calendar acts on a click on a day itself.
    virtual void DayClicked() { }

private:
    // Sizes of one month's block and where the blocks stand.
    struct TGeometry {
        int Title, Row, Cell, WeekNumbers;
        int MonthWidth, MonthHeight, Columns, Rows;
        // The first block's left edge; the today line's top.
        int Left, TodayTop;
    };
    TGeometry Geometry();
    // The top left corner of block Block (0 is the first shown month).
    TPoint BlockOrigin(const TGeometry& G, int Block) const;
    TRect TitleRect(const TGeometry& G, int Block) const;
    // The first day drawn in block Block: the week before when its month starts a week.
    TDateTime FirstDayOfBlock(int Block) const;
    // The block's month as year * 12 + month - 1.
    int BlockMonth(int Block) const { return FFirstMonth + Block; }
    TdwCalendarHit HitTest(int X, int Y, TDateTime& HitDate, int& Block);
    // Scrolls the shown months as little as needed to show the date's.
    void ShowDateMonth();
    void PaintMonth(TCanvas* Canvas, const TGeometry& G, int Block);
    // Moves to Value when it lies within the limits; false (with a beep) when not.
    bool MoveTo(TDateTime Value);
    // The shown month moved by Months, the day kept within the month.
    TDateTime MonthsAway(TDateTime Value, int Months) const;
    bool WithinLimits(TDateTime Value) const;
    void PopupTitleMenu(TCalendarPopupMenu* Menu);
    // Moves the date, and the shown months with it, by Months; false (with a beep) when
    // that would leave the limits.
    bool MoveMonths(int Months);
    // The month of the title whose menu is up, as year * 12 + month - 1.
    int MenuMonth() const;
    void MonthItemClick(TObject* Sender);
    void YearItemClick(TObject* Sender);
    void EditYearClick(TObject* Sender);
    void FireMouse(const TmcMouseUPDownEvent& Event, TMouseButton Button, TShiftState Shift, int X, int Y);

    bool FBorderSingle = false;
    std::unique_ptr<TdwDateTimeColors> FCalColors;
    std::unique_ptr<TdwPopupYearOptions> FPopupYearOptions;
    TDateTime FValue;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    TdwMonthOptions FOptions {mdoDayState};
    TdwCalDayOfWeek FFirstDayOfWeek = dwdowLocaleDefault;
    int FMaxSelectCount = 31;
    TDateTime FSelStart = 0;
    TDateTime FSelEnd = 0;
    TDateTime FAnchor = 0;
    bool FSelectionPending = false;
    // The first shown month as year * 12 + month - 1.
    int FFirstMonth = 0;
    // The month of the title whose menu is up, counted from the date's month.
    int FMenuMonthOffset = 0;
    TCalendarPopupMenu* FMonthMenu = nullptr;
    TCalendarPopupMenu* FYearMenu = nullptr;
};
