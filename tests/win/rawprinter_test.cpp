// Raw documents: one per call, every part written as given, failures reported.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/win/servicedoubles.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TEST(RawPrinting, ADocumentReachesTheNamedPrinterWithItsPartsInOrder)
{
    TRecordingRawPrinting printing;
    printing.Printers = {"Laser", "Office"};
    const TRawPrintResult result = PrintRawDocument("Office", "1096 File Copy",
                                                    {"\x1b"
                                                     "E",
                                                     "page",
                                                     "\x1b"
                                                     "E"});
    EXPECT_TRUE(result.Printed());
    ASSERT_EQ(printing.Documents.size(), 1u);
    const auto& document = printing.Documents[0];
    EXPECT_EQ(document.Printer, "Office");
    EXPECT_EQ(document.Name, "1096 File Copy");
    EXPECT_THAT(document.Writes, ElementsAre("\x1b"
                                             "E",
                                             "page",
                                             "\x1b"
                                             "E"));
    EXPECT_TRUE(document.Accepted);
}

TEST(RawPrinting, AnUnknownPrinterGetsNothingAndARefusedDocumentIsNotPrinted)
{
    TRecordingRawPrinting printing;
    const TRawPrintResult unknown = PrintRawDocument("Nowhere", "Page", {"x"});
    EXPECT_FALSE(unknown.Opened);
    EXPECT_FALSE(unknown.Printed());
    EXPECT_THAT(printing.OpenRequests, ElementsAre("Nowhere"));
    EXPECT_THAT(printing.Documents, IsEmpty());

    printing.Refusal = "Destination \"Laser\" is not accepting jobs.";
    const TRawPrintResult refused = PrintRawDocument("Laser", "Page", {"x"});
    EXPECT_TRUE(refused.Opened);
    EXPECT_FALSE(refused.Printed());
    EXPECT_EQ(refused.Error, printing.Refusal);
    ASSERT_EQ(printing.Documents.size(), 1u);
    EXPECT_FALSE(printing.Documents[0].Accepted);
}

TEST(RawPrinting, APrinterHandleKeepsItsDocumentsApartAndRefusesMisuse)
{
    TRecordingRawPrinting printing;
    auto printer = RawPrinting().OpenPrinter("Laser");
    ASSERT_TRUE(printer);
    EXPECT_FALSE(printer->Write("early"));
    EXPECT_FALSE(printer->EndDoc());
    EXPECT_EQ(printer->LastError(), "no document is open");
    for (const char* name : {"One", "Two"}) {
        ASSERT_TRUE(printer->StartDoc(name));
        EXPECT_FALSE(printer->StartDoc("nested"));
        ASSERT_TRUE(printer->Write(name));
        ASSERT_TRUE(printer->EndDoc());
    }
    ASSERT_EQ(printing.Documents.size(), 2u);
    EXPECT_EQ(printing.Documents[0].Bytes(), "One");
    EXPECT_EQ(printing.Documents[1].Bytes(), "Two");
}

TEST(RawPrinting, ThePrintSystemIsUsedWhenNoDoubleIsInstalled)
{
    {
        TRecordingRawPrinting printing;
        EXPECT_EQ(&RawPrinting(), &printing);
    }
    EXPECT_NE(dynamic_cast<TCupsRawPrintService*>(&RawPrinting()), nullptr);
    EXPECT_EQ(RawPrinting().OpenPrinter(""), nullptr);
}

}  // namespace
