#pragma once
// Push buttons: TButton, TBitBtn with a glyph and a kind, and the flat TSpeedButton.

#include <memory>

#include "platform/vcl/controls/controls.h"
#include "platform/vcl/forms/forms.h"
#include "platform/vcl/graphics/bitmap.h"

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    String ClassName() const override { return "TButton"; }
    bool InheritsFrom(const String& name) const override;

    // Sets the form's ModalResult to this button's (when not mrNone), then fires OnClick.
    void Click() override;
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // Enter clicks the default button when no other button has the focus.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Esc clicks the cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }

    bool CMDialogKey(Word Key, TShiftState Shift) override;

protected:
    void TextChanged() override;

private:
    TModalResult FModalResult = mrNone;
    bool FDefault = false;
    bool FCancel = false;
};

enum TBitBtnKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TBitBtn : public TButton {
public:
    explicit TBitBtn(TComponent* AOwner);
    ~TBitBtn() override;

    String ClassName() const override { return "TBitBtn"; }
    bool InheritsFrom(const String& name) const override;

    // A kind other than bkCustom gives the button its caption and modal result (bkOK
    // and bkYes also make it the default button, bkCancel and bkNo the cancel button).
    TBitBtnKind Kind() const { return FKind; }
    void SetKind(TBitBtnKind Value);
    // The picture beside the caption; with NumGlyphs 2 its right half is the disabled look.
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);

    void Click() override;

protected:
    void EnabledChanged() override;

private:
    void GlyphChanged();

    TBitBtnKind FKind = bkCustom;
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    TButtonLayout FLayout = blGlyphLeft;
};

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    String ClassName() const override { return "TSpeedButton"; }
    bool InheritsFrom(const String& name) const override;

    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // Pixels from the left edge to the glyph (or, without one, to the caption); -1
    // centres them.
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    // Buttons of one group index on one parent stay down one at a time.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Down() const { return FDown; }
    void SetDown(bool Value);

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    bool FFlat = false;
    int FMargin = -1;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FDown = false;
    bool FPressed = false;
};

// Draws the glyph part for the enabled or disabled look into R's centre-left.
void DrawGlyph(TCanvas& Canvas, TBitmap& Glyph, int NumGlyphs, bool Enabled, int X, int Y);
