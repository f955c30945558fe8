#pragma once
// Conversions of the drawing tools to Qt's.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QRect>

#include "platform/vcl/graphics/geometry.h"
#include "platform/vcl/graphics/graphics.h"

QColor ToQColor(TColor Color);
TColor FromQColor(const QColor& Color);
// The font at a device of Dpi pixels per inch; sizes are whole pixels.
QFont ToQFont(const TFont& Font, int Dpi);
QPen ToQPen(const TPen& Pen);
QBrush ToQBrush(const TBrush& Brush);
// The rectangle's pixels (its right and bottom edges excluded).
inline QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }
inline TRect FromQRect(const QRect& R) { return Bounds(R.x(), R.y(), R.width(), R.height()); }
