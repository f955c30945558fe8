#include "datacontrols/edits/dweditframe.h"

#include <algorithm>

#include "datacontrols/common/dwproperties.h"
#include "datacontrols/common/dwutils.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/controls.h"
#include "platform/vcl/controls/frames.h"
#include "platform/vcl/graphics/canvas.h"

namespace {

bool IsBoxStyle(TdwEditFocusStyle Style) { return Style == efsFrameBox || Style == efsFrameSingle; }

}  // namespace

TdwEditFrame::TdwEditFrame(TComponent* Owner) : FControl(dynamic_cast<TWinControl*>(Owner)) { }

bool TdwEditFrame::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwEditFrame") || TPersistent::InheritsFrom(name);
}

void TdwEditFrame::Assign(TPersistent* Source)
{
    auto* frame = dynamic_cast<TdwEditFrame*>(Source);
    if (!frame) {
        TPersistent::Assign(Source);
        return;
    }
    SetEnabled(frame->Enabled());
    SetTransparent(frame->Transparent());
    if (!Enabled())
        return;
    FNonFocusTransparent = frame->FNonFocusTransparent;
    FAutoSizeHeightAdjust = frame->FAutoSizeHeightAdjust;
    SetFocusBorders(frame->FocusBorders());
    SetNonFocusBorders(frame->NonFocusBorders());
    FFocusStyle = frame->FFocusStyle;
    FNonFocusStyle = frame->FNonFocusStyle;
    FNonFocusTextOffsetX = frame->FNonFocusTextOffsetX;
    FNonFocusTextOffsetY = frame->FNonFocusTextOffsetY;
    FNonFocusTransparentFontColor = frame->FNonFocusTransparentFontColor;
}

bool TdwEditFrame::IsFrameEffective() const { return FEnabled && FControl && !dwParentIsGrid(FControl); }

void TdwEditFrame::RepaintControl()
{
    if (FControl)
        FControl->Invalidate();
}

void TdwEditFrame::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    // The frame takes the place of the window border.
    if (Value && FControl)
        dwSetBorderStyleProp(FControl, false);
    if (OnChange)
        OnChange();
    RepaintControl();
}

void TdwEditFrame::SetTransparent(bool Value)
{
    if (Value == FTransparent)
        return;
    FTransparent = Value;
    if (OnChange)
        OnChange();
    RepaintControl();
}

void TdwEditFrame::SetAutoSizeHeightAdjust(int Value)
{
    FAutoSizeHeightAdjust = Value;
    if (OnChange)
        OnChange();
}

void TdwEditFrame::SetFocusBorders(TdwEditFrameEnabledSet Value)
{
    FFocusBorders = Value;
    RepaintControl();
}

void TdwEditFrame::SetNonFocusBorders(TdwEditFrameEnabledSet Value)
{
    FNonFocusBorders = Value;
    RepaintControl();
}

void TdwEditFrame::SetFocusStyle(TdwEditFocusStyle Value) { FFocusStyle = Value; }

void TdwEditFrame::SetNonFocusStyle(TdwEditFocusStyle Value)
{
    FNonFocusStyle = Value;
    RepaintControl();
}

TdwFrameEdge TdwEditFrame::Edge(const TRect& ClientRect, bool Focused) const
{
    const TdwEditFrameEnabledSet borders = Focused ? FFocusBorders : FNonFocusBorders;
    const TdwEditFocusStyle style = Focused ? FFocusStyle : FNonFocusStyle;
    TdwFrameEdge edge;
    edge.Rect = ClientRect;
    if (!borders.Contains(efRightBorder) && FTransparent)
        edge.Rect.Right -= 2;
    if (borders.Contains(efLeftBorder))
        edge.Flags |= BF_LEFT;
    if (borders.Contains(efBottomBorder))
        edge.Flags |= BF_BOTTOM;
    if (borders.Contains(efTopBorder))
        edge.Flags |= BF_TOP;
    if (borders.Contains(efRightBorder))
        edge.Flags |= BF_RIGHT;
    switch (style) {
    case efsFrameSingle:
        edge.Edge = BDR_SUNKENOUTER;
        edge.Flags |= BF_MONO;
        break;
    case efsFrameBox:
        edge.Edge = EDGE_SUNKEN;
        edge.Flags |= BF_MONO;
        break;
    case efsFrameSunken: edge.Edge = EDGE_SUNKEN; break;
    case efsFrameRaised: edge.Edge = EDGE_RAISED; break;
    case efsFrameEtched: edge.Edge = EDGE_ETCHED; break;
    case efsFrameBump: edge.Edge = EDGE_BUMP; break;
    }
    return edge;
}

void TdwEditFrame::GetTextOffset(bool, int& X, int& Y) const
{
    X = 1;
    if (FFocusBorders.Contains(efLeftBorder))
        X = IsBoxStyle(FFocusStyle) ? 2 : 3;
    Y = FFocusBorders.Contains(efTopBorder) && !IsBoxStyle(FFocusStyle) ? 3 : 2;
    X += FNonFocusTextOffsetX;
    Y += FNonFocusTextOffsetY;
}

void TdwEditFrame::AdjustEditRect(const TdwEditFrame* Frame, TRect& Rect)
{
    const TdwEditFocusStyle style = Frame->FocusStyle();
    if (IsBoxStyle(style)) {
        Rect.Left = 2;
        Rect.Top = 2;
        return;
    }
    Rect.Top = 3;
    if (!Frame->FocusBorders().Contains(efLeftBorder))
        Rect.Left = 1;
    else
        Rect.Left = style == efsFrameSunken || style == efsFrameBump ? 3 : 2;
    Rect.Right -= 2;
}

int TdwEditFrame::AutoSizeHeight(const TdwEditFrame* Frame, int FontHeight, bool Bordered)
{
    // One pixel of border (SM_CYBORDER) and the three-dimensional look.
    constexpr int BorderPixels = 1;
    int extra = Bordered ? 8 * BorderPixels : 6;
    if (Frame && Frame->Enabled())
        extra += Frame->AutoSizeHeightAdjust();
    return FontHeight + extra;
}

void dwDrawEditFrame(TWinControl* Control, const TdwEditFrame* Frame, TCanvas* Canvas, bool Focused)
{
    TdwFrameEdge edge = Frame->Edge(Control->ClientRect(), Focused);
    DrawEdge(*Canvas, edge.Rect, edge.Edge, edge.Flags);
}

// ---------------------------------------------------------------- TdwButtonEffects

TdwButtonEffects::TdwButtonEffects(TWinControl* Control, TSpeedButton* Button)
    : FControl(Control), FButton(Button)
{
}

bool TdwButtonEffects::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwButtonEffects") || TPersistent::InheritsFrom(name);
}

void TdwButtonEffects::ApplyToButton()
{
    if (!FButton)
        return;
    FButton->SetFlat(FFlat || FTransparent);
    Refresh();
    FButton->Invalidate();
}

void TdwButtonEffects::SetTransparent(bool Value)
{
    FTransparent = Value;
    ApplyToButton();
}

void TdwButtonEffects::SetFlat(bool Value)
{
    FFlat = Value;
    ApplyToButton();
}
