// The client pick list driven by keys: searching by ID and by name, paging, the keys
// that close it, and deleting a client with its tables.

#include <gmock/gmock.h>

#include "platform/rtl/fileops.h"
#include "platform/vcl/forms/keys.h"
#include "tests/maintenance/clientformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class ClientSelectionTest : public ClientFormsFixture {
protected:
    // Shows the pick list as the main menu does; Steps runs once it is up.
    bool Run(const std::function<void(TFClientSelection*)>& Steps)
    {
        DClientDataBase->OpenClientList();
        FMain->DaroruEnv1->SetSoftSeek(true);
        TDaroruTable* list = DClientDataBase->tblClientList;
        list->SetOrder(list->TagArea("ID"));
        WhenShown<TFClientSelection>([Steps](TFClientSelection* Form) {
            Steps(Form);
            // A step that left the form open ends it here.
            if (Form->Modal() && Form->ModalResult() == mrNone)
                Form->SetModalResult(mrAbort);
        });
        NewClient = true;
        return ShowClientSelection(NewClient);
    }
    static String CurrentID()
    {
        TDaroruTable* list = DClientDataBase->tblClientList;
        return list->Active() ? Trim(list->FieldByName("ID")->AsString()) : String("<closed>");
    }
    void TearDown() override
    {
        DClientDataBase->CloseClientList();
        ClientFormsFixture::TearDown();
    }
    bool NewClient = false;
};

TEST_F(ClientSelectionTest, TypingSearchesByIDAndByNameToTheNearestKey)
{
    Start();
    AddPickListRows({{"08ACME", "ACME SUPPLY"}, {"08BETA", "BETA CORP"}, {"09ACME", "ZETA ACME"}});
    std::vector<String> seen;
    const bool chosen = Run([&](TFClientSelection* Form) {
        EXPECT_EQ(Form->Caption(), "Client Selection");
        EXPECT_EQ(Form->ActiveControl(), Form->Edit1);
        TypeText(Form, "08B");
        seen.push_back(CurrentID());
        PressKey(Form, Qt::Key_Backspace);
        TypeText(Form, "C");  // no such key: the next one
        seen.push_back(CurrentID());
        PressKey(Form, Qt::Key_Tab);  // the name search
        TypeText(Form, "BE");
        seen.push_back(CurrentID());
        TypeText(Form, "TZ");
        seen.push_back(CurrentID());
        PressKey(Form, Qt::Key_Backspace);
        PressKey(Form, Qt::Key_Backspace);
        PressKey(Form, Qt::Key_Backspace);
        TypeText(Form, "Z");
        seen.push_back(CurrentID());
        SaveScreenshot(Form, "client-pick-list.png");
        PressKey(Form, Qt::Key_Return);
    });
    EXPECT_TRUE(chosen);
    EXPECT_FALSE(NewClient);
    EXPECT_THAT(seen, ElementsAre("08BETA", "09ACME", "08BETA", "09ACME", "09ACME"));
    EXPECT_EQ(CurrentID(), "09ACME");
}

TEST_F(ClientSelectionTest, PagingMovesThirteenRowsAndStopsAtTheEnds)
{
    Start();
    std::vector<std::pair<String, String>> rows;
    for (int i = 1; i <= 20; ++i)
        rows.push_back({(i < 10 ? "C0" : "C") + IntToStr(i), "CLIENT " + IntToStr(i)});
    AddPickListRows(rows);
    std::vector<String> seen;
    Run([&](TFClientSelection* Form) {
        TypeText(Form, "C01");
        for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_Up,
                            Qt::Key_PageUp, Qt::Key_Up, Qt::Key_Down}) {
            PressKey(Form, key);
            seen.push_back(CurrentID());
        }
        PressKey(Form, Qt::Key_Escape);
    });
    EXPECT_THAT(seen, ElementsAre("C14", "C20", "C20", "C07", "C06", "C01", "C01", "C02"));
}

TEST_F(ClientSelectionTest, KeysThatCloseTheList)
{
    Start();
    AddPickListRows({{"08ACME", "ACME SUPPLY"}, {"08BETA", "BETA CORP"}});
    struct Case {
        const char* Name;
        std::function<void(TFClientSelection*)> Keys;
        bool Chosen, NewClient;
    } cases[] = {
            {"Enter", [](TFClientSelection* F) { PressKey(F, Qt::Key_Return); }, true, false},
            {"Enter in the grid",
             [](TFClientSelection* F) {
                 F->dwDBGrid1->SetFocus();
                 PressKey(F, Qt::Key_Down);
                 PressKey(F, Qt::Key_Return);
             },
             true, false},
            {"New",
             [](TFClientSelection* F) {
                 F->BitBtn3->SetFocus();
                 PressKey(F, Qt::Key_Return);
             },
             true, true},
            {"Esc", [](TFClientSelection* F) { PressKey(F, Qt::Key_Escape); }, false, false},
            {"slash", [](TFClientSelection* F) { TypeText(F, "08/"); }, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Run(c.Keys), c.Chosen);
        EXPECT_EQ(NewClient, c.NewClient);
    }
}

TEST_F(ClientSelectionTest, AnEmptyListOffersNoClientToChoose)
{
    Start();
    bool stayed = false;
    const bool chosen = Run([&](TFClientSelection* Form) {
        TypeText(Form, "08");
        PressKey(Form, Qt::Key_PageDown);
        PressKey(Form, Qt::Key_Return);
        stayed = Form->Modal();
        PressKey(Form, Qt::Key_Escape);
    });
    EXPECT_TRUE(stayed);
    EXPECT_FALSE(chosen);
    EXPECT_THAT(Shown(), IsEmpty());
}

// ---- Deleting a client

class DeleteClientTest : public ClientSelectionTest {
protected:
    void SetUp() override
    {
        ClientSelectionTest::SetUp();
        Start();
        MakeClient("08ACME", "ACME SUPPLY");
        FMain->User->ClientID = "08ACME";
        DClientDataBase->OpenClient();
        MakeClient("08OLD", "OLD CO");
        MakeClient("09NEW", "NEW CO");
        AddPickListRows({{"08ACME", "ACME SUPPLY"}, {"08OLD", "OLD CO"}, {"09NEW", "NEW CO"}});
        Dir.Write("08OLD/NOTES.TXT", "kept");
    }
    // Presses Delete on the row of ID in the pick list; the form stays open for Then.
    void DeleteRow(const char* ID, const std::function<void(TFClientSelection*)>& Then = nullptr)
    {
        Run([&](TFClientSelection* Form) {
            TypeText(Form, ID);
            Form->dwDBGrid1->SetFocus();
            PressKey(Form, Qt::Key_Delete);
            if (Then)
                Then(Form);
            PressKey(Form, Qt::Key_Escape);
        });
    }
    std::vector<bool> OldFiles() const
    {
        std::vector<bool> present;
        for (const char* file :
             {"CLIENT.DBF", "TOTTRANS.DBF", "TOTTRANS.CDX", "EMPLOYEE.DBF", "EMPLOYEE.CDX"})
            present.push_back(FileExists(Dir / "08OLD/" + file));
        return present;
    }
    const std::vector<String> AllRows {"08ACME|ACME SUPPLY|" + Dir / "08ACME",
                                       "08OLD|OLD CO|" + Dir / "08OLD", "09NEW|NEW CO|" + Dir / "09NEW"};
};

TEST_F(DeleteClientTest, DeletingRemovesTheTablesAndTheRowAndRebuildsTheList)
{
    Dialogs.AnswerMessage(mrYes);
    std::vector<String> rows;
    String caption;
    DeleteRow("08OLD", [&](TFClientSelection* Form) {
        rows = PickList();
        caption = Form->Caption();
        EXPECT_EQ(DClientDataBase->tblClientList, Form->dwDBGrid1->DataSource()->DataSet());
    });
    EXPECT_THAT(Shown(),
                ElementsAre("Are you sure you want to delete OLD CO ?", "Client List Reconstruct Finished."));
    EXPECT_THAT(OldFiles(), ElementsAre(false, false, false, false, false));
    EXPECT_EQ(Dir.Read("08OLD/NOTES.TXT"), "kept");
    EXPECT_THAT(rows, ElementsAre(AllRows[0], AllRows[2]));
    EXPECT_EQ(caption, "Client Selection");
    EXPECT_TRUE(DClientDataBase->tblClient->Active());
    EXPECT_EQ(FMain->User->ClientID, "08ACME");
}

TEST_F(DeleteClientTest, DeletingIsRefusedForTheCurrentClientAndForAClientInUse)
{
    // No keeps everything; so does the current client, whatever its payer record says.
    Dialogs.AnswerMessage(mrNo);
    DeleteRow("08OLD");
    Dialogs.AnswerMessage(mrYes);
    DeleteRow("08ACME");
    {
        TOtherWorkstation other(Dir / "08OLD/EMPLOYEE.DBF", true);
        Dialogs.AnswerMessage(mrYes);
        DeleteRow("08OLD");
    }
    EXPECT_THAT(Shown(),
                ElementsAre("Are you sure you want to delete OLD CO ?",
                            "Are you sure you want to delete ACME SUPPLY ?",
                            "You cannot delete a client that is currently being used.",
                            "Are you sure you want to delete OLD CO ?",
                            "The client 08OLD is in use on another workstation.  Nothing was deleted."));
    EXPECT_THAT(OldFiles(), ElementsAre(true, true, true, true, true));
    EXPECT_TRUE(FileExists(Dir / "08ACME/CLIENT.DBF"));
    EXPECT_EQ(PickList(), AllRows);
}

TEST_F(DeleteClientTest, DeletingWaitsForTheListToBeFree)
{
    bool stayed = false;
    {
        TOtherWorkstation other(Dir / "CLIENTLIST.DBF", false);
        Dialogs.AnswerMessage(mrYes);
        DeleteRow("08OLD", [&](TFClientSelection* Form) {
            // The list is closed: the keys find nothing to move or choose.
            TypeText(Form, "0");
            PressKey(Form, Qt::Key_Down);
            PressKey(Form, Qt::Key_Return);
            stayed = Form->Modal();
        });
    }
    EXPECT_THAT(
            Shown(),
            ElementsAre("Are you sure you want to delete OLD CO ?",
                        "Unable to complete delete another user might be trying to access the client list."));
    EXPECT_TRUE(stayed);
    EXPECT_THAT(OldFiles(), ElementsAre(true, true, true, true, true));
    EXPECT_EQ(PickList(), AllRows);
}

}  // namespace
