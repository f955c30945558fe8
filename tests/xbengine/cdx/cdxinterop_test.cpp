// Files we write, read back by another xBase reader (DBD::XBase's
// index_dump): the same keys in the same order as our own traversal.

#include <random>
#include <set>

#include "tests/xbengine/cdx/cdxtesting.h"
#include "tests/xbengine/fixturefile.h"
#include "tests/xbengine/indexdump.h"

namespace {

class CdxInterop : public CdxScratch { };

TEST_F(CdxInterop, AnotherReaderSeesOurKeysInOurOrder)
{
    const String path = Path("interop.cdx");
    {
        auto file = CdxIndexFile::Create(std::make_unique<CdxFileStore>(path, CdxFileStore::Mode::Create));
        CdxTag& name =
                file->CreateTag({"NAME", "UPPER(NAME)", "", CdxKeyType::Character, 20, false, false, false});
        CdxTag& amount =
                file->CreateTag({"AMOUNT", "AMOUNT", "", CdxKeyType::Numeric, 0, false, false, false});
        CdxTag& date =
                file->CreateTag({"DATE", "DATE", ".NOT.DELETED()", CdxKeyType::Date, 0, false, false, false});
        CdxTag& id = file->CreateTag({"ID", "ID", "", CdxKeyType::Integer, 0, true, false, false});
        std::vector<CdxKeyEntry> names;
        std::mt19937 random(5);
        for (std::uint32_t recNo = 1; recNo <= 4000; ++recNo)
            names.push_back({CdxCharacterKey(std::to_string(random() % 900) + "N", 20), recNo});
        name.Build(names);
        // The other tags grow and shrink page by page.
        for (std::uint32_t recNo = 1; recNo <= 4000; ++recNo) {
            amount.Insert(CdxNumericKey((double(random() % 200001) - 100000) / 100), recNo);
            date.Insert(CdxDateKey(2451545 + std::int32_t(random() % 4000)), recNo);
            id.Insert(CdxIntegerKey(std::int32_t(random() % 100000)), recNo);
        }
        for (CdxTag* tag : {&name, &amount, &date, &id}) {
            CdxEntries entries = CdxList(*tag);
            for (std::size_t i = 0; i < entries.size(); i += 3)
                tag->Delete(entries[i].first, entries[i].second);
        }
    }
    auto file = CdxIndexFile::Open(std::make_unique<CdxFileStore>(path, CdxFileStore::Mode::OpenReadOnly));
    struct Case {
        const char* Tag;
        CdxKeyType Type;
        const char* DumpType;
    };
    for (const Case& c :
         {Case {"NAME", CdxKeyType::Character, "char"}, Case {"AMOUNT", CdxKeyType::Numeric, "num"},
          Case {"DATE", CdxKeyType::Date, "num"}, Case {"ID", CdxKeyType::Integer, "num"}}) {
        SCOPED_TRACE(c.Tag);
        CdxTag& tag = *file->FindTag(c.Tag);
        tag.SetKeyType(c.Type);
        CdxEntries ours = CdxList(tag);
        auto theirs = IndexDump(path, c.Tag, c.DumpType);
        ASSERT_EQ(theirs.size(), ours.size());
        ASSERT_GT(ours.size(), 2000u);
        for (std::size_t i = 0; i < ours.size(); ++i) {
            const String& key = ours[i].first;
            ASSERT_EQ(theirs[i].second, ours[i].second) << "entry " << i;
            switch (c.Type) {
            case CdxKeyType::Character:
                ASSERT_EQ(theirs[i].first, key.substr(0, key.find_last_not_of(' ') + 1)) << "entry " << i;
                break;
            case CdxKeyType::Numeric:
                ASSERT_EQ(DumpNumber(theirs[i].first), CdxNumericValue(key)) << "entry " << i;
                break;
            case CdxKeyType::Date:
                ASSERT_EQ(DumpNumber(theirs[i].first), CdxDateValue(key)) << "entry " << i;
                break;
            default: ASSERT_EQ(DumpNumber(theirs[i].first), CdxIntegerValue(key)) << "entry " << i;
            }
        }
    }
}

TEST_F(CdxInterop, ChangedTagsMatchABulkBuildOfTheirKeys)
{
    // Random inserts and deletes, growing and shrinking the tree (splits,
    // joins, pages changed in place), end with the entries a bulk build of
    // the same keys holds: in our reading and in the other reader's.
    struct Case {
        const char* DumpType;
        CdxKeyType Type;
        int KeyLength;
        String (*MakeKey)(std::mt19937& random);
    };
    const Case cases[] = {
            {"char", CdxKeyType::Character, 24,
             [](std::mt19937& r) { return CdxCharacterKey("AB" + std::to_string(r() % 3000) + "X", 24); }},
            {"num", CdxKeyType::Integer, 4,
             [](std::mt19937& r) { return CdxIntegerKey(std::int32_t(r() % 5000) - 2500); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.DumpType);
        const String path = Path(String("changed-") + c.DumpType + ".cdx");
        std::set<std::pair<String, std::uint32_t>> model;
        {
            auto file =
                    CdxIndexFile::Create(std::make_unique<CdxFileStore>(path, CdxFileStore::Mode::Create));
            CdxTag& changed = file->CreateTag({"CHANGED", "K", "", c.Type, c.KeyLength, false, false, false});
            CdxTag& built = file->CreateTag({"BUILT", "K", "", c.Type, c.KeyLength, false, false, false});
            std::mt19937 random(59);
            std::uint32_t nextRecNo = 1;
            for (std::size_t target : {3000u, 150u, 2000u}) {
                while (model.size() != target) {
                    if (model.size() < target ? random() % 5 != 0 : random() % 5 == 0) {
                        // Now and then a record number that widens the leaves' entries.
                        std::uint32_t recNo = random() % 40 == 0 ? nextRecNo + 5000000u : nextRecNo;
                        ++nextRecNo;
                        String key = c.MakeKey(random);
                        ASSERT_TRUE(changed.Insert(key, recNo));
                        model.emplace(key, recNo);
                    } else if (!model.empty()) {
                        auto it = std::next(model.begin(), std::ptrdiff_t(random() % model.size()));
                        ASSERT_TRUE(changed.Delete(it->first, it->second));
                        model.erase(it);
                    }
                }
            }
            std::vector<CdxKeyEntry> entries;
            for (const auto& [key, recNo] : model)
                entries.push_back({key, recNo});
            std::shuffle(entries.begin(), entries.end(), random);
            built.Build(entries);
            EXPECT_EQ(CdxList(changed), CdxEntries(model.begin(), model.end()));
            EXPECT_EQ(CdxList(changed), CdxList(built));
            EXPECT_EQ(CdxList(changed, true), CdxList(built, true));
        }
        auto theirs = IndexDump(path, "CHANGED", c.DumpType);
        EXPECT_EQ(theirs.size(), model.size());
        EXPECT_EQ(theirs, IndexDump(path, "BUILT", c.DumpType));
    }
}

TEST_F(CdxInterop, SampleFilesTakeChangesPageByPage)
{
    // The sample tags keep the packing their maker chose until a page is
    // written again; both readers agree on the result.
    const String path = Path("dbc.cdx");
    const String sample = FixturePath("foxprodb/FOXPRO-DB-TEST.DCX");
    ASSERT_TRUE(FixtureReadable(sample));
    std::filesystem::copy_file(sample, path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    CdxEntries expected;
    {
        auto file = CdxIndexFile::Open(std::make_unique<CdxFileStore>(path, CdxFileStore::Mode::Open));
        CdxTag& tag = *file->FindTag("OBJECTTYPE");
        CdxEntries original = CdxList(tag);
        for (std::size_t i = 0; i < original.size(); i += 4)
            ASSERT_TRUE(tag.Delete(original[i].first, original[i].second));
        for (std::uint32_t recNo = 100; recNo < 1100; ++recNo)
            ASSERT_TRUE(tag.Insert(CdxCharacterKey(std::to_string(recNo % 37) + "Table", 20), recNo));
        expected = CdxList(tag);
        ASSERT_EQ(expected.size(), original.size() - (original.size() + 3) / 4 + 1000);
        EXPECT_EQ(CdxList(*file->FindTag("OBJECTNAME")).size(), 56u);
    }
    auto file = CdxIndexFile::Open(std::make_unique<CdxFileStore>(path, CdxFileStore::Mode::OpenReadOnly));
    EXPECT_EQ(CdxList(*file->FindTag("OBJECTTYPE")), expected);
    auto theirs = IndexDump(path, "OBJECTTYPE", "char");
    ASSERT_EQ(theirs.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const String& key = expected[i].first;
        ASSERT_EQ(theirs[i], std::make_pair(key.substr(0, key.find_last_not_of(' ') + 1), expected[i].second))
                << "entry " << i;
    }
}

}  // namespace
