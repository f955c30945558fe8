#pragma once
// Downloaded (soft) fonts: the font header of "ESC )s#W" and the characters of
// "ESC (s#W", kept by font ID until a reset deletes the temporary ones.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace pcl {

struct SoftGlyph {
    int Left = 0;                    // dots from the cursor to the bitmap's left edge
    int Top = 0;                     // dots from the baseline up to the bitmap's top edge
    int Width = 0;                   // dots
    int Height = 0;                  // dots
    int DeltaX = 0;                  // advance in quarter dots
    std::vector<std::uint8_t> Bits;  // rows of ceil(Width / 8) bytes; empty when not a plain bitmap
};

struct SoftFont {
    bool Permanent = false;
    bool Proportional = false;
    int PitchQuarterDots = 0;
    int HeightQuarterDots = 0;
    int Style = 0;
    int Weight = 0;
    int Typeface = 0;
    bool Bitmap = true;  // header format 0 or 20: glyphs are 300 dpi bitmaps
    std::map<int, SoftGlyph> Glyphs;
};

// The fonts of one interpretation, and the download state ("ESC *c#D", "ESC *c#E").
class SoftFonts {
public:
    void SetFontId(int id) { FFontId = id; }
    void SetCharacterCode(int code) { FCharacterCode = code; }

    // "ESC )s#W": a font header for the current font ID. A damaged header is ignored.
    void DefineFont(std::span<const std::uint8_t> header);
    // "ESC (s#W": a character descriptor and its bitmap for the current code.
    void DefineCharacter(std::span<const std::uint8_t> data);
    // "ESC *c#F".
    void Control(int operation);
    // "ESC E" deletes the temporary fonts.
    void Reset();

    const SoftFont* Find(int id) const;

private:
    std::map<int, SoftFont> FFonts;
    int FFontId = 0;
    int FCharacterCode = 0;
    int FLastGlyphCode = -1;  // the glyph a continuation block adds to
};

}  // namespace pcl
