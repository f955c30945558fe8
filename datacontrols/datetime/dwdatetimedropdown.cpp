// The date/time picker's drop-down: its button, the calendar in a window of its own,
// where that goes on the screen, and the opening and closing.

#include <algorithm>
#include <cmath>

#include "datacontrols/common/dwdrawing.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/datetime/dwdatetimeparts.h"
#include "datacontrols/datetime/dwdbdatetimepicker.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/dropdown.h"
#include "platform/vcl/controls/frames.h"
#include "platform/vcl/forms/guiscreen.h"

// ---- settings, button and holder

TdwCalendarOptions::TdwCalendarOptions()
    : FColors(std::make_unique<TdwDateTimeColors>(nullptr)), FFont(std::make_unique<TFont>()),
      FPopupYearOptions(std::make_unique<TdwPopupYearOptions>())
{
}

TdwDateComboButton::TdwDateComboButton(TComponent* AOwner, TdwDBCustomDateTimePicker* Picker)
    : TdwPressedLookButton(AOwner), FPicker(Picker)
{
}

void TdwDateComboButton::Paint()
{
    const TdwButtonEffects* effects = FPicker->ButtonEffects();
    // A flat button shows only its glyph, on the edit's background, until its picker has
    // the focus.
    if ((effects->Flat() || effects->Transparent()) && !Pressed() && !FPicker->Focused() &&
        !dwParentIsGrid(FPicker)) {
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->Brush()->SetColor(FPicker->Color());
        Canvas()->FillRect(ClientRect());
        dwDrawCentredGlyph(Canvas(), ClientRect(), FPicker->ShownButtonGlyph(), FPicker->Enabled(), false);
        return;
    }
    FPicker->PaintButtonFace(Canvas(), ClientRect(), Pressed());
}

void TdwDateComboButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TdwPressedLookButton::MouseDown(Button, Shift, X, Y);
    if (Button == mbLeft)
        FPicker->ButtonMouseDown();
}

TBitmap* TdwDBCustomDateTimePicker::ShownButtonGlyph()
{
    return dwShownButtonGlyph(FButtonStyle, FButtonGlyph.get(),
                              FButtonEffects->Flat() || FButtonEffects->Transparent(), FFlatArrowGlyph);
}

void TdwDBCustomDateTimePicker::PaintButtonFace(TCanvas* Canvas, const TRect& Rect, bool Pressed)
{
    const bool flat = FButtonEffects->Flat() || FButtonEffects->Transparent();
    const int state = Pressed ? dwButtonPushed : 0;
    if (FButtonStyle == cbsEllipsis) {
        dwDrawEllipsisButton(Canvas, Rect, state, 0, FButtonEffects->Flat(), FButtonEffects->Transparent());
        return;
    }
    if (FButtonStyle == cbsDownArrow && !flat) {
        dwDrawDropDownArrowButton(Canvas, Rect, state, 0, Enabled());
        return;
    }
    if (!FButtonEffects->Transparent()) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(clBtnFace);
        Canvas->FillRect(Rect);
    }
    dwDrawCentredGlyph(Canvas, Rect, ShownButtonGlyph(), Enabled(), Pressed);
    // A flat button has no edge.
    if (!flat) {
        TRect edge = Rect;
        DrawEdge(*Canvas, edge, Pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
}

// ---- the calendar

TdwPopupCalendar::TdwPopupCalendar(TdwDBCustomDateTimePicker* Picker)
    : TdwMonthCalendar(Picker), FPicker(Picker)
{
    SetTabStop(false);
    MakeDropDownWindow(this);
    SetVisible(false);
}

bool TdwPopupCalendar::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwPopupCalendar") || TdwMonthCalendar::InheritsFrom(name);
}

void TdwPopupCalendar::UpdateWidgetVisibility() { ShowDropDownWindow(this, Visible()); }

void TdwPopupCalendar::Change()
{
    TdwMonthCalendar::Change();
    FPicker->CalendarChanged();
}

void TdwPopupCalendar::DayClicked() { FPicker->CloseUp(true); }

TPoint dwDropDownPosition(const TRect& Control, TSize Calendar, TdwDTCalAlignment Alignment, int ButtonWidth,
                          const TRect& WorkArea)
{
    int top = Control.Bottom;
    if (top + Calendar.cy > WorkArea.Bottom && Control.Top - Calendar.cy >= WorkArea.Top)
        top = Control.Top - Calendar.cy;
    const int width = Control.Width();
    int left = Control.Left;
    if (Alignment == dwdtaRight)
        left = Control.Left + width - ButtonWidth - Calendar.cx - 1;
    else if (Alignment == dwdtaCenter)
        left = Control.Left + (width - Calendar.cx - ButtonWidth - 1) / 2;
    if (left + Calendar.cx >= WorkArea.Right)
        left = Control.Left + width - 1 - Calendar.cx;
    left += 1;
    // Never past the work area's left edge.
    left = std::max(left, WorkArea.Left);
    return Point(left, top);
}

bool TdwDBCustomDateTimePicker::DroppedDown() const { return FCalendar && FCalendar->Visible(); }

void TdwDBCustomDateTimePicker::DropDown()
{
    if (DroppedDown() || WaitingForField() || ValueKind() == TdwDTValueKind::Time)
        return;
    if (!TypingAllowed()) {
        SelectAll();
        return;
    }
    UpdateRules();
    FDropValue = FEditor.Value;
    FDropNull = FEditor.Null;
    FEditor.FoldPending();
    if (!FCalendar) {
        // Made at the first drop-down after the picker is entered; freed when it is left.
        FCalendar = new TdwPopupCalendar(this);
        FCalendar->SetBorderSingle(true);
        FCalendar->CalColors()->Assign(FCalendarAttributes->Colors());
        FCalendar->SetOptions(FCalendarAttributes->Options());
        FCalendar->SetParentFont(false);
        FCalendar->Font()->Assign(FCalendarAttributes->Font());
        FCalendar->PopupYearOptions()->Assign(FCalendarAttributes->PopupYearOptions());
        FCalendar->SetFirstDayOfWeek(FCalendarAttributes->FirstDayOfWeek());
        FCalendar->OnCalcBoldDay = OnCalcBoldDay;
        FCalendar->SetMinDate(0);
        FCalendar->SetMaxDate(FMaxDate);
        FCalendar->SetMinDate(FMinDate);
    }
    if (Text().empty() || FEditor.Value == 0) {
        if (Field())
            FDataLink.Edit();
        SetModified(true);
        if (Text().empty()) {
            FEditor.StartFrom(dwComposeDateTime(Today(), FEditor.Null ? 0 : dwTimeOfDay(FEditor.Value)));
        }
    }
    FCalendar->SetVisible(false);
    ShowValue();
    if (FEditor.WithinLimits(FEditor.Value)) {
        FCalendar->SetDate(FEditor.Value);
        FCalendar->SetTime(FEditor.Value);
    }
    if (OnDropDown)
        OnDropDown(this);
    FSavedShowHint = ShowHint();
    SetShowHint(false);

    const TSize minimum = FCalendar->MinimumSize();
    const int height =
            FCalendarAttributes->Height() >= minimum.cy ? FCalendarAttributes->Height() : minimum.cy;
    const int width = FCalendarAttributes->Width() >= minimum.cx ? FCalendarAttributes->Width() : minimum.cx;
    const TPoint origin = ClientToScreen(Point(0, 0));
    const TRect control = Rect(origin.X, origin.Y, origin.X + Width(), origin.Y + Height());
    const TPoint at = dwDropDownPosition(control, TSize {width, height}, FCalendarAttributes->Alignment(),
                                         EffectiveButtonWidth(), GuiScreen()->WorkAreaRect());
    FCalendar->SetBounds(at.X, at.Y, width, height);
    FCalendar->SetVisible(true);
    SelectSection();
    // A press anywhere outside the calendar and the picker closes it, taking its date.
    FPressWatch =
            std::make_unique<TOutsidePressWatch>(std::vector<const TControl*> {FCalendar, this}, [this] {
                if (!DroppedDown() || (FCalendar->YearMenu() && FCalendar->YearMenu()->Showing()))
                    return;
                CloseUp(true);
            });
}

void TdwDBCustomDateTimePicker::CloseUp(bool Accept)
{
    if (FClosingUp || !DroppedDown())
        return;
    FClosingUp = true;
    const TDateTime chosen = dwComposeDateTime(dwDayOf(FCalendar->Date()), FCalendar->Time());
    FCalendar->SetVisible(false);
    if (Accept) {
        TField* field = Field();
        const String fieldText =
                field && !field->IsNull() ? FormatDateTime(EditFormat(), field->AsDateTime()) : String();
        if ((!field || FormatDateTime(EditFormat(), chosen) != fieldText) && EditingAllowed()) {
            if (FEditor.WithinLimits(chosen)) {
                FEditor.SetValue(chosen);
                FEditor.Null = false;
            }
            SetModified(true);
            FDataLink.Modified();
        }
    } else {
        FEditor.SetValue(FDropValue);
        FEditor.Null = FDropNull;
    }
    if (OnCloseUp)
        OnCloseUp(this);
    SetShowHint(FSavedShowHint);
    ShowValue();
    FClosingUp = false;
    FPressWatch.reset();
}

void TdwDBCustomDateTimePicker::CalendarChanged()
{
    if (!FCalendar || !TypingAllowed() || FClosingUp)
        return;
    if (Field())
        FDataLink.Edit();
    SetModified(true);
    FDataLink.Modified();
    FEditor.SetValue(
            dwComposeDateTime(dwDayOf(FCalendar->Date()), FEditor.Null ? 0 : dwTimeOfDay(FEditor.Value)));
    FEditor.Null = false;
    ShowValue();
}

void TdwDBCustomDateTimePicker::ButtonMouseDown()
{
    dwDropDownButtonClick(
            this, DroppedDown(), [this] { CloseUp(true); }, [this] { DropDown(); });
}

void TdwDBCustomDateTimePicker::FreeCalendar()
{
    FPressWatch.reset();
    delete FCalendar;
    FCalendar = nullptr;
}
