#include "platform/vcl/graphics/canvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <cstdlib>

#include "platform/vcl/graphics/graphic.h"
#include "platform/vcl/qt/qgraphics.h"
#include "platform/vcl/qt/qtext.h"

namespace {

QPolygon ToQPolygon(const std::vector<TPoint>& Points)
{
    QPolygon polygon;
    for (const TPoint& p : Points)
        polygon << QPoint(p.X, p.Y);
    return polygon;
}

// An "&" marks the next character as the accelerator unless DT_NOPREFIX.
QString DisplayText(const String& Text, unsigned Format)
{
    QString text = ToQString(Text);
    if (Format & DT_SINGLELINE)
        text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    else
        text.remove(QLatin1Char('\r'));
    return text;
}

}  // namespace

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>())
{
}

TCanvas::~TCanvas() = default;

QPainter* TCanvas::Painter()
{
    if (!FPainter)
        CreateHandle();
    return FPainter;
}

void TCanvas::AttachPainter(QPainter* Painter, int Dpi)
{
    FPainter = Painter;
    FDpi = Dpi;
}

void TCanvas::DetachPainter() { FPainter = nullptr; }

void TCanvas::ApplyFont()
{
    FPainter->setFont(ToQFont(*FFont, FDpi));
    FPainter->setPen(ToQColor(FFont->Color()));
}

void TCanvas::ApplyPen()
{
    FPainter->setPen(ToQPen(*FPen));
    switch (FPen->Mode()) {
    case pmXor: FPainter->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case pmNot: FPainter->setCompositionMode(QPainter::RasterOp_NotDestination); break;
    case pmNotXor: FPainter->setCompositionMode(QPainter::RasterOp_NotSourceXorDestination); break;
    case pmMerge: FPainter->setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case pmMask: FPainter->setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    default: FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    }
}

void TCanvas::ApplyBrush() { FPainter->setBrush(ToQBrush(*FBrush)); }

void TCanvas::LineTo(int X, int Y)
{
    const TPoint from = FPenPos;
    FPenPos = Point(X, Y);
    if (!Painter() || (from.X == X && from.Y == Y))
        return;
    ApplyPen();
    // A flat-capped line leaves out its last pixel, as Windows draws lines.
    FPainter->drawLine(QPoint(from.X, from.Y), QPoint(X, Y));
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    if (!Painter() || X2 <= X1 || Y2 <= Y1)
        return;
    if (FBrush->Style() != bsClear)
        FPainter->fillRect(QRect(X1, Y1, X2 - X1, Y2 - Y1), ToQBrush(*FBrush));
    if (FPen->Style() == psClear)
        return;
    ApplyPen();
    FPainter->setBrush(Qt::NoBrush);
    const int w = std::max(1, FPen->Width());
    const int inset = w / 2;
    FPainter->drawRect(QRect(X1 + inset, Y1 + inset, X2 - X1 - w, Y2 - Y1 - w));
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::FillRect(const TRect& R)
{
    if (!Painter() || R.Width() <= 0 || R.Height() <= 0 || FBrush->Style() == bsClear)
        return;
    FPainter->fillRect(ToQRect(R), ToQBrush(*FBrush));
}

void TCanvas::FrameRect(const TRect& R)
{
    if (!Painter() || R.Width() <= 0 || R.Height() <= 0)
        return;
    FPainter->setPen(QPen(ToQColor(FBrush->Color()), 1));
    FPainter->setBrush(Qt::NoBrush);
    FPainter->drawRect(QRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1));
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2)
{
    if (!Painter())
        return;
    ApplyPen();
    ApplyBrush();
    FPainter->drawEllipse(QRect(X1, Y1, X2 - X1 - 1, Y2 - Y1 - 1));
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3)
{
    if (!Painter())
        return;
    ApplyPen();
    ApplyBrush();
    FPainter->drawRoundedRect(QRect(X1, Y1, X2 - X1 - 1, Y2 - Y1 - 1), X3 / 2.0, Y3 / 2.0);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Polygon(const std::vector<TPoint>& Points)
{
    if (!Painter() || Points.empty())
        return;
    ApplyPen();
    ApplyBrush();
    FPainter->drawPolygon(ToQPolygon(Points), Qt::OddEvenFill);
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Polyline(const std::vector<TPoint>& Points)
{
    if (Points.empty())
        return;
    MoveTo(Points.front().X, Points.front().Y);
    for (size_t i = 1; i < Points.size(); ++i)
        LineTo(Points[i].X, Points[i].Y);
}

void TCanvas::DrawFocusRect(const TRect& R)
{
    if (!Painter())
        return;
    QPen pen(Qt::white, 1, Qt::DotLine);
    FPainter->setPen(pen);
    FPainter->setBrush(Qt::NoBrush);
    FPainter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    FPainter->drawRect(QRect(R.Left, R.Top, R.Width() - 1, R.Height() - 1));
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::FillTextBackground(int X, int Y, int Width, int Height)
{
    if (FBrush->Style() == bsClear)
        return;
    FPainter->fillRect(QRect(X, Y, Width, Height), ToQColor(FBrush->Color()));
}

void TCanvas::TextOut(int X, int Y, const String& Text)
{
    const TSize extent = TextExtent(Text);
    if (Painter()) {
        FillTextBackground(X, Y, extent.cx, extent.cy);
        ApplyFont();
        FPainter->drawText(QPoint(X, Y + FPainter->fontMetrics().ascent()), ToQString(Text));
    }
    FPenPos = Point(X + extent.cx, Y);
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const String& Text)
{
    if (!Painter())
        return;
    FPainter->save();
    FPainter->setClipRect(ToQRect(R), Qt::IntersectClip);
    FillTextBackground(R.Left, R.Top, R.Width(), R.Height());
    ApplyFont();
    FPainter->drawText(QPoint(X, Y + FPainter->fontMetrics().ascent()), ToQString(Text));
    FPainter->restore();
}

TSize TCanvas::TextExtent(const String& Text)
{
    const QFontMetrics metrics(ToQFont(*FFont, FDpi));
    return TSize {metrics.horizontalAdvance(ToQString(Text)), metrics.height()};
}

int TCanvas::TextWidth(const String& Text) { return TextExtent(Text).cx; }

int TCanvas::TextAscent() { return QFontMetrics(ToQFont(*FFont, FDpi)).ascent(); }

int TCanvas::TextHeight(const String& Text) { return TextExtent(Text).cy; }

int TCanvas::DrawText(const String& Text, TRect& R, unsigned Format)
{
    const QFont font = ToQFont(*FFont, FDpi);
    const QFontMetrics metrics(font);
    QString text = DisplayText(Text, Format);
    int flags = 0;
    if (Format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (Format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if ((Format & DT_SINGLELINE) && (Format & DT_VCENTER))
        flags |= Qt::AlignVCenter;
    else if ((Format & DT_SINGLELINE) && (Format & DT_BOTTOM))
        flags |= Qt::AlignBottom;
    else
        flags |= Qt::AlignTop;
    if ((Format & DT_WORDBREAK) && !(Format & DT_SINGLELINE))
        flags |= Qt::TextWordWrap;
    if (Format & DT_EXPANDTABS)
        flags |= Qt::TextExpandTabs;
    flags |= (Format & DT_NOPREFIX) ? 0 : Qt::TextShowMnemonic;
    if (Format & DT_NOPREFIX)
        text.replace(QLatin1String("&"), QLatin1String("&&"));
    if (Format & DT_END_ELLIPSIS) {
        // Line by line: a two-line title is cut where each of its lines ends.
        QStringList lines = text.split(QLatin1Char('\n'));
        for (QString& line : lines)
            line = metrics.elidedText(line, Qt::ElideRight, R.Width(), Qt::TextShowMnemonic);
        text = lines.join(QLatin1Char('\n'));
    }

    const QRect area = ToQRect(R);
    const int wrapWidth = (flags & Qt::TextWordWrap) ? std::max(1, area.width()) : 100000;
    const QRect bounds = metrics.boundingRect(
            QRect(area.x(), area.y(), wrapWidth, 100000),
            flags & ~(Qt::AlignVCenter | Qt::AlignBottom | Qt::AlignHCenter | Qt::AlignRight), text);
    if (Format & DT_CALCRECT) {
        R.Right = R.Left + bounds.width();
        R.Bottom = R.Top + bounds.height();
        return bounds.height();
    }
    if (Painter()) {
        FPainter->save();
        if (!(Format & DT_NOCLIP))
            FPainter->setClipRect(area, Qt::IntersectClip);
        ApplyFont();
        FPainter->drawText(area, flags, text);
        FPainter->restore();
    }
    return bounds.height();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Graphic->Draw(*this, Bounds(X, Y, Graphic->Width(), Graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic)
{
    if (!Graphic || Graphic->Empty())
        return;
    Graphic->Draw(*this, R);
}

void TCanvas::CopyRect(const TRect& DestRect, TCanvas* Source, const TRect& SourceRect)
{
    if (!Source || !Painter())
        return;
    Source->Painter();
    const QImage* image = Source->Image();
    if (!image)
        return;
    FPainter->drawImage(ToQRect(DestRect), *image, ToQRect(SourceRect));
}

TColor TCanvas::Pixels(int X, int Y)
{
    Painter();
    const QImage* image = Image();
    if (!image || !image->valid(X, Y))
        return -1;
    return FromQColor(image->pixelColor(X, Y));
}

void TCanvas::SetPixel(int X, int Y, TColor Color)
{
    Painter();
    QImage* image = Image();
    if (!image || !image->valid(X, Y))
        return;
    FPainter->save();
    FPainter->setPen(QPen(ToQColor(Color), 1));
    FPainter->drawPoint(X, Y);
    FPainter->restore();
}

void TCanvas::SetClipRect(const TRect& R)
{
    if (Painter())
        FPainter->setClipRect(ToQRect(R));
}

void TCanvas::ResetClip()
{
    if (Painter())
        FPainter->setClipping(false);
}

TRect TCanvas::ClipRect()
{
    if (Painter() && FPainter->hasClipping())
        return FromQRect(FPainter->clipBoundingRect().toAlignedRect());
    const TSize size = SurfaceSize();
    return Rect(0, 0, size.cx, size.cy);
}
