// The local SQL engine over real tables: the same SELECTs over the tables and over
// a plain SQLite database holding the same rows give the same answer; indexed
// conditions read few records; writes reach the files with their index keys,
// under record locks; errors are named.

#include <gmock/gmock.h>
#include <sqlite3.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/rtl/datetime.h"
#include "platform/sql/localsql.h"
#include "platform/sql/sqlstatement.h"
#include "tables/xbe50.h"
#include "tests/support/peerprocess.h"
#include "tests/support/tablefixture.h"

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;

namespace {

const std::vector<FieldLayout> PayeeFields = {{"ID", 'C', 6, 0}, {"NAME", 'C', 20, 0}, {"STATE", 'C', 2, 0}};
const std::vector<FieldLayout> PaymentFields = {{"ID", 'C', 6, 0},
                                                {"PDATE", 'D', 8, 0},
                                                {"AMOUNT", 'N', 10, 2},
                                                {"CHECKNO", 'N', 6, 0},
                                                {"PAID", 'L', 1, 0}};

const char* const Surnames[] = {"SMITH", "Smith", "JONES", "O'BRIEN", "MILLER", "DAVIS", "GARCIA", "WILSON"};
const char* const States[] = {"NY", "NJ", "CT", "PA"};

struct TPayee {
    String ID, Name, State;
};
struct TPayment {
    String ID, Date, Amount, CheckNo;
    bool Paid;
};

// The rows both databases hold, made the same way every run.
std::vector<TPayee> Payees()
{
    std::vector<TPayee> rows;
    for (int i = 1; i <= 300; ++i) {
        char id[8];
        std::snprintf(id, sizeof id, "P%05d", i);
        rows.push_back({id, String(Surnames[i % 8]) + " " + IntToStr(i), States[i % 4]});
    }
    return rows;
}

std::vector<TPayment> Payments()
{
    std::vector<TPayment> rows;
    unsigned seed = 7;
    for (int i = 1; i <= 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        char id[8], date[12], amount[16];
        std::snprintf(id, sizeof id, "P%05u", 1 + (seed >> 8) % 300);
        std::snprintf(date, sizeof date, "2008%02u%02u", 1 + (seed >> 4) % 12, 1 + (seed >> 12) % 28);
        std::snprintf(amount, sizeof amount, "%u.%02u", (seed >> 16) % 1000, seed % 100);
        rows.push_back({id, date, amount, IntToStr(i), (seed & 1) != 0});
    }
    return rows;
}

localsql::TTableRef Ref(const String& FileName, const String& Alias)
{
    localsql::TTableRef ref;
    ref.FileName = FileName;
    ref.Alias = Alias;
    return ref;
}

String Iso(const String& Dtos)
{
    return Dtos.substr(0, 4) + "-" + Dtos.substr(4, 2) + "-" + Dtos.substr(6, 2);
}

// A value as both sides print it: floats to the cent, nothing for NULL.
String Printed(int Type, sqlite3_int64 Integer, double Real, const String& Text)
{
    char text[64];
    switch (Type) {
    case SQLITE_INTEGER: return IntToStr(Integer);
    case SQLITE_FLOAT: std::snprintf(text, sizeof text, "%.2f", Real); return text;
    case SQLITE_NULL: return "";
    default: return Text;
    }
}

// The rows of a result, one line each, the values joined by "|".
using TRows = std::vector<String>;

TRows RowsOf(const localsql::TStatement& Statement)
{
    TMemoryStream stream;
    Statement.WriteRows(1, Statement.RecordCount(), stream);
    const String bytes(reinterpret_cast<const char*>(stream.Memory()), size_t(stream.Size()));
    EXPECT_EQ(std::stoul(bytes.substr(0, 8), nullptr, 16), size_t(Statement.RecordCount()));
    TRows rows;
    size_t at = 8;
    for (int row = 1; row <= Statement.RecordCount(); ++row) {
        at += 8;  // the row's number
        const char* image = bytes.data() + at;
        String line;
        for (size_t c = 0; c < Statement.Columns().size(); ++c) {
            const localsql::TColumn& column = Statement.Columns()[c];
            const char* at = image + column.Offset;
            if (c)
                line += "|";
            int32_t i32 = 0;
            int16_t i16 = 0;
            double real = 0;
            switch (column.Type) {
            case ftString: line += String(at); break;
            case ftInteger:
                std::memcpy(&i32, at, 4);
                line += Printed(SQLITE_INTEGER, i32, 0, "");
                break;
            case ftBoolean:
                std::memcpy(&i16, at, 2);
                line += i16 ? "1" : "0";
                break;
            case ftFloat:
                std::memcpy(&real, at, 8);
                line += Printed(SQLITE_FLOAT, 0, real, "");
                break;
            case ftDate: {
                std::memcpy(&i32, at, 4);
                if (i32)
                    line += FormatDateTime("yyyy-mm-dd", TDateTime(i32 - DateDelta));
                break;
            }
            default: {
                TMemoryStream blob;
                Statement.WriteBlob(int(c), row, blob);
                line += String(reinterpret_cast<const char*>(blob.Memory()), size_t(blob.Size()));
            }
            }
        }
        rows.push_back(line);
        at += size_t(Statement.RecordSize());
    }
    return rows;
}

class LocalSqlTest : public TableTest {
protected:
    void SetUp() override
    {
        TableTest::SetUp();
        MakeTable("PAYEES", PayeeFields, {{"ID", "ID"}, {"NAME", "UPPER(NAME)"}}, PayeeImages());
        MakeTable("PAYMENTS", PaymentFields, {{"ID", "ID"}, {"PDATE", "PDATE"}, {"CHECKNO", "CHECKNO"}},
                  PaymentImages());
    }

    static std::vector<String> PayeeImages()
    {
        std::vector<String> images;
        for (const TPayee& p : Payees())
            images.push_back(Image(PayeeFields, {p.ID, p.Name, p.State}));
        return images;
    }
    static std::vector<String> PaymentImages()
    {
        std::vector<String> images;
        for (const TPayment& p : Payments())
            images.push_back(Image(PaymentFields, {p.ID, p.Date, p.Amount, p.CheckNo, p.Paid ? "T" : "F"}));
        return images;
    }

    void MakeTable(const String& Name, const std::vector<FieldLayout>& Fields,
                   const std::vector<std::pair<const char*, const char*>>& Tags,
                   const std::vector<String>& Images)
    {
        CreateTable(Name, Fields);
        AppendImages(Name, Images);
        const XBSHORT area = XBE_CALL(xb_Use, (Dir + Name).c_str(), "TAGGING", 2, 2);
        ASSERT_GT(area, 0) << XbeLastErrorText();
        for (const auto& [tag, key] : Tags)
            ASSERT_GT(XBE_CALL(xb_IndexTag, "", tag, key, 0, 0, ""), 0) << XbeLastErrorText();
        XBE_CALL(xb_Close);
    }

    std::unique_ptr<localsql::TStatement> Prepare(localsql::TSettings Settings = {},
                                                  localsql::TParams Params = {})
    {
        String message;
        auto statement = localsql::TStatement::Prepare(Engine(), Dir,
                                                       {Ref("PAYEES.DBF", "PY"), Ref("PAYMENTS.DBF", "PM")},
                                                       Settings, std::move(Params), message);
        EXPECT_TRUE(statement) << message;
        return statement;
    }
    static localsql::TEngine Engine() { return {&Xbe(), XbeLastErrorText}; }

    TRows Select(const String& Sql, localsql::TParams Params = {})
    {
        auto statement = Prepare({}, std::move(Params));
        String message;
        EXPECT_EQ(statement->Open(Sql, message), 0) << message;
        return RowsOf(*statement);
    }

    // The same rows in a plain SQLite database, under the same aliases.
    static TRows OracleSelect(const String& Sql, const localsql::TParams& Params)
    {
        sqlite3* db = nullptr;
        sqlite3_open(":memory:", &db);
        sqlite3_exec(db,
                     "CREATE TABLE PY(ID TEXT, NAME TEXT, STATE TEXT);"
                     "CREATE TABLE PM(ID TEXT, PDATE TEXT, AMOUNT REAL, CHECKNO INTEGER, PAID INTEGER);",
                     nullptr, nullptr, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const TPayee& p : Payees())
            sqlite3_exec(db,
                         ("INSERT INTO PY VALUES('" + p.ID + "','" + Escaped(p.Name) + "','" + p.State + "')")
                                 .c_str(),
                         nullptr, nullptr, nullptr);
        for (const TPayment& p : Payments())
            sqlite3_exec(db,
                         ("INSERT INTO PM VALUES('" + p.ID + "','" + Iso(p.Date) + "'," + p.Amount + "," +
                          p.CheckNo + "," + (p.Paid ? "1" : "0") + ")")
                                 .c_str(),
                         nullptr, nullptr, nullptr);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        TRows rows;
        {
            const SqlStatement owned = PrepareSql(db, Sql.c_str());
            sqlite3_stmt* statement = owned.get();
            EXPECT_TRUE(statement) << sqlite3_errmsg(db);
            for (const auto& [name, value] : Params)
                sqlite3_bind_text(statement, sqlite3_bind_parameter_index(statement, (":" + name).c_str()),
                                  value.AsString().c_str(), -1, SQLITE_TRANSIENT);
            while (sqlite3_step(statement) == SQLITE_ROW) {
                String line;
                for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                    const unsigned char* text = sqlite3_column_text(statement, c);
                    line += (c ? "|" : "") + Printed(sqlite3_column_type(statement, c),
                                                     sqlite3_column_int64(statement, c),
                                                     sqlite3_column_double(statement, c),
                                                     text ? reinterpret_cast<const char*>(text) : "");
                }
                rows.push_back(line);
            }
        }
        sqlite3_close(db);
        return rows;
    }
    // The name plain SQLite gives the first column of Sql, run over a temporary PM as the
    // statements see theirs.
    static String OracleColumnName(const String& Sql)
    {
        sqlite3* db = nullptr;
        sqlite3_open(":memory:", &db);
        sqlite3_exec(db,
                     "CREATE TEMP TABLE PM(ID TEXT, PDATE TEXT, AMOUNT REAL, CHECKNO INTEGER, PAID INTEGER)",
                     nullptr, nullptr, nullptr);
        String name;
        {
            const SqlStatement owned = PrepareSql(db, Sql.c_str());
            EXPECT_TRUE(owned) << Sql << ": " << sqlite3_errmsg(db);
            if (owned)
                name = sqlite3_column_name(owned.get(), 0);
        }
        sqlite3_close(db);
        return name;
    }
    static String Escaped(const String& Text)
    {
        String out;
        for (char c : Text)
            out += c == '\'' ? String("''") : String(1, c);
        return out;
    }
};

TEST_F(LocalSqlTest, SelectsGiveWhatPlainSqliteGivesOnTheSameRows)
{
    struct TCase {
        const char* Sql;
        localsql::TParams Params;
    } cases[] = {
            {"SELECT ID, NAME, STATE FROM PY WHERE ID = 'P00042'", {}},
            {"SELECT NAME FROM PY WHERE NAME = 'Smith 9'", {}},
            {"SELECT ID, NAME FROM PY WHERE NAME LIKE 'o''brien%' ORDER BY ID", {}},
            {"SELECT * FROM PM WHERE ID = :PAYEE ORDER BY PDATE, CHECKNO", {{"PAYEE", Variant("P00017")}}},
            {"SELECT CHECKNO, PDATE FROM PM WHERE PDATE BETWEEN '2008-03-01' AND '2008-03-10' ORDER BY "
             "CHECKNO",
             {}},
            {"SELECT CHECKNO, AMOUNT FROM PM WHERE AMOUNT > 990 ORDER BY CHECKNO", {}},
            {"SELECT CHECKNO FROM PM WHERE CHECKNO >= 2990", {}},
            {"SELECT PY.NAME, SUM(PM.AMOUNT), COUNT(*) FROM PY JOIN PM ON PM.ID = PY.ID WHERE PY.STATE = "
             "'NJ' "
             "GROUP BY PY.ID ORDER BY PY.ID",
             {}},
            {"SELECT STATE, ROUND(SUM(AMOUNT), 2) FROM PM, PY WHERE PM.ID = PY.ID AND PAID = 1 GROUP BY "
             "STATE "
             "ORDER BY STATE",
             {}},
            {"SELECT COUNT(*) FROM PM WHERE PDATE < '2008-02-01'", {}},
    };
    for (const TCase& c : cases) {
        const TRows expected = OracleSelect(c.Sql, c.Params);
        EXPECT_FALSE(expected.empty()) << c.Sql;
        EXPECT_EQ(Select(c.Sql, c.Params), expected) << c.Sql;
    }
}

TEST_F(LocalSqlTest, AnIndexedConditionReadsFarFewerRecordsThanAScan)
{
    auto indexed = Prepare();
    String message;
    ASSERT_EQ(indexed->Open("SELECT CHECKNO FROM PM WHERE ID = 'P00123'", message), 0) << message;
    auto scanned = Prepare();
    ASSERT_EQ(scanned->Open("SELECT CHECKNO FROM PM WHERE ID || '' = 'P00123'", message), 0) << message;
    EXPECT_EQ(RowsOf(*indexed), RowsOf(*scanned));
    EXPECT_EQ(indexed->Counters().RecordsRead, indexed->RecordCount());
    EXPECT_EQ(scanned->Counters().RecordsRead, 3000);
    EXPECT_EQ(scanned->Counters().IndexedReads, 0);
}

TEST_F(LocalSqlTest, TheResultDescribesItsColumnsAndHandsOutRowsInBlocks)
{
    auto statement = Prepare();
    String message;
    ASSERT_EQ(statement->Open(
                      "SELECT ID, PDATE, AMOUNT, CHECKNO, PAID, AMOUNT * 2 AS DOUBLED, 'x' || ID AS TAGGED "
                      "FROM PM WHERE CHECKNO <= 30",
                      message),
              0)
            << message;
    TMemoryStream structure;
    statement->WriteStructure(structure);
    const String text(reinterpret_cast<const char*>(structure.Memory()), size_t(structure.Size()));
    EXPECT_EQ(text.substr(0, 53), "ID\r\n00000001\r\n00000006\r\n00000000\r\n\r\nPDATE\r\n00000009\r\n");
    std::vector<std::pair<TFieldType, int>> types;
    for (const localsql::TColumn& c : statement->Columns())
        types.emplace_back(c.Type, c.Size);
    EXPECT_THAT(types, ElementsAre(std::pair {ftString, 6}, std::pair {ftDate, 0}, std::pair {ftFloat, 0},
                                   std::pair {ftInteger, 0}, std::pair {ftBoolean, 0}, std::pair {ftFloat, 0},
                                   std::pair {ftString, 7}));
    EXPECT_EQ(statement->RecordSize(), 7 + 4 + 8 + 4 + 2 + 8 + 8);
    ASSERT_EQ(statement->RecordCount(), 30);

    TMemoryStream block;
    statement->WriteRows(28, 25, block);  // cut at the last row
    const String bytes(reinterpret_cast<const char*>(block.Memory()), size_t(block.Size()));
    EXPECT_EQ(bytes.substr(0, 16), "000000030000001C");
    EXPECT_EQ(bytes.size(), 8 + 3 * (8 + size_t(statement->RecordSize())));
}

TEST_F(LocalSqlTest, WritesReachTheFilesAndTheirIndexKeys)
{
    auto statement = Prepare({}, {{"NAME", Variant("KEPT")}});
    String message;
    ASSERT_EQ(statement->Exec("INSERT INTO PY (ID, NAME, STATE) VALUES ('Q00001', 'NEW PAYEE', 'VT');"
                              "UPDATE PY SET NAME = :NAME WHERE ID = 'P00002';"
                              "DELETE FROM PY WHERE ID = 'P00003'",
                              message),
              0)
            << message;
    const std::vector<String> records = ReadBack("PAYEES.DBF");
    ASSERT_EQ(records.size(), 301u);
    EXPECT_EQ(records[0], "P00001|Smith 1|NJ");
    EXPECT_EQ(records[1], "P00002|KEPT|CT") << "the parameter was not bound";
    EXPECT_EQ(records[299], "Q00001|NEW PAYEE|VT");
    EXPECT_EQ(records[300], "*P00003|O'BRIEN 3|PA");  // the reader lists deleted records last
}

TEST_F(LocalSqlTest, WrittenKeysAreFoundThroughTheirTags)
{
    auto statement = Prepare({}, {{"NAME", Variant("CHANGED")}});
    String message;
    ASSERT_EQ(statement->Exec("UPDATE PY SET ID = 'Z' || SUBSTR(ID, 2), NAME = :NAME WHERE STATE = 'NY'",
                              message),
              0)
            << message;
    ASSERT_EQ(statement->Open("SELECT COUNT(*) FROM PY WHERE ID = 'Z00004'", message), 0) << message;
    EXPECT_THAT(RowsOf(*statement), ElementsAre("1"));
    ASSERT_EQ(statement->Open("SELECT COUNT(*) FROM PY WHERE NAME = 'CHANGED'", message), 0) << message;
    EXPECT_THAT(RowsOf(*statement), ElementsAre("75"));
    EXPECT_EQ(statement->Counters().IndexedReads, 1 + 75);
    // Every record once in the ID tag's order, the changed ones at its end.
    ASSERT_EQ(statement->Open("SELECT COUNT(*), MIN(ID), MAX(ID) FROM PY WHERE ID >= 'A'", message), 0)
            << message;
    EXPECT_THAT(RowsOf(*statement), ElementsAre("300|P00001|Z00300"));
}

TEST_F(LocalSqlTest, ARecordLockedElsewhereStopsTheUpdateAndIsLeftAlone)
{
    Peer peer({"rlock", Dir + "PAYEES.DBF", "5"});
    ASSERT_EQ(peer.Line(), "ready");
    auto statement = Prepare();
    String message;
    EXPECT_EQ(statement->Exec("UPDATE PY SET STATE = 'XX' WHERE ID = 'P00005'", message), 1);
    EXPECT_THAT(message, HasSubstr("Record 5 of PY is locked by another user"));
    EXPECT_EQ(ReadBack("PAYEES.DBF")[4], "P00005|DAVIS 5|NJ");
}

TEST_F(LocalSqlTest, RefusedValuesLeaveTheRecordAsItWas)
{
    const std::vector<String> payees = ReadBack("PAYEES.DBF"), payments = ReadBack("PAYMENTS.DBF");
    auto statement = Prepare();
    String message;
    struct TCase {
        const char* Sql;
        const char* Message;
    } cases[] = {
            {"UPDATE PY SET STATE = 'NEW', NAME = 'X' WHERE ID = 'P00001'", "longer than its 2 characters"},
            {"UPDATE PM SET AMOUNT = 123456789 WHERE CHECKNO = 1", "does not fit its width of 10"},
            {"UPDATE PM SET PDATE = '31/12/2008' WHERE CHECKNO = 1", "is not a date written YYYY-MM-DD"},
            {"UPDATE PM SET AMOUNT = 'ten' WHERE CHECKNO = 1", "is not a number"},
            {"UPDATE PY SET NAME = 'A' || char(0) || 'B' WHERE ID = 'P00001'", "NAME holds a NUL"},
            {"UPDATE PY SET NAME = 'A' || char(20013) WHERE ID = 'P00001'",
             "NAME holds a NUL or a character"},
            {"SELECT NOSUCH FROM PY", "no such column: NOSUCH"},
            {"SELECT * FROM PY WHERE ID = :MISSING", "No value is given for the parameter :MISSING"},
            // Whole statements: the records changed before the refused one are put back, and
            // nothing is appended.
            {"UPDATE PY SET NAME = NAME || '-abcdefghijk' WHERE rowid <= 10",
             "Record 3 of PY: the text for NAME"},
            {"DELETE FROM PM WHERE CHECKNO <= 5; UPDATE PM SET CHECKNO = CHECKNO * 10000 WHERE CHECKNO < 150",
             "does not fit its width of 6"},
            {"INSERT INTO PY (ID, NAME, STATE) VALUES ('Q00001', 'NEW', 'TOO LONG')", "A new record of PY"},
            {"INSERT INTO PY (ID, NAME) SELECT 'Q' || substr(ID, 2), NAME || '-abcdefghijk' FROM PY",
             "longer than its 20"},
    };
    for (const TCase& c : cases) {
        message.clear();
        EXPECT_EQ(statement->Exec(c.Sql, message), 1) << c.Sql;
        EXPECT_THAT(message, HasSubstr(c.Message)) << c.Sql;
        if (String(c.Sql).starts_with("DELETE")) {
            // The first statement stands; only the refused one is undone.
            ASSERT_EQ(statement->Open("SELECT COUNT(*) FROM PM WHERE _deleted", message), 0) << message;
            EXPECT_THAT(RowsOf(*statement), ElementsAre("5"));
        }
    }
    // A NUL in a parameter is refused too, not cut off, also in a tagged field.
    auto withNul = Prepare({}, {{"ID", Variant(String("P0\0"
                                                      "0001",
                                                      7))}});
    EXPECT_EQ(withNul->Exec("UPDATE PY SET ID = :ID WHERE ID = 'P00001'", message), 1);
    EXPECT_THAT(message, HasSubstr("the text for ID holds a NUL"));
    EXPECT_EQ(ReadBack("PAYEES.DBF"), payees);
    // The tags hold the keys they held: every record once, and the names changed for a moment are
    // found no more.
    ASSERT_EQ(statement->Open("SELECT COUNT(*), MIN(ID), MAX(ID) FROM PY WHERE ID >= 'A'", message), 0)
            << message;
    EXPECT_THAT(RowsOf(*statement), ElementsAre("300|P00001|P00300"));
    ASSERT_EQ(statement->Open("SELECT COUNT(*) FROM PY WHERE NAME = 'Smith 1-abcdefghijk'", message), 0)
            << message;
    EXPECT_THAT(RowsOf(*statement), ElementsAre("0"));
    ASSERT_EQ(statement->Open("SELECT COUNT(*), MAX(CHECKNO) FROM PM WHERE CHECKNO >= 0", message), 0)
            << message;
    EXPECT_THAT(RowsOf(*statement), ElementsAre("3000|3000"));
    // The reader lists the five deleted records last.
    const std::vector<String> now = ReadBack("PAYMENTS.DBF");
    ASSERT_EQ(now.size(), 3000u);
    EXPECT_EQ(std::vector<String>(now.begin(), now.begin() + 2995),
              std::vector<String>(payments.begin() + 5, payments.end()));
}

TEST_F(LocalSqlTest, InATransactionAFailingStatementIsUndoneAloneAndARollbackUndoesAll)
{
    const std::vector<String> payees = ReadBack("PAYEES.DBF");
    auto statement = Prepare();
    String message;
    ASSERT_EQ(statement->Exec("BEGIN; UPDATE PY SET STATE = 'VT' WHERE ID = 'P00001'", message), 0)
            << message;
    EXPECT_EQ(statement->Exec("UPDATE PY SET NAME = NAME || '-abcdefghijk' WHERE rowid <= 10", message), 1);
    ASSERT_EQ(statement->Open("SELECT STATE, NAME FROM PY WHERE rowid IN (1, 2)", message), 0) << message;
    EXPECT_THAT(RowsOf(*statement), ElementsAre("VT|Smith 1", "CT|JONES 2"));
    ASSERT_EQ(statement->Exec("INSERT INTO PY (ID) VALUES ('Q00001'); ROLLBACK", message), 0) << message;
    EXPECT_EQ(ReadBack("PAYEES.DBF"), payees);
}

TEST_F(LocalSqlTest, BlankNumbersAndDatesAreNullAndWritesTouchOnlyTheFieldsTheySet)
{
    auto statement = Prepare();
    String message;
    ASSERT_EQ(statement->Exec("UPDATE PM SET AMOUNT = NULL, PDATE = NULL WHERE CHECKNO = 1;"
                              "INSERT INTO PM (ID, CHECKNO) VALUES ('P00001', 3001);"
                              "UPDATE PM SET PAID = 1 WHERE CHECKNO IN (1, 3001)",
                              message),
              0)
            << message;
    const std::vector<String> records = ReadBack("PAYMENTS.DBF");
    ASSERT_EQ(records.size(), 3001u);
    EXPECT_THAT(records[0], EndsWith("|||1|True"));
    EXPECT_EQ(records[3000], "P00001|||3001|True");
    ASSERT_EQ(statement->Open("SELECT CHECKNO, typeof(AMOUNT), typeof(PDATE), AMOUNT IS NULL FROM PM "
                              "WHERE AMOUNT IS NULL ORDER BY CHECKNO",
                              message),
              0)
            << message;
    EXPECT_THAT(RowsOf(*statement), ElementsAre("1|null|null|1", "3001|null|null|1"));
}

TEST_F(LocalSqlTest, TextIsUtf8InsideSqlAndTheCodePageInTheTables)
{
    auto statement = Prepare();
    String message;
    // \xD8 is "O" with a stroke, \xC5 "A" with a ring, \x8A "S" with a caron in Windows-1252.
    ASSERT_EQ(statement->Exec("INSERT INTO PY (ID, NAME) VALUES ('Q00001', '\xD8rsted'), ('Q00002', '\xC5"
                              "berg'), ('Q00003', '\x8Aimek')",
                              message),
              0)
            << message;
    std::ifstream file(Dir + "PAYEES.DBF", std::ios::binary);
    const String bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_THAT(bytes, HasSubstr("Q00002\xC5"
                                 "berg "));
    ASSERT_EQ(statement->Open("SELECT NAME, length(NAME), substr(NAME, 1, 1), hex(NAME) FROM PY "
                              "WHERE NAME LIKE '\xD8%' OR NAME >= '\x8A' ORDER BY ID",
                              message),
              0)
            << message;
    EXPECT_THAT(RowsOf(*statement),
                ElementsAre("\xD8rsted|6|\xD8|C3987273746564", "\x8Aimek|5|\x8A|C5A0696D656B"));
}

TEST_F(LocalSqlTest, ACompoundColumnIsAsWideAsItsLongestValue)
{
    EXPECT_THAT(
            Select("SELECT STATE FROM PY WHERE ID = 'P00001' UNION ALL SELECT 'TOTAL: ' || COUNT(*) FROM PY"),
            ElementsAre("NJ", "TOTAL: 300"));
}

TEST_F(LocalSqlTest, PlansReadOnlyTheRecordsTheyNeed)
{
    struct TCase {
        const char* Sql;
        Int64 MostRead, MostIndexed;
    } cases[] = {
            {"SELECT COUNT(*) FROM PM", 0, 0},
            {"SELECT CHECKNO, AMOUNT FROM PM WHERE rowid BETWEEN 100 AND 109", 10, 0},
            {"SELECT CHECKNO FROM PM WHERE rowid = 2999", 1, 0},
            // A key that only begins another key's text is no match.
            {"SELECT NAME FROM PY WHERE ID = 'P0001'", 0, 0},
            {"SELECT NAME FROM PY WHERE ID = ''", 0, 0},
            {"SELECT COUNT(*) FROM PM WHERE CHECKNO < 1e15", 3000, 3000},
            {"SELECT CHECKNO FROM PM WHERE CHECKNO > 0.00001 AND CHECKNO < 11", 12, 12},
            // The tag gives the order, in either direction, and the walk stops with the LIMIT.
            {"SELECT CHECKNO, PDATE FROM PM ORDER BY PDATE DESC, rowid DESC LIMIT 5 OFFSET 10", 5, 16},
            {"SELECT CHECKNO FROM PM ORDER BY rowid DESC LIMIT 3 OFFSET 2990", 3, 0},
            {"SELECT CHECKNO, PDATE FROM PM ORDER BY PDATE, rowid LIMIT 5", 5, 16},
    };
    for (const TCase& c : cases) {
        auto statement = Prepare();
        String message;
        ASSERT_EQ(statement->Open(c.Sql, message), 0) << message;
        EXPECT_EQ(RowsOf(*statement), OracleSelect(c.Sql, {})) << c.Sql;
        EXPECT_LE(statement->Counters().RecordsRead, c.MostRead) << c.Sql;
        EXPECT_LE(statement->Counters().IndexedReads, c.MostIndexed) << c.Sql;
    }
}

TEST_F(LocalSqlTest, SettingsHideDeletedRecordsAndRefuseWrites)
{
    auto writer = Prepare();
    String message;
    ASSERT_EQ(writer->Exec("DELETE FROM PY WHERE STATE = 'CT'", message), 0) << message;
    localsql::TSettings hide;
    hide.HideDeleted = true;
    hide.ReadOnly = true;
    auto reader = Prepare(hide);
    ASSERT_EQ(reader->Open("SELECT COUNT(*) FROM PY", message), 0) << message;
    EXPECT_THAT(RowsOf(*reader), ElementsAre("225"));
    ASSERT_EQ(writer->Open("SELECT COUNT(*), SUM(_deleted) FROM PY", message), 0) << message;
    EXPECT_THAT(RowsOf(*writer), ElementsAre("300|75"));
    // An OFFSET passes over visible records only, whichever walk gives the order; the writer's
    // condition on _deleted leaves the OFFSET to SQLite.
    ASSERT_EQ(writer->Exec("DELETE FROM PM WHERE CHECKNO % 3 = 0 OR PDATE < '2008-02-01'", message), 0)
            << message;
    for (const char* order : {"rowid", "rowid DESC", "PDATE, rowid", "PDATE DESC, rowid DESC"}) {
        const String tail = String(" ORDER BY ") + order + " LIMIT 4 OFFSET 7";
        ASSERT_EQ(reader->Open("SELECT CHECKNO FROM PM" + tail, message), 0) << message;
        ASSERT_EQ(writer->Open("SELECT CHECKNO FROM PM WHERE NOT _deleted" + tail, message), 0) << message;
        EXPECT_EQ(RowsOf(*reader), RowsOf(*writer)) << order;
        EXPECT_EQ(RowsOf(*reader).size(), 4u) << order;
    }
    EXPECT_EQ(reader->Exec("DELETE FROM PY", message), 1);
    EXPECT_THAT(message, HasSubstr("read-only"));
}

TEST_F(LocalSqlTest, ACountOfAWholeTableIsNamedAndCountedAsPlainSqliteDoes)
{
    // The column is named as plain SQLite names it (by the count's text as written); the shapes
    // with more to them than the bare count give the same answer.
    const char* const cases[] = {
            "SELECT COUNT(*) FROM PM",
            "select count ( * )from \"pm\" ;",
            "SELECT\tCount(\n*\n)  FROM Pm -- all of them",
            "SELECT COUNT(*) FROM PM AS P",
            "SELECT COUNT(*) FROM PM WHERE 1",
            "SELECT COUNT(*) FROM temp.PM",
    };
    auto statement = Prepare();
    String message;
    for (const char* sql : cases) {
        ASSERT_EQ(statement->Open(sql, message), 0) << sql << ": " << message;
        EXPECT_THAT(RowsOf(*statement), ElementsAre("3000")) << sql;
        ASSERT_EQ(statement->Columns().size(), 1u);
        EXPECT_EQ(statement->Columns()[0].Name, OracleColumnName(sql)) << sql;
        EXPECT_EQ(statement->Columns()[0].Type, ftInteger);
    }
    EXPECT_EQ(statement->Open("SELECT COUNT(*) FROM NOSUCH", message), 1);
    EXPECT_THAT(message, HasSubstr("no such table"));
    // A record inserted in an open transaction is counted; rolled back after it was read, it stays
    // appended as a deleted record, which only a statement hiding deleted records leaves out.
    ASSERT_EQ(statement->Exec("BEGIN; INSERT INTO PM (ID) VALUES ('P00001')", message), 0) << message;
    ASSERT_EQ(statement->Open("SELECT COUNT(*) FROM PM", message), 0) << message;
    EXPECT_THAT(RowsOf(*statement), ElementsAre("3001"));
    ASSERT_EQ(statement->Exec("ROLLBACK", message), 0) << message;
    localsql::TSettings hide;
    hide.HideDeleted = true;
    auto hiding = Prepare(hide);
    for (const auto& [reader, count] : {std::pair {statement.get(), "3001"}, {hiding.get(), "3000"}})
        for (const char* sql : {"SELECT COUNT(*) FROM PM", "SELECT COUNT(*) FROM PM WHERE 1"}) {
            ASSERT_EQ(reader->Open(sql, message), 0) << message;
            EXPECT_THAT(RowsOf(*reader), ElementsAre(count)) << sql;
        }
}

TEST_F(LocalSqlTest, TheEnginesOwnSettingsAndSelectionAreKept)
{
    const XBSHORT area = XBE_CALL(xb_Use, (Dir + "PAYEES.DBF").c_str(), "MINE", 0, 2);
    ASSERT_GT(area, 0);
    XBE_CALL(xb_SetDeleted, 1);
    {
        auto statement = Prepare();
        String message;
        ASSERT_EQ(statement->Open("SELECT COUNT(*) FROM PM", message), 0) << message;
    }
    EXPECT_EQ(XBE_CALL(xb_Select, area), area);
    EXPECT_EQ(XBE_CALL(xb_SysProp, 1006, 0), 1);
    XBE_CALL(xb_Close);
}

TEST_F(LocalSqlTest, ATableThatCannotBeOpenedIsNamed)
{
    String message;
    auto statement = localsql::TStatement::Prepare(Engine(), Dir, {Ref("NOSUCH.DBF", "N")}, {}, {}, message);
    EXPECT_FALSE(statement);
    EXPECT_THAT(message, HasSubstr("Unable to open table " + Dir + "NOSUCH.DBF"));
}

}  // namespace
