#include "printing/print.h"

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/smalldialogs.h"
#include "controls/kvrows.h"
#include "efile/contact1096.h"
#include "efile/efilewriter.h"
#include "efile/transmitterinfo.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/graphics/colors.h"
#include "printing/copyb.h"
#include "printing/copyc.h"
#include "printing/form1096.h"
#include "printing/formpages.h"
#include "printing/formprinter.h"
#include "printing/redcopy.h"
#include "printing/reports.h"

TPrintRoutines PrintRoutines = [] {
    TPrintRoutines routines;
    routines.PrintEmployeeTransactions = PrintEmployeeTransactions;
    routines.PrintEmployeeTotals = PrintEmployeeTotals;
    routines.PrintRedCopyMisc = PrintRedCopyMisc;
    routines.PrintRedCopyInt = PrintRedCopyInt;
    routines.PrintCopyCMisc = PrintCopyCMisc;
    routines.PrintCopyCInt = PrintCopyCInt;
    routines.PrintCopyB = PrintCopyB;
    routines.PrintCopy1 = PrintCopy1;
    routines.PrintCopy2 = PrintCopy2;
    routines.Print1096Red = Print1096Red;
    routines.Print1096File = Print1096File;
    routines.ShowTransmitterInfo = ShowTransmitterInfo;
    routines.ShowContact1096 = ShowContact1096;
    routines.ElectronicallyFile = ElectronicallyFile;
    return routines;
}();

namespace {

constexpr int ControlWidth = 130;
constexpr int RowHeight = 27;

const char* const CopyProgressText = "Printing 1099 Copy C ...";

bool IsInterestRecipient(TDataSet* Recipients)
{
    return Recipients->FieldByName("TRANS_TYPE")->AsString() == "I";
}

String RecipientID(TDataSet* Recipients) { return Recipients->FieldByName("ID")->AsString(); }

// How many of the five copies are chosen.
int SelectedCopies()
{
    const TUser& user = *FMain->User;
    return user.PrintFederalCopy + user.PrintCopyC + user.PrintCopyB + user.PrintCopy1 + user.PrintCopy2;
}

void OrderRecipientsBy(const String& Tag)
{
    FMain->DaroruEnv1->SetSoftSeek(true);
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    recipients->SetOrder(recipients->TagArea(Tag));
}

// The print-work table open exclusively for the form routines, and closed however
// they end.
class TOpenPrintTable {
public:
    TOpenPrintTable() : FTable(DClientDataBase->tblEmployeePrint)
    {
        const String& dir = FMain->ProgramDir;
        FTable->SetDatabaseName(dir);
        FTable->SetTableName(dir + "PRINT");
        FTable->SetExclusive(WordTrue);
        FTable->Open();
    }
    ~TOpenPrintTable() { FTable->Close(); }
    TOpenPrintTable(const TOpenPrintTable&) = delete;
    TOpenPrintTable& operator=(const TOpenPrintTable&) = delete;
    TDaroruTable* Table() const { return FTable; }

private:
    TDaroruTable* FTable;
};

// The sheet of the current recipient alone: the red or C copy of its form kind.
void PrintRecipientSheet(const String& ID, const TSheetRoutine& Misc, const TSheetRoutine& Interest)
{
    const bool interest = IsInterestRecipient(DClientDataBase->tblEmployee);
    DClientDataBase->BuildPrintTable(interest ? 1 : 2, true);
    const TOpenPrintTable open;
    (interest ? Interest : Misc)(ID, true);
}

// Every chosen copy of the current recipient, whose ID is ID; Step after each copy.
void PrintRecipientCopies(const String& ID, const std::function<void()>& Step)
{
    const TUser& user = *FMain->User;
    if (user.PrintFederalCopy) {
        PrintRecipientSheet(ID, PrintRoutines.PrintRedCopyMisc, PrintRoutines.PrintRedCopyInt);
        Step();
    }
    if (user.PrintCopyC) {
        PrintRecipientSheet(ID, PrintRoutines.PrintCopyCMisc, PrintRoutines.PrintCopyCInt);
        Step();
    }
    const std::pair<bool, const TPageRoutine&> pages[] = {
            {user.PrintCopyB, PrintRoutines.PrintCopyB},
            {user.PrintCopy1, PrintRoutines.PrintCopy1},
            {user.PrintCopy2, PrintRoutines.PrintCopy2},
    };
    for (const auto& [selected, routine] : pages) {
        if (!selected)
            continue;
        routine(ID);
        Step();
    }
}

// Each chosen copy in turn over all recipients: the red and C copies from the
// print-work table (1099-MISC, then 1099-INT), B, 1 and 2 over the recipients;
// Step after each sheet or page.
void PrintUncollated(const std::function<void()>& Step)
{
    const TUser& user = *FMain->User;
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    // A sheet routine takes on the following rows to fill its sheet; the pass goes
    // on from the row where the routine left the table.
    const auto sheets = [&](int Mode, const TSheetRoutine& Routine) {
        DClientDataBase->BuildPrintTable(Mode, false);
        const TOpenPrintTable open;
        TDaroruTable* print = open.Table();
        for (print->First(); !print->Eof(); print->Next()) {
            Routine(RecipientID(print), false);
            Step();
        }
    };
    const auto pages = [&](const TPageRoutine& Routine) {
        for (recipients->First(); !recipients->Eof(); recipients->Next()) {
            Routine(RecipientID(recipients));
            Step();
        }
    };
    if (user.PrintFederalCopy) {
        sheets(2, PrintRoutines.PrintRedCopyMisc);
        sheets(1, PrintRoutines.PrintRedCopyInt);
    }
    if (user.PrintCopyC) {
        sheets(2, PrintRoutines.PrintCopyCMisc);
        sheets(1, PrintRoutines.PrintCopyCInt);
    }
    if (user.PrintCopyB)
        pages(PrintRoutines.PrintCopyB);
    if (user.PrintCopy1)
        pages(PrintRoutines.PrintCopy1);
    if (user.PrintCopy2)
        pages(PrintRoutines.PrintCopy2);
}

// All chosen copies of one recipient after the other, in last-name order; Step
// after each recipient.
void PrintCollated(const std::function<void()>& Step)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    OrderRecipientsBy("LAST");
    for (recipients->First(); !recipients->Eof(); recipients->Next()) {
        PrintRecipientCopies(RecipientID(recipients), [] {});
        Step();
    }
}

// Runs Body as a print run of Form: the form takes no input until the run ends,
// then comes back to the front with the focus where it was. The page viewer each
// form routine would open after its page is held back: a run that asked for it
// opens it once, over all its pages, at its end.
void PrintRun(TForm* Form, const std::function<void()>& Body)
{
    const std::function<void(bool Show)> viewer = FormPageHooks.ViewPrintedPages;
    bool viewWanted = false;
    if (viewer) {
        FormPageHooks.ViewPrintedPages = [&](bool Show) {
            // Collecting the pages without showing them is a PDF run's step after every page.
            if (Show)
                viewWanted = true;
            else
                viewer(false);
        };
    }
    Form->SetEnabled(false);
    const auto restore = [&] {
        FormPageHooks.ViewPrintedPages = viewer;
        Form->SetEnabled(true);
        Form->Show();
    };
    try {
        Body();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    if (viewWanted)
        viewer(true);
}

}  // namespace

TFPrint::TFPrint(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
{
    SetName("FPrint");
    SetCaption("Report Print Selection");
    SetPosition(poScreenCenter);
    SetWidth(560);
    SetHeight(560);

    KVToolBar1 = NewChild<TKVToolBar>(this, this, "KVToolBar1");
    BitBtn1 = NewChild<TBitBtn>(this, KVToolBar1, "BitBtn1");
    BitBtn1->SetBounds(4, 2, 130, 24);
    BitBtn1->SetCaption("&Transmitter. Info");
    BitBtn1->SetHint("Enter transmitter information for Electonically filed 1099's");
    BitBtn1->SetShowHint(true);
    BitBtn1->OnClick = [this](TObject* S) { BitBtn1Click(S); };
    KVCheckBox6 = NewChild<TKVCheckBox>(this, KVToolBar1, "KVCheckBox6");
    KVCheckBox6->SetBounds(430, 5, 80, 17);
    KVCheckBox6->SetCaption("&Preview");

    KVCommander1 = NewChild<TKVCommander>(this, this, "KVCommander1");

    ScrollBox1 = NewChild<TScrollBox>(this, this, "ScrollBox1");
    ScrollBox1->SetAlign(alClient);
    ScrollBox1->SetColor(clWhite);
    KVCommander1->SetScrollBox(ScrollBox1);

    KVHeader1 = NewChild<TKVHeader>(this, ScrollBox1, "KVHeader1");
    KVHeader1->SetBounds(4, 4, 500, 21);
    KVHeader1->SetPart("1099");
    KVHeader1->SetTitle("Reports Selection");

    int top = 32;
    KVButton1 = ButtonRow(KVLabel1, "Employee Transactions", "KVButton1", "Employee Trans.", top,
                          &TFPrint::KVButton1Click);
    KVButton2 = ButtonRow(KVLabel2, "Employee Totals For This Client", "KVButton2", "Employee Totals",
                          top += RowHeight, &TFPrint::KVButton2Click);
    KVButton3 = ButtonRow(KVLabel3, "Print 1099's For a Selected Employee", "KVButton3", "Selected Employee",
                          top += RowHeight, &TFPrint::KVButton3Click);
    KVButton4 = ButtonRow(KVLabel4, "Print 1099's For All Employees", "KVButton4", "All Employees",
                          top += RowHeight, &TFPrint::KVButton4Click);
    KVButton5 = ButtonRow(KVLabel5, "Generate Electronic 1099 File", "KVButton5", "Electronically File",
                          top += RowHeight, &TFPrint::KVButton5Click);
    KVButton6 = ButtonRow(KVLabel6, "Print Form 1096 Summary Report (Red Copy)", "KVButton6",
                          "Print 1096 (Red)", top += RowHeight, &TFPrint::KVButton6Click);
    KVButton7 = ButtonRow(KVLabel7, "Print Form 1096 Summary Report (File Copy)", "KVButton7",
                          "Print 1096 (File)", top += RowHeight, &TFPrint::KVButton7Click);

    GroupBox1 = NewChild<TGroupBox>(this, ScrollBox1, "GroupBox1");
    GroupBox1->SetCaption("Selection of 1099's to Print");
    GroupBox1->SetBounds(4, top += RowHeight + 8, 500, 24 + 5 * RowHeight);
    int row = 20;
    KVCheckBox1 = Row<TKVCheckBox>(GroupBox1, KVLabel8, "Federal Red Copy", "KVCheckBox1", row);
    KVCheckBox1->SetCaption("Federal Copy");
    KVCheckBox2 = Row<TKVCheckBox>(GroupBox1, KVLabel9, "Copy C For Payer", "KVCheckBox2", row += RowHeight);
    KVCheckBox2->SetCaption("Copy C");
    KVCheckBox3 =
            Row<TKVCheckBox>(GroupBox1, KVLabel10, "Copy B For Recipient", "KVCheckBox3", row += RowHeight);
    KVCheckBox3->SetCaption("Copy B");
    KVCheckBox4 = Row<TKVCheckBox>(GroupBox1, KVLabel11, "Copy 1 State Tax Department", "KVCheckBox4",
                                   row += RowHeight);
    KVCheckBox4->SetCaption("Copy 1");
    KVCheckBox5 = Row<TKVCheckBox>(GroupBox1, KVLabel12, "Copy 2 State Tax Return File Copy", "KVCheckBox5",
                                   row += RowHeight);
    KVCheckBox5->SetCaption("Copy 2");

    // Made last, so that the preview switch is the last number.
    KVLabel13 = NewChild<TKVLabel>(this, KVToolBar1, "KVLabel13");
    KVLabel13->SetBounds(150, 7, 270, 13);
    KVLabel13->SetCaption("Preview / Display Selected Reports?");
    KVLabel13->SetFirstControl(KVCheckBox6);

    PrintDialog1 = new TPrintDialog(this);
    PrintDialog1->SetName("PrintDialog1");
    dwLookupDialog1 = new TdwLookupDialog(this);
    dwLookupDialog1->SetName("dwLookupDialog1");
    dwLookupDialog1->SetLookupTable(DClientDataBase->tblEmployee);
    dwLookupDialog1->SetCaption("Select An Employee To Print");
    dwLookupDialog1->SetGridTitleAlignment(taLeftJustify);
    dwLookupDialog1->SetGridColor(clWhite);
    dwLookupDialog1->SetGridOptions(TdwDBGridOptions {dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                                      dgRowLines, dgTabs, dgRowSelect,
                                                      dgAlwaysShowSelection});
    dwLookupDialog1->SetMaxHeight(209);

    int tab = 0;
    for (TWinControl* control : std::initializer_list<TWinControl*> {
                 KVButton1, KVButton2, KVButton3, KVButton4, KVButton5, KVButton6, KVButton7, GroupBox1})
        control->SetTabOrder(tab++);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
    // The scrolled area takes in the rows and no more once the form is on the screen.
    OnActivate = [this](TObject*) { ScrollBox1->Realign(); };
}

template<class T>
T* TFPrint::Row(TWinControl* Parent, TKVLabel*& Label, const String& Caption, const String& Name, int Top)
{
    return PlaceRow<T>(this, Parent, "KVLabel" + IntToStr(++FRows), Caption, Name, Top, ControlWidth, &Label);
}

TKVButton* TFPrint::ButtonRow(TKVLabel*& Label, const String& Caption, const String& Name,
                              const String& ButtonCaption, int Top, void (TFPrint::*Handler)(TObject*))
{
    auto* button = Row<TKVButton>(ScrollBox1, Label, Caption, Name, Top);
    button->SetCaption(ButtonCaption);
    button->OnClick = [this, Handler](TObject* S) { (this->*Handler)(S); };
    return button;
}

void TFPrint::FormCreate(TObject*)
{
    TUser& user = *FMain->User;
    KVCheckBox1->Bind(&user.PrintFederalCopy);
    KVCheckBox2->Bind(&user.PrintCopyC);
    KVCheckBox3->Bind(&user.PrintCopyB);
    KVCheckBox4->Bind(&user.PrintCopy1);
    KVCheckBox5->Bind(&user.PrintCopy2);
    KVCheckBox6->Bind(&FMain->Preview);
    ContactShown = false;
}

void TFPrint::FormShow(TObject*)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    // A recipient whose totals are refused keeps its stored ones and is named;
    // the others are still brought up to date.
    String refused;
    {
        TStatusProgress progress("Calculating Employee Totals ...", recipients->RecordCount() + 1);
        for (recipients->First(); !recipients->Eof(); recipients->Next()) {
            try {
                DClientDataBase->RecalcRecipientTotals();
            } catch (const EDatabaseError& e) {
                refused += (refused.empty() ? "" : "\n") + e.Message();
            }
            progress.Step();
        }
    }
    if (!refused.empty())
        ShowMessage(refused);
}

bool TFPrint::ChooseRecipient()
{
    OrderRecipientsBy("ID");
    return dwLookupDialog1->Execute();
}

bool TFPrint::ListingPrologue() { return FMain->Preview || PrintDialog1->Execute(); }

bool TFPrint::FormPrologue()
{
    if (!ListingPrologue())
        return false;
    UsePrintDialogChoice(*PrintDialog1);
    return true;
}

void TFPrint::KVButton1Click(TObject*)
{
    if (!ChooseRecipient() || !ListingPrologue())
        return;
    PrintRoutines.PrintEmployeeTransactions(RecipientID(DClientDataBase->tblEmployee));
}

void TFPrint::KVButton2Click(TObject*)
{
    if (!ListingPrologue())
        return;
    PrintRoutines.PrintEmployeeTotals();
}

void TFPrint::KVButton3Click(TObject*)
{
    FMain->DeleteTempPrintFiles();
    if (!ChooseRecipient())
        return;
    const String id = RecipientID(DClientDataBase->tblEmployee);
    if (!FormPrologue())
        return;
    PrintRun(this, [&] {
        TStatusProgress progress(CopyProgressText, SelectedCopies());
        PrintRecipientCopies(id, [&] { progress.Step(); });
    });
}

void TFPrint::KVButton4Click(TObject*)
{
    FMain->DeleteTempPrintFiles();
    const bool collated = AskYesNo("Would you like to print collated?");
    if (!FormPrologue())
        return;
    const int recipients = DClientDataBase->tblEmployee->RecordCount();
    PrintRun(this, [&] {
        if (collated) {
            TStatusProgress progress("Printing 1099's ...", recipients);
            PrintCollated([&] { progress.Step(); });
        } else {
            TStatusProgress progress(CopyProgressText, recipients * SelectedCopies());
            PrintUncollated([&] { progress.Step(); });
        }
    });
}

void TFPrint::KVButton5Click(TObject*) { PrintRoutines.ElectronicallyFile(); }

void TFPrint::BitBtn1Click(TObject*) { PrintRoutines.ShowTransmitterInfo(); }

void TFPrint::Print1096(bool AlwaysAskContact, const std::function<void()>& Routine)
{
    if (AlwaysAskContact || !ContactShown) {
        PrintRoutines.ShowContact1096();
        ContactShown = true;
    }
    FMain->DeleteTempPrintFiles();
    if (!FormPrologue())
        return;
    PrintRun(this, [&] { Routine(); });
}

void TFPrint::KVButton6Click(TObject*) { Print1096(false, PrintRoutines.Print1096Red); }

void TFPrint::KVButton7Click(TObject*) { Print1096(true, PrintRoutines.Print1096File); }

void ShowPrint() { OneUseForm<TFPrint>()->ShowModal(); }
