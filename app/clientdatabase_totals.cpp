// A recipient's totals, summed from the client's transactions.

#include <cmath>
#include <cstdint>
#include <iterator>

#include "app/clientdatabase.h"
#include "platform/rtl/floattext.h"

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

// Restricts a table to a filter while it lives, then gives it back its own.
class TFilterSwap {
public:
    TFilterSwap(TDaroruTable* Table, const String& Filter)
        : FTable(Table), FOldFilter(Table->Filter()), FWasFiltered(Table->Filtered())
    {
        FTable->SetFiltered(false);
        FTable->SetSxQuery(Filter);
        FTable->SetFiltered(true);
    }
    ~TFilterSwap()
    {
        FTable->SetFiltered(false);
        FTable->SetSxQuery(FOldFilter);
        FTable->SetFiltered(FWasFiltered);
    }
    TFilterSwap(const TFilterSwap&) = delete;
    TFilterSwap& operator=(const TFilterSwap&) = delete;

private:
    TDaroruTable* FTable;
    String FOldFilter;
    bool FWasFiltered;
};

}  // namespace

void TDClientDataBase::RecalcRecipientTotals()
{
    // Editing an empty table would add a blank recipient.
    if (tblEmployee->Active() && tblEmployee->IsEmpty())
        throw EDatabaseError("There is no recipient whose totals could be recalculated.");
    const String id = tblEmployee->FieldByName("ID")->AsString();
    // Only the recipient's transactions are read, whatever restriction is on: the
    // engine finds them without the client's other transactions passing through here.
    const TFilterSwap recipientsTransactions(tblTransactions, RecipientTransactionsFilter(id));
    tblEmployee->Edit();
    try {
        std::int64_t sums[std::size(Totals)] = {};
        for (tblTransactions->First(); !tblTransactions->Eof(); tblTransactions->Next()) {
            if (tblTransactions->FieldByName("EMP_ID")->AsString() != id)
                continue;
            for (size_t i = 0; i < std::size(Totals); ++i)
                sums[i] += Cents(tblTransactions->FieldByName(Totals[i].Transaction)->AsFloat());
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
