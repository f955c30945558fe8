// The client form driven by keys: the road of a new client from the main menu, the
// same client edited through Client Info, the formatted fields and the guidance of a
// new client.

#include <gmock/gmock.h>

#include "app/smalldialogs.h"
#include "platform/rtl/fileops.h"
#include "tests/maintenance/clientformsfixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class ClientBasicTest : public ClientFormsFixture {
protected:
    // Shows the client form over the current client's row in edit state; Steps runs
    // once it is up.
    static void Run(bool NewClient, const std::function<void(TFClientBasic*)>& Steps)
    {
        DClientDataBase->tblClient->Edit();
        WhenShown<TFClientBasic>([Steps](TFClientBasic* Form) {
            Steps(Form);
            if (Form->Modal() && Form->ModalResult() == mrNone)
                Form->Close();
        });
        ShowClientBasic(NewClient);
    }
    // Starts with the client 08ACME current.
    void StartWithClient()
    {
        StartOnClient("08ACME", "ACME SUPPLY");
        AddPickListRows({{"08ACME", "ACME SUPPLY"}});
    }
};

TEST_F(ClientBasicTest, NewClientFromTheMainMenu)
{
    Start();
    std::vector<String> steps;
    WhenShown<TFClientSelection>([&](TFClientSelection* List) {
        WhenShown<TFGetFileID>([&](TFGetFileID* Prompt) {
            WhenShown<TFClientBasic>([&](TFClientBasic* Form) {
                EXPECT_EQ(Form->Caption(), "Client Information");
                EXPECT_EQ(Form->KVLabel10->Caption(), "[10]  Default Transaction Description");
                EXPECT_EQ(Form->ActiveControl(), Form->KVDBEdit1) << "a new client starts with its name";
                TypeText(Form, "ACME SUPPLY");
                PressKey(Form, Qt::Key_Return);
                steps.push_back(Payer("DEF_DESCR"));
                for (const char* text :
                     {"DIV 2", "1 MAIN ST", "", "ALBANY", "ny", "12207", "5185550100", "123456789"}) {
                    TypeText(Form, text);
                    PressKey(Form, Qt::Key_Return);
                }
                EXPECT_FALSE(Form->NewClient);
                EXPECT_EQ(Form->ActiveControl(), Form->KVCommander1->MouseFreeEdit());
                TypeText(Form, "08123456789");
                SaveScreenshot(Form, "client-form.png");
                TypeText(Form, "/");
            });
            TypeText(Prompt, "08acme");
            PressKey(Prompt, Qt::Key_Return);
        });
        List->BitBtn3->SetFocus();
        PressKey(List, Qt::Key_Return);
    });
    TypeText(FTotStart, "04");

    EXPECT_THAT(steps, ElementsAre("COMPENSATION ACME SUPPLY"));
    EXPECT_EQ(FMain->User->ClientID, "08ACME");
    for (const char* file : {"CLIENT.DBF", "EMPLOYEE.DBF", "EMPLOYEE.CDX", "TOTTRANS.DBF", "TOTTRANS.CDX"})
        EXPECT_TRUE(FileExists(Dir / "08ACME/" + file)) << file;
    EXPECT_THAT(PickList(), ElementsAre("08ACME|ACME SUPPLY|" + Dir / "08ACME"));
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- ACME SUPPLY");
    std::vector<String> payer;
    for (const char* field : {"ID", "NAME1", "NAME2", "ADDRESS1", "CITY", "STATE", "ZIP", "TELEPHONE",
                              "TAX_ID", "SSN", "DEF_DESCR"})
        payer.push_back(Payer(field));
    EXPECT_THAT(payer,
                ElementsAre("08ACME", "ACME SUPPLY", "DIV 2", "1 MAIN ST", "ALBANY", "NY", "12207",
                            "(518) 555-0100", "12-3456789", "123-45-6789", "COMPENSATION ACME SUPPLY"));
    EXPECT_THAT(Shown(), IsEmpty());

    // Client Info edits the same client later; its pick-list row follows the name.
    WhenShown<TFClientBasic>([&](TFClientBasic* Form) {
        EXPECT_FALSE(Form->NewClient);
        EXPECT_EQ(Form->ActiveControl(), Form->KVCommander1->MouseFreeEdit());
        TypeText(Form, "01");
        PressKey(Form, Qt::Key_End);
        for (int i = 0; i < 6; ++i)
            PressKey(Form, Qt::Key_Backspace);
        TypeText(Form, "HOLDINGS");
        TypeText(Form, "*10");
        TypeText(Form, "RENT/");
    });
    TypeText(FTotStart, "01");
    EXPECT_EQ(Payer("NAME1"), "ACME HOLDINGS");
    EXPECT_EQ(Payer("DEF_DESCR"), "RENT") << "a field chosen by number is typed over";
    EXPECT_THAT(PickList(), ElementsAre("08ACME|ACME HOLDINGS|" + Dir / "08ACME"));
    EXPECT_EQ(FTotStart->Label1->Caption(), "Current Client -- ACME HOLDINGS");
    EXPECT_EQ(DClientDataBase->tblClient->State(), dsBrowse);
}

TEST_F(ClientBasicTest, NumbersAreFormattedWhenTheirDigitsFit)
{
    StartWithClient();
    struct Case {
        const char* Number;
        const char* Field;
        const char* Typed;
        const char* Stored;
    } cases[] = {
            {"06", "TELEPHONE", "2125550123", "(212) 555-0123"},
            {"06", "TELEPHONE", "(212)5550123", "(212)5550123"},
            {"07", "TAX_ID", "123456789", "12-3456789"},
            {"07", "TAX_ID", "12345", "12345"},
            {"08", "SSN", "123 45 6789", "123-45-6789"},
            {"08", "SSN", "1234567890", "1234567890"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Typed);
        DClientDataBase->tblClient->Edit();
        DClientDataBase->tblClient->FieldByName(c.Field)->SetAsString("");
        Run(false, [&](TFClientBasic* Form) {
            TypeText(Form, c.Number);
            TypeText(Form, c.Typed);
            TypeText(Form, "/");
        });
        EXPECT_EQ(Payer(c.Field), c.Stored);
        EXPECT_EQ(Payer("DEF_DESCR"), "") << "only a new client gets a proposed description";
        DClientDataBase->tblClient->Cancel();
    }
}

TEST_F(ClientBasicTest, NewClientDescriptionIsProposedOnlyWhenEmpty)
{
    StartWithClient();
    // Left, changed and left again: the first proposal stays.
    Run(true, [](TFClientBasic* Form) {
        TypeText(Form, "ACME");
        PressKey(Form, Qt::Key_Return);
        TypeText(Form, "*01ACME CO*");
    });
    EXPECT_EQ(Payer("NAME1"), "ACME CO");
    EXPECT_EQ(Payer("DEF_DESCR"), "COMPENSATION ACME");
    DClientDataBase->tblClient->Cancel();

    // A description typed first is kept.
    DClientDataBase->tblClient->Edit();
    DClientDataBase->tblClient->FieldByName("DEF_DESCR")->SetAsString("RENT");
    Run(true, [](TFClientBasic* Form) {
        TypeText(Form, "ACME");
        PressKey(Form, Qt::Key_Return);
    });
    EXPECT_EQ(Payer("DEF_DESCR"), "RENT");
    DClientDataBase->tblClient->Cancel();

    // Once the tax ID has been left, the form no longer pulls the focus to the name.
    Run(true, [](TFClientBasic* Form) {
        TypeText(Form, "*07");
        PressKey(Form, Qt::Key_Return);
        EXPECT_FALSE(Form->NewClient);
        TWinControl* entry = Form->KVCommander1->MouseFreeEdit();
        EXPECT_EQ(Form->ActiveControl(), entry);
        Form->FormPaint(Form);
        EXPECT_EQ(Form->ActiveControl(), entry);
    });
    DClientDataBase->tblClient->Cancel();
}

}  // namespace
