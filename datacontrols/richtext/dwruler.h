#pragma once
// The arithmetic of the rich text editor's ruler: its scale, where the three indent
// markers stand for a paragraph's indents, and the indents a dragged marker sets. All
// from twips and screen pixels, so that the ruler control only draws and reads the mouse.

#include <vector>

#include "datacontrols/richtext/dwrichunits.h"
#include "platform/vcl/graphics/geometry.h"

// Screen pixels for one inch or one centimetre.
double dwRulerPixelsPerUnit(int ScreenPixelsPerInch, TdwMeasurementUnits Units);
// How many units the ruler spans: the editing width in pixels less 12, or, for a
// printer-sized layout, the page width (inches) less the margins (inches).
double dwRulerLengthForWindow(int EditingWidth, double PixelsPerUnit);
double dwRulerLengthForPage(double PageWidthInches, double LeftMarginInches, double RightMarginInches,
                            TdwMeasurementUnits Units);

struct TdwRulerTick {
    int X;
    int Top;
    int Bottom;
};
struct TdwRulerNumber {
    int X;  // the centre of the number's text
    int Value;
};
struct TdwRulerScale {
    std::vector<TdwRulerTick> Ticks;
    std::vector<TdwRulerNumber> Numbers;
};
// The numbers at every whole unit after 0 and the ticks between them: 8 to the inch, 4
// to the centimetre, the middle one longer; none beyond the length.
TdwRulerScale dwRulerScale(const TRect& Band, double PixelsPerUnit, double Length, TdwMeasurementUnits Units);

// The markers' Left positions for a paragraph's start indent S, right indent R and offset
// O (twips). MarkerWidth is the width of each marker bitmap.
struct TdwRulerMarkers {
    int FirstLine;
    int Left;
    int Right;
};
TdwRulerMarkers dwRulerMarkersFor(int StartIndent, int RightIndent, int Offset, const TRect& Band,
                                  int RulerWidth, int MarkerWidth, int ScreenPixelsPerInch);

// The markers after a drag: the left-side ones at least 48 pixels left of the right one,
// the right one at least 48 pixels right of the left-side ones (Dragged says which moved),
// every one on a division of the unit.
enum TdwRulerMarker { rmFirstLine, rmLeft, rmRight };
TdwRulerMarkers dwConstrainRulerMarkers(TdwRulerMarkers Markers, TdwRulerMarker Dragged, const TRect& Band,
                                        int MarkerWidth, int ScreenPixelsPerInch, TdwMeasurementUnits Units);

// The indents the markers stand for, in twips.
struct TdwRulerIndents {
    int StartIndent;
    int Offset;
    int RightIndent;
};
TdwRulerIndents dwRulerIndentsFor(const TdwRulerMarkers& Markers, const TRect& Band, int MarkerWidth,
                                  int ScreenPixelsPerInch);
