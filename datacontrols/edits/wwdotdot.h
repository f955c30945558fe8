#pragma once
// The data-aware edit with a small button inside its right edge. The button (and Alt+Down,
// Alt+Up, F4) drops the edit down or closes it up; what that means is the descendants'
// own: the dialog edit raises OnCustomDlg, the combo box opens its list.

#include <functional>
#include <memory>

#include "datacontrols/common/dwbuttonhost.h"
#include "datacontrols/common/dwcellcontrol.h"
#include "datacontrols/edits/dwdbedit.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/lists.h"
#include "platform/vcl/graphics/bitmap.h"

class TdwDBCustomCombo;

// The classic vertical scroll bar's width, and the narrowest button.
constexpr int dwScrollBarWidth = 17;
constexpr int dwMinButtonWidth = 15;

// Where the button's host goes inside a combo of that size: within the border of a
// bordered edit, 2 pixels in from an effective frame, else at the edge.
TRect dwComboButtonHostBounds(int ComboWidth, int ComboHeight, int ButtonWidth, bool Bordered,
                              bool FrameEffective);

// The button: its face is the combo's to draw.
class TdwComboDlgButton : public TdwPressedLookButton {
public:
    TdwComboDlgButton(TdwDBCustomCombo* Combo);
    String ClassName() const override { return "TdwComboDlgButton"; }
    bool InheritsFrom(const String& name) const override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TdwDBCustomCombo* FCombo;
};

// A combo's button effects: a change of looks may change the button's glyph, which
// GlyphChanged loads again.
class TdwComboButtonEffects : public TdwButtonEffects {
public:
    TdwComboButtonEffects(TWinControl* Combo, TSpeedButton* Button, std::function<void()> GlyphChanged);
    String ClassName() const override { return "TdwComboButtonEffects"; }

protected:
    void Refresh() override { FGlyphChanged(); }

private:
    std::function<void()> FGlyphChanged;
};

class TdwDBCustomCombo : public TdwDBCustomEdit, public IdwCellNavigationKeys {
public:
    explicit TdwDBCustomCombo(TComponent* AOwner);
    ~TdwDBCustomCombo() override;

    String ClassName() const override { return "TdwDBCustomCombo"; }
    bool InheritsFrom(const String& name) const override;
    void Loaded() override;
    // Over a grid's cell: Alt+Down, Alt+Up and F4 drop the list down.
    bool UsesCellKey(Word Key, TShiftState Shift) const override;

    TdwDBLookupComboStyle Style() const { return FStyle; }
    void SetStyle(TdwDBLookupComboStyle Value);
    TdwComboButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TdwComboButtonStyle Value);
    // 0 is as wide as a vertical scroll bar, at least 15 pixels.
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    TBitmap* ButtonGlyph() const { return FButtonGlyph.get(); }
    void SetButtonGlyph(TBitmap* Value);
    TdwButtonEffects* ButtonEffects() const { return FButtonEffects.get(); }
    // The typed text of a one-line combo stops at the button; off, it runs on under it
    // (the button covers its end), as an edit of many lines always stops.
    bool LimitEditRect() const { return FLimitEditRect; }
    void SetLimitEditRect(bool Value);
    TdwComboDlgButton* Button() const { return FButton; }
    TBtnWinControl* ButtonHost() const { return FHost; }

    bool GetShowButton() const override;
    void SetShowButton(bool Value) override;
    bool IsTypingAllowed() override;
    int DialogCode() const override;

    virtual void UpdateButtonGlyph();
    virtual bool IsCustomGlyph() const { return FButtonStyle == cbsCustom; }
    virtual TBitmap* GetButtonGlyph() const;
    // Draws the button's face; DefaultDrawing false keeps the speed button's own.
    virtual void DrawButton(TCanvas* Canvas, const TRect& R, bool& DefaultDrawing, bool Pressed);
    virtual bool IsEditStyle() const { return FStyle != csDropDownList; }
    virtual bool IsDroppedDown() const { return FInButtonClick; }
    virtual void CloseUp(bool Accept);
    virtual void DropDown() { }
    // What the button's click does: close when dropped down, else focus and drop down.
    void ButtonClick();

    void KeyDown(Word& Key, TShiftState Shift) override;
    void CMEnter() override;
    void CMExit() override;

    TNotifyEvent OnCustomDlg;

protected:
    void Resize() override;
    void EnabledChanged() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    int ButtonWidthQuery() const override;
    int TextRightEdge() const override;
    void UpdateEditRect() override;
    void PlaceButton();
    // Set while OnCustomDlg runs.
    bool FInButtonClick = false;

private:
    TdwDBLookupComboStyle FStyle = csDropDown;
    TdwComboButtonStyle FButtonStyle = cbsEllipsis;
    int FButtonWidth = 0;
    bool FLimitEditRect = false;
    std::unique_ptr<TBitmap> FButtonGlyph;
    TBtnWinControl* FHost;
    TdwComboDlgButton* FButton;
    std::unique_ptr<TdwComboButtonEffects> FButtonEffects;
};

// The edit whose ellipsis button opens the caller's own dialog through OnCustomDlg.
class TdwDBComboDlg : public TdwDBCustomCombo {
public:
    explicit TdwDBComboDlg(TComponent* AOwner) : TdwDBCustomCombo(AOwner) { }
    String ClassName() const override { return "TdwDBComboDlg"; }
    bool InheritsFrom(const String& name) const override;

    void DropDown() override;

protected:
    virtual void DoCustomDlg()
    {
        if (OnCustomDlg)
            OnCustomDlg(this);
    }
};
