// Workstations sharing one table: a lock re-reads what it locks, a write
// starts from the record as the file holds it, every tag keeps exactly one
// key for each record, and a walk in tag order meets every earlier record
// while others append.

#include <chrono>
#include <set>

#include "tests/support/peerprocess.h"
#include "tests/xbengine/enginetest.h"

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
            EXPECT_EQ(std::set<int>(walked.begin(), walked.end()), (std::set<int> {1, 2, 3}));
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

// A report walks a tag on one workstation while two others append: every
// walk meets each record that stood before it began, once, in key order.
TEST_F(SharedWrites, AWalkInTagOrderMeetsEveryEarlierRecordWhileOthersAppend)
{
    const std::string table = Dir + "WALK.DBF";
    Create(table, {{"ID", "C", 10, 0}, {"N", "N", 5, 0}});
    const int earlier = 150, each = 400;
    std::set<std::string> before;
    for (int i = 1; i <= earlier; ++i)
        for (const char* side : {"A", "B"}) {
            std::string id = side + std::to_string(i) + "z";
            AppendTexts({{"ID", id}});
            before.insert(id);
        }
    ASSERT_EQ(E.xb_IndexTag("", "ID", "ID", 0, 0, ""), 1);
    E.xb_Close();

    ASSERT_GT(E.xb_Use(table.c_str(), "", 0, 2), 0);
    E.xb_SetOrder(1);
    Peer first({"append", table, std::to_string(each), "A"});
    Peer second({"append", table, std::to_string(each), "B"});
    // The walks go on while the others append; appends that stop coming (a peer
    // failed or waits for ever) end the test instead of hanging it.
    int walks = 0;
    long lastCount = 0;
    auto lastGrowth = std::chrono::steady_clock::now();
    for (bool appending = true; appending; ++walks) {
        const long count = E.xb_RecCount();
        appending = count < 2 * earlier + 2 * each;
        if (count != lastCount) {
            lastCount = count;
            lastGrowth = std::chrono::steady_clock::now();
        }
        ASSERT_LT(std::chrono::steady_clock::now() - lastGrowth, std::chrono::minutes(2))
                << "no record appended for two minutes; " << count << " records";
        std::vector<std::string> seen;
        for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1)) {
            ASSERT_EQ(E.xbx_LastError(), XBE_OK) << E.xbx_LastErrorText();
            seen.push_back(Trim("ID"));
        }
        ASSERT_TRUE(std::is_sorted(seen.begin(), seen.end())) << "walk " << walks;
        std::set<std::string> met;
        for (const std::string& id : seen)
            if (before.count(id)) {
                ASSERT_TRUE(met.insert(id).second) << id << " twice in walk " << walks;
            }
        ASSERT_EQ(met.size(), before.size()) << "walk " << walks << " met " << seen.size() << " records";
    }
    EXPECT_EQ(first.Line(), "ready");
    EXPECT_EQ(second.Line(), "ready");
}

}  // namespace
