#include "controls/kvglyphs.h"

#include <functional>

namespace {

constexpr int Side = 16;

// One picture drawn in Ink at horizontal offset X; Paper is the page colour.
using TGlyphPainter = std::function<void(TCanvas& Canvas, int X, TColor Ink, TColor Paper)>;

void Page(TCanvas& Canvas, int X, TColor Ink, TColor Paper)
{
    Canvas.Pen()->SetColor(Ink);
    Canvas.Brush()->SetColor(Paper);
    Canvas.Rectangle(X + 3, 1, X + 13, 15);
}

void PrintGlyph(TCanvas& Canvas, int X, TColor Ink, TColor Paper)
{
    Page(Canvas, X, Ink, Paper);
    Canvas.Brush()->SetColor(Ink);
    Canvas.FillRect(Rect(X + 1, 7, X + 15, 13));
}

void PreviewGlyph(TCanvas& Canvas, int X, TColor Ink, TColor Paper)
{
    Canvas.Pen()->SetColor(Ink);
    Canvas.Brush()->SetColor(Paper);
    Canvas.Ellipse(X + 2, 2, X + 11, 11);
    Canvas.MoveTo(X + 10, 10);
    Canvas.LineTo(X + 15, 15);
}

void NotesGlyph(TCanvas& Canvas, int X, TColor Ink, TColor Paper) { Page(Canvas, X, Ink, Paper); }

void NotesFullGlyph(TCanvas& Canvas, int X, TColor Ink, TColor Paper)
{
    Page(Canvas, X, Ink, Paper);
    for (int y = 4; y <= 12; y += 2) {
        Canvas.MoveTo(X + 5, y);
        Canvas.LineTo(X + 11, y);
    }
}

}  // namespace

bool LoadProgramBitmap(TBitmap& Bitmap, const String& Name)
{
    TGlyphPainter painter;
    if (Name == "kvprintbmp")
        painter = PrintGlyph;
    else if (Name == "kvpreviewbmp")
        painter = PreviewGlyph;
    else if (Name == "kvnotes")
        painter = NotesGlyph;
    else if (Name == "kvnotesfull")
        painter = NotesFullGlyph;
    else
        return false;
    Bitmap.SetSize(2 * Side, Side);
    TCanvas& canvas = *Bitmap.Canvas();
    canvas.Brush()->SetColor(clOlive);
    canvas.FillRect(Rect(0, 0, 2 * Side, Side));
    painter(canvas, 0, clNavy, clWhite);
    painter(canvas, Side, clGray, clSilver);
    return true;
}
