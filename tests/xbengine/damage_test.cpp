// Writes on damaged tables: the damage is reported or corrected, and no
// write lands on a record, memo or key it was not meant for. Each case
// damages a 50-record table with six tags and a memo field as it lies on
// the disk, writes through the engine, and reads the table back.

#include <cstdint>
#include <functional>
#include <set>

#include "tests/xbengine/enginetest.h"
#include "tests/xbengine/tablesnapshot.h"

namespace {

using Bytes = std::vector<unsigned char>;

constexpr int Records = 50;
constexpr XBSHORT Shared = 0, ReadOnly = 1, Exclusive = 2;

std::uint32_t LE(const Bytes& b, std::size_t at, int width)
{
    std::uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = v << 8 | b[at + std::size_t(i)];
    return v;
}

std::uint32_t BE32(const Bytes& b, std::size_t at)
{
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 |
           b[at + 3];
}

void PutLE(Bytes& b, std::size_t at, std::uint32_t v, int width)
{
    for (int i = 0; i < width; ++i)
        b[at + std::size_t(i)] = static_cast<unsigned char>(v >> (8 * i));
}

void PutBE32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

bool Mentions(const char* text, const std::string& part)
{
    return std::string(text).find(part) != std::string::npos;
}

class DamagedTable : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_TRUE(CreateSample(E, Dir + "T", Records)) << E.xbx_LastErrorText();
        for (const char* ext : {".DBF", ".FPT", ".CDX"})
            Pristine.push_back(ReadBytes(Dir + "T" + ext));
        ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", ReadOnly, 2), 0) << E.xbx_LastErrorText();
        Before = Snapshot(E);
        E.xb_Close();
        ASSERT_EQ(Before.Images.size(), std::size_t(Records));
    }

    // The table as it was made, then damaged.
    void Damage(const std::function<void(Bytes& dbf, Bytes& fpt, Bytes& cdx)>& damage)
    {
        E.xb_CloseAll();
        Bytes dbf = Pristine[0], fpt = Pristine[1], cdx = Pristine[2];
        damage(dbf, fpt, cdx);
        WriteBytes(Dir + "T.DBF", dbf);
        WriteBytes(Dir + "T.FPT", fpt);
        WriteBytes(Dir + "T.CDX", cdx);
    }

    // The table read back from the disk.
    TableSnapshot After()
    {
        E.xb_CloseAll();
        EXPECT_GT(E.xb_Use((Dir + "T").c_str(), "", ReadOnly, 2), 0) << E.xbx_LastErrorText();
        TableSnapshot after = Snapshot(E);
        E.xb_Close();
        return after;
    }

    // Every record but the written ones reads back byte for byte, memo included.
    void ExpectUntouched(const TableSnapshot& after, const std::set<int>& written)
    {
        ASSERT_GE(after.Images.size(), Before.Images.size());
        for (int n = 1; n <= Records; ++n) {
            if (written.count(n))
                continue;
            SCOPED_TRACE("record " + std::to_string(n));
            EXPECT_EQ(after.Images[std::size_t(n - 1)], Before.Images[std::size_t(n - 1)]);
            EXPECT_EQ(after.Memos[std::size_t(n - 1)], Before.Memos[std::size_t(n - 1)]);
        }
    }

    // Every tag's walk visits each record once.
    static void ExpectWholeWalks(const TableSnapshot& after)
    {
        for (std::size_t t = 0; t < SampleTags().size(); ++t)
            EXPECT_EQ(Sorted(after.Walks[t]), OneToN(int(after.Images.size()))) << SampleTags()[t];
    }

    // Reindexing mends the tags and keeps every record.
    void ExpectReindexRepairs(const std::set<int>& written)
    {
        E.xb_CloseAll();
        ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", Exclusive, 2), 0) << E.xbx_LastErrorText();
        ASSERT_NE(E.xb_Reindex(), 0) << E.xbx_LastErrorText();
        E.xb_Close();
        TableSnapshot after = After();
        ExpectUntouched(after, written);
        ExpectWholeWalks(after);
    }

    // The offset of the tag's root page and its leaves from first to last
    // (a two-level tree, as the sample's NAME tag is).
    static std::vector<std::uint32_t> Leaves(const Bytes& cdx, const std::string& expression,
                                             std::uint32_t& root)
    {
        for (std::size_t at = 512; at + 1024 <= cdx.size(); at += 512) {
            std::size_t text = at + 512 + LE(cdx, at + 508, 2);
            if (cdx[at + 15] != 1 || text + expression.size() > cdx.size() ||
                std::string(cdx.begin() + std::ptrdiff_t(text),
                            cdx.begin() + std::ptrdiff_t(text + expression.size())) != expression)
                continue;
            root = LE(cdx, at, 4);
            std::size_t keyLength = LE(cdx, at + 12, 2);
            std::vector<std::uint32_t> leaves;
            for (std::size_t i = 0; i < LE(cdx, root + 2, 2); ++i)
                leaves.push_back(BE32(cdx, root + 12 + i * (keyLength + 8) + keyLength + 4));
            return leaves;
        }
        ADD_FAILURE() << "no tag " << expression;
        return {};
    }

    std::vector<Bytes> Pristine;
    TableSnapshot Before;
};

// A next-free pointer moved back into the blocks in use is taken as the end
// of the file; one past the end is damage, and the memo file is not written.
TEST_F(DamagedTable, AMemoPointerMovedBackNeverHandsOutBlocksInUse)
{
    const std::uint32_t blocks = std::uint32_t(Pristine[1].size() / 64);
    ASSERT_GT(blocks, 0xFFu);
    for (XBSHORT mode : {Exclusive, Shared}) {
        for (std::uint32_t next : {8u, 0xFFu, 0x10000u}) {
            SCOPED_TRACE("mode " + std::to_string(mode) + ", next free " + std::to_string(next));
            Damage([&](Bytes&, Bytes& fpt, Bytes&) { PutBE32(fpt, 0, next); });
            ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", mode, 2), 0) << E.xbx_LastErrorText();
            const std::string appended = "an appended memo, " + std::string(300, 'x');
            const std::string longer = "a longer memo for record 1, " + std::string(900, 'y');
            ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
            bool stored = E.xb_Replace("TEXT", 3072, appended.c_str()) != 0;
            E.xb_Go(1);
            bool updated = E.xb_Replace("TEXT", 3072, longer.c_str()) != 0;
            if (next > blocks) {
                EXPECT_FALSE(stored || updated);
                EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA);
                EXPECT_TRUE(Mentions(E.xbx_LastErrorText(), "past its end")) << E.xbx_LastErrorText();
                E.xb_Close();
                // The append went in; its memo and the longer one did not.
                TableSnapshot after = After();
                ExpectUntouched(after, {});
                EXPECT_EQ(after.Memos.back(), "");
                continue;
            }
            EXPECT_TRUE(stored && updated) << E.xbx_LastErrorText();
            E.xb_Close();
            TableSnapshot after = After();
            ExpectUntouched(after, {1});
            ASSERT_EQ(after.Memos.size(), std::size_t(Records + 1));
            EXPECT_EQ(after.Memos[0], longer);
            EXPECT_EQ(after.Memos.back(), appended);
            ExpectWholeWalks(after);
            // The pointer is the file's end again.
            Bytes fpt = ReadBytes(Dir + "T.FPT");
            EXPECT_EQ(std::uint64_t(BE32(fpt, 0)) * 64, fpt.size());
        }
    }
}

// A header that counts fewer records than the file holds: a writable open
// says so, naming the file and both counts, and writes nothing; a
// read-only open shows the counted records with the same warning.
TEST_F(DamagedTable, ARecordCountBelowTheRecordsHeldRefusesWrites)
{
    for (std::uint32_t count : {0u, 1u, std::uint32_t(Records - 1)}) {
        SCOPED_TRACE("count " + std::to_string(count));
        Damage([&](Bytes& dbf, Bytes&, Bytes&) { PutLE(dbf, 4, count, 4); });
        const Bytes damaged = ReadBytes(Dir + "T.DBF");
        for (XBSHORT mode : {Exclusive, Shared}) {
            EXPECT_EQ(E.xb_Use((Dir + "T").c_str(), "", mode, 2), 0);
            EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA);
            const char* text = E.xbx_LastErrorText();
            EXPECT_TRUE(Mentions(text, Dir + "T.DBF") && Mentions(text, "holds 50 whole records") &&
                        Mentions(text, "counts " + std::to_string(count)))
                    << text;
        }
        ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", ReadOnly, 2), 0) << E.xbx_LastErrorText();
        EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA);
        EXPECT_EQ(E.xb_RecCount(), XBLONG(count));
        E.xb_Close();
        EXPECT_EQ(ReadBytes(Dir + "T.DBF"), damaged);
    }
}

// Records cut from the end along with their count (by another program)
// leave keys past the count: a walk meeting one stops with the tag named
// until a reindex.
TEST_F(DamagedTable, AKeyPastTheRecordCountIsDamageUntilAReindex)
{
    const int kept = Records - 10;
    Damage([&](Bytes& dbf, Bytes&, Bytes&) {
        std::size_t end = LE(dbf, 8, 2) + std::size_t(kept) * LE(dbf, 10, 2);
        dbf.resize(end + 1);
        dbf[end] = 0x1A;
        PutLE(dbf, 4, kept, 4);
    });
    // The walk's records, and its first error.
    std::string error;
    auto walk = [&] {
        std::vector<int> walked;
        error.clear();
        auto note = [&] {
            if (error.empty() && E.xbx_LastError() != XBE_OK)
                error = E.xbx_LastErrorText();
        };
        E.xb_GoTop();
        note();
        while (!E.xb_Eof() && walked.size() <= std::size_t(Records)) {
            walked.push_back(E.xb_RecNo());
            E.xb_Skip(1);
            note();
        }
        return walked;
    };
    ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", Exclusive, 2), 0) << E.xbx_LastErrorText();
    for (XBSHORT order = 1; order <= XBSHORT(SampleTags().size()); ++order) {
        SCOPED_TRACE(SampleTags()[std::size_t(order - 1)]);
        E.xb_SetOrder(order);
        EXPECT_LE(walk().size(), std::size_t(kept));
        EXPECT_TRUE(Mentions(error.c_str(), ("Index tag " + SampleTags()[std::size_t(order - 1)]).c_str()) &&
                    Mentions(error.c_str(), "reindex"))
                << error;
    }
    ASSERT_NE(E.xb_Reindex(), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(walk().size(), std::size_t(kept));
    EXPECT_EQ(error, "");
    E.xb_Close();
    ExpectWholeWalks(After());
}

// The count moved back under a shared open (by another program): its next
// append is refused.
TEST_F(DamagedTable, AnAppendAfterTheCountMovedBackIsRefused)
{
    ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", Shared, 2), 0) << E.xbx_LastErrorText();
    Bytes dbf = ReadBytes(Dir + "T.DBF");
    PutLE(dbf, 4, 3, 4);
    WriteBytes(Dir + "T.DBF", dbf);
    EXPECT_EQ(E.xb_AppendBlank(), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA) << E.xbx_LastErrorText();
    E.xb_Close();
    EXPECT_EQ(ReadBytes(Dir + "T.DBF"), dbf);
}

// Records lost from the end of the file leave their keys in the tags: an
// append, which would take their numbers, waits for a reindex.
TEST_F(DamagedTable, AnAppendAfterRecordsWereLostWaitsForAReindex)
{
    for (XBSHORT mode : {Exclusive, Shared}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        Damage([](Bytes& dbf, Bytes&, Bytes&) { dbf.resize(dbf.size() - 1 - 2 * LE(dbf, 10, 2)); });
        ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", mode, 2), 0) << E.xbx_LastErrorText();
        EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA);
        EXPECT_EQ(E.xb_AppendBlank(), 0);
        EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_INDEX);
        EXPECT_TRUE(Mentions(E.xbx_LastErrorText(), "reindex")) << E.xbx_LastErrorText();
        E.xb_Close();
        ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", Exclusive, 2), 0) << E.xbx_LastErrorText();
        ASSERT_NE(E.xb_Reindex(), 0) << E.xbx_LastErrorText();
        AppendTexts({{"NAME", "after the reindex"}, {"TEXT", "a memo"}});
        E.xb_Close();
        TableSnapshot after = After();
        ASSERT_EQ(after.Images.size(), std::size_t(Records - 1));
        for (std::size_t n = 0; n + 2 < std::size_t(Records); ++n)
            EXPECT_EQ(after.Images[n], Before.Images[n]) << "record " << n + 1;
        EXPECT_EQ(after.Memos.back(), "a memo");
        ExpectWholeWalks(after);
    }
}

// A tag out of step with the records: the write that meets it names the
// tag and says to reindex, and reindexing mends it.
TEST_F(DamagedTable, AnIndexOutOfStepIsReportedAndReindexingMendsIt)
{
    struct Case {
        const char* What;
        std::function<void(Bytes& dbf, Bytes& cdx, std::uint32_t root,
                           const std::vector<std::uint32_t>& leaves)>
                Damage;
        std::function<bool()> Write;
        std::set<int> Written;
    };
    auto appendName = [this] {
        return E.xb_AppendBlank() && E.xb_Replace("NAME", 1024, "zzzz appended") &&
               E.xb_Replace("TEXT", 1024, "m");
    };
    Case cases[] = {
            {"a leaf's key count one short",
             [](Bytes&, Bytes& cdx, std::uint32_t, const std::vector<std::uint32_t>& leaves) {
                 PutLE(cdx, leaves.back() + 2, LE(cdx, leaves.back() + 2, 2) - 1, 2);
             },
             appendName,
             {}},
            {"a leaf's left link lost",
             [](Bytes&, Bytes& cdx, std::uint32_t, const std::vector<std::uint32_t>& leaves) {
                 PutLE(cdx, leaves.back() + 4, 0xFFFFFFFFu, 4);
             },
             appendName,
             {}},
            {"an interior entry leading to the wrong leaf",
             [](Bytes&, Bytes& cdx, std::uint32_t root, const std::vector<std::uint32_t>& leaves) {
                 std::size_t last = root + 12 + (leaves.size() - 1) * (24 + 8) + 24 + 4;
                 PutBE32(cdx, last, leaves.front());
             },
             appendName,
             {}},
            {"a record's key field changed behind the index",
             [](Bytes& dbf, Bytes&, std::uint32_t, const std::vector<std::uint32_t>&) {
                 std::size_t record = LE(dbf, 8, 2) + 19 * LE(dbf, 10, 2);
                 dbf[record + 1] = 'Q';
             },
             [this] {
                 E.xb_Go(20);
                 return E.xb_Replace("NAME", 1024, "renamed") != 0;
             },
             {20}},
    };
    for (const Case& c : cases) {
        for (XBSHORT mode : {Exclusive, Shared}) {
            SCOPED_TRACE(std::string(c.What) + ", mode " + std::to_string(mode));
            Damage([&](Bytes& dbf, Bytes&, Bytes& cdx) {
                std::uint32_t root = 0;
                std::vector<std::uint32_t> leaves = Leaves(cdx, "NAME", root);
                ASSERT_GE(leaves.size(), 2u);
                c.Damage(dbf, cdx, root, leaves);
            });
            ASSERT_GT(E.xb_Use((Dir + "T").c_str(), "", mode, 2), 0) << E.xbx_LastErrorText();
            EXPECT_FALSE(c.Write());
            EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_INDEX);
            EXPECT_TRUE(Mentions(E.xbx_LastErrorText(), "tag NAME") &&
                        Mentions(E.xbx_LastErrorText(), "reindex"))
                    << E.xbx_LastErrorText();
            E.xb_Close();
            std::set<int> written = c.Written;
            ExpectUntouched(After(), written);
            ExpectReindexRepairs(written);
        }
    }
}

}  // namespace
