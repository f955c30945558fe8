// Two processes on one table: open modes, the in-use refusal of creation,
// record and file locks, and appends from both at once, indexed or not.

#include <fstream>
#include <set>

#include "tests/support/peerprocess.h"
#include "tests/xbengine/commandoutput.h"
#include "tests/xbengine/enginetest.h"

namespace {

class Sharing : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Table = Dir + "SHARED.DBF";
        Create(Table, {{"ID", "C", 10, 0}, {"N", "N", 5, 0}, {"NOTE", "M", 10, 0}});
        for (int i = 0; i < 3; ++i)
            E.xb_AppendBlank();
        E.xb_Close();
    }
    std::string Table;
};

TEST_F(Sharing, OpenModesExcludeEachOtherAcrossProcesses)
{
    struct Case {
        int PeerMode, OurMode;
        bool Opens;
    } cases[] = {
            {0, 0, true},  {0, 1, true},  {0, 2, false}, {1, 0, true},
            {1, 2, false}, {2, 0, false}, {2, 1, false}, {2, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("peer " + std::to_string(c.PeerMode) + ", we " + std::to_string(c.OurMode));
        Peer peer({"open", Table, std::to_string(c.PeerMode)});
        ASSERT_EQ(peer.Line(), "ready");
        XBSHORT area = E.xb_Use(Table.c_str(), "", XBSHORT(c.OurMode), 2);
        EXPECT_EQ(area > 0, c.Opens);
        if (!c.Opens) {
            EXPECT_EQ(E.xbx_LastError(), XBE_E_IN_USE);
        }
        E.xb_Close();
    }
    // And the other way round: our exclusive open keeps the peer out until closed.
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 2, 2), 0);
    {
        Peer peer({"open", Table, "0"});
        EXPECT_EQ(peer.Line().substr(0, 8), "failed 2");
    }
    E.xb_Close();
    Peer peer({"open", Table, "0"});
    EXPECT_EQ(peer.Line(), "ready");
}

TEST_F(Sharing, TwoOpensInOneProcessConflictLikeTwoProcesses)
{
    ASSERT_GT(E.xb_Use(Table.c_str(), "A", 2, 2), 0);
    EXPECT_EQ(E.xb_Use(Table.c_str(), "B", 0, 2), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_IN_USE);
    E.xb_CloseAll();

    E.xb_SetLockTimeout(0);
    XBSHORT a = E.xb_Use(Table.c_str(), "A", 0, 2);
    XBSHORT b = E.xb_Use(Table.c_str(), "B", 0, 2);
    ASSERT_GT(b, 0);
    E.xb_Select(a);
    ASSERT_NE(E.xb_Rlock(1), 0);
    E.xb_Select(b);
    EXPECT_EQ(E.xb_Rlock(1), 0);
    EXPECT_NE(E.xb_Rlock(2), 0);
}

TEST_F(Sharing, CreationRefusesATableInUseElsewhere)
{
    Peer peer({"open", Table, "1"});
    ASSERT_EQ(peer.Line(), "ready");
    EXPECT_NE(E.xbx_FileInUse(Table.c_str()), 0);
    EXPECT_EQ(E.xb_CreateNew(Table.c_str(), "", 2, 1), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_IN_USE);
    peer.Release();
    peer.Wait();
    EXPECT_EQ(E.xbx_FileInUse(Table.c_str()), 0);
    EXPECT_GT(E.xb_CreateNew(Table.c_str(), "", 2, 1), 0) << E.xbx_LastErrorText();
}

TEST_F(Sharing, RecordLockHeldElsewhereFailsAfterTheTimeOut)
{
    Peer peer({"rlock", Table, "2"});
    ASSERT_EQ(peer.Line(), "ready");
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 0, 2), 0);
    EXPECT_EQ(E.xb_Rlock(2), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_LOCK);
    EXPECT_EQ(E.xb_Locked(2), 0);
    // Writing the record needs its lock too.
    E.xb_Go(2);
    int five = 5;
    EXPECT_EQ(E.xb_Replace("N", 1, &five), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_LOCK);
    std::size_t memoSize = ReadBytes(Dir + "SHARED.FPT").size();
    EXPECT_EQ(E.xb_Replace("NOTE", 3072, "refused"), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_LOCK);
    EXPECT_EQ(ReadBytes(Dir + "SHARED.FPT").size(), memoSize);
    EXPECT_EQ(E.xb_Flock(), 0);

    ASSERT_NE(E.xb_Rlock(3), 0);
    ASSERT_NE(E.xb_Rlock(1), 0);
    EXPECT_EQ(E.xb_Rlock(4), 0);  // beyond the table
    EXPECT_EQ(E.xb_LockCount(), 2);
    XBLONG list[2] = {};
    E.xb_DBRlockList(list);
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], 3);

    // The peer's locks vanish with it.
    peer.Release();
    peer.Wait();
    EXPECT_NE(E.xb_Rlock(2), 0);
    EXPECT_NE(E.xb_Replace("N", 1, &five), 0) << E.xbx_LastErrorText();
    EXPECT_NE(E.xb_Replace("NOTE", 3072, "now stored"), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(Memo("NOTE"), "now stored");
    E.xb_Unlock(0);
    EXPECT_EQ(E.xb_LockCount(), 0);

    // Our file lock keeps the peer from every record.
    ASSERT_NE(E.xb_Flock(), 0);
    EXPECT_NE(E.xb_Locked(3), 0);
    {
        Peer blocked({"rlock", Table, "3"});
        EXPECT_EQ(blocked.Line().substr(0, 9), "failed 13");
    }
    E.xb_Unlock(0);
    Peer free({"rlock", Table, "3"});
    EXPECT_EQ(free.Line(), "ready");
}

TEST_F(Sharing, AppendsFromTwoProcessesGetDistinctRecords)
{
    const int each = 1000;
    // A shared reader sits at the end while the others append.
    XBSHORT reader = E.xb_Use(Table.c_str(), "READER", 0, 2);
    ASSERT_GT(reader, 0);
    E.xb_GoBottom();
    E.xb_Skip(1);
    ASSERT_NE(E.xb_Eof(), 0);
    {
        Peer first({"append", Table, std::to_string(each), "A"});
        Peer second({"append", Table, std::to_string(each), "B"});
        EXPECT_EQ(first.Line(), "ready");
        EXPECT_EQ(second.Line(), "ready");
    }
    E.xb_Skip(0);
    EXPECT_NE(E.xb_Eof(), 0);
    EXPECT_EQ(E.xb_RecNo(), 3 + 2 * each + 1);
    E.xb_Skip(-1);
    EXPECT_EQ(E.xb_RecNo(), 3 + 2 * each);
    EXPECT_EQ(E.xb_RecCount(), 3 + 2 * each);

    ASSERT_GT(E.xb_Use(Table.c_str(), "", 1, 2), 0);
    EXPECT_EQ(E.xb_RecCount(), 3 + 2 * each);
    std::set<std::string> ids;
    int lastA = 0, lastB = 0;
    for (E.xb_Go(4); !E.xb_Eof(); E.xb_Skip(1)) {
        std::string id = Trim("ID");
        ASSERT_TRUE(ids.insert(id).second) << id;
        int n = std::stoi(id.substr(1));
        int& last = id[0] == 'A' ? lastA : lastB;
        EXPECT_EQ(n, last + 1) << id;
        last = n;
    }
    EXPECT_EQ(ids.size(), 2u * each);
    std::vector<unsigned char> bytes = ReadBytes(Table);
    int header = bytes[8] | (bytes[9] << 8);
    EXPECT_EQ(bytes.size(), std::size_t(header + (3 + 2 * each) * 26 + 1));
    EXPECT_EQ(bytes.back(), 0x1A);
}

}  // namespace

namespace {

TEST_F(Sharing, AppendsToAnIndexedTableAreFoundByTheOtherProcess)
{
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 2, 2), 0);
    ASSERT_EQ(E.xb_IndexTag("", "ID", "ID", 0, 0, ""), 1);
    E.xb_Close();

    const int each = 300;
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 0, 2), 0);
    E.xb_SetOrder(1);
    E.xb_SetLockTimeout(-1);
    Peer peer({"appendseek", Table, std::to_string(each), "B", "A"});
    for (int i = 1; i <= each; ++i) {
        std::string id = "A" + std::to_string(i);
        ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
        ASSERT_NE(E.xb_Replace("ID", 1024, id.c_str()), 0) << E.xbx_LastErrorText();
    }
    ASSERT_EQ(peer.Line(), "appended");
    peer.Send("seek");
    EXPECT_EQ(peer.Line(), "ready");
    E.xb_SetExact(1);
    for (int i = 1; i <= each; ++i) {
        std::string id = "B" + std::to_string(i);
        ASSERT_NE(E.xb_Seek(id.c_str()), 0) << id;
        EXPECT_EQ(Trim("ID"), id);
    }
    // Every record has exactly one key, in order.
    std::vector<std::string> ids;
    for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
        ids.push_back(Trim("ID"));
    EXPECT_EQ(ids.size(), std::size_t(3 + 2 * each));
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
}

// In a shared open of an indexed table an append waits, under the header
// lock, for its record's first write and goes out with it with its keys; any
// other call on the table, selecting or opening another area, or the close
// writes it as it stands. Another process appending meanwhile waits and
// takes the number after it.
TEST_F(Sharing, AnAppendWaitsForItsRecordsFirstWriteOrTheNextCall)
{
    auto stored = [&] {
        std::vector<unsigned char> bytes = ReadBytes(Table);
        return bytes[4] | bytes[5] << 8;
    };
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 2, 2), 0);
    ASSERT_GT(E.xb_IndexTag("", "ID", "ID", 0, 0, ""), 0) << E.xbx_LastErrorText();
    E.xb_Close();
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 0, 2), 0);
    ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_RecNo(), 4);
    EXPECT_EQ(E.xb_RecCount(), 4);
    EXPECT_EQ(stored(), 3);
    ASSERT_NE(E.xb_Replace("ID", 1024, "FIRST"), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(stored(), 4);

    ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
    Peer peer({"append", Table, "1", "P"});
    E.xb_Go(1);
    EXPECT_EQ(stored(), 5);
    EXPECT_EQ(peer.Line(), "ready");

    ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
    XBSHORT area = E.xb_Use(Table.c_str(), "OTHER", 0, 2);
    ASSERT_GT(area, 0) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_RecCount(), 7);
    E.xb_Select(1);
    ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
    E.xb_Select(area);
    EXPECT_EQ(E.xb_RecCount(), 8);
    E.xb_Close();
    E.xb_Select(1);
    ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
    E.xb_Close();
    EXPECT_EQ(stored(), 9);

    ASSERT_GT(E.xb_Use(Table.c_str(), "", 0, 2), 0);
    std::vector<std::string> ids;
    for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
        ids.push_back(Trim("ID"));
    EXPECT_EQ(ids, (std::vector<std::string> {"", "", "", "FIRST", "", "P1", "", "", ""}));
}

// Without an index an append writes its record and count before it returns,
// so a process stopped after it keeps the record; one stopped between the
// two writes leaves a blank record past the count, which the next append
// counts with its own.
TEST_F(Sharing, WithoutAnIndexAnAppendIsInTheFileWhenItReturns)
{
    auto stored = [&] {
        std::vector<unsigned char> bytes = ReadBytes(Table);
        return bytes[4] | bytes[5] << 8;
    };
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 0, 2), 0);
    ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(stored(), 4);
    // The peer's writes: its record, its count, then the record's ID.
    for (const char* stop : {"3", "2"}) {
        SCOPED_TRACE(std::string("peer stopped before write ") + stop);
        ::setenv("XBE_STOP_AT_WRITE", stop, 1);
        {
            Peer peer({"append", Table, "1", "P"});
            EXPECT_EQ(peer.Line(), "no answer");
        }
        ::unsetenv("XBE_STOP_AT_WRITE");
        EXPECT_EQ(stored(), 5);
        EXPECT_EQ(E.xb_RecCount(), 5);
    }
    std::vector<unsigned char> bytes = ReadBytes(Table);
    const std::size_t header = bytes[8] | bytes[9] << 8, length = bytes[10] | bytes[11] << 8;
    EXPECT_EQ(bytes.size(), header + 6 * length + 1);
    ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xb_RecNo(), 7);
    ASSERT_NE(E.xb_Replace("ID", 1024, "LAST"), 0) << E.xbx_LastErrorText();
    E.xb_Close();
    bytes = ReadBytes(Table);
    EXPECT_EQ(stored(), 7);
    EXPECT_EQ(bytes.size(), header + 7 * length + 1);
    EXPECT_EQ(bytes.back(), 0x1A);
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
    std::vector<std::string> ids;
    for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1))
        ids.push_back(Trim("ID"));
    EXPECT_EQ(ids, (std::vector<std::string> {"", "", "", "", "", "", "LAST"}));
}

// A peer appends under its file lock while this process waits to append:
// this process's records follow the peer's, and every record of both is
// there whole, in the engine and in python3-dbfread.
TEST_F(Sharing, AppendsWaitingForAnotherProcesssFileLockFollowItsAppends)
{
    const int each = 300;
    Peer peer({"lockedappend", Table, std::to_string(each), "P"});
    ASSERT_EQ(peer.Line(), "locked");
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 0, 2), 0) << E.xbx_LastErrorText();
    E.xb_SetLockTimeout(-1);
    peer.Send("go");
    for (int i = 1; i <= each; ++i) {
        std::string id = "M" + std::to_string(i), number = std::to_string(i);
        ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
        ASSERT_NE(E.xb_Replace("ID", 1024, id.c_str()), 0) << E.xbx_LastErrorText();
        ASSERT_NE(E.xb_Replace("N", 1024, number.c_str()), 0) << E.xbx_LastErrorText();
    }
    EXPECT_EQ(peer.Line(), "ready");
    E.xb_Close();

    std::string expected;
    for (int i = 0; i < 3; ++i)
        expected += " -\n";
    for (const char* tag : {"P", "M"})
        for (int i = 1; i <= each; ++i)
            expected += tag + std::to_string(i) + " " + std::to_string(i) + "\n";
    std::string engine;
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 1, 2), 0) << E.xbx_LastErrorText();
    for (E.xb_GoTop(); !E.xb_Eof(); E.xb_Skip(1)) {
        std::string number = Trim("N");
        number.erase(0, number.find_first_not_of(' '));
        engine += Trim("ID") + " " + (number.empty() ? "-" : number) + "\n";
    }
    E.xb_Close();
    EXPECT_EQ(engine, expected);
    std::ofstream(Dir + "read.py") << "import sys, dbfread\n"
                                      "for r in dbfread.DBF(sys.argv[1], encoding='cp1252'):\n"
                                      "    print(r['ID'], '-' if r['N'] is None else r['N'])\n";
    EXPECT_EQ(CommandOutput("/usr/bin/python3 " + Dir + "read.py " + Table + " 2>&1"), expected);
    std::vector<unsigned char> bytes = ReadBytes(Table);
    const std::size_t header = bytes[8] | bytes[9] << 8, length = bytes[10] | bytes[11] << 8;
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 3 + 2 * each);
    EXPECT_EQ(bytes.size(), header + (3 + 2 * each) * length + 1);
    EXPECT_EQ(bytes.back(), 0x1A);
}

// The blank record a stopped append left past the count: a read-only open
// shows the counted records without a complaint, and the next writable open
// counts it, so that the readers that read up to the end-of-file mark agree.
TEST_F(Sharing, TheNextWritableOpenCountsTheRecordAStoppedAppendLeft)
{
    auto stored = [&] {
        std::vector<unsigned char> bytes = ReadBytes(Table);
        return bytes[4] | bytes[5] << 8;
    };
    ::setenv("XBE_STOP_AT_WRITE", "2", 1);
    {
        Peer peer({"append", Table, "1", "P"});
        EXPECT_EQ(peer.Line(), "no answer");
    }
    ::unsetenv("XBE_STOP_AT_WRITE");
    ASSERT_EQ(stored(), 3);
    for (int mode : {1, 2}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        ASSERT_GT(E.xb_Use(Table.c_str(), "", XBSHORT(mode), 2), 0) << E.xbx_LastErrorText();
        EXPECT_EQ(E.xbx_LastError(), XBE_OK) << E.xbx_LastErrorText();
        EXPECT_EQ(E.xb_RecCount(), mode == 1 ? 3 : 4);
        E.xb_Close();
    }
    EXPECT_EQ(stored(), 4);
    std::vector<unsigned char> bytes = ReadBytes(Table);
    const std::size_t header = bytes[8] | bytes[9] << 8, length = bytes[10] | bytes[11] << 8;
    EXPECT_EQ(bytes.size(), header + 4 * length + 1);
    EXPECT_EQ(bytes.back(), 0x1A);

    // A record with data past the count is damage, not a stopped append.
    ASSERT_GT(E.xb_Use(Table.c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
    E.xb_Go(4);
    ASSERT_NE(E.xb_Replace("ID", 1024, "KEPT"), 0) << E.xbx_LastErrorText();
    E.xb_Close();
    bytes = ReadBytes(Table);
    bytes[4] = 3;
    WriteBytes(Table, bytes);
    EXPECT_EQ(E.xb_Use(Table.c_str(), "", 2, 2), 0);
    EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA);
    EXPECT_EQ(ReadBytes(Table), bytes);
}

}  // namespace
