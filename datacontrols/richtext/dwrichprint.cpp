#include "datacontrols/richtext/dwrichprint.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "datacontrols/richtext/dwriched.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/graphics/graphics.h"
#include "platform/vcl/printing/printers.h"

void TdwPrintMargins::Assign(TPersistent* Source)
{
    if (const auto* margins = dynamic_cast<TdwPrintMargins*>(Source)) {
        Top = margins->Top;
        Bottom = margins->Bottom;
        Left = margins->Left;
        Right = margins->Right;
        return;
    }
    TPersistent::Assign(Source);
}

TdwPrinterPage dwCurrentPrinterPage()
{
    const TPrinter& printer = *Printer();
    const int dpi = printer.Resolution();
    const auto twips = [dpi](int Pixels) { return static_cast<int>(Int64(Pixels) * 1440 / dpi); };
    return {twips(printer.PhysicalPageWidth()), twips(printer.PhysicalPageHeight()),
            twips(printer.PrintingOffsetX()), twips(printer.PrintingOffsetY())};
}

TRect dwPageRectFromMargins(const TdwPrinterPage& Page, int Left, int Top, int Right, int Bottom)
{
    const auto across = [&Page](int Twips) { return std::clamp(Twips, 0, Page.Width); };
    const auto down = [&Page](int Twips) { return std::clamp(Twips, 0, Page.Height); };
    return {across(Left - Page.OffsetX), down(Top - Page.OffsetY), across(Page.Width - Right - Page.OffsetX),
            down(Page.Height - Bottom - Page.OffsetY)};
}

bool TdwPageSetupDialog::Execute()
{
    TdwPrintMargins& margins = *RichEdit->PrintMargins();
    const bool printerWidth = RichEdit->EditWidth() == rewPrinterSize;
    // A margin of 1 (inch or centimetre) shows as 1000 thousandths of an inch or
    // hundredths of a millimetre.
    const auto shown = [](double Margin) { return static_cast<int>(std::lround(Margin * 1000)); };
    TPageSetupRequest request;
    request.Units =
            RichEdit->MeasurementUnits() == muCentimeters ? psHundredthsOfMillimeters : psThousandthsOfInches;
    request.Left = shown(margins.Left);
    request.Top = shown(margins.Top);
    request.Right = shown(margins.Right);
    request.Bottom = shown(margins.Bottom);
    request.PaperSize = printerWidth ? RichEdit->PaperSize() : Printer()->PaperSize();
    request.PaperEnabled = printerWidth;
    request.Landscape = Printer()->Orientation() == poLandscape;
    if (!DialogService().PageSetupDialog(request))
        return false;
    margins.Left = request.Left / 1000.0;
    margins.Top = request.Top / 1000.0;
    margins.Right = request.Right / 1000.0;
    margins.Bottom = request.Bottom / 1000.0;
    Printer()->SetOrientation(request.Landscape ? poLandscape : poPortrait);
    RichEdit->SetPaperSize(request.PaperSize);
    RichEdit->PutPaperSizeInPrinter();
    return true;
}

// ---- the rich edit's printing

void TdwCustomRichEdit::SetPaperSize(int Code)
{
    const std::vector<int> known = PrinterPaperCodes();
    if (std::find(known.begin(), known.end(), Code) == known.end())
        throw EPrinter("Paper size " + std::to_string(Code) + " is not supported");
    FPaperSize = Code;
    if (FEditWidth == rewPrinterSize) {
        PutPaperSizeInPrinter();
        ResetFormatRect();
    }
}

void TdwCustomRichEdit::PutPaperSizeInPrinter() { Printer()->SetPaperSize(FPaperSize); }

void TdwCustomRichEdit::SetEditWidth(TdwRichEditWidth Value)
{
    FEditWidth = Value;
    if (Value == rewPrinterSize)
        PutPaperSizeInPrinter();
    ResetFormatRect();
}

void TdwCustomRichEdit::ResetFormatRect()
{
    if (FEditWidth == rewWindowSize) {
        SetLayoutWidth(0);
        return;
    }
    SetLayoutWidth(
            static_cast<int>(std::lround(std::max(1.0, PrintableWidthInches() * ScreenPixelsPerInch))));
}

double TdwCustomRichEdit::PrintableWidthInches() const
{
    const TPrinter& printer = *Printer();
    const double margins =
            UnitsToTwips(FPrintMargins->Left + FPrintMargins->Right, MeasurementUnits()) / 1440.0;
    return double(printer.PhysicalPageWidth()) / printer.Resolution() - margins;
}

void TdwCustomRichEdit::Print(const String& Caption)
{
    if (FEditWidth == rewPrinterSize)
        PutPaperSizeInPrinter();
    if (PageRect().Width() > 0 && PageRect().Height() > 0) {
        TCustomRichEdit::Print(Caption);
        return;
    }
    const TdwMeasurementUnits units = MeasurementUnits();
    const TRect text = dwPageRectFromMargins(dwCurrentPrinterPage(), UnitsToTwips(FPrintMargins->Left, units),
                                             UnitsToTwips(FPrintMargins->Top, units),
                                             UnitsToTwips(FPrintMargins->Right, units),
                                             UnitsToTwips(FPrintMargins->Bottom, units));
    PrintJob(Caption, text);
}
