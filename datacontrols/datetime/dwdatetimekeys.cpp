// The date/time picker's keys: those a grid around it takes back, the keys of an open
// calendar, and the section editing.

#include <algorithm>
#include <cctype>
#include <cmath>

#include "datacontrols/common/dwcellcontrol.h"
#include "datacontrols/datetime/dwdatetimeparts.h"
#include "datacontrols/datetime/dwdbdatetimepicker.h"
#include "platform/db/datasource.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/clipbrd.h"
#include "platform/vcl/forms/guiscreen.h"

namespace {

bool IsLetterKey(Word Key) { return Key >= 'A' && Key <= 'Z'; }

// The digit of a digit key, on the main keys or the keypad; -1 for other keys.
int DigitOf(Word Key)
{
    if (Key >= '0' && Key <= '9')
        return Key - '0';
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9)
        return Key - VK_NUMPAD0;
    return -1;
}

}  // namespace

TDateTime TdwDBCustomDateTimePicker::Today() const
{
    const TDateTime today = dwDayOf(Now());
    if (FMaxDate != 0 && today > dwDayOf(FMaxDate))
        return dwDayOf(FMaxDate);
    if (FMinDate != 0 && today < dwDayOf(FMinDate))
        return dwDayOf(FMinDate);
    return today;
}

// ---- keys the grid takes back

bool TdwDBCustomDateTimePicker::IsGridKey(Word Key, TShiftState Shift) const
{
    const auto* host = dwCellHostOf(this);
    const bool alwaysShown = host && host->CellEditorAlwaysShown() && !DroppedDown();
    const bool ctrl = Shift.Contains(ssCtrl);
    const int end = static_cast<int>(Text().size());
    if (!TypingAllowed() && (Key == VK_HOME || Key == VK_END || Key == VK_LEFT || Key == VK_RIGHT))
        return true;
    switch (Key) {
    case VK_UP:
    case VK_DOWN: return ctrl || WholeTextSelected();
    case VK_ESCAPE: return !Modified();
    case VK_PRIOR:
    case VK_NEXT: return !DroppedDown() && !Shift.Contains(ssAlt);
    case VK_HOME: return alwaysShown && (ctrl || (SelStart() == 0 && WholeTextSelected()));
    case VK_END: return alwaysShown && (ctrl || (SelStart() + SelLength() >= end && WholeTextSelected()));
    case VK_LEFT: return alwaysShown && (ctrl || SelStart() == 0);
    case VK_RIGHT: return alwaysShown && (ctrl || SelStart() + SelLength() >= end);
    case VK_INSERT: return !Shift.Contains(ssShift);
    case VK_DELETE: return ctrl;
    case VK_TAB: return host && host->CellTabs();
    case VK_RETURN: return true;
    default: return false;
    }
}

bool TdwDBCustomDateTimePicker::GridTakesKey(Word Key, TShiftState Shift)
{
    if (!InGrid() || !IsGridKey(Key, Shift))
        return false;
    TWinControl* grid = Parent();
    if (Key == VK_ESCAPE || Key == VK_RETURN || Key == VK_TAB || Key == VK_UP || Key == VK_DOWN ||
        Key == VK_PRIOR || Key == VK_NEXT)
        FEditor.FoldPending();
    // The library's grid moves on as from its own editor (Enter only with EnterToTab).
    if (IdwCellControlHost* host = dwCellHostOf(this)) {
        host->CellControlKey(Key, Shift);
        return true;
    }
    if (grid->CanFocus())
        grid->SetFocus();
    if (grid->Focused() && Key != VK_RETURN) {
        Word key = Key;
        grid->KeyDown(key, Shift);
    }
    return true;
}

// ---- keys

void TdwDBCustomDateTimePicker::KeyDown(Word& Key, TShiftState Shift)
{
    FKeyDone = false;
    TEdit::KeyDown(Key, Shift);
    if (Key == 0)
        return;
    if (Key == VK_TAB && DroppedDown())
        CloseUp(true);
    if (DroppedDown()) {
        DroppedDownKey(Key, Shift);
        FKeyDone = Key == 0;
        return;
    }
    if (Shift.Contains(ssAlt) && (Key == VK_DOWN || Key == VK_UP)) {
        Key = 0;
        FKeyDone = true;
        DropDown();
        return;
    }
    if (Key == VK_F2 && InGrid()) {
        Key = 0;
        FKeyDone = true;
        FEditor.FoldPending();
        FEditor.Section = 1;
        SelectSection();
        return;
    }
    if (GridTakesKey(Key, Shift)) {
        Key = 0;
        FKeyDone = true;
        return;
    }
    // Reported to the grid's own key handler as well, Enter and Tab only while here.
    if (InGrid() && Parent()->OnKeyDown &&
        ((Key != VK_RETURN && Key != VK_TAB) || GuiScreen()->ActiveControl() == this)) {
        Word key = Key;
        Parent()->OnKeyDown(Parent(), key, Shift);
    }
    const Word key = Key;
    switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU: return;
    default: break;
    }
    if (Shift.Contains(ssCtrl) && (key == 'X' || key == 'V' || key == 'C')) {
        Key = 0;
        FKeyDone = true;
        if (key == 'X')
            CutText();
        else if (key == 'V')
            PasteText();
        else
            Clipboard()->SetAsText(Text());
        return;
    }
    if ((Shift.Contains(ssShift) && key == VK_DELETE) || (Shift.Contains(ssShift) && key == VK_INSERT)) {
        Key = 0;
        FKeyDone = true;
        key == VK_DELETE ? CutText() : PasteText();
        return;
    }
    if (Shift.Contains(ssShift) && (key == VK_HOME || key == VK_END)) {
        Key = 0;
        SelectAll();
        return;
    }
    const bool navigation = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN ||
                            key == VK_HOME || key == VK_END || key == VK_DELETE || key == VK_BACK;
    if (navigation || DigitOf(key) >= 0 || IsLetterKey(key)) {
        Key = 0;
        if (!WaitingForField() && TypingAllowed())
            EditKey(key, Shift);
    }
}

void TdwDBCustomDateTimePicker::EditKey(Word Key, TShiftState Shift)
{
    UpdateRules();
    const bool wholeSelected = WholeTextSelected() && !Text().empty();
    if (Key == VK_BACK && !wholeSelected)
        Key = VK_LEFT;
    if ((Key == VK_DELETE || Key == VK_BACK) && !FEditor.Pending()) {
        ClearValue();
        return;
    }
    if (Key == VK_DELETE || Key == VK_BACK)
        return;
    // An empty picker starts from today (a time from now, or midnight for a digit).
    if (Text().empty() && !DroppedDown() && !Shift.Contains(ssAlt)) {
        if (!BeginEdit())
            return;
        const bool digit = DigitOf(Key) >= 0;
        if (FEditor.Rules.Kind == TdwDTValueKind::Time)
            FEditor.StartFrom(dwDayOf(FEditor.Value) + (digit ? 0 : dwTimeOfDay(Now())));
        else
            FEditor.StartFrom(Today());
        ShowValue();
        SetModified(true);
        FDataLink.Modified();
        if (Key == VK_LEFT || Key == VK_RIGHT)
            return;
    }
    TdwDTEditResult result = TdwDTEditResult::None;
    const bool edits = Key != VK_LEFT && Key != VK_RIGHT;
    if (edits && !BeginEdit()) {
        MessageBeep();
        return;
    }
    if (const int digit = DigitOf(Key); digit >= 0) {
        result = FEditor.TypeDigit(digit);
    } else if (IsLetterKey(Key)) {
        result = FEditor.TypeLetter(static_cast<char>(Key));
    } else {
        switch (Key) {
        case VK_LEFT: FEditor.MoveLeft(); break;
        case VK_RIGHT: FEditor.MoveRight(); break;
        case VK_UP:
        case VK_DOWN: {
            const TDateTime before = FEditor.Value;
            result = FEditor.Step(Key == VK_UP ? 1 : -1);
            // A step that would leave the limits does nothing but beep.
            if (result == TdwDTEditResult::None && before == FEditor.Value)
                result = TdwDTEditResult::Rejected;
            break;
        }
        case VK_HOME: result = FEditor.Home(); break;
        case VK_END: result = FEditor.End(); break;
        default: break;
        }
    }
    if (edits)
        EditDone(result);
    else
        ShowValue();
}

void TdwDBCustomDateTimePicker::EditDone(TdwDTEditResult Result)
{
    if (Result == TdwDTEditResult::Rejected)
        MessageBeep();
    if (Result == TdwDTEditResult::Changed) {
        SetModified(true);
        FDataLink.Modified();
    }
    ShowValue();
}

void TdwDBCustomDateTimePicker::ClearValue()
{
    TField* field = Field();
    TdwDTSection section;
    const bool onFirstTime = FEditor.Rules.Kind == TdwDTValueKind::DateTime &&
                             dwIsDefaultDateTimeFormat(FEditor.Rules.Format) &&
                             FEditor.CurrentSection(section) && section.Type == TdwDTSectionType::Hour;
    // A required field keeps its value; only the time of the default format goes.
    if (field && field->Required() && !onFirstTime)
        return;
    if (Text().empty() || !BeginEdit())
        return;
    EditDone(FEditor.Clear());
}

void TdwDBCustomDateTimePicker::TypeChar(char C)
{
    const unsigned char c = static_cast<unsigned char>(C);
    Word key = std::isdigit(c)   ? static_cast<Word>(c)
               : std::isalpha(c) ? static_cast<Word>(std::toupper(c))
                                 : 0;
    if (key != 0)
        KeyDown(key, TShiftState());
    char typed = C;
    KeyPress(typed);
}

void TdwDBCustomDateTimePicker::KeyPress(char& Key)
{
    if (FKeyDone) {
        FKeyDone = false;
        Key = 0;
        return;
    }
    const char key = Key;
    const bool printable = static_cast<unsigned char>(key) >= 32 || key == '\b';
    if (!TypingAllowed() && printable) {
        Key = 0;
        return;
    }
    TEdit::KeyPress(Key);
    if (Key == 0)
        return;
    Key = 0;
    UpdateRules();
    if (WaitingForField())
        return;
    if (key == ' ') {
        if (!BeginEdit())
            return;
        FEditor.StartFrom(ValueKind() == TdwDTValueKind::Date ? dwDayOf(Now()) : Now());
        FEditor.Section = std::max(1, std::min(CurrentSection(), FEditor.SectionCount()));
        EditDone(TdwDTEditResult::Changed);
        return;
    }
    const bool separator = key == '/' || key == DateSeparator || key == TimeSeparator;
    if (key == '+' || key == '=' || key == '-' || separator) {
        if (separator && FEditor.Rules.AutoAdvance && !FEditor.Pending())
            return;
        EditKey(separator ? VK_RIGHT : (key == '-' ? VK_DOWN : VK_UP), TShiftState());
        return;
    }
    if (printable && key != '\b' && Field() && !Field()->IsValidChar(key)) {
        MessageBeep();
        return;
    }
    if ((key == '\t' || key == '\r') && InGrid())
        return;
    if (key == '\r') {
        FEditor.FoldPending();
        ShowValue();
        return;
    }
    if (key == KeyChar::Escape) {
        if (FEscClosedCalendar) {
            FEscClosedCalendar = false;
            return;
        }
        // Esc takes the edit back.
        if (Field())
            FDataLink.Reset();
        else
            FEditor.SetValue(FEditor.EntryValue);
        FEditor.FoldPending();
        SetModified(false);
        FEditor.Section = 1;
        ShowValue();
        if (!InGrid()) {
            SelectAll();
        } else if (Parent()->CanFocus()) {
            Parent()->SetFocus();
        }
    }
}

// ---- keys of the open calendar

void TdwDBCustomDateTimePicker::DroppedDownKey(Word& Key, TShiftState Shift)
{
    if (Key == VK_RETURN || Key == VK_ESCAPE) {
        FEscClosedCalendar = Key == VK_ESCAPE;
        const bool accept = Key == VK_RETURN;
        Key = 0;
        CloseUp(accept);
        return;
    }
    if (Shift.Contains(ssAlt) && (Key == VK_UP || Key == VK_DOWN)) {
        Key = 0;
        CloseUp(true);
        return;
    }
    Word key = Key;
    Key = 0;
    FCalendar->KeyDown(key, Shift);
    CalendarChanged();
}
