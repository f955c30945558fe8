// Damages the DBF, FPT or CDX of a small table with six tags and a memo
// field (a fixed seed), reads what the damaged table shows, makes one write
// (an append with a memo, a record and memo update, or a longer memo) in an
// exclusive or shared open, and reads the table back. A write that reports
// success must have left every record it did not write as it was, memo
// included, and every tag's walk as whole as before with the written
// record in it once; a write that meets damage it cannot get past must
// fail. Arguments: the number of rounds, and optionally the first round.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/support/tempdir.h"
#include "tests/xbengine/mutation.h"
#include "tests/xbengine/tablesnapshot.h"

namespace {

constexpr int Records = 30;
const char* const Extensions[] = {".DBF", ".FPT", ".CDX"};
const char* const Writes[] = {"append", "update", "longer memo"};

// One round's write; false when a call failed. written gets the record.
bool Write(XbeBinding& e, int kind, int count, std::mt19937& random, int& written)
{
    if (kind == 0) {
        written = count + 1;
        return e.xb_AppendBlank() && e.xb_Replace("NAME", 1024, "fuzz appended") &&
               e.xb_Replace("TEXT", 3072,
                            "an appended memo that takes a few blocks of the memo file, "
                            "written after the damage");
    }
    if (count == 0)
        return false;
    written = 1 + int(random() % unsigned(count));
    e.xb_Go(written);
    if (kind == 1)
        return e.xb_Replace("NAME", 1024, "fuzz updated") && e.xb_Replace("TEXT", 3072, "short");
    return e.xb_Replace("TEXT", 3072, std::string(1500, 'L').c_str()) != 0;
}

// The whole record slots of a DBF as its header lays them out, counted or not.
std::vector<std::string> Slots(const FileBytes& dbf)
{
    std::vector<std::string> slots;
    if (dbf.size() < 12)
        return slots;
    std::size_t header = dbf[8] | dbf[9] << 8, length = dbf[10] | dbf[11] << 8;
    for (std::size_t at = header; length > 0 && at + length <= dbf.size(); at += length)
        slots.emplace_back(dbf.begin() + std::ptrdiff_t(at), dbf.begin() + std::ptrdiff_t(at + length));
    return slots;
}

// What a successful write must have kept; the faults found, as text.
std::vector<std::string> Faults(const TableSnapshot& before, const TableSnapshot& after,
                                const FileBytes& dbfBefore, const FileBytes& dbfAfter, int written,
                                bool appended)
{
    std::vector<std::string> faults;
    std::size_t expected = before.Images.size() + (appended ? 1 : 0);
    if (after.Images.size() != expected)
        faults.push_back("the table holds " + std::to_string(after.Images.size()) + " records, not " +
                         std::to_string(expected));
    for (std::size_t n = 1; n <= std::min(before.Images.size(), after.Images.size()); ++n) {
        if (int(n) == written)
            continue;
        if (after.Images[n - 1] != before.Images[n - 1])
            faults.push_back("record " + std::to_string(n) + " changed");
        if (before.MemosRead[n - 1] && after.Memos[n - 1] != before.Memos[n - 1])
            faults.push_back("the memo of record " + std::to_string(n) + " changed");
    }
    // Records past a damaged count are kept too.
    std::vector<std::string> slotsBefore = Slots(dbfBefore), slotsAfter = Slots(dbfAfter);
    for (std::size_t n = 1; n <= std::min(slotsBefore.size(), slotsAfter.size()); ++n)
        if (int(n) != written && slotsAfter[n - 1] != slotsBefore[n - 1])
            faults.push_back("the bytes of record " + std::to_string(n) + " in the file changed");
    // A tag whose walk the damage had broken already is not judged.
    for (std::size_t t = 0; t < SampleTags().size(); ++t)
        if (before.TagsOpen[t] && Sorted(before.Walks[t]) == OneToN(int(before.Images.size())) &&
            Sorted(after.Walks[t]) != OneToN(int(after.Images.size())))
            faults.push_back("the walk of tag " + SampleTags()[t] + " is no longer whole");
    return faults;
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    int first = argc > 2 ? std::atoi(argv[2]) : 0;
    XbeBinding& e = Xbe();
    e.xb_ErrorLevel(0);
    e.xb_SetLockTimeout(0);
    const TempDir scratch("xbe-damage-fuzz", TempDir::MemoryBase());
    const std::string dir = scratch.Path();
    const std::string table = dir + "T";
    if (!CreateSample(e, table, Records)) {
        std::fprintf(stderr, "cannot make the sample: %s\n", e.xbx_LastErrorText());
        return 1;
    }
    std::vector<FileBytes> pristine;
    for (const char* ext : Extensions)
        pristine.push_back(Load(table + ext));

    std::mt19937 random(20260111);
    int failed = 0, refused = 0, written = 0;
    for (int round = 0; round < first + rounds; ++round) {
        int file = round % 3, kind = (round / 3) % 3;
        XBSHORT mode = (round / 9) % 2 ? 0 : 2;
        std::vector<FileBytes> files = pristine;
        // Every other round damages the counts and pointers at the start of
        // the file, which decide where a write goes.
        const std::size_t heads[] = {32, 8, 1024};
        Mutate(files[std::size_t(file)], random, round % 2 ? heads[file] : files[std::size_t(file)].size());
        std::mt19937 choice {static_cast<unsigned>(round)};
        if (round < first)
            continue;
        for (std::size_t i = 0; i < files.size(); ++i)
            Save(table + Extensions[i], files[i]);

        if (e.xb_Use(table.c_str(), "", 1, 2) <= 0)
            continue;
        TableSnapshot before = Snapshot(e);
        e.xb_Close();
        if (e.xb_Use(table.c_str(), "", mode, 2) <= 0) {
            ++refused;
            continue;
        }
        int recno = 0;
        bool ok = Write(e, kind, int(before.Images.size()), choice, recno);
        e.xb_Close();
        if (!ok) {
            ++refused;
            continue;
        }
        ++written;
        if (e.xb_Use(table.c_str(), "", 1, 2) <= 0) {
            std::fprintf(stderr, "round %d: the table no longer opens after a write that succeeded\n", round);
            ++failed;
            continue;
        }
        TableSnapshot after = Snapshot(e);
        e.xb_Close();
        const FileBytes& good = pristine[std::size_t(file)];
        const FileBytes& bad = files[std::size_t(file)];
        std::size_t from = std::size_t(
                std::mismatch(good.begin(), good.begin() + std::ptrdiff_t(std::min(good.size(), bad.size())),
                              bad.begin())
                        .first -
                good.begin());
        for (const std::string& fault :
             Faults(before, after, files[0], Load(table + ".DBF"), recno, kind == 0)) {
            std::fprintf(
                    stderr,
                    "round %d (%s damaged from byte %zu, %zu bytes long; %s of record %d, mode %d): %s\n",
                    round, Extensions[file], from, bad.size(), Writes[kind], recno, mode, fault.c_str());
            ++failed;
        }
    }
    std::printf("%d rounds: %d writes succeeded, %d refused, %d faults\n", rounds, written, refused, failed);
    return failed == 0 ? 0 : 1;
}
