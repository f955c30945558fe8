#pragma once
// Makes a PCL bitmap soft-font download from an outline font: the font header
// (format 0, proportional, 300 dpi), one character descriptor and raster per
// printable ASCII code, and the font made permanent, so that the printer keeps it
// across the reset that starts every page.

#include <string>

namespace formimages {

struct SoftFontSpec {
    std::string OutlineFile;  // a TrueType or OpenType file
    int FontId = 1;
    double Points = 8;
    int StrokeWeight = 0;  // 0 medium, 1 semi-bold and up
    int Typeface = 4;      // the typeface number printers select it by
    std::string Name;      // at most 16 characters
};

// Throws std::runtime_error when the outline font cannot be read.
std::string WriteSoftFont(const SoftFontSpec& Spec);

}  // namespace formimages
