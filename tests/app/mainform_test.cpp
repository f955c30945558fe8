// The main window's start-up and shut-down: settings, networking marker,
// registry look-ups and the temporary page files.

#include <gmock/gmock.h>

#include "app/programrun.h"
#include "controls/opendocument.h"
#include "platform/rtl/fileops.h"
#include "tests/support/shellfixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

using MainFormTest = ShellFixture;

void StoreSettings(const String& FileName, const String& ClientID, const String& MoneyDir = "")
{
    TUser user;
    user.ClientID = ClientID;
    user.MoneyProgramDir = MoneyDir;
    user.Save(FileName);
}

String StoredClient(const String& FileName)
{
    TUser user;
    user.Load(FileName);
    return user.ClientID;
}

TEST_F(MainFormTest, FreshStartHasEmptySettingsInTheProgramDirectory)
{
    Registry.Set("SOFTWARE\\KORVANE\\", "KPX Program Path", "C:\\KPX");
    Registry.Set("SOFTWARE\\KORVANE\\", "KVGL Program Path", "C:\\KVGL\\");
    StartMain();
    EXPECT_FALSE(FMain->StartFailed);
    EXPECT_EQ(FMain->Caption(), "Korvane 1099 Totamund - Version 08-01.01.08");
    EXPECT_EQ(FMain->ProgramDir, Dir.Path());
    EXPECT_EQ(FMain->DataDir, Dir.Path());
    EXPECT_EQ(FMain->Today, "12-31-2008");
    EXPECT_EQ(FMain->User->LastRunDate, "12-31-2008");
    EXPECT_EQ(FMain->User->ClientID, "");
    EXPECT_FALSE(FMain->Networking);
    EXPECT_EQ(FMain->ComputerName, "ACCT2");
    EXPECT_EQ(ShortDateFormat, "mm/dd/yyyy");
    EXPECT_EQ(FormatDateTime("ddddd", EncodeDate(2009, 1, 2)), "01/02/2009");
    // A value gets one backslash more, whether or not it has one already.
    EXPECT_EQ(FMain->User->MoneyProgramDir, "C:\\KPX\\");
    EXPECT_EQ(FMain->User->LedgerProgramDir, "C:\\KVGL\\\\");
    EXPECT_EQ(FMain->User->PayrollProgramDir, "");
    ASSERT_NE(DClientDataBase, nullptr);
    EXPECT_EQ(DClientDataBase->DataDir, Dir.Path());
    EXPECT_THAT(Shown(), IsEmpty());
}

TEST_F(MainFormTest, StoredSiblingDirectoryIsKeptOverTheRegistry)
{
    StoreSettings(Dir / "TOTUSER.USR", "08ACME", "/opt/kpx/");
    Registry.Set("SOFTWARE\\KORVANE\\", "KPX Program Path", "C:\\KPX");
    StartMain();
    EXPECT_EQ(FMain->User->MoneyProgramDir, "/opt/kpx/");
    EXPECT_EQ(FMain->User->ClientID, "08ACME");
}

// Which settings file is read and written, and what becomes of NETWORK.DTA.
struct NetworkCase {
    const char* Name;
    bool MarkerAtStart;
    const char* Computer;
    bool NetworkingAtClose;
    bool LoadsOwnFile;    // ACCT2.USR rather than TOTUSER.USR
    const char* SavedTo;  // the file written at close
    const char* Marker;   // NETWORK.DTA afterwards
};

class NetworkingTest : public ShellFixture, public ::testing::WithParamInterface<NetworkCase> { };

TEST_P(NetworkingTest, SettingsFileAndMarkerFollowTheMode)
{
    const NetworkCase& c = GetParam();
    TFixedHostInfo host(c.Computer);
    StoreSettings(Dir / "TOTUSER.USR", "SHARED");
    StoreSettings(Dir / "ACCT2.USR", "OWN");
    if (c.MarkerAtStart)
        Dir.Write("NETWORK.DTA", "OTHER\r\n");
    StartMain();
    EXPECT_EQ(FMain->User->ClientID, c.LoadsOwnFile ? "OWN" : "SHARED");
    EXPECT_EQ(FMain->Networking, c.LoadsOwnFile);

    FMain->Networking = c.NetworkingAtClose;
    FMain->User->ClientID = "SAVED";
    TCloseAction action = caHide;
    FMain->FormClose(FMain, action);
    EXPECT_EQ(StoredClient(Dir / c.SavedTo), "SAVED");
    const String other = String(c.SavedTo) == "ACCT2.USR" ? "TOTUSER.USR" : "ACCT2.USR";
    EXPECT_NE(StoredClient(Dir / other), "SAVED");
    EXPECT_EQ(Dir.Read("NETWORK.DTA"), c.Marker);
}

INSTANTIATE_TEST_SUITE_P(
        Modes, NetworkingTest,
        ::testing::Values(
                NetworkCase {"MarkerAndName", true, "ACCT2", true, true, "ACCT2.USR", "ACCT2\r\n"},
                NetworkCase {"SwitchedOff", true, "ACCT2", false, true, "TOTUSER.USR", "<missing>"},
                NetworkCase {"SwitchedOn", false, "ACCT2", true, false, "ACCT2.USR", "ACCT2\r\n"},
                NetworkCase {"MarkerWithoutName", true, "", false, false, "TOTUSER.USR", "<missing>"},
                NetworkCase {"NoNameKeepsMarker", true, "", true, false, "TOTUSER.USR", "OTHER\r\n"}),
        [](const auto& Info) { return String(Info.param.Name); });

TEST_F(MainFormTest, TempPrintFilesAreDeletedInAnyCase)
{
    for (const char* name : {"PRN00001.PRN", "prv0001.bmp", "BMP00001.BMP", "WMF00001.WMF", "PRNX.TXT"})
        Dir.Write(name, "x");
    StartMain();
    FMain->PageFileNumber = 5;
    FMain->DeleteTempPrintFiles();
    EXPECT_EQ(FMain->PageFileNumber, 0);
    EXPECT_THAT(ListFiles(Dir.Path(), "*.*"), ElementsAre("PRNX.TXT", "WMF00001.WMF"));
}

TEST_F(MainFormTest, HelpAndSupportOpenTheirFilesInTheProgramDirectory)
{
    TRecordingLauncher launcher;
    StartMain();
    FMain->Help1->Click();  // no help file: the user is told where a copy would go
    EXPECT_THAT(Shown(), ElementsAre(NoHelpFileMessage(Dir / "DIRUZU.ZIV")));
    Dir.Write("DIRUZU.ZIV", "help");
    Dir.Write("status.txt", "support");
    FMain->Help1->Click();
    FMain->Support1->Click();
    EXPECT_THAT(launcher.Opened, ElementsAre(Dir / "DIRUZU.ZIV", Dir / "status.txt"));
    EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(MainFormTest, UnusableProgramDirectoryStopsWithAReason)
{
    TFMain::ProgramDirOverride = Dir / "gone/";
    StartMain();
    EXPECT_TRUE(FMain->StartFailed);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_THAT(Shown()[0], HasSubstr(Dir / "gone/"));
    EXPECT_THAT(Shown()[0], HasSubstr("cannot be written"));
    TCloseAction action = caHide;
    FMain->FormClose(FMain, action);
    EXPECT_FALSE(DirectoryExists(Dir / "gone/"));
}

TEST_F(MainFormTest, UnusableProgramDirectoryEndsTheProcessWithAFailure)
{
    TFMain::ProgramDirOverride = Dir / "gone/";
    bool installed = false;
    EXPECT_EQ(RunProgram([&] { installed = true; }), EXIT_FAILURE);
    EXPECT_FALSE(installed);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_THAT(Shown()[0], HasSubstr("cannot be written"));
}

TEST(LockingProblem, LocksWorkInALocalDirectory)
{
    TempDir dir;
    EXPECT_EQ(LockingProblem(dir.Path()), "");
    EXPECT_THAT(ListFiles(dir.Path(), "*.*"), IsEmpty());
}

}  // namespace
