#include "datacontrols/richtext/dwrichicons.h"

#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"
#include "platform/vcl/graphics/imagelist.h"

namespace {

// The ground colour, which the bottom-left pixel keeps, so that it is the transparent one.
constexpr TColor Ground = clFuchsia;

void Outlined(TCanvas* C, TColor Fill, TColor Line)
{
    C->Brush()->SetColor(Fill);
    C->Pen()->SetColor(Line);
}

void Page(TCanvas* C, int X, int Y, int W, int H)
{
    Outlined(C, clWhite, clBlack);
    C->Polygon({Point(X, Y), Point(X + W - 4, Y), Point(X + W, Y + 4), Point(X + W, Y + H), Point(X, Y + H)});
    C->Polyline({Point(X + W - 4, Y), Point(X + W - 4, Y + 4), Point(X + W, Y + 4)});
}

void TextLines(TCanvas* C, int X, int Y, int W, int Count)
{
    C->Pen()->SetColor(clGray);
    for (int i = 0; i < Count; ++i) {
        C->MoveTo(X, Y + 2 * i);
        C->LineTo(X + W, Y + 2 * i);
    }
}

void Arrow(TCanvas* C, bool Left)
{
    // A bow over the top, its head at the lower end.
    const auto x = [Left](int V) { return Left ? V : 15 - V; };
    C->Pen()->SetColor(clNavy);
    C->Pen()->SetWidth(2);
    C->Polyline({Point(x(4), 10), Point(x(6), 6), Point(x(9), 5), Point(x(12), 7), Point(x(13), 11)});
    C->Pen()->SetWidth(1);
    Outlined(C, clNavy, clNavy);
    C->Polygon({Point(x(1), 7), Point(x(7), 10), Point(x(2), 13)});
}

void Letter(TCanvas* C, const char* Text, TColor Color, bool Bold)
{
    C->Font()->SetName("DejaVu Sans");
    C->Font()->SetSize(9);
    C->Font()->SetColor(Color);
    C->Font()->SetStyle(Bold ? TFontStyles {fsBold} : TFontStyles {});
    C->Brush()->SetStyle(bsClear);
    C->TextOut((16 - C->TextWidth(Text)) / 2, 0, Text);
    C->Brush()->SetStyle(bsSolid);
}

void Draw(TdwRichIcon Icon, TCanvas* C)
{
    switch (Icon) {
    case riNew: Page(C, 3, 1, 10, 13); break;
    case riLoad:
        Outlined(C, TColor(0x00E0C060), clBlack);
        C->Polygon({Point(1, 3), Point(5, 3), Point(6, 5), Point(13, 5), Point(13, 13), Point(1, 13)});
        Outlined(C, TColor(0x0080E0F8), clBlack);
        C->Polygon({Point(1, 13), Point(4, 7), Point(15, 7), Point(13, 13)});
        break;
    case riSaveAs:
        Outlined(C, clNavy, clBlack);
        C->Rectangle(1, 1, 15, 15);
        Outlined(C, clWhite, clWhite);
        C->Rectangle(4, 2, 12, 8);
        Outlined(C, clSilver, clSilver);
        C->Rectangle(5, 10, 11, 15);
        break;
    case riPrint:
        Page(C, 4, 1, 8, 6);
        Outlined(C, clSilver, clBlack);
        C->Rectangle(1, 7, 15, 13);
        Outlined(C, clWhite, clBlack);
        C->Rectangle(4, 11, 12, 15);
        C->SetPixel(13, 9, clLime);
        break;
    case riFind:
        Outlined(C, TColor(0x00FFF0C0), clBlack);
        C->Ellipse(1, 1, 10, 10);
        C->Pen()->SetWidth(3);
        C->MoveTo(9, 9);
        C->LineTo(14, 14);
        C->Pen()->SetWidth(1);
        break;
    case riSpell:
        Letter(C, "ab", clNavy, false);
        C->Pen()->SetColor(clGreen);
        C->Pen()->SetWidth(2);
        C->Polyline({Point(4, 11), Point(7, 14), Point(13, 8)});
        C->Pen()->SetWidth(1);
        break;
    case riCut:
        C->Pen()->SetColor(clBlack);
        C->MoveTo(5, 10);
        C->LineTo(10, 1);
        C->MoveTo(10, 10);
        C->LineTo(5, 1);
        Outlined(C, clWhite, clNavy);
        C->Pen()->SetWidth(2);
        C->Ellipse(1, 10, 7, 15);
        C->Ellipse(9, 10, 15, 15);
        C->Pen()->SetWidth(1);
        break;
    case riCopy:
        Page(C, 1, 1, 8, 10);
        Page(C, 6, 4, 8, 10);
        TextLines(C, 8, 9, 4, 3);
        break;
    case riPaste:
        Outlined(C, TColor(0x00306090), clBlack);
        C->Rectangle(1, 2, 12, 15);
        Outlined(C, clSilver, clBlack);
        C->Rectangle(4, 1, 9, 4);
        Page(C, 7, 6, 8, 9);
        break;
    case riUndo: Arrow(C, true); break;
    case riRedo: Arrow(C, false); break;
    case riBullet:
        for (int i = 0; i < 3; ++i) {
            Outlined(C, clBlack, clBlack);
            C->Rectangle(1, 2 + 5 * i, 4, 5 + 5 * i);
            C->Pen()->SetColor(clBlack);
            C->MoveTo(6, 3 + 5 * i);
            C->LineTo(15, 3 + 5 * i);
        }
        break;
    case riFont: Letter(C, "A", clNavy, true); break;
    case riParagraph: Letter(C, "\xB6", clBlack, false); break;
    case riHighlight:
        Outlined(C, clYellow, clYellow);
        C->Rectangle(1, 9, 15, 14);
        Letter(C, "ab", clBlack, false);
        break;
    }
}

}  // namespace

void dwDrawRichIcon(TdwRichIcon Icon, TBitmap* Bitmap)
{
    Bitmap->SetSize(16, 16);
    TCanvas* canvas = Bitmap->Canvas();
    canvas->Brush()->SetColor(Ground);
    canvas->FillRect(Rect(0, 0, 16, 16));
    Draw(Icon, canvas);
    canvas->SetPixel(0, 15, Ground);
    Bitmap->SetTransparent(true);
}

void dwAddRichIcons(TImageList* List)
{
    TBitmap picture;
    for (int icon = riNew; icon <= riHighlight; ++icon) {
        dwDrawRichIcon(static_cast<TdwRichIcon>(icon), &picture);
        List->Add(&picture);
    }
}
