#pragma once
// A picture of pixels with a canvas to draw on; reads and writes BMP files.

#include <memory>

#include "platform/vcl/graphics/canvas.h"
#include "platform/vcl/graphics/graphic.h"

class QImage;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    String ClassName() const override { return "TBitmap"; }
    // Copies a bitmap, or draws any other picture onto a bitmap of its size.
    void Assign(TPersistent* Source) override;

    int Width() const override;
    int Height() const override;
    bool Empty() const override;
    void SetWidth(int Value) { SetSize(Value, Height()); }
    void SetHeight(int Value) { SetSize(Width(), Value); }
    // Keeps the pixels that still fit; new pixels are white.
    void SetSize(int NewWidth, int NewHeight);
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);

    TCanvas* Canvas();

    void LoadFromStream(TStream& Stream) override;
    // A BMP of the pixel format's depth (24 bits for pfDevice and above).
    void SaveToStream(TStream& Stream) override;

    // The pixels, with every drawing so far finished.
    const QImage& Image();
    // The pixels as drawn: with Transparent, the bottom-left pixel's colour see-through.
    QImage DrawnImage();
    void SetImage(const QImage& Image);

protected:
    void Draw(TCanvas& ACanvas, const TRect& R) override;

private:
    class TBitmapCanvas;
    void FinishDrawing();

    std::unique_ptr<QImage> FImage;
    std::unique_ptr<TBitmapCanvas> FCanvas;
    TPixelFormat FPixelFormat = pfDevice;
};
