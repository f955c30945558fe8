#pragma once
// The transaction grid: the payments of one recipient of the current client, where
// transactions are created (in a loop, one editor after the other), edited, deleted,
// searched and listed. Every change ends with the recipient's totals recalculated.
// The caller stands the recipient table on the recipient.

#include <functional>

#include "controls/kvbevel.h"
#include "controls/kvdbdoubleedit.h"
#include "controls/kvdbedit.h"
#include "controls/kvforms.h"
#include "controls/kvheader.h"
#include "controls/kvtoolbar.h"
#include "datacontrols/grid/wwdbgrid.h"
#include "datacontrols/lookup/dwidlg.h"
#include "platform/vcl/controls/buttons.h"
#include "platform/vcl/controls/label.h"
#include "platform/vcl/dialogs/dialogs.h"

// The listing of a recipient's transactions for a date range, printed or previewed
// as the main window's Preview says; the list reports set it. Unset, the grid's
// Print and Preview buttons say that the command is not available.
extern std::function<void(const String& RecipientID)> TransactionListing;

class TFTransactions : public TKVMouseFreeForm {
public:
    explicit TFTransactions(TComponent* AOwner);

    String ClassName() const override { return "TFTransactions"; }

    TKVToolBar* KVToolBar1;
    TBitBtn* BitBtn3;
    TBitBtn* BitBtn4;
    TBitBtn* BitBtn2;
    TKVHeader* KVHeader2;
    TKVBevel* KVBevel1;
    TLabel* Label1;
    TKVDBEdit* KVDBEdit1;
    TKVBevel* KVBevel2;
    TLabel* Label2;
    TKVDBDoubleEdit* KVDBDoubleEdit1;
    TKVBevel* KVBevel3;
    TLabel* Label3;
    TBitBtn* BitBtn1;
    TdwDBGrid* dwDBGrid1;
    TdwLookupDialog* dwLookupDialog1;
    TPrintDialog* PrintDialog1;
    TKVCommander* KVCommander1;

    void FormCreate(TObject* Sender);
    void BitBtn1Click(TObject* Sender);
    void dwDBGrid1DblClick(TObject* Sender);
    void dwDBGrid1KeyPress(TObject* Sender, char& Key);
    void dwDBGrid1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void dwDBGrid1Enter(TObject* Sender);
    void dwDBGrid1Exit(TObject* Sender);
    void dwDBGrid1CalcCellColors(TObject* Sender, TField* Field, TGridDrawState State, bool Highlight,
                                 TFont* AFont, TBrush* ABrush);
    void dwDBGrid1TopRowChanged(TObject* Sender);
    void BitBtn3Click(TObject* Sender);
    void BitBtn4Click(TObject* Sender);
    void BitBtn2Click(TObject* Sender);

private:
    // The grid again on the recipient's transactions, from the first, with the totals
    // recalculated.
    void RefreshView();
    // The grid on the recipient's transactions, from the first, and the total's colour.
    void ShowRecipientsTransactions();
    // How the last showing of the editor ended.
    struct TEditorEnd {
        bool Shown;           // false: the application is ending and the editor never showed
        bool Cancelled;       // left with its Cancel button
        bool ByWindowSystem;  // closed by its close box or the end of the session
        bool Posted = false;  // the record was posted afterwards
    };
    // Runs the editor until the record is posted or dropped; a record the table
    // refuses is shown to the user again with the reason. Returns how the last
    // showing ended.
    TEditorEnd EditUntilPosted(bool NewTransaction);
    // Runs a change of the transactions, then refreshes the view, also when it fails.
    void ChangeAndRefresh(const std::function<void()>& Change);
    void EditTransaction();
    void DeleteTransaction();
    // Prints or previews the listing.
    void ListTransactions(bool Preview);
    // The grid back on the transactions in date order, from the first.
    void ShowByDate();
    String RecipientID() const;
};

// Shows the transaction grid of the current recipient modally.
void ShowTransactions();
// The recipient picker of the main menu over the recipient table in its current
// order; true when a recipient was chosen, which is then the current one.
bool LookupRecipient();
