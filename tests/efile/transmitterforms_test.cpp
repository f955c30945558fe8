// The transmitter and 1096 contact forms, driven with keys offscreen: what they
// show from the transmitter data file, what typing and the boxes change, and the
// file written when they close.

#include <gmock/gmock.h>

#include "efile/contact1096.h"
#include "efile/efilewriter.h"
#include "efile/transmitterdata.h"
#include "efile/transmitterinfo.h"
#include "platform/rtl/fileops.h"
#include "tests/efile/efilefixture.h"
#include "tests/support/screenshots.h"

namespace {

using ::testing::ElementsAre;

const String TwelveLines =
        "04-1234567\r\n5A1B2\r\nY\r\nHARBOR BOOKKEEPING\r\n\r\nN\r\n\r\nN\r\nMARY ONEIL\r\n"
        "(508) 555-0100 X12\r\nMARY@HARBOR.EXAMPLE\r\nY\r\n";

void Screenshot(TCustomForm* Form, const char* Name)
{
    KeepScreenshot(Form->Widget()->window()->grab(), Name);
}

// The twelve lines of a copy of the file.
std::vector<String> FileLines(const String& Bytes)
{
    std::vector<String> lines;
    for (size_t at = 0, end; (end = Bytes.find("\r\n", at)) != String::npos; at = end + 2)
        lines.push_back(Bytes.substr(at, end - at));
    return lines;
}

class TransmitterFormTest : public EFileFixture {
protected:
    void SetUp() override
    {
        EFileFixture::SetUp();
        OpenClient("08ACME", CompletePayer());
    }
    String ClientCopy() const { return ClientDir() + "ELFTRANS.DTA"; }
};

TEST_F(TransmitterFormTest, ShowsTheFileAndSavesWhatIsTypedInBothCopies)
{
    Dir.Write("ELFTRANS.DTA", TwelveLines);
    WhenShown<TFTransmitterInfo>([this](TFTransmitterInfo* f) {
        EXPECT_EQ(f->KVEdit1->Text(), "04-1234567");
        EXPECT_EQ(f->KVEdit5->Text(), "MARY ONEIL");
        EXPECT_TRUE(f->KVCheckBox1->Checked());
        EXPECT_EQ(f->KVCheckBox1->Caption(), "Yes");
        EXPECT_EQ(f->KVCheckBox2->Caption(), "No");
        EXPECT_EQ(f->KVCheckBox3->Caption(), "No");  // an empty flag reads "No"
        EXPECT_TRUE(f->KVCheckBox5->Checked());
        EXPECT_EQ(f->Caption(), "Electronic Filing Transmitter Information");
        Screenshot(f, "transmitterinfo.png");
        TypeText(f, "01");
        f->KVEdit1->SetText("");
        TypeText(f, "98-7654321");
        PressKey(f, Qt::Key_Return);
        TypeText(f, "02");
        f->KVEdit2->SetText("");
        TypeText(f, "abcdefg");  // five characters at most
        PressKey(f, Qt::Key_Return);
        TypeText(f, "04");
        f->KVEdit3->SetText("");
        TypeText(f, "new name co");
        PressKey(f, Qt::Key_Return);
        TypeText(f, "05");
        TypeText(f, "REPLACE01");  // eight characters at most
        PressKey(f, Qt::Key_Return);
        TypeText(f, "07");  // Last filing: checked
        TypeText(f, "12");  // 1099-INT: unchecked
        EXPECT_EQ(f->KVCheckBox5->Caption(), "No");
        EXPECT_EQ(f->KVCheckBox1->Caption(), "Yes");
        TypeText(f, "/");
    });
    ShowTransmitterInfo();
    const std::vector<String> expected = {"98-7654321",
                                          "abcde",
                                          "Y",
                                          "NEW NAME CO",
                                          "REPLACE0",
                                          "N",
                                          "Y",
                                          "N",
                                          "MARY ONEIL",
                                          "(508) 555-0100 X12",
                                          "MARY@HARBOR.EXAMPLE",
                                          "N"};
    EXPECT_EQ(FileLines(Dir.Read(Dir / "ELFTRANS.DTA")), expected);
    EXPECT_EQ(Dir.Read(ClientCopy()), Dir.Read(Dir / "ELFTRANS.DTA"));
    EXPECT_EQ(DClientDataBase->LastFiling, "Y");
}

TEST_F(TransmitterFormTest, ElevenLineFileLeavesTheInterestBoxAsDesigned)
{
    Dir.Write("ELFTRANS.DTA", TwelveLines.substr(0, TwelveLines.size() - 3));
    WhenShown<TFTransmitterInfo>([](TFTransmitterInfo* f) {
        EXPECT_FALSE(f->KVCheckBox5->Checked());
        EXPECT_EQ(f->KVCheckBox5->Caption(), "1099-INT?");
        f->Close();
    });
    ShowTransmitterInfo();
    EXPECT_EQ(FileLines(Dir.Read(Dir / "ELFTRANS.DTA")).size(), 12u);
}

TEST_F(TransmitterFormTest, ClosingTheWindowSavesTheFieldBeingTyped)
{
    WhenShown<TFTransmitterInfo>([](TFTransmitterInfo* f) {
        TypeText(f, "01");
        TypeText(f, "12-3456789");
        f->Close();
    });
    ShowTransmitterInfo();
    EXPECT_EQ(FileLines(Dir.Read(ClientCopy())).at(0), "12-3456789");
}

TEST_F(TransmitterFormTest, ContactFormSharesTheContactWithTheTransmitterForm)
{
    Dir.Write("ELFTRANS.DTA", TwelveLines.substr(0, TwelveLines.size() - 3));
    WhenShown<TFContact1096>([](TFContact1096* f) {
        EXPECT_EQ(f->Caption(), "1096 Contact Information");
        EXPECT_EQ(f->Height(), 246);
        EXPECT_EQ(f->KVEdit5->Text(), "MARY ONEIL");
        EXPECT_FALSE(f->KVCheckBox1->Checked());
        EXPECT_EQ(f->KVLabel6->Caption(), "[01]  Contact Name");
        EXPECT_EQ(f->KVLabel1->Caption(), "[04]  Is this a 1099 INT filing?");
        Screenshot(f, "contact1096.png");
        TypeText(f, "01");
        f->KVEdit5->SetText("");
        TypeText(f, "john smith");
        TypeText(f, "/");
    });
    ShowContact1096();
    const std::vector<String> lines = FileLines(Dir.Read(Dir / "ELFTRANS.DTA"));
    EXPECT_EQ(lines.at(8), "JOHN SMITH");
    EXPECT_EQ(lines.at(11), "N");  // closing always decides the 1099-INT choice

    WhenShown<TFTransmitterInfo>([](TFTransmitterInfo* f) {
        EXPECT_EQ(f->KVEdit5->Text(), "JOHN SMITH");
        TypeText(f, "09");
        f->KVEdit5->SetText("");
        TypeText(f, "ann lee");
        PressKey(f, Qt::Key_Return);
        f->Close();
    });
    ShowTransmitterInfo();
    WhenShown<TFContact1096>([](TFContact1096* f) {
        EXPECT_EQ(f->KVEdit5->Text(), "ANN LEE");
        TypeText(f, "04");  // the box
        EXPECT_TRUE(f->Interest1099Checked);
        EXPECT_EQ(f->KVCheckBox1->Caption(), "1099-INT?");
        f->Close();
    });
    ShowContact1096();
    EXPECT_EQ(FileLines(Dir.Read(ClientCopy())).at(11), "Y");
}

TEST_F(TransmitterFormTest, ElectronicallyFileShowsTheTransmitterFormThenWrites)
{
    SetCompleteTransmitter();
    WriteTransmitterData();
    WhenShown<TFTransmitterInfo>([](TFTransmitterInfo* f) { f->Close(); });
    Dialogs.AnswerMessage(mrNo);
    ElectronicallyFile();
    EXPECT_THAT(Shown(),
                ElementsAre("Electronic file -- " + ClientDir() +
                            "ELF1099 -- has been created. Would you like to open IRS FIRE web site to "
                            "E-File ?"));
}

}  // namespace
