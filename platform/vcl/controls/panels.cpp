#include "platform/vcl/controls/panels.h"

#include <QWidget>

#include "platform/rtl/strutils.h"

namespace {

void PanelEdge(TCanvas& Canvas, TRect& Rect, TPanelBevel Bevel, int Width)
{
    if (Bevel == bvNone)
        return;
    if (Bevel == bvSpace) {
        Rect = ::Rect(Rect.Left + Width, Rect.Top + Width, Rect.Right - Width, Rect.Bottom - Width);
        return;
    }
    const bool raised = Bevel == bvRaised;
    Frame3D(Canvas, Rect, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight,
            Width);
}

int EdgeWidth(TPanelBevel Bevel, int Width) { return Bevel == bvNone ? 0 : Width; }

}  // namespace

// ---------------------------------------------------------------- TPanel

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    SetBounds(0, 0, 185, 41);
}

bool TPanel::InheritsFrom(const String& name) const
{
    return SameText(name, "TPanel") || SameText(name, "TCustomPanel") || TCustomControl::InheritsFrom(name);
}

void TPanel::SetBevelInner(TPanelBevel Value)
{
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TPanel::SetBevelOuter(TPanelBevel Value)
{
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TPanel::SetBevelWidth(int Value)
{
    FBevelWidth = std::max(1, Value);
    Realign();
    Invalidate();
}

void TPanel::SetBorderWidth(int Value)
{
    FBorderWidth = std::max(0, Value);
    Realign();
    Invalidate();
}

void TPanel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    Invalidate();
}

void TPanel::AlignControls(TRect& Rect)
{
    const int inset =
            EdgeWidth(FBevelOuter, FBevelWidth) + FBorderWidth + EdgeWidth(FBevelInner, FBevelWidth);
    Rect = ::Rect(Rect.Left + inset, Rect.Top + inset, Rect.Right - inset, Rect.Bottom - inset);
    TCustomControl::AlignControls(Rect);
}

void TPanel::Paint()
{
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(rect);
    PanelEdge(*canvas, rect, FBevelOuter, FBevelWidth);
    rect = Rect(rect.Left + FBorderWidth, rect.Top + FBorderWidth, rect.Right - FBorderWidth,
                rect.Bottom - FBorderWidth);
    PanelEdge(*canvas, rect, FBevelInner, FBevelWidth);
    if (Caption().empty())
        return;
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(bsClear);
    unsigned format = DT_SINGLELINE | DT_VCENTER;
    if (FAlignment == taCenter)
        format |= DT_CENTER;
    else if (FAlignment == taRightJustify)
        format |= DT_RIGHT;
    canvas->DrawText(Caption(), rect, format);
}

// ---------------------------------------------------------------- TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    SetBounds(0, 0, 185, 105);
}

bool TGroupBox::InheritsFrom(const String& name) const
{
    return SameText(name, "TGroupBox") || SameText(name, "TCustomGroupBox") ||
           TCustomControl::InheritsFrom(name);
}

void TGroupBox::AlignControls(TRect& Rect)
{
    Canvas()->SetFont(Font());
    const int top = Canvas()->TextHeight("0");
    Rect = ::Rect(Rect.Left + 2, Rect.Top + top, Rect.Right - 2, Rect.Bottom - 2);
    TCustomControl::AlignControls(Rect);
}

void TGroupBox::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    const int textHeight = canvas->TextHeight("0");
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    TRect frame = Rect(0, textHeight / 2, Width(), Height());
    canvas->Brush()->SetStyle(bsClear);
    TRect outer = frame;
    Frame3D(*canvas, outer, clBtnShadow, clBtnHighlight, 1);
    Frame3D(*canvas, outer, clBtnHighlight, clBtnShadow, 1);
    if (Caption().empty())
        return;
    canvas->Brush()->SetColor(Color());
    TRect text = Rect(8, 0, 0, 0);
    canvas->DrawText(Caption(), text, DT_CALCRECT | DT_SINGLELINE);
    text.Right += 2;
    canvas->FillRect(Rect(text.Left - 1, text.Top, text.Right, text.Bottom));
    canvas->Brush()->SetStyle(bsClear);
    canvas->DrawText(Caption(), text, DT_SINGLELINE);
}

// ---------------------------------------------------------------- TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

bool TBevel::InheritsFrom(const String& name) const
{
    return SameText(name, "TBevel") || TGraphicControl::InheritsFrom(name);
}

void TBevel::SetShape(TBevelShape Value)
{
    FShape = Value;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value)
{
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint()
{
    TCanvas* canvas = Canvas();
    const TColor first = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
    const TColor second = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width();
    const int h = Height();
    auto line = [canvas](TColor color, int x1, int y1, int x2, int y2) {
        canvas->Pen()->SetColor(color);
        canvas->MoveTo(x1, y1);
        canvas->LineTo(x2, y2);
    };
    TRect rect = ClientRect();
    switch (FShape) {
    case bsBox: Frame3D(*canvas, rect, first, second, 1); break;
    case bsFrame: {
        TRect inner = Rect(1, 1, w, h);
        Frame3D(*canvas, inner, second, second, 1);
        TRect outer = Rect(0, 0, w - 1, h - 1);
        Frame3D(*canvas, outer, first, first, 1);
        break;
    }
    case bsTopLine:
        line(first, 0, 0, w, 0);
        line(second, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(first, 0, h - 2, w, h - 2);
        line(second, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(first, 0, 0, 0, h);
        line(second, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(first, w - 2, 0, w - 2, h);
        line(second, w - 1, 0, w - 1, h);
        break;
    default: break;
    }
}
