#pragma once
// The PDF export component: a document begun, pages of a given size and
// resolution started, metafiles and bitmaps drawn on them, pages ended and the
// document ended into its file. The PDF itself is the engine's work
// (platform/pdf/pdfengine.h); drawing positions and sizes go to it as given, in
// the page's units.

#include "platform/classes/component.h"
#include "platform/rtl/exceptions.h"

class TBitmap;
class TGraphic;
class TMetafile;

// An error of the component or its engine.
class EPXPDFError : public Exception {
public:
    using Exception::Exception;
};

class TPXCustomPDFExport : public TComponent {
public:
    explicit TPXCustomPDFExport(TComponent* AOwner);
    // An unfinished document is dropped: its file never appears.
    ~TPXCustomPDFExport() override;

    String ClassName() const override { return "TPXCustomPDFExport"; }
    bool InheritsFrom(const String& name) const override;

    // The PDF file the document is written to.
    const String& Filename() const { return FFilename; }
    void SetFilename(const String& Value) { FFilename = Value; }

    // Opens the document; nothing when one is open already. Raises "No filename or
    // memory stream was specified!" without a file name, and names the file when
    // it cannot be created.
    void BeginDoc();
    // A page Width by Height units of XResolution by YResolution units per inch (0
    // counts as 72). Raises "StartPage is only allowed within StartDoc and EndDoc!"
    // while no document is open.
    void StartPage(int Width, int Height, int XResolution, int YResolution, int Rotation);
    // The metafile from (X, Y) to the page's right and bottom edges. Without an open
    // page it makes a page of its own: the metafile's frame at 300 units per inch
    // (raising "Invalid Metafile!" for an empty one). Nothing without a document.
    void DrawMetafile(int X, int Y, TMetafile* Metafile);
    // A bitmap or a metafile stretched into the box; nothing for none; any other
    // picture raises "Cannot convert " + its class name.
    void DrawTGraphic(int X, int Y, int Width, int Height, TGraphic* Graphic);
    void EndPage();
    // Writes the file; raises, naming the file, when it could not be written.
    void EndDoc();

private:
    void DrawMetafileEx(int X, int Y, int Width, int Height, TMetafile& Metafile);
    void ReleaseHandle();

    String FFilename;
    int FHandle = 0;  // the engine's document; 0 when none
    bool FDocumentOpen = false;
    bool FPageOpen = false;
    int FPageCounter = 0;
};
