// A filtered walk over a table of 10k and 100k records: the library table's
// compiled filter against the engine's own query on the same condition. Reports
// the records walked over per second and how many passed.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "bench/benchsupport.h"
#include "datacontrols/datasets/wwtable.h"
#include "platform/rtl/stringlist.h"
#include "tables/xbe50.h"

namespace {

const char* const kFilter = "STATE = \"NY\" AND AMOUNT > 1000";
const char* const kQuery = "STATE = \"NY\" .AND. AMOUNT > 1000";

// PAYMENTS.DBF of Records records in a scratch directory of its own, made once.
const std::string& TableDir(int Records)
{
    static std::map<int, std::string> made;
    std::string& dir = made[Records];
    if (!dir.empty())
        return dir;
    LoadDLL();
    dir = ScratchDir("dwfilter-bench");
    const std::string path = dir + "PAYMENTS.DBF";
    XBE_CALL(xb_ErrorLevel, 0);
    XBE_CALL(xb_CreateNew, path.c_str(), "NEWTABLE", 2, 4);
    XBE_CALL(xb_CreateField, "ID", "C", 6, 0);
    XBE_CALL(xb_CreateField, "STATE", "C", 2, 0);
    XBE_CALL(xb_CreateField, "AMOUNT", "N", 10, 2);
    XBE_CALL(xb_CreateField, "QTY", "N", 4, 0);
    XBE_CALL(xb_CreateExec);
    XBE_CALL(xb_Close);
    XBE_CALL(xb_Use, path.c_str(), "SEEDING", 0, 2);
    static const char* const states[] = {"CA", "IL", "NY", "TX", "WA"};
    char image[32];
    for (int i = 1; i <= Records; ++i) {
        std::snprintf(image, sizeof image, " P%05d%s%10.2f%4d", i % 100000, states[i % 5],
                      (i * 37 % 10000) / 4.0, i % 50);
        XBE_CALL(xb_AppendBlank);
        XBE_CALL(xb_PutRecord, image);
    }
    XBE_CALL(xb_Close);
    return dir;
}

void Walk(benchmark::State& state, TDaroruTable& table)
{
    std::int64_t passed = 0;
    for (auto _ : state) {
        passed = 0;
        for (table.First(); !table.Eof(); table.Next())
            ++passed;
        benchmark::DoNotOptimize(passed);
    }
    state.counters["passed"] = double(passed);
    state.counters["records_per_second"] =
            benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}

void CompiledFilter(benchmark::State& state)
{
    TdwTable table(nullptr);
    table.SetDatabaseName(TableDir(int(state.range(0))));
    table.SetTableName("PAYMENTS");
    TStringList lines;
    lines.Add(kFilter);
    table.SetdwFilter(lines);
    table.Open();
    Walk(state, table);
}

void EngineQuery(benchmark::State& state)
{
    TDaroruTable table(nullptr);
    table.SetDatabaseName(TableDir(int(state.range(0))));
    table.SetTableName("PAYMENTS");
    table.Open();
    table.Query(kQuery);
    Walk(state, table);
}

BENCHMARK(CompiledFilter)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineQuery)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
