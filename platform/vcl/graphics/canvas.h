#pragma once
// A surface to draw on with a font, a pen and a brush: a bitmap, a control
// while it paints, a metafile being recorded or the printer's page.

#include <memory>
#include <vector>

#include "platform/classes/persistent.h"
#include "platform/vcl/graphics/geometry.h"
#include "platform/vcl/graphics/graphics.h"

class QPainter;
class QImage;
class TGraphic;

// DrawText formats.
constexpr unsigned DT_LEFT = 0x0;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_RIGHT = 0x2;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_BOTTOM = 0x8;
constexpr unsigned DT_WORDBREAK = 0x10;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_EXPANDTABS = 0x40;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_CALCRECT = 0x400;
constexpr unsigned DT_NOPREFIX = 0x800;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;

    String ClassName() const override { return "TCanvas"; }

    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

    TPoint PenPos() const { return FPenPos; }
    void SetPenPos(TPoint Value) { FPenPos = Value; }
    void MoveTo(int X, int Y) { FPenPos = Point(X, Y); }
    // A line from the pen position to (X, Y), the end point excluded.
    void LineTo(int X, int Y);
    // Outlined with the pen and filled with the brush; right and bottom edges excluded.
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    void FillRect(const TRect& R);
    // A one-pixel frame in the brush colour.
    void FrameRect(const TRect& R);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Polygon(const std::vector<TPoint>& Points);
    void Polyline(const std::vector<TPoint>& Points);
    void DrawFocusRect(const TRect& R);

    // Text with its top-left corner at (X, Y), on the brush colour unless the brush is
    // clear; the pen position moves to the end of the text.
    void TextOut(int X, int Y, const String& Text);
    // TextOut clipped to R, with R filled by the brush first.
    void TextRect(const TRect& R, int X, int Y, const String& Text);
    int TextWidth(const String& Text);
    int TextHeight(const String& Text);
    // The height of the font above its baseline, in pixels.
    int TextAscent();
    TSize TextExtent(const String& Text);
    // Text laid out in R by the DT_ format; returns the text's height. With DT_CALCRECT
    // nothing is drawn and R's right and bottom edges are set to fit the text.
    int DrawText(const String& Text, TRect& R, unsigned Format);

    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& R, TGraphic* Graphic);
    // Copies Source's pixels in SourceRect onto DestRect, stretched to fit.
    void CopyRect(const TRect& DestRect, TCanvas* Source, const TRect& SourceRect);

    // The colour at a pixel; -1 on a surface that keeps no pixels or outside it.
    TColor Pixels(int X, int Y);
    void SetPixel(int X, int Y, TColor Color);

    // Drawing is limited to R until ResetClip.
    void SetClipRect(const TRect& R);
    void ResetClip();
    TRect ClipRect();

    // The resolution the font's points are drawn at.
    int PixelsPerInch() const { return FDpi; }

    // The painter that draws on the surface; null when there is nothing to draw on.
    QPainter* Painter();
    bool HandleAllocated() const { return FPainter != nullptr; }

protected:
    // Starts painting on the surface when it is first needed.
    virtual void CreateHandle() { }
    // The pixels of a surface that keeps them; null otherwise.
    virtual QImage* Image() { return nullptr; }
    // The size of the surface, for ClipRect.
    virtual TSize SurfaceSize() { return TSize {}; }
    // Draws through Painter (not owned) at Dpi until DetachPainter.
    void AttachPainter(QPainter* Painter, int Dpi);
    void DetachPainter();
    void SetDpi(int Dpi) { FDpi = Dpi; }

private:
    void ApplyFont();
    void ApplyPen();
    void ApplyBrush();
    void FillTextBackground(int X, int Y, int Width, int Height);

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TPoint FPenPos;
    QPainter* FPainter = nullptr;
    int FDpi = ScreenPixelsPerInch;
};
