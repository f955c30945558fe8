#include "datacontrols/edits/wwdbcomb.h"

#include <algorithm>

#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/dwwindows.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/dropdown.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/forms/userinput.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"

namespace {

// Type-ahead in an owner-drawn list starts afresh after this pause.
constexpr double SearchPauseDays = 1.5 / (24 * 60 * 60);
// LB_SELECTSTRING searches at most this long a text.
constexpr size_t MaxSearchLength = 32;

bool IsPrintable(char Key) { return static_cast<unsigned char>(Key) >= 32; }

TRect ScreenRectOf(const TControl* Control)
{
    const TPoint origin = Control->ClientToScreen(Point(0, 0));
    return Bounds(origin.X, origin.Y, Control->Width(), Control->Height());
}

// The character a key typed: letters and digits, the number pad's digits as digits.
char KeyCharacter(Word Key)
{
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9)
        return static_cast<char>('0' + (Key - VK_NUMPAD0));
    return static_cast<char>(Key);
}

}  // namespace

String dwComboDisplayPart(const String& Item)
{
    const size_t tab = Item.find('\t');
    return tab == String::npos ? Item : Item.substr(0, tab);
}

String dwComboValuePart(const String& Item)
{
    const size_t tab = Item.find('\t');
    return tab == String::npos ? Item : Item.substr(tab + 1);
}

int dwDropDownHeight(int ItemCount, int DropDownCount, int ItemHeight)
{
    return std::min(ItemCount, DropDownCount) * ItemHeight + 4;
}

TRect dwDropDownBounds(const TRect& Combo, int ListWidth, int ListHeight, int ScreenWidth, int ScreenHeight)
{
    int left = Combo.Left;
    int top = Combo.Bottom - 1;
    if (top + ListHeight > ScreenHeight)
        top = Combo.Top - ListHeight;
    if (left + ListWidth > ScreenWidth)
        left = Combo.Right - 1 - ListWidth;
    return Bounds(left, top, ListWidth, ListHeight);
}

// ---------------------------------------------------------------- TdwPopupListbox

TdwPopupListbox::TdwPopupListbox(TdwDBCustomComboBox* Combo) : TPopupListBox(Combo), FCombo(Combo) { }

TdwPopupListbox::~TdwPopupListbox() = default;

bool TdwPopupListbox::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwPopupListbox") || TPopupListBox::InheritsFrom(name);
}

void TdwPopupListbox::Popup(const TRect& Bounds)
{
    SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    SetVisible(true);
    FSearchText.clear();
    // The list's own watch: it ends with this list's closing, whatever other lists do.
    if (!FPressWatch)
        FPressWatch = std::make_unique<TOutsidePressWatch>(
                std::vector<const TControl*> {this, FCombo}, [this] { FCombo->CloseUp(true); },
                [this] { ActiveWindowChanged(); });
}

void TdwPopupListbox::ClosePopup()
{
    FPressWatch.reset();
    SetVisible(false);
}

// The combo's window lost the keyboard (another window, a modal box): the list closes as
// when the combo loses the focus. The watch calls this once the change is done, when the
// window's record of being active has followed it.
void TdwPopupListbox::ActiveWindowChanged()
{
    TCustomForm* form = FCombo->ParentForm();
    if (FCombo->IsDroppedDown() && (!form || !form->Active()))
        FCombo->CloseUp(true);
}

void TdwPopupListbox::ItemClicked() { FCombo->CloseUp(true); }

void TdwPopupListbox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State)
{
    if (!FCombo->OnDrawItem)
        return TPopupListBox::DrawItem(Index, Rect, State);
    if (!State.Contains(odSelected))
        Canvas()->FillRect(Rect);
    FCombo->DrawItemOn(Canvas(), Index, Rect, State);
}

void TdwPopupListbox::MeasureItem(int Index, int& Height)
{
    if (FCombo->OnMeasureItem)
        FCombo->OnMeasureItem(FCombo, Index, Height);
}

void TdwPopupListbox::SearchKey(char Key)
{
    if (Key == KeyChar::Backspace || Key == KeyChar::Escape) {
        FSearchText.clear();
        return;
    }
    if (!IsPrintable(Key))
        return;
    if (FCombo->IsOwnerDraw()) {
        const TDateTime now = Now();
        if (now - FLastKeyTime > SearchPauseDays)
            FSearchText.clear();
        FLastKeyTime = now;
        FSearchText += Key;
    } else {
        const String text = FCombo->Text();
        const size_t start = static_cast<size_t>(FCombo->SelStart());
        const size_t length = static_cast<size_t>(FCombo->SelLength());
        FSearchText = text.substr(0, start) + Key + text.substr(std::min(text.size(), start + length));
    }
    if (FSearchText.size() >= MaxSearchLength)
        return;
    const int found = FindPrefix(FSearchText);
    if (found >= 0)
        SetItemIndex(found);
    else if (!FCombo->ShowMatchText())
        SetItemIndex(-1);
}

// ---------------------------------------------------------------- TdwDBCustomComboBox

TdwDBCustomComboBox::TdwDBCustomComboBox(TComponent* AOwner)
    : TdwDBCustomCombo(AOwner), FItems(std::make_unique<TStringList>())
{
    SetButtonStyle(cbsDownArrow);
    FItems->OnChange = [this](TStrings*) {
        if (Field())
            DataLink()->Reset();
    };
}

TdwDBCustomComboBox::~TdwDBCustomComboBox() { FItems->OnChange = nullptr; }

bool TdwDBCustomComboBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwDBCustomComboBox") || TdwDBCustomCombo::InheritsFrom(name);
}

void TdwDBCustomComboBox::SetItems(TStrings* Value) { FItems->Assign(*Value); }

void TdwDBCustomComboBox::SetStyle(TComboBoxStyle Value)
{
    TdwDBCustomCombo::SetStyle(Value);
    SetShowButton(Value != csSimple);
}

bool TdwDBCustomComboBox::IsOwnerDraw() const
{
    return Style() == csOwnerDrawFixed || Style() == csOwnerDrawVariable;
}

bool TdwDBCustomComboBox::PaintsOwnText() const
{
    return (IsOwnerDraw() && OnDrawItem) || TdwDBCustomCombo::PaintsOwnText();
}

void TdwDBCustomComboBox::PaintText(TCanvas* Canvas, const TRect& ClientArea)
{
    if (!IsOwnerDraw() || !OnDrawItem)
        return TdwDBCustomCombo::PaintText(Canvas, ClientArea);
    TRect area = ClientArea;
    area.Right = std::min(area.Right, TextRightEdge() + 1);
    Canvas->Brush()->SetColor(Color());
    Canvas->Font()->Assign(Font());
    Canvas->FillRect(area);
    DrawItemOn(Canvas, ItemIndex(), area, {odFocused});
}

void TdwDBCustomComboBox::DrawItemOn(TCanvas* Canvas, int Index, const TRect& Rect, TOwnerDrawState State)
{
    FDrawCanvas = Canvas;
    const ScopeExit forgetCanvas([this] { FDrawCanvas = nullptr; });
    OnDrawItem(this, Index, Rect, State);
}

bool TdwDBCustomComboBox::IsEditStyle() const { return !IsOwnerDraw() && Style() != csDropDownList; }

bool TdwDBCustomComboBox::IsTypingAllowed()
{
    if (IsOwnerDraw())
        return false;
    if (Style() == csDropDown || Style() == csSimple)
        return true;
    return FListShowing || FShowMatchText;
}

int TdwDBCustomComboBox::ItemIndex() const { return FList ? FList->ItemIndex() : FItemIndex; }

void TdwDBCustomComboBox::SetItemIndex(int Value)
{
    FItemIndex = Value;
    if (FList)
        FList->SetItemIndex(Value);
    if (Value == -1)
        SetText(String());
    else if (Value >= 0 && Value < FItems->Count())
        SetText(dwComboDisplayPart(FItems->Get(Value)));
}

void TdwDBCustomComboBox::SetDroppedDown(bool Value)
{
    if (Value && !FListShowing)
        DropDown();
    else if (!Value && FListShowing)
        CloseUp(true);
}

String TdwDBCustomComboBox::DisplayTextForValue(const String& Value) const
{
    if (!FMapList)
        return Value;
    for (int i = 0; i < FItems->Count(); ++i)
        if (dwComboValuePart(FItems->Get(i)) == Value)
            return dwComboDisplayPart(FItems->Get(i));
    return String();
}

bool TdwDBCustomComboBox::CellDisplayText(TField* Field, String& Text)
{
    if (!FMapList)
        return false;
    Text = DisplayTextForValue(Field->AsString());
    return true;
}

String TdwDBCustomComboBox::ValueForText(const String& Text) const
{
    if (Style() == csDropDown && Text.empty())
        return String();
    if (!FMapList)
        return Text;
    for (int i = 0; i < FItems->Count(); ++i)
        if (dwComboDisplayPart(FItems->Get(i)) == Text)
            return dwComboValuePart(FItems->Get(i));
    return String();
}

String TdwDBCustomComboBox::ShowValue(const String& Value)
{
    if (ValueForText(Text()) == Value && (!Value.empty() || !FMapList))
        return Text();
    if (Style() == csDropDown && !FMapList) {
        FItemIndex = FItems->IndexOf(Value);
        if (FList)
            FList->SetItemIndex(FItemIndex);
        return Value;
    }
    int index = -1;
    if (FMapList) {
        for (int i = 0; i < FItems->Count() && index < 0; ++i)
            if (dwComboValuePart(FItems->Get(i)) == Value)
                index = i;
    } else if (!Value.empty()) {
        index = FItems->IndexOf(Value);
    }
    FItemIndex = index;
    if (FList)
        FList->SetItemIndex(index);
    // A stored value that no item carries shows as an empty text.
    return index >= 0 ? dwComboDisplayPart(FItems->Get(index)) : String();
}

String TdwDBCustomComboBox::TextForField(TField* Field)
{
    return ShowValue(FMapList ? Field->AsString() : Field->DisplayText());
}

void TdwDBCustomComboBox::FillList()
{
    if (!FList)
        FList = new TdwPopupListbox(this);
    FList->Items()->Clear();
    for (int i = 0; i < FItems->Count(); ++i)
        FList->Items()->Add(dwComboDisplayPart(FItems->Get(i)));
}

void TdwDBCustomComboBox::DropDown()
{
    if (FListShowing || Style() == csSimple)
        return;
    Invalidate();
    FillList();
    // The handler may change the items.
    DoDropDown();
    FillList();
    FList->Font()->Assign(Font());
    FList->SetColor(Color());
    int itemHeight = FItemHeight;
    if (itemHeight <= 0) {
        TBitmap measure;
        measure.Canvas()->Font()->Assign(Font());
        itemHeight = measure.Canvas()->TextHeight("A") + 2;
    }
    FList->SetItemHeight(itemHeight);
    FList->SetStyle(Style() == csOwnerDrawFixed      ? lbOwnerDrawFixed
                    : Style() == csOwnerDrawVariable ? lbOwnerDrawVariable
                                                     : lbStandard);
    const int height = dwDropDownHeight(FList->Items()->Count(), FDropDownCount, itemHeight);
    const int width = FDropDownWidth > 0 ? FDropDownWidth : Width();
    const String text = Text();
    FList->SetItemIndex(text.empty() ? -1 : FList->Items()->IndexOf(text));
    const TRect bounds =
            dwDropDownBounds(ScreenRectOf(this), width, height, GuiScreen()->Width(), GuiScreen()->Height());
    FList->Popup(bounds);
    FListShowing = true;
    FFirstKeyAfterDropDown = true;
    if (CanFocus() && !Focused())
        SetFocus();
    if (!FDropDownByTyping && IsTypingAllowed())
        SelectAll();
    FSavedShowHint = ShowHint();
    SetShowHint(false);
    Invalidate();
}

void TdwDBCustomComboBox::CloseUp(bool Accept)
{
    FDropDownByTyping = false;
    if (!FListShowing)
        return;
    String choice;
    const int selected = FList->ItemIndex();
    if (Accept && !ReadOnly() && selected >= 0 && FList->Items()->Count() > 0)
        choice = FList->Items()->Get(selected);
    else if (Style() == csDropDown)
        choice = Text();
    FList->ClosePopup();
    FListShowing = false;
    if (Accept && choice != Text() && IsFieldEditable()) {
        FSkipDataChange = true;
        if (!choice.empty() || Style() == csDropDownList || FMapList)
            SetText(choice);
        FItemIndex = selected;
        FSkipDataChange = false;
        SetModified(true);
        DataLink()->Modified();
    }
    Invalidate();
    if (IsTypingAllowed())
        SelectAll();
    DoCloseUp(Accept);
    SetShowHint(FSavedShowHint);
}

void TdwDBCustomComboBox::CMExit()
{
    CloseUp(true);
    TdwDBCustomCombo::CMExit();
}

void TdwDBCustomComboBox::SelectItemByKey(int Index)
{
    if (Index < 0 || Index >= FItems->Count())
        return;
    if (Field() && !IsFieldEditable())
        return;
    FSkipDataChange = true;
    SetItemIndex(Index);
    FSkipDataChange = false;
    SetModified(true);
    DataLink()->Modified();
    if (IsTypingAllowed())
        SelectAll();
}

int TdwDBCustomComboBox::FindItemFrom(int Start, const String& Prefix) const
{
    const int count = FItems->Count();
    const String prefix = UpperCase(Prefix);
    for (int step = 1; step <= count; ++step) {
        const int i = ((Start + step) % count + count) % count;
        if (Pos(prefix, UpperCase(dwComboDisplayPart(FItems->Get(i)))) == 1)
            return i;
    }
    return -1;
}

void TdwDBCustomComboBox::ClearValue()
{
    if (Field() && !IsFieldEditable())
        return;
    FSkipDataChange = true;
    SetItemIndex(-1);
    FSkipDataChange = false;
    SetModified(true);
    DataLink()->Modified();
}

void TdwDBCustomComboBox::KeyDown(Word& Key, TShiftState Shift)
{
    const bool alt = Shift.Contains(ssAlt);
    if (FListShowing && !Shift.Contains(ssShift)) {
        switch (Key) {
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_RIGHT: TdwDBCustomCombo::KeyDown(Key, Shift); return;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
            if (alt)
                break;
            {
                const int count = FList->Items()->Count();
                const int page = std::max(1, FDropDownCount - 1);
                const int step = Key == VK_UP ? -1 : Key == VK_DOWN ? 1 : Key == VK_PRIOR ? -page : page;
                if (count > 0)
                    FList->SetItemIndex(std::clamp(FList->ItemIndex() + step, 0, count - 1));
            }
            Key = 0;
            return;
        default: break;
        }
        if (FFirstKeyAfterDropDown && dwIsTextChangingKey(Key) &&
            (Style() == csDropDownList || FAutoDropDown) && !alt) {
            FFirstKeyAfterDropDown = false;
            if (Key != VK_BACK && Key != VK_DELETE && !FShowMatchText)
                SetText(String());
        }
        TdwDBCustomCombo::KeyDown(Key, Shift);
        return;
    }
    if (FAutoDropDown && dwIsTextChangingKey(Key) && Key != VK_BACK && Key != VK_DELETE && !alt) {
        FDropDownByTyping = true;
        DropDown();
        FFirstKeyAfterDropDown = false;
        if (IsTypingAllowed() && !FShowMatchText)
            SetText(String());
    } else if (FShowMatchText && Style() == csDropDownList &&
               (Key == VK_DELETE || Key == VK_BACK || (Key == 'X' && Shift.Contains(ssCtrl)))) {
        const int length = static_cast<int>(Text().size());
        if (FAllowClearKey && SelStart() == 0 && SelLength() == length) {
            ClearValue();
        } else {
            const int start = std::max(0, SelStart() - 1);
            SetSelStart(start);
            SetSelLength(length - start);
        }
        Key = 0;
        return;
    } else if ((Key == VK_DOWN || Key == VK_UP) && !alt && !dwParentIsGrid(this)) {
        SelectItemByKey(ItemIndex() + (Key == VK_DOWN ? 1 : -1));
        Key = 0;
        return;
    } else if (!FShowMatchText && !IsTypingAllowed() && dwIsTextChangingKey(Key) && !alt &&
               !Shift.Contains(ssCtrl)) {
        const int found = FindItemFrom(ItemIndex(), String(1, KeyCharacter(Key)));
        if (found >= 0)
            SelectItemByKey(found);
    }
    TdwDBCustomCombo::KeyDown(Key, Shift);
}

void TdwDBCustomComboBox::KeyPress(char& Key)
{
    const bool fillDates = AutoFillDate();
    if (FMapList)
        SetAutoFillDate(false);
    if (FListShowing)
        FList->SearchKey(Key);
    if (FShowMatchText) {
        const auto code = static_cast<unsigned char>(Key);
        const String text = Text();
        if (Style() == csDropDownList && (Key == KeyChar::Backspace || Key == KeyChar::CtrlX)) {
            Key = 0;
        } else if (code >= 32 && code <= 254 && SelStart() + SelLength() >= static_cast<int>(text.size())) {
            const String typed = text.substr(0, static_cast<size_t>(SelStart())) + Key;
            const int found = FindItemFrom(ItemIndex() - 1, typed);
            if (found >= 0) {
                SelectItemByKey(found);
                SetSelStart(static_cast<int>(typed.size()));
                SetSelLength(static_cast<int>(Text().size() - typed.size()));
                if (FList)
                    FList->SetItemIndex(found);
                Key = 0;
            } else if (Style() == csDropDownList || FListShowing) {
                Key = 0;
            }
        }
    }
    if (Key != 0)
        TdwDBCustomCombo::KeyPress(Key);
    SetAutoFillDate(fillDates);
    if (Key == KeyChar::Enter)
        Key = 0;
}

void TdwDBCustomComboBox::WMCut()
{
    if (FShowMatchText && Style() == csDropDownList && !FAllowClearKey)
        return;
    TdwDBCustomCombo::WMCut();
}

// ---------------------------------------------------------------- TdwDBComboBox

bool TdwDBComboBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwDBComboBox") || TdwDBCustomComboBox::InheritsFrom(name);
}
