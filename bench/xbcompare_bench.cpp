// The engine beside SQLite on the same transaction records (the TOTTRANS
// layout, six tags; SQLite with an index on each of the six columns), for
// the engine's exclusive and shared opens, at 1k, 10k and 100k records
// (and 1M with XBE_BENCH_MILLION=1 in the environment). Each case reports
// the time per record, so that ratios between the engine and SQLite and
// growth from 1k upwards read off directly:
//   natural scan of whole records, random reads by record number, seek and
//   read by payee, a scan in payee order, a filtered query (payee and date
//   range), and appends to a table without tags (SQLite: one transaction);
//   appends and updates with six tags, each record written on its own (the
//   engine's journal, no sync; SQLite in WAL mode, each row its own
//   transaction, no sync either).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "bench/benchsupport.h"
#include "bench/kernelwrites.h"
#include "platform/sql/sqlstatement.h"
#include "platform/xbengine/xbe50.h"

namespace {

const std::string& Dir()
{
    static const std::string dir = ScratchDir("xbe-compare-bench");
    return dir;
}

// The images of n transactions, made once per n.
const std::vector<std::string>& Images(int n)
{
    static std::map<int, std::vector<std::string>> made;
    std::vector<std::string>& images = made[n];
    if (images.empty()) {
        std::mt19937 random(7);
        for (int i = 1; i <= n; ++i)
            images.push_back(TransactionImage(i, random));
    }
    return images;
}

// The columns' texts of an image, trimmed.
std::vector<std::string> Columns(const std::string& image)
{
    std::vector<std::string> values;
    std::size_t at = 1;
    for (const Column& c : TransactionColumns) {
        std::string text = image.substr(at, std::size_t(c.Width));
        text.erase(0, text.find_first_not_of(' '));
        text.erase(text.find_last_not_of(' ') + 1);
        values.push_back(text);
        at += std::size_t(c.Width);
    }
    return values;
}

// The payees searched for: those of every 97th record.
std::vector<std::string> Payees(int n)
{
    std::vector<std::string> payees;
    for (int i = 0; i < n; i += 97)
        payees.push_back(Columns(Images(n)[std::size_t(i)])[4]);
    return payees;
}

std::vector<int> RandomRecords(int n)
{
    std::mt19937 random(11);
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int& r : order)
        r = 1 + int(random() % unsigned(n));
    return order;
}

void PerRecord(benchmark::State& state, double records)
{
    state.counters["ns_per_record"] = benchmark::Counter(
            records * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// --- engine ------------------------------------------------------------

void CreateEngineTable(const std::string& path, bool tags)
{
    xb_CloseAll();
    XBSHORT area = xb_CreateNew(path.c_str(), "", 2, XBSHORT(TransactionColumns.size()));
    xb_Select(area);
    for (const Column& c : TransactionColumns)
        xb_CreateField(c.Name, c.Type, XBSHORT(c.Width), XBSHORT(c.Decimals));
    if (!xb_CreateExec())
        std::fprintf(stderr, "cannot create %s: %s\n", path.c_str(), xbx_LastErrorText());
    if (tags)
        for (const char* field : TransactionTags)
            xb_IndexTag("", field, field, 0, 0, "");
}

// The table of n records with its six tags, made once, opened in mode.
void OpenEngineTable(int n, XBSHORT mode)
{
    static std::map<int, bool> made;
    std::string path = Dir() + "T" + std::to_string(n) + ".DBF";
    if (!made[n]) {
        CreateEngineTable(path, false);
        for (const std::string& image : Images(n)) {
            xb_AppendBlank();
            xb_PutRecord(image.data());
        }
        for (const char* field : TransactionTags)
            xb_IndexTag("", field, field, 0, 0, "");
        made[n] = true;
    }
    xb_CloseAll();
    if (xb_Use(path.c_str(), "", mode, 2) <= 0)
        std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(), xbx_LastErrorText());
    xb_SetOrder(0);
}

// Reads every record in the order of Tag (natural order for nullptr).
void EngineScan(benchmark::State& state, const char* Tag)
{
    int n = int(state.range(0));
    OpenEngineTable(n, XBSHORT(state.range(1)));
    if (Tag)
        xb_SetOrder(xb_TagArea(Tag));
    std::vector<char> record(std::size_t(xb_RecSize()) + 1);
    for (auto _ : state) {
        int seen = 0;
        for (xb_GoTop(); !xb_Eof(); xb_Skip(1), ++seen)
            xb_GetRecord(record.data());
        if (seen != n)
            state.SkipWithError("scan lost records");
    }
    PerRecord(state, n);
}

void EngineNaturalScan(benchmark::State& state) { EngineScan(state, nullptr); }

void EngineRandomRead(benchmark::State& state)
{
    int n = int(state.range(0));
    OpenEngineTable(n, XBSHORT(state.range(1)));
    std::vector<char> record(std::size_t(xb_RecSize()) + 1);
    std::vector<int> order = RandomRecords(n);
    for (auto _ : state)
        for (int recno : order) {
            xb_Go(recno);
            xb_GetRecord(record.data());
        }
    PerRecord(state, n);
}

void EngineSeekAndRead(benchmark::State& state)
{
    int n = int(state.range(0));
    OpenEngineTable(n, XBSHORT(state.range(1)));
    xb_SetOrder(xb_TagArea("PAYEE"));
    std::vector<char> record(std::size_t(xb_RecSize()) + 1);
    std::vector<std::string> payees = Payees(n);
    for (auto _ : state)
        for (const std::string& payee : payees) {
            if (!xb_Seek(payee.c_str()))
                state.SkipWithError("a payee was not found");
            xb_GetRecord(record.data());
        }
    PerRecord(state, double(payees.size()));
}

void EngineOrderedScan(benchmark::State& state) { EngineScan(state, "PAYEE"); }

void EngineFilteredQuery(benchmark::State& state)
{
    int n = int(state.range(0));
    OpenEngineTable(n, XBSHORT(state.range(1)));
    xb_SetFilter("PAYEE = \"SMITH\" .AND. DTOS(DATE) >= \"20220101\" .AND. DTOS(DATE) <= \"20231231\"");
    std::vector<char> record(std::size_t(xb_RecSize()) + 1);
    for (auto _ : state)
        for (xb_GoTop(); !xb_Eof(); xb_Skip(1))
            xb_GetRecord(record.data());
    xb_SetFilter("");
    PerRecord(state, n);
}

// A shared open appends under its file lock, as SQLite's one transaction
// holds its write lock for all its inserts; an exclusive open needs none.
void EngineAppendNoTags(benchmark::State& state)
{
    int n = int(state.range(0));
    XBSHORT mode = XBSHORT(state.range(1));
    std::string path = Dir() + "A" + std::to_string(n) + ".DBF";
    const std::vector<std::string>& images = Images(n);
    KernelWrites total;
    for (auto _ : state) {
        state.PauseTiming();
        CreateEngineTable(path, false);
        xb_CloseAll();
        xb_Use(path.c_str(), "", mode, 2);
        KernelWrites before = Written();
        state.ResumeTiming();
        xb_Flock();
        for (const std::string& image : images) {
            xb_AppendBlank();
            xb_PutRecord(image.data());
        }
        xb_Unlock(0);
        xb_Commit();
        state.PauseTiming();
        KernelWrites after = Written();
        total.Bytes += after.Bytes - before.Bytes;
        total.Calls += after.Calls - before.Calls;
        if (xb_RecCount() != n)
            state.SkipWithError("appends failed");
        xb_CloseAll();
        state.ResumeTiming();
    }
    PerRecord(state, n);
    double appends = double(n) * double(state.iterations());
    state.counters["bytes_written_per_append"] = double(total.Bytes) / appends;
    state.counters["writes_per_append"] = double(total.Calls) / appends;
}

// A fresh table with its six tags, opened in mode, and n records appended
// to it, each its own change.
void AppendEach(const std::string& path, int n, XBSHORT mode)
{
    CreateEngineTable(path, true);
    xb_CloseAll();
    xb_SysProp(1011, 0);  // writes not synced, as SQLite's synchronous=OFF
    xb_Use(path.c_str(), "", mode, 2);
    for (const std::string& image : Images(n)) {
        xb_AppendBlank();
        xb_PutRecord(image.data());
    }
}

void EngineAppendSixTags(benchmark::State& state)
{
    int n = int(state.range(0));
    std::string path = Dir() + "S" + std::to_string(n) + ".DBF";
    for (auto _ : state) {
        AppendEach(path, n, XBSHORT(state.range(1)));
        state.PauseTiming();
        if (xb_RecCount() != n)
            state.SkipWithError("appends failed");
        xb_CloseAll();
        state.ResumeTiming();
    }
    PerRecord(state, n);
}

// The records in a random order, each given another record's values, so
// that the keys of all six tags change.
struct Updates {
    explicit Updates(int n) : Order(std::size_t(n))
    {
        std::mt19937 random(11);
        for (int i = 0; i < n; ++i)
            Order[std::size_t(i)] = i + 1;
        std::shuffle(Order.begin(), Order.end(), random);
    }
    // The image record recno takes in the pass'th pass: another's, then its own back.
    static const std::string& Image(int n, int recno, int pass)
    {
        return Images(n)[std::size_t(pass % 2 ? n - recno : recno - 1)];
    }
    std::vector<int> Order;
};

void EngineUpdateSixTags(benchmark::State& state)
{
    int n = int(state.range(0));
    std::string path = Dir() + "U" + std::to_string(n) + ".DBF";
    AppendEach(path, n, 2);
    xb_CloseAll();
    xb_Use(path.c_str(), "", XBSHORT(state.range(1)), 2);
    Updates updates(n);
    int pass = 0;
    for (auto _ : state) {
        ++pass;
        for (int recno : updates.Order) {
            xb_Go(recno);
            if (!xb_PutRecord(Updates::Image(n, recno, pass).data()))
                state.SkipWithError("update failed");
        }
    }
    xb_CloseAll();
    PerRecord(state, n);
}

// --- SQLite ------------------------------------------------------------

sqlite3* CreateSqlite(const std::string& path, bool indexes)
{
    std::remove(path.c_str());
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string create = "CREATE TABLE t (";
    for (std::size_t c = 0; c < TransactionColumns.size(); ++c)
        create += std::string(c ? ", " : "") + TransactionColumns[c].Name +
                  (TransactionColumns[c].Type[0] == 'N' ? " REAL" : " TEXT");
    sqlite3_exec(db, (create + ")").c_str(), nullptr, nullptr, nullptr);
    if (indexes)
        for (const char* field : TransactionTags)
            sqlite3_exec(db, ("CREATE INDEX i_" + std::string(field) + " ON t(" + field + ")").c_str(),
                         nullptr, nullptr, nullptr);
    return db;
}

void Bind(sqlite3_stmt* statement, const std::string& image)
{
    std::vector<std::string> values = Columns(image);
    for (std::size_t c = 0; c < values.size(); ++c) {
        if (TransactionColumns[c].Type[0] == 'N')
            sqlite3_bind_double(statement, int(c) + 1, std::atof(values[c].c_str()));
        else
            sqlite3_bind_text(statement, int(c) + 1, values[c].c_str(), int(values[c].size()),
                              SQLITE_TRANSIENT);
    }
}

// Inserts the images in one transaction, or each in its own.
void InsertAll(sqlite3* db, const std::vector<std::string>& images, bool oneTransaction = true)
{
    std::string insert = "INSERT INTO t VALUES (";
    for (std::size_t c = 0; c < TransactionColumns.size(); ++c)
        insert += c ? ", ?" : "?";
    const SqlStatement statement = PrepareSql(db, (insert + ")").c_str());
    if (oneTransaction)
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const std::string& image : images) {
        Bind(statement.get(), image);
        sqlite3_step(statement.get());
        sqlite3_reset(statement.get());
    }
    if (oneTransaction)
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

// The database of n records with its six indexes, made once and kept open.
sqlite3* SqliteTable(int n)
{
    static std::map<int, sqlite3*> made;
    sqlite3*& db = made[n];
    if (!db) {
        db = CreateSqlite(Dir() + "T" + std::to_string(n) + ".sqlite", true);
        InsertAll(db, Images(n));
    }
    return db;
}

// Steps a statement to its end, reading every column; the rows it gave.
int ReadRows(sqlite3_stmt* statement)
{
    int rows = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
        ++rows;
    }
    sqlite3_reset(statement);
    return rows;
}

void SqliteQuery(benchmark::State& state, const char* sql, double perIteration)
{
    const SqlStatement statement = PrepareSql(SqliteTable(int(state.range(0))), sql);
    for (auto _ : state)
        ReadRows(statement.get());
    PerRecord(state, perIteration);
}

void SqliteNaturalScan(benchmark::State& state)
{
    SqliteQuery(state, "SELECT * FROM t", double(state.range(0)));
}

void SqliteOrderedScan(benchmark::State& state)
{
    SqliteQuery(state, "SELECT * FROM t ORDER BY PAYEE", double(state.range(0)));
}

void SqliteFilteredQuery(benchmark::State& state)
{
    SqliteQuery(state,
                "SELECT * FROM t WHERE PAYEE >= 'SMITH' AND PAYEE < 'SMITI' AND DATE BETWEEN '20220101' AND "
                "'20231231'",
                double(state.range(0)));
}

void SqliteRandomRead(benchmark::State& state)
{
    int n = int(state.range(0));
    const SqlStatement statement = PrepareSql(SqliteTable(n), "SELECT * FROM t WHERE rowid = ?");
    std::vector<int> order = RandomRecords(n);
    for (auto _ : state)
        for (int recno : order) {
            sqlite3_bind_int(statement.get(), 1, recno);
            ReadRows(statement.get());
        }
    PerRecord(state, n);
}

void SqliteSeekAndRead(benchmark::State& state)
{
    int n = int(state.range(0));
    const SqlStatement statement = PrepareSql(SqliteTable(n), "SELECT * FROM t WHERE PAYEE = ? LIMIT 1");
    std::vector<std::string> payees = Payees(n);
    for (auto _ : state)
        for (const std::string& payee : payees) {
            sqlite3_bind_text(statement.get(), 1, payee.c_str(), int(payee.size()), SQLITE_TRANSIENT);
            if (ReadRows(statement.get()) != 1)
                state.SkipWithError("a payee was not found");
        }
    PerRecord(state, double(payees.size()));
}

void SqliteAppendNoTags(benchmark::State& state)
{
    int n = int(state.range(0));
    const std::vector<std::string>& images = Images(n);
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3* db = CreateSqlite(Dir() + "A" + std::to_string(n) + ".sqlite", false);
        state.ResumeTiming();
        InsertAll(db, images);
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
    PerRecord(state, n);
}

// A database with its six indexes in WAL mode without syncs, as the
// engine's journal does not sync.
sqlite3* CreateWalSqlite(const std::string& path)
{
    std::remove((path + "-wal").c_str());
    std::remove((path + "-shm").c_str());
    sqlite3* db = CreateSqlite(path, true);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    return db;
}

void SqliteAppendSixTags(benchmark::State& state)
{
    int n = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3* db = CreateWalSqlite(Dir() + "S" + std::to_string(n) + ".sqlite");
        state.ResumeTiming();
        InsertAll(db, Images(n), false);
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
    PerRecord(state, n);
}

void SqliteUpdateSixTags(benchmark::State& state)
{
    int n = int(state.range(0));
    sqlite3* db = CreateWalSqlite(Dir() + "U" + std::to_string(n) + ".sqlite");
    InsertAll(db, Images(n));
    std::string update = "UPDATE t SET ";
    for (std::size_t c = 0; c < TransactionColumns.size(); ++c)
        update += std::string(c ? ", " : "") + TransactionColumns[c].Name + " = ?";
    {
        const SqlStatement statement = PrepareSql(db, (update + " WHERE rowid = ?").c_str());
        Updates updates(n);
        int pass = 0;
        for (auto _ : state) {
            ++pass;
            for (int recno : updates.Order) {
                Bind(statement.get(), Updates::Image(n, recno, pass));
                sqlite3_bind_int(statement.get(), int(TransactionColumns.size()) + 1, recno);
                if (sqlite3_step(statement.get()) != SQLITE_DONE)
                    state.SkipWithError("update failed");
                sqlite3_reset(statement.get());
            }
        }
    }
    sqlite3_close(db);
    PerRecord(state, n);
}

// Sizes: 1k, 10k, 100k, and 1M when asked for.
void Sizes(benchmark::internal::Benchmark* b, bool modes)
{
    std::vector<long> sizes = {1000, 10000, 100000};
    const char* million = std::getenv("XBE_BENCH_MILLION");
    if (million && std::strcmp(million, "1") == 0)
        sizes.push_back(1000000);
    for (long size : sizes) {
        if (!modes) {
            b->Args({size});
            continue;
        }
        b->Args({size, 2});  // exclusive
        b->Args({size, 0});  // shared
    }
    b->ArgNames(modes ? std::vector<std::string> {"records", "mode"} : std::vector<std::string> {"records"});
    b->Unit(benchmark::kMicrosecond);
}

void Modes(benchmark::internal::Benchmark* b) { Sizes(b, true); }

void SqliteSizes(benchmark::internal::Benchmark* b) { Sizes(b, false); }

}  // namespace

BENCHMARK(EngineNaturalScan)->Apply(Modes);
BENCHMARK(SqliteNaturalScan)->Apply(SqliteSizes);
BENCHMARK(EngineRandomRead)->Apply(Modes);
BENCHMARK(SqliteRandomRead)->Apply(SqliteSizes);
BENCHMARK(EngineSeekAndRead)->Apply(Modes);
BENCHMARK(SqliteSeekAndRead)->Apply(SqliteSizes);
BENCHMARK(EngineOrderedScan)->Apply(Modes);
BENCHMARK(SqliteOrderedScan)->Apply(SqliteSizes);
BENCHMARK(EngineFilteredQuery)->Apply(Modes);
BENCHMARK(SqliteFilteredQuery)->Apply(SqliteSizes);
BENCHMARK(EngineAppendNoTags)->Apply(Modes);
BENCHMARK(SqliteAppendNoTags)->Apply(SqliteSizes);
BENCHMARK(EngineAppendSixTags)->Apply(Modes);
BENCHMARK(SqliteAppendSixTags)->Apply(SqliteSizes);
BENCHMARK(EngineUpdateSixTags)->Apply(Modes);
BENCHMARK(SqliteUpdateSixTags)->Apply(SqliteSizes);
