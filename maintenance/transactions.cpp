#include "maintenance/transactions.h"

#include <memory>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/totstart.h"
#include "controls/kvrows.h"
#include "maintenance/edittrans.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/keys.h"
#include "platform/vcl/graphics/colors.h"

std::function<void(const String& RecipientID)> TransactionListing;

namespace {

constexpr TColor EvenRowColor = 0x80FFFF;   // light yellow
constexpr TColor NegativeTotalColor = 255;  // red

TBitBtn* PlaceToolButton(TForm* Form, TKVToolBar* Bar, const String& Name, const String& Caption,
                         const String& Hint, int Left, int Width)
{
    auto* button = PlaceControl<TBitBtn>(Form, Bar, Name, Left, 3, Width, 25);
    button->SetCaption(Caption);
    button->SetHint(Hint);
    button->SetShowHint(true);
    return button;
}

// One framed line with its caption; the line's control goes right of it.
TLabel* PlaceRow(TForm* Form, int Number, const String& Caption, int Top, TKVBevel*& Bevel)
{
    const String n = IntToStr(Number);
    Bevel = PlaceControl<TKVBevel>(Form, Form, "KVBevel" + n, 8, Top, 751, 27);
    auto* label = PlaceControl<TLabel>(Form, Form, "Label" + n, 20, Top + 6, 270, 15);
    label->Font()->SetStyle(TFontStyles {fsBold});
    label->Font()->SetColor(clNavy);
    label->SetCaption(Caption);
    return label;
}

// A read-only value in white bold on navy.
template<class T>
T* PlaceValue(TForm* Form, const String& Name, TDataSource* Source, const String& Field, int Top, int Width)
{
    T* edit = PlaceControl<T>(Form, Form, Name, 300, Top + 3, Width, 21);
    edit->SetDataSource(Source);
    edit->SetDataField(Field);
    edit->SetReadOnly(true);
    edit->SetTabStop(false);
    edit->SetColor(clNavy);
    edit->Font()->SetColor(clWhite);
    edit->Font()->SetStyle(TFontStyles {fsBold});
    return edit;
}

TDaroruTable* Transactions() { return DClientDataBase->tblTransactions; }

}  // namespace

TFTransactions::TFTransactions(TComponent* AOwner) : TKVMouseFreeForm(AOwner)
{
    SetName("FTransactions");
    SetCaption("1099 Transactions");
    SetPosition(poScreenCenter);
    SetClientHeight(500 - (Height() - ClientHeight()));

    KVToolBar1 = NewChild<TKVToolBar>(this, this, "KVToolBar1");
    BitBtn3 = PlaceToolButton(this, KVToolBar1, "BitBtn3", "&Search", "Search for a transaction", 4, 90);
    BitBtn4 = PlaceToolButton(this, KVToolBar1, "BitBtn4", "&Print Trans.",
                              "Print transactions for a given date range", 98, 110);
    BitBtn2 = PlaceToolButton(this, KVToolBar1, "BitBtn2", "Pre&view Trans.",
                              "Preview transactions for a given date range", 212, 120);
    KVCommander1 = NewChild<TKVCommander>(this, this, "KVCommander1");

    KVHeader2 = PlaceControl<TKVHeader>(this, this, "KVHeader2", 8, 36, 751, 21);
    KVHeader2->SetColor(clNavy);
    KVHeader2->SetTitle("Transaction Information");

    Label1 = PlaceRow(this, 1, "Current Employee", 62, KVBevel1);
    KVDBEdit1 = PlaceValue<TKVDBEdit>(this, "KVDBEdit1", DClientDataBase->dsEmployee, "NAME1", 62, 300);
    Label2 = PlaceRow(this, 2, "Current Employee Income or Loss", 92, KVBevel2);
    KVDBDoubleEdit1 = PlaceValue<TKVDBDoubleEdit>(this, "KVDBDoubleEdit1", DClientDataBase->dsEmployee,
                                                  "TOTAMT", 92, 120);
    Label3 = PlaceRow(this, 3, "Key in new transactions", 122, KVBevel3);
    BitBtn1 = PlaceControl<TBitBtn>(this, this, "BitBtn1", 300, 124, 120, 23);
    BitBtn1->SetCaption("&New Trans.");

    dwDBGrid1 = PlaceControl<TdwDBGrid>(this, this, "dwDBGrid1", 8, 156, 751,
                                        ClientHeight() - KVCommander1->Height() - 162);
    dwDBGrid1->Font()->SetStyle(TFontStyles {fsBold});
    dwDBGrid1->SetTitleLines(2);
    dwDBGrid1->SetTitleAlignment(taCenter);
    dwDBGrid1->SetTitleButtons(true);
    dwDBGrid1->SetFixedCols(0);
    dwDBGrid1->SetShowHorzScrollBar(true);
    dwDBGrid1->SetOptions(TdwDBGridOptions {dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
                                            dgTabs, dgConfirmDelete, dgCancelOnExit, dgWordWrap});
    dwDBGrid1->SetTabOrder(0);
    BitBtn1->SetTabOrder(1);

    dwLookupDialog1 = new TdwLookupDialog(this);
    dwLookupDialog1->SetName("dwLookupDialog1");
    // The dialog's defaults: caption "Lookup", a white grid with row select, at most
    // 209 pixels high.
    dwLookupDialog1->SetLookupTable(DClientDataBase->tblTransactions);
    PrintDialog1 = new TPrintDialog(this);
    PrintDialog1->SetName("PrintDialog1");

    OnCreate = [this](TObject* S) { FormCreate(S); };
    BitBtn1->OnClick = [this](TObject* S) { BitBtn1Click(S); };
    BitBtn3->OnClick = [this](TObject* S) { BitBtn3Click(S); };
    BitBtn4->OnClick = [this](TObject* S) { BitBtn4Click(S); };
    BitBtn2->OnClick = [this](TObject* S) { BitBtn2Click(S); };
    dwDBGrid1->OnDblClick = [this](TObject* S) { dwDBGrid1DblClick(S); };
    dwDBGrid1->OnKeyPress = [this](TObject* S, char& K) { dwDBGrid1KeyPress(S, K); };
    dwDBGrid1->OnKeyDown = [this](TObject* S, Word& K, TShiftState Sh) { dwDBGrid1KeyDown(S, K, Sh); };
    dwDBGrid1->OnEnter = [this](TObject* S) { dwDBGrid1Enter(S); };
    dwDBGrid1->OnExit = [this](TObject* S) { dwDBGrid1Exit(S); };
    dwDBGrid1->OnCalcCellColors = [this](TObject* S, TField* F, TGridDrawState St, bool H, TFont* AF,
                                         TBrush* AB) { dwDBGrid1CalcCellColors(S, F, St, H, AF, AB); };
    dwDBGrid1->OnTopRowChanged = [this](TObject* S) { dwDBGrid1TopRowChanged(S); };
}

String TFTransactions::RecipientID() const
{
    return DClientDataBase->tblEmployee->FieldByName("ID")->AsString();
}

void TFTransactions::FormCreate(TObject*)
{
    try {
        RefreshView();
    } catch (const Exception&) {
        // Totals that cannot be stored are said, and the grid still opens, where the
        // transactions that make them can be put right.
        Application->HandleException(this);
    }
}

void TFTransactions::RefreshView()
{
    dwDBGrid1->SetDataSource(nullptr);
    Transactions()->SetFiltered(false);
    try {
        DClientDataBase->RecalcRecipientTotals();
    } catch (...) {
        // Whatever failed, the grid never shows another recipient's transactions.
        ShowRecipientsTransactions();
        throw;
    }
    ShowRecipientsTransactions();
}

void TFTransactions::ShowRecipientsTransactions()
{
    Transactions()->SetSxQuery(RecipientTransactionsFilter(RecipientID()));
    Transactions()->SetFiltered(true);
    // On the first row before the grid comes, so that it fetches its rows once.
    Transactions()->First();
    dwDBGrid1->SetDataSource(DClientDataBase->dsTransactions);
    const bool negative = DClientDataBase->tblEmployee->FieldByName("TOTAMT")->AsFloat() < 0.0;
    KVDBDoubleEdit1->Font()->SetColor(negative ? NegativeTotalColor : clWhite);
}

TFTransactions::TEditorEnd TFTransactions::EditUntilPosted(bool NewTransaction)
{
    TDaroruTable* table = Transactions();
    for (;;) {
        const auto editor = OneUseForm<TFEditTrans>();
        editor->NewTransaction = NewTransaction;
        const bool shown = editor->ShowModal() != mrNone;
        TEditorEnd end {shown, editor->Cancelled, editor->ClosedByWindowSystem()};
        // An edited transaction goes back as it was on Cancel; a new one is dropped
        // whenever the editor says so. An editor that never showed took nothing.
        if (!end.Shown || (NewTransaction ? FMain->DiscardTransaction : end.Cancelled)) {
            table->Cancel();
            return end;
        }
        try {
            // The editor is still there to give the record what its fields hold, the
            // one left in the middle of typing (by the close box) included.
            table->Post();
            end.Posted = true;
            return end;
        } catch (const Exception&) {
            // A value the table cannot hold: the user sees why and corrects it.
            Application->HandleException(this);
        }
    }
}

void TFTransactions::ChangeAndRefresh(const std::function<void()>& Change)
{
    try {
        Change();
    } catch (...) {
        // Changes posted before stay, with their totals; the one that failed is dropped.
        Transactions()->Cancel();
        RefreshView();
        throw;
    }
    RefreshView();
}

void TFTransactions::BitBtn1Click(TObject*)
{
    FMain->AddingTransactions = 1;
    FMain->DiscardTransaction = false;
    ChangeAndRefresh([this] {
        TDaroruTable* table = Transactions();
        TDaroruTable* client = DClientDataBase->tblClient;
        bool firstPass = true;
        while (FMain->AddingTransactions != 0) {
            // After a posted transaction the current row is that transaction.
            const int previousNumber = table->FieldByName("NUMBER")->AsInteger();
            const String previousDate = table->FieldByName("DATE")->AsString();
            table->Append();
            if (firstPass) {
                table->FieldByName("NUMBER")->SetAsInteger(client->FieldByName("REFNUMBER")->AsInteger() + 1);
            } else {
                table->FieldByName("NUMBER")->SetAsInteger(previousNumber + 1);
                if (!previousDate.empty())
                    table->FieldByName("DATE")->SetAsString(previousDate);
            }
            table->FieldByName("DESCR")->SetAsString(client->FieldByName("DEF_DESCR")->AsString());
            const TEditorEnd end = EditUntilPosted(true);
            if (end.Posted)
                firstPass = false;
            // An editor closed by the window system keeps its transaction, as any close
            // does, but no next one follows; one that never showed ends the loop too.
            if (!end.Shown || end.ByWindowSystem)
                FMain->AddingTransactions = 0;
        }
    });
}

void TFTransactions::EditTransaction()
{
    TDaroruTable* table = Transactions();
    // An empty grid has no transaction to edit; editing would add a blank one.
    if (table->IsEmpty())
        return;
    ChangeAndRefresh([this, table] {
        table->Edit();
        EditUntilPosted(false);
    });
}

void TFTransactions::DeleteTransaction()
{
    TDaroruTable* table = Transactions();
    // Nothing is shown, so nothing may be deleted: the engine may stand on a hidden record.
    if (table->IsEmpty())
        return;
    if (!AskYesNo("Are you sure you want to delete this transaction for - " +
                  table->FieldByName("DESCR")->AsString() + " ?"))
        return;
    // The refresh shows the grid again; until then the delete and the pack need not
    // fetch its rows.
    dwDBGrid1->SetDataSource(nullptr);
    ChangeAndRefresh([this, table] {
        table->DaroruDelete();
        table->IndexOpen(DClientDataBase->ClientDir(FMain->User->ClientID) + "TOTTRANS.CDX");
        table->Pack();
    });
}

void TFTransactions::ShowByDate()
{
    Transactions()->SetOrder(Transactions()->TagArea("DATE"));
    dwDBGrid1->SetDataSource(DClientDataBase->dsTransactions);
    Transactions()->First();
}

void TFTransactions::dwDBGrid1DblClick(TObject*) { EditTransaction(); }

void TFTransactions::dwDBGrid1KeyPress(TObject* Sender, char& Key)
{
    if (Key == '\r') {
        Key = 0;
        EditTransaction();
        return;
    }
    MouseFreeKeyPress(Sender, Key);
}

void TFTransactions::dwDBGrid1KeyDown(TObject*, Word& Key, TShiftState)
{
    if (Key != VK_DELETE)
        return;
    Key = 0;
    DeleteTransaction();
}

// The grid takes its own keys; the form's keyboard commands stay out of its way.
void TFTransactions::dwDBGrid1Enter(TObject*) { SetKeyPreview(false); }

void TFTransactions::dwDBGrid1Exit(TObject*) { SetKeyPreview(true); }

void TFTransactions::dwDBGrid1CalcCellColors(TObject*, TField*, TGridDrawState, bool Highlight, TFont* AFont,
                                             TBrush* ABrush)
{
    if (Highlight) {
        ABrush->SetColor(clNavy);
        AFont->SetStyle(TFontStyles {fsBold});
        return;
    }
    ABrush->SetColor(dwDBGrid1->PaintingRow() % 2 == 0 ? EvenRowColor : clWhite);
}

// The banding belongs to screen rows, so a scroll repaints every row.
void TFTransactions::dwDBGrid1TopRowChanged(TObject*) { dwDBGrid1->Invalidate(); }

void TFTransactions::BitBtn3Click(TObject*)
{
    dwDBGrid1->SetDataSource(nullptr);
    try {
        FMain->DaroruEnv1->SetSoftSeek(true);
        Transactions()->SetOrder(Transactions()->TagArea("NUMBER"));
        if (dwLookupDialog1->Execute())
            EditTransaction();
    } catch (...) {
        ShowByDate();
        throw;
    }
    ShowByDate();
}

void TFTransactions::ListTransactions(bool Preview)
{
    if (!TransactionListing) {
        ShowMessage(NotAvailableMessage);
        return;
    }
    FMain->Preview = Preview;
    dwDBGrid1->SetDataSource(nullptr);
    try {
        if (!Preview && !PrintDialog1->Execute()) {
            dwDBGrid1->SetDataSource(DClientDataBase->dsTransactions);
            return;
        }
        TransactionListing(RecipientID());
    } catch (...) {
        ShowByDate();
        throw;
    }
    ShowByDate();
}

void TFTransactions::BitBtn4Click(TObject*) { ListTransactions(false); }

void TFTransactions::BitBtn2Click(TObject*) { ListTransactions(true); }

void ShowTransactions() { OneUseForm<TFTransactions>()->ShowModal(); }

bool LookupRecipient()
{
    const TOneUse<TdwLookupDialog> lookup(new TdwLookupDialog(Application.operator->()));
    lookup->SetLookupTable(DClientDataBase->tblEmployee);
    return lookup->Execute();
}
