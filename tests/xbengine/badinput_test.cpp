// Damaged and foreign files give their error codes and never crash.

#include <functional>

#include "tests/xbengine/enginetest.h"

namespace {

class BadInput : public EngineTest {
protected:
    // A good table of three records with a memo each, closed.
    void MakeTable()
    {
        Create(Dir + "GOOD", {{"NAME", "C", 6, 0}, {"TEXT", "M", 10, 0}});
        for (const char* name : {"one", "two", "three"})
            AppendTexts({{"NAME", name}, {"TEXT", std::string("memo of ") + name}});
        E.xb_Close();
        Good = ReadBytes(Dir + "GOOD.DBF");
    }
    // Every record's memo reads as "" with the corrupt-data error.
    void ExpectEmptyMemos();
    std::vector<unsigned char> Good;
};

TEST_F(BadInput, DamagedHeadersAreRefused)
{
    MakeTable();
    using Bytes = std::vector<unsigned char>;
    struct Case {
        const char* What;
        std::function<void(Bytes&)> Damage;
    } cases[] = {
            {"unknown version byte", [](Bytes& b) { b[0] = 0x42; }},
            {"header length too large", [](Bytes& b) { b[8] += 32; }},
            {"header length too small", [](Bytes& b) { b[8] -= 1; }},
            {"header length beyond the file",
             [](Bytes& b) {
                 b[8] = 0xFF;
                 b[9] = 0xFF;
             }},
            {"record length not the sum of the widths", [](Bytes& b) { b[10] += 1; }},
            {"no terminator", [](Bytes& b) { b[32 + 64] = 'X'; }},
            {"a field of width 0", [](Bytes& b) { b[32 + 16] = 0; }},
            {"no fields", [](Bytes& b) { b[32] = 0x0D; }},
            {"shorter than a header", [](Bytes& b) { b.resize(20); }},
            {"empty file", [](Bytes& b) { b.clear(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Bytes bytes = Good;
        c.Damage(bytes);
        WriteBytes(Dir + "BAD.DBF", bytes);
        WriteBytes(Dir + "BAD.FPT", ReadBytes(Dir + "GOOD.FPT"));
        EXPECT_EQ(E.xb_Use((Dir + "BAD").c_str(), "", 1, 2), 0);
        EXPECT_EQ(E.xbx_LastError(), XBE_E_BAD_HEADER) << E.xbx_LastErrorText();
    }
}

TEST_F(BadInput, TruncatedTableOpensWithTheRecordsItHolds)
{
    MakeTable();
    std::vector<unsigned char> bytes = Good;
    bytes.resize(bytes.size() - 1 - 10);  // the end marker and part of record 3
    WriteBytes(Dir + "GOOD.DBF", bytes);
    ASSERT_GT(E.xb_Use((Dir + "GOOD").c_str(), "", 2, 2), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA);
    EXPECT_EQ(E.xb_RecCount(), 2);
    E.xb_GoBottom();
    EXPECT_EQ(Trim("NAME"), "two");
    // The next append writes a complete record 3 and the right count.
    AppendTexts({{"NAME", "new"}});
    E.xb_Close();
    ASSERT_GT(E.xb_Use((Dir + "GOOD").c_str(), "", 1, 2), 0);
    EXPECT_EQ(E.xbx_LastError(), 0);
    EXPECT_EQ(E.xb_RecCount(), 3);
    E.xb_Go(3);
    EXPECT_EQ(Trim("NAME"), "new");
}

TEST_F(BadInput, BadMemoReferencesReadAsEmptyText)
{
    MakeTable();
    std::vector<unsigned char> bytes = Good;
    int record = bytes[8] | (bytes[9] << 8);
    int length = bytes[10] | (bytes[11] << 8);
    auto setReference = [&](int recno, const std::string& ref) {
        std::copy(ref.begin(), ref.end(), bytes.begin() + record + (recno - 1) * length + 7);
    };
    setReference(1, "    999999");  // beyond the memo file
    setReference(2, "    12abcd");  // not a number
    WriteBytes(Dir + "GOOD.DBF", bytes);
    // A length that runs past the end of the file.
    std::vector<unsigned char> fpt = ReadBytes(Dir + "GOOD.FPT");
    std::size_t third = 10 * 64 + 4;
    fpt[third] = 0x7F;
    WriteBytes(Dir + "GOOD.FPT", fpt);

    ASSERT_GT(E.xb_Use((Dir + "GOOD").c_str(), "", 1, 2), 0) << E.xbx_LastErrorText();
    ExpectEmptyMemos();
}

// A damaged block size or next-free pointer is reported, and the memo file
// does not grow by a byte.
TEST_F(BadInput, MemoHeaderDamage)
{
    using Bytes = std::vector<unsigned char>;
    auto nextFree = [](Bytes& b, std::uint32_t block) {
        for (int i = 0; i < 4; ++i)
            b[std::size_t(i)] = static_cast<unsigned char>(block >> (24 - 8 * i));
    };
    struct Case {
        const char* What;
        std::function<void(Bytes&)> Damage;
    } cases[] = {
            {"no block size", [](Bytes& b) { b[6] = b[7] = 0; }},
            {"block size 1",
             [](Bytes& b) {
                 b[6] = 0;
                 b[7] = 1;
             }},
            {"block size 65535", [](Bytes& b) { b[6] = b[7] = 0xFF; }},
            {"next free far past the end", [&](Bytes& b) { nextFree(b, 0xFFFFFF00u); }},
            {"next free one block past the end",
             [&](Bytes& b) { nextFree(b, std::uint32_t(b.size() / 64 + 1)); }},
            {"next free inside the header", [&](Bytes& b) { nextFree(b, 3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        E.xb_CloseAll();
        MakeTable();
        Bytes fpt = ReadBytes(Dir + "GOOD.FPT");
        c.Damage(fpt);
        WriteBytes(Dir + "GOOD.FPT", fpt);
        ASSERT_GT(E.xb_Use((Dir + "GOOD").c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
        E.xb_Go(1);
        EXPECT_EQ(E.xb_Replace("TEXT", 3072, std::string(300, 'x').c_str()), 0);
        EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA) << E.xbx_LastErrorText();
        EXPECT_EQ(ReadBytes(Dir + "GOOD.FPT").size(), fpt.size());
        EXPECT_NE(E.xb_Replace("NAME", 1024, "still"), 0);
    }
}

void BadInput::ExpectEmptyMemos()
{
    for (int recno = 1; recno <= 3; ++recno) {
        SCOPED_TRACE(recno);
        E.xb_Go(recno);
        char* text = E.xb_GetMemo("TEXT", 0);
        EXPECT_STREQ(text, "");
        EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA) << E.xbx_LastErrorText();
        E.xb_MemDealloc(text);
        EXPECT_EQ(E.xb_GetBlobLength("TEXT"), 0);
    }
}

}  // namespace
