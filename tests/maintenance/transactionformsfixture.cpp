#include "tests/maintenance/transactionformsfixture.h"

#include <cstdio>

#include "platform/rtl/strutils.h"

namespace {

// Looks for an open (not closing) modal form of type T until one is up, then runs Action on it.
template<class T> void WhenOpen(std::function<void(T*)> Action, int Tries = 500)
{
    QTimer::singleShot(10, [Action, Tries] {
        for (int i = Screen()->FormCount() - 1; i >= 0; --i) {
            auto* form = dynamic_cast<T*>(Screen()->Forms(i));
            if (form && form->Modal() && form->ModalResult() == mrNone) {
                Action(form);
                return;
            }
        }
        if (Tries > 0)
            WhenOpen<T>(Action, Tries - 1);
        else
            ADD_FAILURE() << "the form was never shown";
    });
}

std::vector<String> Lines(const String& Command)
{
    std::vector<String> lines;
    FILE* pipe = popen(Command.c_str(), "r");
    if (!pipe)
        return lines;
    char buffer[4096];
    while (fgets(buffer, sizeof buffer, pipe)) {
        String line = buffer;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        lines.push_back(line);
    }
    pclose(pipe);
    return lines;
}

const char* const TotalsScript = R"(
import sys, dbfread
from decimal import Decimal
def cents(raw):
    text = raw.decode("latin-1").strip()
    return int(Decimal(text or "0") * 100)
totals = ("TOTAMT", "FWT", "STATE_INC1", "SWT1", "STATE_INC2", "SWT2")
amounts = ("AMOUNT",) + totals[1:]
sums = {}
for t in dbfread.DBF(sys.argv[1] + "/TOTTRANS.DBF", raw=True):
    key = t["EMP_ID"].decode("latin-1").rstrip()
    row = sums.setdefault(key, [0] * 6)
    for i, name in enumerate(amounts):
        row[i] += cents(t[name])
for r in dbfread.DBF(sys.argv[1] + "/EMPLOYEE.DBF", raw=True):
    key = r["ID"].decode("latin-1").rstrip()
    stored = ",".join(str(cents(r[name])) for name in totals)
    summed = ",".join(str(c) for c in sums.get(key, [0] * 6))
    print(key + "|" + stored + "|" + summed)
)";

const char* const TransactionsScript = R"(
import sys, dbfread
table = dbfread.DBF(sys.argv[1] + "/TOTTRANS.DBF", raw=True)
for t in table:
    print(" ".join(t[name].decode("latin-1").strip() for name in ("NUMBER", "DATE", "AMOUNT")))
print("deleted", len(table.deleted))
)";

}  // namespace

void TransactionFormsFixture::SetUp()
{
    ShellFixture::SetUp();
    StartOnClient("08ACME", "ACME SUPPLY");
    MenuForms.RecipientLookup = LookupRecipient;
    MenuForms.Transactions = ShowTransactions;
    TDaroruTable* client = DClientDataBase->tblClient;
    client->Edit();
    client->FieldByName("DEF_DESCR")->SetAsString("CONTRACT LABOR");
    client->Post();
    AddRecipient("A1", "JOHN SMITH", "N");
    AddRecipient("A", "ANN LEE", "N");
    AddRecipient("I1", "FIRST BANK", "I");
}

void TransactionFormsFixture::AddRecipient(const String& ID, const String& Name, const String& Type)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    recipients->Append();
    recipients->FieldByName("ID")->SetAsString(ID);
    recipients->FieldByName("NAME1")->SetAsString(Name);
    recipients->FieldByName("TRANS_TYPE")->SetAsString(Type);
    recipients->Post();
}

void TransactionFormsFixture::AddTransaction(const String& RecipientID, int Number, const String& Date,
                                             double Amount, const String& Description)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    ASSERT_TRUE(recipients->Locate("ID", Variant(RecipientID), TLocateOptions())) << RecipientID;
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    transactions->Append();
    transactions->FieldByName("EMP_ID")->SetAsString(RecipientID);
    transactions->FieldByName("PAYEE")->SetAsString(recipients->FieldByName("NAME1")->AsString());
    transactions->FieldByName("NUMBER")->SetAsInteger(Number);
    transactions->FieldByName("DATE")->SetAsString(Date);
    transactions->FieldByName("AMOUNT")->SetAsFloat(Amount);
    transactions->FieldByName("DESCR")->SetAsString(Description);
    transactions->Post();
}

void TransactionFormsFixture::WithGrid(const String& RecipientID, std::function<void(TFTransactions*)> Script)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    ASSERT_TRUE(recipients->Locate("ID", Variant(RecipientID), TLocateOptions())) << RecipientID;
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    transactions->SetFilter(RecipientTransactionsFilter(RecipientID));
    transactions->SetFiltered(true);
    transactions->First();
    WhenOpen<TFTransactions>([Script](TFTransactions* Grid) {
        Script(Grid);
        Grid->Close();
    });
    // A form left open by a script that ended too early would wait for ever.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        ADD_FAILURE() << "a form was left open";
        for (int i = Screen()->FormCount() - 1; i >= 0; --i)
            if (auto* form = dynamic_cast<TCustomForm*>(Screen()->Forms(i)); form && form->Modal())
                form->SetModalResult(mrCancel);
    });
    watchdog.start(20000);
    ShowTransactions();
}

void TransactionFormsFixture::ScriptEditors(std::vector<std::function<void(TFEditTrans*)>> Scripts)
{
    for (auto& script : Scripts)
        FPendingEditors->push_back(std::move(script));
    auto pending = FPendingEditors;
    // Each script closes its editor; only then is the next one looked for.
    auto chain = std::make_shared<std::function<void()>>();
    *chain = [pending, chain] {
        if (pending->empty())
            return;
        WhenOpen<TFEditTrans>([pending, chain](TFEditTrans* Editor) {
            auto script = std::move(pending->front());
            pending->pop_front();
            script(Editor);
            (*chain)();
        });
    };
    (*chain)();
}

std::vector<String> TransactionFormsFixture::GridRows()
{
    std::vector<String> rows;
    TDaroruTable* t = DClientDataBase->tblTransactions;
    for (t->First(); !t->Eof(); t->Next())
        rows.push_back(t->FieldByName("NUMBER")->AsString() + "|" + t->FieldByName("DATE")->AsString() + "|" +
                       t->FieldByName("DESCR")->AsString() + "|" +
                       FormatFloat("0.00", t->FieldByName("AMOUNT")->AsFloat()));
    t->First();
    return rows;
}

std::vector<double> TransactionFormsFixture::StoredTotals(const String& RecipientID)
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    recipients->Locate("ID", Variant(RecipientID), TLocateOptions());
    std::vector<double> totals;
    for (const char* name : {"TOTAMT", "FWT", "STATE_INC1", "SWT1", "STATE_INC2", "SWT2"})
        totals.push_back(recipients->FieldByName(name)->AsFloat());
    return totals;
}

std::vector<String> TransactionFormsFixture::TotalsOnDisk()
{
    DClientDataBase->CloseClient();
    const String script = Dir / "totals.py";
    Dir.Write("totals.py", TotalsScript);
    return Lines("/usr/bin/python3 " + script + " " + Dir / "08ACME" + " 2>&1");
}

std::vector<String> TransactionFormsFixture::TransactionsOnDisk()
{
    const String script = Dir / "transactions.py";
    Dir.Write("transactions.py", TransactionsScript);
    return Lines("/usr/bin/python3 " + script + " " + Dir / "08ACME" + " 2>&1");
}

void Retype(TCustomForm* Form, const char* Text)
{
    PressKey(Form, Qt::Key_End);
    PressKey(Form, Qt::Key_Home, Qt::ShiftModifier);
    PressKey(Form, Qt::Key_Delete);
    TypeText(Form, Text);
}

void TypeInLine(TCustomForm* Form, const char* Number, const char* Text)
{
    TypeText(Form, Number);
    Retype(Form, Text);
    PressKey(Form, Qt::Key_Return);
}

String ActiveControlName(TCustomForm* Form)
{
    TWinControl* active = Form->ActiveControl();
    if (!active)
        return "(none)";
    if (auto* commander = dynamic_cast<TKVCommander*>(active->Owner());
        commander && active == commander->MouseFreeEdit())
        return "entry";
    return active->Name();
}
