#include "platform/vcl/graphics/picture.h"

#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/graphics/jpeg.h"
#include "platform/vcl/graphics/metafile.h"

namespace {

std::unique_ptr<TGraphic> NewGraphicLike(const TGraphic& Graphic)
{
    if (dynamic_cast<const TBitmap*>(&Graphic))
        return std::make_unique<TBitmap>();
    if (dynamic_cast<const TJPEGImage*>(&Graphic))
        return std::make_unique<TJPEGImage>();
    if (dynamic_cast<const TMetafile*>(&Graphic))
        return std::make_unique<TMetafile>();
    return nullptr;
}

}  // namespace

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> Graphic)
{
    FGraphic = std::move(Graphic);
    if (FGraphic)
        FGraphic->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::Assign(TPersistent* Source)
{
    if (!Source) {
        Take(nullptr);
        return;
    }
    if (auto* picture = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(picture->Graphic());
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::SetGraphic(TGraphic* Value)
{
    if (!Value) {
        Take(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> copy = NewGraphicLike(*Value);
    if (!copy)
        throw EInvalidGraphic("Unsupported picture format");
    copy->Assign(Value);
    Take(std::move(copy));
}

TBitmap* TPicture::Bitmap()
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(FGraphic.get()))
        return bitmap;
    Take(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::LoadFromFile(const String& FileName)
{
    const String ext = LowerCase(ExtractFileExt(FileName));
    std::unique_ptr<TGraphic> graphic;
    if (ext == ".bmp")
        graphic = std::make_unique<TBitmap>();
    else if (ext == ".jpg" || ext == ".jpeg")
        graphic = std::make_unique<TJPEGImage>();
    else if (ext == ".emf" || ext == ".wmf" || ext == ".tmf")
        graphic = std::make_unique<TMetafile>();
    else
        throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
    graphic->LoadFromFile(FileName);
    Take(std::move(graphic));
}

void TPicture::SaveToFile(const String& FileName)
{
    if (FGraphic)
        FGraphic->SaveToFile(FileName);
}
