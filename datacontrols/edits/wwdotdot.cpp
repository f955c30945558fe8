#include "datacontrols/edits/wwdotdot.h"

#include <algorithm>
#include <utility>

#include "datacontrols/common/dwdrawing.h"
#include "datacontrols/common/dwutils.h"
#include "datacontrols/common/dwwindows.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/graphics/canvas.h"

namespace {

int DefaultButtonWidth() { return std::max(dwScrollBarWidth, dwMinButtonWidth); }

}  // namespace

TRect dwComboButtonHostBounds(int ComboWidth, int ComboHeight, int ButtonWidth, bool Bordered,
                              bool FrameEffective)
{
    const int k = FrameEffective ? 2 : 0;
    // A bordered edit's client area starts inside its 2-pixel sunken border.
    if (Bordered)
        return Bounds(ComboWidth - ButtonWidth - 2, k + 2, ButtonWidth, ComboHeight - 4 - k);
    return Bounds(ComboWidth - ButtonWidth - k, k, ButtonWidth, ComboHeight - 2 * k);
}

// ---------------------------------------------------------------- companions

TdwComboDlgButton::TdwComboDlgButton(TdwDBCustomCombo* Combo) : TdwPressedLookButton(Combo), FCombo(Combo) { }

bool TdwComboDlgButton::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwComboDlgButton") || TdwPressedLookButton::InheritsFrom(name);
}

void TdwComboDlgButton::Paint()
{
    // A copy of the combo painted into a grid row shows no button.
    if (ControlState().Contains(csPaintCopy) && dwParentIsGrid(FCombo))
        return;
    bool defaultDrawing = true;
    FCombo->DrawButton(Canvas(), ClientRect(), defaultDrawing, Pressed());
    if (defaultDrawing)
        TSpeedButton::Paint();
}

void TdwComboDlgButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TdwPressedLookButton::MouseDown(Button, Shift, X, Y);
    // Without the button-click option the toggle runs on the press.
    if (Button == mbLeft && Enabled() && !FCombo->ButtonClickOption())
        FCombo->ButtonClick();
}

TdwComboButtonEffects::TdwComboButtonEffects(TWinControl* Combo, TSpeedButton* Button,
                                             std::function<void()> GlyphChanged)
    : TdwButtonEffects(Combo, Button), FGlyphChanged(std::move(GlyphChanged))
{
}

// ---------------------------------------------------------------- TdwDBCustomCombo

TdwDBCustomCombo::TdwDBCustomCombo(TComponent* AOwner)
    : TdwDBCustomEdit(AOwner), FButtonGlyph(std::make_unique<TBitmap>())
{
    FHost = new TBtnWinControl(this);
    FHost->SetBounds(0, 0, std::max(dwScrollBarWidth + 4, 17), 17);
    FHost->SetParent(this);
    FButton = new TdwComboDlgButton(this);
    FButton->SetBounds(0, 0, DefaultButtonWidth(), 17);
    FButton->SetParent(FHost);
    FButton->OnClick = [this](TObject*) {
        if (ButtonClickOption())
            ButtonClick();
    };
    FButtonEffects = std::make_unique<TdwComboButtonEffects>(this, FButton, [this] { UpdateButtonGlyph(); });
    FButtonWidth = DefaultButtonWidth();
    PlaceButton();
}

TdwDBCustomCombo::~TdwDBCustomCombo() { FButton->OnClick = nullptr; }

bool TdwDBCustomCombo::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwDBCustomCombo") || TdwDBCustomEdit::InheritsFrom(name);
}

void TdwDBCustomCombo::Loaded()
{
    if (FButtonWidth == 0)
        FButtonWidth = DefaultButtonWidth();
    PlaceButton();
    TdwDBCustomEdit::Loaded();
}

void TdwDBCustomCombo::SetStyle(TdwDBLookupComboStyle Value)
{
    FStyle = Value;
    Invalidate();
}

void TdwDBCustomCombo::SetButtonStyle(TdwComboButtonStyle Value)
{
    if (Value == FButtonStyle)
        return;
    FButtonStyle = Value;
    UpdateButtonGlyph();
}

void TdwDBCustomCombo::SetButtonWidth(int Value)
{
    const int width = Value == 0 ? DefaultButtonWidth() : Value;
    if (width == FButtonWidth)
        return;
    FButtonWidth = width;
    PlaceButton();
}

void TdwDBCustomCombo::SetButtonGlyph(TBitmap* Value)
{
    FButtonGlyph->Assign(Value);
    UpdateButtonGlyph();
}

bool TdwDBCustomCombo::GetShowButton() const { return FHost->Visible(); }

void TdwDBCustomCombo::SetShowButton(bool Value)
{
    if (Value == FHost->Visible())
        return;
    FHost->SetVisible(Value);
    if (!Owner() || !Owner()->ComponentState().Contains(csLoading))
        UpdateEditRect();
    Invalidate();
}

bool TdwDBCustomCombo::IsTypingAllowed() { return FStyle != csDropDownList || FInButtonClick; }

int TdwDBCustomCombo::DialogCode() const
{
    return TdwDBCustomEdit::DialogCode() | (IsDroppedDown() ? dlgcWantAllKeys : 0);
}

void TdwDBCustomCombo::UpdateButtonGlyph()
{
    TBitmap none;
    TBitmap* glyph = GetButtonGlyph();
    FButton->SetGlyph(glyph ? glyph : &none);
    FButton->Invalidate();
}

TBitmap* TdwDBCustomCombo::GetButtonGlyph() const
{
    return FButtonStyle == cbsCustom && !FButtonGlyph->Empty() ? FButtonGlyph.get() : nullptr;
}

void TdwDBCustomCombo::DrawButton(TCanvas* Canvas, const TRect& R, bool& DefaultDrawing, bool Pressed)
{
    if (FButtonStyle == cbsCustom)
        return;
    DefaultDrawing = false;
    const int state = Pressed ? dwButtonPushed : 0;
    if (FButtonStyle == cbsEllipsis)
        dwDrawEllipsisButton(Canvas, R, state, 0, FButtonEffects->Flat(), FButtonEffects->Transparent());
    else
        dwDrawDropDownArrowButton(Canvas, R, state, 0, Enabled());
}

void TdwDBCustomCombo::CloseUp(bool Accept)
{
    if (Accept)
        SetModified(true);
}

void TdwDBCustomCombo::ButtonClick()
{
    dwDropDownButtonClick(
            this, IsDroppedDown(), [this] { CloseUp(true); }, [this] { DropDown(); });
}

void TdwDBCustomCombo::PlaceButton()
{
    const TRect host = dwComboButtonHostBounds(Width(), Height(), FButtonWidth, BorderStyle() == bsSingle,
                                               Frame()->IsFrameEffective());
    FHost->SetBounds(host.Left, host.Top, host.Width(), host.Height());
    if (BorderStyle() == bsSingle)
        FButton->SetBounds(0, 0, host.Width(), host.Height());
    else
        FButton->SetBounds(0, -1, host.Width(), host.Height() + 1);
    UpdateEditRect();
}

int TdwDBCustomCombo::ButtonWidthQuery() const { return FHost->Visible() ? FHost->Width() : 0; }

int TdwDBCustomCombo::TextRightEdge() const
{
    return FHost->Visible() ? FHost->Left() - 1 : TdwDBCustomEdit::TextRightEdge();
}

void TdwDBCustomCombo::SetLimitEditRect(bool Value)
{
    FLimitEditRect = Value;
    UpdateEditRect();
}

void TdwDBCustomCombo::UpdateEditRect()
{
    TdwDBCustomEdit::UpdateEditRect();
    bool multiLine = false;
    bool wrap = false;
    GetLineMode(multiLine, wrap);
    if (FLimitEditRect || multiLine)
        return;
    TRect margins = TextMargins();
    margins.Right = 0;
    SetTextMargins(margins);
}

void TdwDBCustomCombo::Resize()
{
    TdwDBCustomEdit::Resize();
    PlaceButton();
}

void TdwDBCustomCombo::EnabledChanged()
{
    TdwDBCustomEdit::EnabledChanged();
    FButton->SetEnabled(Enabled());
}

void TdwDBCustomCombo::CMEnter()
{
    TdwDBCustomEdit::CMEnter();
    if (FButtonEffects->Flat()) {
        PlaceButton();
        FButton->Invalidate();
    }
}

void TdwDBCustomCombo::CMExit()
{
    TdwDBCustomEdit::CMExit();
    if (FButtonEffects->Flat())
        FButton->Invalidate();
}

bool TdwDBCustomCombo::UsesCellKey(Word Key, TShiftState Shift) const
{
    return dwIsDropDownKey(Key, Shift) || (Key == VK_F4 && !Shift.Contains(ssAlt));
}

void TdwDBCustomCombo::KeyDown(Word& Key, TShiftState Shift)
{
    const bool alt = Shift.Contains(ssAlt);
    if ((Key == VK_RETURN || Key == VK_ESCAPE) && IsDroppedDown() && !alt) {
        CloseUp(Key == VK_RETURN);
        Key = 0;
        return;
    }
    if (UsesCellKey(Key, Shift)) {
        if (IsDroppedDown())
            CloseUp(true);
        else
            DropDown();
        Key = 0;
        return;
    }
    TdwDBCustomEdit::KeyDown(Key, Shift);
    if (Key != 0 && dwIsTextChangingKey(Key) && !IsTypingAllowed())
        Key = 0;
}

void TdwDBCustomCombo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && !IsEditStyle()) {
        if (!dwParentIsGrid(this) && CanFocus() && !Focused())
            SetFocus();
        if (IsDroppedDown())
            CloseUp(true);
        else
            DropDown();
    }
    TdwDBCustomEdit::MouseDown(Button, Shift, X, Y);
}

// ---------------------------------------------------------------- TdwDBComboDlg

bool TdwDBComboDlg::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwDBComboDlg") || TdwDBCustomCombo::InheritsFrom(name);
}

void TdwDBComboDlg::DropDown()
{
    if (!OnCustomDlg)
        return;
    FInButtonClick = true;
    Invalidate();
    {
        const ScopeExit lower([this] { FInButtonClick = false; });
        if (DataSource())
            IsFieldEditable();
        DoCustomDlg();
    }
    Invalidate();
}
