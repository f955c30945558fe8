#include "platform/pcl/pclviewer.h"

#include "platform/pcl/interpreter.h"
#include "platform/pcl/pagepainter.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/streams.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/canvas.h"
#include "platform/vcl/graphics/metafile.h"

namespace {

// Metafile pages are recorded at this resolution, so they replay sharp at print sizes.
constexpr int MetafileDpi = 300;

}  // namespace

bool ReadPageFile(const String& FileName, String& Bytes)
{
    try {
        TFileStream stream(ResolvePath(FileName), fmOpenRead | fmShareDenyWrite);
        Bytes.assign(static_cast<size_t>(stream.Size()), '\0');
        if (!Bytes.empty())
            stream.ReadBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
    } catch (const Exception&) {
        return false;
    }
    return true;
}

String MissingPageText(const String& FileName)
{
    return "This page is no longer there: " + ExtractFileName(FileName);
}

TADTaxViewerX::TADTaxViewerX(TComponent* AOwner) : TGraphicControl(AOwner) { }

TADTaxViewerX::~TADTaxViewerX() = default;

void TADTaxViewerX::Clear()
{
    FHpFile.clear();
    FPage.reset();
    FImage.reset();
    FMissing = false;
    Invalidate();
}

void TADTaxViewerX::SetHpFile(const String& FileName)
{
    Clear();
    FHpFile = FileName;
    String bytes;
    if (!ReadPageFile(FileName, bytes)) {
        FMissing = true;
        Render();
        return;
    }
    std::vector<pcl::Page> pages = pcl::Interpret(bytes);
    FPage = pages.empty() ? pcl::Page {} : std::move(pages.front());
    Render();
}

void TADTaxViewerX::SetLargeForm(bool Value)
{
    if (FLargeForm == Value)
        return;
    FLargeForm = Value;
    Render();
}

void TADTaxViewerX::Render()
{
    const int dpi = FLargeForm ? LargeDpi : NormalDpi;
    if (FPage) {
        FImage = pcl::RenderPage(*FPage, dpi);
    } else if (FMissing) {
        // A blank sheet that says why.
        FImage = pcl::RenderPage(pcl::Page {}, dpi);
        TCanvas& canvas = *FImage->Canvas();
        canvas.Font()->SetName(pcl::FontFamily(pcl::Typeface::Sans));
        canvas.Font()->SetSize(14);
        canvas.Font()->SetColor(clBlack);
        canvas.TextOut(dpi / 2, dpi / 2, MissingPageText(FHpFile));
    }
    if (FImage)
        SetBounds(Left(), Top(), FImage->Width(), FImage->Height());
    Invalidate();
}

void TADTaxViewerX::Paint()
{
    if (FImage)
        Canvas()->Draw(0, 0, FImage.get());
}

bool TADTaxViewerX::SaveMetafile(const String& FileName)
{
    if (!FPage)
        return false;
    TMetafile metafile;
    const TRect frame {0, 0, FPage->Width * MetafileDpi / pcl::UnitsPerInch,
                       FPage->Height * MetafileDpi / pcl::UnitsPerInch};
    metafile.SetWidth(frame.Right);
    metafile.SetHeight(frame.Bottom);
    {
        TMetafileCanvas canvas(&metafile);
        pcl::PaintPage(*FPage, canvas, frame);
    }
    try {
        metafile.SaveToFile(FileName);
    } catch (const Exception&) {
        return false;
    }
    return true;
}
