// A recipient's totals, summed from the client's transactions.

#include <cmath>
#include <cstdint>
#include <iterator>

#include "app/clientdatabase.h"
#include "platform/rtl/floattext.h"
#include "platform/rtl/strutils.h"

namespace {

// Recipient total and the transaction field summed into it.
struct TTotal {
    const char* Recipient;
    const char* Transaction;
};

const TTotal Totals[] = {
        {"TOTAMT", "AMOUNT"},         {"FWT", "FWT"},   {"STATE_INC1", "STATE_INC1"}, {"SWT1", "SWT1"},
        {"STATE_INC2", "STATE_INC2"}, {"SWT2", "SWT2"},
};

// Money is summed in whole cents, so no rounding error builds up.
std::int64_t Cents(double Dollars) { return std::llround(Dollars * 100); }

// Restricts the transactions to one recipient's while it lives, then gives the table
// back its own restriction and order. Where the recipients' tag holds every EMP_ID as
// it is, the walk goes by it within a scope of the recipient's key: the query alone
// would be tested on every transaction of the client. The query stays on either way,
// so only the recipient's transactions pass.
class TRecipientsTransactions {
public:
    TRecipientsTransactions(TDaroruTable* Table, const String& RecipientID)
        : FTable(Table), FOldFilter(Table->Filter()), FWasFiltered(Table->Filtered()),
          FOldOrder(Table->IndexOrd())
    {
        // Unrestricted, the table moves cheaply while its order and scope change.
        FTable->SetFiltered(false);
        const int tag = FTable->TagArea("EMP_ID");
        if (tag > 0) {
            FTable->SetOrder(tag);
            const bool bare = SameText(Trim(FTable->IndexKey()), "EMP_ID");
            if (bare && Trim(FTable->IndexConditionText()).empty()) {
                const String key = RecipientTransactionsKey(RecipientID);
                FTable->SetScope(key, key);
                FScoped = true;
            }
        }
        // Without the tag, the natural order: a tag with a condition may leave some out.
        if (!FScoped)
            FTable->SetOrder(0);
        FTable->SetSxQuery(RecipientTransactionsFilter(RecipientID));
        FTable->SetFiltered(true);
    }
    ~TRecipientsTransactions()
    {
        FTable->SetFiltered(false);
        if (FScoped)
            FTable->SetScope("", "");
        FTable->SetOrder(FOldOrder);
        FTable->SetSxQuery(FOldFilter);
        FTable->SetFiltered(FWasFiltered);
    }
    TRecipientsTransactions(const TRecipientsTransactions&) = delete;
    TRecipientsTransactions& operator=(const TRecipientsTransactions&) = delete;

private:
    TDaroruTable* FTable;
    String FOldFilter;
    bool FWasFiltered;
    int FOldOrder;
    bool FScoped = false;
};

}  // namespace

void TDClientDataBase::RecalcRecipientTotals()
{
    // Editing an empty table would add a blank recipient.
    if (tblEmployee->Active() && tblEmployee->IsEmpty())
        throw EDatabaseError("There is no recipient whose totals could be recalculated.");
    const String id = tblEmployee->FieldByName("ID")->AsString();
    // Only the recipient's transactions are read, whatever restriction is on.
    const TRecipientsTransactions recipientsTransactions(tblTransactions, id);
    tblEmployee->Edit();
    try {
        TField* const recipient = tblTransactions->FieldByName("EMP_ID");
        TField* amounts[std::size(Totals)];
        for (size_t i = 0; i < std::size(Totals); ++i)
            amounts[i] = tblTransactions->FieldByName(Totals[i].Transaction);
        std::int64_t sums[std::size(Totals)] = {};
        for (tblTransactions->First(); !tblTransactions->Eof(); tblTransactions->Next()) {
            if (recipient->AsString() != id)
                continue;
            for (size_t i = 0; i < std::size(Totals); ++i)
                sums[i] += Cents(amounts[i]->AsFloat());
        }
        // Totals that already hold their sums are left as they are: nothing to write.
        bool unchanged = true;
        for (size_t i = 0; i < std::size(Totals); ++i)
            unchanged =
                    unchanged && Cents(tblEmployee->FieldByName(Totals[i].Recipient)->AsFloat()) == sums[i];
        if (unchanged) {
            tblEmployee->Cancel();
            return;
        }
        for (size_t i = 0; i < std::size(Totals); ++i) {
            const double value = static_cast<double>(sums[i]) / 100;
            const String text = FormatFloat("0.00", value);
            if (static_cast<int>(text.size()) > tblEmployee->FieldWidth(Totals[i].Recipient))
                throw EDatabaseError("The total " + String(Totals[i].Recipient) + " of recipient " + id +
                                     " (" + text +
                                     ") is too large for its field; the totals were not changed.");
            tblEmployee->FieldByName(Totals[i].Recipient)->SetAsFloat(value);
        }
        tblEmployee->Post();
    } catch (...) {
        tblEmployee->Cancel();
        throw;
    }
}
