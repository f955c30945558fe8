#include "printing/pdfmaker.h"

#include <memory>
#include <vector>

#include "app/mainform.h"
#include "platform/pdf/pxpdfr2.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/graphics/metafile.h"
#include "platform/win/launcher.h"

namespace {

// Page geometry in the component's units, twentieths of a point: a US Letter
// sheet, and the stamp's strip (its sides 6500 to 75000) a quarter inch wide at
// the left edge, half an inch above the bottom.
constexpr int UnitsPerInch = 1440;
constexpr int PageWidth = 12240;
constexpr int PageHeight = 15840;
constexpr int StampWidth = 360;
constexpr int StampHeight = 4154;
constexpr int StampLeft = 0;
constexpr int StampTop = PageHeight - 720 - StampHeight;

struct TPageImages {
    String Pattern;
    bool Metafiles;
};

TPageImages PageImagesOf(int Mode)
{
    if (Mode == pkReportBitmaps)
        return {"PRV*.BMP", false};
    if (FMain->BitmapPages)
        return {"BMP*.BMP", false};
    return {"WMF*.WMF", true};
}

// The stamp picture, or null when the program directory has none.
std::unique_ptr<TBitmap> LoadStamp()
{
    const String name = FMain->ProgramDir + "archiveby.bmp";
    if (!FileExists(name))
        return nullptr;
    auto stamp = std::make_unique<TBitmap>();
    stamp->LoadFromFile(name);
    return stamp;
}

// The page images joined into a PDF, with the PCL page a metafile was made from.
void RemoveJoinedPages(const std::vector<String>& Pages, bool Metafiles)
{
    const String& dir = FMain->ProgramDir;
    for (const String& page : Pages) {
        DeleteFile(dir + page);
        if (Metafiles)
            DeleteFile(dir + "PRN" + page.substr(3, 5) + ".PRN");
    }
}

}  // namespace

void MakePdfFromPages(const String& Stem, int Mode)
{
    const String fileName = Stem + ".PDF";
    const String& dir = FMain->ProgramDir;
    const TPageImages images = PageImagesOf(Mode);
    const std::vector<String> pages = ListFiles(dir, images.Pattern);
    {
        const auto freeComponent = [](TPXPDFPrinter* Component) { Component->Free(); };
        std::unique_ptr<TPXPDFPrinter, decltype(freeComponent)> pdf(new TPXPDFPrinter(Application),
                                                                    freeComponent);
        pdf->SetFilename(fileName);
        pdf->BeginDoc();
        const std::unique_ptr<TBitmap> stamp = LoadStamp();
        for (const String& page : pages) {
            pdf->StartPage(PageWidth, PageHeight, UnitsPerInch, UnitsPerInch, 0);
            if (images.Metafiles) {
                TMetafile metafile;
                metafile.LoadFromFile(dir + page);
                pdf->DrawMetafile(0, 0, &metafile);
            } else {
                TBitmap bitmap;
                bitmap.LoadFromFile(dir + page);
                pdf->DrawTGraphic(0, 0, PageWidth, PageHeight, &bitmap);
            }
            if (stamp)
                pdf->DrawTGraphic(StampLeft, StampTop, StampWidth, StampHeight, stamp.get());
            pdf->EndPage();
        }
        pdf->EndDoc();
    }
    RemoveJoinedPages(pages, images.Metafiles);

    if (AskYesNo(IntToStr(static_cast<int>(pages.size())) + " page PDF created in " + fileName +
                 ". View it now ?") &&
        !Launcher().ShellOpen(fileName))
        ShowMessage("No program could be started to open " + fileName + ".");
}
