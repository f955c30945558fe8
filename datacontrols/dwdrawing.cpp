#include "datacontrols/dwdrawing.h"

#include "platform/vcl/canvas.h"
#include "platform/vcl/colors.h"

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
