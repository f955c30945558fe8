// The transaction table with its six tags at N = 1k, 10k and 100k records:
// building the tags in bulk, appends with all six maintained, seeks on the
// payee tag and a scan in its order, beside SQLite with six indexes doing the
// same work in the same run.

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include "bench/benchsupport.h"
#include "platform/sql/sqlstatement.h"
#include "platform/xbengine/xbe50.h"

namespace {

std::string Scratch()
{
    static const std::string dir = ScratchDir("xbe-index-bench");
    return dir;
}

// --- engine ------------------------------------------------------------

std::string TablePath(int n) { return Scratch() + "TT" + std::to_string(n) + ".DBF"; }

// A table of n transactions with its six tags, opened exclusively.
void OpenTable(int n, bool withTags)
{
    const std::string path = TablePath(n);
    if (!std::filesystem::exists(path)) {
        xb_Select(xb_CreateNew(path.c_str(), "", 2, XBSHORT(TransactionColumns.size())));
        for (const Column& c : TransactionColumns)
            xb_CreateField(c.Name, c.Type, XBSHORT(c.Width), XBSHORT(c.Decimals));
        xb_CreateExec();
        std::mt19937 random(11);
        for (int i = 1; i <= n; ++i) {
            xb_AppendBlank();
            xb_PutRecord(TransactionImage(i, random).data());
        }
        for (const char* tag : TransactionTags)
            xb_IndexTag("", tag, tag, 0, 0, "");
        xb_Close();
    }
    xb_Select(xb_Use(path.c_str(), "", 2, 2));
    if (withTags)
        xb_SetOrder(xb_TagArea("PAYEE"));
}

void ReportRate(benchmark::State& state, const char* name, double count)
{
    state.counters[name] = benchmark::Counter(count, benchmark::Counter::kIsIterationInvariantRate);
}

void EngineBuild(benchmark::State& state)
{
    int n = int(state.range(0));
    OpenTable(n, false);
    for (auto _ : state)
        for (const char* tag : TransactionTags)
            xb_IndexTag("", tag, tag, 0, 0, "");
    xb_Close();
    ReportRate(state, "records_per_second", n);
}

constexpr int kAppends = 1000;

// Appends to a table of n records, its six tags kept; the table is made
// anew before each round so every round starts at n.
void EngineAppend(benchmark::State& state)
{
    int n = int(state.range(0));
    std::mt19937 random(5);
    std::vector<std::string> images;
    for (int i = 0; i < kAppends; ++i)
        images.push_back(TransactionImage(n + i + 1, random));
    const std::string path = TablePath(n);
    const std::string copy = Scratch() + "APPEND.DBF";
    OpenTable(n, false);
    xb_Close();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(Scratch() + "TT" + std::to_string(n) + ".CDX", Scratch() + "APPEND.CDX",
                                   std::filesystem::copy_options::overwrite_existing);
        xb_Select(xb_Use(copy.c_str(), "", 2, 2));
        state.ResumeTiming();
        for (const std::string& image : images) {
            xb_AppendBlank();
            xb_PutRecord(image.data());
        }
        state.PauseTiming();
        xb_Close();
        state.ResumeTiming();
    }
    state.counters["us_per_append"] =
            benchmark::Counter(double(kAppends) * 1e-6,
                               benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

std::vector<std::string> SeekKeys(int n)
{
    std::mt19937 random(11);
    std::vector<std::string> keys;
    for (int i = 1; i <= n; ++i) {
        std::string image = TransactionImage(i, random);
        keys.push_back(image.substr(1 + 8 + 20 + 40 + 40, 40));
    }
    std::shuffle(keys.begin(), keys.end(), std::mt19937(3));
    keys.resize(std::min<std::size_t>(keys.size(), 10000));
    return keys;
}

void EngineSeek(benchmark::State& state)
{
    int n = int(state.range(0));
    std::vector<std::string> keys = SeekKeys(n);
    OpenTable(n, true);
    std::int64_t found = 0;
    for (auto _ : state)
        for (const std::string& key : keys)
            found += xb_Seek(key.c_str());
    xb_Close();
    state.counters["found"] = double(found) / double(state.iterations());
    ReportRate(state, "seeks_per_second", double(keys.size()));
}

void EngineScan(benchmark::State& state)
{
    int n = int(state.range(0));
    OpenTable(n, true);
    for (auto _ : state) {
        int seen = 0;
        for (xb_GoTop(); !xb_Eof(); xb_Skip(1))
            ++seen;
        benchmark::DoNotOptimize(seen);
    }
    xb_Close();
    ReportRate(state, "records_per_second", n);
}

// --- SQLite ------------------------------------------------------------

sqlite3* SqliteTable(int n, bool withIndexes)
{
    const std::string path = Scratch() + "tt" + std::to_string(n) + ".sqlite";
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string create = "CREATE TABLE tt (", insert = "INSERT INTO tt VALUES (";
    for (std::size_t c = 0; c < TransactionColumns.size(); ++c) {
        create += std::string(c ? ", " : "") + TransactionColumns[c].Name +
                  (TransactionColumns[c].Type[0] == 'N' ? " REAL" : " TEXT");
        insert += c ? ", ?" : "?";
    }
    sqlite3_exec(db, (create + ")").c_str(), nullptr, nullptr, nullptr);
    {
        const SqlStatement statement = PrepareSql(db, (insert + ")").c_str());
        std::mt19937 random(11);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = 1; i <= n; ++i) {
            std::string image = TransactionImage(i, random);
            std::size_t at = 1;
            for (std::size_t c = 0; c < TransactionColumns.size(); ++c) {
                std::string text = image.substr(at, std::size_t(TransactionColumns[c].Width));
                at += std::size_t(TransactionColumns[c].Width);
                sqlite3_bind_text(statement.get(), int(c) + 1, text.c_str(), int(text.size()),
                                  SQLITE_TRANSIENT);
            }
            sqlite3_step(statement.get());
            sqlite3_reset(statement.get());
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    if (withIndexes)
        for (const char* tag : TransactionTags)
            sqlite3_exec(db, (std::string("CREATE INDEX i_") + tag + " ON tt (" + tag + ")").c_str(), nullptr,
                         nullptr, nullptr);
    return db;
}

void SqliteBuild(benchmark::State& state)
{
    int n = int(state.range(0));
    sqlite3* db = SqliteTable(n, false);
    for (auto _ : state) {
        for (const char* tag : TransactionTags)
            sqlite3_exec(db, (std::string("CREATE INDEX i_") + tag + " ON tt (" + tag + ")").c_str(), nullptr,
                         nullptr, nullptr);
        state.PauseTiming();
        for (const char* tag : TransactionTags)
            sqlite3_exec(db, (std::string("DROP INDEX i_") + tag).c_str(), nullptr, nullptr, nullptr);
        state.ResumeTiming();
    }
    sqlite3_close(db);
    ReportRate(state, "records_per_second", n);
}

// Each append its own transaction, as each engine append reaches the file
// before it returns.
void SqliteAppend(benchmark::State& state)
{
    int n = int(state.range(0));
    std::mt19937 random(5);
    std::vector<std::string> images;
    for (int i = 0; i < kAppends; ++i)
        images.push_back(TransactionImage(n + i + 1, random));
    sqlite3* db = SqliteTable(n, true);
    sqlite3_exec(db, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);
    std::string insert = "INSERT INTO tt VALUES (?";
    for (std::size_t c = 1; c < TransactionColumns.size(); ++c)
        insert += ", ?";
    {
        const SqlStatement statement = PrepareSql(db, (insert + ")").c_str());
        for (auto _ : state) {
            for (const std::string& image : images) {
                std::size_t at = 1;
                for (std::size_t c = 0; c < TransactionColumns.size(); ++c) {
                    sqlite3_bind_text(statement.get(), int(c) + 1, image.data() + at,
                                      TransactionColumns[c].Width, SQLITE_TRANSIENT);
                    at += std::size_t(TransactionColumns[c].Width);
                }
                sqlite3_step(statement.get());
                sqlite3_reset(statement.get());
            }
            state.PauseTiming();
            sqlite3_exec(db, ("DELETE FROM tt WHERE rowid > " + std::to_string(n)).c_str(), nullptr, nullptr,
                         nullptr);
            state.ResumeTiming();
        }
    }
    sqlite3_close(db);
    state.counters["us_per_append"] =
            benchmark::Counter(double(kAppends) * 1e-6,
                               benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void SqliteSeek(benchmark::State& state)
{
    int n = int(state.range(0));
    std::vector<std::string> keys = SeekKeys(n);
    sqlite3* db = SqliteTable(n, true);
    std::int64_t found = 0;
    {
        const SqlStatement statement =
                PrepareSql(db, "SELECT * FROM tt WHERE payee >= ? ORDER BY payee LIMIT 1");
        for (auto _ : state)
            for (const std::string& key : keys) {
                sqlite3_bind_text(statement.get(), 1, key.c_str(), int(key.size()), SQLITE_STATIC);
                found += sqlite3_step(statement.get()) == SQLITE_ROW;
                sqlite3_reset(statement.get());
            }
    }
    sqlite3_close(db);
    state.counters["found"] = double(found) / double(state.iterations());
    ReportRate(state, "seeks_per_second", double(keys.size()));
}

void SqliteScan(benchmark::State& state)
{
    int n = int(state.range(0));
    sqlite3* db = SqliteTable(n, true);
    {
        const SqlStatement statement = PrepareSql(db, "SELECT * FROM tt ORDER BY payee");
        for (auto _ : state) {
            int seen = 0;
            while (sqlite3_step(statement.get()) == SQLITE_ROW)
                ++seen;
            sqlite3_reset(statement.get());
            benchmark::DoNotOptimize(seen);
        }
    }
    sqlite3_close(db);
    ReportRate(state, "records_per_second", n);
}

}  // namespace

#define SIZES ->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)
BENCHMARK(EngineBuild) SIZES;
BENCHMARK(SqliteBuild) SIZES;
BENCHMARK(EngineAppend) SIZES;
BENCHMARK(SqliteAppend) SIZES;
BENCHMARK(EngineSeek) SIZES;
BENCHMARK(SqliteSeek) SIZES;
BENCHMARK(EngineScan) SIZES;
BENCHMARK(SqliteScan) SIZES;
