#include "printing/formprinter.h"

#include <cmath>

#include "app/mainform.h"
#include "app/smalldialogs.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/colors.h"
#include "platform/vcl/printing/printers.h"
#include "platform/win/rawprinter.h"

namespace {

TFormImagePainter FormImagePainter;

const String Reset = "\x1b"
                     "E";
// Windows Latin 1, the code page of the program's texts.
const String Latin1SymbolSet = "\x1b(19U";
// The tail of an overlay: cursor to the top-left cell, left margin 0.
const String OverlayTail = "\x1b&alrC";

// A PCL position value: never signed, as a sign would make the move relative.
String PositionText(int Value) { return IntToStr(std::max(Value, 0)); }
String PositionText(double Value) { return Value > 0 ? FloatToStr(Value) : String("0"); }

// Control bytes of data would be commands to the printer: they print as blanks.
String PrintableText(String Text)
{
    for (char& c : Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = ' ';
    }
    return Text;
}

// An amount as its box shows it, from whole cents; zero cents give "".
String AmountText(double Value, const String& Mask)
{
    const long long cents = std::llround(Value * 100);
    return cents == 0 ? String() : TrimLeft(FormatFloat(Mask, static_cast<double>(cents) / 100));
}

bool HasHighBytes(const String& Text)
{
    for (char c : Text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// Blanks before the final cursor-home tail of an overlay are dropped for a PDF run.
String TrimmedOverlay(const String& Overlay)
{
    if (Overlay.size() < OverlayTail.size() ||
        Overlay.compare(Overlay.size() - OverlayTail.size(), String::npos, OverlayTail) != 0)
        return Overlay;
    size_t end = Overlay.size() - OverlayTail.size();
    while (end > 0 && Overlay[end - 1] == ' ')
        --end;
    return Overlay.substr(0, end) + OverlayTail;
}

// The whole file, or nothing when there is no such file in the program directory.
bool ReadProgramFile(const String& Name, String& Bytes)
{
    const String path = FMain->ProgramDir + Name;
    if (!FileExists(path))
        return false;
    TFileStream stream(ResolvePath(path), fmOpenRead | fmShareDenyWrite);
    Bytes.assign(static_cast<size_t>(stream.Size()), '\0');
    if (!Bytes.empty())
        stream.ReadBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
    return true;
}

// The name of the run's current page file, any old file of that number removed.
String NewPageFile(const String& Prefix, const String& Extension)
{
    const String path = FMain->ProgramDir + Prefix + FormatFloat("00000", FMain->PageFileNumber) + Extension;
    if (FileExists(path))
        DeleteFile(ResolvePath(path));
    return path;
}

// Sends a raw document and tells the user when it did not reach the printer.
bool PrintDocument(const String& DocName, const std::vector<String>& Parts)
{
    const TRawPrintResult result = PrintRawDocument(SpoolerPrinterName(), DocName, Parts);
    if (!result.Opened)
        ShowMessage("Failed to open specified printer.");
    else if (!result.Printed())
        ShowMessage("The printer did not accept \"" + DocName + "\": " + result.Error);
    return result.Printed();
}

}  // namespace

void SetFormImagePainter(TFormImagePainter Painter) { FormImagePainter = std::move(Painter); }

namespace {

// The desktop printer's current printer becomes the chosen one; without one the
// choice stays as it was.
void ChooseCurrentPrinter()
{
    TPrinter* printer = Printer();
    const std::vector<String> names = printer->Printers();
    const int index = printer->PrinterIndex();
    if (index >= 0 && index < static_cast<int>(names.size()))
        FMain->PrinterName = names[static_cast<size_t>(index)];
}

}  // namespace

void UsePrintDialogChoice(const TPrintDialog& Dialog)
{
    FMain->Copies = Dialog.Copies;
    ChooseCurrentPrinter();
}

String SpoolerPrinterName()
{
    if (FMain->PrinterName.empty())
        ChooseCurrentPrinter();
    const size_t on = FMain->PrinterName.find(" on ");
    return FMain->PrinterName.substr(0, on);
}

FormPrinter::FormPrinter() : FCanvasMode(FMain->User->NoLaserPrint) { }

// A printed canvas run's sheets go to the printer with its document's end.
FormPrinter::~FormPrinter()
{
    if (FPagePrinter && FPagePrinter->Printing())
        FPagePrinter->EndDoc();
}

void FormPrinter::StartPage()
{
    if (FCanvasMode) {
        StartCanvasPage();
        return;
    }
    FPageText.clear();
    if (FMain->Copies > 1)
        FPageText += "\x1b&l" + IntToStr(FMain->Copies) + "X";
}

// Pages of a preview or PDF run are bitmaps of a Letter sheet at the screen's
// resolution; printed pages are sheets of one printer document.
void FormPrinter::StartCanvasPage()
{
    if (!FPagePrinter)
        FPagePrinter = Printer();
    if (FMain->Preview || FMain->MakePdf) {
        FPageBitmap = std::make_unique<TBitmap>();
        const int dpi = FPageBitmap->Canvas()->PixelsPerInch();
        FPageBitmap->SetSize(static_cast<int>(dpi * 8.5), dpi * 11);
        FPageCanvas = FPageBitmap->Canvas();
        FOriginX = 48;
        FOriginY = -2;
    } else {
        if (FPagePrinter->Printing())
            FPagePrinter->NewPage();
        else
            FPagePrinter->BeginDoc();
        FPageCanvas = FPagePrinter->Canvas();
        FOriginX = PrinterPixels(48);
        FOriginY = PrinterPixels(-90);
    }
    TFont* font = FPageCanvas->Font();
    font->SetName("Courier New");
    font->SetSize(12);
    font->SetStyle(TFontStyles());
    font->SetColor(clBlack);
    FPageCanvas->Brush()->SetStyle(bsClear);
    FScale = FPageCanvas->PixelsPerInch() * 0.001;
}

int FormPrinter::PrinterPixels(int Pixels) const
{
    return static_cast<int>(std::lround(Pixels * FPageCanvas->PixelsPerInch() / 600.0));
}

void FormPrinter::DrawCanvasText(float Column, float Row, const String& Text, int Alignment)
{
    if (!FPageCanvas || (Alignment != 1 && Alignment != 3))
        return;
    FPageCanvas->Brush()->SetStyle(bsClear);
    // Thousandths of an inch; a row is 165.5 of them.
    const float x = static_cast<float>(double(Column) * 100);
    const float y = static_cast<float>(double(Row) * 165.5);
    const String text = PrintableText(Text);
    int px = static_cast<int>(std::trunc(x * FScale + FOriginX));
    const int py = static_cast<int>(std::trunc(y * FScale + FOriginY));
    if (Alignment == 3)
        px -= FPageCanvas->TextWidth(text);
    FPageCanvas->TextOut(px, py, text);
}

void FormPrinter::Place(const String& RowText, const String& ColumnText, const String& Text)
{
    FPageText += "\x1b&a" + RowText + "r" + ColumnText + "C" + PrintableText(Text);
}

void FormPrinter::PrintText(int Row, int Column, const String& Text)
{
    if (FCanvasMode)
        DrawCanvasText(Column, Row, Text, 1);
    else
        Place(PositionText(Row), PositionText(Column), Text);
}

void FormPrinter::PrintTextChoice(int Row, int Column, const String& Text, const String&)
{
    PrintText(Row, Column, Text);
}

void FormPrinter::PrintAmount(int Row, int Column, double Value, const String&, const String& Mask)
{
    const String text = AmountText(Value, Mask);
    if (text.empty())
        return;
    // The last character falls in the column; a canvas ends the text at the cell's left edge.
    if (FCanvasMode)
        DrawCanvasText(Column, Row, text, 3);
    else
        Place(PositionText(Row), PositionText(Column - static_cast<int>(text.size()) + 1), text);
}

void FormPrinter::PrintCheck(int Row, int Column, bool Checked, const String&)
{
    if (Checked)
        PrintText(Row, Column, "X");
}

void FormPrinter::PrintTextF(float Row, float Column, const String& Text)
{
    if (FCanvasMode)
        DrawCanvasText(Column, Row, Text, 1);
    else
        Place(PositionText(double(Row)), PositionText(double(Column)), Text);
}

void FormPrinter::PrintTextChoiceF(float Row, float Column, const String& Text, const String&)
{
    PrintTextF(Row, Column, Text);
}

void FormPrinter::PrintAmountF(float Row, float Column, double Value, const String&, const String& Mask)
{
    const String text = AmountText(Value, Mask);
    if (text.empty())
        return;
    if (FCanvasMode)
        DrawCanvasText(Column, Row, text, 3);
    else
        Place(PositionText(double(Row)), PositionText(double(Column) - static_cast<double>(text.size()) + 1),
              text);
}

void FormPrinter::PrintCheckF(float Row, float Column, bool Checked, const String&)
{
    if (Checked)
        PrintTextF(Row, Column, "X");
}

void FormPrinter::SelectFont(int FontNumber)
{
    static const char* const fonts[] = {
            "\x1b(8U\x1b(sp10h12vsb3T", "\x1b(U\x1b(s1p6vs0b4T",          "\x1b(U\x1b(s1p8vs0b4T",
            "\x1b(U\x1b(s1p8vs1b4T",    "\x1b(U\x1b(s1p10vs1b4T",         "\x1b(U\x1b(s1p12vs1b4T",
            "\x1b(U\x1b(s1p14vs1b4T",   "\x1b(U\x1b(s0p0s0b0t16.67h8.5V",
    };
    if (FontNumber >= 1 && FontNumber <= 8)
        FPageText += fonts[FontNumber - 1];
}

void FormPrinter::LoadOverlay(const String& Name)
{
    String bytes;
    if (!ReadProgramFile(UpperCase(Name), bytes))
        return;
    if (!FCanvasMode) {
        FOverlayData = std::move(bytes);
        return;
    }
    if (!FPageCanvas || !FormImagePainter)
        return;
    // The form image is the Letter sheet at true size, laid so that its print grid
    // falls on the grid the canvas text is placed on: column 0, a quarter inch
    // inside the paper's edge, at the text's origin, and the paper's top at the
    // origin of row 0.
    const int dpi = FPageCanvas->PixelsPerInch();
    const int left = FOriginX - dpi / 4;
    FormImagePainter(bytes, *FPageCanvas, Rect(left, FOriginY, left + dpi * 17 / 2, FOriginY + dpi * 11));
}

std::vector<String> FormPrinter::PageJob(bool TrimOverlay) const
{
    std::vector<String> parts = {HasHighBytes(FPageText) ? Reset + Latin1SymbolSet : Reset};
    if (!FOverlayData.empty())
        parts.push_back(TrimOverlay ? TrimmedOverlay(FOverlayData) : FOverlayData);
    parts.push_back(FPageText + Reset);
    return parts;
}

void FormPrinter::WritePageFile()
{
    const String path = NewPageFile("PRN", ".PRN");
    TFileStream file(path, fmCreate);
    for (const String& part : PageJob(FMain->MakePdf))
        file.WriteBuffer(part.data(), static_cast<Int64>(part.size()));
}

void FormPrinter::SavePageBitmap()
{
    FPageBitmap->SaveToFile(NewPageFile("bmp", ".bmp"));
    FPageCanvas = nullptr;
    FPageBitmap.reset();
}

bool FormPrinter::SendPage(const String& DocName) { return PrintDocument(DocName, PageJob(false)); }

bool FormPrinter::EndPage(const String& DocName)
{
    FMain->BitmapPages = FCanvasMode;
    ++FMain->PageFileNumber;
    // The page is over whether or not it got out.
    struct TPageEnd {
        FormPrinter& Engine;
        ~TPageEnd()
        {
            Engine.FPageText.clear();
            Engine.FOverlayData.clear();
        }
    } pageEnd {*this};
    if (FCanvasMode) {
        if (FPageBitmap)
            SavePageBitmap();
        return true;
    }
    if (!FMain->Preview && !FMain->MakePdf)
        return SendPage(DocName);
    WritePageFile();
    return true;
}

bool FormPrinter::DownloadSoftFonts()
{
    std::vector<String> fonts(2);
    for (size_t i = 0; i < fonts.size(); ++i) {
        const String name = "FONT" + IntToStr(static_cast<int>(i) + 1) + ".PRN";
        if (!ReadProgramFile(name, fonts[i])) {
            ShowMessage("The soft font file " + name + " is missing from " + FMain->ProgramDir + ".");
            return false;
        }
    }
    TFCreateStatus* status = Construct<TFCreateStatus>(Application);
    status->Show();
    status->Label1->SetCaption("Downloading Soft Fonts to Printer...");
    status->ProgressBar1->SetMax(12);
    status->ProgressBar1->SetPosition(2);
    Application->ProcessMessages();
    const bool sent = PrintDocument("Korvane Soft Fonts", fonts);
    status->Free();
    return sent;
}
