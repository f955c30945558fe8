#include "platform/pcl/interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/pcl/fontmetrics.h"
#include "platform/pcl/softfont.h"
#include "platform/pcl/symbolsets.h"

namespace pcl {

namespace {

constexpr std::uint8_t Esc = 0x1B;
constexpr int UnitsPerPoint = UnitsPerInch / 72;
constexpr int UnitsPerDecipoint = UnitsPerInch / 720;
constexpr int UnitsPerDot300 = UnitsPerInch / 300;
constexpr std::size_t CursorStackDepth = 20;
// Raster images of one job together keep at most this many bytes, each row
// counted with its bookkeeping.
constexpr std::size_t RasterBudget = 64u << 20;
constexpr std::size_t RowOverhead = sizeof(std::vector<std::uint8_t>);

// A parameter value: up to 32767.9999, kept in ten-thousandths; a leading
// sign makes a cursor move relative.
struct Value {
    std::int64_t TenThousandths = 0;
    bool Signed = false;

    double Number() const { return double(TenThousandths) / 10000.0; }
    int Integer() const { return int(TenThousandths / 10000); }
    // The value times factor (units per step), rounded to whole units.
    std::int64_t Scaled(double factor) const
    {
        return std::llround(double(TenThousandths) * factor / 10000.0);
    }
};

struct FontRequest {
    int SymbolSet = SymbolSetRoman8;
    bool Proportional = false;
    double Pitch = 10.0;
    double Height = 12.0;
    int Style = 0;
    int Weight = 0;
    int Typeface = 3;
    int SoftId = -1;  // selected by "ESC (#X"
};

struct Position {
    std::int64_t X = 0;  // from the left edge of the logical page
    std::int64_t Y = 0;  // from the top of the physical page
};

struct PageFormat {
    int Width;
    int Height;
    int LogicalOffsetDots;  // at 300 dpi
};

std::optional<PageFormat> FormatOfSize(int code, bool landscape)
{
    PageFormat f;
    switch (code) {
    case 1: f = {52200, 75600, 75}; break;   // Executive
    case 2: f = {61200, 79200, 75}; break;   // Letter
    case 3: f = {61200, 100800, 75}; break;  // Legal
    case 26: f = {59528, 84188, 71}; break;  // A4
    default: return std::nullopt;
    }
    if (landscape) {
        std::swap(f.Width, f.Height);
        f.LogicalOffsetDots = code == 26 ? 59 : 60;
    }
    return f;
}

class Interpreter {
public:
    explicit Interpreter(std::span<const std::uint8_t> bytes) : FIn(bytes) { ResetEnvironment(); }

    std::vector<Page> Run();

private:
    // Parsing.
    bool AtEnd() const { return FPos >= FIn.size() || FStopped; }
    void Escape();
    void ParameterizedCommand(std::uint8_t parameter);
    Value ReadValue();
    std::span<const std::uint8_t> TakePayload(const Value& count);
    void SkipPjl();
    void SkipGraphicsLanguage();
    void TwoCharacterCommand(std::uint8_t c);
    void Execute(std::uint8_t parameter, std::uint8_t group, const Value& v, std::uint8_t command);
    void ControlCode(std::uint8_t c);

    // Commands by group.
    void JobCommand(const Value& v, std::uint8_t command);      // ESC &l
    void CursorCommand(const Value& v, std::uint8_t command);   // ESC &a
    void PictureCommand(const Value& v, std::uint8_t command);  // ESC *c
    void StartRaster(std::int64_t x);
    void RasterRow(std::span<const std::uint8_t> data);
    void FontCommand(int which, std::uint8_t group, const Value& v, std::uint8_t command);

    // State.
    void ResetEnvironment();
    void SetPageFormat(int sizeCode, bool landscape);
    void Home();
    void Eject(bool always);
    void SetX(std::int64_t x) { FCursor.X = std::clamp<std::int64_t>(x, 0, FLogicalWidth); }
    void SetY(std::int64_t y) { FCursor.Y = std::clamp<std::int64_t>(y, 0, FPage.Height); }
    void MoveX(const Value& v, double unitsPerStep, std::int64_t origin);
    void MoveY(const Value& v, double unitsPerStep, std::int64_t origin);
    void ResolveFont(int which);
    FontRequest& ActiveRequest() { return FFonts[FActiveFont]; }
    void Print(std::uint8_t byte);
    void AddRule(Rule rule);
    void EndRaster();

    std::span<const std::uint8_t> FIn;
    std::size_t FPos = 0;
    bool FStopped = false;
    std::vector<Page> FPages;

    Page FPage;
    int FLogicalLeft = 0;
    int FLogicalWidth = 0;
    bool FLandscape = false;
    int FSizeCode = 2;
    std::int64_t FTopMargin = 0;
    std::int64_t FLeftMargin = 0;
    std::int64_t FVmi = 0;
    std::int64_t FHmi = 0;
    int FUnitsPerPclUnit = 24;
    int FLineTermination = 0;
    Position FCursor;
    std::vector<Position> FCursorStack;
    FontRequest FFonts[2];
    FontSpec FFontSpecs[2];
    const SoftFont* FSoftFont[2] = {nullptr, nullptr};
    int FActiveFont = 0;
    std::int64_t FLastAdvance = 0;
    bool FDefiningMacro = false;

    // The text run that the next character continues, if it lines up.
    std::optional<std::size_t> FOpenRun;
    std::int64_t FOpenRunEnd = 0;

    std::int64_t FRectWidth = 0;
    std::int64_t FRectHeight = 0;
    int FFillLevel = 0;

    SoftFonts FSoftFonts;

    int FRasterDpi = 75;
    int FRasterSourceWidth = 0;
    int FRasterCompression = 0;
    std::optional<std::size_t> FRaster;  // the raster being transferred
    std::vector<std::uint8_t> FSeedRow;
    std::size_t FRasterBytes = 0;
};

std::vector<Page> Interpreter::Run()
{
    while (!AtEnd()) {
        std::uint8_t b = FIn[FPos];
        if (b == Esc) {
            Escape();
        } else {
            ++FPos;
            if (FDefiningMacro)
                continue;
            if (b < 0x20)
                ControlCode(b);
            else if (b != 0x7F)
                Print(b);
        }
    }
    if (!FStopped)
        Eject(false);
    return std::move(FPages);
}

Value Interpreter::ReadValue()
{
    Value v;
    bool negative = false;
    if (FPos < FIn.size() && (FIn[FPos] == '+' || FIn[FPos] == '-')) {
        v.Signed = true;
        negative = FIn[FPos] == '-';
        ++FPos;
    }
    std::int64_t whole = 0;
    while (FPos < FIn.size() && FIn[FPos] >= '0' && FIn[FPos] <= '9') {
        whole = std::min<std::int64_t>(whole * 10 + (FIn[FPos] - '0'), 32767);
        ++FPos;
    }
    std::int64_t fraction = 0;
    if (FPos < FIn.size() && FIn[FPos] == '.') {
        ++FPos;
        int digits = 0;
        bool roundUp = false;
        while (FPos < FIn.size() && FIn[FPos] >= '0' && FIn[FPos] <= '9') {
            if (digits < 4)
                fraction = fraction * 10 + (FIn[FPos] - '0');
            else if (digits == 4)
                roundUp = FIn[FPos] >= '5';
            ++digits;
            ++FPos;
        }
        for (; digits < 4; ++digits)
            fraction *= 10;
        fraction += roundUp ? 1 : 0;
    }
    v.TenThousandths = whole * 10000 + fraction;
    if (negative)
        v.TenThousandths = -v.TenThousandths;
    return v;
}

void Interpreter::Escape()
{
    ++FPos;
    if (FPos >= FIn.size())
        return;
    const std::uint8_t c = FIn[FPos];
    if (c >= 0x21 && c <= 0x2F) {
        ++FPos;
        ParameterizedCommand(c);
    } else if (c >= 0x30 && c <= 0x7E) {
        ++FPos;
        if (!FDefiningMacro)
            TwoCharacterCommand(c);
    }
    // An ESC before anything else is dropped and the byte read as it stands.
}

void Interpreter::ParameterizedCommand(std::uint8_t parameter)
{
    std::uint8_t group = 0;
    if (FPos < FIn.size() && FIn[FPos] >= 0x60 && FIn[FPos] <= 0x7E)
        group = FIn[FPos++];
    while (FPos < FIn.size()) {
        const Value v = ReadValue();
        if (FPos >= FIn.size())
            return;  // cut off inside the command
        const std::uint8_t c = FIn[FPos];
        if (c >= 0x60 && c <= 0x7E) {
            ++FPos;
            Execute(parameter, group, v, std::uint8_t(c - 0x20));
        } else if (c >= 0x40 && c <= 0x5E) {
            ++FPos;
            Execute(parameter, group, v, c);
            return;
        } else {
            return;  // not a command after all: the byte is read again as data
        }
        if (FStopped)
            return;
    }
}

std::span<const std::uint8_t> Interpreter::TakePayload(const Value& count)
{
    const std::size_t wanted = count.TenThousandths > 0 ? std::size_t(count.Integer()) : 0;
    const std::size_t n = std::min(wanted, FIn.size() - FPos);
    auto payload = FIn.subspan(FPos, n);
    FPos += n;
    return payload;
}

void Interpreter::SkipPjl()
{
    for (;;) {
        while (FPos < FIn.size() && (FIn[FPos] == '\r' || FIn[FPos] == '\n'))
            ++FPos;
        const std::size_t left = FIn.size() - FPos;
        if (left < 4 || std::memcmp(FIn.data() + FPos, "@PJL", 4) != 0)
            return;
        while (FPos < FIn.size() && FIn[FPos] != '\n')
            ++FPos;
    }
}

// HP-GL/2 is not drawn: everything up to "ESC %#A" or a job end is passed over.
void Interpreter::SkipGraphicsLanguage()
{
    while (FPos < FIn.size()) {
        if (FIn[FPos++] != Esc || FPos >= FIn.size() || FIn[FPos] != '%')
            continue;
        ++FPos;
        const Value v = ReadValue();
        if (FPos >= FIn.size())
            return;
        const std::uint8_t c = FIn[FPos++];
        if (c == 'A')
            return;
        if (c == 'X' && v.TenThousandths == -123450000) {
            SkipPjl();
            return;
        }
    }
}

void Interpreter::TwoCharacterCommand(std::uint8_t c)
{
    switch (c) {
    case 'E':
        Eject(false);
        FSoftFonts.Reset();
        ResetEnvironment();
        break;
    case '9': FLeftMargin = 0; break;
    case '=': SetY(FCursor.Y + FVmi / 2); break;
    default: break;  // display functions and the like print nothing
    }
}

void Interpreter::Execute(std::uint8_t parameter, std::uint8_t group, const Value& v, std::uint8_t command)
{
    // Byte-count payloads are taken whatever the command, so that they are never read as commands.
    const bool dataCommand = command == 'W' || (parameter == '&' && group == 'p' && command == 'X');
    std::span<const std::uint8_t> payload;
    if (dataCommand)
        payload = TakePayload(v);

    if (parameter == '&' && group == 'f' && command == 'X') {
        if (v.Integer() == 0)
            FDefiningMacro = true;
        else if (v.Integer() == 1)
            FDefiningMacro = false;
        return;
    }
    if (FDefiningMacro)
        return;

    switch (parameter) {
    case '%':
        if (group == 0 && command == 'X' && v.TenThousandths == -123450000) {
            Eject(false);
            SkipPjl();
        } else if (group == 0 && command == 'B') {
            SkipGraphicsLanguage();
        }
        return;
    case '(':
    case ')': {
        const int which = parameter == '(' ? 0 : 1;
        if (group == 's' && command == 'W') {
            if (which == 0)
                FSoftFonts.DefineCharacter(payload);
            else
                FSoftFonts.DefineFont(payload);
            return;
        }
        FontCommand(which, group, v, command);
        return;
    }
    case '&':
        switch (group) {
        case 'l': JobCommand(v, command); return;
        case 'a': CursorCommand(v, command); return;
        case 'k':
            if (command == 'H' && v.TenThousandths >= 0)
                FHmi = v.Scaled(UnitsPerInch / 120.0);
            else if (command == 'G')
                FLineTermination = std::clamp(v.Integer(), 0, 3);
            return;
        case 'u':
            if (command == 'D' && v.Integer() > 0)
                FUnitsPerPclUnit = std::max(1, UnitsPerInch / std::min(v.Integer(), UnitsPerInch));
            return;
        case 'f':
            if (command == 'S' && v.Integer() == 0 && FCursorStack.size() < CursorStackDepth) {
                FCursorStack.push_back(FCursor);
            } else if (command == 'S' && v.Integer() == 1 && !FCursorStack.empty()) {
                FCursor = FCursorStack.back();
                FCursorStack.pop_back();
                SetX(FCursor.X);
                SetY(FCursor.Y);
            }
            return;
        case 'p':
            if (command == 'X')
                for (std::uint8_t b : payload)
                    Print(b);
            return;
        default: return;
        }
    case '*':
        switch (group) {
        case 'p':
            if (command == 'X')
                MoveX(v, FUnitsPerPclUnit, 0);
            else if (command == 'Y')
                MoveY(v, FUnitsPerPclUnit, FTopMargin);
            return;
        case 'c': PictureCommand(v, command); return;
        case 't':
            if (command == 'R' && UnitsPerInch % std::max(1, v.Integer()) == 0 && v.Integer() >= 75 &&
                v.Integer() <= 1200)
                FRasterDpi = v.Integer();
            return;
        case 'r':
            if (command == 'A') {
                EndRaster();
                StartRaster(v.Integer() == 1 ? FCursor.X : 0);
            } else if (command == 'S') {
                FRasterSourceWidth = std::max(0, v.Integer());
            } else if (command == 'B' || command == 'C') {
                EndRaster();
            }
            return;
        case 'b':
            if (command == 'M') {
                FRasterCompression = v.Integer();
            } else if (command == 'W') {
                RasterRow(payload);
            } else if (command == 'Y' && FRaster) {
                const Raster& raster = FPage.Rasters[*FRaster];
                const std::int64_t room = (FPage.Height - raster.Y) / (UnitsPerInch / raster.Dpi) -
                                          std::int64_t(raster.Rows.size());
                for (std::int64_t i = 0; i < std::min<std::int64_t>(v.Integer(), room); ++i)
                    RasterRow({});
            }
            return;
        default: return;
        }
    default: return;
    }
}

void Interpreter::JobCommand(const Value& v, std::uint8_t command)
{
    switch (command) {
    case 'X': FPage.Copies = std::clamp(v.Integer(), 1, 999); break;
    case 'A':
        if (FormatOfSize(v.Integer(), FLandscape)) {
            Eject(false);
            SetPageFormat(v.Integer(), FLandscape);
        }
        break;
    case 'O':
        if (v.Integer() == 0 || v.Integer() == 1) {
            Eject(false);
            FLandscape = v.Integer() == 1;
            SetPageFormat(FSizeCode, FLandscape);
        }
        break;
    case 'H':
        if (v.Integer() == 0)
            Eject(false);
        break;
    case 'E':
        if (v.TenThousandths >= 0)
            FTopMargin = std::min<std::int64_t>(v.Integer() * FVmi, FPage.Height);
        break;
    case 'C':
        if (v.TenThousandths >= 0)
            FVmi = v.Scaled(UnitsPerInch / 48.0);
        break;
    case 'D':
        if (v.Integer() > 0)
            FVmi = UnitsPerInch / v.Integer();
        break;
    default: break;
    }
}

void Interpreter::CursorCommand(const Value& v, std::uint8_t command)
{
    switch (command) {
    case 'R': MoveY(v, double(FVmi), FTopMargin + FVmi * 3 / 4); break;
    case 'C': MoveX(v, double(FHmi), 0); break;
    case 'H': MoveX(v, UnitsPerDecipoint, 0); break;
    case 'V': MoveY(v, UnitsPerDecipoint, FTopMargin); break;
    case 'L':
        if (v.TenThousandths >= 0)
            FLeftMargin = std::min<std::int64_t>(v.Integer() * FHmi, FLogicalWidth);
        break;
    default: break;  // the right margin only matters for line wrap, which stays off
    }
}

void Interpreter::MoveX(const Value& v, double unitsPerStep, std::int64_t origin)
{
    const std::int64_t delta = v.Scaled(unitsPerStep);
    SetX(v.Signed ? FCursor.X + delta : origin + delta);
}

void Interpreter::MoveY(const Value& v, double unitsPerStep, std::int64_t origin)
{
    const std::int64_t delta = v.Scaled(unitsPerStep);
    SetY(v.Signed ? FCursor.Y + delta : origin + delta);
}

void Interpreter::PictureCommand(const Value& v, std::uint8_t command)
{
    switch (command) {
    case 'A': FRectWidth = std::max<std::int64_t>(0, v.Scaled(FUnitsPerPclUnit)); break;
    case 'B': FRectHeight = std::max<std::int64_t>(0, v.Scaled(FUnitsPerPclUnit)); break;
    case 'H': FRectWidth = std::max<std::int64_t>(0, v.Scaled(UnitsPerDecipoint)); break;
    case 'V': FRectHeight = std::max<std::int64_t>(0, v.Scaled(UnitsPerDecipoint)); break;
    case 'G': FFillLevel = v.Integer(); break;
    case 'P': {
        Rule rule;
        switch (v.Integer()) {
        case 0: rule.Kind = Fill::Black; break;
        case 1: rule.Kind = Fill::White; break;
        case 2:
            rule.Kind = Fill::Shade;
            rule.Level = std::clamp(FFillLevel, 0, 100);
            break;
        case 3:
            rule.Kind = Fill::Pattern;
            rule.Level = std::clamp(FFillLevel, 1, 6);
            break;
        case 5: rule.Kind = Fill::Black; break;
        default: return;
        }
        AddRule(rule);
        break;
    }
    case 'D': FSoftFonts.SetFontId(v.Integer()); break;
    case 'E': FSoftFonts.SetCharacterCode(v.Integer()); break;
    case 'F':
        FSoftFonts.Control(v.Integer());
        for (int which = 0; which < 2; ++which)
            if (FFonts[which].SoftId >= 0)
                ResolveFont(which);
        break;
    default: break;
    }
}

void Interpreter::AddRule(Rule rule)
{
    // The rectangle hangs from the cursor and is cut at the logical page.
    const std::int64_t x = FCursor.X;
    const std::int64_t width = std::min(FRectWidth, FLogicalWidth - x);
    const std::int64_t height = std::min(FRectHeight, FPage.Height - FCursor.Y);
    if (width <= 0 || height <= 0)
        return;
    rule.X = int(FLogicalLeft + x);
    rule.Y = int(FCursor.Y);
    rule.Width = int(width);
    rule.Height = int(height);
    FPage.Rules.push_back(rule);
    FPage.Order.push_back({Mark::Kind::Rule, FPage.Rules.size() - 1});
    FOpenRun.reset();
}

// One row of raster data, decompressed into the raster being transferred.
void Interpreter::RasterRow(std::span<const std::uint8_t> data)
{
    if (!FRaster)
        StartRaster(FCursor.X);  // an implicit start, at the cursor
    Raster& raster = FPage.Rasters[*FRaster];
    const std::int64_t unitsPerRow = UnitsPerInch / raster.Dpi;
    const std::int64_t roomBits = (FLogicalLeft + FLogicalWidth - raster.X) * raster.Dpi / UnitsPerInch;
    const std::size_t maxBytes = std::size_t(std::max<std::int64_t>(0, (roomBits + 7) / 8));
    if (raster.Y + std::int64_t(raster.Rows.size() + 1) * unitsPerRow > FPage.Height ||
        FRasterBytes + maxBytes + RowOverhead > RasterBudget) {
        return;  // below the page, or over the memory budget: dropped
    }

    std::vector<std::uint8_t> row;
    auto put = [&](std::uint8_t b) {
        if (row.size() < maxBytes)
            row.push_back(b);
    };
    switch (FRasterCompression) {
    case 0:
        for (std::uint8_t b : data)
            put(b);
        break;
    case 1:  // run-length pairs: repeat count - 1, byte
        for (std::size_t i = 0; i + 1 < data.size() && row.size() < maxBytes; i += 2)
            for (int n = 0; n <= data[i]; ++n)
                put(data[i + 1]);
        break;
    case 2:  // TIFF PackBits
        for (std::size_t i = 0; i < data.size() && row.size() < maxBytes;) {
            const int control = static_cast<std::int8_t>(data[i++]);
            if (control >= 0) {
                for (int n = 0; n <= control && i < data.size(); ++n)
                    put(data[i++]);
            } else if (control != -128 && i < data.size()) {
                for (int n = 0; n <= -control; ++n)
                    put(data[i]);
                ++i;
            }
        }
        break;
    case 3: {  // delta row: replacements within the previous row
        row = FSeedRow;
        std::size_t at = 0;
        for (std::size_t i = 0; i < data.size();) {
            const int count = (data[i] >> 5) + 1;
            std::size_t offset = data[i++] & 0x1F;
            if (offset == 31) {
                while (i < data.size()) {
                    offset += data[i];
                    if (data[i++] != 255)
                        break;
                }
            }
            at += offset;
            for (int n = 0; n < count && i < data.size(); ++n, ++at) {
                if (at >= maxBytes) {
                    ++i;
                    continue;
                }
                if (row.size() <= at)
                    row.resize(at + 1, 0);
                row[at] = data[i++];
            }
        }
        break;
    }
    default: break;  // an unknown compression prints a blank row
    }
    if (FRasterSourceWidth > 0 && row.size() > std::size_t(FRasterSourceWidth + 7) / 8)
        row.resize(std::size_t(FRasterSourceWidth + 7) / 8);
    FSeedRow = row;
    raster.Width = std::max(raster.Width, int(row.size() * 8));
    FRasterBytes += row.size() + RowOverhead;
    raster.Rows.push_back(std::move(row));
    if (std::any_of(raster.Rows.back().begin(), raster.Rows.back().end(),
                    [](std::uint8_t b) { return b != 0; }) &&
        (FPage.Order.empty() || FPage.Order.back().Type != Mark::Kind::Raster ||
         FPage.Order.back().Index != *FRaster)) {
        FPage.Order.push_back({Mark::Kind::Raster, *FRaster});
        FOpenRun.reset();
    }
}

void Interpreter::StartRaster(std::int64_t x)
{
    Raster raster;
    raster.X = int(FLogicalLeft + x);
    raster.Y = int(FCursor.Y);
    raster.Dpi = FRasterDpi;
    FPage.Rasters.push_back(std::move(raster));
    FRaster = FPage.Rasters.size() - 1;
    FSeedRow.clear();
}

void Interpreter::EndRaster()
{
    if (!FRaster)
        return;
    const Raster& raster = FPage.Rasters[*FRaster];
    SetY(raster.Y + std::int64_t(raster.Rows.size()) * (UnitsPerInch / raster.Dpi));
    FRaster.reset();
}

void Interpreter::FontCommand(int which, std::uint8_t group, const Value& v, std::uint8_t command)
{
    FontRequest& font = FFonts[which];
    if (group == 0) {
        if (command == 'X') {
            if (FSoftFonts.Find(v.Integer()))
                font.SoftId = v.Integer();
        } else if (command == '@') {
            if (v.Integer() == 3)
                font = FontRequest {};
        } else if (command >= 'A' && command <= 'Z') {
            font.SymbolSet = v.Integer() * 32 + (command - 64);
            font.SoftId = -1;
        }
        ResolveFont(which);
        return;
    }
    if (group != 's')
        return;
    switch (command) {
    case 'P': font.Proportional = v.Integer() != 0; break;
    case 'H':
        if (v.TenThousandths > 0)
            font.Pitch = std::clamp(v.Number(), 0.1, 576.0);
        break;
    case 'V':
        if (v.TenThousandths > 0)
            font.Height = std::clamp(v.Number(), 0.25, 999.75);
        break;
    case 'S': font.Style = v.Integer(); break;
    case 'B': font.Weight = v.Integer(); break;
    case 'T': font.Typeface = v.Integer(); break;
    default: return;
    }
    font.SoftId = -1;
    ResolveFont(which);
}

void Interpreter::ResolveFont(int which)
{
    FontRequest& request = FFonts[which];
    const SoftFont* soft = request.SoftId >= 0 ? FSoftFonts.Find(request.SoftId) : nullptr;
    if (request.SoftId >= 0 && !soft)
        request.SoftId = -1;  // deleted meanwhile
    FSoftFont[which] = soft;

    FontSpec spec;
    bool proportional = request.Proportional;
    double pitch = request.Pitch;
    double height = request.Height;
    int typeface = request.Typeface;
    int weight = request.Weight;
    int style = request.Style;
    if (soft) {
        proportional = soft->Proportional;
        if (soft->PitchQuarterDots > 0)
            pitch = 1200.0 / soft->PitchQuarterDots;
        if (soft->HeightQuarterDots > 0)
            height = soft->HeightQuarterDots * 72.0 / 1200.0;
        typeface = soft->Typeface;
        weight = soft->Weight;
        style = soft->Style;
    }
    spec.Fixed = !proportional;
    spec.Face = FaceOfTypeface(typeface, spec.Fixed);
    spec.Bold = weight > 0;
    spec.Italic = (style & 3) != 0;
    // A fixed font is as large as its pitch allows (12 points at 10 characters an inch).
    spec.Points = spec.Fixed ? std::min(height, 120.0 / pitch) : height;
    FFontSpecs[which] = spec;

    if (which != FActiveFont)
        return;
    // A soft font's header gives its default HMI, in quarter dots.
    if (soft && soft->PitchQuarterDots > 0)
        FHmi = soft->PitchQuarterDots * (UnitsPerDot300 / 4);
    else if (spec.Fixed)
        FHmi = std::llround(UnitsPerInch / pitch);
    else
        FHmi = std::llround(ProportionalWidth(spec.Face, spec.Bold, ' ') * spec.Points * UnitsPerPoint /
                            1000.0);
}

void Interpreter::ControlCode(std::uint8_t c)
{
    switch (c) {
    case '\r':
        FCursor.X = FLeftMargin;
        if (FLineTermination == 1 || FLineTermination == 3)
            SetY(FCursor.Y + FVmi);
        FOpenRun.reset();
        break;
    case '\n':
        if (FLineTermination >= 2)
            FCursor.X = FLeftMargin;
        SetY(FCursor.Y + FVmi);
        FOpenRun.reset();
        break;
    case '\f': Eject(true); break;
    case '\b':
        SetX(FCursor.X - FLastAdvance);
        FOpenRun.reset();
        break;
    case '\t':
        if (FHmi > 0) {
            const std::int64_t tab = 8 * FHmi;
            SetX(FLeftMargin + ((FCursor.X - FLeftMargin) / tab + 1) * tab);
        }
        FOpenRun.reset();
        break;
    case 0x0E:
    case 0x0F:
        FActiveFont = c == 0x0E ? 1 : 0;
        ResolveFont(FActiveFont);
        FOpenRun.reset();
        break;
    default: break;
    }
}

void Interpreter::Print(std::uint8_t byte)
{
    if (FCursor.X >= FLogicalWidth)
        return;  // past the right edge: lost, as on paper
    const FontSpec& spec = FFontSpecs[FActiveFont];
    const SoftFont* soft = FSoftFont[FActiveFont];

    if (soft) {
        auto glyph = soft->Glyphs.find(byte);
        std::int64_t advance = FHmi;
        if (glyph != soft->Glyphs.end()) {
            if (!spec.Fixed)
                advance = glyph->second.DeltaX * (UnitsPerDot300 / 4);
            const SoftGlyph& g = glyph->second;
            const std::size_t stride = std::size_t(g.Width + 7) / 8;
            const std::size_t size = (stride + RowOverhead) * std::size_t(g.Height);
            if (!g.Bits.empty() && FRasterBytes + size <= RasterBudget) {
                Raster raster;
                raster.X = int(FLogicalLeft + FCursor.X + g.Left * UnitsPerDot300);
                raster.Y = int(FCursor.Y - g.Top * UnitsPerDot300);
                raster.Dpi = 300;
                raster.Width = g.Width;
                for (int r = 0; r < g.Height; ++r) {
                    std::vector<std::uint8_t> row(stride, 0);
                    const std::size_t from = std::size_t(r) * stride;
                    if (from < g.Bits.size())
                        std::copy_n(g.Bits.begin() + from, std::min(stride, g.Bits.size() - from),
                                    row.begin());
                    raster.Rows.push_back(std::move(row));
                }
                FRasterBytes += size;
                FPage.Rasters.push_back(std::move(raster));
                FPage.Order.push_back({Mark::Kind::Raster, FPage.Rasters.size() - 1});
            }
        }
        FOpenRun.reset();
        FLastAdvance = advance;
        SetX(FCursor.X + advance);
        return;
    }

    const std::optional<unsigned char> mapped = ToWindows1252(FFonts[FActiveFont].SymbolSet, byte);
    const unsigned char ch = mapped.value_or(' ');
    std::int64_t advance = FHmi;
    if (!spec.Fixed && ch != ' ')
        advance = std::llround(ProportionalWidth(spec.Face, spec.Bold, ch) * spec.Points * UnitsPerPoint /
                               1000.0);

    const int runAdvance = spec.Fixed ? int(FHmi) : 0;
    if (FOpenRun && FOpenRunEnd == FCursor.X) {
        GlyphRun& run = FPage.Runs[*FOpenRun];
        if (run.Y == FCursor.Y && run.Font == spec && run.Advance == runAdvance) {
            run.Text.push_back(char(ch));
            FOpenRunEnd = FCursor.X + advance;
            FLastAdvance = advance;
            SetX(FCursor.X + advance);
            return;
        }
    }
    if (ch != ' ') {
        GlyphRun run;
        run.X = int(FLogicalLeft + FCursor.X);
        run.Y = int(FCursor.Y);
        run.Font = spec;
        run.Advance = runAdvance;
        run.Text.push_back(char(ch));
        FPage.Runs.push_back(std::move(run));
        FPage.Order.push_back({Mark::Kind::Text, FPage.Runs.size() - 1});
        FOpenRun = FPage.Runs.size() - 1;
        FOpenRunEnd = FCursor.X + advance;
    } else {
        FOpenRun.reset();
    }
    FLastAdvance = advance;
    SetX(FCursor.X + advance);
}

void Interpreter::SetPageFormat(int sizeCode, bool landscape)
{
    const PageFormat format = *FormatOfSize(sizeCode, landscape);
    FSizeCode = sizeCode;
    FPage.Width = format.Width;
    FPage.Height = format.Height;
    FLogicalLeft = format.LogicalOffsetDots * UnitsPerDot300;
    FLogicalWidth = format.Width - 2 * FLogicalLeft;
    FTopMargin = UnitsPerInch / 2;
    FLeftMargin = 0;
    Home();
}

void Interpreter::Home()
{
    FCursor.X = FLeftMargin;
    SetY(FTopMargin + FVmi * 3 / 4);
    FOpenRun.reset();
}

void Interpreter::ResetEnvironment()
{
    FPage = Page {};
    FLandscape = false;
    FVmi = UnitsPerInch / 6;
    FUnitsPerPclUnit = UnitsPerDot300;
    FLineTermination = 0;
    FCursorStack.clear();
    FFonts[0] = FontRequest {};
    FFonts[1] = FontRequest {};
    FActiveFont = 0;
    ResolveFont(1);
    ResolveFont(0);
    FDefiningMacro = false;
    FRectWidth = FRectHeight = 0;
    FFillLevel = 0;
    FRasterDpi = 75;
    FRasterSourceWidth = 0;
    FRasterCompression = 0;
    FRaster.reset();
    FLastAdvance = 0;
    SetPageFormat(2, false);
}

void Interpreter::Eject(bool always)
{
    FRaster.reset();
    if (FPage.Empty() && !always)
        return;
    if (FPages.size() >= MaxPages) {
        FStopped = true;
        return;
    }
    Page blank;
    blank.Width = FPage.Width;
    blank.Height = FPage.Height;
    blank.Copies = FPage.Copies;
    FPages.push_back(std::exchange(FPage, std::move(blank)));
    Home();
}

}  // namespace

std::vector<Page> Interpret(std::span<const std::uint8_t> bytes) { return Interpreter(bytes).Run(); }

std::vector<Page> Interpret(std::string_view bytes)
{
    return Interpret(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace pcl
