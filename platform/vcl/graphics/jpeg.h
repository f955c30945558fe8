#pragma once
// A JPEG picture, decoded by libjpeg when it is loaded.

#include <memory>

#include "platform/vcl/graphics/graphic.h"

class QImage;
class TBitmap;

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    String ClassName() const override { return "TJPEGImage"; }
    void Assign(TPersistent* Source) override;

    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    bool Grayscale() const { return FGrayscale; }

    // Raises EInvalidGraphic with libjpeg's message for a damaged or foreign stream.
    void LoadFromStream(TStream& Stream) override;
    // Writes the bytes it was loaded from.
    void SaveToStream(TStream& Stream) override;

    // The decoded pixels as a bitmap's.
    const QImage& Image() const { return *FImage; }

protected:
    void AssignTo(TPersistent* Dest) override;
    void Draw(TCanvas& ACanvas, const TRect& R) override;

private:
    std::unique_ptr<QImage> FImage;
    std::unique_ptr<std::string> FData;
    bool FGrayscale = false;
};
