// The soft fonts beside the program are well-formed PCL bitmap-font downloads that a
// printer keeps across page resets.

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/assets/programfile.h"

namespace {

int Get16(const std::string& S, size_t At)
{
    return (static_cast<unsigned char>(S.at(At)) << 8) | static_cast<unsigned char>(S.at(At + 1));
}

// Reads one "ESC <prefix> <number> <terminator>" command at Pos and returns the number.
int Command(const std::string& S, size_t& Pos, const std::string& Prefix, char Terminator)
{
    EXPECT_EQ(S.compare(Pos, Prefix.size() + 1, "\x1b" + Prefix), 0) << "at byte " << Pos;
    Pos += Prefix.size() + 1;
    size_t end = S.find(Terminator, Pos);
    if (end == std::string::npos)
        throw std::runtime_error("unterminated command");
    int value = std::stoi(S.substr(Pos, end - Pos));
    Pos = end + 1;
    return value;
}

}  // namespace

TEST(SoftFonts, AreBitmapFontDownloadsMadePermanent)
{
    for (int id : {1, 2}) {
        SCOPED_TRACE(id);
        const std::string font = ReadProgramFile("FONT" + std::to_string(id) + ".PRN");
        size_t pos = 0;
        EXPECT_EQ(Command(font, pos, "*c", 'D'), id);

        ASSERT_EQ(Command(font, pos, ")s", 'W'), 64);
        const std::string header = font.substr(pos, 64);
        pos += 64;
        EXPECT_EQ(Get16(header, 0), 64);
        EXPECT_EQ(header[2], 0) << "bitmap format";
        EXPECT_EQ(header[13], 1) << "proportional";
        EXPECT_EQ(Get16(header, 14), 21) << "symbol set 0U";
        EXPECT_EQ(header[25], 4) << "typeface";
        EXPECT_EQ(header[24], id == 1 ? 0 : 1) << "stroke weight";
        EXPECT_EQ(Get16(header, 36), 32);
        EXPECT_EQ(Get16(header, 38), 126);

        for (int code = 32; code <= 126; ++code) {
            ASSERT_EQ(Command(font, pos, "*c", 'E'), code);
            int size = Command(font, pos, "(s", 'W');
            const std::string c = font.substr(pos, size);
            pos += size;
            ASSERT_EQ(c.size(), static_cast<size_t>(size));
            EXPECT_EQ(c[0], 4);
            EXPECT_EQ(c[3], 1) << "uncompressed bitmap";
            int width = Get16(c, 10), height = Get16(c, 12);
            EXPECT_EQ(size, 16 + height * ((width + 7) / 8)) << "character " << code;
            EXPECT_GT(Get16(c, 14), 0) << "advance of character " << code;
        }
        EXPECT_EQ(Command(font, pos, "*c", 'D'), id);
        EXPECT_EQ(font.substr(pos), "\x1b*c5F");
    }
}
