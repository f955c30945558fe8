#pragma once
// The drawing tools: font, pen and brush. Each tells its OnChange when it changes.

#include "platform/classes/events.h"
#include "platform/classes/persistent.h"
#include "platform/classes/sets.h"
#include "platform/vcl/graphics/colors.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = SetOf<TFontStyle>;

// The resolution font sizes in points are measured against.
constexpr int ScreenPixelsPerInch = 96;

class TGraphicsObject : public TPersistent {
public:
    String ClassName() const override { return "TGraphicsObject"; }
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

class TFont : public TGraphicsObject {
public:
    String ClassName() const override { return "TFont"; }
    void Assign(TPersistent* Source) override;

    const String& Name() const { return FName; }
    void SetName(const String& Value);
    // Points; setting it sets Height (negative: the character height in pixels).
    int Size() const;
    void SetSize(int Value);
    // Pixels at PixelsPerInch; negative for the character height, as the class library has it.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

private:
    String FName = "MS Sans Serif";
    int FHeight = -11;  // 8 points at 96 pixels per inch
    int FPixelsPerInch = ScreenPixelsPerInch;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode { pmCopy, pmNot, pmXor, pmNotXor, pmMerge, pmMask };

class TPen : public TGraphicsObject {
public:
    String ClassName() const override { return "TPen"; }
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
    String ClassName() const override { return "TBrush"; }
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    // Setting a colour makes a clear brush solid; clNone makes it clear.
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};
