#include "platform/vcl/controls/image.h"

#include "platform/rtl/strutils.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    FPicture->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->OnChange = nullptr; }

bool TImage::InheritsFrom(const String& name) const
{
    return SameText(name, "TImage") || TGraphicControl::InheritsFrom(name);
}

void TImage::SetStretch(bool Value)
{
    FStretch = Value;
    Invalidate();
}

void TImage::SetCenter(bool Value)
{
    FCenter = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value)
{
    FTransparent = Value;
    if (FPicture->Graphic())
        FPicture->Graphic()->SetTransparent(Value);
    Invalidate();
}

void TImage::SetAutoSize(bool Value)
{
    FAutoSize = Value;
    PictureChanged();
}

void TImage::PictureChanged()
{
    if (FPicture->Graphic() && FTransparent != FPicture->Graphic()->Transparent())
        FPicture->Graphic()->SetTransparent(FTransparent);
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    Invalidate();
}

void TImage::Paint()
{
    TGraphic* graphic = FPicture->Graphic();
    if (!graphic || graphic->Empty())
        return;
    TCanvas* canvas = Canvas();
    if (FStretch) {
        canvas->StretchDraw(ClientRect(), graphic);
        return;
    }
    const int x = FCenter ? (Width() - graphic->Width()) / 2 : 0;
    const int y = FCenter ? (Height() - graphic->Height()) / 2 : 0;
    canvas->Draw(x, y, graphic);
}
