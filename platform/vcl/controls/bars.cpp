#include "platform/vcl/controls/bars.h"

#include <QWidget>

#include "platform/rtl/strutils.h"
#include "platform/vcl/controls/frames.h"

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

bool TToolBar::InheritsFrom(const String& name) const
{
    return SameText(name, "TToolBar") || TCustomControl::InheritsFrom(name);
}

void TToolBar::SetFlat(bool Value)
{
    FFlat = Value;
    Invalidate();
}

void TToolBar::Paint()
{
    TCanvas* canvas = Canvas();
    TRect rect = ClientRect();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(rect);
    if (!FFlat)
        Frame3D(*canvas, rect, clBtnHighlight, clBtnShadow, 1);
}

void TStatusPanel::SetText(const String& Value)
{
    FText = Value;
    FOwner.Invalidate();
}

void TStatusPanel::SetWidth(int Value)
{
    FWidth = std::max(0, Value);
    FOwner.Invalidate();
}

void TStatusPanel::SetAlignment(TAlignment Value)
{
    FAlignment = Value;
    FOwner.Invalidate();
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value)
{
    FBevel = Value;
    FOwner.Invalidate();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    Widget()->setFocusPolicy(Qt::NoFocus);
    SetTabStop(false);
    SetBounds(0, 0, 150, 19);
    SetAlign(alBottom);
}

TStatusBar::~TStatusBar() = default;

bool TStatusBar::InheritsFrom(const String& name) const
{
    return SameText(name, "TStatusBar") || TCustomControl::InheritsFrom(name);
}

TStatusPanel* TStatusBar::AddPanel()
{
    FPanels.push_back(std::make_unique<TStatusPanel>(*this));
    Invalidate();
    return FPanels.back().get();
}

void TStatusBar::SetSimplePanel(bool Value)
{
    FSimplePanel = Value;
    Invalidate();
}

void TStatusBar::SetSimpleText(const String& Value)
{
    FSimpleText = Value;
    Invalidate();
}

void TStatusBar::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    canvas->SetFont(Font());
    auto cell = [canvas](TRect rect, const String& text, TAlignment alignment, TStatusPanelBevel bevel) {
        if (bevel == pbLowered)
            Frame3D(*canvas, rect, clBtnShadow, clBtnHighlight, 1);
        else if (bevel == pbRaised)
            Frame3D(*canvas, rect, clBtnHighlight, clBtnShadow, 1);
        else
            rect = Rect(rect.Left + 1, rect.Top + 1, rect.Right - 1,
                        rect.Bottom - 1);  // the text where framed
        rect.Left += 2;
        rect.Right -= 2;
        canvas->Brush()->SetStyle(bsClear);
        const unsigned format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                                (alignment == taCenter         ? DT_CENTER
                                 : alignment == taRightJustify ? DT_RIGHT
                                                               : DT_LEFT);
        canvas->DrawText(text, rect, format);
    };
    if (FSimplePanel || FPanels.empty()) {
        cell(Rect(0, 2, Width(), Height()), FSimplePanel ? FSimpleText : String(), taLeftJustify, pbLowered);
        return;
    }
    int left = 0;
    for (size_t i = 0; i < FPanels.size(); ++i) {
        const TStatusPanel& panel = *FPanels[i];
        const int right = i + 1 == FPanels.size() ? Width() : left + panel.Width();
        cell(Rect(left, 2, right, Height()), panel.Text(), panel.Alignment(), panel.Bevel());
        left = right + 2;
    }
}
