#include "platform/pdf/pdfengine.h"

#include <cmath>

#include "platform/rtl/fileops.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/metafile.h"
#include "platform/vcl/printing/pdfwriter.h"

struct TPdfEngine::TDocument {
    TPdfWriter Writer;
    String PartName;  // the file being written; "" once moved or dropped
    TPdfPageRecord Page;
    bool PageOpen = false;
    bool Finished = false;
    bool Complete = false;  // finished and written whole

    // Page units to the writer's.
    int ToEngine(int Position, int Resolution) const
    {
        return static_cast<int>(
                std::lround(static_cast<double>(Position) * TPdfWriter::Resolution / Resolution));
    }
    TRect ToEngine(int X, int Y, int Width, int Height) const
    {
        const int left = ToEngine(X, Page.ResolutionX);
        const int top = ToEngine(Y, Page.ResolutionY);
        return Rect(left, top, left + ToEngine(Width, Page.ResolutionX),
                    top + ToEngine(Height, Page.ResolutionY));
    }
    void DropPartFile()
    {
        if (Writer.IsOpen())
            Writer.Close();
        if (!PartName.empty())
            DeleteFile(PartName);
        PartName.clear();
    }
};

TPdfEngine::TPdfEngine() = default;

TPdfEngine::~TPdfEngine() = default;

TPdfEngine& PdfEngine()
{
    static TPdfEngine engine;
    return engine;
}

TPdfEngine::TDocument* TPdfEngine::Find(int Handle) const
{
    const auto found = FDocuments.find(Handle);
    return found == FDocuments.end() ? nullptr : found->second.get();
}

int TPdfEngine::Initialize()
{
    FDocuments[++FLastHandle] = std::make_unique<TDocument>();
    return FLastHandle;
}

void TPdfEngine::Finalize(int Handle)
{
    if (TDocument* document = Find(Handle))
        document->DropPartFile();
    FDocuments.erase(Handle);
}

int TPdfEngine::BeginDocument(int Handle, const String& OutputName)
{
    TDocument* document = Find(Handle);
    if (!document || OutputName.empty())
        return 1;
    document->DropPartFile();
    document->PartName = OutputName + ".part";
    if (!document->Writer.Open(document->PartName)) {
        document->PartName.clear();
        return 1;
    }
    document->Finished = document->Complete = document->PageOpen = false;
    return 0;
}

void TPdfEngine::StartPage(int Handle, const TPdfPageRecord& Page)
{
    TDocument* document = Find(Handle);
    if (!document || !document->Writer.IsOpen() || Page.ResolutionX <= 0 || Page.ResolutionY <= 0)
        return;
    document->Page = Page;
    document->Writer.NewPage(static_cast<double>(Page.Width) / Page.ResolutionX,
                             static_cast<double>(Page.Height) / Page.ResolutionY);
    document->PageOpen = true;
}

void TPdfEngine::EndPage(int Handle)
{
    if (TDocument* document = Find(Handle))
        document->PageOpen = false;
}

void TPdfEngine::EndDocument(int Handle)
{
    TDocument* document = Find(Handle);
    if (!document || !document->Writer.IsOpen())
        return;
    document->PageOpen = false;
    document->Finished = true;
    document->Complete = document->Writer.Close();
}

int TPdfEngine::WriteFile(int Handle, const String& FileName)
{
    TDocument* document = Find(Handle);
    if (!document || !document->Finished || document->PartName.empty())
        return 1;
    if (!document->Complete || !RenameFile(document->PartName, FileName)) {
        document->DropPartFile();
        return 1;
    }
    document->PartName.clear();
    return 0;
}

void TPdfEngine::DrawMetafile(int Handle, TMetafile& Metafile, const TPdfPlacement& Box)
{
    TDocument* document = Find(Handle);
    if (!document || !document->PageOpen)
        return;
    const int width = Box.Width > 0 ? Box.Width : document->Page.Width - Box.X;
    const int height = Box.Height > 0 ? Box.Height : document->Page.Height - Box.Y;
    document->Writer.Canvas()->StretchDraw(document->ToEngine(Box.X, Box.Y, width, height), &Metafile);
}

void TPdfEngine::DrawBitmap(int Handle, TBitmap& Bitmap, const TPdfPlacement& Box)
{
    TDocument* document = Find(Handle);
    if (!document || !document->PageOpen)
        return;
    document->Writer.Canvas()->StretchDraw(document->ToEngine(Box.X, Box.Y, Box.Width, Box.Height), &Bitmap);
}
