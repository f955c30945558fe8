#include "datacontrols/common/dwdrawing.h"

#include <algorithm>

#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/frames.h"
#include "platform/vcl/forms/userinput.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"
#include "platform/vcl/graphics/colors.h"

namespace {

// Room an edit's border takes around one line of text.
constexpr int BorderAllowance = 3 + 2;

}  // namespace

void dwDrawEditText(TCanvas* Canvas, const TRect& Rect, int LeftMargin, int Options, TAlignment Alignment,
                    const String& Text, int TopMargin)
{
    TRect textRect = Rect;
    textRect.Top += TopMargin;
    unsigned format = DT_EXPANDTABS | DT_NOPREFIX;
    switch (Alignment) {
    case taLeftJustify:
        textRect.Left += LeftMargin;
        format |= DT_LEFT;
        break;
    case taRightJustify:
        textRect.Right -= LeftMargin;
        format |= DT_RIGHT;
        break;
    case taCenter:
        textRect.Left += LeftMargin;
        textRect.Right -= LeftMargin;
        format |= DT_CENTER;
        break;
    }
    if (!(Options & detNoBackground))
        Canvas->FillRect(Rect);
    if (Options & detShowPrefix)
        format &= ~DT_NOPREFIX;
    if (Options & detWordBreak)
        format |= DT_WORDBREAK;
    if (Options & detEndEllipsis)
        format |= DT_END_ELLIPSIS;
    if ((Options & detEndEllipsis) || dwIsSingleLineHeight(Canvas, Rect))
        format &= ~DT_WORDBREAK;
    Canvas->DrawText(Text, textRect, format);
}

void dwDrawUnfocusedEditText(TCanvas* Canvas, const TRect& ClientArea, int TextRight, TColor Background,
                             TFont* Font, TColor FontColor, bool Enabled, int X, int Y, TAlignment Alignment,
                             const String& Text)
{
    if (Background != clNone) {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(Background);
        Canvas->FillRect(ClientArea);
    }
    Canvas->Font()->Assign(Font);
    if (!Enabled)
        Canvas->Font()->SetColor(clGrayText);
    else if (FontColor != clNone)
        Canvas->Font()->SetColor(FontColor);
    TRect area = ClientArea;
    area.Right = std::min(area.Right, TextRight);
    if (Y < 0)
        Y = std::max(1, (area.Height() - Canvas->TextHeight("Wg")) / 2);
    dwDrawEditText(Canvas, area, X, detNoBackground, Alignment, Text, Y);
}

bool dwIsSingleLineHeight(TCanvas* Canvas, const TRect& Rect)
{
    TRect line = Rect;
    const int height = Canvas->DrawText("Wg", line, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return height + BorderAllowance >= Rect.Bottom - Rect.Top;
}

void dwDrawSelectedFrame(TCanvas* Canvas, const TRect& Rect)
{
    const TBrushStyle brushStyle = Canvas->Brush()->Style();
    const TColor penColor = Canvas->Pen()->Color();
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Pen()->SetColor(clHighlight);
    Canvas->Rectangle(Rect);
    Canvas->DrawFocusRect(Rect);
    Canvas->Brush()->SetStyle(brushStyle);
    Canvas->Pen()->SetColor(penColor);
}

void dwDrawEllipsisButton(TCanvas* Canvas, const TRect& Rect, int State, Word Key, bool Flat,
                          bool Transparent)
{
    const bool pushed = State == dwButtonPushed;
    if (!Transparent) {
        TRect edge = Rect;
        unsigned flags = BF_RECT;
        if (!Flat)
            flags |= BF_MIDDLE;
        if (pushed && !KeyIsDown(Key))
            flags |= BF_FLAT;
        DrawEdge(*Canvas, edge, EDGE_RAISED, flags);
    }
    const int width = Rect.Right - Rect.Left;
    const int height = Rect.Bottom - Rect.Top;
    const int side = std::max(1, (width + 1) / 8);
    const int shift = pushed ? 0 : 1;
    const int x = Rect.Left + width / 2 - shift - side / 2;
    const int y = Rect.Top + (height + 1) / 2 - shift - side / 2;
    TBrush* brush = Canvas->Brush();
    const TColor brushColor = brush->Color();
    const TBrushStyle brushStyle = brush->Style();
    brush->SetStyle(bsSolid);
    brush->SetColor(clBlack);
    for (int offset : {-2 * side, 0, 2 * side})
        Canvas->FillRect(Bounds(x + offset, y, side, side));
    brush->SetColor(brushColor);
    brush->SetStyle(brushStyle);
}

void dwDrawDropDownArrowButton(TCanvas* Canvas, const TRect& Rect, int State, Word Key, bool Enabled)
{
    unsigned flags = DFCS_SCROLLCOMBOBOX;
    if (!Enabled)
        flags |= DFCS_INACTIVE;
    else if (State != 0 && !KeyIsDown(Key))
        flags |= DFCS_PUSHED | DFCS_FLAT;
    DrawFrameControl(*Canvas, Rect, DFC_SCROLL, flags);
}

void dwDrawCentredGlyph(TCanvas* Canvas, const TRect& Rect, TBitmap* Glyph, bool Enabled, bool Pressed)
{
    if (!Glyph)
        return;
    const int shift = Pressed ? 1 : 0;
    DrawGlyph(*Canvas, *Glyph, 1, Enabled, Rect.Left + (Rect.Width() - Glyph->Width()) / 2 + shift,
              Rect.Top + (Rect.Height() - Glyph->Height()) / 2 + shift);
}

void dwLoadDropDownGlyph(TBitmap* Glyph)
{
    // Rows of 7, 5, 3 and 1 pixels; the bottom-left corner's white is the see-through colour.
    Glyph->SetSize(7, 4);
    TCanvas* canvas = Glyph->Canvas();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(Rect(0, 0, 7, 4));
    canvas->Brush()->SetColor(clBlack);
    for (int row = 0; row < 4; ++row)
        canvas->FillRect(Rect(row, row, 7 - row, row + 1));
}
