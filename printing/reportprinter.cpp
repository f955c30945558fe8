#include "printing/reportprinter.h"

#include <cmath>
#include <exception>
#include <iterator>

#include "app/mainform.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/colors.h"
#include "platform/vcl/printing/printers.h"

namespace {

struct TReportFont {
    const char* Face;
    int Size;
    bool Bold;
};

// Font codes 1 to 10.
const TReportFont ReportFonts[] = {
        {"Arial", 8, false},        {"Arial", 8, true},        {"Arial", 10, false},
        {"Arial", 10, true},        {"Arial", 12, false},      {"Arial", 12, true},
        {"Courier New", 12, false}, {"Courier New", 12, true}, {"MICR", 12, true},
        {"Line Printer", 8, true},
};

// The page frame, in thousandths of an inch.
constexpr int FrameLeft = 250;
constexpr int FrameTop = 250;
constexpr int TitleBandHeight = 500;
constexpr int FooterBandHeight = 170;
// A section header spans the portrait width on either orientation.
constexpr int SectionLeft = 250;
constexpr int SectionRight = 7750;
constexpr int SectionHeight = 200;

constexpr TColor ShadeColour = 0xC0C0C0;

}  // namespace

String ReportPageFile(int PageNumber)
{
    return FMain->ProgramDir + "PRV" + FormatFloat("0000", PageNumber) + ".BMP";
}

ReportPrinter::ReportPrinter() : FPrinter(Printer()), FUncaughtAtStart(std::uncaught_exceptions()) { }

ReportPrinter::ReportPrinter(TCanvas* Canvas)
    : FPrinter(nullptr), FFixedCanvas(Canvas), FUncaughtAtStart(std::uncaught_exceptions())
{
}

ReportPrinter::~ReportPrinter()
{
    if (!FPrinter || !FPrinter->Printing())
        return;
    if (std::uncaught_exceptions() > FUncaughtAtStart)
        FPrinter->Abort();
    else
        FPrinter->EndDoc();
}

bool ReportPrinter::PreviewMode() const { return FMain->Preview; }

void ReportPrinter::SetLandscape(bool Landscape)
{
    FLandscape = Landscape;
    if (FPrinter && !PreviewMode())
        FPrinter->SetOrientation(Landscape ? poLandscape : poPortrait);
}

void ReportPrinter::StartPage()
{
    ++FPageNumber;
    if (FFixedCanvas) {
        FCanvas = FFixedCanvas;
    } else if (PreviewMode()) {
        FPageImage = std::make_unique<TBitmap>();
        TCanvas* canvas = FPageImage->Canvas();
        // A display's two resolutions are the same; the page is a Letter sheet.
        const int dpi = canvas->PixelsPerInch();
        if (FLandscape)
            FPageImage->SetSize(11 * dpi, static_cast<int>(8.5 * dpi));
        else
            FPageImage->SetSize(static_cast<int>(8.5 * dpi), 11 * dpi);
        FCanvas = canvas;
    } else {
        if (FPrinter->Printing())
            FPrinter->NewPage();
        else
            FPrinter->BeginDoc();
        FCanvas = FPrinter->Canvas();
    }
    TFont* font = FCanvas->Font();
    font->SetName("Arial");
    font->SetSize(8);
    font->SetColor(clBlack);
    FResolutionX = FCanvas->PixelsPerInch();
    FResolutionY = FCanvas->PixelsPerInch();
    FScaleX = FResolutionX * 0.001;
    FScaleY = FResolutionY * 0.001;
    SetPen(3);
    FCanvas->Pen()->SetMode(pmCopy);
    FCanvas->Pen()->SetColor(clBlack);
    FCanvas->Brush()->SetStyle(bsClear);
}

void ReportPrinter::EndPage()
{
    if (!FPageImage)
        return;
    FPageImage->SaveToFile(ReportPageFile(FPageNumber));
    FPageImage.reset();
    FCanvas = nullptr;
}

void ReportPrinter::SetFont(int Code)
{
    FFontCode = Code;
    if (!FCanvas || Code < 1 || Code > static_cast<int>(std::size(ReportFonts)))
        return;
    const TReportFont& chosen = ReportFonts[Code - 1];
    TFont* font = FCanvas->Font();
    font->SetName(chosen.Face);
    font->SetSize(chosen.Size);
    TFontStyles style = font->Style();
    style.Exclude(fsItalic);
    style.Exclude(fsUnderline);
    if (chosen.Bold)
        style.Include(fsBold);
    else
        style.Exclude(fsBold);
    font->SetStyle(style);
}

void ReportPrinter::SetPen(int Code)
{
    FPenWidth = Code * FResolutionY / 250;
    if (!FCanvas)
        return;
    TPen* pen = FCanvas->Pen();
    pen->SetStyle(psSolid);
    pen->SetWidth(FPenWidth);
}

int ReportPrinter::X(int Column) const { return static_cast<int>(std::trunc(Column * FScaleX)); }

int ReportPrinter::Y(int Row) const { return static_cast<int>(std::trunc(Row * FScaleY)); }

void ReportPrinter::PrintText(int Row, int Column, const String& Text)
{
    FCanvas->Brush()->SetStyle(bsClear);
    FCanvas->TextOut(X(Column), Y(Row), Text);
}

void ReportPrinter::PrintAlignedText(int Row, int Column, const String& Text, int Alignment)
{
    const double width = FCanvas->TextWidth(Text) / FScaleX;
    if (Alignment == AlignCentre)
        Column = static_cast<int>(std::trunc(Column - width * 0.5));
    else if (Alignment == AlignRight)
        Column = static_cast<int>(std::trunc(Column - width));
    PrintText(Row, Column, Text);
}

void ReportPrinter::PrintAmount(int Row, int Column, double Value, const String& Mask)
{
    PrintAlignedText(Row, Column, TrimLeft(FormatFloat(Mask, Value)), AlignRight);
}

void ReportPrinter::DrawFrame(int Row1, int Column1, int Row2, int Column2, int PenCode)
{
    SetPen(PenCode);
    FCanvas->Brush()->SetStyle(bsClear);
    FCanvas->Rectangle(X(Column1), Y(Row1), X(Column2), Y(Row2));
}

void ReportPrinter::DrawShadedBox(int Row1, int Column1, int Row2, int Column2, int PenCode)
{
    SetPen(PenCode);
    TBrush* brush = FCanvas->Brush();
    const TColor colour = brush->Color();
    brush->SetColor(ShadeColour);
    brush->SetStyle(bsSolid);
    FCanvas->FillRect(Rect(X(Column1), Y(Row1), X(Column2), Y(Row2)));
    brush->SetColor(colour);
    brush->SetStyle(bsClear);
}

void ReportPrinter::DrawVerticalLine(int Column, int Row1, int Row2, int PenCode)
{
    SetPen(PenCode);
    const int half = FPenWidth / 2;
    const int x = X(Column);
    FCanvas->MoveTo(x, static_cast<int>(std::trunc(Row1 * FScaleY - half)));
    FCanvas->LineTo(x, static_cast<int>(std::trunc(Row2 * FScaleY + half)));
}

void ReportPrinter::DrawHorizontalLine(int Row, int Column1, int Column2, int PenCode)
{
    SetPen(PenCode);
    FCanvas->MoveTo(X(Column1), Y(Row));
    FCanvas->LineTo(X(Column2), Y(Row));
}

void ReportPrinter::DrawPageFrame(const String& Title, const String& FooterLeft, const String& FooterCentre,
                                  const String& FooterRight)
{
    const int right = FLandscape ? 10250 : 7750;
    const int bottom = FLandscape ? 7900 : 10400;
    const int middle = FrameLeft + (right - FrameLeft) / 2;

    DrawVerticalLine(FrameLeft, FrameTop, bottom, 7);
    DrawVerticalLine(right, FrameTop, bottom, 7);
    for (const int row : {FrameTop, FrameTop + TitleBandHeight, bottom})
        DrawHorizontalLine(row, FrameLeft, right, 7);

    const int fontCode = FFontCode;
    SetFont(6);
    PrintAlignedText(FrameTop + 150, middle, Title, AlignCentre);

    const int footerTop = bottom - FooterBandHeight;
    if (!FLandscape)
        DrawShadedBox(footerTop, FrameLeft, bottom, right, 1);
    DrawFrame(footerTop, FrameLeft, bottom, right, 2);
    SetFont(2);
    PrintText(footerTop, FrameLeft + 100, FooterLeft);
    PrintAlignedText(footerTop, middle, FooterCentre, AlignCentre);
    PrintAlignedText(footerTop, right - 50, FooterRight, AlignRight);
    SetFont(fontCode);
}

void ReportPrinter::DrawSectionHeader(int& Row, const String& Caption, int PageNumber)
{
    DrawShadedBox(Row, SectionLeft, Row + SectionHeight, SectionRight, 1);
    DrawFrame(Row, SectionLeft, Row + SectionHeight, SectionRight, 2);
    const int fontCode = FFontCode;
    SetFont(2);
    PrintAlignedText(Row, 4000, Caption, AlignCentre);
    PrintText(Row, 750, "Report Date: " + TodayText());
    PrintText(Row, 6775, "Page - " + IntToStr(PageNumber));
    Row += SectionHeight;
    SetFont(fontCode);
}
