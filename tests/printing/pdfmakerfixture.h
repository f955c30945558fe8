#pragma once
// A PDF run of the client ACME: PCL page files as the form page engine names
// them, a stamp picture, the shell's "open" recorded, and the PDFs and pictures
// a reviewer looks at kept after the run.

#include <filesystem>
#include <string>

#include <QColor>

#include "platform/vcl/graphics/bitmap.h"
#include "tests/printing/formprinterfixture.h"
#include "tests/support/pclfixture.h"

namespace pdfmakertest {

// A red stamp picture, tall and narrow, as archiveby.bmp of the program directory Dir.
inline void WriteStamp(const std::string& Dir)
{
    TBitmap stamp;
    stamp.SetSize(26, 300);
    stamp.Canvas()->Brush()->SetColor(clRed);
    stamp.Canvas()->FillRect(Rect(0, 0, 26, 300));
    stamp.SaveToFile(Dir + "archiveby.bmp");
}

inline bool IsStampColour(const QColor& Colour)
{
    return Colour.red() > 180 && Colour.green() < 80 && Colour.blue() < 80;
}

// Copies of what a run made, where a reviewer can open them.
inline void KeepPdf(const std::string& Pdf, const std::string& As)
{
    KeepCopy(Pdf, TOTAMUND_ARTIFACT_DIR "/pdf", As);
}
inline void KeepScreenshot(const std::string& Png, const std::string& As)
{
    KeepCopy(Png, TOTAMUND_SCREENSHOT_DIR "/pdf", As);
}

}  // namespace pdfmakertest

class PdfMakerTest : public FormPrinterFixture {
protected:
    void SetUp() override
    {
        FormPrinterFixture::SetUp();
        FMain->MakePdf = true;
        FMain->User->ClientID = "ACME";
        std::filesystem::create_directories(DataDir());
    }

    String DataDir() const { return FMain->DataDir + "ACME/"; }
    // A Copy B PDF's name without its extension.
    String Stem() const { return DataDir() + "CopyBMISC_A0112-31-2008"; }

    static std::string PageName(const std::string& Prefix, int Page, const std::string& Ext)
    {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%05d", Page);
        return Prefix + digits + Ext;
    }
    // A sample form page with Text printed below its boxes, before its closing reset.
    void WritePclPage(int Page, const std::string& Text) const
    {
        std::string page = pcltest::SampleFormPage();
        page.insert(page.size() - 2, pcltest::At(40, 2, Text));
        Dir.Write(PageName("PRN", Page, ".PRN"), page);
    }
    // Pages First.. of Count, each saying "PAGE n".
    void WritePclPages(int First, int Count) const
    {
        for (int page = First; page < First + Count; ++page)
            WritePclPage(page, "PAGE " + std::to_string(page));
    }
    void WriteStamp() const { pdfmakertest::WriteStamp(Dir.Path()); }

    TRecordingLauncher Launcher;
};
