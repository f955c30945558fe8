#include "platform/vcl/graphics/bitmap.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include "platform/vcl/qt/qstreams.h"

// Paints on the bitmap's image from the first drawing until the image is needed whole.
class TBitmap::TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& Owner) : FOwner(Owner) { }
    ~TBitmapCanvas() override { Finish(); }

    void Finish()
    {
        if (!FPainter.isActive())
            return;
        FPainter.end();
        DetachPainter();
    }

protected:
    void CreateHandle() override
    {
        QImage& image = *FOwner.FImage;
        if (image.isNull())
            return;
        if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_Indexed8) {
            image = image.convertToFormat(QImage::Format_RGB32);
        }
        if (FPainter.begin(&image))
            AttachPainter(&FPainter, ScreenPixelsPerInch);
    }
    QImage* Image() override { return FOwner.FImage.get(); }
    TSize SurfaceSize() override { return TSize {FOwner.Width(), FOwner.Height()}; }

private:
    TBitmap& FOwner;
    QPainter FPainter;
};

TBitmap::TBitmap() : FImage(std::make_unique<QImage>()) { }

TBitmap::~TBitmap() { FCanvas.reset(); }

void TBitmap::FinishDrawing()
{
    if (FCanvas)
        FCanvas->Finish();
}

int TBitmap::Width() const { return FImage->width(); }

int TBitmap::Height() const { return FImage->height(); }

bool TBitmap::Empty() const { return FImage->isNull() || FImage->width() == 0 || FImage->height() == 0; }

TCanvas* TBitmap::Canvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TBitmapCanvas>(*this);
    return FCanvas.get();
}

void TBitmap::SetSize(int NewWidth, int NewHeight)
{
    NewWidth = std::max(0, NewWidth);
    NewHeight = std::max(0, NewHeight);
    if (NewWidth == Width() && NewHeight == Height())
        return;
    FinishDrawing();
    QImage image;
    if (NewWidth > 0 && NewHeight > 0) {
        image = QImage(NewWidth, NewHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        if (!FImage->isNull()) {
            QPainter painter(&image);
            painter.drawImage(0, 0, *FImage);
        }
    }
    *FImage = image;
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value)
{
    if (Value == FPixelFormat)
        return;
    FPixelFormat = Value;
    Changed();
}

const QImage& TBitmap::Image()
{
    FinishDrawing();
    return *FImage;
}

void TBitmap::SetImage(const QImage& Image)
{
    FinishDrawing();
    *FImage = Image.isNull() ? QImage() : Image.convertToFormat(QImage::Format_RGB32);
    Changed();
}

void TBitmap::Assign(TPersistent* Source)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
        if (bitmap == this)
            return;
        FPixelFormat = bitmap->FPixelFormat;
        SetImage(bitmap->Image());
        return;
    }
    if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
        FinishDrawing();
        *FImage = QImage();
        SetSize(graphic->Width(), graphic->Height());
        Canvas()->StretchDraw(Rect(0, 0, Width(), Height()), graphic);
        FinishDrawing();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::LoadFromStream(TStream& Stream)
{
    QByteArray bytes = ReadRemaining(Stream);
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "BMP");
    QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic("Bitmap image is not valid");
    switch (image.depth()) {
    case 1: FPixelFormat = pf1bit; break;
    case 4: FPixelFormat = pf4bit; break;
    case 8: FPixelFormat = pf8bit; break;
    case 16: FPixelFormat = pf16bit; break;
    case 32: FPixelFormat = image.hasAlphaChannel() ? pf32bit : pf24bit; break;
    default: FPixelFormat = pf24bit; break;
    }
    SetImage(image);
}

void TBitmap::SaveToStream(TStream& Stream)
{
    QImage image = Image();
    if (image.isNull())
        image = QImage(1, 1, QImage::Format_RGB32);  // an empty bitmap still writes a file
    switch (FPixelFormat) {
    case pf1bit: image = image.convertToFormat(QImage::Format_Mono); break;
    case pf4bit:
    case pf8bit: image = image.convertToFormat(QImage::Format_Indexed8); break;
    default: image = image.convertToFormat(QImage::Format_RGB32); break;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP"))
        throw EInvalidGraphic("Bitmap image could not be written");
    WriteAll(Stream, bytes);
}

QImage TBitmap::DrawnImage()
{
    const QImage& image = Image();
    if (!Transparent() || image.isNull())
        return image;
    // The bottom-left pixel's colour is the transparent one.
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = image.pixel(0, image.height() - 1) | 0xFF000000u;
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
        }
    }
    return masked;
}

void TBitmap::Draw(TCanvas& ACanvas, const TRect& R)
{
    QPainter* painter = ACanvas.Painter();
    if (!painter || Empty())
        return;
    painter->drawImage(QRect(R.Left, R.Top, R.Width(), R.Height()), DrawnImage());
}
