#include "datacontrols/richtext/dwruler.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int MarkerGap = 48;

int Pixels(int Twips, int Ppi)
{
    return static_cast<int>(std::lround(static_cast<double>(Twips) * Ppi / 1440));
}
int Twips(int Pixels, int Ppi)
{
    return static_cast<int>(std::lround(static_cast<double>(Pixels) * 1440 / Ppi));
}
int Divisions(TdwMeasurementUnits Units) { return Units == muInches ? 8 : 4; }

}  // namespace

double dwRulerPixelsPerUnit(int ScreenPixelsPerInch, TdwMeasurementUnits Units)
{
    return Units == muInches ? ScreenPixelsPerInch : ScreenPixelsPerInch / dwCentimetersPerInch;
}

double dwRulerLengthForWindow(int EditingWidth, double PixelsPerUnit)
{
    return (EditingWidth - 12) / PixelsPerUnit;
}

double dwRulerLengthForPage(double PageWidthInches, double LeftMarginInches, double RightMarginInches,
                            TdwMeasurementUnits Units)
{
    const double inches = PageWidthInches - LeftMarginInches - RightMarginInches;
    return Units == muInches ? inches : inches * dwCentimetersPerInch;
}

TdwRulerScale dwRulerScale(const TRect& Band, double PixelsPerUnit, double Length, TdwMeasurementUnits Units)
{
    TdwRulerScale scale;
    const int divisions = Divisions(Units);
    for (int n = 0; n <= static_cast<int>(std::floor(Length)); ++n) {
        const double unitX = Band.Left + n * PixelsPerUnit;
        if (n > 0)
            scale.Numbers.push_back({static_cast<int>(std::lround(unitX)), n});
        for (int d = 1; d < divisions; ++d) {
            if (n + static_cast<double>(d) / divisions > Length)
                break;
            const int x = static_cast<int>(std::lround(unitX + d * PixelsPerUnit / divisions));
            const bool middle = d * 2 == divisions;
            scale.Ticks.push_back({x, Band.Top + (middle ? 7 : 8), Band.Bottom - (middle ? 5 : 7)});
        }
    }
    return scale;
}

TdwRulerMarkers dwRulerMarkersFor(int StartIndent, int RightIndent, int Offset, const TRect& Band,
                                  int RulerWidth, int MarkerWidth, int ScreenPixelsPerInch)
{
    const int half = MarkerWidth / 2;
    TdwRulerMarkers m;
    m.Left =
            Pixels(Offset, ScreenPixelsPerInch) + Pixels(StartIndent, ScreenPixelsPerInch) + Band.Left - half;
    m.Right = RulerWidth - Pixels(RightIndent, ScreenPixelsPerInch) - MarkerWidth;
    m.FirstLine = Pixels(StartIndent, ScreenPixelsPerInch) + Band.Left - half;
    return m;
}

TdwRulerMarkers dwConstrainRulerMarkers(TdwRulerMarkers Markers, TdwRulerMarker Dragged, const TRect& Band,
                                        int MarkerWidth, int ScreenPixelsPerInch, TdwMeasurementUnits Units)
{
    const int half = MarkerWidth / 2;
    const int minimum = Band.Left - half;
    const int maximum = Band.Right - half;
    const double division = dwRulerPixelsPerUnit(ScreenPixelsPerInch, Units) / Divisions(Units);
    const auto snap = [&](int Left) {
        const double steps = std::round((Left - minimum) / division);
        return std::clamp(minimum + static_cast<int>(std::lround(steps * division)), minimum, maximum);
    };
    Markers.FirstLine = snap(Markers.FirstLine);
    Markers.Left = snap(Markers.Left);
    Markers.Right = snap(Markers.Right);
    if (Dragged == rmRight) {
        Markers.Right = std::max(Markers.Right, std::max(Markers.Left, Markers.FirstLine) + MarkerGap);
    } else {
        Markers.Left = std::min(Markers.Left, Markers.Right - MarkerGap);
        Markers.FirstLine = std::min(Markers.FirstLine, Markers.Right - MarkerGap);
    }
    return Markers;
}

TdwRulerIndents dwRulerIndentsFor(const TdwRulerMarkers& Markers, const TRect& Band, int MarkerWidth,
                                  int ScreenPixelsPerInch)
{
    const int half = MarkerWidth / 2;
    const int minimum = Band.Left - half;
    const int a = Twips(Markers.Left - minimum, ScreenPixelsPerInch);
    const int b = Twips(Markers.FirstLine - minimum, ScreenPixelsPerInch);
    TdwRulerIndents indents;
    indents.StartIndent = b;
    indents.Offset = a + std::min(-b, a);
    indents.RightIndent = std::max(0, Twips(Band.Right - (Markers.Right + half), ScreenPixelsPerInch));
    return indents;
}
