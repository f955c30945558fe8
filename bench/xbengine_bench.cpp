// Appends, full scans and random reads of N employee records of 424 bytes,
// through the engine and through SQLite doing the same work (one
// transaction per N). The counters give records per second.

#include <cstdio>
#include <cstring>
#include <filesystem>
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

// The employee table without its two note lines.
const std::vector<Column> Employee = {
        {"ID", "C", 8, 0},         {"NAME1", "C", 30, 0},     {"NAME2", "C", 30, 0},
        {"ADDRESS", "C", 40, 0},   {"CSZ", "C", 40, 0},       {"CITY", "C", 25, 0},
        {"STATE", "C", 2, 0},      {"ZIP", "C", 10, 0},       {"HOME_PHONE", "C", 14, 0},
        {"TAX_ID", "C", 10, 0},    {"SSN", "C", 11, 0},       {"BIRTH_DATE", "C", 10, 0},
        {"HIRE_DATE", "C", 10, 0}, {"TERM_DATE", "C", 10, 0}, {"FIRST", "C", 30, 0},
        {"MIDDLE", "C", 1, 0},     {"LAST", "C", 40, 0},      {"TOTAMT", "N", 10, 2},
        {"TRANS_TYPE", "C", 1, 0}, {"DIR_SALES", "C", 1, 0},  {"FWT", "N", 10, 2},
        {"STATE_ID1", "C", 20, 0}, {"SWT1", "N", 10, 2},      {"STATE_INC1", "N", 10, 2},
        {"STATE_ID2", "C", 20, 0}, {"SWT2", "N", 10, 2},      {"STATE_INC2", "N", 10, 2},
};

// The text of column c in record i, fitting its width.
std::string Value(std::size_t c, int i)
{
    const Column& column = Employee[c];
    std::string text =
            column.Type[0] == 'N' ? std::to_string(i % 100000) + ".25" : column.Name + std::to_string(i);
    if (int(text.size()) > column.Width)
        text.resize(column.Width);
    return text;
}

void ReportRate(benchmark::State& state, int n)
{
    state.counters["records_per_second"] =
            benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate);
}

// n record numbers from 1 to n in a fixed random order.
std::vector<int> RandomOrder(int n)
{
    std::mt19937 random(7);
    std::vector<int> order(n);
    for (int& r : order)
        r = 1 + int(random() % n);
    return order;
}

std::string Scratch()
{
    static const std::string dir = ScratchDir("xbe-bench");
    return dir;
}

// --- engine ------------------------------------------------------------

std::string EngineTable(int n) { return Scratch() + "EMP" + std::to_string(n) + ".DBF"; }

void EngineCreate(const std::string& path)
{
    XBSHORT area = xb_CreateNew(path.c_str(), "", 2, XBSHORT(Employee.size()));
    xb_Select(area);
    for (const Column& c : Employee)
        xb_CreateField(c.Name, c.Type, XBSHORT(c.Width), XBSHORT(c.Decimals));
    if (!xb_CreateExec())
        std::fprintf(stderr, "cannot create %s: %s\n", path.c_str(), xbx_LastErrorText());
}

// The record images of n records, built before any timing.
std::vector<std::string> EngineImages(int n)
{
    std::vector<int> offsets;
    int offset = 1;
    for (const Column& c : Employee) {
        offsets.push_back(offset);
        offset += c.Width;
    }
    std::vector<std::string> images(n, std::string(offset, ' '));
    for (int i = 0; i < n; ++i)
        for (std::size_t c = 0; c < Employee.size(); ++c) {
            std::string text = Value(c, i);
            int pad = Employee[c].Type[0] == 'N' ? Employee[c].Width - int(text.size()) : 0;
            std::memcpy(images[i].data() + offsets[c] + pad, text.data(), text.size());
        }
    return images;
}

void EngineFill(const std::vector<std::string>& images)
{
    for (const std::string& image : images) {
        xb_AppendBlank();
        xb_PutRecord(image.data());
    }
}

void EngineAppend(benchmark::State& state)
{
    int n = int(state.range(0));
    std::vector<std::string> images = EngineImages(n);
    for (auto _ : state) {
        state.PauseTiming();
        xb_CloseAll();
        EngineCreate(EngineTable(n));
        state.ResumeTiming();
        EngineFill(images);
        xb_Commit();
    }
    xb_CloseAll();
    ReportRate(state, n);
}

// Opens the filled table of n records, exclusively, as the program opens its own.
void EngineOpen(int n)
{
    static std::map<int, bool> filled;
    xb_CloseAll();
    if (!filled[n]) {
        EngineCreate(EngineTable(n));
        EngineFill(EngineImages(n));
        xb_CloseAll();
        filled[n] = true;
    }
    xb_Use(EngineTable(n).c_str(), "", 2, 2);
}

void EngineScan(benchmark::State& state)
{
    int n = int(state.range(0));
    EngineOpen(n);
    std::vector<char> record(xb_RecSize());
    for (auto _ : state) {
        int seen = 0;
        for (xb_GoTop(); !xb_Eof(); xb_Skip(1)) {
            xb_GetRecord(record.data());
            ++seen;
        }
        benchmark::DoNotOptimize(seen);
    }
    xb_CloseAll();
    ReportRate(state, n);
}

void EngineRandomRead(benchmark::State& state)
{
    int n = int(state.range(0));
    EngineOpen(n);
    std::vector<char> record(xb_RecSize());
    std::vector<int> order = RandomOrder(n);
    for (auto _ : state) {
        for (int r : order) {
            xb_Go(r);
            xb_GetRecord(record.data());
        }
        benchmark::DoNotOptimize(record.data());
    }
    xb_CloseAll();
    ReportRate(state, n);
}

// --- SQLite --------------------------------------------------------------

sqlite3* SqliteOpen(const std::string& path, bool fresh)
{
    if (fresh)
        std::filesystem::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    if (fresh) {
        std::string create = "CREATE TABLE employee (";
        for (std::size_t c = 0; c < Employee.size(); ++c)
            create += std::string(c ? ", " : "") + Employee[c].Name +
                      (Employee[c].Type[0] == 'N' ? " REAL" : " TEXT");
        sqlite3_exec(db, (create + ")").c_str(), nullptr, nullptr, nullptr);
    }
    return db;
}

void SqliteFill(sqlite3* db, int n)
{
    std::string insert = "INSERT INTO employee VALUES (";
    for (std::size_t c = 0; c < Employee.size(); ++c)
        insert += c ? ", ?" : "?";
    const SqlStatement statement = PrepareSql(db, (insert + ")").c_str());
    std::vector<std::vector<std::string>> values(n, std::vector<std::string>(Employee.size()));
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (int i = 0; i < n; ++i) {
        for (std::size_t c = 0; c < Employee.size(); ++c) {
            std::string text = Value(c, i);
            if (Employee[c].Type[0] == 'N')
                sqlite3_bind_double(statement.get(), int(c) + 1, std::stod(text));
            else
                sqlite3_bind_text(statement.get(), int(c) + 1, text.c_str(), int(text.size()),
                                  SQLITE_TRANSIENT);
        }
        sqlite3_step(statement.get());
        sqlite3_reset(statement.get());
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

std::string SqliteFile(int n) { return Scratch() + "emp" + std::to_string(n) + ".sqlite"; }

void SqliteAppend(benchmark::State& state)
{
    int n = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3* db = SqliteOpen(SqliteFile(n) + ".append", true);
        state.ResumeTiming();
        SqliteFill(db, n);
        sqlite3_close(db);
    }
    ReportRate(state, n);
}

sqlite3* SqliteFilled(int n)
{
    static std::map<int, bool> filled;
    if (!filled[n]) {
        sqlite3* db = SqliteOpen(SqliteFile(n), true);
        SqliteFill(db, n);
        sqlite3_close(db);
        filled[n] = true;
    }
    return SqliteOpen(SqliteFile(n), false);
}

// Reads every column of the current row, as GetRecord hands over a whole record.
void ReadRow(sqlite3_stmt* statement)
{
    for (int c = 0; c < int(Employee.size()); ++c)
        benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
}

// Runs read over the filled database of n rows, one transaction per round.
template<class Read> void SqliteReads(benchmark::State& state, const char* sql, Read read)
{
    int n = int(state.range(0));
    sqlite3* db = SqliteFilled(n);
    {
        const SqlStatement statement = PrepareSql(db, sql);
        for (auto _ : state) {
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
            read(statement.get());
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        }
    }
    sqlite3_close(db);
    ReportRate(state, n);
}

void SqliteScan(benchmark::State& state)
{
    SqliteReads(state, "SELECT * FROM employee", [](sqlite3_stmt* statement) {
        while (sqlite3_step(statement) == SQLITE_ROW)
            ReadRow(statement);
        sqlite3_reset(statement);
    });
}

void SqliteRandomRead(benchmark::State& state)
{
    std::vector<int> order = RandomOrder(int(state.range(0)));
    SqliteReads(state, "SELECT * FROM employee WHERE rowid = ?", [&](sqlite3_stmt* statement) {
        for (int r : order) {
            sqlite3_bind_int(statement, 1, r);
            if (sqlite3_step(statement) == SQLITE_ROW)
                ReadRow(statement);
            sqlite3_reset(statement);
        }
    });
}

}  // namespace

BENCHMARK(EngineAppend)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SqliteAppend)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SqliteScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineRandomRead)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SqliteRandomRead)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
