#pragma once
// A PDF file drawn page by page on a canvas: text stays text and line drawings
// stay vectors; pictures are embedded as images.

#include <memory>

#include "platform/vcl/graphics/canvas.h"

class TPdfWriter {
public:
    // Positions on the page canvas, in pixels per inch.
    static constexpr int Resolution = 1440;

    TPdfWriter();
    ~TPdfWriter();
    TPdfWriter(const TPdfWriter&) = delete;
    TPdfWriter& operator=(const TPdfWriter&) = delete;

    // Starts a document written into FileName (created or emptied); false when the
    // file cannot be created.
    bool Open(const String& FileName);
    bool IsOpen() const;
    // Ends any page and starts one WidthInches by HeightInches, its canvas cleared to
    // the default font, pen and brush.
    void NewPage(double WidthInches, double HeightInches);
    // The current page's canvas; null before the first page.
    TCanvas* Canvas();
    // Finishes the file (a document without pages is still a valid PDF) and closes
    // it; false when it could not be written completely.
    bool Close();

private:
    class TPageCanvas;
    struct TDocument;
    std::unique_ptr<TDocument> FDocument;
    std::unique_ptr<TPageCanvas> FCanvas;
    int FPageCount = 0;
};
