#pragma once
// The date/time picker: an edit that shows a date, a time or both and edits them one
// section at a time by keys, with a button that drops down a month calendar. Bound
// through a field data link to a date, time or date-time field, or unbound.

#include <memory>

#include "datacontrols/common/dwbuttonhost.h"
#include "datacontrols/common/dwcellcontrol.h"
#include "datacontrols/common/dwproperties.h"
#include "datacontrols/datetime/dwdatetimeediting.h"
#include "datacontrols/datetime/dwmonthcalendar.h"
#include "datacontrols/edits/dweditframe.h"
#include "platform/db/datalink.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/edits.h"
#include "platform/vcl/graphics/bitmap.h"

class TOutsidePressWatch;
class TdwDBCustomDateTimePicker;

enum TdwDTCalAlignment { dwdtaLeft, dwdtaRight, dwdtaCenter };
enum TdwDTEditDataType { dwDTEdtDateTime, dwDTEdtDate, dwDTEdtTime };
enum TDTDateFormat { dfShort, dfLong };

// The minute step of Up and Down.
class TdwDTInterval : public TPersistent {
public:
    String ClassName() const override { return "TdwDTInterval"; }
    int MinutesInterval() const { return FMinutesInterval; }
    void SetMinutesInterval(int Value) { FMinutesInterval = Value; }
    // Steps land on multiples of the interval.
    bool RoundMinutes() const { return FRoundMinutes; }
    void SetRoundMinutes(bool Value) { FRoundMinutes = Value; }

private:
    int FMinutesInterval = 1;
    bool FRoundMinutes = false;
};

// The settings handed to the drop-down calendar.
class TdwCalendarOptions : public TPersistent {
public:
    TdwCalendarOptions();
    String ClassName() const override { return "TdwCalendarOptions"; }

    TdwDTCalAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TdwDTCalAlignment Value) { FAlignment = Value; }
    TdwDateTimeColors* Colors() const { return FColors.get(); }
    void SetColors(TdwDateTimeColors* Value) { FColors->Assign(Value); }
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TdwMonthOptions Options() const { return FOptions; }
    void SetOptions(TdwMonthOptions Value) { FOptions = Value; }
    TdwPopupYearOptions* PopupYearOptions() const { return FPopupYearOptions.get(); }
    void SetPopupYearOptions(TdwPopupYearOptions* Value) { FPopupYearOptions->Assign(Value); }
    TdwCalDayOfWeek FirstDayOfWeek() const { return FFirstDayOfWeek; }
    void SetFirstDayOfWeek(TdwCalDayOfWeek Value) { FFirstDayOfWeek = Value; }
    // The calendar's size; 0, or less than its minimum, takes the minimum.
    int Width() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }

private:
    TdwDTCalAlignment FAlignment = dwdtaLeft;
    std::unique_ptr<TdwDateTimeColors> FColors;
    std::unique_ptr<TFont> FFont;
    TdwMonthOptions FOptions {mdoDayState};
    std::unique_ptr<TdwPopupYearOptions> FPopupYearOptions;
    TdwCalDayOfWeek FFirstDayOfWeek = dwdowLocaleDefault;
    int FWidth = 0;
    int FHeight = 0;
};

// The drop-down button. Flat, it shows only its glyph while its picker has no focus.
class TdwDateComboButton : public TdwPressedLookButton {
public:
    TdwDateComboButton(TComponent* AOwner, TdwDBCustomDateTimePicker* Picker);
    String ClassName() const override { return "TdwDateComboButton"; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TdwDBCustomDateTimePicker* FPicker;
};

// The drop-down calendar: a month calendar in a window of its own below the picker.
class TdwPopupCalendar : public TdwMonthCalendar {
public:
    explicit TdwPopupCalendar(TdwDBCustomDateTimePicker* Picker);
    String ClassName() const override { return "TdwPopupCalendar"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }
    TdwDBCustomDateTimePicker* Picker() const { return FPicker; }

protected:
    void UpdateWidgetVisibility() override;
    void Change() override;
    void DayClicked() override;

private:
    TdwDBCustomDateTimePicker* FPicker;
};

// Where the drop-down calendar goes: below the control (Control in screen pixels), or
// above it when it would pass the bottom of the work area and there is room above;
// aligned as Alignment says and kept within the work area's left and right edges.
TPoint dwDropDownPosition(const TRect& Control, TSize Calendar, TdwDTCalAlignment Alignment, int ButtonWidth,
                          const TRect& WorkArea);

class TdwDBCustomDateTimePicker : public TEdit, public TdwPublished, public IdwCellNavigationKeys {
public:
    explicit TdwDBCustomDateTimePicker(TComponent* AOwner);
    ~TdwDBCustomDateTimePicker() override;

    String ClassName() const override { return "TdwDBCustomDateTimePicker"; }
    bool InheritsFrom(const String& name) const override;
    int DialogCode() const override;

    TdwCalendarOptions* CalendarAttributes() const { return FCalendarAttributes.get(); }
    TdwComboButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TdwComboButtonStyle Value);
    TBitmap* ButtonGlyph() const { return FButtonGlyph.get(); }
    void SetButtonGlyph(TBitmap* Value);
    // 0 is the default width.
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    bool ShowButton() const { return FShowButton; }
    virtual void SetShowButton(bool Value);
    TdwDateComboButton* Button() const { return FButton; }
    TdwButtonEffects* ButtonEffects() const { return FButtonEffects.get(); }
    // The picker's own frame in place of the edit's border.
    TdwEditFrame* Frame() const { return FFrame.get(); }
    // The glyph the button shows: the custom one, or the small arrow of a flat
    // drop-down button; none otherwise.
    TBitmap* ShownButtonGlyph();

    TDataSource* DataSource() const { return FDataLink.DataSource(); }
    void SetDataSource(TDataSource* Value);
    const String& DataField() const { return FDataLink.FieldName(); }
    void SetDataField(const String& Value);
    TField* Field() const { return FDataLink.Field(); }
    // The picker's own read-only state; the field's and the data set's also keep it from
    // writing.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    TDTDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat Value);
    const String& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const String& Value);
    TdwDTEditDataType UnboundDataType() const { return FUnboundDataType; }
    void SetUnboundDataType(TdwDTEditDataType Value);

    // The value's date (0 for a time-only picker) and time (0 for a date-only one); both
    // are the whole value otherwise. The setters raise EDateTimeError beyond the limits.
    TDateTime Date();
    void SetDate(TDateTime Value);
    TDateTime Time();
    void SetTime(TDateTime Value);
    // 0 is no limit.
    TDateTime MinDate() const { return FMinDate; }
    void SetMinDate(TDateTime Value);
    TDateTime MaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime Value);
    // First year of the 100 years two-digit years fall in.
    int Epoch() const { return FEpoch; }
    void SetEpoch(int Value) { FEpoch = Value; }
    TdwDTInterval* Interval() const { return FInterval.get(); }

    // The kind of value edited, from the field's type or UnboundDataType.
    TdwDTValueKind ValueKind() const;
    // The format the text follows.
    String EditFormat() const;
    // 1-based; the section shown selected.
    int CurrentSection() const { return FEditor.Section; }
    // The value is empty and is written to the field as null.
    bool IsNullValue() const { return FEditor.Null; }

    virtual void DropDown();
    virtual void CloseUp(bool Accept);
    virtual bool DroppedDown() const;
    TdwPopupCalendar* Calendar() const { return FCalendar; }

    // A character typed over the grid cell the picker edits, handled as if typed here.
    void TypeChar(char C);

    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // BorderStyle, which the frame turns off.
    bool SetPublishedOrdinal(const String& Name, int Value) override;

    TCalcBoldDayEvent OnCalcBoldDay;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

protected:
    void DoEnter() override;
    void DoExit() override;
    void Change() override;
    void Resize() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;
    void PaintOver(TCanvas* Canvas, const TRect& ClientArea) override;
    // The value may be written: unbound, the record being edited, or a field that can be.
    virtual bool EditingAllowed() const;
    // The button's face as its style and effects draw it.
    virtual void PaintButtonFace(TCanvas* Canvas, const TRect& Rect, bool Pressed);

private:
    friend class TdwDateComboButton;
    friend class TdwPopupCalendar;

    // Keys may change the value: not read-only, and a bound field that can be modified
    // in a data set that is being edited or may be put into edit state.
    bool TypingAllowed() const;
    bool InGrid() const;
    // Unbound, but with a data source or field name set: shows nothing, takes no keys.
    bool WaitingForField() const;
    void UpdateRules();
    // Shows the value as text and selects the current section.
    void ShowValue();
    void SelectSection();
    // Stores a value from outside, checked against the limits.
    void SetValueChecked(TDateTime Value);
    // Starts an edit from the keyboard: the record goes into edit state first.
    bool BeginEdit();
    void EditDone(TdwDTEditResult Result);
    void DataChange();
    void UpdateData();
    // Sends Key to the grid the picker sits in; true when it went there.
    bool GridTakesKey(Word Key, TShiftState Shift);
    bool IsGridKey(Word Key, TShiftState Shift) const;
    // Over a grid's cell: Alt+Down and Alt+Up drop the calendar down.
    bool UsesCellKey(Word Key, TShiftState Shift) const override { return dwIsDropDownKey(Key, Shift); }
    bool WholeTextSelected() const;
    TDateTime Today() const;
    void EditKey(Word Key, TShiftState Shift);
    void CutText();
    void PasteText();
    void ClearValue();
    void DroppedDownKey(Word& Key, TShiftState Shift);
    void ButtonMouseDown();
    void CalendarChanged();
    void FreeCalendar();
    void LayoutButton();
    int EffectiveButtonWidth() const;
    // Without the focus the picker draws its text itself, placed as the field's
    // Alignment says.
    bool PaintsOwnText() const;
    void PaintText(TCanvas* Canvas, const TRect& ClientArea);
    // The border's width around the edit's client area.
    int BorderWidth() const { return BorderVisible() ? 2 : 0; }

    TFieldDataLink FDataLink;
    std::unique_ptr<TdwCalendarOptions> FCalendarAttributes;
    std::unique_ptr<TdwDTInterval> FInterval;
    std::unique_ptr<TBitmap> FButtonGlyph;
    std::unique_ptr<TBitmap> FFlatArrowGlyph;
    TBtnWinControl* FButtonHolder;
    TdwDateComboButton* FButton;
    std::unique_ptr<TdwButtonEffects> FButtonEffects;
    std::unique_ptr<TdwEditFrame> FFrame;
    TdwPopupCalendar* FCalendar = nullptr;
    std::unique_ptr<TOutsidePressWatch> FPressWatch;
    TdwDateTimeSectionEditor FEditor;

    TdwComboButtonStyle FButtonStyle = cbsDownArrow;
    int FButtonWidth = 0;
    bool FShowButton = true;
    bool FReadOnly = false;
    TDTDateFormat FDateFormat = dfShort;
    String FDisplayFormat;
    TdwDTEditDataType FUnboundDataType = dwDTEdtDateTime;
    TDateTime FMinDate = 0;
    TDateTime FMaxDate = 0;
    int FEpoch;
    // The linked field's alignment, which places the text drawn without the focus.
    TAlignment FAlignment = taLeftJustify;

    // The value and null state saved at drop-down, restored on cancel.
    TDateTime FDropValue = 0;
    bool FDropNull = true;
    bool FClosingUp = false;
    bool FSavedShowHint = false;
    // The last Esc closed the calendar: the next one only shows the caret.
    bool FEscClosedCalendar = false;
    // KeyDown dealt with the key: its character is not handled again.
    bool FKeyDone = false;
    bool FShowingText = false;
    bool FDoubleClicked = false;
};

class TdwDBDateTimePicker : public TdwDBCustomDateTimePicker {
public:
    using TdwDBCustomDateTimePicker::TdwDBCustomDateTimePicker;
    String ClassName() const override { return "TdwDBDateTimePicker"; }
    bool InheritsFrom(const String& name) const override;
};
