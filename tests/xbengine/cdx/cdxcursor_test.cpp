// Seeking, walking and positions of a cursor, in both directions.

#include "tests/xbengine/cdx/cdxtesting.h"

namespace {

std::unique_ptr<CdxIndexFile> Names(bool descending)
{
    auto file = CdxIndexFile::Create(std::make_unique<CdxMemoryStore>());
    CdxTag& tag = file->CreateTag({"NAME", "name", "", CdxKeyType::Character, 6, false, false, descending});
    tag.Build({{"BETA  ", 5}, {"ALPHA ", 1}, {"GAMMA ", 3}, {"BETA  ", 2}, {"ALPS  ", 4}});
    return file;
}

struct SeekCase {
    bool Descending;
    const char* Prefix;
    bool Found;
    const char* Key;  // where the cursor stands; nullptr past the end
    std::uint32_t RecNo;
};

TEST(CdxCursorSeek, PrefixAndSoftPositions)
{
    const SeekCase cases[] = {
            {false, "AL", true, "ALPHA ", 1},      {false, "ALPS", true, "ALPS  ", 4},
            {false, "B", true, "BETA  ", 2},       {false, "BETA  ", true, "BETA  ", 2},
            {false, "BETA  X", true, "BETA  ", 2},  // longer than the key: cut
            {false, "BETB", false, "GAMMA ", 3},   {false, "C", false, "GAMMA ", 3},
            {false, "Z", false, nullptr, 0},       {false, "", true, "ALPHA ", 1},
            {true, "B", true, "BETA  ", 5},        {true, "AL", true, "ALPS  ", 4},
            {true, "C", false, "BETA  ", 5},       {true, "Z", false, "GAMMA ", 3},
            {true, "0", false, nullptr, 0},        {true, "", true, "GAMMA ", 3},
    };
    for (const SeekCase& c : cases) {
        auto file = Names(c.Descending);
        CdxCursor cursor(*file->FindTag("NAME"));
        SCOPED_TRACE(String(c.Descending ? "descending " : "ascending ") + "\"" + c.Prefix + "\"");
        EXPECT_EQ(cursor.Seek(c.Prefix), c.Found);
        ASSERT_EQ(cursor.Valid(), c.Key != nullptr);
        if (c.Key) {
            EXPECT_EQ(cursor.Key(), c.Key);
            EXPECT_EQ(cursor.RecNo(), c.RecNo);
        }
    }
}

TEST(CdxCursorSeek, NumericKeysSeekByValue)
{
    auto file = CdxIndexFile::Create(std::make_unique<CdxMemoryStore>());
    CdxTag& tag = file->CreateTag({"AMOUNT", "amount", "", CdxKeyType::Numeric, 0, false, false, false});
    std::vector<CdxKeyEntry> entries;
    for (int i = -50; i <= 50; ++i)
        entries.push_back({CdxNumericKey(i * 1.5), std::uint32_t(i + 100)});
    tag.Build(entries);
    CdxCursor cursor(tag);
    EXPECT_TRUE(cursor.Seek(CdxNumericKey(-3)));
    EXPECT_EQ(cursor.RecNo(), 98u);
    EXPECT_FALSE(cursor.Seek(CdxNumericKey(-2.9)));
    EXPECT_EQ(CdxNumericValue(cursor.Key()), -1.5);
    EXPECT_TRUE(cursor.Seek(CdxNumericKey(0)));
    EXPECT_EQ(cursor.RecNo(), 100u);
}

// Tag N over the integers 0, step, 2 step, ... for records 1, 2, 3, ...
std::unique_ptr<CdxIndexFile> Integers(bool descending, std::int32_t count, std::int32_t step)
{
    auto file = CdxIndexFile::Create(std::make_unique<CdxMemoryStore>());
    CdxTag& tag = file->CreateTag({"N", "n", "", CdxKeyType::Integer, 0, false, false, descending});
    std::vector<CdxKeyEntry> entries;
    for (std::int32_t i = 0; i < count; ++i)
        entries.push_back({CdxIntegerKey(i * step), std::uint32_t(i + 1)});
    tag.Build(entries);
    return file;
}

class CdxCursorWalk : public testing::TestWithParam<bool> { };

TEST_P(CdxCursorWalk, PositionsAcrossManyLeaves)
{
    const bool descending = GetParam();
    auto file = Integers(descending, 5000, 1);
    CdxTag& tag = *file->FindTag("N");
    CdxCursor cursor(tag);
    for (std::uint32_t position : {0u, 1u, 777u, 2500u, 4998u, 4999u}) {
        ASSERT_TRUE(cursor.GoToPosition(position));
        std::int32_t value = descending ? 4999 - std::int32_t(position) : std::int32_t(position);
        EXPECT_EQ(CdxIntegerValue(cursor.Key()), value);
        EXPECT_EQ(cursor.Position(), position);
    }
    EXPECT_FALSE(cursor.GoToPosition(5000));
    EXPECT_FALSE(cursor.Valid());
    ASSERT_TRUE(cursor.GoTo(CdxIntegerKey(1234), 1235));
    EXPECT_EQ(cursor.Position(), descending ? 4999u - 1234 : 1234u);
    EXPECT_FALSE(cursor.GoTo(CdxIntegerKey(1234), 99));
    EXPECT_TRUE(cursor.Last());
    EXPECT_FALSE(cursor.Next());
    EXPECT_TRUE(cursor.First());
    EXPECT_FALSE(cursor.Prev());
}

TEST_P(CdxCursorWalk, KeepsItsPlaceWhileTheTagChanges)
{
    const bool descending = GetParam();
    auto file = Integers(descending, 3000, 10);
    CdxTag& tag = *file->FindTag("N");
    CdxCursor cursor(tag);
    ASSERT_TRUE(cursor.GoTo(CdxIntegerKey(15000), 1501));
    // Inserts around the cursor split its leaf; it still steps to its neighbour.
    for (std::int32_t i = 1; i < 400; ++i)
        tag.Insert(CdxIntegerKey(15000 - i * 5 - 1), 9000 + std::uint32_t(i));
    ASSERT_TRUE(cursor.Next());
    EXPECT_EQ(CdxIntegerValue(cursor.Key()), descending ? 14994 : 15010);
    // The current entry deleted: the next step lands where it would have followed.
    tag.Delete(cursor.Key(), cursor.RecNo());
    ASSERT_TRUE(cursor.Next());
    EXPECT_EQ(CdxIntegerValue(cursor.Key()), descending ? 14990 : 15020);
    tag.Delete(cursor.Key(), cursor.RecNo());
    ASSERT_TRUE(cursor.Prev());
    EXPECT_EQ(CdxIntegerValue(cursor.Key()), 15000);
}

INSTANTIATE_TEST_SUITE_P(Directions, CdxCursorWalk, testing::Values(false, true),
                         [](const auto& info) { return String(info.param ? "Descending" : "Ascending"); });

}  // namespace
