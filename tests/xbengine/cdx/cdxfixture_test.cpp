// The sample compound indexes made by another product: their tags, and every
// tag's entries against the keys computed from the table beside it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/xbengine/cdx/cdxcursor.h"
#include "platform/xbengine/cdx/cdxindexfile.h"
#include "tests/xbengine/fixturefile.h"

namespace {

const String Dir = FixturePath("foxprodb/");

// The fields of every record of a table, by name, with the deletion flag.
struct Table {
    std::vector<std::map<String, String>> Records;
    std::vector<bool> Deleted;
};

Table ReadTable(const String& path)
{
    std::ifstream in(path, std::ios::binary);
    String bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u16 = [&](std::size_t at) { return std::size_t(Byte(bytes[at]) | Byte(bytes[at + 1]) << 8); };
    std::size_t count = u16(4) | u16(6) << 16, headerLength = u16(8), recordLength = u16(10);
    std::vector<std::pair<String, std::size_t>> fields;
    for (std::size_t at = 32; bytes[at] != '\r'; at += 32)
        fields.emplace_back(String(bytes.c_str() + at), std::size_t(Byte(bytes[at + 16])));
    Table table;
    for (std::size_t r = 0; r < count; ++r) {
        std::size_t at = headerLength + r * recordLength;
        table.Deleted.push_back(bytes[at] == '*');
        auto& record = table.Records.emplace_back();
        ++at;
        for (auto& [name, width] : fields) {
            record[name] = bytes.substr(at, width);
            at += width;
        }
    }
    return table;
}

std::int32_t IntegerField(const String& raw)
{
    return std::int32_t(std::uint32_t(Byte(raw[0])) | std::uint32_t(Byte(raw[1])) << 8 |
                        std::uint32_t(Byte(raw[2])) << 16 | std::uint32_t(Byte(raw[3])) << 24);
}

String Str10(std::int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%10d", value);
    return text;
}

String Lower(String text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

struct TagCase {
    const char* File;
    const char* Table;
    const char* Tag;
    const char* KeyExpression;
    const char* ForExpression;
    int KeyLength;
    Byte Options;
    std::uint32_t Count;
    CdxKeyType Type;
    String (*Key)(const std::map<String, String>& record);
};

const TagCase Cases[] = {
        {"calls.CDX", "calls.dbf", "CALL_ID", "call_id", "", 4, 0x64, 16, CdxKeyType::Integer,
         [](const auto& r) { return CdxIntegerKey(IntegerField(r.at("CALL_ID"))); }},
        {"calls.CDX", "calls.dbf", "CONTACT_ID", "contact_id", "", 4, 0x60, 16, CdxKeyType::Integer,
         [](const auto& r) { return CdxIntegerKey(IntegerField(r.at("CONTACT_ID"))); }},
        {"contacts.CDX", "contacts.dbf", "CONTACT_ID", "contact_id", "", 4, 0x64, 5, CdxKeyType::Integer,
         [](const auto& r) { return CdxIntegerKey(IntegerField(r.at("CONTACT_ID"))); }},
        {"contacts.CDX", "contacts.dbf", "TYPE_ID", "contact_type_id", "", 4, 0x60, 5, CdxKeyType::Integer,
         [](const auto& r) { return CdxIntegerKey(IntegerField(r.at("CONTACT_TY"))); }},
        {"setup.CDX", "setup.dbf", "KEY_NAME", "key_name", "", 50, 0x64, 3, CdxKeyType::Character,
         [](const auto& r) { return r.at("KEY_NAME"); }},
        {"types.CDX", "types.dbf", "TYPE_ID", "contact_type_id", "", 4, 0x64, 2, CdxKeyType::Integer,
         [](const auto& r) { return CdxIntegerKey(IntegerField(r.at("CONTACT_TY"))); }},
        {"FOXPRO-DB-TEST.DCX", "FOXPRO-DB-TEST.DBC", "OBJECTNAME",
         "STR(parentid)+objecttype+LOWER(objectname)", ".NOT.DELETED()", 148, 0x68, 56, CdxKeyType::Character,
         [](const auto& r) {
             return Str10(IntegerField(r.at("PARENTID"))) + r.at("OBJECTTYPE") + Lower(r.at("OBJECTNAME"));
         }},
        {"FOXPRO-DB-TEST.DCX", "FOXPRO-DB-TEST.DBC", "OBJECTTYPE", "STR(parentid)+objecttype",
         ".NOT.DELETED()", 20, 0x68, 56, CdxKeyType::Character,
         [](const auto& r) { return Str10(IntegerField(r.at("PARENTID"))) + r.at("OBJECTTYPE"); }},
};

void PrintTo(const TagCase& c, std::ostream* os) { *os << c.File << " " << c.Tag; }

class CdxFixture : public testing::TestWithParam<TagCase> { };

TEST_P(CdxFixture, TagMatchesItsTable)
{
    const TagCase& c = GetParam();
    ASSERT_TRUE(FixtureReadable(Dir + c.File));
    ASSERT_TRUE(FixtureReadable(Dir + c.Table));
    auto file = CdxIndexFile::Open(
            std::make_unique<CdxFileStore>(Dir + c.File, CdxFileStore::Mode::OpenReadOnly));
    CdxTag* tag = file->FindTag(c.Tag);
    ASSERT_NE(tag, nullptr);
    tag->SetKeyType(c.Type);
    EXPECT_EQ(tag->KeyExpression(), c.KeyExpression);
    EXPECT_EQ(tag->ForExpression(), c.ForExpression);
    EXPECT_EQ(tag->HasFor(), *c.ForExpression != '\0');
    EXPECT_EQ(tag->KeyLength(), c.KeyLength);
    EXPECT_EQ(tag->Options(), c.Options);
    EXPECT_FALSE(tag->Descending());
    EXPECT_EQ(tag->Count(), c.Count);

    // Expected entries: every record the FOR admits, ordered by key then record.
    Table table = ReadTable(Dir + c.Table);
    std::vector<std::pair<String, std::uint32_t>> expected;
    for (std::size_t i = 0; i < table.Records.size(); ++i)
        if (!*c.ForExpression || !table.Deleted[i])
            expected.emplace_back(c.Key(table.Records[i]), std::uint32_t(i + 1));
    std::sort(expected.begin(), expected.end());

    std::vector<std::pair<String, std::uint32_t>> forward, backward;
    CdxCursor cursor(*tag);
    for (bool more = cursor.First(); more; more = cursor.Next())
        forward.emplace_back(cursor.Key(), cursor.RecNo());
    for (bool more = cursor.Last(); more; more = cursor.Prev())
        backward.emplace_back(cursor.Key(), cursor.RecNo());
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(forward, expected);
    EXPECT_EQ(backward, expected);
}

INSTANTIATE_TEST_SUITE_P(Samples, CdxFixture, testing::ValuesIn(Cases), [](const auto& info) {
    return String(info.param.Tag) + "_" + std::to_string(info.index);
});

TEST(CdxFixtureFile, ListsTagsInCreationOrder)
{
    ASSERT_TRUE(FixtureReadable(Dir + "calls.CDX"));
    auto file = CdxIndexFile::Open(
            std::make_unique<CdxFileStore>(Dir + "calls.CDX", CdxFileStore::Mode::OpenReadOnly));
    std::vector<String> names;
    for (CdxTag* tag : file->Tags())
        names.push_back(tag->Name());
    EXPECT_EQ(names, (std::vector<String> {"CALL_ID", "CONTACT_ID"}));
    EXPECT_NE(file->FindTag("call_id"), nullptr);
    EXPECT_EQ(file->FindTag("CALL"), nullptr);
}

}  // namespace
