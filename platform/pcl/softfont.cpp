#include "platform/pcl/softfont.h"

#include <algorithm>
#include <utility>

namespace pcl {

namespace {

int Unsigned16(std::span<const std::uint8_t> b, std::size_t at) { return (b[at] << 8) | b[at + 1]; }

int Signed16(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::int16_t>(Unsigned16(b, at));
}

constexpr std::size_t FontHeaderSize = 64;
constexpr std::size_t CharacterHeaderSize = 16;
// Glyphs larger than a few inches at 300 dpi are damage, not characters.
constexpr int MaxGlyphDots = 2400;

}  // namespace

void SoftFonts::DefineFont(std::span<const std::uint8_t> header)
{
    if (header.size() < FontHeaderSize)
        return;
    SoftFont font;
    const int format = header[2];
    font.Bitmap = format == 0 || format == 20;
    font.Proportional = header[13] != 0;
    font.PitchQuarterDots = Unsigned16(header, 16);
    font.HeightQuarterDots = Unsigned16(header, 18);
    font.Style = (header[4] << 8) | header[23];
    font.Weight = static_cast<std::int8_t>(header[24]);
    font.Typeface = (header[26] << 8) | header[25];
    if (auto old = FFonts.find(FFontId); old != FFonts.end())
        font.Permanent = old->second.Permanent;
    FFonts[FFontId] = std::move(font);
    FLastGlyphCode = -1;
}

void SoftFonts::DefineCharacter(std::span<const std::uint8_t> data)
{
    auto font = FFonts.find(FFontId);
    if (font == FFonts.end() || data.size() < 2)
        return;
    const bool continuation = data[1] != 0;
    if (continuation) {
        auto glyph = font->second.Glyphs.find(FLastGlyphCode);
        if (glyph == font->second.Glyphs.end() || glyph->second.Bits.empty())
            return;
        std::vector<std::uint8_t>& bits = glyph->second.Bits;
        const std::size_t expected =
                std::size_t((glyph->second.Width + 7) / 8) * std::size_t(glyph->second.Height);
        const std::size_t room = expected > bits.size() ? expected - bits.size() : 0;
        bits.insert(bits.end(), data.begin() + 2, data.begin() + 2 + std::min(room, data.size() - 2));
        return;
    }
    if (data.size() < CharacterHeaderSize || data[0] != 4)
        return;
    SoftGlyph glyph;
    glyph.Left = Signed16(data, 6);
    glyph.Top = Signed16(data, 8);
    glyph.Width = Unsigned16(data, 10);
    glyph.Height = Unsigned16(data, 12);
    glyph.DeltaX = Signed16(data, 14);
    if (glyph.Width <= 0 || glyph.Height <= 0 || glyph.Width > MaxGlyphDots || glyph.Height > MaxGlyphDots) {
        glyph.Width = glyph.Height = 0;
    } else if (data[3] == 1 && font->second.Bitmap) {
        // Uncompressed bitmap; a short one is completed by continuation blocks.
        const std::size_t expected = std::size_t((glyph.Width + 7) / 8) * std::size_t(glyph.Height);
        const std::size_t header = std::max<std::size_t>(CharacterHeaderSize, data[2] + 2u);
        if (header <= data.size())
            glyph.Bits.assign(data.begin() + header,
                              data.begin() + header + std::min(expected, data.size() - header));
    }
    font->second.Glyphs[FCharacterCode] = std::move(glyph);
    FLastGlyphCode = FCharacterCode;
}

void SoftFonts::Control(int operation)
{
    switch (operation) {
    case 0:  // delete all soft fonts
        FFonts.clear();
        break;
    case 1:  // delete the temporary ones
        std::erase_if(FFonts, [](const auto& f) { return !f.second.Permanent; });
        break;
    case 2:  // delete the current font
        FFonts.erase(FFontId);
        break;
    case 3:  // delete the current character
        if (auto font = FFonts.find(FFontId); font != FFonts.end())
            font->second.Glyphs.erase(FCharacterCode);
        break;
    case 4:
    case 5:
        if (auto font = FFonts.find(FFontId); font != FFonts.end())
            font->second.Permanent = operation == 5;
        break;
    default: break;
    }
}

void SoftFonts::Reset()
{
    Control(1);
    FFontId = 0;
    FCharacterCode = 0;
    FLastGlyphCode = -1;
}

const SoftFont* SoftFonts::Find(int id) const
{
    auto font = FFonts.find(id);
    return font == FFonts.end() ? nullptr : &font->second;
}

}  // namespace pcl
