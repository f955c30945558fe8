// The print selection form opened with main menu 06 and driven with keys, its
// form routines replaced by recorders: what each button runs, in which order, for
// which recipients, with which progress; the print dialog and the lookup on the
// way; the totals brought up to date when it opens.

#include <gmock/gmock.h>

#include <QImage>
#include <fstream>
#include <set>

#include "app/smalldialogs.h"
#include "datacontrols/lookup/dwidlg.h"
#include "platform/rtl/fileops.h"
#include "printing/formpages.h"
#include "printing/print.h"
#include "tests/printing/desktopdialogs.h"
#include "tests/support/screenshots.h"
#include "tests/support/shellfixture.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

struct TRecipient {
    const char* ID;
    const char* Name;
    const char* Last;
    const char* Type;
    const char* TermDate;
};

// In the order they are entered; the last names give another order, and the
// 1099-MISC recipients fill one sheet of two and one of one.
constexpr TRecipient Recipients[] = {
        {"M1", "CAROL YOUNG", "YOUNG", "N", ""},
        {"I1", "BOB AMES", "AMES", "I", ""},
        {"M2", "ANN MILLER", "MILLER", "R", "06/30/2008"},
        {"M3", "DAN BAKER", "BAKER", "N", ""},
        {"I2", "EVE CROSS", "CROSS", "I", ""},
};

// The progress form of the run going on: "position/maximum", or "-" without one.
String Progress()
{
    for (int i = 0; i < Screen()->FormCount(); ++i) {
        if (auto* status = dynamic_cast<TFCreateStatus*>(Screen()->Forms(i)); status && status->Visible())
            return IntToStr(status->ProgressBar1->Position()) + "/" + IntToStr(status->ProgressBar1->Max());
    }
    return "-";
}

TFPrint* OpenForm()
{
    for (int i = 0; i < Screen()->FormCount(); ++i) {
        if (auto* form = dynamic_cast<TFPrint*>(Screen()->Forms(i)))
            return form;
    }
    return nullptr;
}

class PrintFormTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        StartOnClient("08ACME", "ACME SUPPLY");
        MenuForms.Print = ShowPrint;
        SavedRoutines = PrintRoutines;
        PrintRoutines = Recorders();
        TDaroruTable* employees = DClientDataBase->tblEmployee;
        for (const TRecipient& r : Recipients) {
            employees->Append();
            employees->FieldByName("ID")->SetAsString(r.ID);
            employees->FieldByName("NAME1")->SetAsString(r.Name);
            employees->FieldByName("LAST")->SetAsString(r.Last);
            employees->FieldByName("TRANS_TYPE")->SetAsString(r.Type);
            employees->FieldByName("TERM_DATE")->SetAsString(r.TermDate);
            employees->Post();
        }
        // The recipients' current order is the one the copies go by, one after the other.
        employees->SetOrder(employees->TagArea("NAME1"));
        TUser& user = *FMain->User;
        for (bool* copy :
             {&user.PrintFederalCopy, &user.PrintCopyC, &user.PrintCopyB, &user.PrintCopy1, &user.PrintCopy2})
            *copy = false;
    }
    void TearDown() override
    {
        PrintRoutines = SavedRoutines;
        FormPageHooks = TFormPageHooks();
        ShellFixture::TearDown();
    }

    // Opens the form with menu command 06 and runs Action on it once it takes
    // input (the totals are brought up to date first); the form is closed afterwards.
    static void WithForm(std::function<void(TFPrint*)> Action)
    {
        WhenShown<TFPrint>([Action](TFPrint* f) { WhenReady(f, Action); });
        TypeText(FTotStart, "06");
    }
    static void WhenReady(TFPrint* Form, std::function<void(TFPrint*)> Action)
    {
        if (Progress() != "-" || !Form->Widget()->window()->isVisible()) {
            QTimer::singleShot(10, [Form, Action] { WhenReady(Form, Action); });
            return;
        }
        Action(Form);
        Form->Close();
    }

    // Each call as "routine ID [progress]"; a sheet routine called for all
    // recipients takes on the rows that fill its sheet, as the real ones do, and one
    // for the chosen recipient notes that the print-work table holds only it.
    TPrintRoutines Recorders()
    {
        TPrintRoutines r;
        const auto sheet = [this](const char* Name, int Forms) {
            return [this, Name, Forms](const String& ID, bool OnlyCurrent) {
                TDaroruTable* print = DClientDataBase->tblEmployeePrint;
                String entry = String(Name) + " " + ID;
                if (OnlyCurrent)
                    entry += print->RecordCount() == 1 ? " alone" : " among others";
                Calls.push_back(entry + " [" + Progress() + "]");
                for (int form = 1; form < Forms && !OnlyCurrent; ++form)
                    print->Next();
            };
        };
        const auto page = [this](const char* Name) {
            return [this, Name](const String& ID) {
                EXPECT_EQ(DClientDataBase->tblEmployee->FieldByName("ID")->AsString(), ID);
                Calls.push_back(String(Name) + " " + ID + " [" + Progress() + "]");
            };
        };
        const auto plain = [this](const char* Name) { return [this, Name] { Calls.push_back(Name); }; };
        r.PrintEmployeeTransactions = [this](const String& ID) { Calls.push_back("Transactions " + ID); };
        r.PrintEmployeeTotals = plain("Totals");
        r.PrintRedCopyMisc = sheet("RedMisc", 2);
        r.PrintRedCopyInt = sheet("RedInt", 3);
        r.PrintCopyCMisc = sheet("CMisc", 2);
        r.PrintCopyCInt = sheet("CInt", 3);
        r.PrintCopyB = page("B");
        r.PrintCopy1 = page("1");
        r.PrintCopy2 = page("2");
        r.Print1096Red = plain("1096 red");
        r.Print1096File = plain("1096 file");
        r.ShowTransmitterInfo = plain("transmitter form");
        r.ShowContact1096 = plain("contact form");
        r.ElectronicallyFile = plain("electronic file");
        return r;
    }

    // A page file of an earlier run.
    void LeaveOldPageFile() const { std::ofstream(Dir / "PRN00001.PRN") << "old page"; }
    bool OldPageFileThere() const { return FileExists(Dir / "PRN00001.PRN"); }

    static void Screenshot(TCustomForm* Form, const char* Name)
    {
        QCoreApplication::processEvents();
        const QImage image = Form->Widget()->window()->grab().toImage();
        ASSERT_FALSE(image.isNull());
        KeepScreenshot(image, Name);
    }

    std::vector<String> Calls;
    TPrintRoutines SavedRoutines;
};

TEST_F(PrintFormTest, OpensWithTheTotalsOfEveryRecipientBroughtUpToDate)
{
    TDaroruTable* trans = DClientDataBase->tblTransactions;
    const struct {
        const char* Employee;
        double Amount, Withheld, StateIncome;
    } payments[] = {{"M1", 100.10, 10, 0}, {"I1", 20.05, 0, 5}, {"M1", 200.20, 0.5, 0}, {"M3", 1, 0, 0}};
    for (const auto& p : payments) {
        trans->Append();
        trans->FieldByName("EMP_ID")->SetAsString(p.Employee);
        trans->FieldByName("AMOUNT")->SetAsFloat(p.Amount);
        trans->FieldByName("FWT")->SetAsFloat(p.Withheld);
        trans->FieldByName("STATE_INC1")->SetAsFloat(p.StateIncome);
        trans->Post();
    }
    // Stale totals, and the transactions restricted to one recipient as the grid leaves them.
    TDaroruTable* employees = DClientDataBase->tblEmployee;
    for (employees->First(); !employees->Eof(); employees->Next()) {
        employees->Edit();
        employees->FieldByName("TOTAMT")->SetAsFloat(999);
        employees->Post();
    }
    trans->SetFilter("EMP_ID='I1      '");
    trans->SetFiltered(true);

    WithForm([&](TFPrint* f) {
        EXPECT_EQ(f->Caption(), "Report Print Selection");
        EXPECT_TRUE(employees->Eof());
        Screenshot(f, "print.png");
    });
    const std::map<String, std::array<double, 3>> expected = {{"M1", {300.30, 10.5, 0}},
                                                              {"I1", {20.05, 0, 5}},
                                                              {"M2", {0, 0, 0}},
                                                              {"M3", {1, 0, 0}},
                                                              {"I2", {0, 0, 0}}};
    for (employees->First(); !employees->Eof(); employees->Next()) {
        const String id = employees->FieldByName("ID")->AsString();
        SCOPED_TRACE(id);
        EXPECT_DOUBLE_EQ(employees->FieldByName("TOTAMT")->AsFloat(), expected.at(id)[0]);
        EXPECT_DOUBLE_EQ(employees->FieldByName("FWT")->AsFloat(), expected.at(id)[1]);
        EXPECT_DOUBLE_EQ(employees->FieldByName("STATE_INC1")->AsFloat(), expected.at(id)[2]);
    }
}

TEST_F(PrintFormTest, TheTotalsAreCalculatedUnderAProgressFormOfOneStepMoreThanTheRecipients)
{
    std::set<String> seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&seen] {
        for (int i = 0; i < Screen()->FormCount(); ++i)
            if (auto* status = dynamic_cast<TFCreateStatus*>(Screen()->Forms(i)); status && status->Visible())
                seen.insert(status->Label1->Caption() + " " + Progress());
    });
    watch.start(0);
    WithForm([](TFPrint*) {});
    watch.stop();
    EXPECT_THAT(seen, ::testing::Contains("Calculating Employee Totals ... 5/6"));
}

TEST_F(PrintFormTest, TotalsTooLargeForARecipientAreSaidAndTheOthersStillFollowTheirPayments)
{
    TDaroruTable* trans = DClientDataBase->tblTransactions;
    for (const auto& [employee, amount] :
         std::vector<std::pair<String, double>> {{"M2", 6000000}, {"M2", 6000000}, {"I2", 12.5}, {"M3", 7}}) {
        trans->Append();
        trans->FieldByName("EMP_ID")->SetAsString(employee);
        trans->FieldByName("AMOUNT")->SetAsFloat(amount);
        trans->Post();
    }
    bool opened = false;
    WithForm([&](TFPrint*) { opened = true; });
    EXPECT_TRUE(opened);
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_THAT(Shown()[0], ::testing::HasSubstr("M2"));
    EXPECT_THAT(Shown()[0], ::testing::HasSubstr("too large"));
    TDaroruTable* employees = DClientDataBase->tblEmployee;
    std::map<String, double> totals;
    for (employees->First(); !employees->Eof(); employees->Next())
        totals[employees->FieldByName("ID")->AsString()] = employees->FieldByName("TOTAMT")->AsFloat();
    // M2 comes first by name; the recipients after it are still brought up to date.
    EXPECT_EQ(totals, (std::map<String, double> {{"I1", 0}, {"I2", 12.5}, {"M1", 0}, {"M2", 0}, {"M3", 7}}));
}

TEST_F(PrintFormTest, NumberedRowsRunTheButtonsAndTickTheCopiesKeptInTheSettings)
{
    TUser& user = *FMain->User;
    user.PrintCopy1 = true;
    WithForm([&](TFPrint* f) {
        const std::pair<TKVLabel*, const char*> rows[] = {
                {f->KVLabel1, "[01]  Employee Transactions"},
                {f->KVLabel7, "[07]  Print Form 1096 Summary Report (File Copy)"},
                {f->KVLabel8, "[08]  Federal Red Copy"},
                {f->KVLabel12, "[12]  Copy 2 State Tax Return File Copy"},
                {f->KVLabel13, "[13]  Preview / Display Selected Reports?"},
        };
        for (const auto& [label, caption] : rows)
            EXPECT_EQ(label->Caption(), caption);
        EXPECT_EQ(f->KVButton4->Caption(), "All Employees");
        EXPECT_EQ(f->KVCheckBox3->Caption(), "Copy B");
        EXPECT_TRUE(f->KVCheckBox4->Checked());
        EXPECT_FALSE(f->KVCheckBox6->Checked());

        for (const char* row : {"08", "10", "11", "13"})
            TypeText(f, row);
        EXPECT_TRUE(user.PrintFederalCopy);
        EXPECT_FALSE(user.PrintCopyC);
        EXPECT_TRUE(user.PrintCopyB);
        EXPECT_FALSE(user.PrintCopy1);
        EXPECT_TRUE(FMain->Preview);

        TypeText(f, "02");
        TypeText(f, "05");
        TypeText(f, "13");
        TypeText(f, "02");
    });
    // Preview on: the listing runs without the print dialog; off: the dialog is
    // cancelled and nothing runs.
    EXPECT_THAT(Calls, ElementsAre("Totals", "electronic file"));
    EXPECT_FALSE(FMain->Preview);
}

TEST_F(PrintFormTest, TheMenusReportsToolButtonOpensTheFormToo)
{
    bool opened = false;
    WhenShown<TFPrint>([&](TFPrint* f) { WhenReady(f, [&](TFPrint*) { opened = true; }); });
    FTotStart->BitBtn1->Click();
    EXPECT_TRUE(opened);
}

TEST_F(PrintFormTest, AllEmployeesUncollatedPrintsEachCopyOverEveryRecipient)
{
    TUser& user = *FMain->User;
    for (bool* copy :
         {&user.PrintFederalCopy, &user.PrintCopyC, &user.PrintCopyB, &user.PrintCopy1, &user.PrintCopy2})
        *copy = true;
    LeaveOldPageFile();
    Dialogs.AnswerMessage(mrNo);
    Dialogs.AnswerPrinter(-1, 3);
    WithForm([](TFPrint* f) { TypeText(f, "04"); });

    ASSERT_EQ(Dialogs.Messages.size(), 1u);
    EXPECT_EQ(Dialogs.Messages[0].Text, "Would you like to print collated?");
    EXPECT_FALSE(OldPageFileThere());
    EXPECT_EQ(FMain->Copies, 3);
    // The red and C copies: the 1099-MISC sheets (two forms each) first, then the
    // 1099-INT sheet (three forms); a terminated recipient is printed like any other.
    EXPECT_THAT(Calls,
                ElementsAreArray(std::vector<String> {
                        "RedMisc M2 [0/25]", "RedMisc M3 [1/25]", "RedInt I1 [2/25]", "CMisc M2 [3/25]",
                        "CMisc M3 [4/25]",   "CInt I1 [5/25]",    "B M2 [6/25]",      "B I1 [7/25]",
                        "B M1 [8/25]",       "B M3 [9/25]",       "B I2 [10/25]",     "1 M2 [11/25]",
                        "1 I1 [12/25]",      "1 M1 [13/25]",      "1 M3 [14/25]",     "1 I2 [15/25]",
                        "2 M2 [16/25]",      "2 I1 [17/25]",      "2 M1 [18/25]",     "2 M3 [19/25]",
                        "2 I2 [20/25]",
                }));
    EXPECT_FALSE(DClientDataBase->tblEmployeePrint->Active());
}

TEST_F(PrintFormTest, AllEmployeesCollatedPrintsEveryCopyOfOneRecipientInLastNameOrder)
{
    TUser& user = *FMain->User;
    user.PrintFederalCopy = true;
    user.PrintCopyB = true;
    user.PrintCopy2 = true;
    Dialogs.AnswerMessage(mrYes);
    Dialogs.AnswerPrinter(-1, 1);
    WithForm([](TFPrint* f) { TypeText(f, "04"); });

    EXPECT_THAT(Calls, ElementsAreArray(std::vector<String> {
                               "RedInt I1 alone [0/5]", "B I1 [0/5]", "2 I1 [0/5]",   // AMES
                               "RedMisc M3 alone [1/5]", "B M3 [1/5]", "2 M3 [1/5]",  // BAKER
                               "RedInt I2 alone [2/5]", "B I2 [2/5]", "2 I2 [2/5]",   // CROSS
                               "RedMisc M2 alone [3/5]", "B M2 [3/5]", "2 M2 [3/5]",  // MILLER
                               "RedMisc M1 alone [4/5]", "B M1 [4/5]", "2 M1 [4/5]",  // YOUNG
                       }));
}

TEST_F(PrintFormTest, SelectedEmployeePrintsTheChosenCopiesOfTheRecipientPickedInTheLookup)
{
    TUser& user = *FMain->User;
    for (bool* copy :
         {&user.PrintFederalCopy, &user.PrintCopyC, &user.PrintCopyB, &user.PrintCopy1, &user.PrintCopy2})
        *copy = true;
    LeaveOldPageFile();
    Dialogs.AnswerPrinter(-1, 2);
    String caption;
    WithForm([&](TFPrint* f) {
        WhenShown<TdwLookupDlg>([&](TdwLookupDlg* d) {
            caption = d->Caption();
            TypeText(d, "i2");
            PressKey(d, Qt::Key_Return);
        });
        TypeText(f, "03");
    });
    EXPECT_EQ(caption, "Select An Employee To Print");
    EXPECT_FALSE(OldPageFileThere());
    EXPECT_EQ(FMain->Copies, 2);
    EXPECT_THAT(Calls, ElementsAre("RedInt I2 alone [0/5]", "CInt I2 alone [1/5]", "B I2 [2/5]", "1 I2 [3/5]",
                                   "2 I2 [4/5]"));
}

TEST_F(PrintFormTest, ACancelledLookupOrPrintDialogPrintsNothing)
{
    FMain->User->PrintCopyB = true;
    // Selected Employee: the lookup cancelled; then the print dialog cancelled.
    // All Employees: the question answered, the print dialog cancelled.
    // Employee Trans.: the lookup accepted, the print dialog cancelled.
    const char* const lookupKeys[] = {"escape", "enter", "enter"};
    int lookups = 0;
    WithForm([&](TFPrint* f) {
        for (const char* row : {"03", "03", "04", "01"}) {
            SCOPED_TRACE(row);
            LeaveOldPageFile();
            if (String(row) != "04") {
                WhenShown<TdwLookupDlg>([&](TdwLookupDlg* d) {
                    const bool accept = String(lookupKeys[lookups++]) == "enter";
                    PressKey(d, accept ? Qt::Key_Return : Qt::Key_Escape);
                });
            }
            TypeText(f, row);
            // The form routines clear the page files themselves, the listings too.
            EXPECT_EQ(OldPageFileThere(), String(row) == "01");
        }
    });
    EXPECT_EQ(lookups, 3);
    EXPECT_THAT(Calls, IsEmpty());
}

TEST_F(PrintFormTest, WithoutCopiesChosenTheRunsStillAskAndPrintNothing)
{
    Dialogs.AnswerMessage(mrYes);
    Dialogs.AnswerPrinter(-1, 1);
    Dialogs.AnswerMessage(mrNo);
    Dialogs.AnswerPrinter(-1, 1);
    WithForm([](TFPrint* f) {
        TypeText(f, "04");
        TypeText(f, "04");
    });
    EXPECT_EQ(Dialogs.Messages.size(), 2u);
    EXPECT_THAT(Calls, IsEmpty());
}

TEST_F(PrintFormTest, PreviewRunsWithoutThePrintDialogYetTakesItsCopies)
{
    FMain->User->PrintCopy1 = true;
    FMain->Preview = true;
    FMain->Copies = 0;
    Dialogs.AnswerMessage(mrNo);
    WithForm([](TFPrint* f) { TypeText(f, "04"); });
    EXPECT_EQ(FMain->Copies, 1);
    EXPECT_EQ(Calls.size(), 5u);
}

TEST_F(PrintFormTest, The1096ContactFormComesBeforeTheFirstRedCopyAndBeforeEveryFileCopy)
{
    FMain->Preview = true;
    WithForm([](TFPrint* f) {
        EXPECT_FALSE(f->ContactShown);
        for (const char* row : {"06", "06", "07", "07", "06"})
            TypeText(f, row);
        EXPECT_TRUE(f->ContactShown);
    });
    EXPECT_THAT(Calls, ElementsAre("contact form", "1096 red", "1096 red", "contact form", "1096 file",
                                   "contact form", "1096 file", "1096 red"));
    // A form opened anew asks again before its first red copy.
    Calls.clear();
    WithForm([](TFPrint* f) { TypeText(f, "06"); });
    EXPECT_THAT(Calls, ElementsAre("contact form", "1096 red"));
}

TEST_F(PrintFormTest, TheTransmitterButtonShowsItsFormAndElectronicallyFileRunsTheFiling)
{
    WithForm([](TFPrint* f) {
        f->BitBtn1->Click();
        TypeText(f, "05");
    });
    EXPECT_THAT(Calls, ElementsAre("transmitter form", "electronic file"));
}

TEST_F(PrintFormTest, TheFormTakesNoInputWhileARunGoes)
{
    FMain->User->PrintCopyB = true;
    FMain->Preview = true;
    Dialogs.AnswerMessage(mrNo);
    bool typedDuringRun = false;
    PrintRoutines.PrintCopyB = [&](const String& ID) {
        Calls.push_back("B " + ID);
        TFPrint* form = OpenForm();
        ASSERT_NE(form, nullptr);
        EXPECT_FALSE(form->Enabled());
        if (typedDuringRun)
            return;
        typedDuringRun = true;
        // A second All Employees and the 1096 red copy, typed while the first run prints.
        TypeText(form, "04");
        TypeText(form, "06");
        QCoreApplication::processEvents();
    };
    WithForm([&](TFPrint* f) {
        TypeText(f, "04");
        EXPECT_TRUE(f->Enabled());
        // Afterwards the form answers again.
        TypeText(f, "06");
    });
    EXPECT_THAT(Calls, ElementsAre("B M2", "B I1", "B M1", "B M3", "B I2", "contact form", "1096 red"));
    EXPECT_EQ(Dialogs.Messages.size(), 1u);
}

TEST_F(PrintFormTest, APreviewRunOpensThePageViewerOnceAfterItsLastPage)
{
    TUser& user = *FMain->User;
    user.PrintCopyB = true;
    user.PrintCopy2 = true;
    FMain->Preview = true;
    FormPageHooks.ViewPrintedPages = [this](bool Show) {
        Calls.push_back(String(Show ? "view" : "collect") + " [" + Progress() + "]" +
                        (OpenForm()->Enabled() ? "" : " while running"));
    };
    // Each page ends as the form routines end theirs.
    const auto page = [this](const char* Name) {
        return [this, Name](const String& ID) {
            Calls.push_back(Name + (" " + ID));
            FinishFormPage("");
        };
    };
    PrintRoutines.PrintCopyB = page("B");
    PrintRoutines.PrintCopy2 = page("2");
    PrintRoutines.Print1096File = [this] {
        Calls.push_back("1096 file");
        FinishFormPage("");
    };
    Dialogs.AnswerMessage(mrNo);
    WithForm([this](TFPrint* f) {
        TypeText(f, "04");
        TypeText(f, "07");
        // A PDF run collects the pages after each one, as it goes.
        FMain->Preview = false;
        FMain->MakePdf = true;
        FMain->User->PrintCopyB = false;
        Dialogs.AnswerMessage(mrYes);
        Dialogs.AnswerPrinter(-1, 1);
        TypeText(f, "04");
    });
    EXPECT_THAT(Calls, ElementsAreArray(std::vector<String> {"B M2",      "B I1",
                                                             "B M1",      "B M3",
                                                             "B I2",      "2 M2",
                                                             "2 I1",      "2 M1",
                                                             "2 M3",      "2 I2",
                                                             "view [-]",  "contact form",
                                                             "1096 file", "view [-]",
                                                             "2 I1",      "collect [0/5] while running",
                                                             "2 M3",      "collect [1/5] while running",
                                                             "2 I2",      "collect [2/5] while running",
                                                             "2 M2",      "collect [3/5] while running",
                                                             "2 M1",      "collect [4/5] while running"}));
}

// Another workstation printing holds the print-work table of the shared program
// directory.
TEST_F(PrintFormTest, APrintWorkTableInUseElsewhereStopsTheRunWithAMessage)
{
    FMain->User->PrintFederalCopy = true;
    FMain->Preview = true;
    DClientDataBase->BuildPrintTable(2, false);
    TDaroruTable other(nullptr);
    other.SetDatabaseName(FMain->ProgramDir);
    other.SetTableName(FMain->ProgramDir + "PRINT");
    other.SetExclusive(WordTrue);
    other.Open();
    Dialogs.AnswerMessage(mrNo);
    WithForm([](TFPrint* f) {
        TypeText(f, "04");
        EXPECT_TRUE(f->Enabled());
    });
    other.Close();
    EXPECT_THAT(Calls, IsEmpty());
    EXPECT_THAT(Shown().back(), ::testing::HasSubstr("in use"));
    EXPECT_THAT(Shown().back(), ::testing::HasSubstr("PRINT.DBF"));
}

TEST_F(PrintFormTest, ARunThatFailsIsReportedAndLeavesTheFormReady)
{
    TUser& user = *FMain->User;
    user.PrintFederalCopy = true;
    user.PrintCopyB = true;
    FMain->Preview = true;
    Dialogs.AnswerMessage(mrNo);
    PrintRoutines.PrintRedCopyInt = [](const String&, bool) { throw EDatabaseError("The disk is full"); };
    WithForm([&](TFPrint* f) {
        TypeText(f, "04");
        EXPECT_TRUE(f->Enabled());
        EXPECT_EQ(Progress(), "-");
        EXPECT_FALSE(DClientDataBase->tblEmployeePrint->Active());
        TypeText(f, "06");
    });
    EXPECT_THAT(Calls, ElementsAre("RedMisc M2 [0/10]", "RedMisc M3 [1/10]", "contact form", "1096 red"));
    EXPECT_EQ(Shown().back(), "The disk is full.");
}

// The desktop's own dialogs, on a machine whose print system has no printer (no
// scheduler answers): the print dialog says so, and neither run prints or claims to.
TEST_F(PrintFormTest, WithoutAPrinterThePrintDialogSaysSoAndNothingPrints)
{
    FMain->User->PrintCopyB = true;
    const TNoPrintSystem noPrinter(Dir / "cups.sock");
    std::vector<String> boxes;
    {
        const TDesktopDialogs desktop(boxes);
        WithForm([](TFPrint* f) {
            TypeText(f, "04");  // All Employees
            TypeText(f, "07");  // Print 1096 (File)
        });
    }
    EXPECT_THAT(boxes, ElementsAre("Would you like to print collated?", "No printers are installed.",
                                   "No printers are installed."));
    EXPECT_THAT(Calls, ElementsAre("contact form"));
}

}  // namespace
