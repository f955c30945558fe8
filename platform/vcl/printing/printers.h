#pragma once
// The printer: the list of printers, the chosen one, its page, and a canvas
// that draws each page of a document.

#include <memory>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "platform/vcl/graphics/canvas.h"

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;

    String ClassName() const override { return "TPrinter"; }

    // The installed printers' names; the default printer is chosen at first.
    std::vector<String> Printers() const;
    // -1 when there is no printer; raises EPrinter "Printer selected is not valid" for an
    // index outside the list.
    int PrinterIndex() const { return FPrinterIndex; }
    void SetPrinterIndex(int Value);
    // Prints into this PDF file instead of a printer ("" prints to the chosen printer).
    const String& OutputFileName() const { return FOutputFileName; }
    void SetOutputFileName(const String& Value);

    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value) { FTitle = Value; }
    int Copies() const { return FCopies; }
    void SetCopies(int Value) { FCopies = Value; }
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);

    // The paper as a DEVMODE paper code: 1 Letter, 5 Legal, 9 A4, ... (PrinterPaperCodes
    // lists them); raises EPrinter "Paper size N is not supported" for another code.
    int PaperSize() const { return FPaperSize; }
    void SetPaperSize(int Code);

    // The printable page in device pixels, and the device's pixels per inch.
    int PageWidth() const;
    int PageHeight() const;
    // The whole sheet in device pixels, and where the printable page begins on it.
    int PhysicalPageWidth() const;
    int PhysicalPageHeight() const;
    int PrintingOffsetX() const;
    int PrintingOffsetY() const;
    int Resolution() const;
    // The font families the printer draws as the screen shows them, sorted.
    TStrings* Fonts();
    // Draws at this many pixels per inch where the device allows; 0 goes back to the
    // device's own resolution.
    void SetResolution(int Value);
    int PageNumber() const { return FPageNumber; }
    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }

    // Starts a document; raises EPrinter "Printing in progress" when one is going on and
    // when the printer cannot be opened.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    // The page's canvas; its font sizes are points at the printer's resolution.
    TCanvas* Canvas();

private:
    class TPrinterCanvas;
    struct TDevice;
    void CheckPrinting(bool Value) const;
    // Paper and orientation again, after the device was changed.
    void ApplyPageLayout();

    std::unique_ptr<TDevice> FDevice;
    std::unique_ptr<TPrinterCanvas> FCanvas;
    int FPrinterIndex = -1;
    String FOutputFileName;
    String FTitle;
    int FCopies = 1;
    int FDeviceResolution = 0;  // the device's own, once SetResolution changed it
    TPrinterOrientation FOrientation = poPortrait;
    int FPaperSize = 1;
    int FPageNumber = 0;
    bool FPrinting = false;
    bool FAborted = false;
    TStringList FFonts;
};

// The DEVMODE paper codes the printer knows, ascending.
std::vector<int> PrinterPaperCodes();

// The one printer object, made on first use.
TPrinter* Printer();
