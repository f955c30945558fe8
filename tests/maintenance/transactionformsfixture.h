#pragma once
// A client with recipients and the main menu, for driving the transaction grid and
// the transaction editor by keys; the totals are read back by an independent reader.

#include <deque>
#include <functional>
#include <vector>

#include "maintenance/edittrans.h"
#include "maintenance/transactions.h"
#include "tests/support/shellfixture.h"

class TransactionFormsFixture : public ShellFixture {
protected:
    // Client 08ACME (default description "CONTRACT LABOR") with the recipients A1
    // (JOHN SMITH, type "N"), A (ANN LEE, "N") and I1 (FIRST BANK, "I").
    void SetUp() override;

    void AddRecipient(const String& ID, const String& Name, const String& Type);
    // Straight into TOTTRANS; Date as "mm/dd/yyyy" or "".
    void AddTransaction(const String& RecipientID, int Number, const String& Date, double Amount,
                        const String& Description);

    // Stands the recipients on ID, restricts the transactions to it as the main menu
    // does and shows the grid; Script runs while it is up, then the grid is closed.
    void WithGrid(const String& RecipientID, std::function<void(TFTransactions*)> Script);
    // Each script runs on the next transaction editor that comes up, in order.
    void ScriptEditors(std::vector<std::function<void(TFEditTrans*)>> Scripts);
    // Whether every script given to ScriptEditors has run.
    bool EditorsDone() const { return FPendingEditors->empty(); }

    // The rows the grid's table shows, first to last: "NUMBER|DATE|DESCR|AMOUNT".
    static std::vector<String> GridRows();
    // A recipient's six stored totals, as the recipient table holds them now.
    static std::vector<double> StoredTotals(const String& RecipientID);

    // What the independent reader finds in the closed client's files: one line per
    // recipient, "ID|stored totals in cents|sums of its transactions in cents", the
    // six amounts of each in the order TOTAMT/AMOUNT, FWT, STATE_INC1, SWT1,
    // STATE_INC2, SWT2, joined by ",".
    std::vector<String> TotalsOnDisk();
    // What the independent reader finds in the client's transaction file as it is,
    // the client left open: "NUMBER DATE AMOUNT" of each record, then "deleted N".
    std::vector<String> TransactionsOnDisk();

private:
    std::shared_ptr<std::deque<std::function<void(TFEditTrans*)>>> FPendingEditors =
            std::make_shared<std::deque<std::function<void(TFEditTrans*)>>>();
};

// Types Text into the focused field of Form, first clearing what the field holds.
void Retype(TCustomForm* Form, const char* Text);
// Types a line's Number into the selection entry, then Text into the line's field
// in place of what it holds, ended with Enter.
void TypeInLine(TCustomForm* Form, const char* Number, const char* Text);
// The name of the form's focused control; "entry" for the selection entry.
String ActiveControlName(TCustomForm* Form);
