#include "datacontrols/richtext/dwtrackicon.h"

#include "platform/rtl/strutils.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"

namespace {

// The ground colour, which the bottom-left pixel keeps, so that it is the transparent one.
constexpr TColor Ground = clFuchsia;

// The ruler's marker pictures, 9 by 8: a house standing on the band ("dwRulerUp") or
// hanging from it ("dwRulerDown"). False for another name.
bool DrawRulerBitmap(const String& Name, TBitmap* Bitmap)
{
    const bool up = SameText(Name, "dwRulerUp");
    if (!up && !SameText(Name, "dwRulerDown"))
        return false;
    Bitmap->SetSize(9, 8);
    TCanvas* canvas = Bitmap->Canvas();
    canvas->Brush()->SetColor(Ground);
    canvas->FillRect(Rect(0, 0, 9, 8));
    canvas->Brush()->SetColor(clBtnFace);
    canvas->Pen()->SetColor(clBlack);
    if (up)
        canvas->Polygon({Point(4, 0), Point(8, 4), Point(8, 6), Point(0, 6), Point(0, 4)});
    else
        canvas->Polygon({Point(0, 0), Point(8, 0), Point(8, 2), Point(4, 6), Point(0, 2)});
    Bitmap->SetTransparent(true);
    return true;
}

}  // namespace

TdwTrackIcon::TdwTrackIcon(TComponent* AOwner) : TGraphicControl(AOwner), FBitmap(std::make_unique<TBitmap>())
{
}

TdwTrackIcon::~TdwTrackIcon() = default;

bool TdwTrackIcon::InheritsFrom(const String& name) const
{
    return SameText(name, "TdwTrackIcon") || TGraphicControl::InheritsFrom(name);
}

void TdwTrackIcon::SetBitmapName(const String& Value)
{
    if (Value == FBitmapName)
        return;
    FBitmapName = Value;
    if (!DrawRulerBitmap(Value, FBitmap.get()))
        FBitmap = std::make_unique<TBitmap>();
    SetBounds(Left(), Top(), FBitmap->Width(), FBitmap->Height());
    Invalidate();
}

void TdwTrackIcon::Paint()
{
    if (!FBitmap->Empty())
        Canvas()->Draw(0, 0, FBitmap.get());
}

void TdwTrackIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft)
        return;
    FPressed = true;
    FMoved = false;
    FPressX = X;
    SetMouseCapture(true);
}

void TdwTrackIcon::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!FPressed || X == FPressX)
        return;
    FMoved = true;
    // X is the control's own: as it moves along, the press point moves with it.
    int left = Left() + X - FPressX;
    if (FMinValue != 0 && left < FMinValue)
        left = FMinValue;
    if (FMaxValue != 0 && left > FMaxValue)
        left = FMaxValue;
    SetLeft(left);
}

void TdwTrackIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!FPressed || Button != mbLeft)
        return;
    FPressed = false;
    SetMouseCapture(false);
    if (FMoved && OnEndDrag)
        OnEndDrag(this);
}
