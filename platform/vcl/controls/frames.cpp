#include "platform/vcl/controls/frames.h"

#include <algorithm>

namespace {

// One ring of single-pixel lines on the chosen sides; R shrinks by the sides drawn.
void Ring(TCanvas& Canvas, TRect& R, TColor TopLeft, TColor BottomRight, unsigned Sides)
{
    if (R.Width() <= 0 || R.Height() <= 0)
        return;
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetColor(TopLeft);
    if (Sides & BF_LEFT) {
        Canvas.MoveTo(R.Left, R.Top);
        Canvas.LineTo(R.Left, R.Bottom);
    }
    if (Sides & BF_TOP) {
        Canvas.MoveTo(R.Left, R.Top);
        Canvas.LineTo(R.Right, R.Top);
    }
    Canvas.Pen()->SetColor(BottomRight);
    if (Sides & BF_RIGHT) {
        Canvas.MoveTo(R.Right - 1, R.Top);
        Canvas.LineTo(R.Right - 1, R.Bottom);
    }
    if (Sides & BF_BOTTOM) {
        Canvas.MoveTo(R.Left, R.Bottom - 1);
        Canvas.LineTo(R.Right, R.Bottom - 1);
    }
    if (Sides & BF_LEFT)
        ++R.Left;
    if (Sides & BF_TOP)
        ++R.Top;
    if (Sides & BF_RIGHT)
        --R.Right;
    if (Sides & BF_BOTTOM)
        --R.Bottom;
}

// A tick seven pixels wide and three thick, centred in R.
void CheckMark(TCanvas& Canvas, const TRect& R, TColor Color)
{
    const int x = R.Left + (R.Width() - 7) / 2;
    const int y = R.Top + (R.Height() - 7) / 2;
    Canvas.Pen()->SetColor(Color);
    for (int thick = 0; thick < 3; ++thick) {
        Canvas.MoveTo(x, y + 2 + thick);
        Canvas.LineTo(x + 2, y + 4 + thick);
        Canvas.LineTo(x + 7, y - 1 + thick);
    }
}

// A push button's face in R; R becomes what is left inside its frame.
void ButtonFace(TCanvas& Canvas, TRect& R, unsigned State)
{
    if (State & DFCS_FLAT) {
        Ring(Canvas, R, clBtnShadow, clBtnShadow, BF_RECT);
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(clBtnFace);
        Canvas.FillRect(R);
    } else {
        DrawEdge(Canvas, R, (State & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED,
                 BF_RECT | BF_MIDDLE | BF_ADJUST);
    }
}

// A triangle pointing down, Rows rows high and 2 * Rows - 1 pixels wide at the top, its
// top row centred on (X, Y).
void DownArrow(TCanvas& Canvas, int X, int Y, int Rows, TColor Color)
{
    Canvas.Pen()->SetStyle(psSolid);
    Canvas.Pen()->SetWidth(1);
    Canvas.Pen()->SetColor(Color);
    for (int row = 0; row < Rows; ++row) {
        const int half = Rows - 1 - row;
        Canvas.MoveTo(X - half, Y + row);
        Canvas.LineTo(X + half + 1, Y + row);
    }
}

void ComboButton(TCanvas& Canvas, const TRect& R, unsigned State)
{
    TRect face = R;
    ButtonFace(Canvas, face, State);
    const int rows = std::max(2, std::min(R.Width(), R.Height()) / 4);
    const int shift = (State & DFCS_PUSHED) ? 1 : 0;
    const int x = R.Left + R.Width() / 2 + shift;
    const int y = R.Top + (R.Height() - rows) / 2 + shift;
    if (State & DFCS_INACTIVE) {
        DownArrow(Canvas, x + 1, y + 1, rows, clBtnHighlight);
        DownArrow(Canvas, x, y, rows, clBtnShadow);
    } else {
        DownArrow(Canvas, x, y, rows, clBtnText);
    }
}

}  // namespace

void DrawEdge(TCanvas& Canvas, TRect& R, unsigned Edge, unsigned Flags)
{
    TRect inside = R;
    if (Flags & BF_MONO) {
        if (Edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER))
            Ring(Canvas, inside, clWindowFrame, clWindowFrame, Flags);
        if (Edge & (BDR_RAISEDINNER | BDR_SUNKENINNER))
            Ring(Canvas, inside, clWindow, clWindow, Flags);
    } else if (Flags & BF_FLAT) {
        Ring(Canvas, inside, clBtnShadow, clBtnShadow, Flags);
        Ring(Canvas, inside, clBtnFace, clBtnFace, Flags);
    } else {
        if (Edge & BDR_RAISEDOUTER)
            Ring(Canvas, inside, cl3DLight, cl3DDkShadow, Flags);
        else if (Edge & BDR_SUNKENOUTER)
            Ring(Canvas, inside, clBtnShadow, clBtnHighlight, Flags);
        if (Edge & BDR_RAISEDINNER)
            Ring(Canvas, inside, clBtnHighlight, clBtnShadow, Flags);
        else if (Edge & BDR_SUNKENINNER)
            Ring(Canvas, inside, cl3DDkShadow, cl3DLight, Flags);
    }
    if (Flags & BF_MIDDLE) {
        Canvas.Brush()->SetStyle(bsSolid);
        Canvas.Brush()->SetColor(clBtnFace);
        Canvas.FillRect(inside);
    }
    if (Flags & BF_ADJUST)
        R = inside;
}

void DrawFrameControl(TCanvas& Canvas, const TRect& R, unsigned Type, unsigned State)
{
    // The low four bits of a scroll control's state say which part it is.
    if (Type == DFC_SCROLL && (State & 0xF) == DFCS_SCROLLCOMBOBOX) {
        ComboButton(Canvas, R, State);
        return;
    }
    if (Type != DFC_BUTTON)
        return;
    const bool inactive = State & DFCS_INACTIVE;
    if (State & DFCS_BUTTONPUSH) {
        TRect face = R;
        ButtonFace(Canvas, face, State);
        return;
    }
    const int side = std::min(R.Width(), R.Height());
    TRect box = Bounds(R.Left + (R.Width() - side) / 2, R.Top + (R.Height() - side) / 2, side, side);
    if (State & DFCS_FLAT)
        Ring(Canvas, box, clBtnShadow, clBtnShadow, BF_RECT);
    else
        DrawEdge(Canvas, box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Brush()->SetColor((inactive || (State & DFCS_PUSHED)) ? clBtnFace : clWindow);
    Canvas.FillRect(box);
    if (State & DFCS_CHECKED)
        CheckMark(Canvas, box, inactive ? clGrayText : clWindowText);
}

void Frame3D(TCanvas& Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width)
{
    for (int i = 0; i < Width; ++i)
        Ring(Canvas, R, TopColor, BottomColor, BF_RECT);
}
