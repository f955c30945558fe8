// The main menu: its states with and without a client, its keyboard commands,
// the change to a new client and the close that ends the program.

#include <gmock/gmock.h>

#include <QImage>

#include "app/smalldialogs.h"
#include "platform/rtl/fileops.h"
#include "platform/rtl/strutils.h"
#include "tests/support/screenshots.h"
#include "tests/support/shellfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using MainMenuTest = ShellFixture;

std::vector<bool> Enabled()
{
    std::vector<bool> states;
    for (TControl* c :
         {FTotStart->KVButton1, FTotStart->KVButton2, FTotStart->KVButton3, FTotStart->KVButton4,
          FTotStart->KVButton5, FTotStart->KVButton6, FTotStart->KVButton7})
        states.push_back(c->Enabled());
    states.push_back(FTotStart->BitBtn1->Enabled());
    return states;
}

// The pick list's rows as "ID|NAME|PATH|YEAR".
std::vector<String> PickList()
{
    std::vector<String> rows;
    DClientDataBase->OpenClientList();
    TDaroruTable* list = DClientDataBase->tblClientList;
    for (list->First(); !list->Eof(); list->Next()) {
        String row;
        for (const char* field : {"ID", "NAME", "PATH", "YEAR"})
            row += (row.empty() ? "" : "|") + Trim(list->FieldByName(field)->AsString());
        rows.push_back(row);
    }
    DClientDataBase->CloseClientList();
    return rows;
}

TEST_F(MainMenuTest, FirstStartOffersOnlyTheCommandsWithoutAClient)
{
    Start();
    EXPECT_EQ(FTotStart->Caption(), "1099 Totamund Main");
    EXPECT_TRUE(FTotStart->Widget()->isVisible());
    EXPECT_THAT(Enabled(), ElementsAre(false, false, false, true, true, false, true, false));
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- ");
    EXPECT_TRUE(FileExists(Dir / "CLIENTLIST.DBF"));
    EXPECT_THAT(PickList(), IsEmpty());
    EXPECT_EQ(FTotStart->KVLabel1->Caption(), "[01]  Client Information");
    EXPECT_EQ(FTotStart->KVLabel7->Caption(), "[07]  Year-End-Update");
    EXPECT_THAT(Shown(), IsEmpty());
}

TEST_F(MainMenuTest, TypedNumbersPressTheEnabledButtons)
{
    Start();
    int configurations = 0;
    MenuForms.Configuration = [&] { ++configurations; };
    TypeText(FTotStart, "01");  // no client: disabled
    TypeText(FTotStart, "05");
    TypeText(FTotStart, "06");  // disabled as well
    TypeText(FTotStart, "02");
    EXPECT_EQ(configurations, 1);
    EXPECT_THAT(Shown(), IsEmpty());
    // A command whose form this build lacks says so.
    MenuForms.Configuration = nullptr;
    TypeText(FTotStart, "05");
    EXPECT_THAT(Shown(), ElementsAre(NotAvailableMessage));
}

TEST_F(MainMenuTest, StoredClientIsOpenedAndNamedInTheBanner)
{
    StartOnClient("08ACME", "ACME SUPPLY");
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- ACME SUPPLY");
    EXPECT_THAT(Enabled(), ElementsAre(true, true, true, true, true, true, true, true));
    EXPECT_TRUE(DClientDataBase->tblClient->Active());
}

TEST_F(MainMenuTest, StoredClientWithoutTablesIsOfferedForCreation)
{
    StartMain();
    FMain->User->ClientID = "08GONE";
    for (int i = 0; i < 3; ++i)
        Dialogs.AnswerMessage(mrYes);
    StartMenu();
    EXPECT_FALSE(Shown().empty());
    for (const char* table : {"CLIENT.DBF", "EMPLOYEE.DBF", "TOTTRANS.DBF"})
        EXPECT_TRUE(FileExists(Dir / "08GONE/" + table)) << table;
    EXPECT_EQ(FMain->User->ClientID, "08GONE");
    EXPECT_TRUE(DClientDataBase->tblClient->Active());
    EXPECT_TRUE(FTotStart->KVButton1->Enabled());
}

TEST_F(MainMenuTest, StoredClientThatCannotBeOpenedLeavesNoClient)
{
    StartMain();
    FMain->User->ClientID = "08GONE";
    for (int i = 0; i < 3; ++i)
        Dialogs.AnswerMessage(mrNo);
    StartMenu();
    EXPECT_FALSE(DirectoryExists(Dir / "08GONE"));
    EXPECT_THAT(Enabled(), ElementsAre(false, false, false, true, true, false, true, false));
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- ");
}

class NewClientTest : public MainMenuTest {
protected:
    void SetUp() override
    {
        MainMenuTest::SetUp();
        StartOnClient("08ACME", "ACME SUPPLY");
        MenuForms.ClientSelection = [](bool& NewClient) {
            NewClient = true;
            return true;
        };
        MenuForms.ClientBasic = [this](bool NewClient) {
            BasicShown.push_back(NewClient);
            DClientDataBase->tblClient->FieldByName("NAME1")->SetAsString("NEW CO");
        };
    }
    // Runs Change Client with ID typed into the prompt.
    void ChangeTo(const char* ID)
    {
        WhenShown<TFGetFileID>([this, ID](TFGetFileID* Form) {
            Prompt = Form->Label1->Caption();
            TypeText(Form, ID);
            PressKey(Form, Qt::Key_Return);
        });
        TypeText(FTotStart, "04");
    }
    std::vector<bool> BasicShown;
    String Prompt;
};

TEST_F(NewClientTest, NewClientGetsItsTablesAndItsPickListRow)
{
    ChangeTo("08new");
    EXPECT_EQ(Prompt, "Enter Unique File ID (i.e. 08CLIENT)");
    EXPECT_THAT(BasicShown, ElementsAre(true));
    EXPECT_EQ(FMain->User->ClientID, "08NEW");
    EXPECT_TRUE(FileExists(Dir / "08NEW/CLIENT.DBF"));
    EXPECT_EQ(Trim(DClientDataBase->tblClient->FieldByName("ID")->AsString()), "08NEW");
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- NEW CO");
    EXPECT_THAT(PickList(), ElementsAre("08NEW|NEW CO|" + Dir / "08NEW|"));
    EXPECT_THAT(Shown(), IsEmpty());
}

TEST_F(NewClientTest, NoIDOrAnIDInUseLeavesTheCurrentClient)
{
    MakeClient("08OLD", "OLD CO");
    const String payer = Dir.Read("08OLD/CLIENT.DBF");
    for (const char* id : {"", "08old", "../x"}) {
        Dialogs.Messages.clear();
        ChangeTo(id);
        ASSERT_EQ(Shown().size(), 1u) << id;
        EXPECT_EQ(FMain->User->ClientID, "08ACME");
        EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- ACME SUPPLY");
    }
    EXPECT_EQ(Dir.Read("08OLD/CLIENT.DBF"), payer);
    EXPECT_THAT(BasicShown, IsEmpty());
    EXPECT_FALSE(DirectoryExists(Dir / "x"));
    Dialogs.Messages.clear();
    ChangeTo("");
    EXPECT_THAT(Shown(), ElementsAre("A file name was not entered.  Create was aborted."));
}

TEST_F(NewClientTest, ChoosingAClientFromTheListMakesItCurrent)
{
    MakeClient("08OLD", "OLD CO");
    String chosen;
    MenuForms.ClientSelection = [&chosen](bool& NewClient) {
        NewClient = false;
        TDaroruTable* list = DClientDataBase->tblClientList;
        list->Append();
        list->FieldByName("ID")->SetAsString(chosen);
        list->Post();
        return true;
    };
    // A row that cannot name a client directory keeps the current client.
    chosen = "../08OLD";
    TypeText(FTotStart, "04");
    EXPECT_EQ(Shown().size(), 1u);
    EXPECT_EQ(FMain->User->ClientID, "08ACME");
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- ACME SUPPLY");

    chosen = "08OLD";
    DeleteFile(Dir / "08OLD/EMPLOYEE.CDX");
    TypeText(FTotStart, "04");
    EXPECT_EQ(FMain->User->ClientID, "08OLD");
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- OLD CO");
    // Every change of client rebuilds its index files.
    EXPECT_TRUE(FileExists(Dir / "08OLD/EMPLOYEE.CDX"));
}

// The transaction grid shows the chosen recipient's transactions only, not those
// of recipients whose IDs begin with the same characters.
TEST_F(NewClientTest, TransactionsShowOnlyTheChosenRecipient)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    for (const char* id : {"A", "AB"}) {
        recipients->Append();
        recipients->FieldByName("ID")->SetAsString(id);
        recipients->Post();
    }
    for (const char* id : {"A", "AB", "AB", "A"}) {
        transactions->Append();
        transactions->FieldByName("EMP_ID")->SetAsString(id);
        transactions->Post();
    }
    bool cancel = true;
    MenuForms.RecipientLookup = [&] {
        recipients->Locate("ID", Variant("A"), TLocateOptions());
        return !cancel;
    };
    std::vector<String> shown;
    MenuForms.Transactions = [&] {
        for (transactions->First(); !transactions->Eof(); transactions->Next())
            shown.push_back(Trim(transactions->FieldByName("EMP_ID")->AsString()));
    };
    TypeText(FTotStart, "03");
    EXPECT_THAT(shown, IsEmpty());
    EXPECT_FALSE(transactions->Filtered());
    cancel = false;
    TypeText(FTotStart, "03");
    EXPECT_THAT(shown, ElementsAre("A", "A"));
}

TEST_F(MainMenuTest, ClosingWith99SavesTheSettingsAndEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
            {
                Start();
                FMain->Networking = true;
                FMain->User->ClientID = "08ACME";
                TypeText(FTotStart, "99");
                QCoreApplication::processEvents();
                TUser saved;
                saved.Load(Dir / "ACCT2.USR");
                std::exit(Application->Terminated() && saved.ClientID == "08ACME" &&
                                          Dir.Read("NETWORK.DTA") == "ACCT2\r\n"
                                  ? 7
                                  : 1);
            },
            ::testing::ExitedWithCode(7), "");
}

// The main window with the main menu, for a person to look at.
TEST_F(MainMenuTest, Screenshot)
{
    Start();
    FMain->SetWindowState(wsNormal);
    FMain->SetBounds(0, 0, 1024, 700);
    QCoreApplication::processEvents();
    const QImage image = FMain->Widget()->window()->grab().toImage();
    ASSERT_FALSE(image.isNull());
    KeepScreenshot(image, "main-menu.png");
}

}  // namespace
