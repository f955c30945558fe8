// Expressions over engine tables, queries and filters that judge records on
// their current contents while navigating, and Locate.

#include <functional>

#include "tests/xbengine/enginetest.h"

namespace {

class Query : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Emp = Create(Dir + "EMP", {{"ID", "C", 8, 0},
                                   {"NAME1", "C", 20, 0},
                                   {"DATE", "D", 8, 0},
                                   {"AMOUNT", "N", 10, 2},
                                   {"ACTIVE", "L", 1, 0}});
        for (const auto& row :
             std::vector<std::vector<std::string>> {{"A1", "Smith", "20240115", "100.50", "T"},
                                                    {"A10", "smithers", "20231231", "20", "F"},
                                                    {"B2", "Jones", "20240301", "0", "T"},
                                                    {"C3", "Brown", "20240620", "-5.25", "F"},
                                                    {"A2", "Smart", "20240701", "7", "T"}})
            AppendTexts({{"ID", row[0]},
                         {"NAME1", row[1]},
                         {"DATE", row[2]},
                         {"AMOUNT", row[3]},
                         {"ACTIVE", row[4]}});
    }

    void Delete(int recno)
    {
        E.xb_Go(recno);
        ASSERT_NE(E.xb_Delete(), 0);
    }

    XBSHORT Emp = 0;
};

TEST_F(Query, ExpressionsOnTheCurrentRecordOfAnEngineTable)
{
    // A second area reached through its alias.
    Create(Dir + "DEPT", {{"CODE", "C", 4, 0}, {"BUDGET", "N", 8, 0}});
    AppendTexts({{"CODE", "SALE"}, {"BUDGET", "1234"}});
    E.xb_Select(Emp);
    E.xb_Go(1);
    struct Case {
        const char* Text;
        int Type;  // 1 character, 2 numeric, 3 logical, 4 date, 0 invalid
        const char* Value;
    } cases[] = {
            {"ID", 1, "A1      "},
            {"name1", 1, "Smith               "},
            {"Upper(Name1)", 1, "SMITH               "},
            {"TRIM(ID)+\"-\"+TRIM(NAME1)", 1, "A1-Smith"},
            {"AMOUNT", 2, "    100.50"},
            {"AMOUNT * 2", 2, "    201.00"},
            {"DATE", 4, "01/15/24"},
            {"DTOS(DATE)", 1, "20240115"},
            {"DATE + 20", 4, "02/04/24"},
            {"YEAR(DATE)", 2, "2024"},
            {"ACTIVE", 3, ".T."},
            {".NOT. ACTIVE .OR. AMOUNT > 100", 3, ".T."},
            {"DELETED()", 3, ".F."},
            {"RECNO()", 2, "         1"},
            {"STR(AMOUNT,10,2)+DTOS(DATE)", 1, "    100.5020240115"},
            {"DEPT->CODE", 1, "SALE"},
            {"dept->budget / 2", 2, "  617.00"},
            {"UPPER(NAME1)=\"SMI\"", 3, ".T."},
            {"\"SMITH\" = \"SMI\"", 3, ".T."},
            {"\"SMI\" = \"SMITH\"", 3, ".F."},
            {"\"SMITH\" == \"SMI\"", 3, ".F."},
            {"DATE >= CTOD(\"01/01/2024\") .AND. DATE <= CTOD(\"06/30/2024\")", 3, ".T."},
            {"NAME1+", 0, ""},
            {"NOSUCH", 0, ""},
            {"NOAREA->ID", 0, ""},
            {"ID + AMOUNT", 0, ""},
            {"UPPER(", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(E.xb_EvalTest(c.Text), c.Type);
        if (c.Type != 0) {
            EXPECT_EQ(E.xb_EvalString(c.Text), std::string(c.Value));
        }
    }
    EXPECT_DOUBLE_EQ(E.xb_EvalNumeric("AMOUNT + 0.25"), 100.75);
    EXPECT_NE(E.xb_EvalLogical("ACTIVE"), 0);

    // EXACT on: "=" compares whole values, trailing blanks aside.
    E.xb_SetExact(1);
    EXPECT_EQ(E.xb_EvalLogical("UPPER(NAME1)=\"SMI\""), 0);
    EXPECT_NE(E.xb_EvalLogical("UPPER(NAME1)=\"SMITH\""), 0);
    E.xb_SetExact(0);

    // Wrong types and run-time errors answer empty with the expression error.
    EXPECT_EQ(E.xb_EvalLogical("AMOUNT"), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EXPR);
    EXPECT_EQ(E.xb_EvalNumeric("AMOUNT / 0"), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EXPR);
    EXPECT_STREQ(E.xb_EvalString("NAME1+"), "");
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EXPR);

    // At end of file the blank record is evaluated.
    E.xb_Go(0);
    EXPECT_STREQ(E.xb_EvalString("TRIM(ID)+\"|\""), "|");
}

TEST_F(Query, NavigationShowsTheRecordsThatPassAgainstTheirCurrentContents)
{
    Delete(5);
    ASSERT_NE(E.xb_Query("UPPER(NAME1) = \"SM\""), 0);
    EXPECT_EQ(E.xb_RecNo(), 1);  // setting the query moved to the first passing record
    EXPECT_STREQ(E.xb_DBFilter(), "UPPER(NAME1) = \"SM\"");

    struct Case {
        bool HideDeleted;
        std::vector<int> Visible;
    } cases[] = {{false, {1, 2, 5}}, {true, {1, 2}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.HideDeleted);
        E.xb_SetDeleted(c.HideDeleted);
        EXPECT_EQ(VisibleForward(), c.Visible);
        std::vector<int> back(c.Visible.rbegin(), c.Visible.rend());
        EXPECT_EQ(VisibleBackward(), back);
        EXPECT_EQ(E.xb_QueryRecCount(), int(c.Visible.size()));
        // Past the last: end of file; back from there: the last one.
        E.xb_GoBottom();
        E.xb_Skip(1);
        EXPECT_NE(E.xb_Eof(), 0);
        E.xb_Skip(-1);
        EXPECT_EQ(E.xb_RecNo(), c.Visible.back());
        // Before the first: stays on it with BOF.
        E.xb_GoTop();
        E.xb_Skip(-1);
        EXPECT_NE(E.xb_Bof(), 0);
        EXPECT_EQ(E.xb_RecNo(), c.Visible.front());
        // Skips of several records pass over the hidden ones.
        E.xb_GoTop();
        E.xb_Skip(int(c.Visible.size()) - 1);
        EXPECT_EQ(E.xb_RecNo(), c.Visible.back());
    }

    // A record appended after the query is seen once it passes; a changed one
    // drops out without the query being set again.
    ASSERT_NE(E.xb_AppendBlank(), 0);
    EXPECT_EQ(VisibleForward(), (std::vector<int> {1, 2}));
    E.xb_Go(6);
    ASSERT_NE(E.xb_Replace("NAME1", 1024, "Smythe"), 0);
    EXPECT_EQ(VisibleForward(), (std::vector<int> {1, 2, 6}));
    E.xb_Go(1);
    ASSERT_NE(E.xb_Replace("NAME1", 1024, "Adams"), 0);
    EXPECT_EQ(VisibleForward(), (std::vector<int> {2, 6}));
    // Go reaches any record, passing or not.
    E.xb_Go(3);
    EXPECT_EQ(E.xb_RecNo(), 3);
    E.xb_Skip(1);
    EXPECT_EQ(E.xb_RecNo(), 6);

    // A query nothing passes: end of file and a zero answer.
    EXPECT_EQ(E.xb_Query("AMOUNT > 1000"), 0);
    EXPECT_NE(E.xb_Eof(), 0);
    EXPECT_NE(E.xb_Bof(), 0);
    EXPECT_EQ(E.xbx_LastError(), 0);
    EXPECT_EQ(E.xb_QueryRecCount(), 0);
    // An invalid query is refused and the previous one stays.
    EXPECT_EQ(E.xb_Query("1+2"), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EXPR);
    EXPECT_STREQ(E.xb_DBFilter(), "AMOUNT > 1000");
    // An empty query clears it.
    EXPECT_NE(E.xb_Query(""), 0);
    EXPECT_STREQ(E.xb_DBFilter(), "");
    EXPECT_EQ(E.xb_QueryRecCount(), 5);
}

TEST_F(Query, FilterAndQueryBitsCombineWithTheQuery)
{
    E.xb_Query("ACTIVE");
    EXPECT_EQ(VisibleForward(), (std::vector<int> {1, 3, 5}));
    E.xb_SetFilter("AMOUNT > 0");
    EXPECT_EQ(VisibleForward(), (std::vector<int> {1, 5}));
    EXPECT_STREQ(E.xb_DBFilter(), "ACTIVE");
    E.xb_SetFilter("");
    // Per-record overrides of the query, until the next query.
    E.xb_SetQueryBit(2, 1);
    E.xb_SetQueryBit(3, 0);
    EXPECT_EQ(VisibleForward(), (std::vector<int> {1, 2, 5}));
    EXPECT_NE(E.xb_GetQueryBit(2), 0);
    EXPECT_EQ(E.xb_GetQueryBit(4), 0);
    E.xb_Query("ACTIVE");
    EXPECT_EQ(VisibleForward(), (std::vector<int> {1, 3, 5}));
}

TEST_F(Query, ARunTimeErrorHidesTheRecordAndNavigationGoesOn)
{
    // 1 / AMOUNT fails on record 3 only.
    ASSERT_NE(E.xb_Query("1 / AMOUNT <> 0"), 0);
    EXPECT_EQ(VisibleForward(), (std::vector<int> {1, 2, 4, 5}));
    EXPECT_EQ(E.xbx_LastError(), 0);
    E.xb_Go(2);
    E.xb_Skip(1);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EXPR);
    EXPECT_EQ(E.xb_RecNo(), 4);
}

TEST_F(Query, LocateSearchesTheVisibleRecordsBothWays)
{
    E.xb_SetDeleted(1);
    Delete(2);
    struct Step {
        int Direction;
        int Continuing;
        int Found;  // record number, 0 for none
        int After;  // the current record afterwards
    };
    E.xb_Go(3);
    for (const Step& s : std::vector<Step> {
                 {1, 0, 1, 1}, {1, 1, 5, 5}, {1, 1, 0, 5}, {-1, 0, 5, 5}, {-1, 1, 1, 1}, {-1, 1, 0, 1}}) {
        SCOPED_TRACE(std::to_string(s.Direction) + "/" + std::to_string(s.Continuing));
        EXPECT_EQ(E.xb_Locate("LEFT(ID,1) = \"A\"", XBSHORT(s.Direction), XBSHORT(s.Continuing)), s.Found);
        EXPECT_EQ(E.xb_Found() != 0, s.Found != 0);
        EXPECT_EQ(E.xb_RecNo(), s.After);
    }
    // A failed search from end of file leaves it there.
    E.xb_Go(0);
    EXPECT_EQ(E.xb_Locate("AMOUNT > 1000", 1, 0), 0);
    EXPECT_NE(E.xb_Eof(), 0);
    EXPECT_EQ(E.xb_Locate("AMOUNT >", 1, 0), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_EXPR);
}

}  // namespace
