#pragma once
// The PDF engine behind the PDF export component. It keeps documents, each
// addressed by a handle, and writes each page by page into a file beside the
// output name; the finished file is renamed into place, so a PDF appears under
// its name only when it is complete.
//
// Units: a page's size is given in units of its resolutions (units per inch).
// Drawing positions are in the current page's units, from its top-left corner.

#include <map>
#include <memory>

#include "platform/rtl/types.h"

class TBitmap;
class TMetafile;
class TPdfWriter;

// A page start.
struct TPdfPageRecord {
    int Width = 0;
    int Height = 0;
    int ResolutionX = 0;
    int ResolutionY = 0;
    int Rotation = 0;  // degrees; the page is laid as its width and height give
};

// A box on the page, in page units.
struct TPdfPlacement {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

class TPdfEngine {
public:
    TPdfEngine();
    ~TPdfEngine();
    TPdfEngine(const TPdfEngine&) = delete;
    TPdfEngine& operator=(const TPdfEngine&) = delete;

    // A new document handle (never 0).
    int Initialize();
    // Releases the handle; an unfinished file is removed.
    void Finalize(int Handle);

    // Begins writing beside OutputName (OutputName + ".part"); 0 on success, 1 when
    // that file cannot be created.
    int BeginDocument(int Handle, const String& OutputName);
    // Opens a page of the record's size; a page still open is ended first.
    void StartPage(int Handle, const TPdfPageRecord& Page);
    void EndPage(int Handle);
    // Finishes the document's file.
    void EndDocument(int Handle);
    // Moves the finished file to FileName, replacing a file of that name; 0 on
    // success, 1 when the document could not be written or moved there.
    int WriteFile(int Handle, const String& FileName);

    // The metafile stretched into the box. A box without a width or a height
    // reaches to the page's right and bottom edges.
    void DrawMetafile(int Handle, TMetafile& Metafile, const TPdfPlacement& Box);
    // The bitmap stretched into the box.
    void DrawBitmap(int Handle, TBitmap& Bitmap, const TPdfPlacement& Box);

private:
    struct TDocument;
    TDocument* Find(int Handle) const;

    std::map<int, std::unique_ptr<TDocument>> FDocuments;
    int FLastHandle = 0;
};

// The one engine of the process.
TPdfEngine& PdfEngine();
