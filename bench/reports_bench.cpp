// The list reports of a client with 1,000 recipients and 100,000 transactions:
// the transactions listing of the one recipient with 10,000 of them, and the
// totals listing of all recipients, printed (to a 600-dpi PDF printer) and as
// preview page bitmaps. Reports pages per second.

#include <benchmark/benchmark.h>

#include <QTimer>
#include <filesystem>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "bench/benchprogram.h"
#include "bench/benchsupport.h"
#include "platform/rtl/fileops.h"
#include "platform/vcl/printing/printers.h"
#include "printing/reportpreview.h"
#include "printing/reports.h"

namespace {

constexpr int Recipients = 1000;
constexpr int Transactions = 100000;
constexpr int BigRecipientTransactions = 10000;
const char* const BigRecipient = "R0000";

// The program started in a scratch directory on one client, filled once.
class TBenchClient {
public:
    TBenchClient() : FDir(ScratchDir("reports-bench"))
    {
        StartProgramOnNewClient(FDir, "BENCH");
        Fill();
        Printer()->SetOutputFileName(FDir + "report.pdf");
        Printer()->SetResolution(600);
        // A preview run ends in the modal preview; it is closed as soon as it shows.
        FClosePreview.setInterval(0);
        QObject::connect(&FClosePreview, &QTimer::timeout, [] {
            if (FPreview)
                FPreview->Close();
        });
        FClosePreview.start();
    }
    ~TBenchClient()
    {
        DClientDataBase->CloseClient();
        std::filesystem::remove_all(FDir);
    }

    // The recipient with 10,000 transactions, current as the transaction grid has it.
    static void ToBigRecipient()
    {
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        recipients->SetOrder(recipients->TagArea("ID"));
        recipients->First();
    }
    int PageFiles() const { return static_cast<int>(ListFiles(FDir, "PRV*.BMP").size()); }

private:
    static void Fill()
    {
        TDaroruTable* recipients = DClientDataBase->tblEmployee;
        for (int i = 0; i < Recipients; ++i) {
            recipients->Append();
            recipients->FieldByName("ID")->SetAsString(RecipientID(i));
            recipients->FieldByName("NAME1")->SetAsString("Recipient Number " + std::to_string(i));
            recipients->Post();
        }
        // The big recipient's 10,000, then the other 90,000 spread over the rest.
        TDaroruTable* transactions = DClientDataBase->tblTransactions;
        for (int i = 0; i < Transactions; ++i) {
            const int recipient = i < BigRecipientTransactions ? 0 : 1 + i % (Recipients - 1);
            transactions->Append();
            transactions->FieldByName("EMP_ID")->SetAsString(RecipientID(recipient));
            transactions->FieldByName("DATE")->SetAsString(Date(i));
            transactions->FieldByName("NUMBER")->SetAsInteger(i + 1);
            transactions->FieldByName("DESCR")->SetAsString("Services, item " + std::to_string(i));
            transactions->FieldByName("AMOUNT")->SetAsFloat(10.01 + i % 997);
            transactions->FieldByName("FWT")->SetAsFloat(i % 5 ? 0.0 : 1.25);
            transactions->FieldByName("STATE_INC1")->SetAsFloat(10.01 + i % 997);
            transactions->Post();
        }
    }
    static String RecipientID(int Index)
    {
        char id[8];
        std::snprintf(id, sizeof id, "R%04d", Index);
        return id;
    }
    static String Date(int Index)
    {
        char date[12];
        std::snprintf(date, sizeof date, "%02d/%02d/2008", 1 + Index % 12, 1 + Index % 28);
        return date;
    }

    String FDir;
    QTimer FClosePreview;
};

TBenchClient& Client()
{
    static TBenchClient client;
    return client;
}

// Runs Report as a print run (range(0) == 0) or a preview run, and counts pages.
template<class TReport> void RunReport(benchmark::State& state, TReport Report)
{
    TBenchClient& client = Client();
    FMain->Preview = state.range(0) != 0;
    int pages = 0;
    for (auto _ : state) {
        Report();
        if (FMain->Preview)
            pages = client.PageFiles();
    }
    if (!FMain->Preview) {
        // A print run writes the same pages a preview run does.
        FMain->Preview = true;
        Report();
        pages = client.PageFiles();
    }
    state.counters["pages"] = pages;
    state.counters["pages/s"] =
            benchmark::Counter(static_cast<double>(state.iterations()) * pages, benchmark::Counter::kIsRate);
    state.SetLabel(state.range(0) ? "preview page files" : "printed, 600 dpi");
}

void BM_TransactionsListingOf10kTransactions(benchmark::State& state)
{
    RunReport(state, [] {
        TBenchClient::ToBigRecipient();
        ListEmployeeTransactions(BigRecipient, "01-01-2008", "12-31-2008");
    });
}
BENCHMARK(BM_TransactionsListingOf10kTransactions)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TotalsListingOf1000RecipientsOver100kTransactions(benchmark::State& state)
{
    RunReport(state, [] { ListEmployeeTotals("01-01-2008", "12-31-2008"); });
}
BENCHMARK(BM_TotalsListingOf1000RecipientsOver100kTransactions)
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond);

}  // namespace
