// The form images as the printer prints them: every copy filled with sample data at
// the places the form routines use, rendered through the PCL page renderer into
// pictures a reviewer compares with the printed forms, and the soft fonts read back
// through the renderer's font download.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include <QImage>

#include "assets/formimages/formdescription.h"
#include "platform/pcl/interpreter.h"
#include "platform/pcl/pagepainter.h"
#include "platform/vcl/graphics/bitmap.h"
#include "platform/vcl/qt/qapp.h"
#include "tests/assets/formanchors.h"
#include "tests/assets/programfile.h"

using namespace formimages;

namespace {

const std::string E = "\x1b";

// What a client's forms hold, cut to the width each place prints.
std::string SampleText(const Anchor& A)
{
    static const std::map<std::string, std::string> samples = {
            {"payer", "ACME PLUMBING SUPPLY INC"},
            {"payerTIN", "36-1234567"},
            {"recipTIN", "123-45-6789"},
            {"recipName", "JOHN Q PUBLIC"},
            {"street", "45 ELM AVENUE APT 3"},
            {"city", "DECATUR IL 62521"},
            {"box17", "IL-1234567"},
            {"filer", "ACME PLUMBING SUPPLY INC"},
            {"address", "1200 MAIN STREET"},
            {"contact", "JANE DOE"},
            {"telephone", "217"},
            {"email", "JANE@ACME.EXAMPLE"},
            {"box1", "36-1234567"},
            {"box2", "123-45-6789"},
            {"box3", "3"},
    };
    if (A.Length == 1)
        return "X";
    if (A.RightAligned)
        return A.Length > 10 ? "123,456.78" : "1234.56";
    auto found = samples.find(A.BoxName);
    std::string text = found == samples.end() ? std::string(A.Length, 'W') : found->second;
    return text.substr(0, A.Length);
}

// The page job a form routine sends: reset, overlay, the data placed by row and
// column, reset.
std::string FilledPage(const Overlay& O, const std::string& OverlayBytes)
{
    std::string job = E + "E" + OverlayBytes;
    for (double offset : O.RowOffsets)
        for (const Anchor& a : AnchorsOf(O.LayoutName)) {
            const std::string text = SampleText(a);
            const double column = a.RightAligned ? a.Column - text.size() + 1 : a.Column;
            job += E + "&a" + std::to_string(static_cast<int>(a.Row + offset)) + "r" +
                   std::to_string(static_cast<int>(column)) + "C" + text;
        }
    return job + E + "E";
}

}  // namespace

TEST(FormImagesRendered, EveryCopyPrintsItsDataInsideTheBoxesOfItsImage)
{
    EnsureQApplication();
    const FormSet forms = LoadFormSet(FORM_DESCRIPTION_DIR);
    const std::filesystem::path dir = std::filesystem::path(TOTAMUND_SCREENSHOT_DIR) / "forms";
    std::filesystem::create_directories(dir);
    for (const Overlay& overlay : forms.Overlays) {
        SCOPED_TRACE(overlay.FileName);
        const std::vector<pcl::Page> pages =
                pcl::Interpret(FilledPage(overlay, ReadProgramFile(overlay.FileName)));
        ASSERT_EQ(pages.size(), 1u);

        // Every data text (the fixed-pitch runs) lies inside a box of the image.
        const Page image = BuildPage(forms, overlay);
        int dataRuns = 0;
        for (const pcl::GlyphRun& run : pages[0].Runs) {
            if (!run.Font.Fixed)
                continue;
            ++dataRuns;
            const double left = (run.X / double(pcl::UnitsPerInch) - 0.25) * 10;
            const double right = left + run.Text.size() * run.Advance / double(pcl::UnitsPerInch) * 10;
            const double baseline = run.Y / double(pcl::UnitsPerInch) * 6;
            bool inside = false;
            for (const Box& b : image.Boxes)
                inside = inside || (left >= b.Area.Left - 1e-6 && right <= b.Area.Right + 1e-6 &&
                                    baseline - 0.625 >= b.Area.Top && baseline + 0.2 <= b.Area.Bottom);
            EXPECT_TRUE(inside) << "\"" << run.Text << "\" at column " << left << ", baseline row "
                                << baseline;
        }
        EXPECT_EQ(dataRuns,
                  static_cast<int>(AnchorsOf(overlay.LayoutName).size() * overlay.RowOffsets.size()));

        std::string stem = overlay.FileName.substr(0, overlay.FileName.find('.'));
        for (char& c : stem)
            if (c == '$')
                c = '_';
        auto bitmap = pcl::RenderPage(pages[0], 100);
        EXPECT_TRUE(bitmap->Image().save(QString::fromStdString((dir / (stem + ".png")).string()), "PNG"));
    }
}

TEST(FormImagesRendered, SoftFontsStayAcrossTheResetAndPrintTheirGlyphs)
{
    const std::string job = ReadProgramFile("FONT1.PRN") + ReadProgramFile("FONT2.PRN") + E + "E" + E +
                            "*p300x300Y" + E + "(1X" + "Form 1099" + E + "(2X" + "Form 1099" + "\f";
    const std::vector<pcl::Page> pages = pcl::Interpret(job);
    ASSERT_EQ(pages.size(), 1u);
    // Each character of the two lines, blanks included, is a glyph bitmap of a
    // downloaded font.
    EXPECT_EQ(pages[0].Rasters.size(), 18u);
    EXPECT_TRUE(pages[0].Runs.empty());
}
