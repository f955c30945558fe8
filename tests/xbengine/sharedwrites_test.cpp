// Two workstations writing one table: a lock re-reads what it locks, a write
// starts from the record as the file holds it, and every tag keeps exactly
// one key for each record.

#include <set>

#include "tests/xbengine/enginetest.h"
#include "tests/xbengine/peerprocess.h"

namespace {

class SharedWrites : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Table = Dir + "COUNTS.DBF";
        Create(Table, {{"NAME", "C", 10, 0}, {"CNT", "N", 5, 0}});
        for (int i = 1; i <= 3; ++i)
            AppendTexts({{"NAME", "n" + std::to_string(i)}, {"CNT", "0"}});
        ASSERT_EQ(E.xb_IndexTag("", "CNT", "CNT", 0, 0, ""), 1);
        ASSERT_EQ(E.xb_IndexTag("", "NAME", "NAME", 0, 0, ""), 2);
        E.xb_Close();
    }

    // Reopened alone: each tag walks every record once, and each record's
    // values are found by a seek in their tag.
    void ExpectOneKeyPerRecord()
    {
        E.xb_CloseAll();
        ASSERT_GT(E.xb_Use(Table.c_str(), "", 2, 2), 0);
        for (XBSHORT order : {1, 2}) {
            SCOPED_TRACE(order);
            E.xb_SetOrder(order);
            std::vector<int> walked;
            for (E.xb_GoTop(); !E.xb_Eof() && walked.size() < 10; E.xb_Skip(1))
                walked.push_back(E.xb_RecNo());
            EXPECT_EQ(std::set<int>(walked.begin(), walked.end()), (std::set<int>{1, 2, 3}));
            EXPECT_EQ(walked.size(), 3u);
        }
        E.xb_SetExact(1);
        for (int rec = 1; rec <= 3; ++rec) {
            E.xb_Go(rec);
            std::string name = Trim("NAME"), count = Trim("CNT");
            E.xb_SetOrder(1);
            EXPECT_NE(E.xb_Seek(count.c_str()), 0) << count;
            E.xb_SetOrder(2);
            EXPECT_NE(E.xb_Seek(name.c_str()), 0) << name;
        }
    }

    std::string Table;
};

TEST_F(SharedWrites, ALockReadsTheOtherWorkstationsUpdate)
{
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 0, 2), 0);
    E.xb_Go(1);
    ASSERT_EQ(E.xb_GetDouble("CNT"), 0);
    {
        Peer peer({"rewrite", Table, "1", "CNT=5"});
        ASSERT_EQ(peer.Line(), "ready");
        ASSERT_NE(E.xb_Rlock(1), 0);
        EXPECT_EQ(E.xb_GetDouble("CNT"), 5);
        std::string next = std::to_string(int(E.xb_GetDouble("CNT")) + 1);
        ASSERT_NE(E.xb_Replace("CNT", 1024, next.c_str()), 0) << E.xbx_LastErrorText();
        E.xb_Unlock(1);
    }
    ExpectOneKeyPerRecord();
    E.xb_Go(1);
    EXPECT_EQ(E.xb_GetDouble("CNT"), 6);
}

TEST_F(SharedWrites, AWriteWithoutALockStartsFromTheFile)
{
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 0, 2), 0);
    E.xb_Go(1);
    ASSERT_EQ(Trim("NAME"), "n1");
    {
        Peer peer({"rewrite", Table, "1", "NAME=peer", "CNT=5"});
        ASSERT_EQ(peer.Line(), "ready");
        // The write takes the record's lock itself; the other fields and the
        // keys are those the file holds, not those read before.
        ASSERT_NE(E.xb_Replace("CNT", 1024, "7"), 0) << E.xbx_LastErrorText();
        EXPECT_EQ(Trim("NAME"), "peer");
        ASSERT_NE(E.xb_Replace("NAME", 1024, "ours"), 0) << E.xbx_LastErrorText();
    }
    ExpectOneKeyPerRecord();
    E.xb_Go(1);
    EXPECT_EQ(Trim("NAME"), "ours");
    EXPECT_EQ(E.xb_GetDouble("CNT"), 7);
}

}  // namespace
