// Feeds the engine tables with damaged headers, record counts, memo files
// and index pages, mutated from one good table with a fixed seed; walks and
// seeks whatever opens, and in some rounds writes records and memos and
// appends. Any crash or out-of-bounds access fails the run (under the
// sanitizers in CI), and so does a write that grows a file past a small cap.
// Argument: the number of rounds.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include "tests/support/tempdir.h"
#include "tests/xbengine/mutation.h"
#include "tests/xbengine/xbebinding.h"

namespace {

using Bytes = FileBytes;

// No file of a round may grow past this: the seed's files are a few
// kilobytes, and a round stores less than one more.
constexpr rlim_t FileSizeCap = 1 << 20;
volatile sig_atomic_t Round = 0;

void AboveTheCap(int)
{
    static const char text[] = "a write went past the file-size cap in round ";
    char digits[16];
    int n = 0;
    for (int r = Round; n == 0 || r > 0; r /= 10)
        digits[n++] = char('0' + r % 10);
    [[maybe_unused]] ssize_t w = write(2, text, sizeof text - 1);
    while (n > 0)
        w = write(2, &digits[--n], 1);
    w = write(2, "\n", 1);
    _exit(1);
}

void Walk(XbeBinding& e, bool write)
{
    std::vector<char> record(std::size_t(std::max(e.xb_RecSize(), 0)) + 1);
    int fields = e.xb_FieldCount();
    int steps = 0;
    for (e.xb_GoTop(); !e.xb_Eof() && steps < 40; e.xb_Skip(1), ++steps) {
        e.xb_GetRecord(record.data());
        for (int f = 1; f <= fields; ++f) {
            std::string name = e.xb_FieldName(XBSHORT(f));
            e.xb_GetString(name.c_str());
            e.xb_GetDouble(name.c_str());
            e.xb_GetDateString(name.c_str());
            if (std::string(e.xb_FieldType(name.c_str())) == "M")
                e.xb_MemDealloc(e.xb_GetMemo(name.c_str(), 0));
        }
        if (write && steps % 2 == 0) {
            e.xb_PutRecord(record.data());
            e.xb_Replace("TEXT", 3072, std::string(std::size_t(30 + 70 * steps), 'w').c_str());
        }
    }
    e.xb_Seek("record");
    e.xb_GoBottom();
    e.xb_Skip(-3);
    e.xb_Go(2);
    if (write && e.xb_AppendBlank()) {
        e.xb_Replace("NAME", 1024, "fuzz");
        e.xb_Replace("TEXT", 3072, "fuzzed memo text that needs a few blocks of the memo file");
        e.xb_Delete();
        e.xb_Pack();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    XbeBinding& e = Xbe();
    e.xb_ErrorLevel(0);
    e.xb_SetLockTimeout(0);
    // In memory where there is such a directory: closing a written table syncs it.
    const TempDir scratch("xbe-fuzz", TempDir::MemoryBase());
    const std::string dir = scratch.Path();

    XBSHORT area = e.xb_CreateNew((dir + "SEED").c_str(), "", 2, 5);
    e.xb_Select(area);
    e.xb_CreateField("NAME", "C", 12, 0);
    e.xb_CreateField("AMOUNT", "N", 9, 2);
    e.xb_CreateField("DAY", "D", 8, 0);
    e.xb_CreateField("OK", "L", 1, 0);
    e.xb_CreateField("TEXT", "M", 10, 0);
    if (!e.xb_CreateExec())
        return 1;
    for (int i = 0; i < 5; ++i) {
        e.xb_AppendBlank();
        e.xb_Replace("NAME", 1024, "record");
        e.xb_Replace("AMOUNT", 1024, "12.5");
        e.xb_Replace("DAY", 1024, "20240131");
        e.xb_Replace("TEXT", 3072, std::string(40 * (i + 1), 'm').c_str());
    }
    e.xb_IndexTag("", "NAME", "NAME", 0, 0, "");
    e.xb_IndexTag("", "AMOUNT", "AMOUNT", 0, 0, "");
    e.xb_Close();
    Bytes dbf = Load(dir + "SEED.DBF");
    Bytes fpt = Load(dir + "SEED.FPT");
    Bytes cdx = Load(dir + "SEED.CDX");

    signal(SIGXFSZ, AboveTheCap);
    rlimit cap {FileSizeCap, FileSizeCap};
    if (setrlimit(RLIMIT_FSIZE, &cap) != 0)
        return 1;
    std::size_t header = dbf[8] | (dbf[9] << 8);

    std::mt19937 random(20240131);
    for (int round = 0; round < rounds; ++round) {
        Round = round;
        Bytes table = dbf;
        Bytes memo = fpt;
        Bytes index = cdx;
        switch (round % 4) {
        case 0: Mutate(table, random, header); break;
        case 1: Mutate(table, random, table.size()); break;
        case 2: Mutate(memo, random, round % 3 ? 16 : memo.size()); break;  // the memo header, or anywhere
        default: Mutate(index, random, index.size()); break;
        }
        Save(dir + "T.DBF", table);
        Save(dir + "T.FPT", memo);
        Save(dir + "T.CDX", index);
        // Reads read-only; writes in turn exclusive and shared.
        int mode = round % 3 == 0 ? 1 : round % 3 == 1 ? 2 : 0;
        if (e.xb_Use((dir + "T").c_str(), "", XBSHORT(mode), 2) > 0) {
            e.xb_SetOrder(XBSHORT(round % 3));
            Walk(e, mode != 1);
            e.xb_Close();
        }
    }
    std::printf("%d rounds\n", rounds);
    return 0;
}
