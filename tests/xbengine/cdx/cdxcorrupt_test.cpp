// Damaged index files give the corrupt-index error after bounded work.

#include <algorithm>
#include <functional>

#include "platform/xbengine/cdx/cdxerror.h"
#include "tests/xbengine/cdx/cdxsample.h"
#include "tests/xbengine/cdx/cdxtesting.h"

namespace {

std::uint32_t LE32(const std::vector<Byte>& b, std::size_t at)
{
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

void PutLE32(std::vector<Byte>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = Byte(v >> (8 * i));
}

void PutBE32(std::vector<Byte>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = Byte(v >> (8 * (3 - i)));
}

// Where the sample keeps its pieces.
struct Layout {
    std::size_t NameHeader, IdHeader, IdRoot, IdFirstLeaf, IdSecondLeaf;
};

Layout Find(const std::vector<Byte>& bytes)
{
    auto file = CdxOpenSample(bytes);
    Layout layout {};
    layout.NameHeader = file->FindTag("NAME")->HeaderOffset();
    layout.IdHeader = file->FindTag("ID")->HeaderOffset();
    layout.IdRoot = LE32(bytes, layout.IdHeader);
    // First two children of the interior root: key 4 bytes, then record and child, big-endian.
    auto child = [&](std::size_t i) {
        std::size_t at = layout.IdRoot + 12 + i * 12 + 8;
        return std::size_t(bytes[at]) << 24 | std::size_t(bytes[at + 1]) << 16 |
               std::size_t(bytes[at + 2]) << 8 | bytes[at + 3];
    };
    layout.IdFirstLeaf = child(0);
    layout.IdSecondLeaf = child(1);
    return layout;
}

// Opens the file and uses every tag in every way.
void UseEverything(std::vector<Byte> bytes)
{
    auto file = CdxOpenSample(std::move(bytes));
    for (CdxTag* tag : file->Tags()) {
        tag->Count();
        CdxList(*tag);
        CdxList(*tag, true);
        CdxCursor cursor(*tag);
        cursor.Seek(String(std::size_t(tag->KeyLength()), 'A'));
        tag->Insert(String(std::size_t(tag->KeyLength()), 'B'), 999);
        tag->Delete(String(std::size_t(tag->KeyLength()), 'B'), 999);
    }
}

TEST(CdxCorrupt, DamagedFilesRaiseTheCorruptError)
{
    const std::vector<Byte> sample = CdxSampleBytes();
    ASSERT_NO_THROW(UseEverything(sample));
    const Layout at = Find(sample);
    ASSERT_NE(at.IdRoot, 0u);
    ASSERT_NE(at.IdFirstLeaf, at.IdSecondLeaf);

    struct Case {
        const char* Name;
        std::function<void(std::vector<Byte>&)> Damage;
    };
    const Case cases[] = {
            {"file signature", [&](auto& b) { b[15] = 0x7A; }},
            {"not a compound file", [&](auto& b) { b[12] = 4; }},
            {"tag signature", [&](auto& b) { b[at.IdHeader + 15] = 0; }},
            {"tag key length 0", [&](auto& b) { b[at.IdHeader + 12] = 0; }},
            {"tag key length 300", [&](auto& b) { PutLE32(b, at.IdHeader + 12, 300 | 0x01600000); }},
            {"tag expression outside the header",
             [&](auto& b) {
                 b[at.NameHeader + 508] = 0xFE;
                 b[at.NameHeader + 509] = 1;
             }},
            {"garbage root", [&](auto& b) { PutLE32(b, at.IdHeader, 0x12345678); }},
            {"root inside the file header", [&](auto& b) { PutLE32(b, at.IdHeader, 0x200); }},
            {"root off a page boundary",
             [&](auto& b) { PutLE32(b, at.IdHeader, std::uint32_t(at.IdRoot + 3)); }},
            {"tag header outside the file", [&](auto& b) { PutLE32(b, 0x400 + 24, 0x00FFFF00); }},
            {"interior child is the root",
             [&](auto& b) { PutBE32(b, at.IdRoot + 12 + 8, std::uint32_t(at.IdRoot)); }},
            {"leaf links back to itself",
             [&](auto& b) { PutLE32(b, at.IdSecondLeaf + 8, std::uint32_t(at.IdFirstLeaf)); }},
            {"leaf links backward to itself",
             [&](auto& b) { PutLE32(b, at.IdFirstLeaf + 4, std::uint32_t(at.IdSecondLeaf)); }},
            {"leaf links to the header", [&](auto& b) { PutLE32(b, at.IdFirstLeaf + 8, 0x600); }},
            {"leaf key count",
             [&](auto& b) {
                 b[at.IdFirstLeaf + 2] = 0xFF;
                 b[at.IdFirstLeaf + 3] = 0x7F;
             }},
            {"leaf entry width 0", [&](auto& b) { b[at.IdFirstLeaf + 23] = 0; }},
            {"leaf bit widths too wide", [&](auto& b) { b[at.IdFirstLeaf + 20] = 40; }},
            {"leaf duplicate count beyond the key",
             [&](auto& b) {
                 b[at.IdFirstLeaf + 21] =
                         8;  // 8 duplicate bits: the byte above the record number is all ones
                 b[at.IdFirstLeaf + 22] = 0;
                 b[at.IdFirstLeaf + 20] = Byte(b[at.IdFirstLeaf + 23] * 8 - 8);
                 for (std::size_t i = 0; i < 8; ++i)
                     b[at.IdFirstLeaf + 24 + i] = 0xFF;
             }},
            {"leaf keys out of order",
             [&](auto& b) {
                 // Two keys inside the leaf the probe key goes to change places.
                 const Byte fill = CdxFillByte(CdxKeyType::Integer);
                 Byte* page = b.data() + at.IdFirstLeaf;
                 CdxNode leaf;
                 CdxDecodeNode(page, std::uint32_t(at.IdFirstLeaf), 4, fill, leaf);
                 std::swap_ranges(leaf.Keys.begin() + 4, leaf.Keys.begin() + 8, leaf.Keys.begin() + 8);
                 CdxEncodeNode(leaf, fill, page);
             }},
            {"interior key count", [&](auto& b) { b[at.IdRoot + 2] = 200; }},
            {"file cut short", [&](auto& b) { b.resize(at.IdSecondLeaf + 100); }},
    };
    for (const Case& c : cases) {
        std::vector<Byte> bytes = sample;
        c.Damage(bytes);
        EXPECT_THROW(UseEverything(bytes), ECdxCorrupt) << c.Name;
    }
}

TEST(CdxCorrupt, ABrokenFreeListIsDroppedNotFollowed)
{
    std::vector<Byte> bytes = CdxSampleBytes();
    PutLE32(bytes, 4, 0x7FFFFE00);  // free list head far outside the file
    auto file = CdxOpenSample(bytes);
    CdxTag& name = *file->FindTag("NAME");
    for (std::uint32_t recNo = 100; recNo < 400; ++recNo)
        name.Insert(CdxCharacterKey(std::to_string(recNo) + "X", 12), recNo);
    EXPECT_EQ(name.Count(), 320u);
    EXPECT_EQ(file->FindTag("ID")->Count(), 400u);
}

// A damaged file in which two tags of different key lengths share a page:
// each tag reads it with its own key length, whichever read it first.
TEST(CdxCorrupt, APageTwoTagsShareIsReadByEachTagAsItsOwn)
{
    std::vector<Byte> bytes;
    std::uint32_t shortRoot = 0, longHeader = 0;
    {
        auto owned = std::make_unique<CdxMemoryStore>();
        CdxMemoryStore& store = *owned;
        auto file = CdxIndexFile::Create(std::move(owned));
        CdxTag& shorter = file->CreateTag({"SHORT", "S", "", CdxKeyType::Character, 4, false, false, false});
        CdxTag& longer = file->CreateTag({"LONG", "L", "", CdxKeyType::Character, 8, false, false, false});
        for (std::uint32_t recNo = 1; recNo <= 3; ++recNo) {
            shorter.Insert(CdxCharacterKey(String(1, char('A' + recNo)), 4), recNo);
            longer.Insert(CdxCharacterKey("LONG" + std::to_string(recNo), 8), recNo);
        }
        bytes = store.Bytes();
        shortRoot = LE32(bytes, shorter.HeaderOffset());
        longHeader = longer.HeaderOffset();
    }
    PutLE32(bytes, longHeader, shortRoot);
    const CdxEntries shortKeys = {{"B   ", 1}, {"C   ", 2}, {"D   ", 3}};

    auto file = CdxIndexFile::Open(std::make_unique<CdxMemoryStore>(bytes));
    CdxTag& shorter = *file->FindTag("SHORT");
    CdxTag& longer = *file->FindTag("LONG");
    EXPECT_EQ(CdxList(shorter), shortKeys);
    const CdxEntries asLong = CdxList(longer);
    ASSERT_EQ(asLong.size(), 3u);
    EXPECT_EQ(asLong[0].first.size(), 8u);
    EXPECT_EQ(CdxList(shorter), shortKeys);
    EXPECT_EQ(CdxList(longer), asLong);
}

}  // namespace
