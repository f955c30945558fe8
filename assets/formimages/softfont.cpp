#include "assets/formimages/softfont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace formimages {
namespace {

constexpr int Dpi = 300;
constexpr int FirstCode = 32, LastCode = 126;

// PCL font data is big-endian.
void Put16(std::string& Out, int Value)
{
    Out += static_cast<char>((Value >> 8) & 0xFF);
    Out += static_cast<char>(Value & 0xFF);
}

std::string Command(const std::string& Prefix, int Value, char Terminator)
{
    return "\x1b" + Prefix + std::to_string(Value) + Terminator;
}

struct FreeTypeFace {
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;

    explicit FreeTypeFace(const SoftFontSpec& Spec)
    {
        if (FT_Init_FreeType(&Library))
            throw std::runtime_error("FreeType cannot start");
        if (FT_New_Face(Library, Spec.OutlineFile.c_str(), 0, &Face)) {
            FT_Done_FreeType(Library);
            throw std::runtime_error("cannot read the font " + Spec.OutlineFile);
        }
        FT_Set_Char_Size(Face, 0, static_cast<FT_F26Dot6>(Spec.Points * 64), Dpi, Dpi);
    }
    ~FreeTypeFace()
    {
        FT_Done_Face(Face);
        FT_Done_FreeType(Library);
    }
    FreeTypeFace(const FreeTypeFace&) = delete;
    FreeTypeFace& operator=(const FreeTypeFace&) = delete;

    const FT_GlyphSlot& Render(int Code)
    {
        if (FT_Load_Char(Face, static_cast<FT_ULong>(Code),
                         FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME))
            throw std::runtime_error("the font has no glyph for code " + std::to_string(Code));
        return Face->glyph;
    }
};

std::string FontHeader(const SoftFontSpec& Spec, FreeTypeFace& F)
{
    const FT_Size_Metrics& m = F.Face->size->metrics;
    int ascent = static_cast<int>(m.ascender >> 6), descent = static_cast<int>(-m.descender >> 6);
    int spaceAdvance = static_cast<int>(F.Render(' ')->advance.x >> 4);  // quarter dots
    int xHeight = F.Render('x')->bitmap_top * 4;
    int capHeight = F.Render('H')->bitmap_top;
    int quarterDotsHigh = static_cast<int>(Spec.Points * Dpi * 4 / 72.0);

    std::string h;
    Put16(h, 64);      // descriptor size
    h += '\0';         // format 0: bitmap
    h += '\0';         // font type 0: 7-bit, codes 32 to 127
    h += '\0';         // style, high byte
    h += '\0';         // reserved
    Put16(h, ascent);  // baseline from the top of the cell
    Put16(h, static_cast<int>(m.max_advance >> 6));
    Put16(h, ascent + descent);  // cell height
    h += '\0';                   // portrait
    h += '\1';                   // proportional
    Put16(h, 21);                // symbol set 0U
    Put16(h, spaceAdvance);      // pitch
    Put16(h, quarterDotsHigh);   // height
    Put16(h, xHeight);
    h += '\0';  // width type
    h += '\0';  // style, low byte: upright
    h += static_cast<char>(Spec.StrokeWeight);
    h += static_cast<char>(Spec.Typeface & 0xFF);
    h += static_cast<char>((Spec.Typeface >> 8) & 0xFF);
    h += '\0';                                          // serif style: sans
    h += '\2';                                          // quality: letter
    h += '\0';                                          // placement
    h += static_cast<char>(-std::max(1, descent / 2));  // underline distance below the baseline
    h += '\3';                                          // underline thickness
    Put16(h, (ascent + descent) * 4);                   // text height
    Put16(h, spaceAdvance * 2);                         // text width
    Put16(h, FirstCode);
    Put16(h, LastCode);
    h += '\0';  // pitch extended
    h += '\0';  // height extended
    Put16(h, capHeight * 4 * 65535 / std::max(1, ascent * 4));
    h += std::string(4, '\0');  // font number
    std::string name = Spec.Name.substr(0, 16);
    h += name + std::string(16 - name.size(), ' ');
    return h;
}

std::string Character(FreeTypeFace& F, int Code)
{
    const FT_GlyphSlot& g = F.Render(Code);
    const FT_Bitmap& b = g->bitmap;
    // A blank glyph still needs a raster of one dot.
    int width = std::max<int>(1, static_cast<int>(b.width)),
        height = std::max<int>(1, static_cast<int>(b.rows));
    int rowBytes = (width + 7) / 8;

    std::string c;
    c += '\4';   // format 4: LaserJet family
    c += '\0';   // not a continuation
    c += '\16';  // descriptor size 14
    c += '\1';   // class 1: uncompressed bitmap
    c += '\0';   // portrait
    c += '\0';   // reserved
    Put16(c, g->bitmap_left & 0xFFFF);
    Put16(c, g->bitmap_top & 0xFFFF);
    Put16(c, width);
    Put16(c, height);
    Put16(c, static_cast<int>(g->advance.x >> 4));  // advance in quarter dots
    for (int row = 0; row < height; ++row)
        for (int i = 0; i < rowBytes; ++i)
            c += row < static_cast<int>(b.rows) && i < std::abs(b.pitch)
                         ? static_cast<char>(b.buffer[row * b.pitch + i])
                         : '\0';
    return c;
}

}  // namespace

std::string WriteSoftFont(const SoftFontSpec& Spec)
{
    FreeTypeFace face(Spec);
    std::string out = Command("*c", Spec.FontId, 'D');
    std::string header = FontHeader(Spec, face);
    out += Command(")s", static_cast<int>(header.size()), 'W') + header;
    for (int code = FirstCode; code <= LastCode; ++code) {
        std::string c = Character(face, code);
        out += Command("*c", code, 'E') + Command("(s", static_cast<int>(c.size()), 'W') + c;
    }
    // Permanent: the reset at the start of every page job deletes temporary fonts.
    out += Command("*c", Spec.FontId, 'D') + "\x1b*c5F";
    return out;
}

}  // namespace formimages
