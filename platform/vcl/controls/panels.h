#pragma once
// Containers and frames: TPanel, TGroupBox and the TBevel line or box.

#include "platform/vcl/controls/controls.h"
#include "platform/vcl/controls/frames.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* AOwner);

    String ClassName() const override { return "TPanel"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    // Where the caption sits across the panel (it is always centred from top to bottom).
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

protected:
    void Paint() override;
    void TextChanged() override { Invalidate(); }
    void AlignControls(TRect& Rect) override;

private:
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
};

class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* AOwner);

    String ClassName() const override { return "TGroupBox"; }
    bool InheritsFrom(const String& name) const override;
    bool AcceptsFocus() const override { return false; }

protected:
    void Paint() override;
    void TextChanged() override { Invalidate(); }
    void AlignControls(TRect& Rect) override;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);

    String ClassName() const override { return "TBevel"; }
    bool InheritsFrom(const String& name) const override;

    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};
