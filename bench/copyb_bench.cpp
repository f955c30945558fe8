// Copy B for every recipient of a client with 1,000 recipients (both forms),
// written as page files the way a preview run writes them, with the form
// overlays the program ships. Reports pages per second.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "bench/benchprogram.h"
#include "bench/benchsupport.h"
#include "printing/copyb.h"

namespace {

constexpr int Recipients = 1000;

// The program started in a scratch directory with the overlays beside it and one
// client of Recipients recipients.
class TBenchProgram {
public:
    TBenchProgram() : FDir(ScratchDir("copyb-bench"))
    {
        namespace fs = std::filesystem;
        const fs::path shipped = fs::read_symlink("/proc/self/exe").parent_path();
        for (const auto& entry : fs::directory_iterator(shipped))
            if (entry.path().extension() == ".HP")
                fs::copy_file(entry.path(), FDir + entry.path().filename().string());
        StartProgramOnNewClient(FDir, "BENCH");
        Fill();
        FMain->Preview = true;
        FMain->Copies = 1;
    }
    ~TBenchProgram()
    {
        DClientDataBase->CloseClient();
        std::filesystem::remove_all(FDir);
    }

private:
    static void Fill()
    {
        TDaroruTable* t = DClientDataBase->tblEmployee;
        static const char types[] = "RYOFMNPCGAI";
        for (int i = 0; i < Recipients; ++i) {
            t->Append();
            t->FieldByName("ID")->SetAsString("E" + std::to_string(i));
            t->FieldByName("NAME1")->SetAsString("Recipient Number " + std::to_string(i));
            t->FieldByName("SSN")->SetAsString("123-45-" + std::to_string(1000 + i % 9000));
            t->FieldByName("ADDRESS")->SetAsString(std::to_string(i) + " Main Street");
            t->FieldByName("CSZ")->SetAsString("Boston MA 02108");
            t->FieldByName("TRANS_TYPE")->SetAsString(String(1, types[i % 11]));
            t->FieldByName("TOTAMT")->SetAsFloat(100.0 + i * 0.37);
            t->FieldByName("FWT")->SetAsFloat(i % 4 == 0 ? 10.25 : 0.0);
            t->FieldByName("STATE_ID1")->SetAsString("MA 123456789");
            t->FieldByName("SWT1")->SetAsFloat(i % 3 == 0 ? 4.5 : 0.0);
            t->Post();
        }
    }

    String FDir;
};

void BM_CopyBPageFiles(benchmark::State& State)
{
    static TBenchProgram program;
    TDaroruTable* recipients = DClientDataBase->tblEmployee;
    for (auto _ : State) {
        FMain->DeleteTempPrintFiles();
        for (recipients->First(); !recipients->Eof(); recipients->Next())
            PrintCopyB(recipients->FieldByName("ID")->AsString());
    }
    State.counters["pages"] = Recipients;
    State.counters["pages/s"] =
            benchmark::Counter(double(Recipients) * double(State.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CopyBPageFiles)->Unit(benchmark::kMillisecond);

}  // namespace
