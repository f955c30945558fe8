// Two openers of one index file, as two computers on a share: each sees the
// other's changes after Refresh, which the caller makes under the index lock.

#include "tests/xbengine/cdx/cdxtesting.h"

namespace {

class CdxShare : public CdxScratch {
protected:
    // The file made with an integer tag ID by the first opener, then opened by the second.
    void OpenTwice(const char* name)
    {
        const String path = Path(name);
        first = CdxIndexFile::Create(std::make_unique<CdxFileStore>(path, CdxFileStore::Mode::Create));
        first->CreateTag({"ID", "ID", "", CdxKeyType::Integer, 0, false, false, false});
        second = CdxIndexFile::Open(std::make_unique<CdxFileStore>(path, CdxFileStore::Mode::Open));
        second->FindTag("ID")->SetKeyType(CdxKeyType::Integer);
    }

    std::unique_ptr<CdxIndexFile> first, second;
};

TEST_F(CdxShare, EachOpenerSeesTheOthersKeysAfterRefresh)
{
    OpenTwice("shared.cdx");
    CdxTag& a = *first->FindTag("ID");
    CdxTag& b = *second->FindTag("ID");

    CdxEntries expected;
    for (std::int32_t i = 0; i < 3000; ++i) {
        // Alternate writers; the tree grows several levels and its root moves.
        CdxIndexFile& writer = i % 2 ? *second : *first;
        CdxTag& tag = i % 2 ? b : a;
        writer.Refresh();
        ASSERT_TRUE(tag.Insert(CdxIntegerKey(i * 7 % 3000), std::uint32_t(i + 1)));
        expected.emplace_back(CdxIntegerKey(i * 7 % 3000), std::uint32_t(i + 1));
    }
    std::sort(expected.begin(), expected.end());
    second->Refresh();
    first->Refresh();
    EXPECT_EQ(CdxList(a), expected);
    EXPECT_EQ(CdxList(b), expected);

    // A cursor of one opener finds its place again after the other's deletes.
    CdxCursor cursor(a);
    ASSERT_TRUE(cursor.Seek(CdxIntegerKey(1500)));
    for (std::int32_t value = 1501; value < 1510; ++value)
        b.Delete(CdxIntegerKey(value),
                 std::uint32_t(std::find_if(expected.begin(), expected.end(), [&](const auto& e) {
                                   return e.first == CdxIntegerKey(value);
                               })->second));
    first->Refresh();
    ASSERT_TRUE(cursor.Next());
    EXPECT_EQ(CdxIntegerValue(cursor.Key()), 1510);
}

}  // namespace

namespace {

TEST_F(CdxShare, ChangesInABatchRaiseTheCounterOnceAndAreSeenAfterIt)
{
    OpenTwice("batch.cdx");
    CdxIndexFile& writer = *first;
    CdxIndexFile& reader = *second;
    CdxTag& mine = *writer.FindTag("ID");
    CdxTag& theirs = *reader.FindTag("ID");

    // Each hold of the file begins with Refresh, under the index lock.
    writer.Refresh();
    std::uint32_t before = writer.ChangeCounter();
    writer.BeginChanges();
    for (std::int32_t i = 0; i < 500; ++i)
        ASSERT_TRUE(mine.Insert(CdxIntegerKey(i), std::uint32_t(i + 1)));
    writer.EndChanges();
    EXPECT_EQ(writer.ChangeCounter(), before + 1);
    reader.Refresh();
    EXPECT_EQ(theirs.Count(), 500u);
    EXPECT_EQ(CdxList(theirs), CdxList(mine));

    // A batch without changes writes nothing.
    writer.BeginChanges();
    writer.EndChanges();
    EXPECT_EQ(writer.ChangeCounter(), before + 1);

    // Changes outside a batch in the same hold raise it no more; the next
    // hold's first change does, and the reader sees its header changed.
    ASSERT_TRUE(mine.Insert(CdxIntegerKey(600), 600));
    EXPECT_EQ(writer.ChangeCounter(), before + 1);
    writer.Refresh();
    ASSERT_TRUE(mine.Insert(CdxIntegerKey(601), 601));
    ASSERT_TRUE(mine.Delete(CdxIntegerKey(600), 600));
    EXPECT_EQ(writer.ChangeCounter(), before + 2);
    EXPECT_FALSE(reader.HeaderUnchanged());
    reader.Refresh();
    EXPECT_EQ(theirs.Count(), 501u);
    EXPECT_EQ(CdxList(theirs), CdxList(mine));
}

}  // namespace
