// Appending the records of another table: fields matched by name and
// converted, the condition and the deleted setting honoured, the indexes kept,
// and sources that cannot be appended refused without touching the table.

#include <algorithm>
#include <filesystem>

#include "platform/xbengine/xbe50.h"
#include "tests/xbengine/enginetest.h"

namespace {

class AppendFrom : public EngineTest {
protected:
    // SOURCE.DBF: names (wider than the target's), amounts, dates, notes, and
    // a field the target lacks; "Dora" is deleted.
    void MakeSource()
    {
        Source = Dir + "SOURCE.DBF";
        Create(Source, {{"NAME", "C", 16, 0},
                        {"AMOUNT", "N", 12, 3},
                        {"DATE", "D", 8, 0},
                        {"NOTES", "M", 10, 0},
                        {"ONLY", "C", 3, 0}});
        const char* rows[][4] = {{"carl", "12.5", "20240301", "first note"},
                                 {"Anna", "3", "20230115", ""},
                                 {"Bert", "-7.25", "20220702", "third\r\nnote"},
                                 {"Dora", "40", "20210101", "gone"},
                                 {"Emil", "99.99", "20200229", ""}};
        for (auto& row : rows)
            AppendTexts({{"NAME", row[0]},
                         {"AMOUNT", row[1]},
                         {"DATE", row[2]},
                         {"NOTES", row[3]},
                         {"ONLY", "x"}});
        E.xb_Go(4);
        E.xb_Delete();
        E.xb_Close();
    }

    // TARGET.DBF with one record of its own and two tags, one conditional.
    void MakeTarget()
    {
        Target = Dir + "TARGET.DBF";
        Create(Target, {{"AMOUNT", "N", 8, 2},
                        {"NAME", "C", 10, 0},
                        {"NOTES", "M", 10, 0},
                        {"DATE", "D", 8, 0},
                        {"EXTRA", "C", 5, 0}});
        AppendTexts({{"NAME", "Zoe"}, {"AMOUNT", "1"}, {"DATE", "20000101"}, {"EXTRA", "own"}});
        ASSERT_GT(E.xb_IndexTag("", "NAME", "UPPER(NAME)", 0, 0, ""), 0) << E.xbx_LastErrorText();
        ASSERT_GT(E.xb_IndexTag("", "POSITIVE", "AMOUNT", 0, 0, "AMOUNT > 0"), 0) << E.xbx_LastErrorText();
        E.xb_SetOrder(0);
    }

    // The trimmed values of a field going forward in the active order.
    std::vector<std::string> Column(const char* field)
    {
        std::vector<std::string> values;
        for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
            values.push_back(Trim(field));
        return values;
    }

    std::string Source, Target;
};

TEST_F(AppendFrom, AppendsMatchingRecordsByFieldNameAndKeepsTheTags)
{
    struct Case {
        bool DeletedOn;
        const char* For;
        std::vector<std::string> Names;  // appended, in natural order
    };
    const Case cases[] = {
            {false, "", {"carl", "Anna", "Bert", "Dora", "Emil"}},
            {true, "", {"carl", "Anna", "Bert", "Emil"}},
            {true, "AMOUNT > 5 .AND. ONLY = 'x'", {"carl", "Emil"}},
            {false, "DTOS(DATE) < '20220101'", {"Dora", "Emil"}},
            {false, "NAME = 'Nobody'", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.For);
        SCOPED_TRACE(c.DeletedOn);
        MakeSource();
        MakeTarget();
        E.xb_SetDeleted(c.DeletedOn ? 1 : 0);
        EXPECT_EQ(E.xb_AppendFrom(Source.c_str(), 2, c.For), XBLONG(c.Names.size())) << E.xbx_LastErrorText();
        EXPECT_EQ(E.xbx_LastError(), 0) << E.xbx_LastErrorText();
        E.xb_Close();

        // Reopened with the deleted records in view: the files hold it all.
        E.xb_SetDeleted(0);
        ASSERT_GT(E.xb_Use(Target.c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
        ASSERT_EQ(E.xb_RecCount(), XBLONG(c.Names.size() + 1));
        std::vector<std::string> names = Column("NAME");
        EXPECT_EQ(std::vector<std::string>(names.begin() + 1, names.end()), c.Names);
        for (int rec = 2; rec <= E.xb_RecCount(); ++rec) {
            E.xb_Go(rec);
            std::string name = Trim("NAME");
            SCOPED_TRACE(name);
            EXPECT_EQ(Trim("EXTRA"), "");
            EXPECT_EQ(E.xb_Deleted() != 0, name == "Dora");
            if (name == "carl") {
                EXPECT_EQ(E.xb_GetString("AMOUNT"), std::string("   12.50"));
                EXPECT_EQ(E.xb_GetString("DATE"), std::string("20240301"));
                EXPECT_EQ(Memo("NOTES"), "first note");
            }
            if (name == "Bert") {
                EXPECT_EQ(E.xb_GetString("AMOUNT"), std::string("   -7.25"));
                EXPECT_EQ(Memo("NOTES"), "third\r\nnote");
            }
            if (name == "Emil") {
                EXPECT_EQ(Memo("NOTES"), "");
            }
        }

        // Both tags hold the appended records, the conditional one only the positive amounts.
        std::vector<std::string> all = {"Zoe"};
        all.insert(all.end(), c.Names.begin(), c.Names.end());
        std::vector<std::pair<std::string, std::string>> byName;
        for (const std::string& name : all) {
            std::string upper = name;
            std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
            byName.emplace_back(upper, name);
        }
        std::sort(byName.begin(), byName.end());
        std::vector<std::string> sorted;
        for (const auto& entry : byName)
            sorted.push_back(entry.second);
        E.xb_SetOrder(E.xb_TagArea("NAME"));
        EXPECT_EQ(Column("NAME"), sorted);
        E.xb_SetOrder(E.xb_TagArea("POSITIVE"));
        std::vector<std::string> amounts = Column("AMOUNT");
        std::vector<double> positive;
        for (const std::string& amount : amounts)
            positive.push_back(std::stod(amount));
        EXPECT_TRUE(std::is_sorted(positive.begin(), positive.end()));
        EXPECT_TRUE(std::all_of(positive.begin(), positive.end(), [](double amount) { return amount > 0; }));
        EXPECT_EQ(amounts.size(), all.size() - std::count(all.begin(), all.end(), "Bert"));
        if (!c.Names.empty()) {
            EXPECT_NE(E.xb_Seek("99.99"), 0);
        }
        E.xb_Close();
        std::filesystem::remove_all(Dir);
        std::filesystem::create_directories(Dir);
    }
}

TEST_F(AppendFrom, RefusesWhatCannotBeAppendedAndLeavesTheTableAlone)
{
    MakeSource();
    MakeTarget();
    struct Case {
        std::string File;
        const char* For;
        int Error;
    };
    const Case cases[] = {
            {Target, "", XBE_E_IN_USE},
            {Dir + "./TARGET", "", XBE_E_IN_USE},
            {Dir + "MISSING.DBF", "", XBE_E_NOT_FOUND},
            {Source, "AMOUNT >", XBE_E_EXPR},
            {Source, "NOSUCH = 1", XBE_E_EXPR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File + " FOR " + c.For);
        EXPECT_EQ(E.xb_AppendFrom(c.File.c_str(), 2, c.For), 0);
        EXPECT_EQ(E.xbx_LastError(), c.Error) << E.xbx_LastErrorText();
        EXPECT_EQ(E.xb_RecCount(), 1);
    }
    // The target still works with its own area selected.
    EXPECT_EQ(E.xb_AppendFrom(Source.c_str(), 2, "NAME = 'Anna'"), 1) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_RecCount(), 2);
}

TEST_F(AppendFrom, ASharedTableTakesTheRecordsWithItsTags)
{
    MakeSource();
    MakeTarget();
    E.xb_Close();
    ASSERT_GT(E.xb_Use(Target.c_str(), "", 0, 2), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_AppendFrom(Source.c_str(), 2, ""), 5) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_RecCount(), 6);
    E.xb_SetOrder(E.xb_TagArea("NAME"));
    EXPECT_EQ(Column("NAME"), (std::vector<std::string> {"Anna", "Bert", "carl", "Dora", "Emil", "Zoe"}));
}

TEST_F(AppendFrom, AValueThatDoesNotFitAddsNoRecord)
{
    MakeSource();
    const std::string narrow = Dir + "NARROW.DBF";
    Create(narrow, {{"NAME", "C", 10, 0}, {"AMOUNT", "N", 4, 1}});
    // "Emil" 99.99 rounds to 100.0, one place too many for N(4,1).
    EXPECT_EQ(E.xb_AppendFrom(Source.c_str(), 2, "NAME = 'Emil'"), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_OVERFLOW) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_RecCount(), 0);
    EXPECT_EQ(E.xb_AppendFrom(Source.c_str(), 2, "AMOUNT < 50"), 4) << E.xbx_LastErrorText();
    EXPECT_EQ(Column("AMOUNT"), (std::vector<std::string> {"12.5", " 3.0", "-7.3", "40.0"}));
}

}  // namespace
