// What the program says when its files are damaged, missing or out of reach:
// damaged client tables and indexes, a data directory that is gone, a help
// file or support text that is not there, and the commands that need a client.

#include <gmock/gmock.h>

#include <QImage>
#include <QWidget>

#include "app/yearend.h"
#include "controls/opendocument.h"
#include "platform/rtl/fileops.h"
#include "tests/support/shellfixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

class DamagedFilesTest : public ShellFixture {
protected:
    // A client 08ACME stored as the current one, its tables closed.
    void StoredClient()
    {
        StartMain();
        MakeClient("08ACME", "ACME SUPPLY");
        FMain->User->ClientID = "08ACME";
    }
    String ClientFile(const String& Name) const { return Dir / ("08ACME/" + Name); }
};

// Noise that no table, memo or index header accepts.
String Noise(size_t Size)
{
    String bytes;
    for (size_t i = 0; i < Size; ++i)
        bytes += char((i * 7919 + 13) % 251);
    return bytes;
}

struct DamageCase {
    const char* Table;
    bool Cut;  // cut to 10 bytes, or else overwritten with noise
};

class DamagedTableTest : public DamagedFilesTest, public ::testing::WithParamInterface<DamageCase> { };

TEST_P(DamagedTableTest, IsNamedWithTheReasonAndNotCalledInUse)
{
    StoredClient();
    const String file = ClientFile(GetParam().Table);
    Dir.Write("08ACME/" + String(GetParam().Table),
              GetParam().Cut ? Dir.Read(file).substr(0, 10) : Noise(4096));
    StartMenu();
    ASSERT_EQ(Shown().size(), 1u);
    const String message = Shown()[0];
    EXPECT_THAT(message, HasSubstr("Unable to open client - the file " + file + " is damaged."));
    EXPECT_THAT(message, HasSubstr("Not a valid table header"));
    EXPECT_THAT(message, Not(HasSubstr("in use")));
    EXPECT_EQ(FMain->User->ClientID, "");
    EXPECT_FALSE(FTotStart->KVButton1->Enabled());
}

INSTANTIATE_TEST_SUITE_P(Tables, DamagedTableTest,
                         ::testing::Values(DamageCase {"CLIENT.DBF", true}, DamageCase {"CLIENT.DBF", false},
                                           DamageCase {"EMPLOYEE.DBF", true},
                                           DamageCase {"EMPLOYEE.DBF", false}),
                         [](const auto& Info) {
                             return String(Info.param.Table).substr(0, String(Info.param.Table).find('.')) +
                                    (Info.param.Cut ? "Cut" : "Noise");
                         });

// A header that counts fewer records than the file holds: an append would
// go over the ones past the count, so the client does not open, the message
// gives both counts and says how to recover, and the file is not written.
TEST_F(DamagedFilesTest, ARecordCountBelowTheRecordsHeldIsReportedAndNothingIsWritten)
{
    StoredClient();
    const String file = ClientFile("CLIENT.DBF");
    String bytes = Dir.Read(file);
    const int records = int(static_cast<unsigned char>(bytes[4]));
    ASSERT_GT(records, 0);
    bytes.replace(4, 4, String(4, '\0'));
    Dir.Write("08ACME/CLIENT.DBF", bytes);
    StartMenu();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_THAT(Shown()[0], HasSubstr("Unable to open client - the file " + file + " is damaged."));
    EXPECT_THAT(Shown()[0],
                HasSubstr("holds " + std::to_string(records) + " whole records, but its header counts 0"));
    EXPECT_THAT(Shown()[0], HasSubstr("Restore the client from its last back-up"));
    EXPECT_EQ(FMain->User->ClientID, "");
    EXPECT_EQ(Dir.Read(file), bytes);
}

TEST_F(DamagedFilesTest, ADamagedIndexIsReportedAtOpenAndNothingIsWrittenThroughIt)
{
    StoredClient();
    Dir.Write("08ACME/TOTTRANS.CDX", Noise(4096));
    const String transactions = Dir.Read(ClientFile("TOTTRANS.DBF"));
    StartMenu();
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_THAT(Shown()[0], HasSubstr("Unable to open client - the index file of " +
                                      ClientFile("TOTTRANS.DBF") + " is damaged."));
    EXPECT_THAT(Shown()[0], HasSubstr(ClientFile("TOTTRANS.CDX")));
    EXPECT_THAT(Shown()[0], HasSubstr("Reindexing rebuilds it"));
    EXPECT_EQ(FMain->User->ClientID, "");

    // The year-end update has no client to start from.
    TypeText(FTotStart, "07");
    EXPECT_EQ(Shown().back(), "A valid client has not been selected.");
    EXPECT_EQ(ListFiles(Dir.Path(), "*", lkDirectories), std::vector<String> {"08ACME"});
    EXPECT_EQ(Dir.Read(ClientFile("TOTTRANS.DBF")), transactions);

    // Reindexing mends the client.
    EXPECT_TRUE(DClientDataBase->ReindexClient("08ACME"));
    FMain->User->ClientID = "08ACME";
    DClientDataBase->OpenClient();
    FTotStart->ShowCurrentClient();
    EXPECT_TRUE(DClientDataBase->tblTransactions->Active());
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- ACME SUPPLY");
}

TEST_F(DamagedFilesTest, TheQuestionForAMissingClientNamesItsDirectory)
{
    StartMain();
    const String gone = Dir / "no/such/data/";
    FMain->DataDir = gone;
    DClientDataBase->DataDir = gone;
    FMain->User->ClientID = "08ACME";
    for (int i = 0; i < 3; ++i)
        Dialogs.AnswerMessage(mrNo);
    StartMenu();
    ASSERT_EQ(Shown().size(), 4u) << ::testing::PrintToString(Shown());
    EXPECT_EQ(Shown()[0], "The client database does not exist at this data location (" + gone +
                                  "08ACME/).  Would you like to create it now?");
    // Declined: the client does not open, and the message says why.
    EXPECT_EQ(Shown()[3], "Unable to open client - the file " + gone + "08ACME/TOTTRANS.DBF does not exist.");
    EXPECT_FALSE(DirectoryExists(gone));
}

TEST_F(DamagedFilesTest, HelpAndSupportWithoutTheirFilesSayWhichFileIsMissing)
{
    TRecordingLauncher launcher;
    Start();
    FMain->Help1->Click();
    FMain->Support1->Click();
    const String help = ExtractFilePath(ProgramFileName()) + "DIRUZU.ZIV";
    ASSERT_FALSE(FileExists(help));
    PressKey(FTotStart, Qt::Key_F1);
    EXPECT_THAT(Shown(),
                ElementsAre(NoHelpFileMessage(Dir / "DIRUZU.ZIV"),
                            "The file " + (Dir / "status.txt") + " was not found.", NoHelpFileMessage(help)));
    EXPECT_THAT(launcher.Opened, IsEmpty());
}

// Dark pixels inside a control's frame: its caption when it is drawn in black.
int DarkCaptionPixels(TControl* Control)
{
    const QImage image = Control->Widget()->grab().toImage();
    int dark = 0;
    for (int y = 4; y < image.height() - 4; ++y)
        for (int x = 4; x < image.width() - 4; ++x)
            if (qGray(image.pixel(x, y)) < 80)
                ++dark;
    return dark;
}

TEST_F(DamagedFilesTest, CommandsThatNeedAClientLookDisabledWithoutOne)
{
    Start();
    int prints = 0;
    MenuForms.Print = [&] { ++prints; };
    MenuForms.ClientBasic = [&](bool) { ADD_FAILURE() << "client form shown"; };
    MenuForms.EmployeeStart = [&] { ADD_FAILURE() << "recipient form shown"; };
    for (const char* number : {"01", "02", "03", "06"})
        TypeText(FTotStart, number);
    EXPECT_EQ(prints, 0);
    EXPECT_THAT(Shown(), IsEmpty());
    QCoreApplication::processEvents();
    for (TControl* off :
         std::initializer_list<TControl*> {FTotStart->KVButton1, FTotStart->KVButton2, FTotStart->KVButton3,
                                           FTotStart->KVButton6, FTotStart->BitBtn1}) {
        SCOPED_TRACE(off->Name());
        EXPECT_FALSE(off->Enabled());
        EXPECT_EQ(DarkCaptionPixels(off), 0);
    }
    for (TControl* on : std::initializer_list<TControl*> {FTotStart->KVButton4, FTotStart->KVButton5})
        EXPECT_GT(DarkCaptionPixels(on), 20) << on->Name();
}

}  // namespace
