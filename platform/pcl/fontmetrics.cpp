#include "platform/pcl/fontmetrics.h"

#include <array>

namespace pcl {

Typeface FaceOfTypeface(int typefaceNumber, bool fixed)
{
    switch (typefaceNumber) {
    case 0:  // Line Printer
    case 3:  // Courier
    case 4099: return Typeface::Mono;
    case 4:  // Univers and the other grotesque sans faces
    case 4148:
    case 16602:
    case 24580: return Typeface::Sans;
    case 5:  // the Times-style serif faces
    case 4101:
    case 16901:
    case 25093: return Typeface::Serif;
    default: return fixed ? Typeface::Mono : Typeface::Sans;
    }
}

namespace {

using WidthTable = std::array<short, 95>;  // characters 0x20 to 0x7E

// The standard advance widths of the metric-compatible sans and serif faces.
constexpr WidthTable SansRegular = {
        278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333,  278, 278, 556, 556, 556,
        556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667,
        611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667,  611, 722, 667, 944, 667,
        667, 611, 278, 278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278,  556, 556, 222, 222, 500,
        222, 833, 556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500,  500, 334, 260, 334, 584};
constexpr WidthTable SansBold = {
        278, 333, 474, 556, 556, 889, 722, 238, 333, 333, 389, 584, 278, 333, 278, 278, 556, 556, 556,
        556, 556, 556, 556, 556, 556, 556, 333, 333, 584, 584, 584, 611, 975, 722, 722, 722, 722, 667,
        611, 778, 722, 278, 556, 722, 611, 833, 722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667,
        667, 611, 333, 278, 333, 584, 556, 333, 556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556,
        278, 889, 611, 611, 611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500, 389, 280, 389, 584};
constexpr WidthTable SerifRegular = {
        250, 333, 408, 500, 500, 833, 778, 180, 333, 333, 500, 564, 250, 333, 250, 278, 500, 500, 500,
        500, 500, 500, 500, 500, 500, 500, 278, 278, 564, 564, 564, 444, 921, 722, 667, 667, 722, 611,
        556, 722, 722, 333, 389, 722, 611, 889, 722, 722, 556, 722, 667, 556, 611, 722, 722, 944, 722,
        722, 611, 333, 278, 333, 469, 500, 333, 444, 500, 444, 500, 444, 333, 500, 500, 278, 278, 500,
        278, 778, 500, 500, 500, 500, 333, 389, 278, 500, 500, 722, 500, 500, 444, 480, 200, 480, 541};
constexpr WidthTable SerifBold = {
        250, 333, 555, 500, 500, 1000, 833, 278, 333, 333, 500, 570, 250, 333, 250, 278, 500, 500,  500,
        500, 500, 500, 500, 500, 500,  500, 333, 333, 570, 570, 570, 500, 930, 722, 667, 722, 722,  667,
        611, 778, 778, 389, 500, 778,  667, 944, 722, 778, 611, 778, 722, 556, 667, 722, 722, 1000, 722,
        722, 667, 333, 278, 333, 581,  500, 333, 500, 556, 444, 556, 444, 333, 500, 556, 278, 333,  556,
        278, 833, 556, 500, 556, 556,  444, 389, 333, 556, 500, 722, 500, 500, 444, 394, 220, 394,  520};

}  // namespace

int ProportionalWidth(Typeface face, bool bold, unsigned char ch)
{
    if (face == Typeface::Mono)
        return 600;
    const WidthTable& table =
            face == Typeface::Serif ? (bold ? SerifBold : SerifRegular) : (bold ? SansBold : SansRegular);
    if (ch >= 0x20 && ch <= 0x7E)
        return table[ch - 0x20];
    // Accented letters and signs above 0x7F: the width of a lower-case "n".
    return table['n' - 0x20];
}

}  // namespace pcl
