#include "maintenance/employeebasic.h"

#include <type_traits>
#include <vector>

#include "app/clientdatabase.h"
#include "app/smalldialogs.h"
#include "controls/kvrows.h"
#include "maintenance/incometypes.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/graphics/colors.h"

const char* const EmployeeIDUsedMessage =
        "This Employee ID has already been used for this employer.  Please select another ID.";

String UnusableEmployeeIDMessage(const String& ID, const String& Outcome)
{
    return "The employee ID \"" + ID + "\" cannot be used: use 1 to 8 letters, digits, \"-\" or \"_\".  " +
           Outcome;
}

namespace {

constexpr int FirstLineTop = 38;
constexpr int LineHeight = 34;
constexpr int FieldLeft = 250;

TDaroruTable* Recipients() { return DClientDataBase->tblEmployee; }

TField* RecipientField(const char* Name) { return Recipients()->FieldByName(Name); }

bool Editing(TDataSet* DataSet) { return DataSet->State() == dsEdit || DataSet->State() == dsInsert; }

}  // namespace

bool EmployeeIDUsedByAnother(TDaroruTable* Recipients, const String& ID)
{
    const bool inserting = Recipients->State() == dsInsert;
    const bool editing = Editing(Recipients);
    const int own = inserting ? 0 : Recipients->GetSXRecno();
    std::vector<Variant> values;
    if (editing) {
        for (TField* field : Recipients->Fields())
            values.push_back(field->Value());
        Recipients->Cancel();
    }
    bool used = false;
    for (Recipients->First(); !Recipients->Eof() && !used; Recipients->Next())
        used = Recipients->GetSXRecno() != own && Trim(Recipients->FieldByName("ID")->AsString()) == ID;
    if (inserting) {
        Recipients->Append();
    } else {
        Recipients->Go(own);
        if (editing)
            Recipients->Edit();
    }
    if (editing) {
        size_t i = 0;
        for (TField* field : Recipients->Fields())
            field->SetValue(values[i++]);
    }
    return used;
}

void CarryRecipientID(TDaroruTable* Transactions, const String& OldID, const String& NewID,
                      const std::function<void()>& Step)
{
    const int order = Transactions->IndexOrd();
    Transactions->SetFiltered(false);
    Transactions->SetOrder(0);
    for (Transactions->First(); !Transactions->Eof(); Transactions->Next()) {
        if (Trim(Transactions->FieldByName("EMP_ID")->AsString()) == OldID) {
            Transactions->Edit();
            Transactions->FieldByName("EMP_ID")->SetAsString(NewID);
            Transactions->Post();
        }
        Step();
    }
    Transactions->SetOrder(order);
    Transactions->First();
}

TFEmployeeBasic::TFEmployeeBasic(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
{
    SetName("FEmployeeBasic");
    SetPosition(poScreenCenter);
    SetWidth(775);
    SetHeight(500);

    KVToolBar1 = NewChild<TKVToolBar>(this, this, "KVToolBar1");
    KVCommander1 = NewChild<TKVCommander>(this, this, "KVCommander1");
    ScrollBox1 = NewScrollPage(this, KVCommander1);

    KVHeader1 = PlaceControl<TKVHeader>(this, ScrollBox1, "KVHeader1", 8, 8, 736, 21);
    KVHeader1->SetColor(clNavy);
    KVHeader1->SetPart("Emp");
    KVHeader1->SetTitle("Employee / 1099 Recipient Information");
    FNextTop = FirstLineTop;

    KVDBEdit1 = Line<TKVDBEdit>(KVLabel1, "Employee ID", "KVDBEdit1", "ID", FieldLeft, 80);
    KVDBEdit1->SetCharCase(ecUpperCase);
    KVDBEdit1->SetMaxLength(8);
    KVDBEdit2 = Line<TKVDBEdit>(KVLabel2, "Name", "KVDBEdit2", "NAME1", FieldLeft, 230);
    KVDBEdit3 = Line<TKVDBEdit>(KVLabel3, "Address", "KVDBEdit3", "ADDRESS", FieldLeft, 300);
    KVDBEdit4 = Line<TKVDBEdit>(KVLabel4, "City", "KVDBEdit4", "CITY", FieldLeft, 170);
    const int cityTop = KVDBEdit4->Top();
    Label1 = PlaceControl<TLabel>(this, ScrollBox1, "Label1", 430, cityTop + 4, 30, 13);
    Label1->SetCaption("State");
    KVDBEdit5 = Place<TKVDBEdit>("KVDBEdit5", "STATE", 462, cityTop, 28);
    KVDBEdit5->SetCharCase(ecUpperCase);
    KVDBEdit5->SetMaxLength(2);
    Label2 = PlaceControl<TLabel>(this, ScrollBox1, "Label2", 500, cityTop + 4, 20, 13);
    Label2->SetCaption("Zip");
    KVDBEdit6 = Place<TKVDBEdit>("KVDBEdit6", "ZIP", 522, cityTop, 90);
    KVLabel4->SetLastControl(KVDBEdit6);
    KVDBEdit7 = Line<TKVDBEdit>(KVLabel5, "Home Phone Number (Enter all numerics including area code)",
                                "KVDBEdit7", "HOME_PHONE", 440, 110);
    KVDBEdit8 = Line<TKVDBEdit>(KVLabel6, "Employer Identification Number", "KVDBEdit8", "TAX_ID", FieldLeft,
                                100);
    KVDBEdit9 = Line<TKVDBEdit>(KVLabel7, "Social Security Number", "KVDBEdit9", "SSN", FieldLeft, 100);
    KVDBDateEdit1 = Line<TKVDBDateEdit>(KVLabel8, "Birth Date", "KVDBDateEdit1", "BIRTH_DATE", FieldLeft, 90);
    KVButton1 = Line<TKVButton>(KVLabel9, "Recipient Type", "KVButton1", "", FieldLeft, 25);
    KVButton1->SetCaption("...");
    KVButton1->SetHeight(21);
    KVDBEdit10 = Place<TKVDBEdit>("KVDBEdit10", "TRANS_TYPE", FieldLeft + 30, KVButton1->Top(), 30);
    KVDBEdit10->SetCharCase(ecUpperCase);
    KVDBEdit10->SetMaxLength(1);
    KVDBEdit10->SetColor(clNavy);
    KVDBEdit10->Font()->SetColor(clWhite);
    KVDBEdit10->Font()->SetStyle(TFontStyles {fsBold});
    KVDBDateEdit2 = Line<TKVDBDateEdit>(KVLabel10, "Date Hired", "KVDBDateEdit2", "HIRE_DATE", FieldLeft, 90);
    KVDBDateEdit3 =
            Line<TKVDBDateEdit>(KVLabel11, "Date Terminated", "KVDBDateEdit3", "TERM_DATE", FieldLeft, 90);
    KVCheckBox1 = Line<TKVCheckBox>(
            KVLabel12,
            "Payer made direct sales of $5,000 or more of consumer products to a buyer for resale?",
            "KVCheckBox1", "", 610, 110);
    KVCheckBox1->SetCaption("Sales Over 5K");
    KVDBEdit11 = Line<TKVDBEdit>(KVLabel13, "Employee Note 1", "KVDBEdit11", "NOTE1", FieldLeft, 480);
    KVDBEdit12 = Line<TKVDBEdit>(KVLabel14, "Employee Note 2", "KVDBEdit12", "NOTE2", FieldLeft, 480);
    KVDBEdit13 = Line<TKVDBEdit>(KVLabel15, "State ID Number 1", "KVDBEdit13", "STATE_ID1", FieldLeft, 170);
    KVDBEdit13->SetCharCase(ecUpperCase);
    KVDBEdit14 = Line<TKVDBEdit>(KVLabel16, "State ID Number 2", "KVDBEdit14", "STATE_ID2", FieldLeft, 170);
    KVDBEdit14->SetCharCase(ecUpperCase);
    // The scrolled area reaches to the last line.
    ScrollBox1->Realign();

    KVDBEdit1->OnEnter = [this](TObject* S) { KVDBEdit1Enter(S); };
    KVDBEdit1->OnExit = [this](TObject* S) { KVDBEdit1Exit(S); };
    for (TKVDBEdit* edit : {KVDBEdit2, KVDBEdit11, KVDBEdit12, KVDBEdit13, KVDBEdit14})
        edit->OnExit = [this](TObject* S) { KVDBEdit2Exit(S); };
    KVDBEdit6->OnExit = [this](TObject* S) { KVDBEdit6Exit(S); };
    KVDBEdit7->OnExit = [this](TObject* S) { KVDBEdit7Exit(S); };
    KVDBEdit8->OnExit = [this](TObject* S) { KVDBEdit8Exit(S); };
    KVDBEdit9->OnExit = [this](TObject* S) { KVDBEdit9Exit(S); };
    KVButton1->OnClick = [this](TObject* S) { KVButton1Click(S); };
    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnClose = [this](TObject* S, TCloseAction& A) { FormClose(S, A); };
}

template<class T>
T* TFEmployeeBasic::Place(const String& Name, const String& Field, int Left, int Top, int Width)
{
    T* control = new T(this);
    control->SetName(Name);
    control->SetParent(ScrollBox1);
    control->SetBounds(Left, Top, Width, 21);
    if constexpr (std::is_base_of_v<TDBEdit, T>) {
        control->SetDataSource(DClientDataBase->dsEmployee);
        control->SetDataField(Field);
    }
    return control;
}

template<class T>
T* TFEmployeeBasic::Line(TKVLabel*& Label, const String& Caption, const String& Name, const String& Field,
                         int Left, int Width)
{
    auto* bevel = new TKVBevel(this);
    bevel->SetParent(ScrollBox1);
    bevel->SetBounds(8, FNextTop, 736, LineHeight - 4);
    Label = new TKVLabel(this);
    Label->SetName("KVLabel" + IntToStr((FNextTop - FirstLineTop) / LineHeight + 1));
    Label->SetParent(ScrollBox1);
    Label->SetBounds(16, FNextTop + 8, Left - 24, 13);
    Label->SetCaption(Caption);
    T* control = Place<T>(Name, Field, Left, FNextTop + 4, Width);
    Label->SetFirstControl(control);
    FNextTop += LineHeight;
    return control;
}

void TFEmployeeBasic::FormCreate(TObject*)
{
    DirectSales = RecipientField("DIR_SALES")->AsString() == "Y";
    KVCheckBox1->Bind(&DirectSales);
    SetCaption("Employee Information For - " + RecipientField("NAME1")->AsString());
}

void TFEmployeeBasic::Activate()
{
    TKVMouseFreeForm::Activate();
    FormPaint(this);
}

void TFEmployeeBasic::FormPaint(TObject*)
{
    if (NewRecipient && !FirstPaintDone)
        FocusControl(KVDBEdit2);
    FirstPaintDone = true;
}

void TFEmployeeBasic::FormClose(TObject*, TCloseAction&)
{
    TDaroruTable* recipients = Recipients();
    if (!Editing(recipients))
        recipients->Edit();
    RecipientField("DIR_SALES")->SetAsString(DirectSales ? "Y" : "N");
    RecipientField("CSZ")->SetAsString(RecipientField("CITY")->AsString() + " " +
                                       RecipientField("STATE")->AsString() + " " +
                                       RecipientField("ZIP")->AsString());
    recipients->Post();
}

void TFEmployeeBasic::KVDBEdit1Enter(TObject*) { OldID = Trim(RecipientField("ID")->AsString()); }

void TFEmployeeBasic::KVDBEdit1Exit(TObject*)
{
    const String newID = RecipientField("ID")->AsString();
    if (newID == OldID)
        return;
    // An ID that cannot serve, or another recipient's, would orphan or merge transactions:
    // the recipient keeps its ID and nothing is written.
    String refusal;
    if (!IsValidID(newID))
        refusal = UnusableEmployeeIDMessage(newID, "The ID was not changed.");
    else if (EmployeeIDUsedByAnother(Recipients(), newID))
        refusal = EmployeeIDUsedMessage;
    if (!refusal.empty()) {
        RecipientField("ID")->SetAsString(OldID);
        ShowMessage(refusal);
        return;
    }
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    TStatusProgress progress("Updating Employee ID", transactions->RecCount());
    progress.Step();
    CarryRecipientID(transactions, OldID, newID, [&progress] { progress.Step(); });
}

void TFEmployeeBasic::Reformat(const char* Field, String (*Format)(const String&))
{
    TField* field = RecipientField(Field);
    field->SetAsString(Format(field->AsString()));
}

void TFEmployeeBasic::KVDBEdit2Exit(TObject*)
{
    RecipientField("LAST")->SetAsString(ExtractLastName(RecipientField("NAME1")->AsString()));
}

void TFEmployeeBasic::KVDBEdit6Exit(TObject*) { Reformat("ZIP", FormatZip); }

void TFEmployeeBasic::KVDBEdit7Exit(TObject*) { Reformat("HOME_PHONE", FormatPhone); }

void TFEmployeeBasic::KVDBEdit8Exit(TObject*) { Reformat("TAX_ID", FormatEIN); }

void TFEmployeeBasic::KVDBEdit9Exit(TObject*) { Reformat("SSN", FormatSSN); }

void TFEmployeeBasic::KVButton1Click(TObject*)
{
    // A list closed without a choice leaves the income type as it was.
    const String chosen = GetSelection(1);
    if (!chosen.empty())
        RecipientField("TRANS_TYPE")->SetAsString(IncomeTypeLetter(TextToRoundedInt(LeftChars(chosen, 2))));
    if (NewRecipient) {
        NewRecipient = false;
        FocusControl(KVCommander1->MouseFreeEdit());
    }
}
