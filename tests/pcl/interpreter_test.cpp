// The interpreter on the display list, where positions are exact numbers
// (1/7200 inch from the page's top-left corner).

#include <gtest/gtest.h>

#include <string>

#include "platform/pcl/interpreter.h"

namespace {

using namespace std::string_literals;
using pcl::Interpret;

constexpr int Inch = pcl::UnitsPerInch;
constexpr int LogicalLeft = Inch / 4;  // the logical page starts 0.25 in from the edge
constexpr int TopMargin = Inch / 2;    // after a reset
constexpr int Row = Inch / 6;          // 6 lines an inch
constexpr int Column = Inch / 10;      // Courier 10
const std::string E = "\x1b";

// The only text run of a one-page job.
pcl::GlyphRun OnlyRun(const std::string& bytes)
{
    auto pages = Interpret(bytes);
    EXPECT_EQ(pages.size(), 1u) << bytes;
    if (pages.size() != 1 || pages[0].Runs.size() != 1) {
        ADD_FAILURE() << "expected one run for " << bytes;
        return {};
    }
    return pages[0].Runs[0];
}

struct PositionCase {
    const char* what;
    std::string bytes;  // followed by "X"
    int x;
    int y;
};

TEST(PclInterpreter, PlacesTextWhereTheCursorCommandsSay)
{
    const std::string lineprinter = E + "(U" + E + "(s0p0s0b0t16.67h8.5V";
    const PositionCase cases[] = {
            {"row and column", E + "&a3r4C", LogicalLeft + 4 * Column, TopMargin + 3 * Row + Row * 3 / 4},
            {"fraction rounded to four decimals", E + "&a17.6000003814697r4C", LogicalLeft + 4 * Column,
             TopMargin + Row * 3 / 4 + 21120},
            {"relative row up", E + "&a5r" + E + "&a-1R", LogicalLeft, TopMargin + 4 * Row + Row * 3 / 4},
            {"relative half rows down", E + "&a2r" + E + "&a+1.5R", LogicalLeft,
             TopMargin + Row * 3 / 4 + 4200},
            {"column after the line printer font", lineprinter + E + "&a0r10C", LogicalLeft + 10 * 432,
             TopMargin + Row * 3 / 4},
            {"row and column in one command, lower case", E + "&a2r+3c-1R", LogicalLeft + 3 * Column,
             TopMargin + Row + Row * 3 / 4},
            {"top margin zero", E + "&l0E" + E + "&a3r4C", LogicalLeft + 4 * Column, 3 * Row + Row * 3 / 4},
            {"PCL units from the top margin", E + "*p300x150Y", LogicalLeft + Inch, TopMargin + Inch / 2},
            {"decipoints, relative", E + "&a720h720V" + E + "&a+72H", LogicalLeft + Inch + Inch / 10,
             TopMargin + Inch},
            {"unit of measure 600", E + "&u600D" + E + "*p600x0Y", LogicalLeft + Inch, TopMargin},
            {"left of the page is clamped", E + "&a-5C", LogicalLeft, TopMargin + Row * 3 / 4},
            {"negative absolute is clamped", E + "*p-300X", LogicalLeft, TopMargin + Row * 3 / 4},
            {"carriage return to the left margin", E + "&a10L" + E + "&a40C\r", LogicalLeft + 10 * Column,
             TopMargin + Row * 3 / 4},
            {"line feed after lines per inch", E + "&l8D\n", LogicalLeft, TopMargin + Row * 3 / 4 + 900},
            {"pushed and popped cursor", E + "&a5r10C" + E + "&f0S" + E + "&a20r" + E + "&f1S",
             LogicalLeft + 10 * Column, TopMargin + 5 * Row + Row * 3 / 4},
            {"tab to the next eighth column", "\t", LogicalLeft + 8 * Column, TopMargin + Row * 3 / 4},
    };
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(c.what);
        pcl::GlyphRun run = OnlyRun(E + "E" + c.bytes + "X" + E + "E");
        if (run.Text.size() > 1) {  // leading text before the move
            run.X += int(run.Text.size() - 1) * run.Advance;
            run.Text = run.Text.substr(run.Text.size() - 1);
        }
        EXPECT_EQ(run.Text, "X");
        EXPECT_EQ(run.X, c.x);
        EXPECT_EQ(run.Y, c.y);
    }
}

TEST(PclInterpreter, FixedPitchAmountEndsInItsColumnWhateverTheGlyphs)
{
    // "1,234.50" placed right-aligned on column 55 starts at column 48.
    const pcl::GlyphRun run = OnlyRun(E + "E" + E + "&a10r48C1,234.50" + E + "E");
    ASSERT_EQ(run.Text, "1,234.50");
    EXPECT_EQ(run.Advance, Column);
    EXPECT_EQ(run.X + int(run.Text.size() - 1) * run.Advance, LogicalLeft + 55 * Column);

    // Text continues the run only where it lines up; a move starts a new one.
    auto pages = Interpret(E + "&a1r1CAB" + E + "&a1r10CCD");
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].Runs.size(), 2u);
    EXPECT_EQ(pages[0].Runs[1].X, LogicalLeft + 10 * Column);
}

TEST(PclInterpreter, ResetAndFormFeedEjectPages)
{
    struct {
        const char* what;
        std::string bytes;
        std::size_t pages;
    } cases[] = {
            {"a page file", E + "EA" + E + "E", 1},
            {"reset in the middle", E + "EA" + E + "EB" + E + "E", 2},
            {"nothing printed", E + "E" + E + "E  " + E + "E", 0},
            {"form feed", "A\fB", 2},
            {"form feed on a blank page", "\f", 1},
            {"marks at the end of input", "A", 1},
            {"empty input", "", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Interpret(c.bytes).size(), c.pages) << c.what;

    // A reset restores the defaults: 6 lines an inch, Courier 10, copies 1.
    auto pages =
            Interpret(E + "&l3X" + E + "&l8D" + E + "(s1p16.67h4T" + "A" + E + "E" + E + "&a1r1CB" + E + "E");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].Copies, 3);
    EXPECT_EQ(pages[1].Copies, 1);
    ASSERT_EQ(pages[1].Runs.size(), 1u);
    EXPECT_EQ(pages[1].Runs[0].X, LogicalLeft + Column);
    EXPECT_EQ(pages[1].Runs[0].Y, TopMargin + Row + Row * 3 / 4);
    EXPECT_TRUE(pages[1].Runs[0].Font.Fixed);
    EXPECT_EQ(pages[1].Runs[0].Font.Face, pcl::Typeface::Mono);
}

TEST(PclInterpreter, SelectsFontsByAttributes)
{
    struct {
        const char* what;
        std::string select;
        pcl::FontSpec font;
        int advance;
    } cases[] = {
            {"Courier 10",
             E + "(8U" + E + "(sp10h12vsb3T",
             {pcl::Typeface::Mono, true, 12.0, false, false},
             Column},
            {"sans 8 point semi-bold",
             E + "(U" + E + "(s1p8vs1b4T",
             {pcl::Typeface::Sans, false, 8.0, true, false},
             0},
            {"line printer",
             E + "(U" + E + "(s0p0s0b0t16.67h8.5V",
             {pcl::Typeface::Mono, true, 120.0 / 16.67, false, false},
             432},
            {"serif italic", E + "(s1p10v1s0b4101T", {pcl::Typeface::Serif, false, 10.0, false, true}, 0},
            {"unknown proportional face",
             E + "(s1p9v0s0b9999T",
             {pcl::Typeface::Sans, false, 9.0, false, false},
             0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const pcl::GlyphRun run = OnlyRun(c.select + "Hi");
        EXPECT_EQ(run.Font.Face, c.font.Face);
        EXPECT_EQ(run.Font.Fixed, c.font.Fixed);
        EXPECT_NEAR(run.Font.Points, c.font.Points, 1e-9);
        EXPECT_EQ(run.Font.Bold, c.font.Bold);
        EXPECT_EQ(run.Font.Italic, c.font.Italic);
        EXPECT_EQ(run.Advance, c.advance);
    }

    // Proportional text advances by the glyphs: "W" in 10-point sans is 944/1000 of 10 points.
    auto pages = Interpret(E + "(s1p10v4T" + "W" + E + "(s0p10h3T" + "i");
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].Runs.size(), 2u);
    EXPECT_EQ(pages[0].Runs[1].X - pages[0].Runs[0].X, 944);
}

TEST(PclInterpreter, MapsTheSymbolSetsToWindows1252)
{
    EXPECT_EQ(OnlyRun(E + "(8U" + "caf\xC5").Text, "caf\xE9");   // Roman-8 e acute
    EXPECT_EQ(OnlyRun(E + "(19U" + "caf\xE9").Text, "caf\xE9");  // Windows Latin-1
    EXPECT_EQ(OnlyRun(E + "(0U" + "caf\xE9").Text, "caf ");      // ASCII prints a blank cell
}

TEST(PclInterpreter, RecordsRulesAndShadedBoxes)
{
    auto pages = Interpret(E + "*p300x600Y" + E + "*c600a3b0P" + E + "*c20g2P" + E + "&a720h720V" + E +
                           "*c720h72v1P" + E + "*c3g3P");
    ASSERT_EQ(pages.size(), 1u);
    const auto& rules = pages[0].Rules;
    ASSERT_EQ(rules.size(), 4u);
    EXPECT_EQ(rules[0].X, LogicalLeft + Inch);
    EXPECT_EQ(rules[0].Y, TopMargin + 2 * Inch);
    EXPECT_EQ(rules[0].Width, 2 * Inch);
    EXPECT_EQ(rules[0].Height, 72);
    EXPECT_EQ(rules[0].Kind, pcl::Fill::Black);
    EXPECT_EQ(rules[1].Kind, pcl::Fill::Shade);
    EXPECT_EQ(rules[1].Level, 20);
    EXPECT_EQ(rules[2].Kind, pcl::Fill::White);
    EXPECT_EQ(rules[2].Width, Inch);
    EXPECT_EQ(rules[2].Height, Inch / 10);
    EXPECT_EQ(rules[3].Kind, pcl::Fill::Pattern);
    EXPECT_EQ(rules[3].Level, 3);

    // A box is cut at the right edge of the logical page.
    auto wide = Interpret(E + "*p2300x0Y" + E + "*c300a10b0P");
    ASSERT_EQ(wide[0].Rules.size(), 1u);
    EXPECT_EQ(wide[0].Rules[0].X + wide[0].Rules[0].Width, LogicalLeft + 8 * Inch);
}

TEST(PclInterpreter, SkipsWhatItDoesNotDraw)
{
    struct {
        const char* what;
        std::string bytes;
        std::string text;
    } cases[] = {
            {"unknown commands", E + "&z5Q" + E + "~" + E + "Y" + "X", "X"},
            {"byte-count payloads",
             E + "&n6WHIDDEN" + E +
                     "*c5WAB\x1b"
                     "CD" +
                     E +
                     "*o2W\x1b"
                     "EX",
             "X"},
            {"job language", E + "%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=PCL\r\n" + E + "EX", "X"},
            {"vector graphics", E + "%1BIN;PD100,100;" + E + "%0AX", "X"},
            {"macro definitions", E + "&f1y0XHIDDEN" + E + "&f1XX", "X"},
            {"transparent print", E + "&p2XX\x0c", "X "},
            {"an ESC before a control code", E + "\rX", "X"},
            {"a byte that cannot end a command", E + "&a5\x01X", "X"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(OnlyRun(c.bytes).Text, c.text);
    }
    // Input cut off inside a command or a payload prints what came before.
    for (const std::string& cut : {"X" + E + "&a3", "X" + E, "X" + E + "*b100W12", "X" + E + "(s1p"}) {
        auto pages = Interpret(cut);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(pages[0].Runs[0].Text, "X");
    }
}

TEST(PclInterpreter, DecodesRasterRows)
{
    auto pages = Interpret(E + "*p300x300Y" + E + "*t300R" + E + "*r1A" + E + "*b0M" + E + "*b2W\xFF\x01" +
                           E + "*b1m4W\x01\xAA\x00\x0F"s + E + "*b2M" + E + "*b4W\xFE\x33\x00\x80"s + E +
                           "*b3M" + E + "*b2W\x01\x44" + E + "*rB" + "X");
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].Rasters.size(), 1u);
    const pcl::Raster& raster = pages[0].Rasters[0];
    EXPECT_EQ(raster.X, LogicalLeft + Inch);
    EXPECT_EQ(raster.Y, TopMargin + Inch);
    EXPECT_EQ(raster.Dpi, 300);
    using Row = std::vector<std::uint8_t>;
    ASSERT_EQ(raster.Rows.size(), 4u);
    EXPECT_EQ(raster.Rows[0], (Row {0xFF, 0x01}));
    EXPECT_EQ(raster.Rows[1], (Row {0xAA, 0xAA, 0x0F}));
    EXPECT_EQ(raster.Rows[2], (Row {0x33, 0x33, 0x33, 0x80}));
    EXPECT_EQ(raster.Rows[3], (Row {0x33, 0x44, 0x33, 0x80}));  // delta row: byte 1 replaced
    // The cursor is below the image afterwards.
    ASSERT_EQ(pages[0].Runs.size(), 1u);
    EXPECT_EQ(pages[0].Runs[0].Y, TopMargin + Inch + 4 * 24);
}

// A bitmap soft font with one 8 x 2 character "A" at code 65.
std::string SoftFontDownload(int id, bool permanent)
{
    std::string header(64, '\0');
    header[1] = 64;  // descriptor size
    header[13] = 1;  // proportional
    header[16] = 0;
    header[17] = 120;  // pitch in quarter dots
    header[18] = 0;
    header[19] = 200;  // height in quarter dots: 12 points
    header[25] = 4;    // typeface 4
    std::string glyph(16, '\0');
    glyph[0] = 4;    // format
    glyph[2] = 14;   // descriptor size
    glyph[3] = 1;    // uncompressed bitmap
    glyph[7] = 0;    // left offset
    glyph[9] = 2;    // top offset
    glyph[11] = 8;   // width
    glyph[13] = 2;   // height
    glyph[15] = 40;  // delta X: 10 dots
    glyph += "\xF0\x0F";
    std::string bytes =
            E + "*c" + std::to_string(id) + "D" + E + ")s64W" + header + E + "*c65E" + E + "(s18W" + glyph;
    if (permanent)
        bytes += E + "*c5F";
    return bytes;
}

TEST(PclInterpreter, PrintsDownloadedSoftFonts)
{
    auto pages = Interpret(E + "&a2r3C" + SoftFontDownload(7, false) + E + "(7XAA");
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].Rasters.size(), 2u);
    const pcl::Raster& a = pages[0].Rasters[0];
    EXPECT_EQ(a.X, LogicalLeft + 3 * Column);
    EXPECT_EQ(a.Y, TopMargin + 2 * Row + Row * 3 / 4 - 2 * 24);
    EXPECT_EQ(a.Rows, (std::vector<std::vector<std::uint8_t>> {{0xF0}, {0x0F}}));
    EXPECT_EQ(pages[0].Rasters[1].X - a.X, 10 * 24);  // the character's own advance

    // A reset deletes a temporary font but keeps a permanent one.
    auto temporary = Interpret(SoftFontDownload(7, false) + E + "E" + E + "(7XA");
    ASSERT_EQ(temporary.size(), 1u);
    EXPECT_TRUE(temporary[0].Rasters.empty());
    EXPECT_EQ(temporary[0].Runs.size(), 1u);
    auto permanent = Interpret(SoftFontDownload(7, true) + E + "E" + E + "(7XA");
    ASSERT_EQ(permanent.size(), 1u);
    EXPECT_EQ(permanent[0].Rasters.size(), 1u);
}

}  // namespace
