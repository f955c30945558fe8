#pragma once
// The page writer of the list reports: text, amounts, frames, lines and shaded
// boxes at positions in thousandths of an inch (row first, from the top left of
// the page), drawn straight on the desktop printer's page or, while the main
// window's Preview is on, on one page bitmap per page saved as PRV0001.BMP,
// PRV0002.BMP, ... in the program directory for the report preview. It also
// draws the two standard elements of a report page: the page frame with its
// title and footer, and the section header band.

#include <memory>

#include "platform/rtl/types.h"

class TBitmap;
class TCanvas;
class TPrinter;

// Alignments of PrintAlignedText.
constexpr int AlignLeft = 1;
constexpr int AlignCentre = 2;
constexpr int AlignRight = 3;

// The page file of a report page in preview mode.
String ReportPageFile(int PageNumber);

class ReportPrinter {
public:
    // Pages go to the printer, or to page bitmaps while Preview is on.
    ReportPrinter();
    // Every page is drawn on Canvas (not owned), as a caller that shows or records
    // the pages itself wants; nothing is printed or saved.
    explicit ReportPrinter(TCanvas* Canvas);
    // Ends the printer's document, which sends the job; a report that failed
    // part-way (an exception on its way out) has its job dropped instead.
    ~ReportPrinter();
    ReportPrinter(const ReportPrinter&) = delete;
    ReportPrinter& operator=(const ReportPrinter&) = delete;

    // Before the first page: the printer's orientation (not in preview mode).
    void SetLandscape(bool Landscape);
    void StartPage();
    // In preview mode saves the page bitmap to its page file.
    void EndPage();

    // Font codes 1 to 10 (see the table in the source); other codes change nothing
    // but are remembered.
    void SetFont(int Code);
    // A pen of Code 1/250 inch, solid with flat ends and mitred joins.
    void SetPen(int Code);

    // Text with its top left corner at the point, on a transparent background.
    void PrintText(int Row, int Column, const String& Text);
    // AlignLeft starts the text at Column, AlignCentre centres it on Column and
    // AlignRight ends it there; any other alignment is taken as left.
    void PrintAlignedText(int Row, int Column, const String& Text, int Alignment);
    // The value formatted with the number mask, ending at Column.
    void PrintAmount(int Row, int Column, double Value, const String& Mask);

    // The rectangle's outline; its inside stays as it was.
    void DrawFrame(int Row1, int Column1, int Row2, int Column2, int PenCode);
    // The rectangle filled light grey, without an outline.
    void DrawShadedBox(int Row1, int Column1, int Row2, int Column2, int PenCode);
    // Both ends lengthened by half the pen, so that the line meets the frames across it.
    void DrawVerticalLine(int Column, int Row1, int Row2, int PenCode);
    void DrawHorizontalLine(int Row, int Column1, int Column2, int PenCode);

    // Border, title band and footer band of a report page.
    void DrawPageFrame(const String& Title, const String& FooterLeft, const String& FooterCentre,
                       const String& FooterRight);
    // The shaded band with the caption, the report date and the page number, at
    // Row; Row moves below it.
    void DrawSectionHeader(int& Row, const String& Caption, int PageNumber);

    // The number of the page being drawn; after the last page, the page count.
    int PageNumber() const { return FPageNumber; }
    int FontCode() const { return FFontCode; }
    int PenWidth() const { return FPenWidth; }
    bool Landscape() const { return FLandscape; }
    // The canvas of the page being drawn; null before the first StartPage.
    TCanvas* Canvas() const { return FCanvas; }

private:
    bool PreviewMode() const;
    int X(int Column) const;
    int Y(int Row) const;

    int FFontCode = 1;
    TPrinter* FPrinter;
    TCanvas* FCanvas = nullptr;
    TCanvas* const FFixedCanvas = nullptr;
    std::unique_ptr<TBitmap> FPageImage;
    int FPageNumber = 0;
    int FResolutionX = 0;
    int FResolutionY = 0;
    double FScaleX = 0;
    double FScaleY = 0;
    bool FLandscape = false;
    int FPenWidth = 0;
    const int FUncaughtAtStart;
};
