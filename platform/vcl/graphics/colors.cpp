#include "platform/vcl/graphics/colors.h"

namespace {

// The classic Windows scheme, so forms look the same on every desktop.
constexpr TColor SystemPalette[] = {
        0xC8C8C8,  // scroll bar
        0x808000,  // background
        0x6A240A,  // active caption
        0x808080,  // inactive caption
        0xC8D0D4,  // menu
        0xFFFFFF,  // window
        0x000000,  // window frame
        0x000000,  // menu text
        0x000000,  // window text
        0xFFFFFF,  // caption text
        0xC8D0D4,  // active border
        0xC8D0D4,  // inactive border
        0x808080,  // application work space
        0x6A240A,  // highlight
        0xFFFFFF,  // highlight text
        0xC8D0D4,  // button face
        0x808080,  // button shadow
        0x808080,  // grey text
        0x000000,  // button text
        0xC8D0D4,  // inactive caption text
        0xFFFFFF,  // button highlight
        0x404040,  // 3D dark shadow
        0xC8D0D4,  // 3D light
        0x000000,  // info text
        0xE1FFFF,  // info background
};

}  // namespace

TColor ColorToRGB(TColor Color)
{
    if (Color < 0) {
        const unsigned index = static_cast<unsigned>(Color) & 0xFFu;
        if (index < sizeof(SystemPalette) / sizeof(SystemPalette[0]))
            return SystemPalette[index];
        return clBlack;
    }
    if (Color == clNone || Color == clDefault)
        return clBlack;
    return Color & 0xFFFFFF;
}
