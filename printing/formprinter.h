#pragma once
// The form page engine: lays the texts of one information-return page at cells
// of the PCL character grid (row first; 6 rows and 10 columns to the inch) and
// brings the finished page out: a raw PCL document per page, a numbered page
// file for the page viewer and the PDF maker, or, for printers without PCL, a
// drawing on the desktop printer's page or on a page bitmap.
//
// The program-wide print values (preview, PDF mode, copies, printer, page-file
// number) are the main window's; the mode is fixed when the engine is built, from
// the user's "No Laser Print?" setting.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/vcl/graphics/geometry.h"

class TBitmap;
class TCanvas;
class TPrintDialog;
class TPrinter;

// Draws the form image of a PCL overlay (the bytes of its ".HP" file) on Canvas,
// fitted into Frame (device pixels). The PCL page renderer provides it; until one
// is set, canvas pages are printed without their form image.
using TFormImagePainter = std::function<void(const String& Overlay, TCanvas& Canvas, const TRect& Frame)>;
void SetFormImagePainter(TFormImagePainter Painter);

class FormPrinter {
public:
    FormPrinter();
    ~FormPrinter();
    FormPrinter(const FormPrinter&) = delete;
    FormPrinter& operator=(const FormPrinter&) = delete;

    // Begins a page: in PCL mode an empty page text with the copies command when
    // more than one copy was asked for; in canvas mode a new sheet of the printer's
    // document, or a new page bitmap in a preview or PDF run.
    void StartPage();

    // The text with its first character at (Row, Column).
    void PrintText(int Row, int Column, const String& Text);
    // The same; Label names the data item of the box and is not printed.
    void PrintTextChoice(int Row, int Column, const String& Text, const String& Label);
    // The amount formatted with Mask, its last character in Column; an amount of
    // zero cents prints nothing.
    void PrintAmount(int Row, int Column, double Value, const String& Label, const String& Mask);
    // "X" at (Row, Column) when Checked.
    void PrintCheck(int Row, int Column, bool Checked, const String& Label);

    // Fractional twins, for positions between cells (the red copies' adjustments).
    void PrintTextF(float Row, float Column, const String& Text);
    void PrintTextChoiceF(float Row, float Column, const String& Text, const String& Label);
    void PrintAmountF(float Row, float Column, double Value, const String& Label, const String& Mask);
    void PrintCheckF(float Row, float Column, bool Checked, const String& Label);

    // The PCL symbol set and font of font 1 to 8; any other number selects nothing.
    // Canvas pages keep their one font.
    void SelectFont(int FontNumber);
    // Canvas mode: Text at the canvas place of (Row, Column), its left edge there
    // (Alignment 1) or its right edge (3); other alignments draw nothing.
    void DrawCanvasText(float Column, float Row, const String& Text, int Alignment);

    // The page's overlay (a ".HP" file of PCL, found in the program directory
    // whatever the case of its name); a missing file means a page without one. In
    // canvas mode its form image is drawn at once, over anything placed before.
    void LoadOverlay(const String& Name);
    // Finishes the page named DocName (the raw document's name): a page file in a
    // preview or PDF run (a page bitmap in canvas mode), otherwise a raw PCL document
    // to the chosen printer; a canvas sheet goes with the printer's document when the
    // engine is destroyed. False,
    // after telling the user, when the printer could not be opened or refused the
    // page. The engine is left with an empty page text and no overlay.
    bool EndPage(const String& DocName);
    // Sends FONT1.PRN and FONT2.PRN of the program directory to the chosen printer
    // as one raw document; false, after telling the user why, when they were not.
    bool DownloadSoftFonts();

    const String& PageText() const { return FPageText; }
    int OverlaySize() const { return static_cast<int>(FOverlayData.size()); }
    bool CanvasMode() const { return FCanvasMode; }
    // Where canvas-mode pages are drawn; null before the first StartPage.
    TCanvas* PageCanvas() const { return FPageCanvas; }

private:
    // Appends the cursor command for a cell and the text, made safe for the printer.
    void Place(const String& RowText, const String& ColumnText, const String& Text);
    // The page as the printer gets it: reset, overlay, page text, reset.
    std::vector<String> PageJob(bool TrimOverlay) const;
    void WritePageFile();
    void SavePageBitmap();
    bool SendPage(const String& DocName);
    void StartCanvasPage();
    // A device-pixel constant of the form layout, made for a 600-dpi printer, at the
    // resolution of the printer's canvas.
    int PrinterPixels(int Pixels) const;

    String FPageText;
    String FOverlayData;  // empty: no overlay
    const bool FCanvasMode;
    TPrinter* FPagePrinter = nullptr;
    TCanvas* FPageCanvas = nullptr;
    std::unique_ptr<TBitmap> FPageBitmap;
    double FScale = 0;  // device pixels per 1/1000 inch, the same both ways on our canvases
    int FOriginX = 0;   // device pixels added to every canvas position
    int FOriginY = 0;
};

// The copies and the printer the user chose in Dialog are the run's.
void UsePrintDialogChoice(const TPrintDialog& Dialog);

// The queue name of the chosen printer: the main window's printer, or else the
// desktop printer's current one (then kept as the chosen printer), without the
// " on " port of a "printer on port" entry.
String SpoolerPrinterName();
