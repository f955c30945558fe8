#include "tests/support/tablefixture.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "tables/xbe50.h"
#include "tests/support/fakeengine.h"

const std::vector<FieldLayout> ClientSchema = {
        {"DATA_VER", 'N', 5, 0},   {"ID", 'C', 8, 0},        {"NAME1", 'C', 40, 0},
        {"NAME2", 'C', 40, 0},     {"ADDRESS1", 'C', 40, 0}, {"ADDRESS2", 'C', 40, 0},
        {"CITY", 'C', 25, 0},      {"STATE", 'C', 2, 0},     {"ZIP", 'C', 10, 0},
        {"TAX_ID", 'C', 11, 0},    {"SSN", 'C', 11, 0},      {"COMMENTS", 'C', 500, 0},
        {"TELEPHONE", 'C', 15, 0}, {"REFNUMBER", 'N', 8, 0}, {"TOTAMT", 'N', 10, 2},
        {"DEF_DESCR", 'C', 40, 0},
};

const std::vector<FieldLayout> EmployeeSchema = {
        {"ID", 'C', 8, 0},         {"NAME1", 'C', 30, 0},      {"NAME2", 'C', 30, 0},
        {"ADDRESS", 'C', 40, 0},   {"CSZ", 'C', 40, 0},        {"CITY", 'C', 25, 0},
        {"STATE", 'C', 2, 0},      {"ZIP", 'C', 10, 0},        {"HOME_PHONE", 'C', 14, 0},
        {"TAX_ID", 'C', 10, 0},    {"SSN", 'C', 11, 0},        {"BIRTH_DATE", 'C', 10, 0},
        {"HIRE_DATE", 'C', 10, 0}, {"TERM_DATE", 'C', 10, 0},  {"NOTE1", 'C', 65, 0},
        {"NOTE2", 'C', 65, 0},     {"FIRST", 'C', 30, 0},      {"MIDDLE", 'C', 1, 0},
        {"LAST", 'C', 40, 0},      {"TOTAMT", 'N', 10, 2},     {"TRANS_TYPE", 'C', 1, 0},
        {"DIR_SALES", 'C', 1, 0},  {"FWT", 'N', 10, 2},        {"STATE_ID1", 'C', 20, 0},
        {"SWT1", 'N', 10, 2},      {"STATE_INC1", 'N', 10, 2}, {"STATE_ID2", 'C', 20, 0},
        {"SWT2", 'N', 10, 2},      {"STATE_INC2", 'N', 10, 2},
};

const std::vector<FieldLayout> TransactionSchema = {
        {"ACCNO", 'N', 8, 2},  {"CATEGORY", 'C', 20, 0},   {"SUBCAT", 'C', 40, 0}, {"CHDESCR", 'C', 40, 0},
        {"PAYEE", 'C', 40, 0}, {"DESCR", 'C', 60, 0},      {"NOTE1", 'C', 40, 0},  {"NOTE2", 'C', 40, 0},
        {"DATE", 'D', 10, 0},  {"NUMBER", 'N', 10, 0},     {"AMOUNT", 'N', 10, 2}, {"FWT", 'N', 10, 2},
        {"SWT1", 'N', 10, 2},  {"STATE_INC1", 'N', 10, 2}, {"SWT2", 'N', 10, 2},   {"STATE_INC2", 'N', 10, 2},
        {"EMP_ID", 'C', 8, 0},
};

const std::vector<FieldLayout> ClientListSchema = {
        {"ID", 'C', 8, 0}, {"NAME", 'C', 40, 0}, {"PATH", 'C', 60, 0}, {"YEAR", 'C', 2, 0}};

String MessageOf(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no error";
}

void TableTest::SetUp()
{
    UseRealEngine();
    LoadDLL();
    ASSERT_TRUE(XbeLoaded());
    XBE_CALL(xb_SetDeleted, 0);
    Scratch.emplace("tables-test");
    Dir = Scratch->Path();
    ShortDateFormat = "mm/dd/yyyy";
    DateSeparator = '/';
#ifdef TOTAMUND_TABLES_SERVER
    if (std::getenv("TOTAMUND_TABLES_THROUGH_SERVER")) {
        Server = std::make_unique<TTestServer>(Dir);
        Connection = std::make_unique<TDaroruServerConnection>(nullptr);
        Connection->SetPort(Server->Port());
        Connection->SetActive(true);
        ASSERT_TRUE(Connection->Active());
    }
#endif
}

void TableTest::TearDown()
{
    Tables.clear();
#ifdef TOTAMUND_TABLES_SERVER
    Connection.reset();
    Server.reset();
#endif
    XBE_CALL(xb_SetDeleted, 0);
    Scratch.reset();
}

String TableTest::CreateTable(const String& Name, const std::vector<FieldLayout>& Fields)
{
    const String path = Dir + Name;
    XBE_CALL(xb_ErrorLevel, 0);
    EXPECT_GT(XBE_CALL(xb_CreateNew, path.c_str(), "NEWTABLE", 2, static_cast<XBSHORT>(Fields.size())), 0)
            << XbeLastErrorText();
    for (const FieldLayout& f : Fields) {
        const char type[2] = {f.Type, 0};
        XBE_CALL(xb_CreateField, f.Name, type, static_cast<XBSHORT>(f.Width),
                 static_cast<XBSHORT>(f.Decimals));
    }
    EXPECT_TRUE(XBE_CALL(xb_CreateExec)) << XbeLastErrorText();
    XBE_CALL(xb_Close);
    return path;
}

String TableTest::Image(const std::vector<FieldLayout>& Fields, const std::vector<String>& Values,
                        bool Deleted)
{
    String image(1, Deleted ? '*' : ' ');
    for (size_t i = 0; i < Fields.size(); ++i) {
        const int width = Fields[i].Type == 'D'   ? 8
                          : Fields[i].Type == 'L' ? 1
                          : Fields[i].Type == 'M' ? 10
                                                  : Fields[i].Width;
        String value = i < Values.size() ? Values[i] : String();
        value = value.substr(0, static_cast<size_t>(width));
        const String pad(static_cast<size_t>(width) - value.size(), ' ');
        image += Fields[i].Type == 'N' ? pad + value : value + pad;
    }
    return image;
}

void TableTest::AppendImages(const String& Name, const std::vector<String>& Images)
{
    XBE_CALL(xb_ErrorLevel, 0);
    const XBSHORT area = XBE_CALL(xb_Use, (Dir + Name).c_str(), "SEEDING", 0, 2);
    ASSERT_GT(area, 0) << XbeLastErrorText();
    for (const String& image : Images) {
        ASSERT_TRUE(XBE_CALL(xb_AppendBlank)) << XbeLastErrorText();
        ASSERT_TRUE(XBE_CALL(xb_PutRecord, image.c_str())) << XbeLastErrorText();
    }
    XBE_CALL(xb_Close);
}

std::vector<String> TableTest::ReadBack(const String& Name)
{
    const String script =
            "import sys, dbfread\n"
            "t = dbfread.DBF(sys.argv[1], load=True, ignore_missing_memofile=True, encoding='cp1252')\n"
            "recs = [(False, r) for r in t.records] + [(True, r) for r in t.deleted]\n"
            "for deleted, r in recs:\n"
            "    print(('*' if deleted else '') + '|'.join('' if v is None else str(v) for v in "
            "r.values()))\n";
    const String command = "/usr/bin/python3 -c \"$TABLES_SCRIPT\" '" + Dir + Name + "' 2>&1";
    setenv("TABLES_SCRIPT", script.c_str(), 1);
    std::vector<String> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return lines;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        String text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        lines.push_back(text);
    }
    pclose(pipe);
    return lines;
}

void TableTest::DefineTable(TDaroruTable* T, const String& Path, const std::vector<FieldLayout>& Fields)
{
    ASSERT_TRUE(T->CreateNew(Path, 2, static_cast<SmallInt>(Fields.size())));
    for (const FieldLayout& f : Fields)
        T->CreateField(f.Name, String(1, f.Type), static_cast<SmallInt>(f.Width),
                       static_cast<SmallInt>(f.Decimals));
    EXPECT_EQ(T->CreateExec(), -1);
}

TDaroruTable* TableTest::Table(const String& Name)
{
    Tables.push_back(std::make_unique<TDaroruTable>(nullptr));
    TDaroruTable* table = Tables.back().get();
    table->SetDatabaseName(Dir);
    table->SetTableName(Name);
#ifdef TOTAMUND_TABLES_SERVER
    if (Connection) {
        table->SetDaroruConnection(Connection.get());
        table->SetAccessMethod(amServer);
    }
#endif
    return table;
}

bool TableTest::ThroughServer() const
{
#ifdef TOTAMUND_TABLES_SERVER
    return Connection != nullptr;
#else
    return false;
#endif
}

std::optional<EDaroruOpenError> TableTest::OpenRefusal(TDaroruTable* T)
{
    std::optional<EDaroruOpenError> refusal;
    try {
        T->Open();
        ADD_FAILURE() << "opened";
    } catch (const EDaroruOpenError& e) {
        refusal = e;
    } catch (const EDaroruError& e) {
        EXPECT_TRUE(ThroughServer()) << e.Message();
    }
    EXPECT_FALSE(T->Active());
    return refusal;
}
