// The electronic file of a client with 1k and 10k recipients of mixed income
// types: the whole run (both passes over the recipients, every record built and
// written, the file renamed into place). Reports records written per second.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "app/clientdatabase.h"
#include "app/mainform.h"
#include "app/user.h"
#include "bench/benchsupport.h"
#include "efile/efilewriter.h"
#include "platform/vcl/forms/application.h"

namespace {

// The program started in a scratch directory, with one client per recipient count.
class TBenchProgram {
public:
    TBenchProgram() : FDir(ScratchDir("efile-bench"))
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        TFMain::ProgramDirOverride = FDir;
        Application->CreateForm(FMain);
    }
    ~TBenchProgram()
    {
        DClientDataBase->CloseClient();
        std::filesystem::remove_all(FDir);
    }

    // Opens the client of Recipients recipients, making it on first use.
    void OpenClient(int Recipients)
    {
        const String id = "B" + std::to_string(Recipients);
        FMain->User->ClientID = id;
        if (FMade[Recipients]) {
            DClientDataBase->OpenClient();
            return;
        }
        DClientDataBase->CreateClientTables(id);
        DClientDataBase->OpenClient();
        Fill(Recipients);
        FMade[Recipients] = true;
    }
    String ClientDir() const { return FMain->DataDir + FMain->User->ClientID + "/"; }

private:
    static void Fill(int Recipients)
    {
        TDClientDataBase& d = *DClientDataBase;
        TDaroruTable* client = d.tblClient;
        client->Edit();
        for (const auto& [field, value] : {std::pair {"NAME1", "Harbor Supply Co"},
                                           {"ADDRESS1", "12 Harbor Road"},
                                           {"CITY", "New Bedford"},
                                           {"STATE", "MA"},
                                           {"ZIP", "02740"},
                                           {"TAX_ID", "12-3456789"}})
            client->FieldByName(field)->SetAsString(value);
        client->Post();
        d.TransmitterTIN = "04-1234567";
        d.ControlCode = "5A1B2";
        d.TransmitterName = "Harbor Bookkeeping";
        d.ContactName = "Mary Oneil";
        d.ContactPhone = "5085550100";
        TDaroruTable* t = d.tblEmployee;
        static const char types[] = "RYOFMNPCGA";
        for (int i = 0; i < Recipients; ++i) {
            t->Append();
            t->FieldByName("ID")->SetAsString("E" + std::to_string(i));
            t->FieldByName("NAME1")->SetAsString("Recipient Number " + std::to_string(i));
            t->FieldByName("LAST")->SetAsString("Number");
            t->FieldByName("SSN")->SetAsString("123-45-" + std::to_string(1000 + i % 9000));
            t->FieldByName("ADDRESS")->SetAsString(std::to_string(i) + " Main Street");
            t->FieldByName("CITY")->SetAsString("Boston");
            t->FieldByName("STATE")->SetAsString("MA");
            t->FieldByName("ZIP")->SetAsString("02108");
            t->FieldByName("TRANS_TYPE")->SetAsString(String(1, types[i % 10]));
            t->FieldByName("TOTAMT")->SetAsFloat(100.0 + i * 0.37);
            t->FieldByName("FWT")->SetAsFloat(i % 4 == 0 ? 10.25 : 0.0);
            t->Post();
        }
    }

    String FDir;
    std::map<int, bool> FMade;
};

TBenchProgram& Program()
{
    static TBenchProgram program;
    return program;
}

void BM_ElectronicFile(benchmark::State& State)
{
    const int recipients = static_cast<int>(State.range(0));
    Program().OpenClient(recipients);
    const String path = Program().ClientDir() + "ELF1099";
    int records = 0;
    for (auto _ : State)
        records = BuildElectronicFile(*DClientDataBase, path, [] {}) + 4;
    State.SetItemsProcessed(State.iterations() * records);
    State.counters["records"] = records;
    DClientDataBase->CloseClient();
}
BENCHMARK(BM_ElectronicFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
