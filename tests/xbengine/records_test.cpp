// Creating tables, the header they get, storing and reading field values,
// and deletion, packing and zapping.

#include <csignal>
#include <cstring>
#include <ctime>

#include <sys/resource.h>

#include "tests/xbengine/enginetest.h"

namespace {

// The client table: sixteen fields, one of them wider than 255.
const std::vector<FieldSpec> ClientFields = {
        {"DATA_VER", "N", 5, 0},   {"ID", "C", 8, 0},        {"NAME1", "C", 40, 0},
        {"NAME2", "C", 40, 0},     {"ADDRESS1", "C", 40, 0}, {"ADDRESS2", "C", 40, 0},
        {"CITY", "C", 25, 0},      {"STATE", "C", 2, 0},     {"ZIP", "C", 10, 0},
        {"TAX_ID", "C", 11, 0},    {"SSN", "C", 11, 0},      {"COMMENTS", "C", 500, 0},
        {"TELEPHONE", "C", 15, 0}, {"REFNUMBER", "N", 8, 0}, {"TOTAMT", "N", 10, 2},
        {"DEF_DESCR", "C", 40, 0},
};

const std::vector<FieldSpec> MixedFields = {
        {"NAME", "C", 10, 0}, {"AMOUNT", "N", 10, 2}, {"COUNT", "N", 4, 0},
        {"DATE", "D", 10, 0}, {"PAID", "L", 1, 0},    {"RATE", "F", 8, 3},
};

class Records : public EngineTest { };

std::uint32_t LE32(const std::vector<unsigned char>& b, int at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

TEST_F(Records, CreatedHeaderHasTheLayoutOtherToolsRead)
{
    Create(Dir + "CLIENT", ClientFields);
    EXPECT_EQ(E.xb_FieldCount(), 16);
    EXPECT_EQ(E.xb_RecSize(), 806);
    EXPECT_EQ(E.xb_FieldOffset("DATA_VER"), 2);
    EXPECT_EQ(E.xb_FieldOffset("ID"), 7);
    EXPECT_EQ(E.xb_FieldWidth("COMMENTS"), 500);
    EXPECT_EQ(E.xb_FieldDecimals("COMMENTS"), 0);
    EXPECT_EQ(E.xb_FieldDecimals("TOTAMT"), 2);
    EXPECT_STREQ(E.xb_FieldName(12), "COMMENTS");
    EXPECT_STREQ(E.xb_FieldName(17), "");
    EXPECT_EQ(E.xb_FieldNum("totamt"), 15);
    E.xb_AppendBlank();
    E.xb_Close();

    std::vector<unsigned char> b = ReadBytes(Dir + "CLIENT.DBF");
    std::time_t now = std::time(nullptr);
    std::tm today;
    localtime_r(&now, &today);
    EXPECT_EQ(b[0], 0x03);
    EXPECT_EQ(b[1], today.tm_year % 100);
    EXPECT_EQ(b[2], today.tm_mon + 1);
    EXPECT_EQ(b[3], today.tm_mday);
    EXPECT_EQ(LE32(b, 4), 1u);
    EXPECT_EQ(b[8] | (b[9] << 8), 545);
    EXPECT_EQ(b[10] | (b[11] << 8), 806);
    EXPECT_EQ(b[28], 0);
    EXPECT_EQ(b[29], 0x03);
    // COMMENTS: the width's high byte sits in the decimals byte.
    int comments = 32 + 11 * 32;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&b[comments]), 8), "COMMENTS");
    EXPECT_EQ(b[comments + 16], 500 & 0xFF);
    EXPECT_EQ(b[comments + 17], 500 >> 8);
    EXPECT_EQ(b[544], 0x0D);
    ASSERT_EQ(b.size(), 545u + 806u + 1u);
    EXPECT_EQ(b.back(), 0x1A);
}

TEST_F(Records, AnyWriteStampsTheHeaderDate)
{
    Create(Dir + "OLD", {{"A", "C", 3, 0}});
    E.xb_AppendBlank();
    E.xb_Close();
    std::vector<unsigned char> bytes = ReadBytes(Dir + "OLD.DBF");
    std::vector<unsigned char> today(bytes.begin() + 1, bytes.begin() + 4);
    bytes[1] = 99;
    bytes[2] = 1;
    bytes[3] = 2;
    WriteBytes(Dir + "OLD.DBF", bytes);
    ASSERT_GT(E.xb_Use((Dir + "OLD").c_str(), "", 0, 2), 0);
    E.xb_SetCentury(1);
    EXPECT_STREQ(E.xb_BaseDate(), "01/02/1999");
    E.xb_Replace("A", 1024, "x");
    E.xb_Close();
    bytes = ReadBytes(Dir + "OLD.DBF");
    EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 1, bytes.begin() + 4), today);
    EXPECT_EQ(LE32(bytes, 4), 1u);
}

TEST_F(Records, FailedAppendLeavesNoPhantomRecord)
{
    Create(Dir + "FULL", {{"A", "C", 100, 0}});
    AppendTexts({{"A", "kept"}});
    // The disk fills up: the file may not grow by a whole record.
    std::size_t size = ReadBytes(Dir + "FULL.DBF").size();
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit full = old;
    full.rlim_cur = size + 50;
    setrlimit(RLIMIT_FSIZE, &full);
    // An exclusive append waits for its record's first write, which fails.
    XBBOOL appended = E.xb_AppendBlank() && E.xb_Replace("A", 1024, "lost");
    int error = E.xbx_LastError();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(appended, 0);
    EXPECT_EQ(error, XBE_E_IO);
    EXPECT_EQ(E.xb_RecCount(), 1);
    E.xb_Close();
    ASSERT_GT(E.xb_Use((Dir + "FULL").c_str(), "", 0, 2), 0);
    EXPECT_EQ(E.xb_RecCount(), 1);
    EXPECT_EQ(Trim("A"), "kept");
    AppendTexts({{"A", "next"}});
    EXPECT_EQ(E.xb_RecNo(), 2);
}

// A record and its keys go out together at the end of the change; when the
// disk takes the record no more, the failure is reported and the table and
// its tag are found whole again.
TEST_F(Records, AnAppendWithKeysTheDiskCannotTakeIsReportedAndUndone)
{
    for (XBSHORT mode : {XBSHORT(2), XBSHORT(0)}) {
        SCOPED_TRACE(mode == 2 ? "exclusive" : "shared");
        std::string path = Dir + "KEYED" + std::to_string(mode);
        Create(path, {{"A", "C", 100, 0}});
        ASSERT_GT(E.xb_IndexTag("", "A", "A", 0, 0, ""), 0) << E.xbx_LastErrorText();
        E.xb_Close();
        ASSERT_GT(E.xb_Use(path.c_str(), "", mode, 2), 0);
        AppendTexts({{"A", "kept"}});
        std::size_t size = ReadBytes(path + ".DBF").size();
        struct rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit full = old;
        full.rlim_cur = size + 50;
        setrlimit(RLIMIT_FSIZE, &full);
        std::string image(std::size_t(E.xb_RecSize()), ' ');
        image.replace(1, 4, "lost");
        bool written = E.xb_AppendBlank() && E.xb_PutRecord(image.data());
        int error = E.xbx_LastError();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);

        EXPECT_FALSE(written);
        EXPECT_EQ(error, XBE_E_IO);
        E.xb_Close();
        ASSERT_GT(E.xb_Use(path.c_str(), "", mode, 2), 0) << E.xbx_LastErrorText();
        EXPECT_EQ(E.xb_RecCount(), 1);
        E.xb_SetOrder(E.xb_TagArea("A"));
        EXPECT_FALSE(E.xb_Seek("lost"));
        ASSERT_TRUE(E.xb_Seek("kept"));
        EXPECT_EQ(E.xb_RecNo(), 1);
        AppendTexts({{"A", "next"}});
        ASSERT_TRUE(E.xb_Seek("next"));
        EXPECT_EQ(E.xb_RecNo(), 2);
        E.xb_Close();
    }
}

TEST_F(Records, FieldDefinitionsAreCheckedAndNormalised)
{
    Create(Dir + "T", {{"when", "d", 10, 0}, {"ok", "L", 5, 0}, {"notes", "M", 4, 0}});
    EXPECT_STREQ(E.xb_FieldName(1), "WHEN");
    EXPECT_STREQ(E.xb_FieldType("WHEN"), "D");
    EXPECT_EQ(E.xb_FieldWidth("WHEN"), 8);
    EXPECT_EQ(E.xb_FieldWidth("OK"), 1);
    EXPECT_EQ(E.xb_FieldWidth("NOTES"), 10);
    EXPECT_STREQ(E.xb_FieldType("MISSING"), "");

    struct Bad {
        FieldSpec Field;
    } bad[] = {
            {{"1ST", "C", 5, 0}}, {{"TOOLONGNAME", "C", 5, 0}}, {{"A", "X", 5, 0}},
            {{"A", "N", 21, 0}},  {{"A", "N", 5, 4}},           {{"A", "C", 0, 0}},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.Field.Name + std::string(" ") + b.Field.Type);
        XBSHORT area = E.xb_CreateNew((Dir + "BAD").c_str(), "", 2, 1);
        ASSERT_GT(area, 0);
        E.xb_CreateField(b.Field.Name, b.Field.Type, XBSHORT(b.Field.Width), XBSHORT(b.Field.Decimals));
        EXPECT_EQ(E.xbx_LastError(), XBE_E_FIELD);
        EXPECT_EQ(E.xb_CreateExec(), 0);
        E.xb_Close();
        EXPECT_EQ(ReadBytes(Dir + "BAD.DBF").size(), 0u);
    }
    // A definition takes no more fields than announced.
    ASSERT_GT(E.xb_CreateNew((Dir + "BAD").c_str(), "", 2, 1), 0);
    E.xb_CreateField("A", "C", 1, 0);
    E.xb_CreateField("B", "C", 1, 0);
    EXPECT_EQ(E.xb_CreateExec(), 0);
    E.xb_Close();
    // Without a pending definition nothing happens.
    E.xb_Select(99);
    EXPECT_EQ(E.xb_CreateExec(), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_NO_DEFINITION);
}

TEST_F(Records, ReplaceConvertsEachTypeCode)
{
    Create(Dir + "MIXED", MixedFields);
    ASSERT_NE(E.xb_AppendBlank(), 0);
    std::int32_t integer = -42;
    double real = 1234.5678;
    std::int32_t julian = 2451545;  // 2000-01-01
    unsigned char yes = 1;
    struct Case {
        const char* Field;
        XBSHORT Code;
        const void* Value;
        const char* Stored;  // the raw field text
    } cases[] = {
            {"NAME", 1024, "Smith", "Smith     "},
            {"NAME", 1024, "Exactly10!   ", "Exactly10!"},
            {"NAME", 1, &integer, "-42       "},
            {"NAME", 32, &julian, "20000101  "},
            {"NAME", 128, &yes, "T         "},
            {"AMOUNT", 8, &real, "   1234.57"},
            {"AMOUNT", 1, &integer, "    -42.00"},
            {"AMOUNT", 1024, "  77.5xyz", "     77.50"},
            {"COUNT", 8, &real, "1235"},
            {"RATE", 1024, "-0.0005", "  -0.001"},
            {"DATE", 32, &julian, "20000101"},
            {"DATE", 1024, "12/31/99", "19991231"},
            {"DATE", 1024, "20240229", "20240229"},
            {"DATE", 1056, "02/03/04", "19040203"},
            {"DATE", 1024, "", "        "},
            {"PAID", 1024, "yes", "T"},
            {"PAID", 1024, "no", "F"},
            {"PAID", 1, &integer, "T"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Field) + " <- " + std::to_string(c.Code));
        ASSERT_NE(E.xb_Replace(c.Field, c.Code, c.Value), 0) << E.xbx_LastErrorText();
        EXPECT_EQ(std::string(E.xb_GetString(c.Field)), c.Stored);
    }
    E.xb_Go(1);
    EXPECT_DOUBLE_EQ(E.xb_GetDouble("RATE"), -0.001);
    EXPECT_EQ(E.xb_GetLong("COUNT"), 1235);
    EXPECT_EQ(E.xb_GetDateJulian("DATE"), 0);
    EXPECT_NE(E.xb_Empty("DATE"), 0);
    EXPECT_NE(E.xb_GetLogical("PAID"), 0);
}

TEST_F(Records, ValuesThatDoNotFitAreRefusedNotCut)
{
    Create(Dir + "MIXED", MixedFields);
    ASSERT_NE(E.xb_AppendBlank(), 0);
    ASSERT_NE(E.xb_Replace("NAME", 1024, "keep"), 0);
    ASSERT_NE(E.xb_Replace("AMOUNT", 1024, "1.5"), 0);
    double big = 12345678901.5;
    std::int32_t huge = 123456;
    unsigned char one = 1;
    struct Case {
        const char* Field;
        XBSHORT Code;
        const void* Value;
        int Error;
    } cases[] = {
            {"NAME", 1024, "eleven char", XBE_E_OVERFLOW},
            {"AMOUNT", 8, &big, XBE_E_OVERFLOW},
            {"COUNT", 1, &huge, XBE_E_OVERFLOW},
            {"DATE", 1024, "20230230", XBE_E_OVERFLOW},
            {"DATE", 128, &one, XBE_E_FIELD},
            {"NOSUCH", 1024, "x", XBE_E_FIELD},
            {"NAME", 777, "x", XBE_E_FIELD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Field);
        EXPECT_EQ(E.xb_Replace(c.Field, c.Code, c.Value), 0);
        EXPECT_EQ(E.xbx_LastError(), c.Error) << E.xbx_LastErrorText();
    }
    E.xb_Skip(0);
    EXPECT_EQ(Trim("NAME"), "keep");
    EXPECT_EQ(Trim("AMOUNT"), "      1.50");
}

TEST_F(Records, RecordImagesRoundTripAndTheEndRecordIsBlank)
{
    Create(Dir + "MIXED", MixedFields);
    std::vector<char> image(E.xb_RecSize());
    E.xb_GetRecord(image.data());
    EXPECT_EQ(std::string(image.begin(), image.end()), std::string(image.size(), ' '));
    EXPECT_EQ(E.xb_PutRecord(image.data()), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EOF);

    ASSERT_NE(E.xb_AppendBlank(), 0);
    std::string record(image.size(), ' ');
    auto put = [&](const char* field, const std::string& text) {
        std::memcpy(record.data() + E.xb_FieldOffset(field) - 1, text.data(), text.size());
    };
    record[0] = '?';
    put("NAME", "Jones");
    put("AMOUNT", "     12.34");
    put("COUNT", "   7");
    put("DATE", "20240101");
    put("PAID", "T");
    put("RATE", "   1.250");
    ASSERT_NE(E.xb_PutRecord(record.data()), 0);
    E.xb_Close();

    ASSERT_GT(E.xb_Use((Dir + "mixed.dbf").c_str(), "", 0, 2), 0) << E.xbx_LastErrorText();
    E.xb_GetRecord(image.data());
    record[0] = ' ';  // the flag byte is normalised
    EXPECT_EQ(std::string(image.begin(), image.end()), record);
    EXPECT_EQ(Trim("NAME"), "Jones");
    EXPECT_DOUBLE_EQ(E.xb_GetDouble("AMOUNT"), 12.34);
    EXPECT_EQ(E.xb_GetDateJulian("DATE"), 2460311);
    E.xb_SetCentury(1);
    E.xb_SetDateFormat(4);
    EXPECT_STREQ(E.xb_GetDateString("DATE"), "01.01.2024");
}

// Natural-order navigation over five records, 2 and 4 delete-marked.
TEST_F(Records, NavigationWithTheDeletedSetting)
{
    Create(Dir + "NAV", {{"N", "N", 3, 0}});
    for (int i = 1; i <= 5; ++i) {
        E.xb_AppendBlank();
        E.xb_Replace("N", 1, &i);
        if (i == 2 || i == 4)
            E.xb_Delete();
    }
    struct Step {
        const char* What;
        int Arg;
        int RecNo, Bof, Eof;
    };
    auto run = [&](const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            SCOPED_TRACE(std::string(s.What) + " " + std::to_string(s.Arg));
            std::string what = s.What;
            if (what == "top")
                E.xb_GoTop();
            else if (what == "bottom")
                E.xb_GoBottom();
            else if (what == "skip")
                E.xb_Skip(s.Arg);
            else if (what == "go")
                E.xb_Go(s.Arg);
            EXPECT_EQ(E.xb_RecNo(), s.RecNo);
            EXPECT_EQ(E.xb_Bof() != 0, s.Bof != 0);
            EXPECT_EQ(E.xb_Eof() != 0, s.Eof != 0);
        }
    };
    E.xb_SetDeleted(0);
    EXPECT_EQ(E.xb_Count(), 5);
    run({{"top", 0, 1, 0, 0},
         {"skip", 1, 2, 0, 0},
         {"skip", -1, 1, 0, 0},
         {"skip", -1, 1, 1, 0},
         {"bottom", 0, 5, 0, 0},
         {"skip", 1, 6, 0, 1},
         {"skip", 1, 6, 0, 1},
         {"skip", -1, 5, 0, 0}});
    E.xb_SetDeleted(1);
    EXPECT_EQ(E.xb_Count(), 3);
    run({{"top", 0, 1, 0, 0},
         {"skip", 1, 3, 0, 0},
         {"skip", 1, 5, 0, 0},
         {"skip", 1, 6, 0, 1},
         {"skip", -2, 3, 0, 0},
         {"skip", -5, 1, 1, 0},
         {"bottom", 0, 5, 0, 0},
         {"skip", 3, 6, 0, 1},
         // Go reaches hidden records; moving on leaves them behind.
         {"go", 4, 4, 0, 0},
         {"skip", 1, 5, 0, 0},
         {"go", 2, 2, 0, 0},
         {"skip", -1, 1, 0, 0},
         {"go", 0, 6, 0, 1},
         {"go", 99, 6, 0, 1},
         {"go", -1, 6, 0, 1}});
    E.xb_Go(4);
    EXPECT_NE(E.xb_Deleted(), 0);
    E.xb_Recall();
    EXPECT_EQ(E.xb_Count(), 4);
}

TEST_F(Records, EmptyTableIsAtBothEnds)
{
    Create(Dir + "EMPTY", {{"N", "N", 3, 0}});
    for (auto move : {E.xb_GoTop, E.xb_GoBottom}) {
        move();
        EXPECT_NE(E.xb_Bof(), 0);
        EXPECT_NE(E.xb_Eof(), 0);
        EXPECT_EQ(E.xb_RecNo(), 1);
    }
    EXPECT_EQ(E.xb_Delete(), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EOF);
}

TEST_F(Records, PackKeepsLiveRecordsInOrderAndZapEmpties)
{
    Create(Dir + "PACK", {{"N", "N", 3, 0}});
    for (int i = 1; i <= 6; ++i) {
        E.xb_AppendBlank();
        E.xb_Replace("N", 1, &i);
        if (i % 2 == 0)
            E.xb_Delete();
    }
    ASSERT_NE(E.xb_Pack(), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_RecCount(), 3);
    EXPECT_EQ(E.xb_RecNo(), 1);
    std::string seen;
    for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
        seen += Trim("N") + ",";
    EXPECT_EQ(seen, "  1,  3,  5,");
    EXPECT_EQ(ReadBytes(Dir + "PACK.DBF").size(), 32u + 32 + 1 + 3 * 4 + 1);
    ASSERT_NE(E.xb_Zap(), 0);
    EXPECT_EQ(E.xb_RecCount(), 0);
    EXPECT_NE(E.xb_Eof(), 0);
    E.xb_Close();

    ASSERT_GT(E.xb_Use((Dir + "PACK").c_str(), "", 0, 2), 0);
    EXPECT_EQ(E.xb_Pack(), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EXCLUSIVE);
}

TEST_F(Records, CopyStructureAndCreateReplaceTablesNotInUse)
{
    Create(Dir + "SRC", {{"NAME", "C", 300, 0}, {"NOTES", "M", 10, 0}});
    AppendTexts({{"NAME", "x"}, {"NOTES", "memo"}});
    // A stale index of the new name goes with the old table.
    WriteBytes(Dir + "COPY.CDX", {1, 2, 3});
    ASSERT_NE(E.xb_CopyStructure((Dir + "COPY").c_str(), "COPY"), 0) << E.xbx_LastErrorText();
    EXPECT_TRUE(ReadBytes(Dir + "COPY.CDX").empty());
    EXPECT_EQ(E.xb_CopyStructure((Dir + "SRC").c_str(), "X"), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_IN_USE);

    ASSERT_GT(E.xb_Use((Dir + "COPY.DBF").c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_RecCount(), 0);
    EXPECT_EQ(E.xb_FieldWidth("NAME"), 300);
    EXPECT_STREQ(E.xb_FieldType("NOTES"), "M");
    EXPECT_EQ(ReadBytes(Dir + "COPY.DBF")[0], 0xF5);
    EXPECT_EQ(E.xb_CreateNew((Dir + "copy").c_str(), "", 2, 1), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_IN_USE);
    E.xb_Close();

    XBSHORT area = E.xb_CreateNew((Dir + "copy").c_str(), "", 2, 1);
    ASSERT_GT(area, 0) << E.xbx_LastErrorText();
    E.xb_CreateField("ONLY", "C", 3, 0);
    ASSERT_NE(E.xb_CreateExec(), 0);
    EXPECT_EQ(E.xb_FieldCount(), 1);
    EXPECT_TRUE(ReadBytes(Dir + "COPY.FPT").empty());

    EXPECT_EQ(E.xb_CreateNew((Dir + "nodir/T").c_str(), "", 2, 1), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_NOT_FOUND);
    EXPECT_EQ(E.xb_CreateNew((Dir + "T3").c_str(), "", 3, 1), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_UNSUPPORTED);
}

TEST_F(Records, CopyFileTakesTheVisibleRecordsWithTheirMemos)
{
    XBSHORT source = Create(Dir + "SRC", {{"NAME", "C", 10, 0}, {"NOTE", "M", 10, 0}});
    AppendTexts({{"NAME", "first"}, {"NOTE", "memo one"}});
    AppendTexts({{"NAME", "gone"}, {"NOTE", "memo two"}});
    E.xb_Delete();
    AppendTexts({{"NAME", "third"}, {"NOTE", std::string(300, '3')}});
    E.xb_SetDeleted(1);
    E.xb_Go(2);
    ASSERT_NE(E.xb_CopyFile((Dir + "DST").c_str()), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_Select(source), source);
    EXPECT_EQ(E.xb_RecNo(), 2);

    ASSERT_GT(E.xb_Use((Dir + "DST").c_str(), "", 1, 2), 0);
    EXPECT_EQ(E.xb_RecCount(), 2);
    E.xb_Go(1);
    EXPECT_EQ(Trim("NAME"), "first");
    EXPECT_EQ(Memo("NOTE"), "memo one");
    E.xb_Go(2);
    EXPECT_EQ(Trim("NAME"), "third");
    EXPECT_EQ(Memo("NOTE"), std::string(300, '3'));
}

TEST_F(Records, CreateFromAStructureTable)
{
    Create(Dir + "STRU", {{"FIELD_NAME", "C", 10, 0},
                          {"FIELD_TYPE", "C", 1, 0},
                          {"FIELD_LEN", "N", 3, 0},
                          {"FIELD_DEC", "N", 3, 0}});
    AppendTexts({{"FIELD_NAME", "CODE"}, {"FIELD_TYPE", "C"}, {"FIELD_LEN", "12"}, {"FIELD_DEC", "0"}});
    AppendTexts({{"FIELD_NAME", "PRICE"}, {"FIELD_TYPE", "N"}, {"FIELD_LEN", "9"}, {"FIELD_DEC", "2"}});
    E.xb_Close();
    ASSERT_NE(E.xb_CreateFrom((Dir + "MADE").c_str(), "MADE", (Dir + "STRU").c_str(), 2), 0)
            << E.xbx_LastErrorText();
    XBSHORT area = E.xb_WorkArea("MADE");
    ASSERT_GT(area, 0);
    E.xb_Select(area);
    EXPECT_EQ(E.xb_FieldCount(), 2);
    EXPECT_EQ(E.xb_FieldWidth("CODE"), 12);
    EXPECT_STREQ(E.xb_FieldType("PRICE"), "N");
    EXPECT_EQ(E.xb_FieldDecimals("PRICE"), 2);
    EXPECT_EQ(E.xb_RecCount(), 0);
}

TEST_F(Records, WorkAreasAliasesAndSelection)
{
    Create(Dir + "ONE", {{"A", "C", 1, 0}});
    E.xb_Close();
    XBSHORT first = E.xb_Use((Dir + "ONE").c_str(), "", 0, 2);
    XBSHORT second = E.xb_Use((Dir + "ONE").c_str(), "other", 0, 2);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);
    EXPECT_STREQ(E.xb_Alias(first), "ONE");
    EXPECT_EQ(E.xb_WorkArea("Other"), second);
    EXPECT_EQ(E.xb_WorkArea("none"), 0);
    EXPECT_EQ(E.xb_Use((Dir + "ONE").c_str(), "OTHER", 0, 2), 0);
    EXPECT_EQ(E.xb_Select(first), second);
    EXPECT_STREQ(E.xb_BaseName(), "ONE");
    EXPECT_EQ(E.xb_OpenMode(), 0);
    E.xb_Close();
    EXPECT_EQ(E.xb_RecCount(), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_NO_AREA);
    EXPECT_EQ(E.xb_OpenMode(), -1);
    EXPECT_EQ(E.xb_Use((Dir + "MISSING").c_str(), "", 0, 2), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_NOT_FOUND);
}

}  // namespace

namespace {

// With a cache budget of a few blocks, reads in any order and seeks give up
// cached pages one at a time and still read what the files hold.
TEST_F(Records, ReadsInAnyOrderThroughACacheOfAFewPages)
{
    E.xbx_SetCacheBudget(3 * 4 * 4096);
    Create(Dir + "SMALL", {{"NAME", "C", 60, 0}, {"NUM", "N", 6, 0}});
    for (int i = 1; i <= 600; ++i)
        AppendTexts({{"NAME", "name " + std::to_string(i * 7919 % 600)}, {"NUM", std::to_string(i)}});
    ASSERT_EQ(E.xb_IndexTag("", "NAME", "NAME", 0, 0, ""), 1);
    E.xb_Close();
    for (XBSHORT mode : {2, 0}) {
        ASSERT_GT(E.xb_Use((Dir + "SMALL").c_str(), "", mode, 2), 0) << E.xbx_LastErrorText();
        for (int step = 0; step < 1200; ++step) {
            int recno = 1 + step * 397 % 600;
            E.xb_Go(recno);
            ASSERT_EQ(E.xb_GetDouble("NUM"), recno) << "mode " << mode;
        }
        E.xb_SetOrder(1);
        E.xb_SetExact(1);
        for (int i = 1; i <= 600; i += 37) {
            std::string name = "name " + std::to_string(i * 7919 % 600);
            ASSERT_NE(E.xb_Seek(name.c_str()), 0) << name;
            EXPECT_EQ(E.xb_GetDouble("NUM"), i);
        }
        E.xb_Close();
    }
    E.xbx_SetCacheBudget(std::int64_t(96) << 20);
}

}  // namespace
