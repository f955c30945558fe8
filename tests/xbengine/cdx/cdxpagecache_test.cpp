// The index file's page cache: the nodes decoded from its pages are shared by
// readers, count against its memory budget, and never outlive a change of
// their page.

#include "tests/xbengine/cdx/cdxtesting.h"

namespace {

// The key of record recNo: its number in ten digits.
String Numbered(std::uint32_t recNo)
{
    String digits = std::to_string(recNo);
    return String(10 - digits.size(), '0') + digits;
}

// A character tag K of count keys, one for each record.
std::unique_ptr<CdxIndexFile> NumberedTag(std::uint32_t count)
{
    auto file = CdxIndexFile::Create(std::make_unique<CdxMemoryStore>());
    std::vector<CdxKeyEntry> entries;
    for (std::uint32_t recNo = 1; recNo <= count; ++recNo)
        entries.push_back({Numbered(recNo), recNo});
    file->CreateTag({"K", "K", "", CdxKeyType::Character, 10, false, false, false}).Build(entries);
    return file;
}

TEST(CdxPageCache, DecodedNodesCountAgainstTheBudget)
{
    auto file = NumberedTag(20000);
    CdxTag& tag = *file->FindTag("K");
    file->Refresh(true);
    tag.Count();  // reads the leaves as pages only
    const std::size_t pagesOnly = file->CachedBytes();
    ASSERT_EQ(CdxList(tag).size(), 20000u);
    EXPECT_GT(file->CachedBytes(), pagesOnly + pagesOnly / 2);

    // A budget far below the tag: the walk stays whole and the cache within it.
    constexpr std::size_t budget = 64 << 10;
    file->SetCacheBytes(budget);
    EXPECT_LE(file->CachedBytes(), budget);
    CdxEntries walked = CdxList(tag, true);
    ASSERT_EQ(walked.size(), 20000u);
    EXPECT_EQ(walked[12344].second, 12345u);
    EXPECT_LE(file->CachedBytes(), budget);

    // Changes under it, their leaves decoded without room to keep them: the
    // cache stays within it, and the tag holds what was changed.
    for (std::uint32_t recNo = 1; recNo <= 20000; recNo += 37) {
        ASSERT_TRUE(tag.Delete(Numbered(recNo), recNo));
        ASSERT_TRUE(tag.Insert(Numbered(recNo + 20000), recNo));
    }
    EXPECT_LE(file->CachedBytes(), budget);
    walked = CdxList(tag, true);
    ASSERT_EQ(walked.size(), 20000u);
    EXPECT_EQ(walked.back(), CdxEntries::value_type(Numbered(39981), 19981u));
    EXPECT_EQ(walked[0].second, 2u);
}

TEST(CdxPageCache, AReaderNeverSeesANodeItsPageNoLongerHolds)
{
    auto file = NumberedTag(5000);
    CdxTag& tag = *file->FindTag("K");
    CdxCursor reader(tag);
    ASSERT_TRUE(reader.Seek(Numbered(2500)));
    // Each change rewrites the leaf the reader shares; the reader keeps its
    // place, and a seek afterwards meets the page as written.
    for (std::uint32_t recNo = 2501; recNo <= 2600; ++recNo)
        ASSERT_TRUE(tag.Delete(Numbered(recNo), recNo));
    ASSERT_TRUE(tag.Insert(Numbered(2550), 9999));
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.Key(), Numbered(2550));
    EXPECT_EQ(reader.RecNo(), 9999u);
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.Key(), Numbered(2601));
    CdxCursor seeker(tag);
    EXPECT_FALSE(seeker.Seek(Numbered(2599)));
    EXPECT_EQ(seeker.Key(), Numbered(2601));
}

}  // namespace
