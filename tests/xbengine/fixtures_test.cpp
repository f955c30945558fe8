// The reference tables made by other programs read with their documented
// counts and values.

#include <cstring>

#include "tests/xbengine/enginetest.h"

namespace {

class FixtureTables : public EngineTest {
protected:
    void Open(const std::string& name)
    {
        const std::string path = FixturePath(name);
        ASSERT_TRUE(FixtureReadable(path));
        XBSHORT area = E.xb_Use(path.c_str(), "", 1, 2);
        ASSERT_GT(area, 0) << name << ": " << E.xbx_LastErrorText();
    }

    // The raw bytes of a field in the current record.
    std::string Raw(const char* field)
    {
        std::vector<char> image(E.xb_RecSize());
        E.xb_GetRecord(image.data());
        return std::string(image.data() + E.xb_FieldOffset(field) - 1, E.xb_FieldWidth(field));
    }
};

TEST_F(FixtureTables, RecordCountsWithAndWithoutDeletedRecords)
{
    struct Case {
        const char* File;
        int RecCount;
        int Visible;  // with deleted records hidden
    } cases[] = {
            {"foxprodb/FOXPRO-DB-TEST.DBC", 58, 56},
            {"foxprodb/calls.dbf", 16, 16},
            {"foxprodb/contacts.dbf", 5, 5},
            {"foxprodb/setup.dbf", 3, 3},
            {"foxprodb/types.dbf", 2, 2},
            {"dbase_30.dbf", 34, 34},
            {"dbase_31.dbf", 77, 77},
            {"dbase_32.dbf", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        E.xb_SetDeleted(0);
        ASSERT_NO_FATAL_FAILURE(Open(c.File));
        EXPECT_EQ(E.xb_RecCount(), c.RecCount);
        EXPECT_EQ(E.xb_Count(), c.RecCount);
        E.xb_SetDeleted(1);
        EXPECT_EQ(E.xb_Count(), c.Visible);
        int seen = 0;
        for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1)) {
            EXPECT_EQ(E.xb_Deleted(), 0);
            ++seen;
        }
        EXPECT_EQ(seen, c.Visible);
        E.xb_Close();
    }
}

TEST_F(FixtureTables, CallsWithBinaryFieldsAndMemo)
{
    ASSERT_NO_FATAL_FAILURE(Open("foxprodb/calls.dbf"));
    EXPECT_STREQ(E.xb_FieldType("CALL_ID"), "I");
    EXPECT_EQ(E.xb_FieldWidth("SUBJECT"), 254);
    EXPECT_EQ(E.xb_FieldOffset("CALL_ID"), 2);
    E.xb_Go(1);
    std::string id = Raw("CALL_ID");
    EXPECT_EQ(id, std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(Trim("SUBJECT"), "Buy flavored coffees.");
    EXPECT_EQ(Memo("NOTES"), "Nancy told me about their blends. Thinking about it. Should call back later.");
    EXPECT_EQ(E.xb_GetBlobLength("NOTES"), 76);
}

TEST_F(FixtureTables, ContactsMemoTextDatesAndEmptyMemo)
{
    ASSERT_NO_FATAL_FAILURE(Open("foxprodb/contacts.dbf"));
    E.xb_Go(1);
    EXPECT_EQ(Trim("FIRST_NAME"), "Nancy");
    EXPECT_EQ(Trim("LAST_NAME"), "Davolio");
    EXPECT_EQ(Trim("ADDRESS"), "507 - 20th Ave. E.\r\nApt. 2A");
    EXPECT_EQ(E.xb_GetDateJulian("BIRTHDATE"), 2438128);  // 1963-04-08
    EXPECT_EQ(E.xb_GetBlobLength("NOTES"), 163);
    E.xb_Go(2);
    EXPECT_EQ(Trim("SPOUSES_IN"), "Tennis, golf");
    E.xb_Go(3);
    EXPECT_EQ(Memo("NOTES"), "");
    EXPECT_EQ(E.xbx_LastError(), 0);
}

TEST_F(FixtureTables, StructuralIndexFlagWithoutIndexFileStillOpens)
{
    // dbase_30 says it has a structural index, but no CDX ships with it.
    ASSERT_NO_FATAL_FAILURE(Open("dbase_30.dbf"));
    EXPECT_EQ(E.xbx_LastError(), 0);
    E.xb_Go(1);
    EXPECT_EQ(Trim("ACCESSNO"), "1999.1");
    EXPECT_EQ(Trim("CAPTION"), "Ear & Ernie Wedding 1942");
    E.xb_Go(4);
    EXPECT_EQ(Memo("CLASSES"), "Agriculture\r\nFarms & Farming\r\n");
}

TEST_F(FixtureTables, LaterVersionsWithoutEndMarkerAndOpaqueFields)
{
    ASSERT_NO_FATAL_FAILURE(Open("dbase_31.dbf"));
    E.xb_GoBottom();
    EXPECT_EQ(E.xb_RecNo(), 77);
    EXPECT_EQ(Trim("PRODUCTNAM"), "Original Frankfurter gr\xFCne So\xE1"
                                  "e");
    EXPECT_EQ(E.xb_FieldWidth("_NULLFLAGS"), 1);
    E.xb_Skip(1);
    EXPECT_NE(E.xb_Eof(), 0);
    E.xb_Close();

    ASSERT_NO_FATAL_FAILURE(Open("dbase_32.dbf"));
    std::string name = Raw("NAME");
    ASSERT_EQ(name.size(), 250u);
    EXPECT_EQ(name.substr(0, 14), "Bad Meets Evil");
    EXPECT_EQ(name[249], 14);
}

TEST_F(FixtureTables, ReadOnlyOpenRefusesWrites)
{
    ASSERT_NO_FATAL_FAILURE(Open("foxprodb/setup.dbf"));
    E.xb_Go(1);
    EXPECT_EQ(Trim("KEY_NAME"), "CALLS");
    EXPECT_EQ(E.xb_Replace("KEY_NAME", 1024, "X"), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_READ_ONLY);
    EXPECT_EQ(E.xb_AppendBlank(), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_READ_ONLY);
    EXPECT_EQ(E.xb_RecCount(), 3);
}

}  // namespace
