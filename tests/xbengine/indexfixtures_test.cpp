// Compound indexes made by another product, opened with their tables: the
// tags as the engine reports them, each tag's order against the records, and
// the same order again after the engine rebuilds the tag itself.

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "tests/xbengine/enginetest.h"

namespace {

struct FixtureTag {
    const char* Table;
    const char* Tag;
    const char* KeyExpression;
    const char* Field;  // the field the key is made of
    bool Numeric;
    int Keys;
};

const FixtureTag FixtureTags[] = {
        {"calls", "CALL_ID", "call_id", "CALL_ID", true, 16},
        {"calls", "CONTACT_ID", "contact_id", "CONTACT_ID", true, 16},
        {"contacts", "CONTACT_ID", "contact_id", "CONTACT_ID", true, 5},
        {"contacts", "TYPE_ID", "contact_type_id", "CONTACT_TY", true, 5},
        {"setup", "KEY_NAME", "key_name", "KEY_NAME", false, 3},
        {"types", "TYPE_ID", "contact_type_id", "CONTACT_TY", true, 2},
};

class IndexFixtures : public EngineTest {
protected:
    // A writable copy of a fixture file in the scratch directory; an optional
    // one only when it exists.
    void CopyFixture(const std::string& name, bool required)
    {
        std::string from = FixturePath("foxprodb/" + name);
        if (!required && !std::filesystem::exists(from))
            return;
        ASSERT_TRUE(FixtureReadable(from));
        std::filesystem::copy_file(from, Dir + name);
        std::filesystem::permissions(Dir + name, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }

    // Opens a copy of a fixture table with its memo and structural index.
    void OpenCopy(const std::string& table)
    {
        for (const char* extension : {".dbf", ".CDX"})
            ASSERT_NO_FATAL_FAILURE(CopyFixture(table + extension, true));
        CopyFixture(table + ".FPT", false);
        ASSERT_GT(E.xb_Use((Dir + table + ".dbf").c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
        ASSERT_EQ(E.xbx_LastError(), 0) << E.xbx_LastErrorText();
    }

    // The records in natural order sorted by the tag's field, ties by record number.
    std::vector<int> SortedByField(const FixtureTag& tag)
    {
        E.xb_SetOrder(0);
        std::vector<std::tuple<double, std::string, int>> rows;
        for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
            rows.emplace_back(tag.Numeric ? E.xb_EvalNumeric(tag.Field) : 0.0, E.xb_GetString(tag.Field),
                              E.xb_RecNo());
        std::sort(rows.begin(), rows.end());
        std::vector<int> recnos;
        for (const auto& row : rows)
            recnos.push_back(std::get<2>(row));
        return recnos;
    }

    // The active order as (key, record number) pairs, going forward.
    std::vector<std::pair<std::string, int>> Entries()
    {
        std::vector<std::pair<std::string, int>> entries;
        for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
            entries.emplace_back(E.xb_KeyData(), E.xb_RecNo());
        return entries;
    }
};

TEST_F(IndexFixtures, TagsReportTheirExpressionsAndTraverseInKeyOrder)
{
    for (const char* table : {"calls", "contacts", "setup", "types"}) {
        SCOPED_TRACE(table);
        OpenCopy(table);
        std::vector<const FixtureTag*> tags;
        for (const FixtureTag& tag : FixtureTags)
            if (std::string(tag.Table) == table)
                tags.push_back(&tag);
        EXPECT_EQ(E.xb_SysProp(3000, 0), XBPROP(tags.size()));
        EXPECT_EQ(E.xb_IndexOrd(), 0);
        for (std::size_t n = 0; n < tags.size(); ++n) {
            const FixtureTag& tag = *tags[n];
            SCOPED_TRACE(tag.Tag);
            XBSHORT order = XBSHORT(n + 1);
            EXPECT_STREQ(E.xb_TagName(order), tag.Tag);
            EXPECT_EQ(E.xb_TagArea(tag.Tag), order);
            std::vector<int> expected = SortedByField(tag);
            ASSERT_EQ(E.xb_SetOrder(order), 0) << E.xbx_LastErrorText();
            EXPECT_STREQ(E.xb_IndexKey(), tag.KeyExpression);
            EXPECT_STREQ(E.xb_IndexCondition(), "");
            EXPECT_EQ(std::string(E.xb_IndexName(order)), Dir + table + ".CDX");
            std::vector<int> forward = VisibleForward();
            EXPECT_EQ(int(forward.size()), tag.Keys);
            EXPECT_EQ(forward, expected);
            std::vector<int> backward = VisibleBackward();
            std::reverse(backward.begin(), backward.end());
            EXPECT_EQ(backward, expected);
        }
        E.xb_Close();
    }
}

TEST_F(IndexFixtures, RebuiltTagsKeepTheirKeysAndOrder)
{
    for (const char* table : {"calls", "contacts", "setup", "types"}) {
        SCOPED_TRACE(table);
        OpenCopy(table);
        const int tagCount = int(E.xb_SysProp(3000, 0));
        ASSERT_GT(tagCount, 0);
        std::vector<std::vector<std::pair<std::string, int>>> before;
        std::vector<std::string> names;
        for (int n = 1; n <= tagCount; ++n) {
            E.xb_SetOrder(XBSHORT(n));
            before.push_back(Entries());
            names.push_back(E.xb_TagName(XBSHORT(n)));
        }
        // Each tag made anew under its name; it moves to the end of the directory.
        for (const std::string& name : names) {
            E.xb_SetOrder(E.xb_TagArea(name.c_str()));
            std::string key = E.xb_IndexKey(), condition = E.xb_IndexCondition();
            ASSERT_GT(E.xb_IndexTag("", name.c_str(), key.c_str(), 0, 0, condition.c_str()), 0)
                    << name << ": " << E.xbx_LastErrorText();
        }

        // Once more after reopening: the rebuilt tags are on disk.
        for (bool reopened : {false, true}) {
            SCOPED_TRACE(reopened);
            if (reopened) {
                E.xb_Close();
                ASSERT_GT(E.xb_Use((Dir + table + ".dbf").c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
            }
            ASSERT_EQ(E.xb_SysProp(3000, 0), tagCount);
            for (int n = 1; n <= tagCount; ++n) {
                SCOPED_TRACE(names[n - 1]);
                XBSHORT order = E.xb_TagArea(names[n - 1].c_str());
                ASSERT_GT(order, 0);
                E.xb_SetOrder(order);
                EXPECT_EQ(Entries(), before[n - 1]);
            }
        }
        E.xb_Close();
    }
}

// The database container's own index, opened beside its table: conditional
// tags over expressions, in the order of their computed keys.
TEST_F(IndexFixtures, ContainerIndexFollowsItsExpressionsAndConditions)
{
    const std::string base = "FOXPRO-DB-TEST";
    for (const char* extension : {".DBC", ".DCT", ".DCX"})
        ASSERT_NO_FATAL_FAILURE(CopyFixture(base + extension, true));
    ASSERT_GT(E.xb_Use((Dir + base + ".DBC").c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
    E.xb_IndexOpen((Dir + base + ".DCX").c_str());
    ASSERT_EQ(E.xbx_LastError(), 0) << E.xbx_LastErrorText();
    ASSERT_EQ(E.xb_SysProp(3000, 0), 2);
    const struct {
        const char* Tag;
        const char* Key;
    } tags[] = {{"OBJECTNAME", "STR(parentid)+objecttype+LOWER(objectname)"},
                {"OBJECTTYPE", "STR(parentid)+objecttype"}};
    for (const auto& tag : tags) {
        SCOPED_TRACE(tag.Tag);
        XBSHORT order = E.xb_TagArea(tag.Tag);
        ASSERT_GT(order, 0);
        // The records the condition admits, by key and then record number.
        E.xb_SetOrder(0);
        std::vector<std::pair<std::string, int>> expected;
        for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
            if (!E.xb_Deleted())
                expected.emplace_back(E.xb_EvalString(tag.Key), E.xb_RecNo());
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(expected.size(), 56u);
        E.xb_SetOrder(order);
        EXPECT_STREQ(E.xb_IndexKey(), tag.Key);
        EXPECT_STREQ(E.xb_IndexCondition(), ".NOT.DELETED()");
        EXPECT_EQ(Entries(), expected);
        ASSERT_GT(E.xb_IndexTag((Dir + base + ".DCX").c_str(), tag.Tag, tag.Key, 0, 0, ".NOT.DELETED()"), 0)
                << E.xbx_LastErrorText();
        EXPECT_EQ(Entries(), expected);
    }
}

}  // namespace
