// The form page engine in PCL mode: the page text of every placing operation,
// page files and raw documents.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/fileops.h"
#include "printing/formprinter.h"
#include "tests/printing/formprinterfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using FormPrinterPcl = FormPrinterFixture;

TEST_F(FormPrinterPcl, EachPlacingOperationAppendsItsCursorCommandAndText)
{
    const struct {
        const char* Call;
        std::function<void(FormPrinter&)> Place;
        std::string Expected;
    } cases[] = {
            {"text", [](FormPrinter& p) { p.PrintText(8, 6, "ACME"); }, Esc("&a8r6CACME")},
            {"text choice", [](FormPrinter& p) { p.PrintTextChoice(8, 6, "ACME", "NAME1"); },
             Esc("&a8r6CACME")},
            {"amount, grouped", [](FormPrinter& p) { p.PrintAmount(20, 55, 1234.5, "dTotalFWT", "#,.00"); },
             Esc("&a20r48C1,234.50")},
            {"amount below one", [](FormPrinter& p) { p.PrintAmount(5, 50, 0.5, "FWT", "#.00"); },
             Esc("&a5r48C.50")},
            {"negative amount", [](FormPrinter& p) { p.PrintAmount(5, 50, -20, "FWT", "#,.00"); },
             Esc("&a5r45C-20.00")},
            {"one cent", [](FormPrinter& p) { p.PrintAmount(5, 50, 0.01, "FWT", "#.00"); },
             Esc("&a5r48C.01")},
            {"zero amount", [](FormPrinter& p) { p.PrintAmount(5, 50, 0.0, "FWT", "#,.00"); }, ""},
            {"sum that is zero cents",
             [](FormPrinter& p) { p.PrintAmount(5, 50, 0.1 + 0.2 - 0.3, "FWT", "#.00"); }, ""},
            {"check", [](FormPrinter& p) { p.PrintCheck(3, 4, true, "CORRECTED"); }, Esc("&a3r4CX")},
            {"no check", [](FormPrinter& p) { p.PrintCheck(3, 4, false, "CORRECTED"); }, ""},
            {"fractional text", [](FormPrinter& p) { p.PrintTextF(17.6f, 4, "X"); },
             Esc("&a17.6000003814697r4CX")},
            {"fractional row 5.1", [](FormPrinter& p) { p.PrintTextF(5.1f, 6, "Y"); },
             Esc("&a5.09999990463257r6CY")},
            {"fractional halves", [](FormPrinter& p) { p.PrintTextChoiceF(5.5f, 6, "Z", "NAME1"); },
             Esc("&a5.5r6CZ")},
            {"fractional column", [](FormPrinter& p) { p.PrintTextF(21, 67.75f, "X"); }, Esc("&a21r67.75CX")},
            {"fractional amount", [](FormPrinter& p) { p.PrintAmountF(17, 74, 12345.67, "TOTAMT", "#,.00"); },
             Esc("&a17r66C12,345.67")},
            {"fractional amount between cells",
             [](FormPrinter& p) { p.PrintAmountF(17.6f, 67.75f, 1234.5, "TOTAMT", "#.00"); },
             Esc("&a17.6000003814697r61.75C1234.50")},
            {"fractional zero amount", [](FormPrinter& p) { p.PrintAmountF(17, 74, 0.0, "TOTAMT", "#.00"); },
             ""},
            {"fractional check", [](FormPrinter& p) { p.PrintCheckF(2.5f, 3, true, "VOID"); },
             Esc("&a2.5r3CX")},
            {"fractional no check", [](FormPrinter& p) { p.PrintCheckF(2.5f, 3, false, "VOID"); }, ""},
            // A signed value would be a relative move: positions stop at the page's edge.
            {"negative cell", [](FormPrinter& p) { p.PrintText(-2, -1, "A"); }, Esc("&a0r0CA")},
            {"negative fractional cell", [](FormPrinter& p) { p.PrintTextF(-0.5f, -0.0f, "B"); },
             Esc("&a0r0CB")},
            {"amount wider than its column",
             [](FormPrinter& p) { p.PrintAmount(1, 3, 123456.78, "TOTAMT", "#,.00"); },
             Esc("&a1r0C123,456.78")},
            // Data never becomes a printer command.
            {"control bytes",
             [](FormPrinter& p) {
                 p.PrintText(1, 1,
                             "A\x1b"
                             "E\x0c\x7f"
                             "B\t");
             },
             Esc("&a1r1CA E  B ")},
            {"accented text kept", [](FormPrinter& p) { p.PrintText(1, 1, "Jos\xe9"); },
             Esc("&a1r1CJos\xe9")},
    };
    for (const auto& c : cases) {
        FormPrinter printer;
        printer.StartPage();
        c.Place(printer);
        EXPECT_EQ(printer.PageText(), c.Expected) << c.Call;
    }
}

TEST_F(FormPrinterPcl, FontsOneToEightSelectTheirSymbolSetAndFont)
{
    const char* const expected[] = {
            "",
            "\x1b(8U\x1b(sp10h12vsb3T",
            "\x1b(U\x1b(s1p6vs0b4T",
            "\x1b(U\x1b(s1p8vs0b4T",
            "\x1b(U\x1b(s1p8vs1b4T",
            "\x1b(U\x1b(s1p10vs1b4T",
            "\x1b(U\x1b(s1p12vs1b4T",
            "\x1b(U\x1b(s1p14vs1b4T",
            "\x1b(U\x1b(s0p0s0b0t16.67h8.5V",
            "",
    };
    for (int font = 0; font <= 9; ++font) {
        FormPrinter printer;
        printer.StartPage();
        printer.SelectFont(font);
        EXPECT_EQ(printer.PageText(), expected[font]) << "font " << font;
    }
}

TEST_F(FormPrinterPcl, APageStartsWithTheCopiesCommandWhenMoreThanOneCopyIsAsked)
{
    FormPrinter printer;
    printer.StartPage();
    EXPECT_EQ(printer.PageText(), "");
    printer.PrintText(1, 1, "old");
    FMain->Copies = 3;
    printer.StartPage();
    printer.PrintText(2, 2, "B");
    EXPECT_EQ(printer.PageText(), Esc("&l3X") + Esc("&a2r2CB"));
}

TEST_F(FormPrinterPcl, PreviewPagesAreNumberedFilesOfResetOverlayTextAndReset)
{
    FMain->Preview = true;
    FMain->PageFileNumber = 7;
    FMain->DeleteTempPrintFiles();
    FMain->Copies = 2;
    Dir.Write("us1096$1.hp", "OVERLAY" + Esc("&alrC"));
    Dir.Write("OTHER.HP", "SECOND");

    FormPrinter printer;
    printer.StartPage();
    printer.PrintText(8, 6, "ACME");
    printer.LoadOverlay("OTHER.HP");
    printer.LoadOverlay("US1096$1.HP");  // the later load holds; it goes before the text
    EXPECT_EQ(printer.OverlaySize(), 13);
    EXPECT_TRUE(printer.EndPage("1096 File Copy"));
    EXPECT_EQ(printer.PageText(), "");
    EXPECT_EQ(printer.OverlaySize(), 0);

    printer.StartPage();  // the next page must load its overlay again
    printer.PrintAmount(20, 55, 1234.5, "TOTAMT", "#,.00");
    printer.LoadOverlay("MISSING.HP");
    EXPECT_TRUE(printer.EndPage("1096 File Copy"));

    EXPECT_EQ(Dir.Read("PRN00001.PRN"),
              Esc("E") + "OVERLAY" + Esc("&alrC") + Esc("&l2X") + Esc("&a8r6CACME") + Esc("E"));
    EXPECT_EQ(Dir.Read("PRN00002.PRN"), Esc("E") + Esc("&l2X") + Esc("&a20r48C1,234.50") + Esc("E"));
    EXPECT_EQ(FMain->PageFileNumber, 2);
    EXPECT_FALSE(FMain->BitmapPages);
    EXPECT_THAT(Shown(), IsEmpty());
    KeepArtifact("PRN00001.PRN", "PRN00001.PRN");
}

TEST_F(FormPrinterPcl, APdfRunDropsTheBlanksBeforeTheOverlaysFinalCursorHome)
{
    const std::string tail = Esc("&alrC");
    const struct {
        const char* Case;
        bool MakePdf;
        std::string Overlay;
        std::string Written;
    } cases[] = {
            {"blanks before the tail", true, "ABC    " + tail, "ABC" + tail},
            {"blanks only", true, "    " + tail, tail},
            {"the tail alone", true, tail, tail},
            {"shorter than the tail", true, "AB", "AB"},
            {"another tail", true, "ABC    " + Esc("&a0rC"), "ABC    " + Esc("&a0rC")},
            {"blanks inside kept", true, "A  B " + tail, "A  B" + tail},
            {"a preview run", false, "ABC    " + tail, "ABC    " + tail},
    };
    for (const auto& c : cases) {
        FMain->DeleteTempPrintFiles();
        FMain->MakePdf = c.MakePdf;
        FMain->Preview = !c.MakePdf;
        Dir.Write("FORM.HP", c.Overlay);
        FormPrinter printer;
        printer.StartPage();
        printer.LoadOverlay("form.hp");
        printer.EndPage("Copy B");
        EXPECT_EQ(Dir.Read("PRN00001.PRN"), Esc("E") + c.Written + Esc("E")) << c.Case;
    }
}

TEST_F(FormPrinterPcl, TextWithAccentedLettersSelectsTheProgramsCodePage)
{
    FMain->Preview = true;
    FMain->DeleteTempPrintFiles();
    FormPrinter printer;
    printer.StartPage();
    printer.PrintText(1, 1,
                      "Jos\xe9 N\xfa\xf1"
                      "ez");
    printer.EndPage("Copy B");
    printer.StartPage();
    printer.PrintText(1, 1, "Jose");
    printer.EndPage("Copy B");
    EXPECT_EQ(Dir.Read("PRN00001.PRN"), Esc("E") + Esc("(19U") +
                                                Esc("&a1r1CJos\xe9 N\xfa\xf1"
                                                    "ez") +
                                                Esc("E"));
    EXPECT_EQ(Dir.Read("PRN00002.PRN"), Esc("E") + Esc("&a1r1CJose") + Esc("E"));
}

TEST_F(FormPrinterPcl, EachPrintedPageIsOneRawDocumentFramedByResets)
{
    TRecordingRawPrinting spooler;
    Dir.Write("COPYB.HP", "FORM");
    FormPrinter printer;
    for (const char* name : {"Ann", "Bob", "Cy"}) {
        printer.StartPage();
        printer.LoadOverlay("COPYB.HP");
        printer.PrintText(10, 5, name);
        EXPECT_TRUE(printer.EndPage(String("Copy B ") + name));
    }
    ASSERT_EQ(spooler.Documents.size(), 3u);
    for (const auto& document : spooler.Documents) {
        EXPECT_EQ(document.Printer, "Laser");
        EXPECT_TRUE(document.Accepted);
    }
    EXPECT_EQ(spooler.Documents[0].Name, "Copy B Ann");
    EXPECT_THAT(spooler.Documents[1].Writes, ElementsAre(Esc("E"), "FORM", Esc("&a10r5CBob") + Esc("E")));
    EXPECT_EQ(spooler.Documents[2].Bytes(), Esc("E") + "FORM" + Esc("&a10r5CCy") + Esc("E"));
    EXPECT_EQ(FMain->PageFileNumber, 3);
    EXPECT_THAT(ListFiles(Dir.Path(), "PRN*.PRN"), IsEmpty());
}

TEST_F(FormPrinterPcl, ThePrinterIsNamedWithoutItsPort)
{
    const struct {
        const char* Chosen;
        const char* Opened;
    } cases[] = {{"Laser on LPT1:", "Laser"}, {"Laser", "Laser"}, {"Laser on B on C", "Laser"}};
    for (const auto& c : cases) {
        TRecordingRawPrinting spooler;
        FMain->PrinterName = c.Chosen;
        FormPrinter printer;
        printer.StartPage();
        EXPECT_TRUE(printer.EndPage("Page")) << c.Chosen;
        EXPECT_THAT(spooler.OpenRequests, ElementsAre(c.Opened)) << c.Chosen;
        EXPECT_EQ(FMain->PrinterName, c.Chosen);
    }
}

TEST_F(FormPrinterPcl, APageThatDoesNotReachThePrinterIsReportedAndDiscarded)
{
    TRecordingRawPrinting spooler;
    Dir.Write("FORM.HP", "FORM");
    FormPrinter printer;
    FMain->PrinterName = "Gone";
    printer.StartPage();
    printer.LoadOverlay("FORM.HP");
    printer.PrintText(1, 1, "A");
    EXPECT_FALSE(printer.EndPage("Copy C"));
    EXPECT_EQ(printer.PageText(), "");
    EXPECT_EQ(printer.OverlaySize(), 0);
    EXPECT_THAT(spooler.Documents, IsEmpty());

    FMain->PrinterName = "Laser";
    spooler.Refusal = "Destination \"Laser\" is not accepting jobs.";
    printer.StartPage();
    printer.PrintText(1, 1, "A");
    EXPECT_FALSE(printer.EndPage("Copy C"));
    EXPECT_THAT(
            Shown(),
            ElementsAre(
                    "Failed to open specified printer.",
                    "The printer did not accept \"Copy C\": Destination \"Laser\" is not accepting jobs."));
}

TEST_F(FormPrinterPcl, SoftFontsGoAsOneDocumentAndAMissingFontIsNamedBeforeAnythingIsSent)
{
    TRecordingRawPrinting spooler;
    Dir.Write("font1.prn", Esc(")s64W") + "first");
    FormPrinter printer;
    EXPECT_FALSE(printer.DownloadSoftFonts());
    EXPECT_THAT(spooler.OpenRequests, IsEmpty());
    EXPECT_THAT(Shown(), ElementsAre("The soft font file FONT2.PRN is missing from " + Dir.Path() + "."));

    Dir.Write("FONT2.PRN", "second");
    EXPECT_TRUE(printer.DownloadSoftFonts());
    ASSERT_EQ(spooler.Documents.size(), 1u);
    EXPECT_EQ(spooler.Documents[0].Name, "Korvane Soft Fonts");
    EXPECT_THAT(spooler.Documents[0].Writes, ElementsAre(Esc(")s64W") + "first", "second"));
    EXPECT_EQ(Shown().size(), 1u);
}

}  // namespace
