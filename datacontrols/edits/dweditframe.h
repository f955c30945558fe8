#pragma once
// The edit frame the library's edits draw in place of their window border, with its
// own look while focused and while not, and the flat and transparent looks of a
// combo's button.

#include <functional>

#include "platform/classes/persistent.h"
#include "platform/classes/sets.h"
#include "platform/vcl/graphics/colors.h"
#include "platform/vcl/graphics/geometry.h"

class TCanvas;
class TComponent;
class TSpeedButton;
class TWinControl;

enum TdwEditFrameEnabledType { efLeftBorder, efTopBorder, efRightBorder, efBottomBorder };
using TdwEditFrameEnabledSet = SetOf<TdwEditFrameEnabledType>;

enum TdwEditFocusStyle {
    efsFrameBox,
    efsFrameSunken,
    efsFrameRaised,
    efsFrameEtched,
    efsFrameBump,
    efsFrameSingle
};

// What one look of the frame draws: DrawEdge's edge and flags over Rect.
struct TdwFrameEdge {
    TRect Rect;
    unsigned Edge = 0;
    unsigned Flags = 0;
};

class TdwEditFrame : public TPersistent {
public:
    // The frame of Owner, which it draws on when Owner is a windowed control.
    explicit TdwEditFrame(TComponent* Owner);

    String ClassName() const override { return "TdwEditFrame"; }
    bool InheritsFrom(const String& name) const override;
    void Assign(TPersistent* Source) override;

    TWinControl* Control() const { return FControl; }
    // Enabled, on a control, and that control is not inside a grid (grids draw none).
    bool IsFrameEffective() const;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    int AutoSizeHeightAdjust() const { return FAutoSizeHeightAdjust; }
    void SetAutoSizeHeightAdjust(int Value);
    TdwEditFrameEnabledSet FocusBorders() const { return FFocusBorders; }
    void SetFocusBorders(TdwEditFrameEnabledSet Value);
    TdwEditFrameEnabledSet NonFocusBorders() const { return FNonFocusBorders; }
    void SetNonFocusBorders(TdwEditFrameEnabledSet Value);
    TdwEditFocusStyle FocusStyle() const { return FFocusStyle; }
    void SetFocusStyle(TdwEditFocusStyle Value);
    TdwEditFocusStyle NonFocusStyle() const { return FNonFocusStyle; }
    void SetNonFocusStyle(TdwEditFocusStyle Value);
    int NonFocusTextOffsetX() const { return FNonFocusTextOffsetX; }
    void SetNonFocusTextOffsetX(int Value) { FNonFocusTextOffsetX = Value; }
    int NonFocusTextOffsetY() const { return FNonFocusTextOffsetY; }
    void SetNonFocusTextOffsetY(int Value) { FNonFocusTextOffsetY = Value; }
    TColor NonFocusTransparentFontColor() const { return FNonFocusTransparentFontColor; }
    void SetNonFocusTransparentFontColor(TColor Value) { FNonFocusTransparentFontColor = Value; }

    // The unfocused transparent look is showing: set on exit, cleared on enter.
    bool NonFocusTransparent() const { return FNonFocusTransparent; }
    void SetNonFocusTransparent(bool Value) { FNonFocusTransparent = Value; }

    // The edge drawn over a client area of that size, focused or not.
    TdwFrameEdge Edge(const TRect& ClientRect, bool Focused) const;
    // Where the text starts when the control paints it itself.
    virtual void GetTextOffset(bool Focused, int& X, int& Y) const;
    // The text margins inside the frame, from FocusStyle and FocusBorders.
    static void AdjustEditRect(const TdwEditFrame* Frame, TRect& Rect);
    // An auto-sized edit's height for its font: the font's height and what the border (or
    // the frame) adds.
    static int AutoSizeHeight(const TdwEditFrame* Frame, int FontHeight, bool Bordered);

    // Enabled, Transparent or AutoSizeHeightAdjust changed: the control takes its height
    // and its look again.
    std::function<void()> OnChange;

private:
    void RepaintControl();

    TWinControl* FControl;
    bool FEnabled = false;
    bool FTransparent = false;
    int FAutoSizeHeightAdjust = 0;
    TdwEditFrameEnabledSet FFocusBorders {efLeftBorder, efTopBorder, efRightBorder, efBottomBorder};
    TdwEditFrameEnabledSet FNonFocusBorders {efBottomBorder};
    TdwEditFocusStyle FFocusStyle = efsFrameBox;
    TdwEditFocusStyle FNonFocusStyle = efsFrameBox;
    int FNonFocusTextOffsetX = 0;
    int FNonFocusTextOffsetY = 0;
    TColor FNonFocusTransparentFontColor = clNone;
    bool FNonFocusTransparent = false;
};

// Draws Frame's edge for Control's client area on Canvas.
void dwDrawEditFrame(TWinControl* Control, const TdwEditFrame* Frame, TCanvas* Canvas, bool Focused);

// The Flat and Transparent looks of a combo's button; a transparent button is flat too.
class TdwButtonEffects : public TPersistent {
public:
    TdwButtonEffects(TWinControl* Control, TSpeedButton* Button);

    String ClassName() const override { return "TdwButtonEffects"; }
    bool InheritsFrom(const String& name) const override;

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);

protected:
    // The looks changed; the owner's button may need another glyph.
    virtual void Refresh() { }

private:
    void ApplyToButton();

    TWinControl* FControl;
    TSpeedButton* FButton;
    bool FTransparent = false;
    bool FFlat = false;
};
