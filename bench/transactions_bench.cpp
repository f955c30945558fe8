// The transaction grid over a client of 1,000 recipients with 10k and 100k
// transactions, each recipient's spread through the file: opening the grid on one
// recipient (totals recalculated, filter set, first page painted), paging through
// its transactions, adding one through the New loop's editor with the totals
// recalculated, and deleting one (the table packed), beside a copy of the
// table's files. The forms run offscreen, as the tests drive them.

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <benchmark/benchmark.h>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "bench/benchsupport.h"
#include "maintenance/edittrans.h"
#include "maintenance/transactions.h"
#include "platform/classes/screen.h"
#include "platform/vcl/dialogs/scripteddialogs.h"
#include "platform/vcl/forms/application.h"
#include "platform/vcl/forms/keys.h"
#include "platform/win/servicedoubles.h"

namespace {

constexpr int kRecipients = 1000;

// Before the window system starts: no display is needed.
[[maybe_unused]] const bool kOffscreen = setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0;

String RecipientID(int Index) { return "R" + std::to_string(Index); }

// Message boxes answered without a window.
TScriptedDialogs& Dialogs()
{
    static TScriptedDialogs dialogs;
    return dialogs;
}

// The program's main window in a scratch program directory, with the outside
// world answered by doubles.
void StartProgram()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    Dialogs();
    static TFixedHostInfo host {"BENCH"};
    static TMemoryRegistry registry;
    TFMain::ProgramDirOverride = ScratchDir("transactions-bench");
    Application->CreateForm(FMain);
}

// Opens the client with Transactions transactions, making it the first time; the
// transactions of recipient i are i, i + 1,000, i + 2,000, ... in the file.
void OpenClient(int Transactions)
{
    StartProgram();
    const String id = "T" + std::to_string(Transactions);
    static std::map<int, bool> made;
    if (!made[Transactions]) {
        made[Transactions] = true;
        DClientDataBase->CloseClient();
        DClientDataBase->CreateClientTables(id);
        FMain->User->ClientID = id;
        DClientDataBase->OpenClient();
        // Each table's rows go out as one group: one sync instead of one a row.
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        TDaroruWriteGroup recipientRows(recipients);
        for (int i = 0; i < kRecipients; ++i) {
            recipients->Append();
            recipients->FieldByName("ID")->SetAsString(RecipientID(i));
            recipients->FieldByName("NAME1")->SetAsString("RECIPIENT " + std::to_string(i));
            recipients->Post();
        }
        recipientRows.Done();
        TDaroruTable* transactions = DClientDataBase->tblTransactions;
        TDaroruWriteGroup transactionRows(transactions);
        for (int n = 0; n < Transactions; ++n) {
            transactions->Append();
            transactions->FieldByName("EMP_ID")->SetAsString(RecipientID(n % kRecipients));
            transactions->FieldByName("NUMBER")->SetAsInteger(n / kRecipients + 1);
            transactions->FieldByName("DATE")->SetAsString("01/15/2008");
            transactions->FieldByName("DESCR")->SetAsString("CONTRACT LABOR");
            transactions->FieldByName("AMOUNT")->SetAsFloat(100.25);
            transactions->Post();
        }
        transactionRows.Done();
    }
    FMain->User->ClientID = id;
    DClientDataBase->OpenClient();
}

// Stands on a recipient in the middle of the file and restricts the transactions to
// it, as the main menu does before it shows the grid.
void ChooseRecipient()
{
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    recipients->Locate("ID", Variant(RecipientID(kRecipients / 2)), TLocateOptions());
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    transactions->SetFilter(RecipientTransactionsFilter(RecipientID(kRecipients / 2)));
    transactions->SetFiltered(true);
    transactions->First();
}

// The grid made and shown, its first page painted.
TFTransactions* OpenGrid()
{
    auto* grid = Construct<TFTransactions>(Application.operator->());
    grid->Show();
    grid->dwDBGrid1->Widget()->grab();
    return grid;
}

void ReportSize(benchmark::State& state)
{
    state.counters["transactions"] = double(state.range(0));
    state.counters["per_recipient"] = double(state.range(0) / kRecipients);
}

void OpenTheGrid(benchmark::State& state)
{
    OpenClient(int(state.range(0)));
    ChooseRecipient();
    for (auto _ : state)
        OpenGrid()->Free();
    ReportSize(state);
}

// From the first row to the last, a page at a time, each page painted.
void PageThrough(benchmark::State& state)
{
    OpenClient(int(state.range(0)));
    ChooseRecipient();
    TFTransactions* grid = OpenGrid();
    const int rows = grid->dwDBGrid1->VisibleRowCount();
    const int pages = (int(state.range(0)) / kRecipients + rows - 1) / rows;
    for (auto _ : state) {
        DClientDataBase->tblTransactions->First();
        for (int page = 0; page < pages; ++page) {
            Word key = VK_NEXT;
            grid->dwDBGrid1->KeyDown(key, TShiftState());
            grid->dwDBGrid1->Widget()->grab();
        }
    }
    state.counters["pages"] = pages;
    ReportSize(state);
    grid->Free();
}

// New, one transaction typed into the editor and Finished: posted, totals recalculated,
// the grid refreshed.
void AddOne(benchmark::State& state)
{
    OpenClient(int(state.range(0)));
    ChooseRecipient();
    TFTransactions* grid = OpenGrid();
    std::function<void()> fill = [] {
        for (int i = Screen()->FormCount() - 1; i >= 0; --i) {
            auto* editor = dynamic_cast<TFEditTrans*>(Screen()->Forms(i));
            if (editor && editor->Modal() && editor->ModalResult() == mrNone) {
                DClientDataBase->tblTransactions->FieldByName("AMOUNT")->SetAsFloat(12.34);
                editor->BitBtn2->Click();
                return;
            }
        }
    };
    for (auto _ : state) {
        QTimer::singleShot(0, fill);
        grid->BitBtn1->Click();
    }
    ReportSize(state);
    grid->Free();
}

// Delete on the current row, answered Yes: marked, the file packed, totals
// recalculated, the grid refreshed.
void DeleteOne(benchmark::State& state)
{
    OpenClient(int(state.range(0)));
    ChooseRecipient();
    TFTransactions* grid = OpenGrid();
    grid->SetActiveControl(grid->dwDBGrid1);
    for (auto _ : state) {
        Dialogs().AnswerMessage(mrYes);
        Word key = VK_DELETE;
        grid->dwDBGrid1->KeyDown(key, TShiftState());
    }
    ReportSize(state);
    grid->Free();
}

// What DeleteOne's pack is measured against: the transactions table's files
// (table, index, memo) copied beside themselves, as a user copies them.
void CopyTheTableFiles(benchmark::State& state)
{
    OpenClient(int(state.range(0)));
    const std::filesystem::path dir = TFMain::ProgramDirOverride + "T" + std::to_string(state.range(0));
    const std::filesystem::path copies = dir / "copies";
    std::filesystem::create_directories(copies);
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().stem() == "TOTTRANS")
            files.push_back(entry.path());
    if (files.empty())
        state.SkipWithError("no table files");
    for (auto _ : state)
        for (const auto& file : files)
            std::filesystem::copy_file(file, copies / file.filename(),
                                       std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove_all(copies);
    ReportSize(state);
}

// The parts of each refresh of the grid, by themselves: the recipient's totals
// summed from the transactions, and the transactions restricted to the recipient.
void RecalcTotals(benchmark::State& state)
{
    OpenClient(int(state.range(0)));
    ChooseRecipient();
    for (auto _ : state)
        DClientDataBase->RecalcRecipientTotals();
    ReportSize(state);
}

void FilterOnRecipient(benchmark::State& state)
{
    OpenClient(int(state.range(0)));
    ChooseRecipient();
    TDaroruTable* transactions = DClientDataBase->tblTransactions;
    for (auto _ : state) {
        transactions->SetFiltered(false);
        transactions->SetSxQuery(RecipientTransactionsFilter(RecipientID(kRecipients / 2)));
        transactions->SetFiltered(true);
        transactions->First();
    }
    ReportSize(state);
}

BENCHMARK(OpenTheGrid)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(PageThrough)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(AddOne)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
// A delete and the copy it is weighed against, each by its median: the
// first pack of a run also grows the journal's file to the size of the
// records it moves, once.
BENCHMARK(DeleteOne)
        ->Arg(10000)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
BENCHMARK(CopyTheTableFiles)
        ->Arg(10000)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
BENCHMARK(RecalcTotals)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(FilterOnRecipient)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
