// A filtered scan of 100k employee records: the upper-cased name begins with
// "SM" and the date lies in the first half of 2024. Measured three ways in
// one run, each as records per second: the compiled condition alone over
// in-memory records, a table navigated under the engine's query, and the
// same query in SQLite.

#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include "bench/benchsupport.h"
#include "platform/sql/sqlstatement.h"
#include "platform/xbengine/expr/datetext.h"
#include "platform/xbengine/expr/expression.h"
#include "platform/xbengine/xbe50.h"
#include "tests/xbengine/expr/memorytable.h"

namespace {

constexpr int kRecords = 100000;
const char* const kNames[] = {"Smith", "smithers", "Jones", "Brown", "SMYTHE", "Miller", "Davis", "Smart"};
const char* const kCondition =
        "UPPER(NAME1) = \"SM\" .AND. DATE >= CTOD(\"01/01/2024\") .AND. DATE <= CTOD(\"06/30/2024\")";
const char* const kSql = "SELECT id FROM emp WHERE substr(upper(name1), 1, 2) = 'SM' AND date BETWEEN "
                         "'20240101' AND '20240630'";

struct Row {
    std::string Id, Name, Date, Amount;
};

const std::vector<Row>& Rows()
{
    static const std::vector<Row> rows = [] {
        std::vector<Row> made;
        const std::int32_t first = xbexpr::JulianDay(2023, 1, 1);
        for (int i = 0; i < kRecords; ++i)
            made.push_back({"E" + std::to_string(i), std::string(kNames[i % 8]) + " " + std::to_string(i),
                            xbexpr::DateToDtos(first + (i * 7) % 730), std::to_string(i % 5000) + ".25"});
        return made;
    }();
    return rows;
}

std::string Scratch()
{
    static const std::string dir = ScratchDir("xbe-filter-bench");
    return dir;
}

void ReportRate(benchmark::State& state, std::int64_t passed)
{
    state.counters["passed"] = double(passed);
    state.counters["records_per_second"] =
            benchmark::Counter(kRecords, benchmark::Counter::kIsIterationInvariantRate);
}

void ConditionOnly(benchmark::State& state)
{
    static MemoryTable table = [] {
        MemoryTable t({{"ID", 'C', 8}, {"NAME1", 'C', 30}, {"DATE", 'D', 8}, {"AMOUNT", 'N', 12, 2}});
        for (const Row& row : Rows())
            t.Append({row.Id, row.Name, row.Date, row.Amount});
        return t;
    }();
    const auto condition = xbexpr::Expression::CompileCondition(kCondition, table);
    std::int64_t passed = 0;
    for (auto _ : state) {
        passed = 0;
        for (std::int32_t rec = 1; rec <= kRecords; ++rec) {
            table.Go(rec);
            passed += condition->EvaluateLogical(table);
        }
        benchmark::DoNotOptimize(passed);
    }
    ReportRate(state, passed);
}

// The engine's table, opened exclusively in the selected area.
void EngineTable()
{
    static bool made = false;
    const std::string path = Scratch() + "EMP.DBF";
    if (!made) {
        xb_Select(xb_CreateNew(path.c_str(), "", 2, 4));
        xb_CreateField("ID", "C", 8, 0);
        xb_CreateField("NAME1", "C", 30, 0);
        xb_CreateField("DATE", "D", 8, 0);
        xb_CreateField("AMOUNT", "N", 12, 2);
        xb_CreateExec();
        for (const Row& row : Rows()) {
            xb_AppendBlank();
            xb_Replace("ID", 1024, row.Id.c_str());
            xb_Replace("NAME1", 1024, row.Name.c_str());
            xb_Replace("DATE", 1024, row.Date.c_str());
            xb_Replace("AMOUNT", 1024, row.Amount.c_str());
        }
        xb_Close();
        made = true;
    }
    xb_Select(xb_Use(path.c_str(), "", 2, 2));
}

void EngineQuery(benchmark::State& state)
{
    EngineTable();
    xb_Query(kCondition);
    std::int64_t passed = 0;
    for (auto _ : state) {
        passed = 0;
        for (xb_GoTop(); !xb_Eof(); xb_Skip(1))
            ++passed;
        benchmark::DoNotOptimize(passed);
    }
    xb_Close();
    ReportRate(state, passed);
}

void SqliteQuery(benchmark::State& state)
{
    sqlite3* db = nullptr;
    const std::string path = Scratch() + "emp.sqlite";
    std::remove(path.c_str());
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE emp (id TEXT, name1 TEXT, date TEXT, amount REAL)", nullptr, nullptr,
                 nullptr);
    {
        const SqlStatement insert = PrepareSql(db, "INSERT INTO emp VALUES (?, ?, ?, ?)");
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const Row& row : Rows()) {
            sqlite3_bind_text(insert.get(), 1, row.Id.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert.get(), 2, row.Name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert.get(), 3, row.Date.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert.get(), 4, std::stod(row.Amount));
            sqlite3_step(insert.get());
            sqlite3_reset(insert.get());
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    std::int64_t passed = 0;
    {
        const SqlStatement query = PrepareSql(db, kSql);
        for (auto _ : state) {
            passed = 0;
            while (sqlite3_step(query.get()) == SQLITE_ROW)
                ++passed;
            sqlite3_reset(query.get());
            benchmark::DoNotOptimize(passed);
        }
    }
    sqlite3_close(db);
    ReportRate(state, passed);
}

}  // namespace

BENCHMARK(ConditionOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(SqliteQuery)->Unit(benchmark::kMillisecond);
