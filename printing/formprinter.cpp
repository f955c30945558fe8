#include "printing/formprinter.h"

#include <cmath>

#include "app/mainform.h"
#include "app/smalldialogs.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/printers.h"
#include "platform/win/rawprinter.h"

namespace {

const String Reset = "\x1b" "E";
// Windows Latin 1, the code page of the program's texts.
const String Latin1SymbolSet = "\x1b(19U";
// The tail of an overlay: cursor to the top-left cell, left margin 0.
const String OverlayTail = "\x1b&alrC";

// A PCL position value: never signed, as a sign would make the move relative.
String PositionText(int Value) { return IntToStr(std::max(Value, 0)); }
String PositionText(double Value) { return Value > 0 ? FloatToStr(Value) : String("0"); }

// Control bytes of data would be commands to the printer: they print as blanks.
String PrintableText(String Text) {
    for (char& c : Text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = ' ';
    }
    return Text;
}

// An amount as its box shows it, from whole cents; zero cents give "".
String AmountText(double Value, const String& Mask) {
    const long long cents = std::llround(Value * 100);
    return cents == 0 ? String() : TrimLeft(FormatFloat(Mask, static_cast<double>(cents) / 100));
}

bool HasHighBytes(const String& Text) {
    for (char c : Text)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// Blanks before the final cursor-home tail of an overlay are dropped for a PDF run.
String TrimmedOverlay(const String& Overlay) {
    if (Overlay.size() < OverlayTail.size() || Overlay.compare(Overlay.size() - OverlayTail.size(), String::npos, OverlayTail) != 0)
        return Overlay;
    size_t end = Overlay.size() - OverlayTail.size();
    while (end > 0 && Overlay[end - 1] == ' ') --end;
    return Overlay.substr(0, end) + OverlayTail;
}

// The whole file, or nothing when there is no such file in the program directory.
bool ReadProgramFile(const String& Name, String& Bytes) {
    const String path = FMain->ProgramDir + Name;
    if (!FileExists(path)) return false;
    TFileStream stream(ResolvePath(path), fmOpenRead | fmShareDenyWrite);
    Bytes.assign(static_cast<size_t>(stream.Size()), '\0');
    if (!Bytes.empty()) stream.ReadBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
    return true;
}

// Sends a raw document and tells the user when it did not reach the printer.
bool PrintDocument(const String& DocName, const std::vector<String>& Parts) {
    const TRawPrintResult result = PrintRawDocument(SpoolerPrinterName(), DocName, Parts);
    if (!result.Opened) ShowMessage("Failed to open specified printer.");
    else if (!result.Printed()) ShowMessage("The printer did not accept \"" + DocName + "\": " + result.Error);
    return result.Printed();
}

}  // namespace

String SpoolerPrinterName() {
    if (FMain->PrinterName.empty()) {
        TPrinter* printer = Printer();
        const std::vector<String> names = printer->Printers();
        const int index = printer->PrinterIndex();
        if (index >= 0 && index < static_cast<int>(names.size())) FMain->PrinterName = names[static_cast<size_t>(index)];
    }
    const size_t on = FMain->PrinterName.find(" on ");
    return FMain->PrinterName.substr(0, on);
}

FormPrinter::FormPrinter() = default;

FormPrinter::~FormPrinter() = default;

void FormPrinter::StartPage() {
    FPageText.clear();
    if (FMain->Copies > 1) FPageText += "\x1b&l" + IntToStr(FMain->Copies) + "X";
}

void FormPrinter::Place(const String& RowText, const String& ColumnText, const String& Text) {
    FPageText += "\x1b&a" + RowText + "r" + ColumnText + "C" + PrintableText(Text);
}

void FormPrinter::PrintText(int Row, int Column, const String& Text) { Place(PositionText(Row), PositionText(Column), Text); }

void FormPrinter::PrintTextChoice(int Row, int Column, const String& Text, const String&) { PrintText(Row, Column, Text); }

void FormPrinter::PrintAmount(int Row, int Column, double Value, const String&, const String& Mask) {
    const String text = AmountText(Value, Mask);
    if (text.empty()) return;
    Place(PositionText(Row), PositionText(Column - static_cast<int>(text.size()) + 1), text);
}

void FormPrinter::PrintCheck(int Row, int Column, bool Checked, const String&) {
    if (Checked) PrintText(Row, Column, "X");
}

void FormPrinter::PrintTextF(float Row, float Column, const String& Text) { Place(PositionText(double(Row)), PositionText(double(Column)), Text); }

void FormPrinter::PrintTextChoiceF(float Row, float Column, const String& Text, const String&) { PrintTextF(Row, Column, Text); }

void FormPrinter::PrintAmountF(float Row, float Column, double Value, const String&, const String& Mask) {
    const String text = AmountText(Value, Mask);
    if (text.empty()) return;
    Place(PositionText(double(Row)), PositionText(double(Column) - static_cast<double>(text.size()) + 1), text);
}

void FormPrinter::PrintCheckF(float Row, float Column, bool Checked, const String&) {
    if (Checked) PrintTextF(Row, Column, "X");
}

void FormPrinter::SelectFont(int FontNumber) {
    static const char* const fonts[] = {
        "\x1b(8U\x1b(sp10h12vsb3T",   "\x1b(U\x1b(s1p6vs0b4T",  "\x1b(U\x1b(s1p8vs0b4T",   "\x1b(U\x1b(s1p8vs1b4T",
        "\x1b(U\x1b(s1p10vs1b4T",     "\x1b(U\x1b(s1p12vs1b4T", "\x1b(U\x1b(s1p14vs1b4T",
        "\x1b(U\x1b(s0p0s0b0t16.67h8.5V",
    };
    if (FontNumber >= 1 && FontNumber <= 8) FPageText += fonts[FontNumber - 1];
}

void FormPrinter::LoadOverlay(const String& Name) {
    String bytes;
    if (ReadProgramFile(UpperCase(Name), bytes)) FOverlayData = std::move(bytes);
}

std::vector<String> FormPrinter::PageJob(bool TrimOverlay) const {
    std::vector<String> parts = {HasHighBytes(FPageText) ? Reset + Latin1SymbolSet : Reset};
    if (!FOverlayData.empty()) parts.push_back(TrimOverlay ? TrimmedOverlay(FOverlayData) : FOverlayData);
    parts.push_back(FPageText + Reset);
    return parts;
}

void FormPrinter::WritePageFile() {
    const String path = FMain->ProgramDir + "PRN" + FormatFloat("00000", FMain->PageFileNumber) + ".PRN";
    if (FileExists(path)) DeleteFile(ResolvePath(path));
    TFileStream file(path, fmCreate);
    for (const String& part : PageJob(FMain->MakePdf)) file.WriteBuffer(part.data(), static_cast<Int64>(part.size()));
}

bool FormPrinter::SendPage(const String& DocName) { return PrintDocument(DocName, PageJob(false)); }

bool FormPrinter::EndPage(const String& DocName) {
    FMain->BitmapPages = false;
    ++FMain->PageFileNumber;
    // The page is over whether or not it got out.
    struct TPageEnd {
        FormPrinter& Engine;
        ~TPageEnd() {
            Engine.FPageText.clear();
            Engine.FOverlayData.clear();
        }
    } pageEnd{*this};
    if (!FMain->Preview && !FMain->MakePdf) return SendPage(DocName);
    WritePageFile();
    return true;
}

bool FormPrinter::DownloadSoftFonts() {
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
