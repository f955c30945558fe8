// The lookup combo: its parts, keys, drop-down and closing, entering and leaving.

#include "datacontrols/lookup/dwdblook.h"

#include <algorithm>

#include "datacontrols/common/dwdrawing.h"
#include "datacontrols/common/dwfields.h"
#include "datacontrols/common/dwwindows.h"
#include "datacontrols/lookup/dwlookuptable.h"
#include "platform/db/dataset.h"
#include "platform/db/field.h"
#include "platform/vcl/controls/dropdown.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/forms/guiscreen.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/forms/timer.h"
#include "platform/vcl/graphics/graphics.h"

namespace {

// A vertical scroll bar's width at 96 dots per inch, as the button's automatic width.
constexpr int ScrollBarWidth = 16;
constexpr unsigned DefaultSearchInterval = 200;

int AutomaticButtonWidth() { return std::max(ScrollBarWidth, 15); }

// The text's left and top margins in a grid's cell, inside the edit's border, and with
// neither border nor frame (a frame has margins of its own).
constexpr int CellTextMargin = 2;
constexpr int BorderTextMargin = 0;
constexpr int BorderlessTextMargin = 1;
// Pixels between the text's right end and the button (or the right edge).
constexpr int TextRightGap = 2;

bool IsSearchKey(Word Key) { return dwIsTextChangingKey(Key); }

}  // namespace

TdwDBCustomLookupCombo::TdwDBCustomLookupCombo(TComponent* AOwner)
    : TEdit(AOwner), FFrame(std::make_unique<TdwEditFrame>(this)), FButtonGlyph(std::make_unique<TBitmap>()),
      FTimer(std::make_unique<TTimer>(nullptr))
{
    FDataLink.SetControl(this);
    FDataLink.OnDataChange = [this](TObject*) { DataChange(); };
    FDataLink.OnUpdateData = [this](TObject*) { UpdateData(); };
    FDataLink.OnEditingChange = [this](TObject*) { UpdateEditReadOnly(); };
    FDataLink.OnActiveChange = [this](TObject*) {
        FGrid->ResolveFields(false);
        DataChange();
    };
    FButtonPanel = new TBtnWinControl(this);
    FButtonPanel->SetParent(this);
    FButton = new TdwComboButton(this);
    FButton->SetParent(FButtonPanel);
    FButtonEffects = std::make_unique<TdwComboButtonEffects>(this, FButton, [this] { GlyphChanged(); });
    FButtonPanel->ErasesTransparently = [this] {
        return (FButtonEffects->Flat() || FButtonEffects->Transparent()) && FFrame->IsFrameEffective();
    };
    FFrame->OnChange = [this] {
        LayoutButton();
        UpdateTransparentLook(Focused());
    };
    FGrid = new TdwPopupGrid(this);
    FGrid->OnClick = [this](TObject*) { SetModified(true); };
    SetBounds(Left(), Top(), 121, 25);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(DefaultSearchInterval);
    FTimer->OnTimer = [this](TObject*) { PerformSearch(); };
    LayoutButton();
    GlyphChanged();
}

TdwDBCustomLookupCombo::~TdwDBCustomLookupCombo()
{
    FOutsideWatch.reset();
    FButtonPanel->ErasesTransparently = nullptr;
    // The grid goes while the combo it reports to is whole.
    if (FGrid)
        FGrid->Free();
    FDataLink.OnDataChange = nullptr;
    FDataLink.OnUpdateData = nullptr;
    FDataLink.OnEditingChange = nullptr;
    FDataLink.OnActiveChange = nullptr;
    FDataLink.SetDataSource(nullptr);
}

bool TdwDBCustomLookupCombo::InheritsFrom(const String& name) const
{
    return name == "TdwDBCustomLookupCombo" || TEdit::InheritsFrom(name);
}

void TdwDBCustomLookupCombo::Notification(TComponent* AComponent, TOperation Operation)
{
    TEdit::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FGrid) {
        FGrid = nullptr;
        return;
    }
    if (AComponent == DataSource())
        SetDataSource(nullptr);
    if (AComponent == LookupTable())
        SetLookupTable(nullptr);
}

void TdwDBCustomLookupCombo::Loaded()
{
    TEdit::Loaded();
    LayoutButton();
    DataChange();
}

int TdwDBCustomLookupCombo::DialogCode() const
{
    // Enter and Esc belong to the open grid, and Esc to a changed text; Tab moves on
    // (leaving accepts the grid's match).
    int code = TEdit::DialogCode();
    if (IsDroppedDown() || Modified())
        code |= dlgcWantAllKeys;
    // In a grid's cell Enter and Esc are the grid's, and Tab when it tabs between cells.
    if (const IdwCellControlHost* host = dwCellHostOf(this))
        code |= dlgcWantAllKeys | (host->CellTabs() ? dlgcWantTab : 0);
    return code;
}

// ---- properties ----

void TdwDBCustomLookupCombo::SetDataSource(TDataSource* Value)
{
    if (Value && LookupTable() && Value->DataSet() == LookupTable())
        throw EInvalidOperation("Unable to use duplicate DataSource and LookupSource");
    if (DataSource())
        DataSource()->RemoveFreeNotification(this);
    FDataLink.SetDataSource(Value);
    if (Value)
        Value->FreeNotification(this);
}

void TdwDBCustomLookupCombo::SetDataField(const String& Value)
{
    FDataLink.SetFieldName(Value);
    FGrid->ResolveFields(false);
    DataChange();
}

void TdwDBCustomLookupCombo::SetLookupTable(TDataSet* Value)
{
    if (LookupTable())
        LookupTable()->RemoveFreeNotification(this);
    FGrid->SetLookupTable(Value);
    if (Value)
        Value->FreeNotification(this);
    DataChange();
}

void TdwDBCustomLookupCombo::SetLookupField(const String& Value)
{
    FGrid->SetLookupField(Value);
    DataChange();
}

void TdwDBCustomLookupCombo::SetSelected(const TStrings* Value)
{
    FGrid->SetSelected(Value);
    FGrid->ResolveFields(false);
}

bool TdwDBCustomLookupCombo::ShowButton() const { return FButtonPanel->Visible(); }

void TdwDBCustomLookupCombo::SetShowButton(bool Value)
{
    FButtonPanel->SetVisible(Value);
    LayoutButton();
}

void TdwDBCustomLookupCombo::SetButtonStyle(TdwComboButtonStyle Value)
{
    FButtonStyle = Value;
    GlyphChanged();
}

void TdwDBCustomLookupCombo::SetButtonGlyph(TBitmap* Value)
{
    FButtonGlyph->Assign(Value);
    GlyphChanged();
}

TBitmap* TdwDBCustomLookupCombo::GetButtonGlyph()
{
    return dwShownButtonGlyph(FButtonStyle, FButtonGlyph.get(),
                              FButtonEffects->Flat() || FButtonEffects->Transparent(), FDropDownGlyph);
}

void TdwDBCustomLookupCombo::GlyphChanged()
{
    TBitmap none;
    TBitmap* glyph = GetButtonGlyph();
    FButton->SetGlyph(glyph ? glyph : &none);
    FButton->Invalidate();
}

void TdwDBCustomLookupCombo::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    LayoutButton();
}

void TdwDBCustomLookupCombo::SetButtonWidth(int Value)
{
    FButtonWidth = Value;
    LayoutButton();
}

void TdwDBCustomLookupCombo::SetReadOnly(bool Value)
{
    FDataLink.SetReadOnly(Value);
    UpdateEditReadOnly();
}

void TdwDBCustomLookupCombo::UpdateEditReadOnly() { TEdit::SetReadOnly(!IsModifiable()); }

bool TdwDBCustomLookupCombo::IsDroppedDown() const { return FGrid && FGrid->Visible(); }

// ---- layout and painting ----

void TdwDBCustomLookupCombo::LayoutButton()
{
    if (FAutoSize && !dwParentIsGrid(this)) {
        const int needed = TdwEditFrame::AutoSizeHeight(FFrame.get(), LineHeight(), BorderVisible());
        // Growing resizes the combo, which lays it out at its new height.
        if (Height() < needed) {
            SetHeight(needed);
            return;
        }
    }
    const bool framed = FFrame->IsFrameEffective();
    const bool bordered = BorderVisible();
    const int buttonWidth = FButtonWidth > 0 ? FButtonWidth : AutomaticButtonWidth();
    const TRect panel = dwComboButtonHostBounds(Width(), Height(), buttonWidth, bordered, framed);
    FButtonPanel->SetBounds(panel.Left, panel.Top, panel.Width(), std::max(0, panel.Height()));
    // Without a border the button reaches a pixel above the panel, and as far below.
    if (bordered)
        FButton->SetBounds(0, 0, panel.Width(), FButtonPanel->Height());
    else
        FButton->SetBounds(0, -1, panel.Width(), FButtonPanel->Height() + 1);

    // The editing rectangle, in the client area inside the border.
    const int clientWidth = Width() - 2 * BorderWidth();
    TRect text = Rect(0, 0, (ShowButton() ? panel.Left - BorderWidth() : clientWidth) - TextRightGap, 0);
    if (dwParentIsGrid(this))
        text.Left = text.Top = CellTextMargin;
    else if (framed)
        TdwEditFrame::AdjustEditRect(FFrame.get(), text);
    else
        text.Left = text.Top = bordered ? BorderTextMargin : BorderlessTextMargin;
    SetTextMargins(Rect(text.Left, text.Top, std::max(0, clientWidth - text.Right), 0));
}

void TdwDBCustomLookupCombo::UpdateTransparentLook(bool HasFocus)
{
    const bool transparent = !HasFocus && FFrame->IsFrameEffective() && FFrame->Transparent();
    FFrame->SetNonFocusTransparent(transparent);
    SetSeeThrough(transparent);
    Invalidate();
    FButton->Invalidate();
}

void TdwDBCustomLookupCombo::Resize()
{
    TEdit::Resize();
    if (FButtonPanel)
        LayoutButton();
}

void TdwDBCustomLookupCombo::FontChanged()
{
    TEdit::FontChanged();
    if (FButtonPanel)
        LayoutButton();
}

void TdwDBCustomLookupCombo::DrawButtonFace(TCanvas* Canvas, const TRect& Rect, bool Pressed)
{
    switch (FButtonStyle) {
    case cbsEllipsis:
        dwDrawEllipsisButton(Canvas, Rect, Pressed ? dwButtonPushed : 0, 0, FButtonEffects->Flat(),
                             FButtonEffects->Transparent());
        break;
    case cbsDownArrow: dwDrawDropDownArrowButton(Canvas, Rect, Pressed ? 1 : 0, 0, Enabled()); break;
    case cbsCustom: break;
    }
}

void TdwDBCustomLookupCombo::DrawFrame(TCanvas* Canvas)
{
    dwDrawEditFrame(this, FFrame.get(), Canvas, Focused());
}

void TdwDBCustomLookupCombo::PaintOver(TCanvas* Canvas, const TRect& ClientArea)
{
    const bool framed = FFrame->IsFrameEffective();
    if (!Focused() && (framed || !Enabled())) {
        const bool transparent = framed && FFrame->Transparent();
        int x = TextMargins().Left + 1;
        int y = -1;
        if (framed)
            FFrame->GetTextOffset(false, x, y);
        TField* field = FDataLink.Field();
        dwDrawUnfocusedEditText(Canvas, ClientArea,
                                ShowButton() ? FButtonPanel->Left() - BorderWidth() : ClientArea.Right,
                                transparent ? clNone : Color(), Font(),
                                transparent ? FFrame->NonFocusTransparentFontColor() : clNone, Enabled(), x,
                                y, field ? field->Alignment() : taLeftJustify, Text());
    }
    if (framed)
        DrawFrame(Canvas);
}

void TdwDBCustomLookupCombo::SelectAllIfLocked()
{
    if (Focused() && !MayType())
        SelectAll();
}

// ---- saving for Esc ----

void TdwDBCustomLookupCombo::SaveValuesForEscape()
{
    FSavedText = Text();
    FSavedLookupValue = FGrid->LookupValue();
    FSavedLinkValues[0] = FGrid->LinkValue(0);
    FSavedLinkValues[1] = FGrid->LinkValue(1);
}

void TdwDBCustomLookupCombo::RestoreSavedValues()
{
    FTimer->SetEnabled(false);
    if (FDataLink.Field()) {
        FDataLink.Reset();
        FGrid->ClearValues();
        DataChange();
    } else {
        FGrid->SetLookupValue(FSavedLookupValue);
        SetText(FSavedText);
    }
    FLastSearched = Text();
    FMatchFound = true;
    SetModified(false);
    SelectAll();
}

// ---- keys ----

void TdwDBCustomLookupCombo::RestartSearchTimer()
{
    FTimer->SetEnabled(false);
    if (FSearchDelay > 0)
        FTimer->SetInterval(static_cast<unsigned>(FSearchDelay));
    FTimer->SetEnabled(true);
}

bool TdwDBCustomLookupCombo::EditForTyping()
{
    if (MayType())
        FDataLink.Edit();
    return IsModifiable();
}

void TdwDBCustomLookupCombo::KeyDown(Word& Key, TShiftState Shift)
{
    TEdit::KeyDown(Key, Shift);
    if (Key == 0 || HandKeyToCellGrid(Key, Shift)) {
        Key = 0;
        return;
    }
    const bool dropped = IsDroppedDown();
    switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
        if (Shift.Contains(ssAlt) && (Key == VK_UP || Key == VK_DOWN)) {
            if (dropped)
                CloseUp(true);
            else
                DropDown();
        } else if (dropped) {
            FDataLink.Edit();
            if (!ReadOnly() &&
                (FDataLink.Editing() || !FDataLink.DataSource() || FDataLink.FieldName().empty())) {
                FGrid->KeyDown(Key, Shift);
                SetText(FGrid->DisplayValue());
                SetModified(true);
                SelectAll();
                FLastSearched = Text();
                FMatchFound = true;
            }
        } else if (Shift.Contains(ssAlt)) {
            DropDown();
        }
        Key = 0;
        return;
    case VK_BACK:
    case VK_DELETE:
        if (!dropped && FStyle == csDropDownList && !FAllowClearKey) {
            Key = 0;
            return;
        }
        if (!EditForTyping()) {
            Key = 0;
            return;
        }
        if (FShowMatchText && dropped)
            FLastSearched = "~~~~";
        break;
    case VK_INSERT:
        if (!EditForTyping())
            Key = 0;
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END:
        if (!MayType())
            Key = 0;
        break;
    default:
        if (IsSearchKey(Key) && FAutoDropDown && !dropped)
            FSearchFromTyping = true;
        break;
    }
}

void TdwDBCustomLookupCombo::KeyPress(char& Key)
{
    TEdit::KeyPress(Key);
    if (Key == 0)
        return;
    const bool dropped = IsDroppedDown();
    if (Key == '\r') {
        Key = 0;
        if (dropped) {
            FTimer->SetEnabled(false);
            if (Text() != FLastSearched)
                PerformSearch();
            CloseUp(true);
            SelectAll();
        } else if (TCustomForm* form = ParentForm()) {
            // Enter belongs to the form's default button while the grid is closed.
            form->CMDialogKey(VK_RETURN, TShiftState());
        }
        return;
    }
    if (Key == KeyChar::Escape) {
        Key = 0;
        if (dropped)
            CloseUp(false);
        RestoreSavedValues();
        return;
    }
    if (Key == '\t') {
        Key = 0;
        return;
    }
    const bool printable = static_cast<unsigned char>(Key) >= 32;
    const bool typing =
            printable || Key == KeyChar::Backspace || Key == KeyChar::CtrlV || Key == KeyChar::CtrlX;
    if (!typing)
        return;
    TField* field = FDataLink.Field();
    if (printable && !dropped && !FAutoDropDown && !FShowMatchText && MayType() && field &&
        !field->IsValidChar(Key) && FGrid->DisplayField() == FGrid->LookupFieldRef()) {
        Key = 0;
        MessageBeep();
        return;
    }
    if (!EditForTyping()) {
        Key = 0;
        return;
    }
    if (dropped && printable)
        RestartSearchTimer();
}

void TdwDBCustomLookupCombo::KeyUp(Word& Key, TShiftState Shift)
{
    TEdit::KeyUp(Key, Shift);
    const bool dropped = IsDroppedDown();
    if (FAllowClearKey && (Key == VK_DELETE || Key == VK_BACK)) {
        const bool allSelected = SelStart() == 0 && SelLength() == static_cast<int>(Text().size());
        if (dropped && Text().empty()) {
            FDataLink.Edit();
            FDataLink.Modified();
            FGrid->ClearValues();
            FGrid->SetPickedRow(-1);
        } else if (!dropped && (Text().empty() || allSelected)) {
            // The whole value goes: the text, and the key in the field.
            SetText(String());
            FGrid->ClearValues();
            if (IsLookupKindField())
                WriteLookupKeys();
            else if (FDataLink.Field() && FDataLink.Edit())
                FDataLink.Field()->Clear();
        }
        if (Text().empty()) {
            FLastSearched.clear();
            Key = 0;
            return;
        }
    }
    if (!IsSearchKey(Key) || (Text() == FLastSearched && Text().size() != 1))
        return;
    if (FShowMatchText && (Key == VK_BACK || Key == VK_DELETE) && Text().empty()) {
        if (IdwLookupTable* table = dwLookupTableOf(LookupTable()); table && table->NarrowSearch())
            table->dwCancelRange();
    }
    if (dropped) {
        FDataLink.Modified();
        return;
    }
    const bool deletion = Key == VK_BACK || Key == VK_DELETE;
    if (!FAutoDropDown && FShowMatchText && FStyle != csDropDownList && !Text().empty() && !deletion) {
        OrderLookupTable(true);
        FSearchFromTyping = true;
        PerformSearch();
        FSearchFromTyping = false;
    } else if (FAutoDropDown && !Text().empty()) {
        OrderLookupTable(true);
        FSearchFromTyping = true;
        PerformSearch();
        DropDown();
        FSearchFromTyping = false;
    }
    FDataLink.Modified();
}

// ---- drop-down ----

void TdwDBCustomLookupCombo::DropDown()
{
    TDataSet* table = LookupTable();
    if (!table) {
        MessageDlg("No lookup table specified!", mtWarning, {mbOK}, 0);
        return;
    }
    if (!table->Active()) {
        MessageDlg("Lookup table is not active!", mtWarning, {mbOK}, 0);
        return;
    }
    if (IsDroppedDown() || Width() < 21)
        return;
    if (Selected()->Count() == 0) {
        if (TField* key = table->FindField(dwFirstFieldName(LookupField())))
            Selected()->Add(key->FieldName() + "\t" + std::to_string(key->DisplayWidth()) + "\t" +
                            key->DisplayLabel());
        FGrid->ResolveFields(false);
    }
    if (!FSearchFromTyping)
        PositionLookupTable(true);
    if (FGrid->UseTFields())
        dwApplySelectedToFields(table, Selected());
    else
        FGrid->LayoutChanged();
    if (OnDropDown)
        OnDropDown(this);
    FGrid->SetPickedRow(-1);
    PlaceGrid();
    FGrid->Show();
    FGrid->Invalidate();
    UpdateEditReadOnly();
    if (!FSearchFromTyping)
        SelectAll();
    // One watch per open grid: a press elsewhere closes it.
    FOutsideWatch = std::make_unique<TOutsidePressWatch>(std::vector<const TControl*> {this, FGrid},
                                                         [this] { CloseUp(false); });
}

void TdwDBCustomLookupCombo::PlaceGrid()
{
    TDataSet* table = LookupTable();
    int rows = std::max(1, FDropDownCount);
    IdwLookupTable* library = dwLookupTableOf(table);
    const int count = table->RecordCount();
    if (count >= 0 && count < rows && !(library && library->NarrowSearch()))
        rows = std::max(1, count);
    int width = FDropDownWidth;
    if (width <= 0) {
        TCanvas* canvas = FGrid->Canvas();
        canvas->SetFont(FGrid->Font());
        const int zero = canvas->TextWidth("0");
        const int lineWidth = FGrid->Options().Contains(dgColLines) ? 1 : 0;
        for (int i = 0; i < Selected()->Count(); ++i) {
            const std::vector<String> parts = TdwDBLookupList::LineTokens(Selected()->Strings(i));
            const int chars = parts.size() > 1 ? std::atoi(parts[1].c_str()) : 10;
            int column = chars * zero + lineWidth;
            if (FGrid->Options().Contains(dgTitles) && parts.size() > 2)
                column = std::max(column, canvas->TextWidth(parts[2]) + 4);
            width += column;
        }
        width += 1 + 2 + (count > rows ? ScrollBarWidth : 0);
    }
    TRect work;
    dwGetWorkArea(work);
    width = std::min(std::max(width, Width()), work.Width());
    const int rowPitch = FGrid->DefaultRowHeight() + (FGrid->Options().Contains(dgRowLines) ? 1 : 0);
    const int height = rows * rowPitch + FGrid->TitleRowHeight() + 2;
    const TPoint topLeft = ClientToScreen(Point(0, 0));
    const int borderTop = topLeft.Y - (Height() - ClientHeight()) / 2;
    int top = borderTop + Height() - 1;
    if (top + height > work.Bottom)
        top = borderTop - height;
    int left = topLeft.X - (Width() - ClientWidth()) / 2;
    if (FDropDownRightAligned)
        left += Width() - width;
    left = std::max(work.Left, std::min(left, work.Right - width));
    FGrid->SetBounds(left, top, width, height);
}

void TdwDBCustomLookupCombo::CloseUp(bool Modified)
{
    if (FInCloseUp || !IsDroppedDown())
        return;
    FInCloseUp = true;
    FTimer->SetEnabled(false);
    TField* field = FDataLink.Field();
    TDataSet* table = LookupTable();
    bool changed = false;
    try {
        if (Modified && !FMatchFound && FStyle == csDropDown &&
            FGrid->DisplayField() == FGrid->LookupFieldRef()) {
            // Typed text that found nothing is the value itself.
            FGrid->SetLookupValue(Text());
            FMatchFound = true;
        }
        if (Modified && field && IsLookupKindField()) {
            changed = WriteLookupKeys();
            SetText(field->DisplayText());
            SelectAll();
        } else if (Modified && field && FDataLink.Editing()) {
            FInUpdate = true;
            if (FGrid->PickedRow() >= 0 || FMatchFound) {
                for (int i = 0; i < 2; ++i) {
                    TField* link = FGrid->LinkField(i);
                    TField* own = link ? FDataLink.DataSet()->FindField(link->FieldName()) : nullptr;
                    if (own && own != field && own->AsString() != FGrid->LinkValue(i)) {
                        own->SetAsString(FGrid->LinkValue(i));
                        changed = true;
                    }
                }
                if (field->AsString() != FGrid->LookupValue()) {
                    field->SetAsString(FGrid->LookupValue());
                    changed = true;
                }
            }
            FInUpdate = false;
            SetText(FGrid->DisplayField() == FGrid->LookupFieldRef() ? FGrid->LookupValue()
                                                                     : FGrid->DisplayValue());
            if (!changed && FStyle == csDropDownList && !FMatchFound)
                LookupValueIntoText(field->AsString());
        } else if (Modified && !FDataLink.DataSource()) {
            SetText(FGrid->DisplayField() == FGrid->LookupFieldRef() ? FGrid->LookupValue()
                                                                     : FGrid->DisplayValue());
            changed = true;
        }
    } catch (...) {
        FInUpdate = false;
        FInCloseUp = false;
        FGrid->Hide();
        FOutsideWatch.reset();
        throw;
    }
    FGrid->Hide();
    if (changed && table) {
        TdwSearchInProgress searching(table);
        table->UpdateCursorPos();
        table->Resync({});
        SaveValuesForEscape();
    }
    if (!Modified && field && !IsLookupKindField())
        LookupValueIntoText(field->AsString());
    FLastSearched = Text();
    SetModified(changed);
    UpdateEditReadOnly();
    if (OnCloseUp)
        OnCloseUp(this, table, FDataLink.DataSet(), changed);
    FInCloseUp = false;
    FOutsideWatch.reset();
}

// ---- focus and mouse ----

void TdwDBCustomLookupCombo::DoEnter()
{
    SaveValuesForEscape();
    FLastSearched = Text();
    LayoutButton();
    UpdateTransparentLook(true);
    TEdit::DoEnter();
}

void TdwDBCustomLookupCombo::DoExit()
{
    if (IsDroppedDown())
        CloseUp(FMatchFound);
    try {
        FDataLink.UpdateRecord();
    } catch (...) {
        SetFocus();
        throw;
    }
    // Text that found nothing left the field as it was: the text shows its record again.
    if (!FMatchFound && FDataLink.Field() && !IsLookupKindField())
        LookupValueIntoText(FDataLink.Field()->AsString());
    SetSelLength(0);
    TEdit::DoExit();
    UpdateTransparentLook(false);
}

void TdwDBCustomLookupCombo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && FStyle == csDropDownList && !IsDroppedDown()) {
        if (CanFocus() && !Focused())
            SetFocus();
        DropDown();
    }
    TEdit::MouseDown(Button, Shift, X, Y);
}

void TdwDBCustomLookupCombo::MouseMove(TShiftState Shift, int X, int Y)
{
    TEdit::MouseMove(Shift, X, Y);
    if (Shift.Contains(ssLeft) && PassPressToGrid(ClientToScreen(Point(X, Y))))
        TEdit::MouseUp(mbLeft, Shift, X, Y);
}

bool TdwDBCustomLookupCombo::PassPressToGrid(const TPoint& ScreenPoint)
{
    if (!IsDroppedDown())
        return false;
    const TPoint at = FGrid->ScreenToClient(ScreenPoint);
    if (!FGrid->ClientRect().Contains(at))
        return false;
    FGrid->TakeOverPress(at.X, at.Y);
    return true;
}
