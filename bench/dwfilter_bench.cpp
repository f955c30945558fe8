// A filtered walk over a table of 10k and 100k records: the library table's
// compiled filter against the engine's own query on the same condition. Reports
// the records walked over per second and how many passed.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "bench/benchtable.h"
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
    dir = ScratchDir("dwfilter-bench");
    static const char* const states[] = {"CA", "IL", "NY", "TX", "WA"};
    std::vector<std::string> images;
    char image[32];
    for (int i = 1; i <= Records; ++i) {
        std::snprintf(image, sizeof image, " P%05d%s%10.2f%4d", i % 100000, states[i % 5],
                      (i * 37 % 10000) / 4.0, i % 50);
        images.push_back(image);
    }
    MakeBenchTable(dir + "PAYMENTS.DBF",
                   {{"ID", "C", 6, 0}, {"STATE", "C", 2, 0}, {"AMOUNT", "N", 10, 2}, {"QTY", "N", 4, 0}},
                   images);
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
