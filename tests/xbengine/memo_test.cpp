// Memo and blob fields in FPT and DBT files.

#include <cstring>

#include "tests/xbengine/enginetest.h"

namespace {

class Memos : public EngineTest {
protected:
    // The block number the current record's memo reference holds.
    std::uint32_t Block(const char* field)
    {
        std::vector<char> image(E.xb_RecSize());
        E.xb_GetRecord(image.data());
        std::string reference(image.data() + E.xb_FieldOffset(field) - 1, E.xb_FieldWidth(field));
        return reference.find_first_not_of(' ') == std::string::npos ? 0
                                                                     : std::uint32_t(std::stoul(reference));
    }
};

std::uint32_t BE32(const std::vector<unsigned char>& b, std::size_t at)
{
    return (std::uint32_t(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

TEST_F(Memos, TextIsStoredInBlocksAndRewrittenInPlaceWhenItFits)
{
    Create(Dir + "NOTES", {{"ID", "C", 4, 0}, {"TEXT", "M", 10, 0}});
    AppendTexts({{"ID", "1"}, {"TEXT", "first memo"}});
    EXPECT_EQ(Memo("TEXT"), "first memo");
    EXPECT_EQ(Block("TEXT"), 8u);  // the 512-byte header takes blocks 0..7
    AppendTexts({{"ID", "2"}, {"TEXT", std::string(100, 'x')}});
    EXPECT_EQ(Block("TEXT"), 9u);
    std::vector<unsigned char> fpt = ReadBytes(Dir + "NOTES.FPT");
    EXPECT_EQ(BE32(fpt, 0), 11u);  // next free block
    EXPECT_EQ((fpt[6] << 8) | fpt[7], 64);
    EXPECT_EQ(fpt.size(), 11u * 64);
    EXPECT_EQ(BE32(fpt, 9 * 64), 1u);  // text block
    EXPECT_EQ(BE32(fpt, 9 * 64 + 4), 100u);

    // Shorter text stays in its block; longer text moves to the end.
    E.xb_Replace("TEXT", 3072, "short");
    EXPECT_EQ(Block("TEXT"), 9u);
    E.xb_Go(1);
    E.xb_Replace("TEXT", 3072, std::string(200, 'y').c_str());
    EXPECT_EQ(Block("TEXT"), 11u);
    E.xb_Replace("TEXT", 3072, "");
    EXPECT_EQ(Block("TEXT"), 0u);
    EXPECT_EQ(Memo("TEXT"), "");
    E.xb_Go(2);
    EXPECT_EQ(Memo("TEXT"), "short");
}

TEST_F(Memos, BlobsRoundTripBinaryData)
{
    Create(Dir + "BLOBS", {{"DATA", "M", 10, 0}});
    E.xb_AppendBlank();
    std::string bytes("\0\x01\xFF\x1A\x1A\r\n end", 11);
    EXPECT_EQ(E.xb_PutBlob("DATA", bytes.data(), XBLONG(bytes.size())), XBLONG(bytes.size()));
    EXPECT_EQ(E.xb_GetBlobLength("DATA"), XBLONG(bytes.size()));
    std::vector<char> buffer(bytes.size() + 1);
    EXPECT_EQ(E.xb_GetBlob("DATA", buffer.data()), XBLONG(bytes.size()));
    EXPECT_EQ(std::string(buffer.data(), bytes.size()), bytes);
    ASSERT_NE(E.xb_BlobToFile("DATA", (Dir + "out.bin").c_str()), 0);
    std::vector<unsigned char> file = ReadBytes(Dir + "out.bin");
    EXPECT_EQ(std::string(file.begin(), file.end()), bytes);
    // Loading a blob from a file.
    WriteBytes(Dir + "in.bin", {'a', 0, 'b'});
    ASSERT_NE(E.xb_Replace("DATA", 8192, (Dir + "in.bin").c_str()), 0);
    EXPECT_EQ(E.xb_GetBlobLength("DATA"), 3);
    EXPECT_EQ(E.xb_GetBlobLength("NOPE"), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_FIELD);
}

TEST_F(Memos, BlockSizeSettingAndLineWrapping)
{
    E.xb_SetMemoBlockSize(1);  // 1..32 count half-kilobytes
    Create(Dir + "BIG", {{"TEXT", "M", 10, 0}});
    AppendTexts({{"TEXT", "abcdefghij"}});
    std::vector<unsigned char> fpt = ReadBytes(Dir + "BIG.FPT");
    EXPECT_EQ((fpt[6] << 8) | fpt[7], 512);
    EXPECT_EQ(Block("TEXT"), 1u);
    char* wrapped = E.xb_GetMemo("TEXT", 4);
    EXPECT_STREQ(wrapped, "abcd\r\nefgh\r\nij");
    E.xb_MemDealloc(wrapped);
    E.xb_Close();
    // Another block size is read from the file's own header.
    E.xb_SetMemoBlockSize(64);
    ASSERT_GT(E.xb_Use((Dir + "BIG").c_str(), "", 0, 2), 0);
    EXPECT_EQ(Memo("TEXT"), "abcdefghij");
}

TEST_F(Memos, DbtMemosOfTypeOneTables)
{
    Create(Dir + "OLD", {{"TEXT", "M", 10, 0}}, 1);
    AppendTexts({{"TEXT", "dbase text"}});
    AppendTexts({{"TEXT", std::string(600, 'z')}});
    E.xb_Close();
    std::vector<unsigned char> dbf = ReadBytes(Dir + "OLD.DBF");
    EXPECT_EQ(dbf[0], 0x83);
    ASSERT_GT(E.xb_Use((Dir + "OLD").c_str(), "", 1, 1), 0) << E.xbx_LastErrorText();
    E.xb_Go(1);
    EXPECT_EQ(Memo("TEXT"), "dbase text");
    E.xb_Go(2);
    EXPECT_EQ(Memo("TEXT"), std::string(600, 'z'));
}

TEST_F(Memos, LengthPrefixedDbtBlocksOfTheLaterVersion)
{
    Create(Dir + "IV", {{"TEXT", "M", 10, 0}}, 1);
    AppendTexts({{"TEXT", "plain block"}});
    E.xb_Close();
    std::vector<unsigned char> dbf = ReadBytes(Dir + "IV.DBF");
    dbf[0] = 0x8B;
    WriteBytes(Dir + "IV.DBF", dbf);

    ASSERT_GT(E.xb_Use((Dir + "IV").c_str(), "", 2, 1), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(Memo("TEXT"), "plain block");
    AppendTexts({{"TEXT", std::string("with \x1A\x1A inside")}});
    EXPECT_EQ(Memo("TEXT"), std::string("with \x1A\x1A inside"));
    std::vector<unsigned char> dbt = ReadBytes(Dir + "IV.DBT");
    ASSERT_GE(dbt.size(), 2u * 512 + 8);
    EXPECT_EQ(std::vector<unsigned char>(dbt.begin() + 1024, dbt.begin() + 1028),
              (std::vector<unsigned char> {0xFF, 0xFF, 0x08, 0x00}));
}

TEST_F(Memos, MissingMemoFileRefusesTheOpen)
{
    Create(Dir + "LOST", {{"TEXT", "M", 10, 0}});
    E.xb_Close();
    std::remove((Dir + "LOST.FPT").c_str());
    EXPECT_EQ(E.xb_Use((Dir + "LOST").c_str(), "", 0, 2), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_NOT_FOUND);
}

}  // namespace
