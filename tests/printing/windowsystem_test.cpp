// The program under the window system's close requests: while a form of the program
// is modal, the main window and the menu refuse to close, so nothing under the form
// ends the program; the form stays up and is finished as the user wants.

#include <gmock/gmock.h>

#include "datacontrols/lookup/dwidlg.h"
#include "maintenance/edittrans.h"
#include "maintenance/employeebasic.h"
#include "maintenance/employeestart.h"
#include "maintenance/transactions.h"
#include "printing/print.h"
#include "program/programforms.h"
#include "tests/support/shellfixture.h"

namespace {

class WindowSystemTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        StartOnClient("08ACME", "ACME SUPPLY");
        InstallForms();
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        recipients->Append();
        recipients->FieldByName("ID")->SetAsString("A1");
        recipients->FieldByName("NAME1")->SetAsString("JOHN SMITH");
        recipients->FieldByName("TRANS_TYPE")->SetAsString("N");
        recipients->Post();
    }

    // The window system asks the main window and the menu to close while Form is modal;
    // what is up afterwards.
    static String AskTheWindowsBehindToClose(TCustomForm* Form)
    {
        RequestClose(FMain);
        RequestClose(FTotStart);
        QCoreApplication::processEvents();
        return String(FMain->Visible() ? "main window up" : "main window gone") +
               (FTotStart->Visible() ? ", menu up" : ", menu gone") +
               (Form->Visible() && Form->Modal() ? ", form up" : ", form gone") +
               (Application->Terminated() ? ", ended" : ", running");
    }
};

TEST_F(WindowSystemTest, TheWindowsBehindAModalFormRefuseToClose)
{
    struct TCase {
        const char* Form;
        std::function<void(String&)> Open;  // from the menu, by keys; notes what is up
    };
    const TCase cases[] = {
            {"payment form",
             [](String& Up) {
                 WhenUp<TdwLookupDlg>([](TdwLookupDlg* Lookup) {
                     TypeText(Lookup, "A1");
                     PressKey(Lookup, Qt::Key_Return);
                 });
                 WhenUp<TFTransactions>([&Up](TFTransactions* Grid) {
                     WhenUp<TFEditTrans>([&Up](TFEditTrans* Editor) {
                         Up = AskTheWindowsBehindToClose(Editor);
                         ClickControl(Editor->BitBtn4);  // Cancel
                     });
                     ClickControl(Grid->BitBtn1);  // New Trans.
                     TypeText(Grid, "/");
                 });
                 TypeText(FTotStart, "03");
             }},
            {"recipient form",
             [](String& Up) {
                 WhenUp<TFEmployeeStart>([&Up](TFEmployeeStart* List) {
                     WhenUp<TFEmployeeBasic>([&Up](TFEmployeeBasic* Recipient) {
                         Up = AskTheWindowsBehindToClose(Recipient);
                         TypeText(Recipient, "/");
                     });
                     PressKey(List, Qt::Key_Return);  // from the empty search to the list
                     PressKey(List, Qt::Key_Return);  // the recipient
                 });
                 TypeText(FTotStart, "02");
             }},
            {"print selection",
             [](String& Up) {
                 WhenUp<TFPrint>([&Up](TFPrint* Print) {
                     Up = AskTheWindowsBehindToClose(Print);
                     TypeText(Print, "/");
                 });
                 TypeText(FTotStart, "06");
             }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Form);
        String up = "never up";
        c.Open(up);
        EXPECT_EQ(up, "main window up, menu up, form up, running");
        EXPECT_FALSE(Application->Terminated());
        EXPECT_EQ(TCustomForm::InnermostModalForm(), nullptr) << "the form closed by its own keys";
    }
}

}  // namespace
