// The transmitter data file: its twelve lines read and written unchanged, the
// older eleven-line file, the client's copy preferred over the general one, and a
// copy that cannot be written.

#include <gmock/gmock.h>

#include "efile/transmitterdata.h"
#include "platform/rtl/fileops.h"
#include "tests/efile/efilefixture.h"

namespace {

const String TwelveLines =
        "04-1234567\r\n5A1B2\r\nY\r\nHARBOR BOOKKEEPING\r\nREPL01\r\nN\r\n\r\nN\r\nMARY ONEIL\r\n"
        "(508) 555-0100 X12\r\nMARY@HARBOR.EXAMPLE\r\nY\r\n";

class TransmitterDataTest : public EFileFixture {
protected:
    void SetUp() override
    {
        EFileFixture::SetUp();
        OpenClient("08ACME", CompletePayer());
    }
    String General() const { return Dir / "ELFTRANS.DTA"; }
    String ClientCopy() const { return ClientDir() + "ELFTRANS.DTA"; }
};

TEST_F(TransmitterDataTest, FileRoundTripsByteForByte)
{
    Dir.Write("ELFTRANS.DTA", TwelveLines);
    ReadTransmitterData();
    EXPECT_EQ(DClientDataBase->TransmitterTIN, "04-1234567");
    EXPECT_EQ(DClientDataBase->LastFiling, "");
    EXPECT_EQ(DClientDataBase->Interest1099, "Y");
    WriteTransmitterData();
    EXPECT_EQ(Dir.Read(General()), TwelveLines);
    EXPECT_EQ(Dir.Read(ClientCopy()), TwelveLines);
}

TEST_F(TransmitterDataTest, ElevenLineFileLeavesTheInterestChoiceEmpty)
{
    DClientDataBase->Interest1099 = "Y";
    const String eleven = TwelveLines.substr(0, TwelveLines.size() - 3);
    Dir.Write("ELFTRANS.DTA", eleven);
    ReadTransmitterData();
    EXPECT_EQ(DClientDataBase->ContactEmail, "MARY@HARBOR.EXAMPLE");
    EXPECT_EQ(DClientDataBase->Interest1099, "");
    WriteTransmitterData();
    EXPECT_EQ(Dir.Read(General()), eleven + "\r\n");
}

TEST_F(TransmitterDataTest, ClientCopyInTheDataDirectoryIsPreferred)
{
    // The data directory is not the program directory.
    TempDir data;
    FMain->DataDir = DClientDataBase->DataDir = data.Path();
    OpenClient("08ACME", CompletePayer());
    Dir.Write("ELFTRANS.DTA", "OTHER CLIENT TIN\r\n");
    data.Write("08ACME/ELFTRANS.DTA", TwelveLines);
    ReadTransmitterData();
    EXPECT_EQ(DClientDataBase->TransmitterTIN, "04-1234567");

    DClientDataBase->TransmitterTIN = "11-1111111";
    WriteTransmitterData();
    EXPECT_EQ(data.Read("08ACME/ELFTRANS.DTA").substr(0, 12), "11-1111111\r\n");
    EXPECT_EQ(Dir.Read(General()).substr(0, 12), "11-1111111\r\n");
    EXPECT_FALSE(FileExists(Dir / "08ACME/ELFTRANS.DTA")) << "nothing is written under the program directory";
}

TEST_F(TransmitterDataTest, WithoutAClientCopyTheGeneralCopyIsReadAndBothAreWritten)
{
    Dir.Write("ELFTRANS.DTA", TwelveLines);
    ReadTransmitterData();
    EXPECT_EQ(DClientDataBase->ReplacementFileName, "REPL01");
    EXPECT_FALSE(FileExists(ClientCopy()));
    WriteTransmitterData();
    EXPECT_EQ(Dir.Read(ClientCopy()), TwelveLines);
}

TEST_F(TransmitterDataTest, WithoutAnyFileTheFieldsKeepTheirValues)
{
    DClientDataBase->ContactName = "KEPT";
    ReadTransmitterData();
    EXPECT_EQ(DClientDataBase->ContactName, "KEPT");
}

TEST_F(TransmitterDataTest, CopyThatCannotBeWrittenIsReported)
{
    ASSERT_TRUE(CreateDir(General()));  // a directory where the general copy belongs
    DClientDataBase->ContactName = "TYPED";
    EXPECT_THROW(WriteTransmitterData(), EInOutError);
    EXPECT_EQ(DClientDataBase->ContactName, "TYPED");
    EXPECT_EQ(Dir.Read(ClientCopy()).substr(0, 2), "\r\n") << "the client's copy is still saved";
}

}  // namespace
