// The compound file: its header, the tag directory, tags created, replaced
// and dropped, and the pages they leave behind.

#include <fstream>
#include <iterator>

#include "platform/rtl/exceptions.h"
#include "tests/xbengine/cdx/cdxtesting.h"
#include "tests/xbengine/fixturefile.h"

namespace {

std::vector<Byte> ReadBytes(const String& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<Byte>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class CdxIndexFileTest : public CdxScratch { };

TEST_F(CdxIndexFileTest, TagDefinitionsSurviveReopening)
{
    {
        auto file = CdxIndexFile::Create(
                std::make_unique<CdxFileStore>(Path("d.cdx"), CdxFileStore::Mode::Create));
        file->CreateTag({"zeta", "UPPER(NAME1)", "", CdxKeyType::Character, 40, false, false, false});
        file->CreateTag({"ALPHA", "ACCNO", "AMOUNT>0", CdxKeyType::Numeric, 0, false, false, true});
        file->CreateTag({"Mid_1", "DTOS(DATE)+ID", "", CdxKeyType::Character, 16, true, false, false});
        file->CreateTag({"KEY", "ID", "", CdxKeyType::Integer, 0, false, true, false});
    }
    auto file = CdxIndexFile::Open(std::make_unique<CdxFileStore>(Path("d.cdx"), CdxFileStore::Mode::Open));
    struct Expected {
        const char* Name;
        const char* Key;
        const char* For;
        int KeyLength;
        Byte Options;
        bool Descending;
    };
    const Expected expected[] = {
            {"ZETA", "UPPER(NAME1)", "", 40, 0x60, false},
            {"ALPHA", "ACCNO", "AMOUNT>0", 8, 0x68, true},
            {"MID_1", "DTOS(DATE)+ID", "", 16, 0x61, false},
            {"KEY", "ID", "", 4, 0x64, false},
    };
    auto tags = file->Tags();
    ASSERT_EQ(tags.size(), std::size(expected));
    for (std::size_t i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(tags[i]->Name(), expected[i].Name);
        EXPECT_EQ(tags[i]->KeyExpression(), expected[i].Key);
        EXPECT_EQ(tags[i]->ForExpression(), expected[i].For);
        EXPECT_EQ(tags[i]->KeyLength(), expected[i].KeyLength);
        EXPECT_EQ(tags[i]->Options(), expected[i].Options);
        EXPECT_EQ(tags[i]->Descending(), expected[i].Descending);
    }
}

TEST_F(CdxIndexFileTest, HeadersAreLaidOutAsTheSampleFiles)
{
    // The sample's CALL_ID tag, made again: same directory and header bytes
    // wherever the format defines them.
    const String sample = FixturePath("foxprodb/calls.CDX");
    ASSERT_TRUE(FixtureReadable(sample));
    {
        auto file = CdxIndexFile::Create(
                std::make_unique<CdxFileStore>(Path("c.cdx"), CdxFileStore::Mode::Create));
        file->CreateTag({"CALL_ID", "call_id", "", CdxKeyType::Integer, 0, false, true, false});
    }
    const std::vector<Byte> ours = ReadBytes(Path("c.cdx")), theirs = ReadBytes(sample);
    ASSERT_GE(ours.size(), 0xC00u);
    auto same = [&](std::size_t from, std::size_t to) {
        return std::equal(ours.begin() + std::ptrdiff_t(from), ours.begin() + std::ptrdiff_t(to),
                          theirs.begin() + std::ptrdiff_t(from));
    };
    EXPECT_TRUE(same(0, 4)) << "directory root";
    EXPECT_TRUE(same(12, 16)) << "directory key length, options, signature";
    EXPECT_TRUE(same(502, 512)) << "directory expression lengths";
    EXPECT_TRUE(same(0x600, 0x604)) << "tag root";
    EXPECT_TRUE(same(0x600 + 12, 0x600 + 16)) << "tag key length, options, signature";
    EXPECT_TRUE(same(0x600 + 502, 0x600 + 512)) << "tag direction and expressions";
    EXPECT_TRUE(same(0x800, 0x808)) << "expression pool";
    // The directory leaf: one entry for CALL_ID at 0x600, packed 16/4/4.
    EXPECT_TRUE(same(0x400 + 14, 0x400 + 24)) << "directory leaf masks and widths";
    EXPECT_TRUE(same(0x400 + 24, 0x400 + 27)) << "directory entry";
    EXPECT_TRUE(same(0x5F9, 0x600)) << "directory key";
}

TEST_F(CdxIndexFileTest, ReplacedAndDroppedTagsGiveTheirPagesBack)
{
    auto file =
            CdxIndexFile::Create(std::make_unique<CdxFileStore>(Path("r.cdx"), CdxFileStore::Mode::Create));
    CdxTag& keep = file->CreateTag({"KEEP", "ID", "", CdxKeyType::Integer, 0, false, false, false});
    std::vector<CdxKeyEntry> entries;
    for (std::int32_t i = 0; i < 3000; ++i)
        entries.push_back({CdxIntegerKey(i), std::uint32_t(i + 1)});
    keep.Build(entries);
    std::uint64_t size = 0;
    for (int round = 0; round < 5; ++round) {
        CdxTag& name = file->CreateTag({"NAME", "NAME", "", CdxKeyType::Character, 30, false, false, false});
        std::vector<CdxKeyEntry> names;
        for (std::uint32_t recNo = 1; recNo <= 3000; ++recNo)
            names.push_back({CdxCharacterKey(std::to_string(recNo * 7919 % 3001), 30), recNo});
        name.Build(names);
        if (round == 0)
            size = file->Store().Length();
        ASSERT_TRUE(file->DropTag("name"));
    }
    EXPECT_EQ(file->Store().Length(), size + 2 * CdxPageSize * 4);  // only the new headers
    EXPECT_FALSE(file->DropTag("NAME"));
    EXPECT_EQ(file->FindTag("NAME"), nullptr);
    auto reopened =
            CdxIndexFile::Open(std::make_unique<CdxFileStore>(Path("r.cdx"), CdxFileStore::Mode::Open));
    ASSERT_EQ(reopened->Tags().size(), 1u);
    CdxTag& again = *reopened->FindTag("KEEP");
    again.SetKeyType(CdxKeyType::Integer);
    EXPECT_EQ(CdxList(again).size(), 3000u);
}

TEST(CdxIndexFileRules, BadDefinitionsAreRefused)
{
    auto file = CdxIndexFile::Create(std::make_unique<CdxMemoryStore>());
    const CdxTagDefinition bad[] = {
            {"", "A", "", CdxKeyType::Character, 10},
            {"1ABC", "A", "", CdxKeyType::Character, 10},
            {"ELEVENCHARS", "A", "", CdxKeyType::Character, 10},
            {"A-B", "A", "", CdxKeyType::Character, 10},
            {"A", "A", "", CdxKeyType::Character, 0},
            {"A", "A", "", CdxKeyType::Character, 241},
            {"A", "", "", CdxKeyType::Character, 10},
            {"A", String(300, 'K'), String(300, 'F'), CdxKeyType::Character, 10},
    };
    for (const CdxTagDefinition& definition : bad)
        EXPECT_THROW(file->CreateTag(definition), ERangeError) << definition.Name;
    EXPECT_TRUE(file->Tags().empty());
    EXPECT_NO_THROW(file->CreateTag({"A_1", "A", "", CdxKeyType::Character, 240}));
}

}  // namespace
