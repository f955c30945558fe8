#include "platform/vcl/graphics/jpeg.h"

#include <QImage>
#include <QPainter>
#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"
#include "platform/vcl/qt/qstreams.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr Public;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr Info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(Info->err);
    (*Info->err->format_message)(Info, manager->Message);
    std::longjmp(manager->Jump, 1);
}

void SilentWarning(j_common_ptr, int) { }

// Decodes into Image; on failure returns false with libjpeg's message. Nothing with a
// destructor lives between setjmp and a jump.
bool Decode(const unsigned char* Data, unsigned long Size, QImage& Image, bool& Grayscale, char* Message)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.Public);
    errors.Public.error_exit = ErrorExit;
    errors.Public.emit_message = SilentWarning;
    errors.Message[0] = 0;
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        std::snprintf(Message, JMSG_LENGTH_MAX, "%s", errors.Message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, Data, Size);
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    Grayscale = info.jpeg_color_space == JCS_GRAYSCALE;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);
    Image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB32);
    // libjpeg's own pool holds the row, so a jump out leaks nothing.
    JSAMPARRAY rows = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                                info.output_width * info.output_components, 1);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        jpeg_read_scanlines(&info, rows, 1);
        const JSAMPLE* row = rows[0];
        auto* line = reinterpret_cast<QRgb*>(Image.scanLine(y));
        for (unsigned x = 0; x < info.output_width; ++x) {
            const JSAMPLE* p = row + static_cast<size_t>(x) * info.output_components;
            if (cmyk) {
                // Adobe's CMYK JPEGs store the inks inverted.
                line[x] = qRgb(p[0] * p[3] / 255, p[1] * p[3] / 255, p[2] * p[3] / 255);
            } else {
                line[x] = qRgb(p[0], p[1], p[2]);
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

TJPEGImage::TJPEGImage() : FImage(std::make_unique<QImage>()), FData(std::make_unique<std::string>()) { }

TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::Width() const { return FImage->width(); }

int TJPEGImage::Height() const { return FImage->height(); }

bool TJPEGImage::Empty() const { return FImage->isNull(); }

void TJPEGImage::Assign(TPersistent* Source)
{
    if (auto* jpeg = dynamic_cast<TJPEGImage*>(Source)) {
        *FImage = *jpeg->FImage;
        *FData = *jpeg->FData;
        FGrayscale = jpeg->FGrayscale;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest)
{
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        bitmap->SetPixelFormat(pf24bit);
        bitmap->SetImage(*FImage);
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TJPEGImage::LoadFromStream(TStream& Stream)
{
    const QByteArray bytes = ReadRemaining(Stream);
    QImage image;
    bool grayscale = false;
    char message[JMSG_LENGTH_MAX];
    if (bytes.isEmpty())
        throw EInvalidGraphic("JPEG error: empty stream");
    if (!Decode(reinterpret_cast<const unsigned char*>(bytes.constData()),
                static_cast<unsigned long>(bytes.size()), image, grayscale, message)) {
        throw EInvalidGraphic(String("JPEG error: ") + message);
    }
    *FImage = image;
    FData->assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    FGrayscale = grayscale;
    Changed();
}

void TJPEGImage::SaveToStream(TStream& Stream)
{
    WriteAll(Stream, QByteArray(FData->data(), static_cast<qsizetype>(FData->size())));
}

void TJPEGImage::Draw(TCanvas& ACanvas, const TRect& R)
{
    QPainter* painter = ACanvas.Painter();
    if (!painter || Empty())
        return;
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(QRect(R.Left, R.Top, R.Width(), R.Height()), *FImage);
}
