#pragma once
// A form page as the program prints it: a reset, an overlay of rules, shaded
// bands and captions, the data at rows and columns, and the closing reset.

#include <string>

namespace pcltest {

inline std::string Esc(const std::string& command) { return "\x1b" + command; }

// A box outline of thin rules, in 1/300 inch.
inline std::string Box(int x, int y, int width, int height)
{
    auto rule = [](int rx, int ry, int w, int h) {
        return Esc("*p" + std::to_string(rx) + "x" + std::to_string(ry) + "Y") +
               Esc("*c" + std::to_string(w) + "a" + std::to_string(h) + "b0P");
    };
    return rule(x, y, width, 3) + rule(x, y + height - 3, width, 3) + rule(x, y, 3, height) +
           rule(x + width - 3, y, 3, height);
}

// A caption in the 6-point sans face with its baseline at (x, y), in 1/300 inch.
inline std::string Caption(int x, int y, const std::string& text, bool bold = false)
{
    return Esc(std::string("(s1p7v0s") + (bold ? "3" : "0") + "b4T") +
           Esc("*p" + std::to_string(x) + "x" + std::to_string(y) + "Y") + text;
}

inline std::string SampleOverlay()
{
    std::string o = Esc("&l0E") + Esc("(19U");
    o += Esc("*p0x60Y") + Esc("*c2400a90b15g2P");  // title band
    o += Caption(30, 120, "Miscellaneous Income", true) + Caption(1900, 120, "Copy B", true);
    o += Box(0, 180, 1200, 330) + Caption(15, 210, "PAYER'S name, street address, city, state, ZIP code");
    o += Box(1200, 180, 600, 165) + Caption(1215, 210, "1 Rents");
    o += Box(1200, 345, 600, 165) + Caption(1215, 375, "2 Royalties");
    o += Box(1800, 180, 600, 330) + Caption(1815, 210, "Form 1099-MISC (sample)", true);
    o += Box(0, 510, 600, 120) + Caption(15, 540, "PAYER'S federal identification number");
    o += Box(600, 510, 600, 120) + Caption(615, 540, "RECIPIENT'S identification number");
    o += Box(0, 630, 1200, 300) + Caption(15, 660, "RECIPIENT'S name");
    // The state the data text needs: 6 lines an inch, Courier 10, cursor home.
    o += Esc("&l6D") + Esc("(19U") + Esc("(s0p10h12v0s0b4099T") + Esc("&alrC");
    return o;
}

inline std::string At(int row, int column, const std::string& text)
{
    return Esc("&a" + std::to_string(row) + "r" + std::to_string(column) + "C") + text;
}

// Right-aligned so that the last character stands in column.
inline std::string AtRight(int row, int column, const std::string& text)
{
    return At(row, column - int(text.size()) + 1, text);
}

inline std::string SampleFormPage()
{
    std::string page = Esc("E") + SampleOverlay();
    page += At(5, 2, "KORVANE SAMPLE PAYER INC") + At(6, 2, "100 MAIN STREET") +
            At(7, 2, "SPRINGFIELD OR 97477");
    page += AtRight(4, 58, "1,234.50") + AtRight(8, 58, "98.76");
    page += At(11, 2, "12-3456789") + At(11, 22, "987-65-4321");
    page += At(14, 2, "JOS\xC9 Q. RECIPIENT");
    page += Esc("E");
    return page;
}

}  // namespace pcltest
