#include "platform/pdf/pxpdfr1.h"

#include "platform/pdf/pdfengine.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/metafile.h"

namespace {

// The resolution of a page made for a metafile drawn outside any page.
constexpr int MetafilePageResolution = 300;

String NotWritten(const String& FileName) { return "The PDF file " + FileName + " could not be written."; }

}  // namespace

TPXCustomPDFExport::TPXCustomPDFExport(TComponent* AOwner) : TComponent(AOwner) { }

TPXCustomPDFExport::~TPXCustomPDFExport() { ReleaseHandle(); }

bool TPXCustomPDFExport::InheritsFrom(const String& name) const
{
    return SameText(name, "TPXCustomPDFExport") || TComponent::InheritsFrom(name);
}

void TPXCustomPDFExport::ReleaseHandle()
{
    if (FHandle)
        PdfEngine().Finalize(FHandle);
    FHandle = 0;
    FDocumentOpen = false;
    FPageOpen = false;
}

void TPXCustomPDFExport::BeginDoc()
{
    if (FFilename.empty())
        throw EPXPDFError("No filename or memory stream was specified!");
    if (FDocumentOpen)
        return;
    ReleaseHandle();
    FHandle = PdfEngine().Initialize();
    if (!FHandle)
        throw EPXPDFError("Initialization of PDF Engine failed");
    FPageCounter = 0;
    if (PdfEngine().BeginDocument(FHandle, FFilename) != 0) {
        ReleaseHandle();
        throw EPXPDFError(NotWritten(FFilename));
    }
    FDocumentOpen = true;
}

void TPXCustomPDFExport::StartPage(int Width, int Height, int XResolution, int YResolution, int Rotation)
{
    if (!FDocumentOpen)
        throw EPXPDFError("StartPage is only allowed within StartDoc and EndDoc!");
    FPageOpen = true;
    TPdfPageRecord page;
    page.Width = Width;
    page.Height = Height;
    page.ResolutionX = XResolution == 0 ? 72 : XResolution;
    page.ResolutionY = YResolution == 0 ? 72 : YResolution;
    page.Rotation = Rotation;
    PdfEngine().StartPage(FHandle, page);
    ++FPageCounter;
}

void TPXCustomPDFExport::DrawMetafile(int X, int Y, TMetafile* Metafile)
{
    if (Metafile)
        DrawMetafileEx(X, Y, 0, 0, *Metafile);
}

void TPXCustomPDFExport::DrawMetafileEx(int X, int Y, int Width, int Height, TMetafile& Metafile)
{
    if (!FDocumentOpen)
        return;
    const bool ownPage = !FPageOpen;
    if (ownPage) {
        if (Metafile.Empty() || Metafile.Width() <= 0 || Metafile.Height() <= 0)
            throw EPXPDFError("Invalid Metafile!");
        Width = Metafile.Width();
        Height = Metafile.Height();
        X = 0;
        Y = 0;
        StartPage(Width, Height, MetafilePageResolution, MetafilePageResolution, Width > Height ? 90 : 0);
    }
    PdfEngine().DrawMetafile(FHandle, Metafile, TPdfPlacement {X, Y, Width, Height});
    if (ownPage)
        EndPage();
}

void TPXCustomPDFExport::DrawTGraphic(int X, int Y, int Width, int Height, TGraphic* Graphic)
{
    if (!Graphic)
        return;
    if (auto* metafile = dynamic_cast<TMetafile*>(Graphic))
        DrawMetafileEx(X, Y, Width, Height, *metafile);
    else if (auto* bitmap = dynamic_cast<TBitmap*>(Graphic))
        PdfEngine().DrawBitmap(FHandle, *bitmap, TPdfPlacement {X, Y, Width, Height});
    else
        throw EPXPDFError("Cannot convert " + Graphic->ClassName());
}

void TPXCustomPDFExport::EndPage()
{
    FPageOpen = false;
    if (FHandle)
        PdfEngine().EndPage(FHandle);
}

void TPXCustomPDFExport::EndDoc()
{
    if (!FDocumentOpen || !FHandle)
        return;
    TPdfEngine& engine = PdfEngine();
    engine.EndDocument(FHandle);
    const bool written = engine.WriteFile(FHandle, FFilename) == 0;
    ReleaseHandle();
    if (!written)
        throw EPXPDFError(NotWritten(FFilename));
}
