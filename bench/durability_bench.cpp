// What durable writes cost, on the disk under /tmp:
//   a record appended to, and a record's payee changed in, a table with six
//   tags, each call its own change, the engine durable and unsynced beside
//   SQLite with an index on each of the six columns, each statement its own
//   transaction (synchronous=FULL with a rollback journal, NORMAL with a
//   write-ahead log, OFF);
//   a posted payment (a transaction appended, its recipient's total
//   rewritten) at 100k transactions, durable and unsynced;
//   a year-end carry (10k recipients appended to a new tagged table) and a
//   recalculation (each of 10k recipients' totals rewritten): unsynced (the
//   engine before durable writes), durable with a sync per record (run on
//   1k recipients: 10k would take minutes; the time per recipient is
//   reported for all three), and durable as one group of writes (what the
//   program does now).

#include <cstdio>
#include <initializer_list>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "bench/benchsupport.h"
#include "platform/sql/sqlstatement.h"
#include "platform/xbengine/xbe50.h"

namespace {

const std::string& Dir()
{
    static const std::string dir = ScratchDir("xbe-durability-bench");
    return dir;
}

const char* const Durability[] = {"unsynced", "durable"};

void SetDurable(bool durable) { xb_SysProp(1011, durable ? XBPROP(-1) : XBPROP(0)); }

void Create(const std::string& path, const std::vector<Column>& columns)
{
    xb_CloseAll();
    XBSHORT area = xb_CreateNew(path.c_str(), "", 2, XBSHORT(columns.size()));
    xb_Select(area);
    for (const Column& c : columns)
        xb_CreateField(c.Name, c.Type, XBSHORT(c.Width), XBSHORT(c.Decimals));
    if (!xb_CreateExec())
        std::fprintf(stderr, "cannot create %s: %s\n", path.c_str(), xbx_LastErrorText());
}

// The transactions table of n records and six tags, made once; a copy of it
// opened shared, as the program opens a client.
void OpenTransactions(int n, bool durable)
{
    std::string made = Dir() + "MADE" + std::to_string(n) + ".DBF";
    static std::map<int, bool> done;
    if (!done[n]) {
        SetDurable(false);
        Create(made, TransactionColumns);
        std::mt19937 random(7);
        for (int i = 1; i <= n; ++i) {
            std::string image = TransactionImage(i, random);
            xb_AppendBlank();
            xb_PutRecord(image.data());
        }
        for (const char* field : TransactionTags)
            xb_IndexTag("", field, field, 0, 0, "");
        xb_CloseAll();
        done[n] = true;
    }
    std::string copy = Dir() + "T.DBF";
    std::string command = "cp " + made + " " + copy + " && cp " + Dir() + "MADE" + std::to_string(n) +
                          ".CDX " + Dir() + "T.CDX";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "cannot copy %s\n", made.c_str());
    SetDurable(durable);
    if (xb_Use(copy.c_str(), "", 0, 2) <= 0)
        std::fprintf(stderr, "cannot open %s: %s\n", copy.c_str(), xbx_LastErrorText());
}

void EngineAppend(benchmark::State& state)
{
    OpenTransactions(1000, state.range(0) != 0);
    std::mt19937 random(3);
    int i = 1000;
    for (auto _ : state) {
        std::string image = TransactionImage(++i, random);
        xb_AppendBlank();
        xb_PutRecord(image.data());
    }
    xb_CloseAll();
    state.SetLabel(Durability[state.range(0)]);
}

void EngineUpdate(benchmark::State& state)
{
    OpenTransactions(1000, state.range(0) != 0);
    std::mt19937 random(5);
    for (auto _ : state) {
        xb_Go(XBLONG(1 + random() % 1000));
        std::string payee = Payee(random);
        xb_Replace("PAYEE", 1024, payee.c_str());
    }
    xb_CloseAll();
    state.SetLabel(Durability[state.range(0)]);
}

// --- SQLite ------------------------------------------------------------

const char* const SqliteModes[] = {"synchronous=FULL, rollback journal", "synchronous=NORMAL, WAL",
                                   "synchronous=OFF"};

sqlite3* SqliteTransactions(int mode)
{
    std::string path = Dir() + "t.sqlite";
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        std::remove((path + suffix).c_str());
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const char* pragmas[] = {"PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL",
                             "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL",
                             "PRAGMA journal_mode=DELETE; PRAGMA synchronous=OFF"};
    sqlite3_exec(db, pragmas[mode], nullptr, nullptr, nullptr);
    std::string create = "CREATE TABLE t (";
    for (std::size_t c = 0; c < TransactionColumns.size(); ++c)
        create += std::string(c ? ", " : "") + TransactionColumns[c].Name +
                  (TransactionColumns[c].Type[0] == 'N' ? " REAL" : " TEXT");
    sqlite3_exec(db, (create + ")").c_str(), nullptr, nullptr, nullptr);
    for (const char* field : TransactionTags)
        sqlite3_exec(db, ("CREATE INDEX i_" + std::string(field) + " ON t(" + field + ")").c_str(), nullptr,
                     nullptr, nullptr);
    return db;
}

// Inserts the image's columns with statement, as one transaction of its own.
void Insert(sqlite3_stmt* statement, const std::string& image)
{
    std::size_t at = 1;
    for (std::size_t c = 0; c < TransactionColumns.size(); ++c) {
        std::string text = image.substr(at, std::size_t(TransactionColumns[c].Width));
        at += text.size();
        sqlite3_bind_text(statement, int(c) + 1, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
    }
    sqlite3_step(statement);
    sqlite3_reset(statement);
}

SqlStatement InsertStatement(sqlite3* db)
{
    std::string insert = "INSERT INTO t VALUES (";
    for (std::size_t c = 0; c < TransactionColumns.size(); ++c)
        insert += c ? ", ?" : "?";
    return PrepareSql(db, (insert + ")").c_str());
}

// The table with 1,000 rows inserted in one transaction.
sqlite3* SqliteWith1000(int mode)
{
    sqlite3* db = SqliteTransactions(mode);
    const SqlStatement insert = InsertStatement(db);
    std::mt19937 random(7);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 1; i <= 1000; ++i)
        Insert(insert.get(), TransactionImage(i, random));
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return db;
}

void SqliteAppend(benchmark::State& state)
{
    sqlite3* db = SqliteWith1000(int(state.range(0)));
    {
        const SqlStatement insert = InsertStatement(db);
        std::mt19937 random(3);
        int i = 1000;
        for (auto _ : state)
            Insert(insert.get(), TransactionImage(++i, random));
    }
    sqlite3_close(db);
    state.SetLabel(SqliteModes[state.range(0)]);
}

void SqliteUpdate(benchmark::State& state)
{
    sqlite3* db = SqliteWith1000(int(state.range(0)));
    {
        const SqlStatement update = PrepareSql(db, "UPDATE t SET PAYEE = ? WHERE rowid = ?");
        std::mt19937 random(5);
        for (auto _ : state) {
            long long row = 1 + random() % 1000;
            std::string payee = Payee(random);
            sqlite3_bind_text(update.get(), 1, payee.c_str(), int(payee.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(update.get(), 2, row);
            sqlite3_step(update.get());
            sqlite3_reset(update.get());
        }
    }
    sqlite3_close(db);
    state.SetLabel(SqliteModes[state.range(0)]);
}

// --- the program's operations -------------------------------------------

const std::vector<Column> RecipientColumns = {
        {"ID", "C", 8, 0},   {"NAME", "C", 40, 0}, {"TIN", "C", 11, 0},        {"TOTAMT", "N", 12, 2},
        {"FWT", "N", 12, 2}, {"SWT1", "N", 12, 2}, {"STATE_INC1", "N", 12, 2}, {"TERM_DATE", "D", 8, 0},
};

// A recipients table of n recipients (only their IDs) with the tags, closed.
void MakeRecipients(const std::string& path, int n, std::initializer_list<const char*> tags)
{
    SetDurable(false);
    Create(path, RecipientColumns);
    for (int i = 1; i <= n; ++i) {
        xb_AppendBlank();
        xb_Replace("ID", 1024, ("E" + std::to_string(i)).c_str());
    }
    for (const char* tag : tags)
        xb_IndexTag("", tag, tag, 0, 0, "");
    xb_CloseAll();
}

// A posted payment: the transaction appended, then its recipient's total.
void PostedPayment(benchmark::State& state)
{
    std::string recipients = Dir() + "R.DBF";
    MakeRecipients(recipients, 1000, {"ID"});
    OpenTransactions(100000, state.range(0) != 0);
    XBSHORT transactions = xb_WorkArea("T");
    XBSHORT area = xb_Use(recipients.c_str(), "", 0, 2);
    std::mt19937 random(9);
    int i = 100000;
    for (auto _ : state) {
        xb_Select(transactions);
        std::string image = TransactionImage(++i, random);
        xb_AppendBlank();
        xb_PutRecord(image.data());
        xb_Select(area);
        xb_Go(XBLONG(1 + random() % 1000));
        xb_Replace("TOTAMT", 1024, std::to_string(random() % 100000).c_str());
    }
    xb_CloseAll();
    state.SetLabel(Durability[state.range(0)]);
}

const char* const Ways[] = {"unsynced (before)", "durable, a sync per record", "durable, one group (now)"};

// The recipients written in the way state.range(0) names.
int Recipients(const benchmark::State& state) { return state.range(0) == 1 ? 1000 : 10000; }

// Writes the recipients through write, in the way state.range(0) names.
template<class Write> void WriteRecipients(benchmark::State& state, Write&& write)
{
    int way = int(state.range(0));
    SetDurable(way != 0);
    if (way == 2)
        xb_SysProp(3010, 0);
    for (int i = 1; i <= Recipients(state); ++i)
        write(i);
    if (way == 2)
        xb_SysProp(3011, 0);
    xb_CloseAll();
    state.SetLabel(Ways[way]);
    state.counters["recipients"] = Recipients(state);
    state.counters["per_recipient"] = benchmark::Counter(
            Recipients(state), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void YearEnd(benchmark::State& state)
{
    for (auto _ : state) {
        std::string path = Dir() + "NEW.DBF";
        SetDurable(state.range(0) != 0);
        Create(path, RecipientColumns);
        xb_IndexTag("", "ID", "ID", 0, 0, "");
        xb_IndexTag("", "NAME", "NAME", 0, 0, "");
        WriteRecipients(state, [](int i) {
            xb_AppendBlank();
            xb_Replace("ID", 1024, ("E" + std::to_string(i)).c_str());
            xb_Replace("NAME", 1024, ("RECIPIENT " + std::to_string(i * 7919 % 10007)).c_str());
            xb_Replace("TOTAMT", 1024, "0");
        });
    }
}

void Recalculation(benchmark::State& state)
{
    std::string path = Dir() + "REC.DBF";
    MakeRecipients(path, 10000, {"ID", "TOTAMT"});
    for (auto _ : state) {
        SetDurable(state.range(0) != 0);
        xb_Use(path.c_str(), "", 0, 2);
        WriteRecipients(state, [](int i) {
            xb_Go(i);
            xb_Replace("TOTAMT", 1024, std::to_string(i * 31 % 99991).c_str());
        });
    }
}

}  // namespace

BENCHMARK(EngineAppend)->Arg(0)->Arg(1)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(SqliteAppend)->DenseRange(0, 2)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(EngineUpdate)->Arg(0)->Arg(1)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(SqliteUpdate)->DenseRange(0, 2)->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(PostedPayment)->Arg(0)->Arg(1)->Iterations(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(YearEnd)->DenseRange(0, 2)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Recalculation)->DenseRange(0, 2)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
