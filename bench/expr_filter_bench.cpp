// A filtered scan: one compiled condition on the upper-cased name and a date
// range, evaluated over 100k in-memory records, reported as records per second.
// (The same query in SQLite needs the engine's tables; it joins this file when
// queries run through the engine.)

#include <benchmark/benchmark.h>

#include "platform/xbengine/expr/datetext.h"
#include "platform/xbengine/expr/expression.h"
#include "tests/xbengine/expr/memorytable.h"

namespace {

const char* const kNames[] = {"Smith", "smithers", "Jones", "Brown", "SMYTHE", "Miller", "Davis", "Smart"};

MemoryTable& Employees() {
    static MemoryTable table = [] {
        MemoryTable t({{"ID", 'C', 8}, {"NAME1", 'C', 30}, {"DATE", 'D', 8}, {"AMOUNT", 'N', 12, 2}});
        const std::int32_t first = xbexpr::JulianDay(2023, 1, 1);
        for (int i = 0; i < 100000; ++i) {
            const std::int32_t jdn = first + (i * 7) % 730;
            t.Append({"E" + std::to_string(i), String(kNames[i % 8]) + " " + std::to_string(i),
                      xbexpr::DateToDtos(jdn), std::to_string(i % 5000) + ".25"});
        }
        return t;
    }();
    return table;
}

void BM_FilteredScan(benchmark::State& state) {
    MemoryTable& table = Employees();
    const auto condition = xbexpr::Expression::CompileCondition(
        "UPPER(NAME1) = \"SM\" .AND. DATE >= CTOD(\"01/01/2024\") .AND. DATE <= CTOD(\"06/30/2024\")", table);
    if (!condition) {
        state.SkipWithError("condition did not compile");
        return;
    }
    const std::int32_t records = table.Count();
    std::int64_t passed = 0;
    for (auto _ : state) {
        passed = 0;
        for (std::int32_t rec = 1; rec <= records; ++rec) {
            table.Go(rec);
            passed += condition->EvaluateLogical(table);
        }
        benchmark::DoNotOptimize(passed);
    }
    state.counters["records"] = records;
    state.counters["passed"] = static_cast<double>(passed);
    state.counters["records/s"] =
        benchmark::Counter(static_cast<double>(records) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FilteredScan)->Unit(benchmark::kMillisecond);

}  // namespace
