// SELECTs through the local SQL engine over tables of 100,000 payments and
// 500 employees, against the same SELECT over the same rows in plain SQLite
// tables with the same indexes: a count, a range of record numbers, a point
// lookup on a tag, a date range on a tag, the rows of a date order, a join and
// a grouping, and a scan with a condition on an unindexed field. The counter
// sql_over_plain is the time of the local SQL engine divided by plain SQLite's.

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "bench/benchsupport.h"
#include "bench/localsqlengine.h"
#include "platform/sql/localsql.h"
#include "platform/sql/sqlstatement.h"

namespace {

const std::vector<Column> EmployeeColumns = {{"ID", "C", 8, 0}, {"NAME", "C", 30, 0}, {"STATE", "C", 2, 0}};
const char* const States[] = {"NY", "NJ", "CT", "PA"};

const std::vector<Column> PaymentColumns = {
        {"EMP_ID", "C", 8, 0}, {"DATE", "D", 8, 0}, {"AMOUNT", "N", 10, 2}, {"DESCR", "C", 40, 0}};

struct TPayment {
    std::string EmpId, Date, Amount, Descr;
};

TPayment PaymentOf(std::mt19937& random)
{
    const unsigned month = 1 + random() % 12, day = 1 + random() % 28;
    char date[16];
    std::snprintf(date, sizeof date, "2008%02u%02u", month, day);
    return {"E" + std::to_string(random() % 500), date,
            std::to_string(random() % 100000) + "." + std::to_string(10 + random() % 90),
            "Payment " + std::to_string(random() % 1000000)};
}

// The table of n payments with tags on EMP_ID and DATE, and the same rows in SQLite.
struct TTables {
    std::string Dir;
    sqlite3* Plain = nullptr;
};

const TTables& Tables(int n)
{
    static std::map<int, TTables> made;
    auto found = made.find(n);
    if (found != made.end())
        return found->second;
    TTables& t = made[n];
    t.Dir = ScratchDir("localsql-bench");
    const std::string path = t.Dir + "PAYMENTS.DBF";
    xb_Select(xb_CreateNew(path.c_str(), "", 2, XBSHORT(PaymentColumns.size())));
    for (const Column& c : PaymentColumns)
        xb_CreateField(c.Name, c.Type, XBSHORT(c.Width), XBSHORT(c.Decimals));
    xb_CreateExec();
    sqlite3_open(":memory:", &t.Plain);
    sqlite3_exec(t.Plain, "CREATE TABLE PM(EMP_ID TEXT, DATE TEXT, AMOUNT REAL, DESCR TEXT); BEGIN", nullptr,
                 nullptr, nullptr);
    SqlStatement insert = PrepareSql(t.Plain, "INSERT INTO PM VALUES(?, ?, ?, ?)");
    std::mt19937 random(5);
    for (int i = 0; i < n; ++i) {
        const TPayment p = PaymentOf(random);
        const std::string image = " " + p.EmpId + std::string(8 - p.EmpId.size(), ' ') + p.Date +
                                  std::string(10 - p.Amount.size(), ' ') + p.Amount + p.Descr +
                                  std::string(40 - p.Descr.size(), ' ');
        xb_AppendBlank();
        xb_PutRecord(image.data());
        const std::string iso = p.Date.substr(0, 4) + "-" + p.Date.substr(4, 2) + "-" + p.Date.substr(6, 2);
        sqlite3_bind_text(insert.get(), 1, p.EmpId.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert.get(), 2, iso.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(insert.get(), 3, std::stod(p.Amount));
        sqlite3_bind_text(insert.get(), 4, p.Descr.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert.get());
        sqlite3_reset(insert.get());
    }
    xb_IndexTag("", "EMP_ID", "EMP_ID", 0, 0, "");
    xb_IndexTag("", "DATE", "DATE", 0, 0, "");
    xb_Close();

    const std::string employees = t.Dir + "EMPLOYEES.DBF";
    xb_Select(xb_CreateNew(employees.c_str(), "", 2, XBSHORT(EmployeeColumns.size())));
    for (const Column& c : EmployeeColumns)
        xb_CreateField(c.Name, c.Type, XBSHORT(c.Width), XBSHORT(c.Decimals));
    xb_CreateExec();
    sqlite3_exec(t.Plain, "CREATE TABLE EM(ID TEXT, NAME TEXT, STATE TEXT)", nullptr, nullptr, nullptr);
    insert = PrepareSql(t.Plain, "INSERT INTO EM VALUES(?, ?, ?)");
    for (int i = 0; i < 500; ++i) {
        const std::string id = "E" + std::to_string(i), name = "Employee " + std::to_string(i);
        const std::string image = " " + id + std::string(8 - id.size(), ' ') + name +
                                  std::string(30 - name.size(), ' ') + States[i % 4];
        xb_AppendBlank();
        xb_PutRecord(image.data());
        sqlite3_bind_text(insert.get(), 1, id.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert.get(), 2, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert.get(), 3, States[i % 4], -1, SQLITE_TRANSIENT);
        sqlite3_step(insert.get());
        sqlite3_reset(insert.get());
    }
    xb_IndexTag("", "ID", "ID", 0, 0, "");
    xb_Close();
    sqlite3_exec(t.Plain,
                 "COMMIT; CREATE INDEX PM_EMP ON PM(EMP_ID); CREATE INDEX PM_DATE ON PM(DATE);"
                 "CREATE INDEX EM_ID ON EM(ID); ANALYZE",
                 nullptr, nullptr, nullptr);
    return t;
}

// Runs Sql to its end on the plain database; the rows it gave.
int PlainRows(sqlite3* Db, const char* Sql)
{
    const SqlStatement statement = PrepareSql(Db, Sql);
    int rows = 0;
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(statement.get()); ++c)
            benchmark::DoNotOptimize(sqlite3_column_text(statement.get(), c));
        ++rows;
    }
    return rows;
}

void Select(benchmark::State& state, const char* Sql)
{
    const int n = int(state.range(0));
    const TTables& tables = Tables(n);
    const std::vector<localsql::TTableRef> refs = {{"PAYMENTS.DBF", "PM", 2, {}},
                                                   {"EMPLOYEES.DBF", "EM", 2, {}}};
    String message;
    auto statement = localsql::TStatement::Prepare({&LinkedEngine(), LinkedEngineError}, tables.Dir, refs, {},
                                                   {}, message);
    if (!statement) {
        state.SkipWithError(message.c_str());
        return;
    }
    using clock = std::chrono::steady_clock;
    clock::duration sql {}, plain {};
    int rows = 0;
    for (auto _ : state) {
        const auto start = clock::now();
        statement->Open(Sql, message);
        rows = statement->RecordCount();
        const auto middle = clock::now();
        benchmark::DoNotOptimize(PlainRows(tables.Plain, Sql));
        sql += middle - start;
        plain += clock::now() - middle;
    }
    state.counters["rows"] = rows;
    state.counters["sql_over_plain"] = double(sql.count()) / double(std::max<clock::rep>(plain.count(), 1));
    state.counters["sql_rows_per_second"] =
            double(rows) * double(state.iterations()) / std::chrono::duration<double>(sql).count();
}

void Count(benchmark::State& state) { Select(state, "SELECT COUNT(*) FROM PM"); }
void RecordNumbers(benchmark::State& state)
{
    Select(state, "SELECT EMP_ID, AMOUNT FROM PM WHERE rowid BETWEEN 50000 AND 50199");
}
void Point(benchmark::State& state)
{
    Select(state, "SELECT EMP_ID, DATE, AMOUNT FROM PM WHERE EMP_ID = 'E123'");
}
void Range(benchmark::State& state)
{
    Select(state, "SELECT EMP_ID, AMOUNT FROM PM WHERE DATE BETWEEN '2008-03-01' AND '2008-03-31'");
}
void Ordered(benchmark::State& state)
{
    Select(state, "SELECT EMP_ID, DATE, AMOUNT FROM PM ORDER BY DATE DESC LIMIT 20 OFFSET 200");
}
void Join(benchmark::State& state)
{
    Select(state, "SELECT EM.NAME, PM.DATE, PM.AMOUNT FROM EM JOIN PM ON PM.EMP_ID = EM.ID "
                  "WHERE EM.ID BETWEEN 'E100' AND 'E109'");
}
void Grouped(benchmark::State& state)
{
    Select(state, "SELECT EMP_ID, COUNT(*), SUM(AMOUNT) FROM PM WHERE DATE >= '2008-12-01' GROUP BY EMP_ID");
}
void ScanWithCondition(benchmark::State& state)
{
    Select(state, "SELECT EMP_ID, AMOUNT FROM PM WHERE AMOUNT > 99000");
}

BENCHMARK(Count)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordNumbers)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Point)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Range)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Ordered)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Join)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Grouped)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ScanWithCondition)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
