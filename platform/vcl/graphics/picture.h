#pragma once
// A picture of any kind, loaded by its file's extension: .bmp, .jpg/.jpeg, .emf/.wmf/.tmf.

#include <memory>

#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/graphic.h"

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    String ClassName() const override { return "TPicture"; }
    void Assign(TPersistent* Source) override;

    // The picture; null when empty.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Copies Value (null empties the picture).
    void SetGraphic(TGraphic* Value);
    // The picture as a bitmap: a bitmap picture, or an empty bitmap replacing any other.
    TBitmap* Bitmap();
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    // Raises EInvalidGraphic "Unknown picture file extension (.xyz)" for other extensions.
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName);

    TNotifyEvent OnChange;

private:
    void Changed();
    void Take(std::unique_ptr<TGraphic> Graphic);

    std::unique_ptr<TGraphic> FGraphic;
};
