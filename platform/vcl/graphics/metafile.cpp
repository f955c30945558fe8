#include "platform/vcl/graphics/metafile.h"

#include <QBuffer>
#include <QDataStream>
#include <QPainter>
#include <QPicture>

#include "platform/vcl/qt/qstreams.h"

namespace {

constexpr char Magic[4] = {'T', 'M', 'F', '1'};

}  // namespace

TMetafile::TMetafile() : FPicture(std::make_unique<QPicture>()) { }

TMetafile::~TMetafile() = default;

bool TMetafile::Empty() const { return FPicture->isNull(); }

void TMetafile::SetWidth(int Value)
{
    FWidth = std::max(0, Value);
    Changed();
}

void TMetafile::SetHeight(int Value)
{
    FHeight = std::max(0, Value);
    Changed();
}

void TMetafile::Clear()
{
    *FPicture = QPicture();
    FWidth = 0;
    FHeight = 0;
    Changed();
}

void TMetafile::Assign(TPersistent* Source)
{
    if (auto* metafile = dynamic_cast<TMetafile*>(Source)) {
        *FPicture = *metafile->FPicture;
        FWidth = metafile->FWidth;
        FHeight = metafile->FHeight;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TMetafile::Draw(TCanvas& ACanvas, const TRect& R)
{
    QPainter* painter = ACanvas.Painter();
    if (!painter || Empty() || FWidth <= 0 || FHeight <= 0)
        return;
    painter->save();
    painter->translate(R.Left, R.Top);
    // A recording replays enlarged by the device's resolution over its own; the
    // frame maps onto R whatever the device.
    const QPaintDevice* device = painter->device();
    const double dpiX = static_cast<double>(FPicture->logicalDpiX()) / device->logicalDpiX();
    const double dpiY = static_cast<double>(FPicture->logicalDpiY()) / device->logicalDpiY();
    painter->scale(dpiX * R.Width() / FWidth, dpiY * R.Height() / FHeight);
    painter->drawPicture(0, 0, *FPicture);
    painter->restore();
}

void TMetafile::LoadFromStream(TStream& Stream)
{
    const QByteArray bytes = ReadRemaining(Stream);
    if (bytes.size() < 12 || !bytes.startsWith(QByteArray(Magic, 4)))
        throw EInvalidGraphic("Metafile is not valid");
    QDataStream in(bytes);
    in.skipRawData(4);
    qint32 width = 0;
    qint32 height = 0;
    QByteArray data;
    in >> width >> height >> data;
    QPicture picture;
    QBuffer buffer(&data);
    if (in.status() != QDataStream::Ok || width < 0 || height < 0 || !buffer.open(QIODevice::ReadOnly) ||
        !picture.load(&buffer)) {
        throw EInvalidGraphic("Metafile is not valid");
    }
    *FPicture = picture;
    FWidth = width;
    FHeight = height;
    Changed();
}

void TMetafile::SaveToStream(TStream& Stream)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.writeRawData(Magic, 4);
    out << qint32(FWidth) << qint32(FHeight)
        << QByteArray(FPicture->data(), static_cast<qsizetype>(FPicture->size()));
    WriteAll(Stream, bytes);
}

struct TMetafileCanvas::TRecording {
    QPicture Picture;
    QPainter Painter;
};

TMetafileCanvas::TMetafileCanvas(TMetafile* Metafile)
    : FMetafile(Metafile), FRecording(std::make_unique<TRecording>())
{
    FRecording->Painter.begin(&FRecording->Picture);
    AttachPainter(&FRecording->Painter, ScreenPixelsPerInch);
}

TMetafileCanvas::~TMetafileCanvas()
{
    DetachPainter();
    FRecording->Painter.end();
    const QRect extent = FRecording->Picture.boundingRect();
    *FMetafile->FPicture = FRecording->Picture;
    if (FMetafile->FWidth <= 0)
        FMetafile->FWidth = extent.right() + 1;
    if (FMetafile->FHeight <= 0)
        FMetafile->FHeight = extent.bottom() + 1;
    FMetafile->Changed();
}

TSize TMetafileCanvas::SurfaceSize() { return TSize {FMetafile->Width(), FMetafile->Height()}; }
