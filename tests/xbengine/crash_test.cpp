// A process stopped before each write of a short run of appends, record and
// memo rewrites and deletes, shared and exclusive (the exclusive one ending
// with a pack): after every stop the next open rolls the interrupted change
// back and finds the table whole: the header's count matches the records,
// every memo reference reads, and every tag holds exactly the keys of the
// records present. Checked through the engine, through python3-dbfread and
// through DBD::XBase's index reader.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/peerprocess.h"
#include "tests/xbengine/commandoutput.h"
#include "tests/xbengine/enginetest.h"
#include "tests/xbengine/indexdump.h"

namespace {

struct Row {
    int RecNo = 0;
    bool Deleted = false;
    std::string Id;
    std::string Amount;  // as the field holds it, "" when blank
    std::string Memo;
};

struct Tag {
    const char* Name;
    const char* Expression;
    char Type;  // the index reader's key type
};

// Records the work appends: a few for the suite; scripts/xbe-crashrun.sh
// sets XBE_CRASH_RECORDS for a longer run.
int Work()
{
    const char* records = std::getenv("XBE_CRASH_RECORDS");
    return records ? std::max(1, std::atoi(records)) : 3;
}

const Tag Tags[] = {{"ID", "ID", 'C'}, {"AMT", "AMT", 'N'}, {"IDAMT", "ID+STR(AMT,10,2)", 'C'}};

// The key of a record in a tag, as text that sorts as the tag does (the
// amounts never go negative), and as the index reader prints it.
std::string SortKey(const Tag& tag, const Row& row)
{
    char amount[32];
    std::snprintf(amount, sizeof amount, "%10.2f", row.Amount.empty() ? 0.0 : std::stod(row.Amount));
    std::string id = row.Id + std::string(10 - row.Id.size(), ' ');
    if (tag.Type == 'N')
        return amount;
    return tag.Name == std::string("ID") ? id : id + amount;
}

std::string RightTrim(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The sections of a reader's output, each after a line "== <name>".
std::map<std::string, std::string> Sections(const std::string& output)
{
    std::map<std::string, std::string> sections;
    std::string* current = nullptr;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        std::string line = output.substr(start, end - start);
        start = end == std::string::npos ? output.size() : end + 1;
        if (line.rfind("== ", 0) == 0)
            current = &sections[line.substr(3)];
        else if (current)
            *current += line + "\n";
    }
    return sections;
}

const char* TableReader = R"(
import sys, dbfread
for path in open(sys.argv[1]).read().split():
    table = dbfread.DBF(path, encoding='cp1252', char_decode_errors='strict')
    print('==', path)
    print('count', table.header.numrecords)
    for mark, records in (('L', table.records), ('D', table.deleted)):
        for r in records:
            memo = r['NOTE'] or ''
            amount = '-' if r['AMT'] is None else '%.2f' % r['AMT']
            print(mark, r['ID'], amount, len(memo), memo[:1])
)";

const char* IndexReader = R"(
use strict;
use XBase::Index;
open(my $list, '<', $ARGV[0]) or die "$ARGV[0]: $!";
while (my $arg = <$list>) {
    chomp $arg;
    my ($file, $tag, $type) = split /\|/, $arg;
    my $index = XBase::Index->new($file, tag => $tag, type => $type) or die XBase::Index->errstr;
    $index->prepare_select or die $index->errstr;
    print "== $arg\n";
    while (my @entry = $index->fetch()) { print "@entry\n"; }
}
)";

class CrashSafety : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Create(Dir + "BASE.DBF", {{"ID", "C", 10, 0}, {"AMT", "N", 10, 2}, {"NOTE", "M", 10, 0}});
        for (int i = 1; i <= 5; ++i)
            AppendTexts({{"ID", "B" + std::to_string(i)},
                         {"AMT", std::to_string(i)},
                         {"NOTE", std::string(30, 'b')}});
        if (Indexed) {
            for (const Tag& tag : Tags)
                ASSERT_GT(E.xb_IndexTag("", tag.Name, tag.Expression, 0, 0, ""), 0) << E.xbx_LastErrorText();
        }
        E.xb_Close();
    }
    // The table has the three tags (and its appends and record writes a journal).
    bool Indexed = true;

    // A copy of the base table (or another beside it) in its own directory.
    std::string Copy(const std::string& name, const std::string& base = "BASE")
    {
        std::string dir = Dir + name + "/";
        std::filesystem::create_directory(dir);
        for (const char* ext : {".DBF", ".FPT", ".CDX"})
            if (Indexed || ext != std::string(".CDX"))
                std::filesystem::copy_file(Dir + base + ext, dir + "T" + ext);
        return dir + "T.DBF";
    }

    // Runs the work with the process stopped before its write n (0: never);
    // true when it ran to its end.
    bool Run(const std::string& table, int mode, long stopAt)
    {
        return RunPeer({"work", table, std::to_string(mode), std::to_string(Work())}, stopAt);
    }

    // Runs the peer with its arguments, stopped as Run is.
    bool RunPeer(const std::vector<std::string>& arguments, long stopAt)
    {
        pid_t pid = fork();
        if (pid == 0) {
            if (stopAt > 0)
                setenv("XBE_STOP_AT_WRITE", std::to_string(stopAt).c_str(), 1);
            std::vector<char*> argv {const_cast<char*>(XBE_PEER_PATH)};
            for (const std::string& argument : arguments)
                argv.push_back(const_cast<char*>(argument.c_str()));
            argv.push_back(nullptr);
            execv(XBE_PEER_PATH, argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0) << "stopped at " << stopAt;
            return true;
        }
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "stopped at " << stopAt;
        return false;
    }

    // Opens the table as the next user would and checks it whole; its rows.
    std::vector<Row> Check(const std::string& table)
    {
        std::vector<Row> rows;
        XBSHORT area = E.xb_Use(table.c_str(), "", 0, 2);
        EXPECT_GT(area, 0) << E.xbx_LastErrorText();
        if (area <= 0)
            return rows;
        int count = E.xb_RecCount();
        std::vector<unsigned char> bytes = ReadBytes(table);
        std::size_t header = bytes[8] | (bytes[9] << 8), length = bytes[10] | (bytes[11] << 8);
        EXPECT_EQ(bytes.size(), header + std::size_t(count) * length + 1);
        EXPECT_EQ(bytes.back(), 0x1A);
        for (int r = 1; r <= count; ++r) {
            E.xb_Go(r);
            Row row {r, E.xb_Deleted() != 0, Trim("ID"), Trim("AMT"), Memo("NOTE")};
            EXPECT_EQ(E.xbx_LastError(), XBE_OK) << "record " << r << ": " << E.xbx_LastErrorText();
            if (!row.Memo.empty()) {
                EXPECT_EQ(row.Memo.find_first_not_of(row.Memo[0]), std::string::npos) << "record " << r;
            }
            rows.push_back(row);
        }
        for (XBSHORT order = 1; Indexed && order <= 3; ++order) {
            SCOPED_TRACE(Tags[order - 1].Name);
            E.xb_SetOrder(order);
            std::vector<int> walked;
            for (E.xb_GoTop(); !E.xb_Eof() && int(walked.size()) <= count; E.xb_Skip(1))
                walked.push_back(E.xb_RecNo());
            std::vector<int> expected;
            for (const Row& row : Sorted(Tags[order - 1], rows))
                expected.push_back(row.RecNo);
            EXPECT_EQ(walked, expected);
        }
        E.xb_Close();
        // The last open of the table leaves no journal behind.
        EXPECT_FALSE(std::filesystem::exists(table.substr(0, table.size() - 4) + ".JNL"));
        return rows;
    }

    static std::vector<Row> Sorted(const Tag& tag, std::vector<Row> rows)
    {
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const Row& a, const Row& b) { return SortKey(tag, a) < SortKey(tag, b); });
        return rows;
    }

    // What python3-dbfread prints of the rows.
    static std::string TableText(const std::vector<Row>& rows)
    {
        std::string text = "count " + std::to_string(rows.size()) + "\n";
        for (bool deleted : {false, true})
            for (const Row& row : rows)
                if (row.Deleted == deleted) {
                    char amount[32] = "-";
                    if (!row.Amount.empty())
                        std::snprintf(amount, sizeof amount, "%.2f", std::stod(row.Amount));
                    text += std::string(deleted ? "D " : "L ") + row.Id + " " + amount + " " +
                            std::to_string(row.Memo.size()) + " " + row.Memo.substr(0, 1) + "\n";
                }
        return text;
    }

    static std::string Journal(const std::string& table)
    {
        std::vector<unsigned char> bytes = ReadBytes(table.substr(0, table.size() - 4) + ".JNL");
        return std::string(bytes.begin(), bytes.end());
    }
    static bool Pending(const std::string& table) { return Journal(table).rfind("XBEJRNL1", 0) == 0; }

    // A shared run stopped at its first write after which the journal holds
    // a change that mentions text; the table. With held, another process
    // holds the table open from before the run until Holder is reset.
    std::string StopInAChange(const std::string& name, const std::string& text, bool held = false)
    {
        for (long stop = 1; stop < 1000; ++stop) {
            std::string table = Copy(name + "-" + std::to_string(stop));
            if (held) {
                Holder = std::make_unique<Peer>(std::vector<std::string> {"open", table, "0"});
                EXPECT_EQ(Holder->Line(), "ready");
            }
            if (Run(table, 0, stop))
                break;
            if (Pending(table) && Journal(table).find(text) != std::string::npos)
                return table;
        }
        ADD_FAILURE() << "no stop leaves a change that mentions " << text;
        return "";
    }
    std::unique_ptr<Peer> Holder;

    // Every stopping point of one mode; the tables left, checked by the engine.
    std::map<std::string, std::vector<Row>> StopEverywhere(int mode)
    {
        std::map<std::string, std::vector<Row>> checked;
        for (long stop = 1;; ++stop) {
            std::string table = Copy("m" + std::to_string(mode) + "-" + std::to_string(stop));
            bool finished = Run(table, mode, stop);
            SCOPED_TRACE("mode " + std::to_string(mode) + ", stopped before write " + std::to_string(stop));
            checked[table] = Check(table);
            if (finished) {
                // The run that was not stopped holds all its work; an
                // exclusive one packed away its deletes (every third record).
                std::size_t packed = mode == 2 ? std::size_t(Work() / 3) : 0;
                EXPECT_EQ(checked[table].size(), std::size_t(5 + Work()) - packed);
                break;
            }
            if (::testing::Test::HasFailure())
                break;
        }
        return checked;
    }

    // Every stopping point of a shared and of an exclusive run, the tables
    // left checked by the engine and the other readers.
    void StopEverywhereInBothModes()
    {
        std::map<std::string, std::vector<Row>> checked;
        for (int mode : {0, 2}) {
            checked.merge(StopEverywhere(mode));
            ASSERT_FALSE(HasFailure());
        }
        CheckWithOtherReaders(checked);
        std::printf("%zu stopping points\n", checked.size());
    }

    // The same tables through the other readers.
    void CheckWithOtherReaders(const std::map<std::string, std::vector<Row>>& checked)
    {
        std::ofstream(Dir + "read.py") << TableReader;
        std::ofstream(Dir + "read.pl") << IndexReader;
        // The lists of files go through files: a long run has thousands.
        std::ofstream tables(Dir + "tables.txt"), indexes(Dir + "indexes.txt");
        for (const auto& [table, rows] : checked) {
            tables << table << "\n";
            std::string index = table.substr(0, table.size() - 4) + ".CDX";
            for (const Tag& tag : Tags)
                indexes << index << "|" << tag.Name << "|" << tag.Type << "\n";
        }
        tables.close();
        indexes.close();
        auto read = Sections(CommandOutput("/usr/bin/python3 " + Dir + "read.py " + Dir + "tables.txt 2>&1"));
        auto dumped = Indexed ? Sections(CommandOutput("/usr/bin/perl " + Dir + "read.pl " + Dir +
                                                       "indexes.txt 2>&1"))
                              : std::map<std::string, std::string>();
        for (const auto& [table, rows] : checked) {
            SCOPED_TRACE(table);
            EXPECT_EQ(read[table], TableText(rows));
            if (!Indexed)
                continue;
            std::string index = table.substr(0, table.size() - 4) + ".CDX";
            for (const Tag& tag : Tags) {
                SCOPED_TRACE(tag.Name);
                std::string expected;
                for (const Row& row : Sorted(tag, rows)) {
                    std::string key = RightTrim(SortKey(tag, row));
                    if (tag.Type == 'N')
                        key = std::to_string(std::stod(key));
                    expected += key + " " + std::to_string(row.RecNo) + "\n";
                }
                std::string actual;
                for (const auto& [key, recno] :
                     Lines(dumped[index + "|" + tag.Name + "|" + tag.Type], tag.Type))
                    actual += key + " " + std::to_string(recno) + "\n";
                EXPECT_EQ(actual, expected);
            }
        }
    }

    // The reader's "key recno" lines, numbers in one notation with ours.
    static IndexDumpLines Lines(const std::string& section, char type)
    {
        IndexDumpLines lines;
        std::size_t start = 0;
        while (start < section.size()) {
            std::size_t end = section.find('\n', start);
            std::string line = section.substr(start, end - start);
            start = end + 1;
            std::size_t space = line.rfind(' ');
            std::string key = RightTrim(line.substr(0, space));
            if (type == 'N')
                key = std::to_string(DumpNumber(key));
            lines.emplace_back(key, std::uint32_t(std::stoul(line.substr(space + 1))));
        }
        return lines;
    }
};

TEST_F(CrashSafety, EveryStoppingPointOfASharedAndAnExclusiveRunLeavesTheTableWhole)
{
    StopEverywhereInBothModes();
}

// The same run on the table without its tags, whose appends and record
// writes go straight to the file and only its memo writes use the journal.
class UnindexedCrashSafety : public CrashSafety {
protected:
    UnindexedCrashSafety() { Indexed = false; }
};

TEST_F(UnindexedCrashSafety, EveryStoppingPointOfASharedAndAnExclusiveRunLeavesTheTableWhole)
{
    StopEverywhereInBothModes();
}

// A pack of a table larger than the parts in which a pack journals and
// moves its records (1 MiB), with deleted records all through it: stopped
// before each of its writes, the table opens as before the pack or as after
// it, to the engine and to the other readers.
TEST_F(CrashSafety, EveryStoppingPointOfAPackOfManyPartsLeavesTheTableBeforeOrAfterIt)
{
    Create(Dir + "BIG.DBF",
           {{"ID", "C", 10, 0}, {"AMT", "N", 10, 2}, {"NOTE", "M", 10, 0}, {"PAD", "C", 250, 0}});
    ASSERT_NE(E.xb_SysProp(3010, 0), 0) << E.xbx_LastErrorText();
    const std::string pad(250, 'p');
    for (int i = 1; i <= 4500; ++i) {
        AppendTexts({{"ID", "P" + std::to_string(i)}, {"AMT", std::to_string(i % 97)}, {"PAD", pad}});
        if (i % 500 == 0)
            AppendTexts({{"ID", "M" + std::to_string(i)}, {"NOTE", std::string(40, 'm')}});
        if (i % 7 == 3) {
            ASSERT_NE(E.xb_Delete(), 0) << E.xbx_LastErrorText();
        }
    }
    for (const Tag& tag : Tags)
        ASSERT_GT(E.xb_IndexTag("", tag.Name, tag.Expression, 0, 0, ""), 0) << E.xbx_LastErrorText();
    ASSERT_NE(E.xb_SysProp(3011, 0), 0) << E.xbx_LastErrorText();
    E.xb_Close();

    std::vector<Row> before = Check(Copy("pack-before", "BIG"));
    std::vector<Row> after;
    for (const Row& row : before)
        if (!row.Deleted) {
            after.push_back(row);
            after.back().RecNo = int(after.size());
        }
    ASSERT_LT(after.size(), before.size());
    auto rowsAre = [](const std::vector<Row>& rows, const std::vector<Row>& expected) {
        if (rows.size() != expected.size())
            return false;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].Deleted != expected[i].Deleted || rows[i].Id != expected[i].Id ||
                rows[i].Amount != expected[i].Amount || rows[i].Memo != expected[i].Memo)
                return false;
        return true;
    };
    std::map<std::string, std::vector<Row>> checked;
    int stoppedBefore = 0, stoppedAfter = 0;
    for (long stop = 1;; ++stop) {
        std::string table = Copy("pack-" + std::to_string(stop), "BIG");
        bool finished = RunPeer({"pack", table, "1"}, stop);
        SCOPED_TRACE("stopped before write " + std::to_string(stop));
        std::vector<Row> rows = checked[table] = Check(table);
        bool asBefore = rowsAre(rows, before), asAfter = rowsAre(rows, after);
        EXPECT_TRUE(asBefore || asAfter);
        stoppedBefore += asBefore && !finished;
        stoppedAfter += asAfter && !finished;
        if (finished) {
            EXPECT_TRUE(asAfter);
            break;
        }
        if (HasFailure())
            return;
    }
    // Only the journal's last write (its empty mark) leaves the pack done.
    EXPECT_GT(stoppedBefore, 10);
    EXPECT_LE(stoppedAfter, 1);
    CheckWithOtherReaders(checked);
    std::printf("%zu stopping points in a pack\n", checked.size());
}

// While another open holds the table, the open after a stop leaves the
// interrupted change alone (its writer might still be at work); the next
// change, made under the journal lock, rolls it back first.
TEST_F(CrashSafety, AChangeLeftWhileOthersHoldTheTableIsRolledBackByTheNextChange)
{
    std::string table = StopInAChange("held", "T.CDX", true);
    ASSERT_FALSE(table.empty());
    {
        ASSERT_GT(E.xb_Use(table.c_str(), "", 0, 2), 0) << E.xbx_LastErrorText();
        EXPECT_TRUE(Pending(table));
        E.xb_Go(1);
        ASSERT_NE(E.xb_Replace("AMT", 1024, "7.5"), 0) << E.xbx_LastErrorText();
        ASSERT_NE(E.xb_AppendBlank(), 0) << E.xbx_LastErrorText();
        ASSERT_NE(E.xb_Replace("ID", 1024, "AFTER"), 0) << E.xbx_LastErrorText();
        E.xb_Close();
        Holder.reset();
    }
    std::vector<Row> rows = Check(table);
    ASSERT_GE(rows.size(), 6u);
    EXPECT_EQ(std::stod(rows.front().Amount), 7.5);
    EXPECT_EQ(rows.back().Id, "AFTER");
}

// A change whose index file is gone is rolled back in the files that are
// there, and the open reports the missing one (a reindex makes it anew).
TEST_F(CrashSafety, AChangeRolledBackWithoutItsIndexIsReported)
{
    std::string table = StopInAChange("lost", "T.CDX");
    ASSERT_FALSE(table.empty());
    std::filesystem::remove(table.substr(0, table.size() - 4) + ".CDX");
    ASSERT_GT(E.xb_Use(table.c_str(), "", 2, 2), 0) << E.xbx_LastErrorText();
    EXPECT_EQ(E.xbx_LastError(), XBE_E_CORRUPT_DATA);
    EXPECT_NE(std::string(E.xbx_LastErrorText()).find("without T.CDX, which is missing"), std::string::npos)
            << E.xbx_LastErrorText();
    EXPECT_FALSE(Pending(table));
    for (const Tag& tag : Tags)
        ASSERT_GT(E.xb_IndexTag("", tag.Name, tag.Expression, 0, 0, ""), 0) << E.xbx_LastErrorText();
    E.xb_Close();
    EXPECT_GE(Check(table).size(), 5u);
}

}  // namespace
