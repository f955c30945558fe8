// The client pick list driven by keys: searching by ID and by name, paging, the keys
// that close it, and deleting a client with its tables.

#include <gmock/gmock.h>

#include "platform/rtl/fileops.h"
#include "platform/vcl/keys.h"
#include "tests/maintenance/clientformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class ClientSelectionTest : public ClientFormsFixture {
protected:
    // Shows the pick list as the main menu does; Steps runs once it is up.
    bool Run(const std::function<void(TFClientSelection*)>& Steps) {
        DClientDataBase->OpenClientList();
        FMain->DaroruEnv1->SetSoftSeek(true);
        TDaroruTable* list = DClientDataBase->tblClientList;
        list->SetOrder(list->TagArea("ID"));
        WhenShown<TFClientSelection>([Steps](TFClientSelection* Form) {
            Steps(Form);
            // A step that left the form open ends it here.
            if (Form->Modal() && Form->ModalResult() == mrNone) Form->SetModalResult(mrAbort);
        });
        NewClient = true;
        return ShowClientSelection(NewClient);
    }
    static String CurrentID() {
        TDaroruTable* list = DClientDataBase->tblClientList;
        return list->Active() ? Trim(list->FieldByName("ID")->AsString()) : String("<closed>");
    }
    void TearDown() override {
        DClientDataBase->CloseClientList();
        ClientFormsFixture::TearDown();
    }
    bool NewClient = false;
};

TEST_F(ClientSelectionTest, TypingSearchesByIDAndByNameToTheNearestKey) {
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
        Screenshot(Form, "client-pick-list.png");
        PressKey(Form, Qt::Key_Return);
    });
    EXPECT_TRUE(chosen);
    EXPECT_FALSE(NewClient);
    EXPECT_THAT(seen, ElementsAre("08BETA", "09ACME", "08BETA", "09ACME", "09ACME"));
    EXPECT_EQ(CurrentID(), "09ACME");
}

TEST_F(ClientSelectionTest, PagingMovesThirteenRowsAndStopsAtTheEnds) {
    Start();
    std::vector<std::pair<String, String>> rows;
    for (int i = 1; i <= 20; ++i) rows.push_back({(i < 10 ? "C0" : "C") + IntToStr(i), "CLIENT " + IntToStr(i)});
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

TEST_F(ClientSelectionTest, KeysThatCloseTheList) {
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

TEST_F(ClientSelectionTest, AnEmptyListOffersNoClientToChoose) {
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

}  // namespace
