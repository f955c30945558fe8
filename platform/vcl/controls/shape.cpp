#include "platform/vcl/controls/shape.h"

#include "platform/rtl/strutils.h"

TShape::TShape(TComponent* AOwner)
    : TGraphicControl(AOwner), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
    FPen->OnChange = [this](TObject*) { Invalidate(); };
    FBrush->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 65, 65);
}

TShape::~TShape()
{
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
}

bool TShape::InheritsFrom(const String& name) const
{
    return SameText(name, "TShape") || TGraphicControl::InheritsFrom(name);
}

void TShape::SetShape(TShapeType Value)
{
    FShape = Value;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->SetPen(FPen.get());
    canvas->SetBrush(FBrush.get());
    const int inset = FPen->Width() / 2;
    int x = inset;
    int y = inset;
    int w = Width() - inset * 2;
    int h = Height() - inset * 2;
    if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
        const int side = std::min(w, h);
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (FShape) {
    case stRectangle:
    case stSquare: canvas->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: canvas->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    default: canvas->Ellipse(x, y, x + w, y + h); break;
    }
}
