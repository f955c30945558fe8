#include "platform/vcl/graphics/graphics.h"

#include <cmath>

void TGraphicsObject::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TFont::Assign(TPersistent* Source)
{
    if (auto* font = dynamic_cast<TFont*>(Source)) {
        FName = font->FName;
        // The size in points carries over; the pixels follow this font's resolution.
        FHeight = -static_cast<int>(std::lround(font->Size() * static_cast<double>(FPixelsPerInch) / 72.0));
        FStyle = font->FStyle;
        FColor = font->FColor;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetName(const String& Value)
{
    if (Value.empty() || Value == FName)
        return;
    FName = Value;
    Changed();
}

int TFont::Size() const { return -static_cast<int>(std::lround(FHeight * 72.0 / FPixelsPerInch)); }

void TFont::SetSize(int Value)
{
    SetHeight(-static_cast<int>(std::lround(Value * static_cast<double>(FPixelsPerInch) / 72.0)));
}

void TFont::SetHeight(int Value)
{
    if (Value == FHeight)
        return;
    FHeight = Value;
    Changed();
}

void TFont::SetStyle(TFontStyles Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TPen::Assign(TPersistent* Source)
{
    if (auto* pen = dynamic_cast<TPen*>(Source)) {
        FColor = pen->FColor;
        FWidth = pen->FWidth;
        FStyle = pen->FStyle;
        FMode = pen->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TPen::SetWidth(int Value)
{
    if (Value < 0 || Value == FWidth)
        return;
    FWidth = Value;
    Changed();
}

void TPen::SetStyle(TPenStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}

void TPen::SetMode(TPenMode Value)
{
    if (Value == FMode)
        return;
    FMode = Value;
    Changed();
}

void TBrush::Assign(TPersistent* Source)
{
    if (auto* brush = dynamic_cast<TBrush*>(Source)) {
        FColor = brush->FColor;
        FStyle = brush->FStyle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value)
{
    if (Value == FColor && !(FStyle == bsClear && Value != clNone))
        return;
    FColor = Value;
    if (Value == clNone) {
        FStyle = bsClear;
    } else if (FStyle == bsClear) {
        FStyle = bsSolid;
    }
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    Changed();
}
