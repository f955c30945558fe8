// Damaged page files: each prints what it still describes, quickly, within
// bounded memory, and never reads past its end.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/pcl/interpreter.h"
#include "tests/support/pclfixture.h"

namespace {

using pcltest::Esc;

std::string Repeat(const std::string& piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::size_t RasterRows(const std::vector<pcl::Page>& pages)
{
    std::size_t rows = 0;
    for (const auto& page : pages)
        for (const auto& raster : page.Rasters)
            rows += raster.Rows.size();
    return rows;
}

std::size_t RasterBytes(const std::vector<pcl::Page>& pages)
{
    std::size_t bytes = 0;
    for (const auto& page : pages)
        for (const auto& raster : page.Rasters)
            for (const auto& row : raster.Rows)
                bytes += row.size();
    return bytes;
}

TEST(PclDamagedFiles, PrintWhatTheyStillDescribe)
{
    const std::string glyphClaim = [] {
        std::string header(64, '\0');
        std::string glyph(16, '\0');
        glyph[0] = 4;
        glyph[3] = 1;
        glyph[10] = 0x09;
        glyph[11] = 0x60;  // 2400 dots wide
        glyph[12] = 0x09;
        glyph[13] = 0x60;  // and high, with one byte of bitmap
        return Esc("*c1D") + Esc(")s64W") + header + Esc("*c65E") + Esc("(s17W") + glyph + "\xFF" +
               Esc("(1X");
    }();
    struct {
        const char* what;
        std::string bytes;
        std::size_t pages;
        std::size_t maxRasterRows;
    } cases[] = {
            {"payload longer than the file", "A" + Esc("&n32767W") + "short", 1, 0},
            {"raster row longer than the file", "A" + Esc("*b32767W") + "\xFF\xFF", 1, 1},
            {"macro never ended", Esc("&f0X") + "HIDDEN" + Esc("E") + "HIDDEN", 0, 0},
            {"vector graphics never left", "A" + Esc("%1B") + "PD;PA100,100;LB" + Esc("E") + "B", 1, 0},
            {"values with a hundred digits: off the sheet",
             Esc("&a") + std::string(100, '9') + "r" + std::string(100, '9') + "CX", 0, 0},
            {"fraction with a hundred digits", Esc("&a1.") + std::string(100, '5') + "RX", 1, 0},
            {"a command that never ends", "A" + Esc("(s") + Repeat("1p", 5000), 1, 0},
            {"an ESC as the last byte", "A" + Esc(""), 1, 0},
            {"font header too short", Esc("*c1D") + Esc(")s10W") + "0123456789" + Esc("(1X") + "A", 1, 0},
            {"character before any font",
             Esc("*c9D") + Esc("*c65E") + Esc("(s20W") + std::string(20, '\x04') + "A", 1, 0},
            {"continuation without a character", Esc("*c1D") + Esc("(s4W") + "\x04\x01\xFF\xFF" + "A", 1, 0},
            {"huge glyph with one byte of bitmap, printed often", glyphClaim + Repeat("A", 2000), 1,
             2400 * 100},
            {"raster skips far beyond the page",
             Esc("*t75R") + Esc("*r1A") + Repeat(Esc("*b32767Y"), 2000) + "A", 1, 825},
            {"a raster start over and over", Repeat(Esc("*t600R") + Esc("*r1A") + Esc("*b32767Y"), 400) + "A",
             1, (64u << 20) / 24},
            {"form feeds without end", Repeat("\f", 100000), pcl::MaxPages, 0},
            {"a rectangle of the largest size", Esc("*c32767a32767b0P"), 1, 0},
            {"a relative move past the bottom", Esc("&a+32767R") + "X" + Esc("*c100a100b0P"), 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto started = std::chrono::steady_clock::now();
        const auto pages = pcl::Interpret(c.bytes);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
        EXPECT_EQ(pages.size(), c.pages);
        EXPECT_LE(RasterRows(pages), c.maxRasterRows);
        EXPECT_LE(RasterBytes(pages), 64u << 20);
    }
}

TEST(PclDamagedFiles, EveryCutOfAPageFilePrintsAtMostOnePage)
{
    const std::string page = pcltest::SampleFormPage();
    for (std::size_t length = 0; length <= page.size(); ++length) {
        const auto pages = pcl::Interpret(page.substr(0, length));
        ASSERT_LE(pages.size(), 1u) << length;
    }
    // Cut just before the closing reset, the data is all there.
    const auto pages = pcl::Interpret(page.substr(0, page.size() - 2));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].Runs.back().Text, "JOS\xC9 Q. RECIPIENT");
}

}  // namespace
