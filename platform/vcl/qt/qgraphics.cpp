#include "platform/vcl/qt/qgraphics.h"

#include <cmath>
#include <cstdlib>

#include "platform/vcl/qt/qtext.h"

QColor ToQColor(TColor Color)
{
    if (Color == clNone)
        return QColor(Qt::transparent);
    const TColor rgb = ColorToRGB(Color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& Color)
{
    return RGB(static_cast<Byte>(Color.red()), static_cast<Byte>(Color.green()),
               static_cast<Byte>(Color.blue()));
}

QFont ToQFont(const TFont& Font, int Dpi)
{
    QFont font(ToQString(Font.Name()));
    const String& name = Font.Name();
    if (name.find("Courier") != String::npos) {
        font.setStyleHint(QFont::TypeWriter);
    } else if (name.find("Times") != String::npos) {
        font.setStyleHint(QFont::Serif);
    } else {
        font.setStyleHint(QFont::SansSerif);
    }
    // A positive height includes the internal leading; near enough at these sizes.
    const double pixels = std::abs(Font.Height()) * static_cast<double>(Dpi) / Font.PixelsPerInch();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    font.setBold(Font.Style().Contains(fsBold));
    font.setItalic(Font.Style().Contains(fsItalic));
    font.setUnderline(Font.Style().Contains(fsUnderline));
    font.setStrikeOut(Font.Style().Contains(fsStrikeOut));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QPen ToQPen(const TPen& Pen)
{
    if (Pen.Style() == psClear || Pen.Color() == clNone)
        return QPen(Qt::NoPen);
    QPen pen(ToQColor(Pen.Color()));
    pen.setWidth(std::max(1, Pen.Width()));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (Pen.Style()) {
    case psDash: pen.setStyle(Qt::DashLine); break;
    case psDot: pen.setStyle(Qt::DotLine); break;
    case psDashDot: pen.setStyle(Qt::DashDotLine); break;
    case psDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::SolidLine); break;
    }
    return pen;
}

QBrush ToQBrush(const TBrush& Brush)
{
    const QColor color = ToQColor(Brush.Color());
    switch (Brush.Style()) {
    case bsClear: return QBrush(Qt::NoBrush);
    case bsHorizontal: return QBrush(color, Qt::HorPattern);
    case bsVertical: return QBrush(color, Qt::VerPattern);
    case bsFDiagonal: return QBrush(color, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(color, Qt::BDiagPattern);
    case bsCross: return QBrush(color, Qt::CrossPattern);
    case bsDiagCross: return QBrush(color, Qt::DiagCrossPattern);
    default: return QBrush(color);
    }
}
