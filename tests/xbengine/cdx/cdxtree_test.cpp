// The B-tree of a tag under inserts, deletes and bulk builds, against a
// sorted reference model.

#include <random>
#include <set>
#include <tuple>

#include "platform/xbengine/cdx/cdxerror.h"
#include "tests/xbengine/cdx/cdxtesting.h"

namespace {

using Model = std::set<std::pair<String, std::uint32_t>>;

struct TypeCase {
    const char* Name;
    CdxKeyType Type;
    int KeyLength;
    bool Descending;
    String (*MakeKey)(std::mt19937& random, int keyLength);
};

String RandomText(std::mt19937& random, int keyLength)
{
    // Few letters, shared prefixes, trailing blanks and a byte above 0x7F.
    static const char letters[] = {'A', 'B', ' ', '\xE9'};
    int length = std::uniform_int_distribution<int>(0, std::min(keyLength, 12))(random);
    String text;
    for (int i = 0; i < length; ++i)
        text += letters[random() % 4];
    return CdxCharacterKey(text, keyLength);
}

const TypeCase TypeCases[] = {
        {"Character", CdxKeyType::Character, 30, false, RandomText},
        {"LongCharacter", CdxKeyType::Character, 240, false, RandomText},
        {"DescendingCharacter", CdxKeyType::Character, 30, true, RandomText},
        {"Numeric", CdxKeyType::Numeric, 8, false,
         [](std::mt19937& r, int) { return CdxNumericKey((int(r() % 2001) - 1000) / 8.0); }},
        {"Date", CdxKeyType::Date, 8, false,
         [](std::mt19937& r, int) {
             return CdxDateKey(r() % 10 == 0 ? 0 : 2450000 + std::int32_t(r() % 3000));
         }},
        {"Integer", CdxKeyType::Integer, 4, false,
         [](std::mt19937& r, int) { return CdxIntegerKey(std::int32_t(r() % 600) - 300); }},
        {"Logical", CdxKeyType::Logical, 1, false,
         [](std::mt19937& r, int) { return CdxLogicalKey(r() % 2); }},
};

CdxEntries Expected(const Model& model, bool descending)
{
    CdxEntries entries(model.begin(), model.end());
    if (descending)
        std::reverse(entries.begin(), entries.end());
    return entries;
}

class CdxTree : public CdxScratch, public testing::WithParamInterface<TypeCase> {
protected:
    void ChangeAndCompare(std::size_t cacheBytes);
};

// With the default cache the leaves a change reads stay decoded; with a
// small one they are changed from their pages alone.
TEST_P(CdxTree, RandomChangesFollowTheModel)
{
    for (std::size_t cacheBytes : {CdxIndexFile::DefaultCacheBytes, std::size_t(16) * CdxPageSize})
        ASSERT_NO_FATAL_FAILURE(ChangeAndCompare(cacheBytes)) << cacheBytes << " bytes of cache";
}

void CdxTree::ChangeAndCompare(std::size_t cacheBytes)
{
    const TypeCase& c = GetParam();
    std::mt19937 random(20261210);
    Model model;
    std::uint32_t fileBytes = 0;
    {
        auto file = CdxIndexFile::Create(
                std::make_unique<CdxFileStore>(Path("t.cdx"), CdxFileStore::Mode::Create));
        file->SetCacheBytes(cacheBytes);
        CdxTag& tag = file->CreateTag({"T", "expr", "", c.Type, c.KeyLength, false, false, c.Descending});
        // Grow, shrink to nothing, grow again: splits, joins and root changes.
        const std::size_t targets[] = {1500, 0, 700};
        std::uint32_t nextRecNo = 1;
        for (std::size_t target : targets) {
            for (int step = 0; model.size() != target; ++step) {
                bool grow = model.size() < target ? random() % 4 != 0 : random() % 4 == 0;
                if (grow) {
                    // Record numbers sometimes far apart, so pages need wide record fields.
                    std::uint32_t recNo = random() % 8 == 0 ? nextRecNo + 100000000u : nextRecNo;
                    ++nextRecNo;
                    String key = c.MakeKey(random, c.KeyLength);
                    ASSERT_TRUE(tag.Insert(key, recNo));
                    model.emplace(key, recNo);
                } else if (!model.empty()) {
                    auto it = std::next(model.begin(), std::ptrdiff_t(random() % model.size()));
                    ASSERT_TRUE(tag.Delete(it->first, it->second));
                    model.erase(it);
                }
                ASSERT_EQ(CdxList(tag), Expected(model, c.Descending)) << "step " << step;
                if (step % 97 == 0) {
                    ASSERT_EQ(CdxList(tag, true), Expected(model, c.Descending));
                    ASSERT_EQ(tag.Count(), model.size());
                }
            }
        }
        EXPECT_FALSE(tag.Delete(c.MakeKey(random, c.KeyLength), nextRecNo + 7));
        fileBytes = std::uint32_t(file->Store().Length());
    }
    auto file = CdxIndexFile::Open(std::make_unique<CdxFileStore>(Path("t.cdx"), CdxFileStore::Mode::Open));
    CdxTag& tag = *file->FindTag("t");
    tag.SetKeyType(c.Type);
    EXPECT_EQ(tag.Descending(), c.Descending);
    EXPECT_EQ(CdxList(tag), Expected(model, c.Descending));
    EXPECT_EQ(CdxList(tag, true), Expected(model, c.Descending));
    // Pages freed while shrinking were reused while growing again: the file
    // holds little more than the largest tree did.
    EXPECT_LT(fileBytes, 1500u * (std::uint32_t(c.KeyLength) + 8) * 4 + 64 * 1024);
}

TEST_P(CdxTree, BuildMatchesInserts)
{
    const TypeCase& c = GetParam();
    std::mt19937 random(7);
    std::vector<CdxKeyEntry> entries;
    for (std::uint32_t recNo = 1; recNo <= 3000; ++recNo)
        entries.push_back({c.MakeKey(random, c.KeyLength), recNo});
    auto file =
            CdxIndexFile::Create(std::make_unique<CdxFileStore>(Path("b.cdx"), CdxFileStore::Mode::Create));
    CdxTag& built = file->CreateTag({"BUILT", "expr", "", c.Type, c.KeyLength, false, false, c.Descending});
    CdxTag& grown = file->CreateTag({"GROWN", "expr", "", c.Type, c.KeyLength, false, false, c.Descending});
    built.Build(entries);
    for (const CdxKeyEntry& entry : entries)
        grown.Insert(entry.Key, entry.RecNo);
    Model model;
    for (const CdxKeyEntry& entry : entries)
        model.emplace(entry.Key, entry.RecNo);
    EXPECT_EQ(CdxList(built), Expected(model, c.Descending));
    EXPECT_EQ(CdxList(grown), Expected(model, c.Descending));
    // A built tree takes changes like any other, and a rebuild replaces it.
    for (std::size_t i = 0; i < entries.size(); i += 3) {
        ASSERT_TRUE(built.Delete(entries[i].Key, entries[i].RecNo));
        model.erase({entries[i].Key, entries[i].RecNo});
    }
    EXPECT_EQ(CdxList(built, true), Expected(model, c.Descending));
    built.Build({});
    EXPECT_EQ(built.Count(), 0u);
    EXPECT_EQ(CdxList(grown).size(), 3000u);
}

INSTANTIATE_TEST_SUITE_P(Types, CdxTree, testing::ValuesIn(TypeCases),
                         [](const auto& info) { return String(info.param.Name); });

// Counts page writes, to show that a change touches only its path.
class CountingStore : public CdxMemoryStore {
public:
    void WritePage(std::uint32_t offset, const Byte* page) override
    {
        ++Writes;
        CdxMemoryStore::WritePage(offset, page);
    }
    int Writes = 0;
};

TEST(CdxTreeWrites, AChangeWritesOnlyTheNodesOnItsPath)
{
    auto owned = std::make_unique<CountingStore>();
    CountingStore& store = *owned;
    auto file = CdxIndexFile::Create(std::move(owned));
    CdxTag& tag = file->CreateTag({"N", "n", "", CdxKeyType::Integer, 0, false, false, false});
    std::vector<CdxKeyEntry> entries;
    for (std::int32_t i = 0; i < 40000; ++i)
        entries.push_back({CdxIntegerKey(i * 2), std::uint32_t(i + 1)});
    tag.Build(entries);
    ASSERT_GT(store.Length(), 100u * CdxPageSize);
    int most = 0;
    for (std::int32_t i = 0; i < 2000; ++i) {
        store.Writes = 0;
        tag.Insert(CdxIntegerKey(i * 40 + 1), 50000 + std::uint32_t(i));
        most = std::max(most, store.Writes);
    }
    EXPECT_LE(most, 8);
    for (std::int32_t i = 0; i < 2000; ++i) {
        store.Writes = 0;
        tag.Delete(CdxIntegerKey(i * 40 + 1), 50000 + std::uint32_t(i));
        most = std::max(most, store.Writes);
    }
    EXPECT_LE(most, 8);
    EXPECT_EQ(tag.Count(), 40000u);
}

// What a scan of a leaf page must find: the place of (key, recNo) and the
// entries around it and at the ends, as the decoded leaf holds them.
void ExpectScanAgrees(const CdxLeafScan& scan, const CdxNode& leaf, const Byte* key, std::uint32_t recNo)
{
    const std::size_t len = std::size_t(leaf.KeyLength), count = leaf.Count();
    auto same = [&](const CdxLeafEntry& entry, std::size_t i) {
        return std::memcmp(entry.Key, leaf.Key(i), len) == 0 && entry.RecNo == leaf.RecNos[i];
    };
    ASSERT_EQ(scan.Count, count);
    ASSERT_EQ(scan.At, leaf.LowerBound(key, recNo));
    ASSERT_TRUE(scan.InOrder);
    ASSERT_TRUE(scan.FreeBytesAgree);
    if (count == 0)
        return;
    EXPECT_TRUE(same(scan.First, 0));
    EXPECT_TRUE(same(scan.Last, count - 1));
    EXPECT_TRUE(scan.At == 0 || same(scan.Before, scan.At - 1));
    EXPECT_TRUE(scan.At >= count || same(scan.Here, scan.At));
    EXPECT_TRUE(scan.At + 1 >= count || same(scan.After, scan.At + 1));
    std::vector<std::uint32_t> rest = leaf.RecNos;
    EXPECT_EQ(scan.MaxRecNo, *std::max_element(rest.begin(), rest.end()));
    if (scan.At < count)
        rest.erase(rest.begin() + std::ptrdiff_t(scan.At));
    EXPECT_EQ(scan.RestMaxRecNo, rest.empty() ? 0 : *std::max_element(rest.begin(), rest.end()));
}

// A leaf changed in place, from one scan of its page, must read back byte for
// byte as the page a whole encoding of its entries gives, and be changed in
// place exactly where that encoding keeps the page's bit widths. The changes
// take keys sharing prefixes, equal keys, both ends of the page and record
// numbers that need wider entries, until pages fill.
TEST(CdxLeafSplice, GivesTheBytesOfAWholeEncoding)
{
    for (const TypeCase& c : {TypeCases[0], TypeCases[1], TypeCases[4], TypeCases[5], TypeCases[6]}) {
        SCOPED_TRACE(c.Name);
        const Byte fill = CdxFillByte(c.Type);
        std::mt19937 random(31);
        CdxNode leaf;
        leaf.KeyLength = c.KeyLength;
        leaf.Attributes = CdxNodeLeaf;
        int inPlace = 0, full = 0;
        for (int step = 0; step < 4000; ++step) {
            Byte page[CdxPageSize];
            ASSERT_TRUE(CdxEncodeNode(leaf, fill, page));
            const bool insert = leaf.Count() == 0 || random() % 3 != 0;
            String key;
            std::uint32_t recNo = 0;
            if (insert) {
                // Now and then a record number that needs wider entries.
                recNo = random() % 50 == 0 ? 70000u + random() % 9000000u : 1 + random() % 60000u;
                key = c.MakeKey(random, c.KeyLength);
                if (leaf.Count() > 0 && random() % 8 == 0) {
                    // A key the page holds already, or one below or above every key.
                    const std::size_t i = random() % 2 ? 0 : leaf.Count() - 1;
                    key.assign(reinterpret_cast<const char*>(leaf.Key(i)), std::size_t(c.KeyLength));
                    recNo = random() % 2 ? leaf.RecNos[i] + 1
                                         : std::max<std::uint32_t>(leaf.RecNos[i], 1) - 1;
                }
            } else {
                const std::size_t i =
                        random() % 4 == 0 ? (random() % 2 ? 0 : leaf.Count() - 1) : random() % leaf.Count();
                key.assign(reinterpret_cast<const char*>(leaf.Key(i)), std::size_t(c.KeyLength));
                recNo = leaf.RecNos[i];
            }
            const Byte* k = reinterpret_cast<const Byte*>(key.data());
            CdxLeafScan scan;
            CdxScanLeaf(page, 0, c.KeyLength, fill, k, recNo, scan);
            ASSERT_NO_FATAL_FAILURE(ExpectScanAgrees(scan, leaf, k, recNo)) << "step " << step;
            // The scan of the leaf decoded finds the same.
            CdxNode decoded;
            CdxDecodeNode(page, 0, c.KeyLength, fill, decoded);
            CdxLeafScan fromDecoded;
            CdxScanDecodedLeaf(page, decoded, fill, k, recNo, fromDecoded);
            ASSERT_NO_FATAL_FAILURE(ExpectScanAgrees(fromDecoded, leaf, k, recNo)) << "step " << step;
            ASSERT_EQ(std::make_tuple(fromDecoded.HereKeyEnd, fromDecoded.KeyFloor, fromDecoded.HereStored,
                                      fromDecoded.AfterStored),
                      std::make_tuple(scan.HereKeyEnd, scan.KeyFloor, scan.HereStored, scan.AfterStored))
                    << "step " << step;
            const std::size_t at = scan.At;
            const bool present = at < leaf.Count() &&
                                 CdxCompare(leaf.Key(at), leaf.RecNos[at], k, recNo, c.KeyLength) == 0;
            if (insert == present)
                continue;
            CdxNode changed = leaf;
            if (insert)
                changed.Insert(at, k, recNo, 0);
            else
                changed.Erase(at, at + 1);
            Byte whole[CdxPageSize];
            const bool fits = CdxEncodeNode(changed, fill, whole);
            const bool sameWidths = fits && std::memcmp(page + 20, whole + 20, 4) == 0;
            Byte spliced[CdxPageSize];
            std::memset(spliced, 0xA5, CdxPageSize);
            ASSERT_EQ(CdxSpliceLeaf(page, scan, k, recNo, insert, c.KeyLength, fill, spliced), sameWidths)
                    << "step " << step;
            if (sameWidths) {
                ASSERT_EQ(0, std::memcmp(spliced, whole, CdxPageSize)) << "step " << step;
                ++inPlace;
            }
            if (fits) {
                leaf = std::move(changed);
            } else {
                leaf.Erase(0, leaf.Count() / 2);  // full: start over from a half-empty page
                ++full;
            }
        }
        EXPECT_GT(inPlace, 1500);
        EXPECT_GT(full, 0);
    }
}

// The scan refuses what the check of a decoded leaf refuses: keys out of
// order, an entry given twice, a free-byte count that does not fit the keys.
TEST(CdxLeafSplice, TheScanFindsWhatTheCheckFinds)
{
    const Byte fill = CdxFillByte(CdxKeyType::Character);
    const Byte* probe = reinterpret_cast<const Byte*>("MM  ");
    struct Case {
        const char* Name;
        CdxEntries Entries;
        bool InOrder;
    };
    const Case cases[] = {
            {"in order", {{"AB  ", 1}, {"AB  ", 2}, {"ABC ", 1}, {"B   ", 9}}, true},
            {"keys turned round", {{"AB  ", 1}, {"ABC ", 1}, {"AB  ", 2}, {"B   ", 9}}, false},
            {"record numbers turned round", {{"AB  ", 2}, {"AB  ", 1}}, false},
            {"an entry twice", {{"AB  ", 1}, {"AB  ", 1}}, false},
    };
    for (const Case& c : cases) {
        CdxNode leaf;
        leaf.KeyLength = 4;
        leaf.Attributes = CdxNodeLeaf;
        for (const auto& [key, recNo] : c.Entries)
            leaf.Insert(leaf.Count(), reinterpret_cast<const Byte*>(key.data()), recNo, 0);
        Byte page[CdxPageSize];
        ASSERT_TRUE(CdxEncodeNode(leaf, fill, page));
        CdxLeafScan scan;
        CdxScanLeaf(page, 0, 4, fill, probe, 1, scan);
        EXPECT_EQ(scan.InOrder, c.InOrder) << c.Name;
        EXPECT_TRUE(scan.FreeBytesAgree) << c.Name;
        page[2] = Byte(page[2] - 1);  // one key fewer than the page stores
        CdxScanLeaf(page, 0, 4, fill, probe, 1, scan);
        EXPECT_FALSE(scan.FreeBytesAgree) << c.Name;
    }
}

TEST(CdxTreeRules, UniqueAndCandidateTagsRefuseASecondRecord)
{
    for (bool candidate : {false, true}) {
        auto file = CdxIndexFile::Create(std::make_unique<CdxMemoryStore>());
        CdxTag& tag = file->CreateTag({"U", "u", "", CdxKeyType::Character, 4, !candidate, candidate, false});
        EXPECT_TRUE(tag.Insert("ABCD", 5));
        EXPECT_FALSE(tag.Insert("ABCD", 2));
        EXPECT_FALSE(tag.Insert("ABCD", 5));
        EXPECT_TRUE(tag.Insert("ABCE", 2));
        EXPECT_EQ(CdxList(tag), (CdxEntries {{"ABCD", 5}, {"ABCE", 2}}));
        tag.Build({{"XY  ", 9}, {"XY  ", 3}, {"AA  ", 4}});
        EXPECT_EQ(CdxList(tag), (CdxEntries {{"AA  ", 4}, {"XY  ", 3}}));
    }
}

TEST(CdxTreeRules, KeysOfTheWrongLengthAreRefused)
{
    auto file = CdxIndexFile::Create(std::make_unique<CdxMemoryStore>());
    CdxTag& tag = file->CreateTag({"C", "c", "", CdxKeyType::Character, 4, false, false, false});
    EXPECT_THROW(tag.Insert("ABC", 1), ERangeError);
    EXPECT_THROW(tag.Delete("ABCDE", 1), ERangeError);
    EXPECT_THROW(tag.Build({{"AB", 1}}), ERangeError);
    EXPECT_EQ(tag.Count(), 0u);
}

}  // namespace
