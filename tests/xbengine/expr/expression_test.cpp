#include "platform/xbengine/expr/expression.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/xbengine/expr/datetext.h"
#include "tests/xbengine/expr/memorytable.h"

using namespace xbexpr;

namespace {

// An EMPLOYEE-like table with a transaction-like memo and a CLIENT table
// reached through its alias. Settings as the program runs them.
class ExpressionTest : public ::testing::Test {
protected:
    ExpressionTest()
        : table({{"ID", 'C', 8},
                 {"NAME1", 'C', 30},
                 {"LAST", 'C', 20},
                 {"ACCNO", 'N', 10, 2},
                 {"DATE", 'D', 8},
                 {"PAID", 'L', 1},
                 {"NUMBER", 'N', 6},
                 {"COMMENTS", 'M', 10},
                 {"EMP_ID", 'C', 8}}),
          client({{"NAME1", 'C', 30}})
    {
        table.Append({"A1", "Smith", "Jones", "1234.50", "20240315", "T", "17", "Paid in full", "A10"});
        table.Append({"B2", "o'Hara", "", "-3", "        ", "F", "0", "", "A1"}, true);
        table.Go(1);
        client.Append({"Acme Corp"});
        table.AddAlias("CLIENT", &client);
        table.settings.Century = true;
        table.settings.DateFormat = 99;
        table.settings.Epoch = 1980;
        table.today = JulianDay(2026, 12, 10);
    }

    std::unique_ptr<Expression> Compile(const String& text)
    {
        String error;
        auto e = Expression::Compile(text, table, &error);
        EXPECT_TRUE(e) << text << ": " << error;
        return e;
    }

    // A non-numeric value in a comparable text form: D as DTOS, L as T/F.
    static String Show(const Value& v)
    {
        switch (v.Type) {
        case ValueType::Character: return v.Text;
        case ValueType::Logical: return v.Logical ? "T" : "F";
        case ValueType::Date: return DateToDtos(static_cast<std::int32_t>(v.Number));
        default: return "number";
        }
    }

    MemoryTable table;
    MemoryTable client;
};

struct Case {
    const char* text;
    char type;
    const char* expected;  // N as a number, D as yyyymmdd, L as T/F; C compared without trailing blanks
    int width = -1;        // checked when not -1
};

const Case kCases[] = {
        // Bare fields, names in any case.
        {"ID", 'C', "A1", 8},
        {"name1", 'C', "Smith", 30},
        {"Accno", 'N', "1234.5"},
        {"DATE", 'D', "20240315", 8},
        {"paid", 'L', "T", 1},
        {"COMMENTS", 'C', "Paid in full"},
        {"CLIENT->NAME1", 'C', "Acme Corp", 30},
        {"client->name1 = 'Acme'", 'L', "T"},
        // Literals and their delimiters.
        {"[A]+\"B\"+'C'", 'C', "ABC", 3},
        {"\"it's\" + ['x']", 'C', "it's'x'"},
        {".Y. .AND. .n.", 'L', "F"},
        {".t. .or. .F.", 'L', "T"},
        {".5 + 1.25", 'N', "1.75"},
        // String comparison with EXACT off: the right operand's length counts.
        {"'SMITH' = 'SMI'", 'L', "T"},
        {"'SMI' = 'SMITH'", 'L', "F"},
        {"'AB' = 'AB '", 'L', "F"},
        {"NAME1 = ''", 'L', "T"},
        {"Name1 = 'Smi'", 'L', "T"},
        {"NAME1=\"Smi\"", 'L', "T"},
        {"UPPER(NAME1)=\"SMI\"", 'L', "T"},
        {"UPPER(NAME1)=\"SMITH                         \"", 'L', "T"},
        {"UPPER(NAME1)=\"SMITHS                        \"", 'L', "F"},
        {"EMP_ID='A1'", 'L', "T"},
        {"EMP_ID=='A1'", 'L', "F"},
        {"EMP_ID=='A10'", 'L', "T"},
        {"'SMI' == 'SMI   '", 'L', "T"},
        {"'ABC' <> 'AB'", 'L', "F"},
        {"'ABC' # 'ABD'", 'L', "T"},
        {"'ABC' != 'ABD'", 'L', "T"},
        {"'ABC' < 'ABD'", 'L', "T"},
        {"'AB' < 'AB '", 'L', "F"},
        {"'AB' >= 'AB '", 'L', "T"},
        {"'a' > 'B'", 'L', "T"},
        {"'mit' $ NAME1", 'L', "T"},
        {"'MIT' $ NAME1", 'L', "F"},
        {"'full' $ COMMENTS", 'L', "T"},
        // Numbers, logicals and precedence.
        {"ACCNO=1234.5", 'L', "T"},
        {"NUMBER=17", 'L', "T"},
        {"NUMBER <> 17", 'L', "F"},
        {"PAID= .T.", 'L', "T"},
        {"PAID = .f.", 'L', "F"},
        {"1+2*3", 'N', "7"},
        {"(1+2)*3", 'N', "9"},
        {"2^3**2", 'N', "64"},
        {"-2^2", 'N', "4"},
        {"10/4", 'N', "2.5"},
        {"7 % 3", 'N', "1"},
        {"-7 % 3", 'N', "2"},
        {"- -NUMBER", 'N', "17"},
        {"+NUMBER - 20", 'N', "-3"},
        {".NOT. PAID .OR. NUMBER > 10", 'L', "T"},
        {"!PAID", 'L', "F"},
        {"! NUMBER = 17", 'L', "F"},
        {"NUMBER > 10 .AND. NUMBER < 20 .OR. .F.", 'L', "T"},
        {".F. .AND. .F. .OR. .T.", 'L', "T"},
        {"1 = 1 .and. 2 = 3", 'L', "F"},
        {"(UPPER(NAME1)=\"SMITH\") .and. (EMP_ID='A1')", 'L', "T"},
        // Concatenation; "-" moves the left side's trailing blanks to the end.
        {"LAST + ID", 'C', "Jones               A1", 28},
        {"LAST - ID", 'C', "JonesA1", 28},
        {"LEN(LAST - ID)", 'N', "28"},
        {"LEN(TRIM(LAST - ID))", 'N', "7"},
        // Dates.
        {"DTOS(DATE)", 'C', "20240315", 8},
        {"LEFT( DTOS(DATE), 4) = \"2024\"", 'L', "T"},
        {"LEFT( DTOS(DATE), 6) = \"202404\"", 'L', "F"},
        {"DTOS(DATE)=\"20240315\"", 'L', "T"},
        {"STR(ACCNO,10,2)+DTOS(DATE)", 'C', "   1234.5020240315", 18},
        {"STR(NUMBER)+ID+LOWER(NAME1)", 'C', "        17A1      smith", 48},
        {"DATE + 30", 'D', "20240414"},
        {"30 + DATE", 'D', "20240414"},
        {"DATE - 15", 'D', "20240229"},
        {"DATE - CTOD('03/01/2024')", 'N', "14"},
        {"CTOD('03/15/24') = DATE", 'L', "T"},
        {"CTOD('12/31/79')", 'D', "20791231"},
        {"CTOD('1/2/80')", 'D', "19800102"},
        {"EMPTY(CTOD('02/30/2024'))", 'L', "T"},
        {"DATE > CTOD('03/14/2024') .AND. DATE < CTOD('03/16/2024')", 'L', "T"},
        {"DTOC(DATE)", 'C', "03/15/2024", 10},
        {"YEAR(DATE)", 'N', "2024"},
        {"MONTH(DATE)", 'N', "3"},
        {"DAY(DATE)", 'N', "15"},
        {"DTOS(DATE())", 'C', "20261210"},
        // Character functions.
        {"UPPER('\xE0\xE9\xFF\x9C\xF7')", 'C', "\xC0\xC9\x9F\x8C\xF7"},
        {"LOWER(LAST)", 'C', "jones", 20},
        {"'[' + LTRIM('  ab ') + ']'", 'C', "[ab ]"},
        {"'[' + RTRIM('  ab ') + ']'", 'C', "[  ab]"},
        {"'[' + TRIM('  ab ') + ']'", 'C', "[  ab]"},
        {"'[' + ALLTRIM('  ab ') + ']'", 'C', "[ab]"},
        {"SUBSTR(NAME1, 2, 3)", 'C', "mit", 3},
        {"SUBSTR('abc', 2)", 'C', "bc"},
        {"SUBSTR('abc', 5, 2)", 'C', ""},
        {"LEFT(NAME1, 3)", 'C', "Smi", 3},
        {"RIGHT(TRIM(NAME1), 3)", 'C', "ith"},
        {"RIGHT('ab', 5)", 'C', "ab"},
        {"LEN(NAME1)", 'N', "30"},
        {"LEN(SPACE(3))", 'N', "3"},
        {"REPLICATE('ab', 3)", 'C', "ababab", 6},
        {"AT('th', NAME1)", 'N', "4"},
        {"AT('x', NAME1)", 'N', "0"},
        {"PADL('7', 3, '0')", 'C', "007", 3},
        {"PADR('ab', 4) + '|'", 'C', "ab  |"},
        {"PADL('abcdef', 3)", 'C', "abc"},
        {"CHR(65) + CHR(97)", 'C', "Aa"},
        {"ASC('A')", 'N', "65"},
        {"DESCEND('AB') > DESCEND('AC')", 'L', "T"},
        // Numeric functions and their text.
        {"STR(NUMBER)", 'C', "        17", 10},
        {"STR(ACCNO,10,2)", 'C', "   1234.50", 10},
        {"STR(3.14159, 6, 2)", 'C', "  3.14"},
        {"STR(2.675, 5, 2)", 'C', " 2.68"},
        {"STR(-1.5)", 'C', "        -2"},
        {"STR(123.456, 5, 2)", 'C', "123.5"},
        {"STR(123456, 4)", 'C', "****"},
        {"STRZERO(42, 6)", 'C', "000042"},
        {"STRZERO(-5, 5)", 'C', "-0005"},
        {"VAL('  12.50abc')", 'N', "12.5"},
        {"VAL('-3')", 'N', "-3"},
        {"VAL(ID)", 'N', "0"},
        {"INT(-3.7)", 'N', "-3"},
        {"ROUND(2.675, 2)", 'N', "2.68"},
        {"ROUND(1250, -2)", 'N', "1300"},
        {"ABS(-4)", 'N', "4"},
        // Record functions and IIF.
        {"DELETED()", 'L', "F"},
        {".NOT.DELETED()", 'L', "T"},
        {"RECNO()", 'N', "1"},
        {"IIF(PAID, 'yes', 'no')", 'C', "yes", 3},
        {"IIF(NUMBER > 100, 1, 2)", 'N', "2"},
        {"IIF(NUMBER = 17, 0, 1 / (NUMBER - 17))", 'N', "0"},
        {"EMPTY(LAST)", 'L', "F"},
        {"EMPTY(SPACE(3))", 'L', "T"},
        {"EMPTY(0)", 'L', "T"},
        {"EMPTY(PAID)", 'L', "F"},
        {"((NUMBER))", 'N', "17"},
        {"uPPer( Name1 ) = 'SMITH'", 'L', "T"},
};

TEST_F(ExpressionTest, ValuesAndTypesOnTheFixtureRecord)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text);
        const auto e = Compile(c.text);
        if (!e)
            continue;
        EXPECT_EQ(static_cast<char>(e->Type()), c.type);
        if (c.width >= 0) {
            EXPECT_EQ(e->Width(), c.width);
        }
        Value v;
        ASSERT_TRUE(e->Evaluate(table, v)) << e->LastError();
        EXPECT_EQ(v.Type, e->Type());
        if (c.type == 'N') {
            EXPECT_NEAR(v.Number, std::stod(c.expected), 1e-9);
        } else {
            String shown = Show(v);
            if (c.type == 'C')
                shown.erase(shown.find_last_not_of(' ') + 1);
            EXPECT_EQ(shown, c.expected);
        }
    }
}

TEST_F(ExpressionTest, ExactOnComparesWholeValues)
{
    const std::pair<const char*, bool> cases[] = {
            {"'SMITH' = 'SMI'", false}, {"'SMI' = 'SMITH'", false}, {"'SMI' = 'SMI  '", true},
            {"NAME1 = 'Smith'", true},  {"EMP_ID = 'A1'", false},   {"'SMI' <> 'SMITH'", true},
            {"NAME1 = ''", false},      {"'AB' = 'AB '", true},
    };
    table.settings.Exact = true;
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Compile(text)->EvaluateLogical(table), expected);
    }
}

TEST_F(ExpressionTest, SettingsApplyAtEvaluationNotAtCompilation)
{
    const auto prefix = Compile("EMP_ID = 'A1'");
    const auto dtoc = Compile("DTOC(DATE)");
    EXPECT_TRUE(prefix->EvaluateLogical(table));
    table.settings.Exact = true;
    EXPECT_FALSE(prefix->EvaluateLogical(table));
    table.settings.DateFormat = 4;  // German
    EXPECT_EQ(dtoc->EvaluateText(table), "15.03.2024");
}

TEST_F(ExpressionTest, EachRecordIsEvaluatedOnItsCurrentContents)
{
    const auto deleted = Compile("DELETED() .AND. RECNO() = 2 .AND. EMPTY(DATE) .AND. NAME1 = \"o'Hara\"");
    EXPECT_FALSE(deleted->EvaluateLogical(table));
    table.Go(2);
    EXPECT_TRUE(deleted->EvaluateLogical(table));
    EXPECT_EQ(Compile("COMMENTS")->EvaluateText(table), "");
}

TEST_F(ExpressionTest, InvalidTextIsRefusedWithItsPosition)
{
    const char* invalid[] = {
            "NAME1+",
            "",
            "   ",
            "1+2)",
            "(1+2",
            "NOSUCH",
            "NOSUCH(1)",
            "UPPER(NUMBER)",
            "NAME1 = 1",
            "'abc",
            "[abc",
            "\"abc",
            ".T. .AND. 1",
            "DATE + 'x'",
            "DATE - 'x'",
            "'a' - 1",
            "-'a'",
            "!5",
            "LEFT(NAME1)",
            "LEFT(NAME1,1,2)",
            "DATE()1",
            "1 +* 2",
            "CLIENT->NOSUCH",
            "NOALIAS->NAME1",
            "CLIENT->",
            "CLIENT->1",
            ".X.",
            ".T",
            "IIF(.T., 1, 'a')",
            "IIF(1, 1, 2)",
            "NAME1 $ 5",
            "1 $ 2",
            "()",
            "UPPER()",
            "NAME1 ,",
            "a b",
            "PAID .AND.",
            "1 + .T.",
            "@",
            "NAME1\x01",
            "\xE9",
            "DTOS('20240101')",
            "DTOS(DATE) = 20240315",
            "1e5",
    };
    std::vector<String> texts(std::begin(invalid), std::end(invalid));
    texts.push_back(String(400, '9'));  // beyond the largest double
    for (const String& text : texts) {
        SCOPED_TRACE(text);
        String error;
        EXPECT_FALSE(Expression::Compile(text, table, &error));
        EXPECT_EQ(error.rfind("Invalid expression: ", 0), 0u) << error;
    }
    String error;
    EXPECT_FALSE(Expression::Compile("NAME1+", table, &error));
    EXPECT_NE(error.find("position 7"), String::npos) << error;
    EXPECT_FALSE(Expression::Compile(std::string_view("NAME1\0 = 'x'", 12), table, &error));
}

TEST_F(ExpressionTest, ConditionsMustBeLogical)
{
    String error;
    EXPECT_TRUE(Expression::Compile("1+2", table, &error));
    EXPECT_EQ(TypeCode(Expression::Compile("1+2", table)->Type()), 2);
    EXPECT_FALSE(Expression::CompileCondition("1+2", table, &error));
    EXPECT_EQ(error.rfind("Invalid expression", 0), 0u);
    EXPECT_FALSE(Expression::CompileCondition("NAME1", table));
    const auto condition = Expression::CompileCondition("EMP_ID='A1'", table);
    ASSERT_TRUE(condition);
    EXPECT_EQ(TypeCode(condition->Type()), 3);
    EXPECT_EQ(TypeCode(Compile("DATE")->Type()), 4);
    EXPECT_EQ(TypeCode(Compile("NAME1")->Type()), 1);
}

TEST_F(ExpressionTest, RunTimeErrorsFailTheRecordAndAreRecorded)
{
    const auto e = Compile("ACCNO / NUMBER > 1");
    table.Go(2);  // NUMBER is 0
    EXPECT_FALSE(e->EvaluateLogical(table));
    EXPECT_NE(e->LastError().find("division by zero"), String::npos);
    e->ClearError();
    table.Go(1);
    EXPECT_TRUE(e->EvaluateLogical(table));
    EXPECT_EQ(e->LastError(), "");

    const String tooLong = std::to_string(kMaxStringLength + 1);
    const String half = std::to_string(kMaxStringLength / 2 + 1);
    const String failing[] = {
            "NUMBER % 0",
            "10 ^ 400",
            "STR(1, 0)",
            "STR(1, 300)",
            "CHR(256)",
            "DATE + 99999999",
            "CTOD('') + 1",
            "SPACE(" + tooLong + ")",
            "PADL('x', " + tooLong + ")",
            "REPLICATE('ab', " + half + ")",
            "SPACE(" + half + ") + SPACE(" + half + ")",
            // Each value fits, but together they are more than one evaluation may build.
            "LEN(UPPER(UPPER(UPPER(UPPER(UPPER(UPPER(UPPER(SPACE(" + half + "))))))))) + LEN(SPACE(" + half +
                    "))",
    };
    for (const String& text : failing) {
        SCOPED_TRACE(text);
        const auto f = Compile(text);
        Value v;
        EXPECT_FALSE(f->Evaluate(table, v));
        EXPECT_FALSE(f->LastError().empty());
        EXPECT_TRUE(f->EvaluateText(table).empty());
    }
}

TEST_F(ExpressionTest, ShortCircuitKeepsAGuardedDivisionFromFailing)
{
    const auto e = Compile("NUMBER <> 0 .AND. ACCNO / NUMBER > 1");
    table.Go(2);
    EXPECT_FALSE(e->EvaluateLogical(table));
    EXPECT_EQ(e->LastError(), "");
}

TEST_F(ExpressionTest, FieldsOutsideTheRecordFailInsteadOfReading)
{
    table.SetRecordBytes(" A1");  // shorter than the fields claim
    const auto e = Compile("NAME1 = 'x'");
    EXPECT_FALSE(e->EvaluateLogical(table));
    EXPECT_NE(e->LastError().find("outside the record"), String::npos);
}

TEST_F(ExpressionTest, DamagedFieldBytesReadAsEmptyValues)
{
    String record(table.Record(0));
    record.replace(1 + 8 + 30 + 20, 10, "**********");    // ACCNO
    record.replace(1 + 8 + 30 + 20 + 10, 8, "2024x315");  // DATE
    table.SetRecordBytes(record);
    EXPECT_TRUE(Compile("ACCNO = 0 .AND. EMPTY(DATE) .AND. DTOS(DATE) = '        '")->EvaluateLogical(table));
}

TEST_F(ExpressionTest, KeysArePaddedToTheExpressionWidth)
{
    struct KeyCase {
        const char* text;
        ValueType type;
        String text_key;
        double number_key;
    };
    const KeyCase cases[] = {
            {"UPPER(NAME1)", ValueType::Character, "SMITH" + String(25, ' '), 0},
            {"TRIM(LAST)+ID", ValueType::Character, "JonesA1" + String(21, ' '), 0},
            {"STR(ACCNO,10,2)+DTOS(DATE)", ValueType::Character, "   1234.5020240315", 0},
            {"LEFT(NAME1, 3)", ValueType::Character, "Smi", 0},
            {"ACCNO", ValueType::Numeric, "", 1234.5},
            {"DATE", ValueType::Date, "", static_cast<double>(JulianDay(2024, 3, 15))},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.text);
        Value key;
        ASSERT_TRUE(Compile(c.text)->EvaluateKey(table, key));
        EXPECT_EQ(key.Type, c.type);
        if (c.type == ValueType::Character)
            EXPECT_EQ(key.Text, c.text_key);
        else
            EXPECT_EQ(key.Number, c.number_key);
    }
    Value key;
    ASSERT_TRUE(Compile("PAID")->EvaluateKey(table, key));
    EXPECT_TRUE(key.Logical);
}

TEST_F(ExpressionTest, ValuesAsText)
{
    const std::pair<const char*, const char*> cases[] = {
            {"ACCNO", "   1234.50"},
            {"NUMBER", "    17"},
            {"NUMBER * 1000000", "17000000"},
            {"DATE", "03/15/2024"},
            {"PAID", ".T."},
            {"VAL('12.5')", "     12.50"},
            {"ACCNO / 3", "    411.50"},
            {"NUMBER * 1.5", "  25.5"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Compile(text)->EvaluateText(table), expected) << text;
    EXPECT_EQ(Compile("NAME1")->EvaluateText(table), "Smith" + String(25, ' '));
}

TEST_F(ExpressionTest, NestingAndLengthAreBounded)
{
    const auto deep = [](int n) {
        return String(static_cast<size_t>(n), '(') + "1" + String(static_cast<size_t>(n), ')');
    };
    EXPECT_TRUE(Expression::Compile(deep(150), table));
    EXPECT_FALSE(Expression::Compile(deep(100000), table));
    EXPECT_FALSE(Expression::Compile(String(100000, '-') + "1", table));
    EXPECT_FALSE(Expression::Compile(String(100000, '!') + ".T.", table));
    String chain = "1";
    for (int i = 0; i < 20000; ++i)
        chain += "+1";
    String error;
    EXPECT_FALSE(Expression::Compile(chain, table, &error));
    EXPECT_NE(error.find("too deeply"), String::npos) << error;
    String sum = "1";
    for (int i = 0; i < 500; ++i)
        sum += "+1";
    Value v;
    ASSERT_TRUE(Compile(sum)->Evaluate(table, v));
    EXPECT_EQ(v.Number, 501);
    String tooLong(kMaxExpressionLength + 1, 'x');
    tooLong.front() = tooLong.back() = '\'';
    EXPECT_FALSE(Expression::Compile(tooLong, table));
    // The width of a long chain of wide values stays within range.
    String wide = "SPACE(9999999)";
    for (int i = 0; i < 300; ++i)
        wide += "+SPACE(9999999)";
    EXPECT_EQ(Compile(wide)->Width(), static_cast<int>(kMaxStringLength));
    tooLong.pop_back();
    tooLong.back() = '\'';
    EXPECT_TRUE(Expression::Compile(tooLong, table));
}

}  // namespace

// The tags of a database container written by another program: an integer
// field under STR() and keys whose stored lengths are 148 and 20.
TEST(ExpressionKeys, ContainerTagsHaveTheirStoredKeyLengths)
{
    MemoryTable dbc({{"PARENTID", 'I', 4}, {"OBJECTTYPE", 'C', 10}, {"OBJECTNAME", 'C', 128}});
    dbc.Append({String("\x01\x00\x00\x00", 4), "Table", "CALLS"});
    dbc.Append({String("\xFE\xFF\xFF\xFF", 4), "Field", "Call_ID"}, true);

    const auto name = Expression::Compile("STR(parentid)+objecttype+LOWER(objectname)", dbc);
    const auto type = Expression::Compile("STR(parentid)+objecttype", dbc);
    const auto live = Expression::CompileCondition(".NOT.DELETED()", dbc);
    ASSERT_TRUE(name && type && live);
    EXPECT_EQ(name->Width(), 148);
    EXPECT_EQ(type->Width(), 20);

    Value key;
    dbc.Go(1);
    ASSERT_TRUE(name->EvaluateKey(dbc, key));
    EXPECT_EQ(key.Text, "         1Table     calls" + String(123, ' '));
    EXPECT_TRUE(live->EvaluateLogical(dbc));
    dbc.Go(2);
    ASSERT_TRUE(type->EvaluateKey(dbc, key));
    EXPECT_EQ(key.Text, "        -2Field     ");
    EXPECT_FALSE(live->EvaluateLogical(dbc));
}
