// A workstation that reads through its record and index caches while
// another process updates, locks and appends: each change shows once the
// other's write is done, or at the next lock, never a record half written,
// and never a key that the index no longer holds.

#include <filesystem>
#include <set>

#include "tests/support/peerprocess.h"
#include "tests/xbengine/enginetest.h"

namespace {

constexpr int Records = 40;

class SharedCache : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Table = Dir + "CACHE.DBF";
        Create(Table, {{"ID", "C", 10, 0}, {"NAME", "C", 10, 0}, {"NUM", "N", 8, 0}});
        for (int i = 1; i <= Records; ++i) {
            std::string n = std::to_string(1000 + i);
            AppendTexts({{"ID", "R" + n}, {"NAME", "N" + n}, {"NUM", n}});
        }
        ASSERT_EQ(E.xb_IndexTag("", "ID", "ID", 0, 0, ""), 1);
        ASSERT_EQ(E.xb_IndexTag("", "NAME", "NAME", 0, 0, ""), 2);
        E.xb_Close();
        ASSERT_GT(E.xb_Use(Table.c_str(), "", 0, 2), 0) << E.xbx_LastErrorText();
    }

    // Reads every record in natural order and in NAME order, as a browse
    // does; each record's three fields come from one write.
    void ReadEverything()
    {
        E.xb_SetOrder(0);
        for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
            ExpectWhole();
        E.xb_SetOrder(2);
        for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
            ExpectWhole();
        E.xb_SetOrder(0);
    }

    void ExpectWhole()
    {
        std::string id = Trim("ID"), name = Trim("NAME"), num = std::to_string(long(E.xb_GetDouble("NUM")));
        EXPECT_TRUE(id == "R" + num && name == "N" + num)
                << "record " << E.xb_RecNo() << ": " << id << " " << name << " " << num;
    }

    // The NAME order visits every record once, in key order, and a seek
    // finds each record's name.
    void ExpectCurrentKeys()
    {
        E.xb_SetOrder(2);
        std::set<int> seen;
        std::string previous;
        int steps = 0;
        for (E.xb_GoTop(); !E.xb_Eof() && steps < 3 * E.xb_RecCount(); E.xb_Skip(1), ++steps) {
            seen.insert(E.xb_RecNo());
            std::string name = E.xb_GetString("NAME");
            EXPECT_LE(previous, name) << "record " << E.xb_RecNo();
            previous = name;
        }
        EXPECT_EQ(int(seen.size()), E.xb_RecCount());
        EXPECT_EQ(steps, E.xb_RecCount());
        E.xb_SetExact(1);
        for (int record = 1; record <= E.xb_RecCount(); ++record) {
            E.xb_SetOrder(0);
            E.xb_Go(record);
            std::string name = Trim("NAME");
            E.xb_SetOrder(2);
            EXPECT_NE(E.xb_Seek(name.c_str()), 0) << name;
            EXPECT_EQ(E.xb_RecNo(), record) << name;
        }
        E.xb_SetExact(0);
        E.xb_SetOrder(0);
    }

    std::string Table;
};

TEST_F(SharedCache, EachChangeShowsOnceTheOtherWriteIsDone)
{
    ReadEverything();
    {
        Peer peer({"rewrite", Table, "5", "NAME=changed"});
        ASSERT_EQ(peer.Line(), "ready");
    }
    E.xb_Go(5);
    EXPECT_EQ(Trim("NAME"), "changed");
    E.xb_SetOrder(2);
    E.xb_SetExact(1);
    EXPECT_NE(E.xb_Seek("changed"), 0);
    EXPECT_EQ(E.xb_RecNo(), 5);
    E.xb_SetExact(0);
    E.xb_SetOrder(0);

    // An append shows in the count, the records and the tags.
    {
        Peer peer({"append", Table, "3", "NEW"});
        ASSERT_EQ(peer.Line(), "ready");
    }
    EXPECT_EQ(E.xb_RecCount(), Records + 3);
    E.xb_Go(Records + 3);
    EXPECT_EQ(Trim("ID"), "NEW3");
    E.xb_SetOrder(1);
    EXPECT_NE(E.xb_Seek("NEW2"), 0);
    EXPECT_EQ(E.xb_RecNo(), Records + 2);
    E.xb_SetOrder(0);
}

TEST_F(SharedCache, ALockReadsTheRecordTheOtherWrote)
{
    E.xb_Go(7);
    ASSERT_EQ(E.xb_GetDouble("NUM"), 1007);
    {
        Peer peer({"rewrite", Table, "7", "NUM=77"});
        ASSERT_EQ(peer.Line(), "ready");
    }
    ASSERT_NE(E.xb_Rlock(7), 0);
    EXPECT_EQ(E.xb_GetDouble("NUM"), 77);
    E.xb_Unlock(7);
}

// While the other process rewrites records one after the other, every
// record read is whole; once it is done, the keys are the current ones.
TEST_F(SharedCache, ReadsBesideAnotherWritersChangesStayWholeAndCurrent)
{
    Peer peer({"churn", Table, "400"});
    for (int pass = 0; pass < 30 && !HasFailure(); ++pass)
        ReadEverything();
    ASSERT_EQ(peer.Line(), "ready");
    ReadEverything();
    ExpectCurrentKeys();
}

// Another program cuts the index file or the table short under a reader
// that looks at them through mappings: the reader is told the file is
// damaged rather than killed, and reads again once the file is whole.
TEST_F(SharedCache, AFileCutShortUnderTheReaderIsReportedNotAFault)
{
    ReadEverything();
    std::string index = Dir + "CACHE.CDX";
    std::vector<unsigned char> whole = ReadBytes(index);
    for (std::uintmax_t length : {std::uintmax_t(0), std::uintmax_t(100)}) {
        SCOPED_TRACE(length);
        std::filesystem::resize_file(index, length);
        E.xb_Go(3);
        E.xb_SetOrder(2);
        E.xb_GoTop();
        EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_INDEX) << E.xbx_LastErrorText();
        E.xb_SetOrder(0);
        WriteBytes(index, whole);
        ReadEverything();
        ExpectCurrentKeys();
    }
    std::vector<unsigned char> table = ReadBytes(Table);
    std::filesystem::resize_file(Table, 0);
    E.xb_Go(Records);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_IO) << E.xbx_LastErrorText();
    WriteBytes(Table, table);
    ReadEverything();
}

}  // namespace
