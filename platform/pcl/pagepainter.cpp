#include "platform/pcl/pagepainter.h"

#include <cmath>

#include "platform/pcl/interpreter.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"

namespace pcl {

const char* FontFamily(Typeface face)
{
    switch (face) {
    case Typeface::Sans: return "Liberation Sans";
    case Typeface::Serif: return "Liberation Serif";
    case Typeface::Mono: break;
    }
    return "Liberation Mono";
}

namespace {

// Page units to device pixels.
class Mapping {
public:
    Mapping(const Page& page, const TRect& target)
        : FLeft(target.Left), FTop(target.Top), FScaleX(double(target.Width()) / page.Width),
          FScaleY(double(target.Height()) / page.Height)
    {
    }
    int X(std::int64_t x) const { return FLeft + int(std::lround(double(x) * FScaleX)); }
    int Y(std::int64_t y) const { return FTop + int(std::lround(double(y) * FScaleY)); }
    double ScaleY() const { return FScaleY; }
    // A rectangle at least one pixel each way, so hairlines stay visible.
    TRect Box(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height) const
    {
        TRect r {X(x), Y(y), X(x + width), Y(y + height)};
        r.Right = std::max(r.Right, r.Left + 1);
        r.Bottom = std::max(r.Bottom, r.Top + 1);
        return r;
    }

private:
    int FLeft;
    int FTop;
    double FScaleX;
    double FScaleY;
};

TBrushStyle PatternStyle(int pattern)
{
    static constexpr TBrushStyle styles[] = {bsHorizontal, bsVertical, bsBDiagonal,
                                             bsFDiagonal,  bsCross,    bsDiagCross};
    return styles[std::clamp(pattern, 1, 6) - 1];
}

void PaintRule(const Rule& rule, TCanvas& canvas, const Mapping& map)
{
    TBrush* brush = canvas.Brush();
    brush->SetStyle(bsSolid);
    switch (rule.Kind) {
    case Fill::Black: brush->SetColor(clBlack); break;
    case Fill::White: brush->SetColor(clWhite); break;
    case Fill::Shade: {
        const Byte grey = Byte(std::lround(255.0 * (100 - rule.Level) / 100.0));
        brush->SetColor(RGB(grey, grey, grey));
        break;
    }
    case Fill::Pattern:
        brush->SetColor(clBlack);
        brush->SetStyle(PatternStyle(rule.Level));
        break;
    }
    canvas.FillRect(map.Box(rule.X, rule.Y, rule.Width, rule.Height));
}

void PaintRun(const GlyphRun& run, TCanvas& canvas, const Mapping& map)
{
    TFont* font = canvas.Font();
    font->SetName(FontFamily(run.Font.Face));
    font->SetPixelsPerInch(canvas.PixelsPerInch());  // the height below is in device pixels
    font->SetHeight(-std::max(1, int(std::lround(run.Font.Points * (UnitsPerInch / 72) * map.ScaleY()))));
    TFontStyles style;
    if (run.Font.Bold)
        style.Include(fsBold);
    if (run.Font.Italic)
        style.Include(fsItalic);
    font->SetStyle(style);
    font->SetColor(clBlack);
    canvas.Brush()->SetStyle(bsClear);
    const int top = map.Y(run.Y) - canvas.TextAscent();
    if (run.Advance == 0) {
        canvas.TextOut(map.X(run.X), top, run.Text);
        return;
    }
    // Each character in its own cell, so columns stay exact at every size.
    for (std::size_t i = 0; i < run.Text.size(); ++i)
        if (run.Text[i] != ' ')
            canvas.TextOut(map.X(run.X + std::int64_t(i) * run.Advance), top, String(1, run.Text[i]));
}

void PaintRaster(const Raster& raster, TCanvas& canvas, const Mapping& map)
{
    canvas.Brush()->SetStyle(bsSolid);
    canvas.Brush()->SetColor(clBlack);
    const std::int64_t unit = UnitsPerInch / raster.Dpi;
    for (std::size_t r = 0; r < raster.Rows.size(); ++r) {
        const auto& row = raster.Rows[r];
        const std::int64_t bits = std::int64_t(row.size()) * 8;
        for (std::int64_t b = 0; b < bits;) {
            if (!(row[b / 8] & (0x80 >> (b % 8)))) {
                ++b;
                continue;
            }
            std::int64_t end = b;
            while (end < bits && (row[end / 8] & (0x80 >> (end % 8))))
                ++end;
            canvas.FillRect(
                    map.Box(raster.X + b * unit, raster.Y + std::int64_t(r) * unit, (end - b) * unit, unit));
            b = end;
        }
    }
}

}  // namespace

void PaintPage(const Page& page, TCanvas& canvas, const TRect& target)
{
    TFont savedFont;
    savedFont.Assign(canvas.Font());
    TBrush savedBrush;
    savedBrush.Assign(canvas.Brush());

    const Mapping map(page, target);
    for (const Mark& mark : page.Order) {
        switch (mark.Type) {
        case Mark::Kind::Rule: PaintRule(page.Rules[mark.Index], canvas, map); break;
        case Mark::Kind::Text: PaintRun(page.Runs[mark.Index], canvas, map); break;
        case Mark::Kind::Raster: PaintRaster(page.Rasters[mark.Index], canvas, map); break;
        }
    }
    canvas.SetFont(&savedFont);
    canvas.SetBrush(&savedBrush);
}

void PaintOverlay(std::string_view overlay, TCanvas& canvas, const TRect& frame)
{
    const std::vector<Page> pages = Interpret(overlay);
    if (!pages.empty())
        PaintPage(pages.front(), canvas, frame);
}

std::unique_ptr<TBitmap> RenderPage(const Page& page, int dpi)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    const int width = int(std::lround(double(page.Width) * dpi / UnitsPerInch));
    const int height = int(std::lround(double(page.Height) * dpi / UnitsPerInch));
    bitmap->SetSize(width, height);
    TCanvas& canvas = *bitmap->Canvas();
    canvas.Brush()->SetColor(clWhite);
    canvas.Brush()->SetStyle(bsSolid);
    canvas.FillRect(TRect {0, 0, width, height});
    PaintPage(page, canvas, TRect {0, 0, width, height});
    return bitmap;
}

}  // namespace pcl
