#include "datacontrols/datetime/dwdbdatetimepicker.h"
#include "datacontrols/datetime/dwdatetimeparts.h"

#include <algorithm>
#include <cmath>

#include "datacontrols/common/dwdatetext.h"
#include "datacontrols/common/dwdrawing.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/wwintl.h"
#include "datacontrols/edits/wwdotdot.h"
#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/db/fieldkinds.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/dropdown.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/clipbrd.h"
#include "platform/vcl/graphics/canvas.h"

namespace {

// The display format a date, time or date-time field has of its own.
String FieldDisplayFormat(const TField* Field)
{
    if (const auto* dateTime = dynamic_cast<const TDateTimeField*>(Field))
        return dateTime->DisplayFormat();
    if (const auto* date = dynamic_cast<const TDateField*>(Field))
        return date->DisplayFormat();
    return String();
}

}  // namespace

TdwDBCustomDateTimePicker::TdwDBCustomDateTimePicker(TComponent* AOwner)
    : TEdit(AOwner), FCalendarAttributes(std::make_unique<TdwCalendarOptions>()),
      FInterval(std::make_unique<TdwDTInterval>()), FButtonGlyph(std::make_unique<TBitmap>()),
      FEpoch(dwIntl()->DefaultEpochYear())
{
    FDataLink.SetControl(this);
    FDataLink.OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink.OnUpdateData = [this](TObject*) { UpdateData(); };
    FButtonHolder = new TBtnWinControl(this);
    FButtonHolder->SetParent(this);
    FButton = new TdwDateComboButton(this, this);
    FButton->SetParent(FButtonHolder);
    FButtonEffects = std::make_unique<TdwButtonEffects>(this, FButton);
    FFrame = std::make_unique<TdwEditFrame>(this);
    SetAutoSelect(false);
    // The edit never changes its text itself: every key goes through the sections.
    TEdit::SetReadOnly(true);
    SetBounds(Left(), Top(), 121, 21);
    LayoutButton();
}

TdwDBCustomDateTimePicker::~TdwDBCustomDateTimePicker()
{
    FPressWatch.reset();
    FDataLink.OnDataChange = nullptr;
    FDataLink.OnUpdateData = nullptr;
    FDataLink.SetDataSource(nullptr);
}

bool TdwDBCustomDateTimePicker::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwDBCustomDateTimePicker") || TEdit::InheritsFrom(name);
}

int TdwDBCustomDateTimePicker::DialogCode() const
{
    // Enter and Esc stay with an open calendar; Tab goes to the grid it edits in.
    int code = dlgcWantArrows | dlgcWantChars;
    if (DroppedDown() || InGrid())
        code |= dlgcWantAllKeys;
    if (InGrid())
        code |= dlgcWantTab;
    return code;
}

bool TdwDBDateTimePicker::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwDBDateTimePicker") || TdwDBCustomDateTimePicker::InheritsFrom(name);
}

// ---- properties

void TdwDBCustomDateTimePicker::SetButtonStyle(TdwComboButtonStyle Value)
{
    FButtonStyle = Value;
    FButton->Invalidate();
}

void TdwDBCustomDateTimePicker::SetButtonGlyph(TBitmap* Value)
{
    FButtonGlyph->Assign(Value);
    FButton->Invalidate();
}

void TdwDBCustomDateTimePicker::SetButtonWidth(int Value)
{
    FButtonWidth = Value;
    LayoutButton();
}

int TdwDBCustomDateTimePicker::EffectiveButtonWidth() const
{
    // By default as wide as a vertical scroll bar.
    return FButtonWidth > 0 ? FButtonWidth : std::max(dwScrollBarWidth, dwMinButtonWidth);
}

void TdwDBCustomDateTimePicker::SetShowButton(bool Value)
{
    FShowButton = Value;
    LayoutButton();
}

void TdwDBCustomDateTimePicker::LayoutButton()
{
    const bool framed = FFrame && FFrame->IsFrameEffective();
    const TRect host = dwComboButtonHostBounds(Width(), Height(), FShowButton ? EffectiveButtonWidth() : 0,
                                               BorderVisible(), framed);
    FButtonHolder->SetVisible(FShowButton);
    FButtonHolder->SetBounds(host.Left, host.Top, host.Width(), std::max(host.Height(), 0));
    FButton->SetBounds(0, 0, host.Width(), FButtonHolder->Height());
    // The text keeps inside the frame and left of the button.
    TRect text = ClientRect();
    if (framed)
        TdwEditFrame::AdjustEditRect(FFrame.get(), text);
    else
        text.Left = text.Top = 0;
    if (FShowButton)
        text.Right = std::min(text.Right, host.Left);
    SetTextMargins(Rect(text.Left, text.Top, std::max(0, Width() - BorderWidth() - text.Right), 0));
}

bool TdwDBCustomDateTimePicker::SetPublishedOrdinal(const String& Name, int Value)
{
    if (Name != "BorderStyle")
        return false;
    SetBorderStyle(Value == dwBorderNone ? bsNone : bsSingle);
    LayoutButton();
    return true;
}

void TdwDBCustomDateTimePicker::Resize()
{
    TEdit::Resize();
    LayoutButton();
}

void TdwDBCustomDateTimePicker::SetDataSource(TDataSource* Value)
{
    FDataLink.SetDataSource(Value);
    if (!Value)
        FUnboundDataType = dwDTEdtDateTime;
    ShowValue();
}

void TdwDBCustomDateTimePicker::SetDataField(const String& Value)
{
    FDataLink.SetFieldName(Value);
    if (Value.empty())
        FUnboundDataType = dwDTEdtDateTime;
    ShowValue();
}

void TdwDBCustomDateTimePicker::Notification(TComponent* AComponent, TOperation Operation)
{
    TEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FCalendar)
        FCalendar = nullptr;
}

void TdwDBCustomDateTimePicker::SetReadOnly(bool Value)
{
    FReadOnly = Value;
    SelectSection();
}

void TdwDBCustomDateTimePicker::SetDateFormat(TDTDateFormat Value)
{
    FDateFormat = Value;
    ShowValue();
}

void TdwDBCustomDateTimePicker::SetDisplayFormat(const String& Value)
{
    FDisplayFormat = Value;
    ShowValue();
}

void TdwDBCustomDateTimePicker::SetUnboundDataType(TdwDTEditDataType Value)
{
    FUnboundDataType = Value;
    ShowValue();
}

void TdwDBCustomDateTimePicker::SetMinDate(TDateTime Value)
{
    dwCheckDateLimits(Value, 0, FMaxDate);
    FMinDate = Value;
}

void TdwDBCustomDateTimePicker::SetMaxDate(TDateTime Value)
{
    dwCheckDateLimits(Value, FMinDate, 0);
    FMaxDate = Value;
}

// ---- kind and format

TdwDTValueKind TdwDBCustomDateTimePicker::ValueKind() const
{
    if (const TField* field = Field()) {
        switch (field->DataType()) {
        case ftDate: return TdwDTValueKind::Date;
        case ftTime: return TdwDTValueKind::Time;
        default: break;
        }
        String format = FDisplayFormat.empty() ? FieldDisplayFormat(field) : FDisplayFormat;
        if (format.empty())
            format = FDateFormat == dfLong ? LongDateFormat + " " + LongTimeFormat : String("c");
        return dwFormatHasDateTokens(format) ? TdwDTValueKind::DateTime : TdwDTValueKind::Time;
    }
    switch (FUnboundDataType) {
    case dwDTEdtDate: return TdwDTValueKind::Date;
    case dwDTEdtTime: return TdwDTValueKind::Time;
    default: return TdwDTValueKind::DateTime;
    }
}

String TdwDBCustomDateTimePicker::EditFormat() const
{
    if (!FDisplayFormat.empty())
        return FDisplayFormat;
    if (const TField* field = Field();
        field && field->DataType() == ftDateTime && !FieldDisplayFormat(field).empty())
        return FieldDisplayFormat(field);
    const bool longForm = FDateFormat == dfLong;
    switch (ValueKind()) {
    case TdwDTValueKind::Time: return longForm ? LongTimeFormat : ShortTimeFormat;
    case TdwDTValueKind::Date: return longForm ? LongDateFormat : ShortDateFormat;
    default: return longForm ? LongDateFormat + " " + LongTimeFormat : String("c");
    }
}

void TdwDBCustomDateTimePicker::UpdateRules()
{
    TdwDTEditRules& rules = FEditor.Rules;
    rules.Kind = ValueKind();
    rules.Format = EditFormat();
    // The long form of a value without time of day is the long date alone.
    rules.MidnightFormat =
            FDisplayFormat.empty() && FDateFormat == dfLong && rules.Kind != TdwDTValueKind::Time
                    ? LongDateFormat
                    : String();
    rules.MinDate = FMinDate;
    rules.MaxDate = FMaxDate;
    rules.Epoch = FEpoch;
    rules.MinutesInterval = FInterval->MinutesInterval();
    rules.RoundMinutes = FInterval->RoundMinutes();
    rules.FirstDayOfWeek = dwFirstDayOfWeek(FCalendarAttributes->FirstDayOfWeek());
}

bool TdwDBCustomDateTimePicker::WaitingForField() const
{
    return !Field() && (DataSource() || !DataField().empty());
}

bool TdwDBCustomDateTimePicker::InGrid() const { return dwParentIsGrid(this); }

// ---- showing the value

void TdwDBCustomDateTimePicker::ShowValue()
{
    UpdateRules();
    const String text = WaitingForField() ? String() : FEditor.Layout().Text;
    if (text != Text()) {
        const bool modified = Modified();
        FShowingText = true;
        SetText(text);
        FShowingText = false;
        SetModified(modified);
    }
    SelectSection();
}

bool TdwDBCustomDateTimePicker::WholeTextSelected() const
{
    return SelStart() == 0 && SelLength() >= static_cast<int>(Text().size());
}

void TdwDBCustomDateTimePicker::SelectSection()
{
    if (!TypingAllowed()) {
        SelectAll();
        return;
    }
    if (DroppedDown()) {
        SetSelStart(0);
        SetSelLength(0);
        return;
    }
    const TdwDTLayout layout = FEditor.Layout();
    const size_t index = static_cast<size_t>(FEditor.Section - 1);
    if (index >= layout.Sections.size()) {
        SetSelStart(0);
        SetSelLength(0);
        return;
    }
    const TdwDTSection& section = layout.Sections[index];
    if (FEditor.Pending()) {
        // The caret stays after the digits typed so far.
        SetSelStart(section.Start + section.Length);
        SetSelLength(0);
    } else {
        SetSelStart(section.Start);
        SetSelLength(section.Length);
    }
}

void TdwDBCustomDateTimePicker::SetValueChecked(TDateTime Value)
{
    UpdateRules();
    const bool modified = Modified();
    const bool pureTime = dwDayOf(Value) == 0 && FEditor.Rules.Kind == TdwDTValueKind::Time;
    const bool fieldNull = Field() && Field()->IsNull();
    if (!pureTime && !fieldNull)
        dwCheckDateLimits(Value, FMinDate, FMaxDate);
    FEditor.SetValue(Value);
    FEditor.Null = Value == 0 && FEditor.Rules.Kind != TdwDTValueKind::Time;
    ShowValue();
    SetModified(modified);
}

TDateTime TdwDBCustomDateTimePicker::Date()
{
    FEditor.FoldPending();
    if (ValueKind() == TdwDTValueKind::Time || FEditor.Null)
        return 0;
    return FEditor.Value;
}

TDateTime TdwDBCustomDateTimePicker::Time()
{
    FEditor.FoldPending();
    if (ValueKind() == TdwDTValueKind::Date || FEditor.Null)
        return 0;
    return FEditor.Value;
}

void TdwDBCustomDateTimePicker::SetDate(TDateTime Value)
{
    if (ValueKind() == TdwDTValueKind::Time)
        return;
    if (Value == 0) {
        // No date: the field is written as null.
        FEditor.SetValue(0);
        FEditor.Null = true;
        ShowValue();
        return;
    }
    TDateTime value = FEditor.Value;
    if (FEditor.Null || dwDayOf(Value) != dwDayOf(FEditor.Value))
        value = dwComposeDateTime(dwDayOf(Value),
                                  FEditor.Null ? dwTimeOfDay(Value) : dwTimeOfDay(FEditor.Value));
    dwCheckDateLimits(value, FMinDate, FMaxDate);
    FEditor.SetValue(value);
    FEditor.Null = false;
    ShowValue();
}

void TdwDBCustomDateTimePicker::SetTime(TDateTime Value)
{
    if (ValueKind() == TdwDTValueKind::Date)
        return;
    if (Value == 0 && !Field()) {
        FEditor.SetValue(0);
        FEditor.Null = ValueKind() != TdwDTValueKind::Time;
        ShowValue();
        return;
    }
    FEditor.SetValue(dwComposeDateTime(dwDayOf(FEditor.Value), dwTimeOfDay(Value)));
    FEditor.Null = false;
    ShowValue();
}

// ---- the data link

bool TdwDBCustomDateTimePicker::TypingAllowed() const
{
    if (FReadOnly)
        return false;
    TField* field = Field();
    if (!field)
        return true;
    TDataSet* dataSet = field->DataSet();
    if (field->ReadOnly() || !dataSet || !dataSet->CanModify())
        return false;
    TDataSource* source = DataSource();
    return source->AutoEdit() || source->State() == dsEdit || source->State() == dsInsert;
}

bool TdwDBCustomDateTimePicker::EditingAllowed() const
{
    TField* field = Field();
    if (!field)
        return true;
    const TDataSetState state = DataSource()->State();
    if (state == dsEdit || state == dsInsert)
        return true;
    // A data field is written only once its record is being edited.
    return !FReadOnly && (field->FieldKind() == fkCalculated || field->FieldKind() == fkLookup) &&
           !field->ReadOnly() && field->DataSet()->CanModify();
}

bool TdwDBCustomDateTimePicker::BeginEdit()
{
    if (!TypingAllowed())
        return false;
    if (Field() && !FDataLink.Edit())
        return false;
    return true;
}

void TdwDBCustomDateTimePicker::DataChange()
{
    TField* field = Field();
    if (field && field->Alignment() != FAlignment) {
        FAlignment = field->Alignment();
        Invalidate();
    }
    if (!field) {
        if (WaitingForField())
            ShowValue();
        return;
    }
    const TDataSetState state = DataSource()->State();
    FEditor.ShowMidnightTime = false;
    if (field->IsNull()) {
        FEditor.SetValue(0);
        FEditor.Null = true;
    } else {
        FEditor.SetValue(field->AsDateTime());
        FEditor.Null = false;
    }
    if (state == dsBrowse || (state == dsInsert && field->IsNull()))
        FEditor.Section = 1;
    ShowValue();
    SetModified(false);
}

void TdwDBCustomDateTimePicker::UpdateData()
{
    TField* field = Field();
    if (!field || !Modified())
        return;
    if (!FDataLink.Editing() && field->FieldKind() != fkCalculated && field->FieldKind() != fkLookup)
        return;
    FEditor.FoldPending();
    const TDateTime fieldValue = field->IsNull() ? 0 : field->AsDateTime();
    switch (ValueKind()) {
    case TdwDTValueKind::Date:
        // A date keeps the time of day the field had.
        if (FEditor.Null || dwDayOf(FEditor.Value) == 0)
            field->Clear();
        else
            field->SetAsDateTime(dwComposeDateTime(dwDayOf(FEditor.Value), dwTimeOfDay(fieldValue)));
        return;
    case TdwDTValueKind::Time: {
        // A time keeps the day the field had.
        const TDateTime value =
                dwComposeDateTime(dwDayOf(fieldValue), FEditor.Null ? 0 : dwTimeOfDay(FEditor.Value));
        if (value == 0 && FEditor.Null)
            field->Clear();
        else
            field->SetAsDateTime(value);
        return;
    }
    case TdwDTValueKind::DateTime:
        if (FEditor.Null || FEditor.Value == 0)
            field->Clear();
        else
            field->SetAsDateTime(FEditor.Value);
        return;
    }
}

void TdwDBCustomDateTimePicker::Change()
{
    TEdit::Change();
    if (FShowingText)
        return;
    FDataLink.Modified();
}

// ---- focus and mouse

void TdwDBCustomDateTimePicker::DoEnter()
{
    UpdateRules();
    if (InGrid())
        FEditor.Section = 1;
    if (!Field() || !Field()->IsNull())
        FEditor.EntryValue = FEditor.Value;
    ShowValue();
    if (!Field())
        SetModified(false);
    TEdit::DoEnter();
    SelectSection();
    if (FFrame->IsFrameEffective())
        FFrame->SetNonFocusTransparent(false);
    LayoutButton();
    Invalidate();
    FButton->Invalidate();
}

void TdwDBCustomDateTimePicker::DoExit()
{
    CloseUp(true);
    FEditor.FoldPending();
    ShowValue();
    if (Modified() && Field())
        FDataLink.UpdateRecord();
    TEdit::DoExit();
    FreeCalendar();
    if (FFrame->IsFrameEffective())
        FFrame->SetNonFocusTransparent(FFrame->Transparent());
    Invalidate();
    FButton->Invalidate();
}

void TdwDBCustomDateTimePicker::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TEdit::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || Text().empty())
        return;
    if (CanFocus() && !Focused())
        SetFocus();
    FEditor.FoldPending();
    UpdateRules();
    const TdwDTLayout layout = FEditor.Layout();
    // The clicked section is the first whose text ends right of the click.
    TBitmap measure;
    measure.Canvas()->SetFont(Font());
    const int x = X - TextMargins().Left - 2;
    for (size_t k = 0; k < layout.Sections.size(); ++k) {
        const TdwDTSection& section = layout.Sections[k];
        const int end = measure.Canvas()->TextWidth(
                layout.Text.substr(0, static_cast<size_t>(section.Start + section.Length)));
        if (end > x || k + 1 == layout.Sections.size()) {
            FEditor.Section = static_cast<int>(k) + 1;
            break;
        }
    }
    ShowValue();
}

void TdwDBCustomDateTimePicker::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TEdit::MouseUp(Button, Shift, X, Y);
    // The edit has placed its caret by now; the section (or the whole text after a
    // double click) is selected again.
    if (FDoubleClicked)
        SelectAll();
    else
        SelectSection();
    FDoubleClicked = false;
}

void TdwDBCustomDateTimePicker::DblClick()
{
    TEdit::DblClick();
    FDoubleClicked = true;
    SelectAll();
}

// ---- painting

bool TdwDBCustomDateTimePicker::PaintsOwnText() const { return !Focused(); }

void TdwDBCustomDateTimePicker::PaintText(TCanvas* Canvas, const TRect& ClientArea)
{
    const bool transparent = FFrame->IsFrameEffective() && FFrame->Transparent();
    int left = InGrid() ? (BorderVisible() ? 2 : 3) : 1;
    int top = -1;
    if (FFrame->IsFrameEffective())
        FFrame->GetTextOffset(false, left, top);
    // The canvas starts inside the edit's border; the button's holder is placed from the
    // control's own corner.
    dwDrawUnfocusedEditText(Canvas, ClientArea,
                            FShowButton ? FButtonHolder->Left() - BorderWidth() : ClientArea.Right,
                            transparent ? clNone : Color(), Font(),
                            transparent ? FFrame->NonFocusTransparentFontColor() : clNone, Enabled(), left,
                            top, FAlignment, Text());
}

void TdwDBCustomDateTimePicker::PaintOver(TCanvas* Canvas, const TRect& ClientArea)
{
    if (PaintsOwnText())
        PaintText(Canvas, ClientArea);
    if (FFrame->IsFrameEffective())
        dwDrawEditFrame(this, FFrame.get(), Canvas, Focused());
}

// ---- clipboard

void TdwDBCustomDateTimePicker::CutText()
{
    if (!BeginEdit()) {
        MessageBeep();
        return;
    }
    Clipboard()->SetAsText(Text());
    FEditor.SetValue(ValueKind() == TdwDTValueKind::Time ? dwDayOf(FEditor.Value) : 0);
    FEditor.Null = true;
    FEditor.Section = 1;
    ShowValue();
    SetModified(true);
    FDataLink.Modified();
}

void TdwDBCustomDateTimePicker::PasteText()
{
    if (!BeginEdit()) {
        MessageBeep();
        return;
    }
    const String text = Trim(Clipboard()->AsText());
    TDateTime value = 0;
    if (ValueKind() == TdwDTValueKind::Time) {
        value = dwTextToTime(text);
        if (value != 0)
            value = dwComposeDateTime(dwDayOf(FEditor.Value), value);
    } else {
        value = dwTextToDate(text);
        if (value == 0)
            value = dwTextToDateTime(text);
    }
    if (value != 0) {
        if (FEditor.WithinLimits(value) || ValueKind() == TdwDTValueKind::Time) {
            FEditor.SetValue(value);
            FEditor.Null = false;
        } else {
            MessageBeep();
        }
    }
    ShowValue();
    SetModified(true);
    FDataLink.Modified();
}
