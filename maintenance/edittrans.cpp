#include "maintenance/edittrans.h"

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "controls/kvrows.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/texthelpers.h"
#include "platform/vcl/dialogs/dialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/graphics/colors.h"

const char* const DateFormatExplanation =
        "A proper date format would be entered as MMDDYY or MMDDYYYY. It must also have valid day and month "
        "entries. i.e. you cannot enter a date like 0231YYYY because there are not 31 days in February.";
const char* const SystemDateSubstituted =
        "A proper date format was not entered. The program will enter the system date for you.";

namespace {

constexpr int RowLeft = 16;
constexpr int RowWidth = 735;
constexpr int RowHeight = 27;
constexpr int FieldLeft = 300;

TKVHeader* PlaceHeader(TForm* Form, const String& Name, const String& Title, int Top)
{
    auto* header = PlaceControl<TKVHeader>(Form, Form, Name, 8, Top, 751, 21);
    header->SetTitle(Title);
    return header;
}

TLabel* PlaceHeading(TForm* Form, const String& Name, const String& Caption, int Top)
{
    auto* heading = PlaceControl<TLabel>(Form, Form, Name, RowLeft + 4, Top, 300, 16);
    heading->Font()->SetStyle(TFontStyles {fsBold});
    heading->Font()->SetColor(clNavy);
    heading->SetCaption(Caption);
    return heading;
}

// One framed line: its frame, its numbered caption and the edit of Field.
template<class T>
T* PlaceRow(TForm* Form, int Number, const String& Caption, const String& EditName, const String& Field,
            int Top, int Width, TKVBevel*& Bevel, TKVLabel*& Label)
{
    const String n = IntToStr(Number);
    Bevel = PlaceControl<TKVBevel>(Form, Form, "KVBevel" + n, RowLeft, Top, RowWidth, RowHeight);
    Label = PlaceControl<TKVLabel>(Form, Form, "KVLabel" + n, RowLeft + 12, Top + 6, 260, 15);
    Label->Font()->SetStyle(TFontStyles {fsBold});
    Label->Font()->SetColor(clNavy);
    Label->SetCaption(Caption);
    T* edit = PlaceControl<T>(Form, Form, EditName, FieldLeft, Top + 3, Width, 21);
    edit->SetDataSource(DClientDataBase->dsTransactions);
    edit->SetDataField(Field);
    Label->SetFirstControl(edit);
    return edit;
}

TBitBtn* PlaceCloseButton(TForm* Form, const String& Name, const String& Caption, const String& Hint,
                          int Left)
{
    auto* button = PlaceControl<TBitBtn>(Form, Form, Name, Left, 400, 360, 27);
    button->SetCaption(Caption);
    button->SetHint(Hint);
    button->SetShowHint(true);
    button->SetCancel(true);
    button->SetModalResult(mrCancel);
    return button;
}

TField* TransactionField(const char* Name) { return DClientDataBase->tblTransactions->FieldByName(Name); }

}  // namespace

TFEditTrans::TFEditTrans(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
{
    SetName("FEditTrans");
    SetCaption("Transaction Information");
    SetPosition(poScreenCenter);

    KVToolBar1 = NewChild<TKVToolBar>(this, this, "KVToolBar1");
    KVCommander1 = NewChild<TKVCommander>(this, this, "KVCommander1");

    KVHeader1 = PlaceHeader(this, "KVHeader1", "Transaction Input", 36);
    KVDBDateEditAmerican1 = PlaceRow<TKVDBDateEditAmerican>(
            this, 1, "Transaction Date", "KVDBDateEditAmerican1", "DATE", 64, 80, KVBevel1, KVLabel1);
    KVDBDateEditAmerican1->SetDontSlashClose(true);
    BitBtn1 = PlaceControl<TBitBtn>(this, this, "BitBtn1", FieldLeft + 96, 65, 110, 23);
    BitBtn1->SetCaption("&System Date");
    BitBtn1->SetHint("Set transaction date to the computer system date");
    BitBtn1->SetShowHint(true);
    BitBtn1->SetTabStop(false);
    KVDBIntEdit1 = PlaceRow<TKVDBIntEdit>(this, 2, "Reference Number", "KVDBIntEdit1", "NUMBER", 92, 100,
                                          KVBevel2, KVLabel2);
    KVDBEdit1 = PlaceRow<TKVDBEdit>(this, 3, "Transaction Description", "KVDBEdit1", "DESCR", 120, 430,
                                    KVBevel3, KVLabel3);
    KVDBDoubleEdit1 = PlaceRow<TKVDBDoubleEdit>(this, 4, "Total Amount", "KVDBDoubleEdit1", "AMOUNT", 148,
                                                100, KVBevel4, KVLabel4);

    KVHeader2 = PlaceHeader(this, "KVHeader2", "Withholdings", 180);
    KVDBDoubleEdit2 = PlaceRow<TKVDBDoubleEdit>(this, 5, "Federal Withholding", "KVDBDoubleEdit2", "FWT", 206,
                                                100, KVBevel5, KVLabel5);
    Label1 = PlaceHeading(this, "Label1", "State Number One", 238);
    KVDBDoubleEdit3 = PlaceRow<TKVDBDoubleEdit>(this, 6, "State Number 1 Income Amount", "KVDBDoubleEdit3",
                                                "STATE_INC1", 256, 100, KVBevel6, KVLabel6);
    KVDBDoubleEdit4 = PlaceRow<TKVDBDoubleEdit>(this, 7, "State Number 1 Withholding", "KVDBDoubleEdit4",
                                                "SWT1", 284, 100, KVBevel7, KVLabel7);
    Label2 = PlaceHeading(this, "Label2", "State Number Two", 316);
    KVDBDoubleEdit5 = PlaceRow<TKVDBDoubleEdit>(this, 8, "State Number 2 Income Amount", "KVDBDoubleEdit5",
                                                "STATE_INC2", 334, 100, KVBevel8, KVLabel8);
    KVDBDoubleEdit6 = PlaceRow<TKVDBDoubleEdit>(this, 9, "State Number 2 Withholding", "KVDBDoubleEdit6",
                                                "SWT2", 362, 100, KVBevel9, KVLabel9);

    // Of the two cancel buttons Esc presses the first made: Cancel, so that Esc never posts.
    BitBtn4 = PlaceCloseButton(
            this, "BitBtn4", "&Cancel (do not post this transaction)",
            "Will stop creating new transactions.  Will cancel the current transaction and take "
            "you back to the main journalizing screen.",
            391);
    BitBtn2 = PlaceCloseButton(this, "BitBtn2", "&Finshed (post this transaction and close)",
                               "Will stop creating new transactions.", RowLeft);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
    OnKeyPress = [this](TObject* S, char& K) { FormKeyPress(S, K); };
    KVDBDateEditAmerican1->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) {
        KVDBDateEditAmerican1KeyDown(S, K, Sh);
    };
    BitBtn1->OnClick = [this](TObject* S) { BitBtn1Click(S); };
    KVDBDoubleEdit1->OnExit = [this](TObject* S) { KVDBDoubleEdit1Exit(S); };
    BitBtn2->OnClick = [this](TObject* S) { BitBtn2Click(S); };
    BitBtn4->OnClick = [this](TObject* S) { BitBtn4Click(S); };
}

void TFEditTrans::FormCreate(TObject*)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    TransactionField("PAYEE")->SetAsString(recipients->FieldByName("NAME1")->AsString());
    TransactionField("EMP_ID")->SetAsString(recipients->FieldByName("ID")->AsString());
}

void TFEditTrans::FormShow(TObject*)
{
    // Interest income has no state amounts on its form.
    const bool states = DClientDataBase->tblEmployee->FieldByName("TRANS_TYPE")->AsString() != "I";
    for (TControl* c : std::initializer_list<TControl*> {
                 Label1, Label2, KVLabel6, KVLabel7, KVLabel8, KVLabel9, KVBevel6, KVBevel7, KVBevel8,
                 KVBevel9, KVDBDoubleEdit3, KVDBDoubleEdit4, KVDBDoubleEdit5, KVDBDoubleEdit6})
        c->SetVisible(states);
}

void TFEditTrans::Activate()
{
    TKVMouseFreeForm::Activate();
    FormPaint(this);
}

void TFEditTrans::FormPaint(TObject*)
{
    if (NewTransaction)
        SetActiveControl(KVDBDateEditAmerican1);
}

void TFEditTrans::FormKeyPress(TObject* Sender, char& Key)
{
    if (Key == '\r' && FHoldEnter) {
        FHoldEnter = false;
        Key = 0;
        return;
    }
    MouseFreeKeyPress(Sender, Key);
}

void TFEditTrans::KVDBDateEditAmerican1KeyDown(TObject*, Word& Key, TShiftState)
{
    if (Key != VK_RETURN)
        return;
    Key = 0;
    FHoldEnter = !CheckDate();
}

bool TFEditTrans::CheckDate()
{
    TKVDBDateEditAmerican* edit = KVDBDateEditAmerican1;
    if (edit->Text().empty())
        return true;
    edit->SetText(FormatDateText(edit->Text(), "MM/DD/YY"));
    try {
        StrToDate(edit->Text());
    } catch (const EConvertError&) {
        ++DateErrorCount;
        Application->HandleException(this);
        if (DateErrorCount > 2)
            ShowMessage(DateFormatExplanation);
        if (DateErrorCount >= 4) {
            ShowMessage(SystemDateSubstituted);
            edit->SetText(TodayTextSlashed());
        }
        return false;
    }
    DateErrorCount = 0;
    return true;
}

void TFEditTrans::BitBtn1Click(TObject*)
{
    TransactionField("DATE")->SetAsString(TodayTextSlashed());
    if (NewTransaction)
        SetActiveControl(KVDBIntEdit1);
}

void TFEditTrans::KVDBDoubleEdit1Exit(TObject*)
{
    if (!NewTransaction)
        return;
    if (FMain->User->StateAmount)
        TransactionField("STATE_INC1")->SetAsFloat(TransactionField("AMOUNT")->AsFloat());
    NewTransaction = false;
    SetActiveControl(KVCommander1->MouseFreeEdit());
}

void TFEditTrans::BitBtn2Click(TObject*)
{
    if (TransactionField("DESCR")->AsString().empty() && TransactionField("AMOUNT")->AsFloat() == 0.0)
        FMain->DiscardTransaction = true;
    FMain->AddingTransactions = 0;
}

void TFEditTrans::BitBtn4Click(TObject*)
{
    FMain->AddingTransactions = 0;
    FMain->DiscardTransaction = true;
    Cancelled = true;
}
