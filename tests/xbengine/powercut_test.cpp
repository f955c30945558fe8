// Power cuts simulated from the engine's own writes: a run of appends, record
// and memo rewrites, deletes (and commits) records every write, cut, sync,
// creation and removal of its files (XBE_WRITE_LOG), and after each of its
// events the files are rebuilt as a disk may have kept them at a power cut:
//   per file: each file keeps a prefix of its writes since its last sync;
//   per page: each 4 KiB page of a file holds one of its versions since the
//             file's last sync, and the file one of its lengths since then.
// Each rebuilt table is opened as the program opens a client and checked in
// full: the header's count against the file's size, every memo readable,
// every tag walked in order and complete, and the records as after the last
// finished call, or the one before it, or with the call under way finished
// (a commit that returned is never lost). A refused open names the damage;
// anything else is silent damage. scripts/xbe-crashrun.sh runs it longer
// (XBE_POWERCUT_RECORDS).

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "tests/xbengine/enginetest.h"

namespace {

using Bytes = std::vector<unsigned char>;
constexpr std::size_t DiskPage = 4096;

struct Event {
    char Kind = 0;  // W write, T cut, S sync, C creation, U removal
    std::string File;
    long long Offset = 0;  // of a write; the length of a cut
    Bytes Data;
};

// The run's events, and after which of them each call of the work returned.
struct Recording {
    std::vector<Event> Events;
    std::vector<std::size_t> Returned;  // events before the return
    std::vector<bool> Committed;        // the call was a commit
};

Recording ReadRecording(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Recording recording;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        std::istringstream line(text.substr(at, end - at));
        at = end + 1;
        Event event;
        line >> event.Kind;
        if (event.Kind == 'M') {
            std::string commit;
            line >> commit;
            recording.Returned.push_back(recording.Events.size());
            recording.Committed.push_back(commit == "C");
            continue;
        }
        std::string path;
        line >> path >> event.Offset;
        event.File = std::filesystem::path(path).filename();
        if (event.Kind == 'W') {
            std::size_t length = 0;
            line >> length;
            event.Data.assign(text.begin() + long(at), text.begin() + long(at + length));
            at += length;
        }
        recording.Events.push_back(std::move(event));
    }
    return recording;
}

// A file as the events left it: nullopt while it does not exist.
using FileState = std::optional<Bytes>;

void Apply(const Event& event, FileState& file)
{
    switch (event.Kind) {
    case 'C': file = Bytes(); break;
    case 'U': file.reset(); break;
    case 'T':
        if (file)
            file->resize(std::size_t(event.Offset));
        break;
    case 'W':
        if (!file)
            file = Bytes();
        if (file->size() < event.Data.size() + std::size_t(event.Offset))
            file->resize(event.Data.size() + std::size_t(event.Offset));
        std::copy(event.Data.begin(), event.Data.end(), file->begin() + event.Offset);
        break;
    default: break;
    }
}

enum class Model { PerFile, PerPage };

struct Tag {
    const char* Name;
    const char* Expression;
};
const Tag Tags[] = {{"ID", "ID"}, {"AMT", "AMT"}, {"IDAMT", "ID+STR(AMT,10,2)"}};

struct Row {
    bool Deleted = false;
    std::string Id, Amount, Memo;
    bool operator==(const Row&) const = default;
};

// The key of a row in a tag, as text that sorts as the tag does.
std::string SortKey(const Tag& tag, const Row& row)
{
    char amount[32];
    std::snprintf(amount, sizeof amount, "%10.2f", row.Amount.empty() ? 0.0 : std::stod(row.Amount));
    std::string id = row.Id + std::string(10 - std::min<std::size_t>(10, row.Id.size()), ' ');
    if (tag.Name == std::string("AMT"))
        return amount;
    return tag.Name == std::string("ID") ? id : id + amount;
}

struct Outcome {
    enum { Whole, Refused, Damaged } Kind = Whole;
    std::string Why;
    std::vector<Row> Rows;
};

class PowerCut : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        E.xb_SysProp(1011, XBPROP(-1));
        Base = Dir + "base/";
        std::filesystem::create_directory(Base);
        Create(Base + "T.DBF", {{"ID", "C", 10, 0}, {"AMT", "N", 10, 2}, {"NOTE", "M", 10, 0}});
        for (int i = 1; i <= 5; ++i)
            AppendTexts({{"ID", "B" + std::to_string(i)},
                         {"AMT", std::to_string(i)},
                         {"NOTE", std::string(30, 'b')}});
        for (const Tag& tag : Tags) {
            if (!Indexed)
                break;
            ASSERT_GT(E.xb_IndexTag("", tag.Name, tag.Expression, 0, 0, ""), 0) << E.xbx_LastErrorText();
        }
        E.xb_Close();
        // The checks' own writes (rollbacks, counts) need not wait for the disk.
        E.xb_SysProp(1011, 0);
    }

    // The records the work appends; scripts/xbe-crashrun.sh sets more.
    static int Work()
    {
        const char* records = std::getenv("XBE_POWERCUT_RECORDS");
        return records ? std::max(1, std::atoi(records)) : 6;
    }

    // Runs the work on a copy of the base table and returns what it recorded.
    Recording Record(int mode, int commitEvery, bool durable)
    {
        std::string dir = Dir + "run/";
        std::filesystem::remove_all(dir);
        std::filesystem::copy(Base, dir);
        std::string log = Dir + "writes.log";
        std::filesystem::remove(log);
        pid_t pid = fork();
        if (pid == 0) {
            setenv("XBE_WRITE_LOG", log.c_str(), 1);
            std::string table = dir + "T.DBF", modeText = std::to_string(mode),
                        records = std::to_string(Work()), commit = std::to_string(commitEvery),
                        sync = durable ? "1" : "0";
            execl(XBE_PEER_PATH, XBE_PEER_PATH, "work", table.c_str(), modeText.c_str(), records.c_str(),
                  commit.c_str(), sync.c_str(), nullptr);
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        return ReadRecording(log);
    }

    std::map<std::string, FileState> BaseFiles() const
    {
        std::map<std::string, FileState> files;
        for (const auto& entry : std::filesystem::directory_iterator(Base))
            files[entry.path().filename()] = ReadBytes(entry.path());
        return files;
    }

    // The files after the first `count` events, every write kept.
    std::map<std::string, FileState> Replayed(const Recording& run, std::size_t count) const
    {
        std::map<std::string, FileState> files = BaseFiles();
        for (std::size_t i = 0; i < count; ++i)
            Apply(run.Events[i], files[run.Events[i].File]);
        return files;
    }

    // The files a power cut after the first `count` events may leave.
    std::map<std::string, FileState> Cut(const Recording& run, std::size_t count, Model model,
                                         std::mt19937& random) const
    {
        std::map<std::string, FileState> files = BaseFiles();
        // Each file's versions since its last sync: [0] the synced one.
        std::map<std::string, std::vector<FileState>> versions;
        for (auto& [name, state] : files)
            versions[name] = {state};
        for (std::size_t i = 0; i < count; ++i) {
            const Event& event = run.Events[i];
            std::vector<FileState>& chain = versions[event.File];
            if (chain.empty())
                chain.push_back(std::nullopt);
            FileState next = chain.back();
            Apply(event, next);
            if (event.Kind == 'S')
                chain = {next};
            else
                chain.push_back(next);
        }
        std::map<std::string, FileState> cut;
        for (auto& [name, chain] : versions) {
            auto pick = [&] {
                return chain[std::uniform_int_distribution<std::size_t>(0, chain.size() - 1)(random)];
            };
            if (model == Model::PerFile) {
                cut[name] = pick();
                continue;
            }
            FileState sized = pick();
            if (!sized) {
                cut[name] = std::nullopt;
                continue;
            }
            Bytes bytes(sized->size());
            for (std::size_t page = 0; page < bytes.size(); page += DiskPage) {
                FileState version = pick();
                for (std::size_t i = page; i < std::min(bytes.size(), page + DiskPage); ++i)
                    bytes[i] = version && i < version->size() ? (*version)[i] : 0;
            }
            cut[name] = bytes;
        }
        return cut;
    }

    // Opens the files as the program opens a client and checks them in full.
    Outcome Open(const std::map<std::string, FileState>& files, const std::string& name)
    {
        std::string dir = Dir + name + "/";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directory(dir);
        for (const auto& [file, bytes] : files)
            if (bytes)
                WriteBytes(dir + file, *bytes);
        std::string table = dir + "T.DBF";
        Outcome outcome;
        XBSHORT area = E.xb_Use(table.c_str(), "", 0, 2);
        if (area <= 0 || E.xbx_LastError() == XBE_E_CORRUPT_DATA) {
            outcome.Kind = Outcome::Refused;
            outcome.Why = E.xbx_LastErrorText();
            E.xb_CloseAll();
            return outcome;
        }
        auto damaged = [&](const std::string& why) {
            outcome.Kind = Outcome::Damaged;
            outcome.Why = why;
            E.xb_CloseAll();
            return outcome;
        };
        int count = E.xb_RecCount();
        Bytes dbf = ReadBytes(table);
        std::size_t header = dbf[8] | (dbf[9] << 8), length = dbf[10] | (dbf[11] << 8);
        if (dbf.size() != header + std::size_t(count) * length + 1 || dbf.back() != 0x1A)
            return damaged("the count " + std::to_string(count) + " disagrees with the file's size");
        for (int r = 1; r <= count; ++r) {
            E.xb_Go(r);
            Row row {E.xb_Deleted() != 0, Trim("ID"), Trim("AMT"), Memo("NOTE")};
            if (E.xbx_LastError() != XBE_OK)
                return damaged("record " + std::to_string(r) + ": " + E.xbx_LastErrorText());
            if (row.Memo.find_first_not_of(row.Memo.empty() ? ' ' : row.Memo[0]) != std::string::npos)
                return damaged("the memo of record " + std::to_string(r) + " is torn");
            outcome.Rows.push_back(row);
        }
        for (XBSHORT order = 1; Indexed && order <= 3; ++order) {
            const Tag& tag = Tags[order - 1];
            E.xb_SetOrder(order);
            std::vector<int> walked;
            for (E.xb_GoTop(); !E.xb_Eof() && int(walked.size()) <= count; E.xb_Skip(1))
                walked.push_back(E.xb_RecNo());
            if (E.xbx_LastError() != XBE_OK)
                return damaged(std::string("tag ") + tag.Name + ": " + E.xbx_LastErrorText());
            std::vector<int> expected(static_cast<std::size_t>(count));
            for (int r = 1; r <= count; ++r)
                expected[std::size_t(r - 1)] = r;
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                return SortKey(tag, outcome.Rows[std::size_t(a - 1)]) <
                       SortKey(tag, outcome.Rows[std::size_t(b - 1)]);
            });
            if (walked != expected)
                return damaged(std::string("tag ") + tag.Name + " is out of step with the records");
        }
        E.xb_CloseAll();
        return outcome;
    }

    struct Tally {
        int Cuts = 0, Whole = 0, Refused = 0, Damaged = 0, Syncs = 0;
        std::string FirstDamage;
    };

    // Every cut point of a run under both models; silent damage and
    // refusals counted, the first damage described.
    Tally CutEverywhere(int mode, int commitEvery, bool durable)
    {
        Recording run = Record(mode, commitEvery, durable);
        EXPECT_GE(run.Returned.size(), 1u);
        // The records after each returned call, the first before any.
        std::vector<std::vector<Row>> after;
        after.push_back(Open(BaseFiles(), "before").Rows);
        for (std::size_t returned : run.Returned) {
            Outcome reference = Open(Replayed(run, returned), "reference");
            EXPECT_EQ(reference.Kind, Outcome::Whole) << reference.Why;
            after.push_back(reference.Rows);
        }
        Tally tally;
        tally.Syncs = int(std::count_if(run.Events.begin(), run.Events.end(),
                                        [](const Event& event) { return event.Kind == 'S'; }));
        std::mt19937 random(std::uint32_t(1000 * mode + commitEvery));
        for (std::size_t count = 0; count <= run.Events.size(); ++count) {
            // The calls returned by then: the records are as after the last,
            // the one before (unless that returned from a commit) or the next.
            std::size_t calls = std::size_t(
                    std::upper_bound(run.Returned.begin(), run.Returned.end(), count) - run.Returned.begin());
            std::size_t lowest = calls == 0 || run.Committed[calls - 1] ? calls : calls - 1;
            for (Model model : {Model::PerFile, Model::PerPage}) {
                ++tally.Cuts;
                Outcome outcome = Open(Cut(run, count, model, random), "cut");
                if (outcome.Kind == Outcome::Whole) {
                    bool known = false;
                    for (std::size_t state = lowest; state <= std::min(calls + 1, after.size() - 1); ++state)
                        known = known || outcome.Rows == after[state];
                    if (!known) {
                        outcome.Kind = Outcome::Damaged;
                        outcome.Why = "the records are in between two calls";
                    }
                }
                if (outcome.Kind == Outcome::Whole)
                    ++tally.Whole;
                else if (outcome.Kind == Outcome::Refused)
                    ++tally.Refused;
                else
                    ++tally.Damaged;
                if (outcome.Kind != Outcome::Whole && tally.FirstDamage.empty())
                    tally.FirstDamage = std::string(model == Model::PerFile ? "per file" : "per page") +
                                        ", after event " + std::to_string(count) + " of " +
                                        std::to_string(run.Events.size()) + ": " + outcome.Why;
            }
        }
        std::printf("mode %d, commit every %d, %s: %d cuts, %d whole, %d refused, %d silently damaged\n",
                    mode, commitEvery, durable ? "durable" : "unsynced", tally.Cuts, tally.Whole,
                    tally.Refused, tally.Damaged);
        return tally;
    }

    bool Indexed = true;
    std::string Base;
};

class UnindexedPowerCut : public PowerCut {
protected:
    UnindexedPowerCut() { Indexed = false; }
};

// Durable writes leave every cut whole, in either mode, with and without
// commits between the writes, and with the whole run one group of writes.
TEST_F(PowerCut, EveryCutOfADurableRunLeavesTheTableAsAfterOrBeforeAFinishedCall)
{
    struct Case {
        int Mode;
        int CommitEvery;
    };
    for (Case run : {Case {0, 0}, Case {2, 0}, Case {0, 1}, Case {0, -1}, Case {2, -1}}) {
        SCOPED_TRACE("mode " + std::to_string(run.Mode) + ", commit every " +
                     std::to_string(run.CommitEvery));
        Tally tally = CutEverywhere(run.Mode, run.CommitEvery, true);
        EXPECT_EQ(tally.Damaged + tally.Refused, 0) << tally.FirstDamage;
        // A group pays the syncs of one change and the close's, whatever
        // its calls: the journal and the three files, twice each (a shared
        // open syncs the journal once more when its keys' pages go out).
        if (run.CommitEvery < 0) {
            EXPECT_LE(tally.Syncs, 10);
        }
    }
}

TEST_F(UnindexedPowerCut, EveryCutOfADurableRunLeavesTheTableAsAfterOrBeforeAFinishedCall)
{
    for (int mode : {0, 2}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        Tally tally = CutEverywhere(mode, 0, true);
        EXPECT_EQ(tally.Damaged + tally.Refused, 0) << tally.FirstDamage;
    }
}

// The same cuts of an unsynced run do damage tables: the simulation sees
// what a power cut can do, and the setting is what prevents it.
TEST_F(PowerCut, CutsOfAnUnsyncedRunDamageTables)
{
    Tally tally = CutEverywhere(0, 0, false);
    EXPECT_GT(tally.Damaged + tally.Refused, 0);
}

}  // namespace
