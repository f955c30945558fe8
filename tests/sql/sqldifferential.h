#pragma once
// A differential run of the local SQL engine against plain SQLite: the
// program's EMPLOYEE and TOTTRANS layouts are made through the engine with
// their tags and filled with generated rows (blank numbers and dates, accented
// Windows-1252 names), and the same rows go into plain SQLite tables whose
// CHECK constraints refuse what a field cannot hold. Random SELECT, INSERT,
// UPDATE and DELETE statements (joins, grouping, ordering, LIKE, ranges on
// tagged and untagged fields, NULL and blank, parameters, statements that fail
// part-way) run on both; each result must be the same, a statement must fail
// on both or on neither, and after every write each table's file, read byte by
// byte, must hold what SQLite holds.
//
// Header-only so that the test and the long run in bench/ share it.

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/rtl/cp1252.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/sql/localsql.h"
#include "platform/sql/sqlstatement.h"
#include "platform/xbengine/xbe_functions.h"

namespace sqldifferential {

struct TField {
    const char* Name;
    char Type;
    int Width;
    int Decimals;
};

struct TShape {
    const char* Name;
    const char* Alias;
    std::vector<TField> Fields;
    std::vector<const char*> Tags;
};

// The fields of the program's layouts that the statements use, as the program makes them.
inline const TShape Employee = {"EMPLOYEE",
                                "E",
                                {{"ID", 'C', 8, 0},
                                 {"NAME1", 'C', 30, 0},
                                 {"LAST", 'C', 40, 0},
                                 {"STATE", 'C', 2, 0},
                                 {"TOTAMT", 'N', 10, 2},
                                 {"FWT", 'N', 10, 2},
                                 {"SWT1", 'N', 10, 2},
                                 {"TRANS_TYPE", 'C', 1, 0}},
                                {"ID", "NAME1", "LAST"}};
inline const TShape Transactions = {"TOTTRANS",
                                    "T",
                                    {{"ACCNO", 'N', 8, 2},
                                     {"PAYEE", 'C', 40, 0},
                                     {"DESCR", 'C', 60, 0},
                                     {"DATE", 'D', 8, 0},
                                     {"NUMBER", 'N', 10, 0},
                                     {"AMOUNT", 'N', 10, 2},
                                     {"SWT1", 'N', 10, 2},
                                     {"EMP_ID", 'C', 8, 0}},
                                    {"ACCNO", "DESCR", "PAYEE", "NUMBER", "EMP_ID", "DATE"}};
inline const TShape* const Shapes[] = {&Employee, &Transactions};

// Text in the statements and values is UTF-8 here; the tables and the engine's
// statements take it in Windows-1252.
inline const char* const Names[] = {"Ørsted", "Åberg", "Çelik",  "Émile",    "Ñúñez",  "Über",
                                    "Šimek",  "Œuvre", "Smith",  "smith",    "SMITH",  "O'Brien",
                                    "Zoë",    "Ärger", "Müller", "Jones",    "Miller", "Garcia",
                                    "Davis",  "",      "Wilson", "Ångström", "Ødegård"};
inline const char* const States[] = {"NY", "NJ", "CT", "PA", "", "QC"};
inline const char* const Words[] = {"Rent", "Fees", "Royalty", "Prize", "Crédit", "Déjà vu", "Payment", ""};

// One value of a field in a generated row: the field's text as the file holds it (blank: none).
using TRow = std::vector<std::string>;

// A statement, its parameters, and whether the order of its rows is part of its answer.
struct TStatementCase {
    std::string Sql;
    std::vector<std::pair<std::string, Variant>> Params;
    bool Ordered = false;
    bool Writes = false;
};

class TGenerator {
public:
    explicit TGenerator(unsigned Seed) : FRandom(Seed) { }

    int Below(int N) { return int(FRandom() % unsigned(std::max(N, 1))); }
    bool Chance(int Percent) { return Below(100) < Percent; }
    template<typename T, size_t N> const T& Pick(const T (&Items)[N]) { return Items[Below(int(N))]; }

    std::string Name() { return Pick(Names); }
    std::string Iso()
    {
        char text[48];
        std::snprintf(text, sizeof text, "20%02d-%02d-%02d", 5 + Below(6), 1 + Below(12), 1 + Below(28));
        return text;
    }
    // A value with the field's decimals that fits it most of the time.
    std::string Number(const TField& F)
    {
        const double scale = std::pow(10.0, F.Decimals);
        const long long range = F.Decimals ? 200000 : 50000;
        const double value = double(Below(int(range)) - int(range / 10)) / scale;
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", F.Decimals, value);
        return text;
    }

    // A stored value of the field; some numbers and dates are blank.
    std::string StoredValue(const TField& F, int Row)
    {
        switch (F.Type) {
        case 'D': return Chance(10) ? "" : Iso();
        case 'N': return Chance(12) ? "" : Number(F);
        default:
            if (std::string(F.Name) == "ID")
                return Row % 37 == 5 ? "" : "E" + std::to_string(1000 + Row);
            if (std::string(F.Name) == "EMP_ID")
                return Chance(8) ? "" : "E" + std::to_string(1000 + Below(80));
            if (std::string(F.Name) == "STATE")
                return Pick(States);
            if (std::string(F.Name) == "TRANS_TYPE")
                return Chance(50) ? "A" : "";
            if (std::string(F.Name) == "DESCR")
                return Pick(Words) + std::string(Chance(50) ? " " : "") + std::to_string(Below(500));
            return Name() + (Chance(30) ? " " + Name() : "");
        }
    }

    TRow Row(const TShape& Shape, int Row)
    {
        TRow row;
        for (const TField& f : Shape.Fields)
            row.push_back(StoredValue(f, Row));
        return row;
    }

    TStatementCase Next(const std::vector<int>& RowCounts);

private:
    std::string Literal(const TField& F, bool Failing);
    std::string Predicate(const TShape& Shape, const std::string& Prefix, TStatementCase& Case, int RowCount);
    std::string Where(const TShape& Shape, const std::string& Prefix, TStatementCase& Case, int RowCount);
    std::string Projection(const TShape& Shape, const std::string& Prefix);
    TStatementCase Select(const TShape& Shape, int RowCount);
    TStatementCase Join(int RowCount);
    TStatementCase Grouped(int RowCount);
    TStatementCase Compound(int RowCount);
    TStatementCase Insert(const TShape& Shape, int RowCount);
    TStatementCase Update(const TShape& Shape, int RowCount);
    TStatementCase Delete(const TShape& Shape, int RowCount);

    std::mt19937 FRandom;
    int FParams = 0;
};

inline std::string Quoted(const std::string& Text)
{
    std::string out = "'";
    for (char c : Text)
        out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// Fields are compared as a whole value with its typeof(), so that NULL and a
// blank, or 12 and 12.0, are told apart although a result image shows neither.
inline std::string WithType(const std::string& Expression)
{
    return Expression + ", typeof(" + Expression + ")";
}

inline std::string TGenerator::Literal(const TField& F, bool Failing)
{
    if (Failing) {
        switch (Below(6)) {
        case 0: return Quoted(std::string(size_t(F.Width + 1), 'x'));  // too long for text, not a number
        case 1: return "char(0)";
        case 2: return "'a' || char(20013)";  // a character Windows-1252 lacks
        case 3: return F.Type == 'N' ? "1e" + std::to_string(F.Width) : Quoted("2008-02-30");
        case 4: return "'12abc'";
        default: return Quoted("2008-13-01");
        }
    }
    if (Chance(10))
        return "NULL";
    switch (F.Type) {
    case 'D': return Quoted(Iso());
    case 'N': return Number(F);
    default: {
        std::string text = std::string(F.Name) == "ID" || std::string(F.Name) == "EMP_ID"
                                   ? "E" + std::to_string(1000 + Below(90))
                                   : Name();
        // Cut to the width in UTF-8 bytes, so that it fits in the code page too, at a whole character.
        if (int(text.size()) > F.Width) {
            text = text.substr(0, size_t(F.Width));
            while (!text.empty() && (text.back() & 0x80))
                text.pop_back();
        }
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        return Quoted(text);
    }
    }
}

inline std::string TGenerator::Predicate(const TShape& Shape, const std::string& Prefix, TStatementCase& Case,
                                         int RowCount)
{
    if (Chance(10)) {
        const int k = 1 + Below(RowCount + 2);
        switch (Below(3)) {
        case 0: return Prefix + "rowid = " + std::to_string(k);
        case 1:
            return Prefix + "rowid BETWEEN " + std::to_string(k) + " AND " + std::to_string(k + Below(50));
        default: return Prefix + "rowid > " + std::to_string(k) + ".5";
        }
    }
    const TField& f = Shape.Fields[size_t(Below(int(Shape.Fields.size())))];
    const std::string column = Prefix + f.Name;
    if (Chance(12)) {
        const std::string name = "p" + std::to_string(++FParams);
        Variant value;
        if (f.Type == 'N')
            value = Variant(std::stod(Number(f)));
        else if (f.Type == 'D')
            value = Variant(String(Iso()));
        else
            value = Variant(Utf8ToCp1252(
                    f.Name == std::string("EMP_ID") ? "E" + std::to_string(1000 + Below(80)) : Name()));
        Case.Params.emplace_back(name, value);
        const char* ops[] = {" = :", " >= :", " < :"};
        return column + Pick(ops) + name;
    }
    switch (f.Type) {
    case 'N': {
        switch (Below(7)) {
        case 0: return column + " < 1e15";
        case 1: return column + " > 0.00001";
        case 2: return column + " IS NULL";
        case 3: return column + " IS NOT NULL";
        case 4: return column + " = " + Number(f);
        case 5: return column + " BETWEEN " + Number(f) + " AND " + Number(f);
        default: return column + (Chance(50) ? " > " : " <= ") + Number(f);
        }
    }
    case 'D': {
        switch (Below(5)) {
        case 0: return column + " IS NULL";
        case 1: return column + " = " + Quoted(Iso());
        case 2: return column + " BETWEEN " + Quoted(Iso()) + " AND " + Quoted(Iso());
        case 3: return column + " < '2008-06'";
        default: return column + (Chance(50) ? " >= " : " < ") + Quoted(Iso());
        }
    }
    default: {
        const std::string name = Name();
        switch (Below(9)) {
        case 0: return column + " = ''";
        case 1: return column + " LIKE " + Quoted(name.substr(0, std::min<size_t>(name.size(), 2)) + "%");
        case 2: return column + " LIKE 'Ø%'";
        case 3: return column + " >= " + Quoted(Chance(50) ? "M" : "Sm");
        case 4: return column + " BETWEEN 'A' AND 'N'";
        case 5: return column + " IN (" + Quoted(name) + ", " + Quoted(Name()) + ")";
        case 6: return "upper(" + column + ") LIKE '%MI%'";
        case 7: return column + " <> " + Quoted(name);
        default:
            return column + " = " +
                   Quoted(f.Name == std::string("ID") || f.Name == std::string("EMP_ID")
                                  ? "E" + std::to_string(1000 + Below(90))
                                  : name);
        }
    }
    }
}

inline std::string TGenerator::Where(const TShape& Shape, const std::string& Prefix, TStatementCase& Case,
                                     int RowCount)
{
    if (Chance(10))
        return "";
    std::string where = " WHERE " + Predicate(Shape, Prefix, Case, RowCount);
    if (Chance(35))
        where += (Chance(70) ? " AND " : " OR ") + Predicate(Shape, Prefix, Case, RowCount);
    return where;
}

inline std::string TGenerator::Projection(const TShape& Shape, const std::string& Prefix)
{
    std::string out = WithType(Prefix + "rowid");
    for (const TField& f : Shape.Fields)
        if (Chance(45))
            out += ", " + WithType(Prefix + f.Name);
    if (Chance(20))
        out += ", " + WithType("upper(" + Prefix + Shape.Fields[1].Name + ")");
    if (Chance(20))
        out += ", " + WithType("substr(" + Prefix + Shape.Fields[1].Name + ", 2, 3)");
    if (Chance(20))
        out += ", " + WithType("length(" + Prefix + Shape.Fields[2].Name + ")");
    return out;
}

inline TStatementCase TGenerator::Select(const TShape& Shape, int RowCount)
{
    TStatementCase c;
    if (Chance(15)) {
        c.Sql = "SELECT count(*) FROM " + std::string(Shape.Alias) + Where(Shape, "", c, RowCount);
        return c;
    }
    c.Sql = "SELECT " + Projection(Shape, "") + " FROM " + Shape.Alias + Where(Shape, "", c, RowCount);
    if (Chance(50)) {
        // The record number settles ties, so the order is the whole answer.
        const TField& f = Shape.Fields[size_t(Below(int(Shape.Fields.size())))];
        const std::string direction = Chance(50) ? " DESC" : "";
        const std::string key = Chance(40) && std::string(Shape.Name) == "TOTTRANS" ? "DATE" : f.Name;
        c.Sql += " ORDER BY " + key + direction + (Chance(50) ? ", rowid" + direction : ", rowid");
        if (Chance(50))
            c.Sql += " LIMIT " + std::to_string(1 + Below(20)) + " OFFSET " + std::to_string(Below(30));
        c.Ordered = true;
    }
    return c;
}

inline TStatementCase TGenerator::Join(int RowCount)
{
    TStatementCase c;
    if (Chance(30)) {
        c.Sql = "SELECT " + WithType("T.rowid") + ", " + WithType("T.EMP_ID") +
                " FROM T LEFT JOIN E ON E.ID = T.EMP_ID WHERE E.ID IS NULL";
        return c;
    }
    c.Sql = "SELECT " + WithType("T.rowid") + ", " + WithType("E.rowid") + ", " + WithType("E.LAST") + ", " +
            WithType("T.AMOUNT") + " FROM T JOIN E ON E.ID = T.EMP_ID" +
            Where(Transactions, "T.", c, RowCount);
    if (Chance(50))
        c.Sql += " AND " + Predicate(Employee, "E.", c, RowCount / 10);
    return c;
}

inline TStatementCase TGenerator::Grouped(int RowCount)
{
    TStatementCase c;
    const char* keys[] = {"EMP_ID", "PAYEE", "substr(DATE, 1, 7)", "NUMBER % 7"};
    const std::string key = Pick(keys);
    c.Sql = "SELECT " + WithType(key) + ", count(*), " + WithType("sum(AMOUNT)") + ", " +
            WithType("min(DATE)") + ", " + WithType("max(SWT1)") + ", count(SWT1) FROM T" +
            Where(Transactions, "", c, RowCount) + " GROUP BY " + key;
    if (Chance(40))
        c.Sql += " HAVING count(*) > " + std::to_string(Below(4));
    c.Sql += " ORDER BY 1";
    c.Ordered = true;
    return c;
}

inline TStatementCase TGenerator::Compound(int RowCount)
{
    TStatementCase c;
    c.Sql = "SELECT LAST FROM E" + Where(Employee, "", c, RowCount / 10) +
            " UNION ALL SELECT 'TOTAL: ' || count(*) || ' rows of ' || " + Quoted(Name()) + " FROM T" +
            Where(Transactions, "", c, RowCount);
    return c;
}

inline TStatementCase TGenerator::Insert(const TShape& Shape, int RowCount)
{
    TStatementCase c;
    c.Writes = true;
    const std::string table = Shape.Alias;
    if (Chance(25)) {
        // Several rows at once, some of which may not fit.
        const TField& f = Shape.Fields[1];
        c.Sql = "INSERT INTO " + table + " (" + f.Name + ", " + Shape.Fields[0].Name + ") SELECT " + f.Name +
                (Chance(40) ? " || ' extra text'" : "") + ", " + Shape.Fields[0].Name + " FROM " + table +
                Where(Shape, "", c, RowCount) + " ORDER BY rowid LIMIT " + std::to_string(1 + Below(4));
        return c;
    }
    const bool failing = Chance(15);
    const int failingField = Below(int(Shape.Fields.size()));
    std::string names, values;
    for (size_t i = 0; i < Shape.Fields.size(); ++i) {
        if (!(failing && int(i) == failingField) && Chance(25))
            continue;  // left NULL
        names += std::string(names.empty() ? "" : ", ") + Shape.Fields[i].Name;
        values += std::string(values.empty() ? "" : ", ") +
                  Literal(Shape.Fields[i], failing && int(i) == failingField);
    }
    if (names.empty())
        names = Shape.Fields[0].Name, values = "NULL";
    c.Sql = "INSERT INTO " + table + " (" + names + ") VALUES (" + values + ")";
    return c;
}

inline TStatementCase TGenerator::Update(const TShape& Shape, int RowCount)
{
    TStatementCase c;
    c.Writes = true;
    std::string sets;
    const int count = 1 + Below(3);
    for (int i = 0; i < count; ++i) {
        const TField& f = Shape.Fields[size_t(Below(int(Shape.Fields.size())))];
        std::string value;
        if (f.Type == 'C' && Chance(25))
            value = std::string(f.Name) + " || " +
                    Quoted(Chance(50) ? "-x" : "-" + std::string(size_t(f.Width / 2), 'y'));
        else if (f.Type == 'N' && Chance(25))
            value = std::string(f.Name) + (Chance(50) ? " * 2" : " + 1");
        else
            value = Literal(f, Chance(8));
        sets += std::string(sets.empty() ? "" : ", ") + f.Name + " = " + value;
    }
    c.Sql = "UPDATE " + std::string(Shape.Alias) + " SET " + sets + Where(Shape, "", c, RowCount);
    return c;
}

inline TStatementCase TGenerator::Delete(const TShape& Shape, int RowCount)
{
    TStatementCase c;
    c.Writes = true;
    // A few records at a time, about as many as the inserts add, so that the tables keep their size.
    const int first = 1 + Below(RowCount + 10);
    c.Sql = "DELETE FROM " + std::string(Shape.Alias) + " WHERE rowid BETWEEN " + std::to_string(first) +
            " AND " + std::to_string(first + Below(8)) +
            (Chance(50) ? " AND " + Predicate(Shape, "", c, RowCount) : std::string());
    return c;
}

inline TStatementCase TGenerator::Next(const std::vector<int>& RowCounts)
{
    const int which = Below(2);
    const TShape& shape = *Shapes[which];
    const int rows = RowCounts[size_t(which)];
    const int kind = Below(100);
    if (kind < 35)
        return Select(shape, rows);
    if (kind < 45)
        return Join(RowCounts[1]);
    if (kind < 55)
        return Grouped(RowCounts[1]);
    if (kind < 60)
        return Compound(RowCounts[1]);
    if (kind < 62)
        return TStatementCase {"SELECT NOSUCHFIELD FROM E", {}, false, false};
    if (kind < 70)
        return Insert(shape, rows);
    if (kind < 92)
        return Update(shape, rows);
    return Delete(shape, rows);
}

// The engine the run makes its tables with and the local SQL engine runs on.
struct TEngineAccess {
    const TXbeFunctions* Functions = nullptr;
    String (*LastErrorText)() = nullptr;
};

// What a run found.
struct TOutcome {
    int Statements = 0;
    int Failed = 0;  // statements both sides refused
    std::vector<std::string> Differences;
};

class TDifferentialRun {
public:
    TDifferentialRun(TEngineAccess Engine, std::string Dir, unsigned Seed, int EmployeeRows,
                     int TransactionRows)
        : FEngine(Engine), FDir(std::move(Dir)), FGenerator(Seed)
    {
        sqlite3_open(":memory:", &FOracle);
        sqlite3_create_function(FOracle, "fits_text", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                FitsText, nullptr, nullptr);
        sqlite3_create_function(FOracle, "is_date", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, IsDate,
                                nullptr, nullptr);
        Make(Employee, EmployeeRows);
        Make(Transactions, TransactionRows);
        FRowCounts = {EmployeeRows, TransactionRows};
    }
    ~TDifferentialRun() { sqlite3_close(FOracle); }
    TDifferentialRun(const TDifferentialRun&) = delete;
    TDifferentialRun& operator=(const TDifferentialRun&) = delete;

    // Runs Count statements, comparing the tables after every write, or (TablesEvery above 1) after
    // every TablesEvery-th statement and the last; stops at the first few differences.
    TOutcome Run(int Count, int TablesEvery = 1, size_t MaxDifferences = 5)
    {
        TOutcome outcome;
        for (int i = 0; i < Count && outcome.Differences.size() < MaxDifferences; ++i) {
            const TStatementCase c = FGenerator.Next(FRowCounts);
            ++outcome.Statements;
            String layerMessage, oracleMessage;
            std::vector<std::string> layer, oracle;
            const bool layerDone = RunOnLayer(c, layer, layerMessage);
            const bool oracleDone = RunOnOracle(c, oracle, oracleMessage);
            if (!c.Ordered) {
                std::sort(layer.begin(), layer.end());
                std::sort(oracle.begin(), oracle.end());
            }
            const std::string where = "statement " + std::to_string(i + 1) + ": " + c.Sql;
            if (layerDone != oracleDone)
                outcome.Differences.push_back(
                        where + "\n  local: " + (layerDone ? "done" : Cp1252ToUtf8(layerMessage)) +
                        "\n  SQLite: " + (oracleDone ? "done" : oracleMessage));
            else if (layer != oracle)
                outcome.Differences.push_back(where + "\n" + FirstDifference(layer, oracle));
            outcome.Failed += !layerDone && !oracleDone;
            if (c.Writes && oracleDone)
                CountRecords();
            if (TablesEvery <= 1 ? c.Writes : (i + 1) % TablesEvery == 0 || i + 1 == Count)
                for (const TShape* shape : Shapes)
                    if (std::string difference = TableDifference(*shape); !difference.empty())
                        outcome.Differences.push_back(where + "\n  table " + shape->Name + ": " + difference);
        }
        return outcome;
    }

    const std::string& Dir() const { return FDir; }

    // The highest record number of each table, which the statements' record numbers range up to.
    void CountRecords()
    {
        for (size_t i = 0; i < std::size(Shapes); ++i) {
            std::vector<std::vector<std::string>> rows;
            Query("SELECT seq FROM sqlite_sequence WHERE name = '" + std::string(Shapes[i]->Alias) + "'", {},
                  rows);
            if (!rows.empty())
                FRowCounts[i] = std::stoi(rows[0][0]);
        }
    }

    // The rows SQLite holds for a table, one line each: the record number and the values.
    std::vector<std::string> OracleTable(const TShape& Shape)
    {
        std::string sql = "SELECT rowid";
        for (const TField& f : Shape.Fields)
            sql += std::string(", ") + f.Name;
        std::vector<std::vector<std::string>> cells;
        Query(sql + " FROM " + Shape.Alias + " ORDER BY rowid", {}, cells);
        std::vector<std::string> rows;
        for (const std::vector<std::string>& row : cells)
            rows.push_back(Joined(row));
        return rows;
    }

    // The same, read from the table's file byte by byte: the records not deleted.
    std::vector<std::string> FileTable(const TShape& Shape)
    {
        std::ifstream in(FDir + Shape.Name + ".DBF", std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::string> rows;
        if (bytes.size() < 32)
            return rows;
        auto word = [&](size_t at, int size) {
            unsigned value = 0;
            for (int i = size - 1; i >= 0; --i)
                value = value * 256 + static_cast<unsigned char>(bytes[at + size_t(i)]);
            return value;
        };
        const unsigned count = word(4, 4), header = word(8, 2), length = word(10, 2);
        for (unsigned r = 0; r < count && header + size_t(r + 1) * length <= bytes.size(); ++r) {
            const char* record = bytes.data() + header + size_t(r) * length;
            if (record[0] == '*')
                continue;
            std::string line = std::to_string(r + 1);
            size_t at = 1;
            for (const TField& f : Shape.Fields) {
                std::string text(record + at, size_t(f.Width));
                at += size_t(f.Width);
                const size_t end = text.find_last_not_of(' ');
                text = end == std::string::npos ? "" : text.substr(0, end + 1);
                std::string shown;
                if (f.Type == 'C')
                    shown = "'" + Cp1252ToUtf8(text) + "'";
                else if (text.empty())
                    shown = "NULL";
                else if (f.Type == 'N')
                    shown = Number(std::strtod(text.c_str(), nullptr));
                else
                    shown = "'" + text.substr(0, 4) + "-" + text.substr(4, 2) + "-" + text.substr(6, 2) + "'";
                line += "|" + shown;
            }
            rows.push_back(line);
        }
        return rows;
    }

    // Whether each tag of the table holds every record once, in its key's order; what is wrong if not.
    std::string TagDifference(const TShape& Shape)
    {
        const TXbeFunctions& f = *FEngine.Functions;
        const XBSHORT area = f.xb_Use((FDir + Shape.Name + ".DBF").c_str(), "TAGCHECK", 1, 2);
        if (area <= 0)
            return "the table cannot be opened";
        std::string problem;
        const XBLONG count = f.xb_RecCount();
        String record(size_t(f.xb_RecSize()), ' ');
        for (size_t t = 0; t < Shape.Tags.size() && problem.empty(); ++t) {
            const TField& field =
                    *std::find_if(Shape.Fields.begin(), Shape.Fields.end(),
                                  [&](const TField& F) { return Shape.Tags[t] == std::string(F.Name); });
            const int offset = int(f.xb_FieldOffset(field.Name)) - 1;
            f.xb_SetOrder(XBSHORT(t + 1));
            std::vector<bool> seen(size_t(count) + 1, false);
            std::string previous;
            double previousNumber = -1e300;
            XBLONG walked = 0;
            for (f.xb_GoTop(); !f.xb_Eof() && problem.empty(); f.xb_Skip(1), ++walked) {
                const XBLONG recno = f.xb_RecNo();
                f.xb_GetRecord(record.data());
                const std::string key = record.substr(size_t(offset), size_t(field.Width));
                const double number = std::strtod(key.c_str(), nullptr);
                if (recno < 1 || recno > count || seen[size_t(recno)])
                    problem = "record " + std::to_string(recno) + " is not once in the tag";
                else if (field.Type == 'N' ? number < previousNumber : key < previous)
                    problem = "record " + std::to_string(recno) + " is out of the tag's order";
                seen[size_t(recno) < seen.size() ? size_t(recno) : 0] = true;
                previous = key;
                previousNumber = number;
            }
            if (problem.empty() && walked != count)
                problem = std::to_string(walked) + " of " + std::to_string(count) + " records are in the tag";
            if (!problem.empty())
                problem = "tag " + std::string(Shape.Tags[t]) + ": " + problem;
        }
        f.xb_Close();
        return problem;
    }

private:
    static std::string Number(double Value)
    {
        char text[64];
        std::snprintf(text, sizeof text, "%.12g", Value);  // a sum's last digits depend on its order
        return text;
    }

    // fits_text(value, width): whether a character field of the width can hold the value.
    static void FitsText(sqlite3_context* Context, int, sqlite3_value** Argv)
    {
        if (sqlite3_value_type(Argv[0]) == SQLITE_NULL) {
            sqlite3_result_int(Context, 1);
            return;
        }
        const std::string text(reinterpret_cast<const char*>(sqlite3_value_text(Argv[0])),
                               size_t(sqlite3_value_bytes(Argv[0])));
        const String held = Utf8ToCp1252(text);
        sqlite3_result_int(Context, text.find('\0') == std::string::npos && Cp1252ToUtf8(held) == text &&
                                            int(held.size()) <= sqlite3_value_int(Argv[1]));
    }

    // is_date(value): whether the value is a date of the calendar written YYYY-MM-DD.
    static void IsDate(sqlite3_context* Context, int, sqlite3_value** Argv)
    {
        const std::string text = sqlite3_value_type(Argv[0]) == SQLITE_TEXT
                                         ? reinterpret_cast<const char*>(sqlite3_value_text(Argv[0]))
                                         : "";
        unsigned y = 0, m = 0, d = 0;
        char tail = 0;
        const bool read = text.size() == 10 && text[4] == '-' && text[7] == '-' &&
                          std::sscanf(text.c_str(), "%4u-%2u-%2u%c", &y, &m, &d, &tail) == 3;
        const std::chrono::year_month_day date {std::chrono::year(int(y)), std::chrono::month(m),
                                                std::chrono::day(d)};
        sqlite3_result_int(Context, read && y >= 1 && date.ok());
    }

    void Make(const TShape& Shape, int Rows)
    {
        const TXbeFunctions& f = *FEngine.Functions;
        const std::string path = FDir + Shape.Name + ".DBF";
        f.xb_Select(f.xb_CreateNew(path.c_str(), "", 2, XBSHORT(Shape.Fields.size())));
        std::string schema =
                "CREATE TABLE " + std::string(Shape.Alias) + "(rid INTEGER PRIMARY KEY AUTOINCREMENT";
        for (const TField& field : Shape.Fields) {
            f.xb_CreateField(field.Name, std::string(1, field.Type).c_str(), XBSHORT(field.Width),
                             XBSHORT(field.Decimals));
            const std::string name = field.Name;
            switch (field.Type) {
            case 'C':
                schema += ", " + name + " CHAR(" + std::to_string(field.Width) +
                          ") NOT NULL ON CONFLICT REPLACE DEFAULT '' CHECK(fits_text(" + name + ", " +
                          std::to_string(field.Width) + "))";
                break;
            case 'N':
                schema += ", " + name + " NUMERIC(" + std::to_string(field.Width) + "," +
                          std::to_string(field.Decimals) + ") CHECK(" + name + " IS NULL OR (typeof(" + name +
                          ") IN ('integer', 'real') AND length(printf('%." + std::to_string(field.Decimals) +
                          "f', " + name + ")) <= " + std::to_string(field.Width) + "))";
                break;
            default: schema += ", " + name + " DATE CHECK(" + name + " IS NULL OR is_date(" + name + "))";
            }
        }
        f.xb_CreateExec();
        sqlite3_exec(FOracle, (schema + "); BEGIN").c_str(), nullptr, nullptr, nullptr);
        std::string insert = "INSERT INTO " + std::string(Shape.Alias) + " VALUES(NULL";
        for (size_t i = 0; i < Shape.Fields.size(); ++i)
            insert += ", ?";
        const SqlStatement owned = PrepareSql(FOracle, (insert + ")").c_str());
        sqlite3_stmt* statement = owned.get();
        for (int r = 0; r < Rows; ++r) {
            const TRow row = FGenerator.Row(Shape, r);
            std::string image = " ";
            for (size_t i = 0; i < Shape.Fields.size(); ++i) {
                const TField& field = Shape.Fields[i];
                std::string stored = field.Type == 'D' && !row[i].empty()
                                             ? row[i].substr(0, 4) + row[i].substr(5, 2) + row[i].substr(8, 2)
                                             : Utf8ToCp1252(row[i]);
                stored = stored.substr(0, size_t(field.Width));
                const std::string pad(size_t(field.Width) - stored.size(), ' ');
                image += field.Type == 'N' ? pad + stored : stored + pad;
                if (row[i].empty() && field.Type != 'C')
                    sqlite3_bind_null(statement, int(i + 1));
                else if (field.Type == 'C')
                    sqlite3_bind_text(statement, int(i + 1), Cp1252ToUtf8(TrimRight(stored)).c_str(), -1,
                                      SQLITE_TRANSIENT);
                else
                    sqlite3_bind_text(statement, int(i + 1), row[i].c_str(), -1, SQLITE_TRANSIENT);
            }
            f.xb_AppendBlank();
            f.xb_PutRecord(image.data());
            sqlite3_step(statement);
            sqlite3_reset(statement);
        }
        for (const char* tag : Shape.Tags)
            f.xb_IndexTag("", tag, tag, 0, 0, "");
        f.xb_Close();
        sqlite3_exec(FOracle, "COMMIT", nullptr, nullptr, nullptr);
    }

    // The statement on plain SQLite; its rows as cells: text quoted, NULL as "NULL".
    bool Query(const std::string& Sql, const std::vector<std::pair<std::string, Variant>>& Params,
               std::vector<std::vector<std::string>>& Rows, std::string* Message = nullptr)
    {
        const SqlStatement owned = PrepareSql(FOracle, Sql.c_str());
        sqlite3_stmt* statement = owned.get();
        if (!statement) {
            if (Message)
                *Message = sqlite3_errmsg(FOracle);
            return false;
        }
        for (const auto& [name, value] : Params) {
            const int index = sqlite3_bind_parameter_index(statement, (":" + name).c_str());
            if (value.VarType() == varDouble)
                sqlite3_bind_double(statement, index, value.AsFloat());
            else
                sqlite3_bind_text(statement, index, Cp1252ToUtf8(value.AsString()).c_str(), -1,
                                  SQLITE_TRANSIENT);
        }
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                switch (sqlite3_column_type(statement, c)) {
                case SQLITE_NULL: row.push_back("NULL"); break;
                case SQLITE_INTEGER:
                case SQLITE_FLOAT: row.push_back(Number(sqlite3_column_double(statement, c))); break;
                default:
                    row.push_back(
                            "'" +
                            std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, c))) +
                            "'");
                }
            }
            Rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE && Message)
            *Message = sqlite3_errmsg(FOracle);
        return rc == SQLITE_DONE;
    }

    static std::string Joined(const std::vector<std::string>& Cells)
    {
        std::string line;
        for (size_t i = 0; i < Cells.size(); ++i)
            line += (i ? "|" : "") + Cells[i];
        return line;
    }

    // A result image shows no NULL: a value whose typeof() beside it is 'null' counts as "~" on both sides.
    static std::string Compared(std::vector<std::string> Cells)
    {
        for (size_t i = 0; i + 1 < Cells.size(); ++i)
            if (Cells[i + 1] == "null")
                Cells[i] = "~";
        return Joined(Cells);
    }

    bool RunOnOracle(const TStatementCase& Case, std::vector<std::string>& Rows, String& Message)
    {
        std::vector<std::vector<std::string>> raw;
        std::string message;
        const bool done = Query(Case.Sql, Case.Params, raw, &message);
        Message = message;
        // Text as the code page holds it, without the quotes a table row shows.
        for (std::vector<std::string>& row : raw) {
            for (std::string& cell : row)
                if (cell == "NULL")
                    cell.clear();
                else if (cell.size() >= 2 && cell.front() == '\'')
                    cell = Cp1252ToUtf8(Utf8ToCp1252(cell.substr(1, cell.size() - 2)));
            Rows.push_back(Compared(row));
        }
        return done;
    }

    bool RunOnLayer(const TStatementCase& Case, std::vector<std::string>& Rows, String& Message)
    {
        std::vector<localsql::TTableRef> refs;
        for (const TShape* shape : Shapes)
            refs.push_back({String(shape->Name) + ".DBF", shape->Alias, 2, {}});
        localsql::TSettings settings;
        settings.HideDeleted = true;
        localsql::TParams params;
        for (const auto& [name, value] : Case.Params)
            params.emplace_back(name, value);
        auto statement = localsql::TStatement::Prepare({FEngine.Functions, FEngine.LastErrorText}, FDir, refs,
                                                       settings, params, Message);
        if (!statement)
            return false;
        const String sql = Utf8ToCp1252(Case.Sql);
        if (Case.Writes)
            return statement->Exec(sql, Message) == 0;
        if (statement->Open(sql, Message) != 0)
            return false;
        ImageRows(*statement, Rows);
        return true;
    }

    // The rows of an opened result as its images show them.
    static void ImageRows(const localsql::TStatement& Statement, std::vector<std::string>& Rows)
    {
        TMemoryStream stream;
        Statement.WriteRows(1, Statement.RecordCount(), stream);
        const char* bytes = reinterpret_cast<const char*>(stream.Memory());
        size_t at = 8;
        for (int row = 1; row <= Statement.RecordCount(); ++row) {
            at += 8;
            const char* image = bytes + at;
            std::vector<std::string> cells;
            for (size_t c = 0; c < Statement.Columns().size(); ++c) {
                const localsql::TColumn& column = Statement.Columns()[c];
                const char* value = image + column.Offset;
                std::string line;
                int32_t i32 = 0;
                double real = 0;
                switch (column.Type) {
                case ftString:
                    line += Cp1252ToUtf8(String(value, strnlen(value, size_t(column.Size))));
                    break;
                case ftInteger:
                    std::memcpy(&i32, value, 4);
                    line += Number(i32);
                    break;
                case ftFloat:
                    std::memcpy(&real, value, 8);
                    line += Number(real);
                    break;
                case ftDate:
                    std::memcpy(&i32, value, 4);
                    if (i32)
                        line += FormatDateTime("yyyy-mm-dd", TDateTime(i32 - DateDelta));
                    break;
                default: {
                    TMemoryStream blob;
                    Statement.WriteBlob(int(c), row, blob);
                    line += Cp1252ToUtf8(
                            String(reinterpret_cast<const char*>(blob.Memory()), size_t(blob.Size())));
                }
                }
                cells.push_back(line);
            }
            Rows.push_back(Compared(cells));
            at += size_t(Statement.RecordSize());
        }
    }

    std::string TableDifference(const TShape& Shape)
    {
        const std::vector<std::string> file = FileTable(Shape), oracle = OracleTable(Shape);
        return file == oracle ? std::string() : FirstDifference(file, oracle);
    }

    static std::string FirstDifference(const std::vector<std::string>& Local,
                                       const std::vector<std::string>& Oracle)
    {
        size_t i = 0;
        while (i < Local.size() && i < Oracle.size() && Local[i] == Oracle[i])
            ++i;
        return "  " + std::to_string(Local.size()) + " rows here, " + std::to_string(Oracle.size()) +
               " in SQLite; first difference at row " + std::to_string(i + 1) +
               ":\n  local:  " + (i < Local.size() ? Local[i] : "(none)") +
               "\n  SQLite: " + (i < Oracle.size() ? Oracle[i] : "(none)");
    }

    TEngineAccess FEngine;
    std::string FDir;
    TGenerator FGenerator;
    sqlite3* FOracle = nullptr;
    std::vector<int> FRowCounts;
};

}  // namespace sqldifferential
