// Raw pages and soft fonts through a real print system: the test starts a cupsd
// of its own with a queue whose device is a file, prints to it and reads the file
// back.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/vcl/printing/printers.h"
#include "printing/formprinter.h"
#include "tests/printing/formprinterfixture.h"
#include "tests/support/cupsdfixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::string Queue = "FormLaser";

// The file device prints nothing without a filter; this queue's one filter passes
// raw documents through unchanged.
const char* const PassThroughPpd = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "FORMLASR.PPD"
*Manufacturer: "Test"
*Product: "(Form Laser)"
*ModelName: "Form Laser"
*ShortNickName: "Form Laser"
*NickName: "Form Laser"
*PSVersion: "(3010.000) 0"
*cupsFilter: "application/vnd.cups-raw 0 gziptoany"
*OpenUI *PageSize: PickOne
*DefaultPageSize: Letter
*PageSize Letter: ""
*CloseUI: *PageSize
*DefaultImageableArea: Letter
*ImageableArea Letter: "0 0 612 792"
*DefaultPaperDimension: Letter
*PaperDimension Letter: "612 792"
)ppd";

class FormPrinterCups : public FormPrinterFixture {
protected:
    void SetUp() override
    {
        FormPrinterFixture::SetUp();
        const std::string why = Cupsd.Start(Queue, PassThroughPpd);
        if (!why.empty())
            GTEST_SKIP() << "this machine cannot run a private cupsd: " << why;
    }

    PrivateCupsd Cupsd;
};

TEST_F(FormPrinterCups, ThreePagesAndTheSoftFontsReachTheQueueByteForByte)
{
    // Bytes a filter could spoil: NUL, 0xFF, CR LF, a form feed.
    const std::string overlay = Esc("&l0O") + std::string("\0\xff\r\n\x0c", 5) + "    " + Esc("&alrC");
    Dir.Write("copyb.hp", overlay);
    Dir.Write("FONT1.PRN", Esc(")s64W") + std::string("\0\x01\xfe\xff", 4));
    Dir.Write("FONT2.PRN", Esc("*c1D") + std::string(5000, '\x80'));

    // No printer chosen yet: the desktop printer's current one is taken and kept.
    TPrinter* desktop = Printer();
    const std::vector<String> desktopPrinters = desktop->Printers();
    const auto listed = std::find(desktopPrinters.begin(), desktopPrinters.end(), Queue);
    ASSERT_NE(listed, desktopPrinters.end()) << "the desktop printer list does not show the private queue";
    desktop->SetPrinterIndex(static_cast<int>(listed - desktopPrinters.begin()));
    FMain->PrinterName = "";
    FMain->Copies = 2;

    FormPrinter printer;
    for (const char* name : {"ANN ARBOR", "JOS\xc9 P\xc9REZ", "CY"}) {
        printer.StartPage();
        printer.LoadOverlay("COPYB.HP");
        printer.PrintText(10, 5, name);
        printer.PrintAmount(20, 55, 1234.5, "TOTAMT", "#.00");
        ASSERT_TRUE(printer.EndPage("Copy B")) << ::testing::PrintToString(Shown());
        const std::string symbolSet = std::string(name).find('\xc9') != std::string::npos ? Esc("(19U") : "";
        EXPECT_EQ(Cupsd.PrintedBytes(), Esc("E") + symbolSet + overlay + Esc("&l2X") + Esc("&a10r5C") + name +
                                                Esc("&a20r49C1234.50") + Esc("E"))
                << name;
    }
    EXPECT_EQ(FMain->PrinterName, Queue);

    ASSERT_TRUE(printer.DownloadSoftFonts());
    EXPECT_TRUE(Cupsd.PrintedBytes() == ReadWholeFile(Dir / "FONT1.PRN") + ReadWholeFile(Dir / "FONT2.PRN"));
    EXPECT_THAT(Cupsd.FinishedJobs(), ElementsAre("Copy B", "Copy B", "Copy B", "Korvane Soft Fonts"));
    EXPECT_THAT(Shown(), ::testing::IsEmpty());
}

TEST_F(FormPrinterCups, APageTheQueueRefusesIsReportedAndNotCountedAsPrinted)
{
    ASSERT_EQ(Cupsd.RunTool({"/usr/sbin/cupsreject", Queue}), 0) << Cupsd.Log();
    FMain->PrinterName = Queue + " on file:";
    FormPrinter printer;
    printer.StartPage();
    printer.PrintText(1, 1, "REFUSED");
    EXPECT_FALSE(printer.EndPage("Copy C"));

    FMain->PrinterName = "NoSuchQueue";
    printer.StartPage();
    EXPECT_FALSE(printer.EndPage("Copy C"));
    ASSERT_EQ(Shown().size(), 2u);
    EXPECT_THAT(Shown()[0], HasSubstr("The printer did not accept \"Copy C\": "));
    EXPECT_THAT(Shown()[0], HasSubstr("not accepting jobs"));
    EXPECT_EQ(Shown()[1], "Failed to open specified printer.");
    EXPECT_THAT(Cupsd.FinishedJobs(), ::testing::IsEmpty());
}

}  // namespace
