#pragma once
// What one printed page holds, as the interpreter recorded it: filled
// rectangles, runs of text and raster images, in the order they were printed.
// Every position is in units of 1/7200 inch from the top-left corner of the
// physical page; a text run's position is the left end of its baseline.

#include <cstdint>
#include <string>
#include <vector>

namespace pcl {

constexpr int UnitsPerInch = 7200;

enum class Typeface { Mono, Sans, Serif };

struct FontSpec {
    Typeface Face = Typeface::Mono;
    bool Fixed = true;
    double Points = 12.0;  // the glyph height to draw
    bool Bold = false;
    bool Italic = false;
    bool operator==(const FontSpec&) const = default;
};

// Text in one font on one baseline. Fixed-pitch runs place character i at
// X + i * Advance whatever the glyphs' own widths; proportional runs (Advance 0)
// are drawn as one string with the font's own widths.
struct GlyphRun {
    int X = 0;
    int Y = 0;
    FontSpec Font;
    int Advance = 0;
    std::string Text;  // Windows-1252 bytes
};

enum class Fill { Black, White, Shade, Pattern };

// A filled rectangle: a rule, a shaded box or an erased area.
struct Rule {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    Fill Kind = Fill::Black;
    int Level = 100;  // percent of black for Shade, pattern number for Pattern
};

// A one-bit image; set bits print black, clear bits leave the page as it is.
struct Raster {
    int X = 0;
    int Y = 0;
    int Dpi = 75;
    int Width = 0;                                // pixels per row
    std::vector<std::vector<std::uint8_t>> Rows;  // each ceil(Width / 8) bytes, most significant bit first
};

struct Mark {
    enum class Kind { Rule, Text, Raster } Type;
    std::size_t Index;  // into the page's list of that kind
};

struct Page {
    int Width = 61200;  // US Letter portrait
    int Height = 79200;
    int Copies = 1;
    std::vector<Rule> Rules;
    std::vector<GlyphRun> Runs;
    std::vector<Raster> Rasters;
    std::vector<Mark> Order;  // the printing order of everything above

    bool Empty() const { return Order.empty(); }
};

}  // namespace pcl
