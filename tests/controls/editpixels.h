#pragma once
// What an edit shows, read from its pixels: where its text lies inside the frame.

#include <QImage>
#include <QStyle>
#include <QWidget>
#include <cstdlib>

#include "platform/vcl/controls/controls.h"
#include "platform/vcl/qt/qgraphics.h"

// The edit as it paints itself now.
struct TEditPixels {
    explicit TEditPixels(TControl* Edit)
        : Image(Edit->Widget()->grab().toImage()),
          Frame(Edit->Widget()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, Edit->Widget())),
          Background(Edit->Color())
    {
    }

    TColor At(int X, int Y) const { return FromQColor(Image.pixelColor(X, Y)); }
    // The colour at (X, Y) of the client area inside the frame.
    TColor InClient(int X, int Y) const { return At(Frame + X, Frame + Y); }

    // The first and last columns and the first row, inside the frame and the pixel next
    // to it, that differ from the background; -1 when there are none.
    struct TInk {
        int First = -1;
        int Last = -1;
        int Top = -1;
    };
    TInk Ink() const
    {
        TInk ink;
        const TColor rgb = ColorToRGB(Background);
        for (int y = Frame + 1; y < Image.height() - Frame - 1; ++y) {
            for (int x = Frame + 1; x < Image.width() - Frame - 1; ++x) {
                const QColor c = Image.pixelColor(x, y);
                const int distance = std::abs(c.red() - GetRValue(rgb)) +
                                     std::abs(c.green() - GetGValue(rgb)) +
                                     std::abs(c.blue() - GetBValue(rgb));
                if (distance < 90)
                    continue;
                if (ink.First < 0 || x < ink.First)
                    ink.First = x;
                if (x > ink.Last)
                    ink.Last = x;
                if (ink.Top < 0)
                    ink.Top = y;
            }
        }
        return ink;
    }

    QImage Image;
    int Frame;
    TColor Background;
};
