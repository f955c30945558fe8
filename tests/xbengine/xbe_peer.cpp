// A second process on the same tables, for the sharing tests. It runs one
// command, prints "ready" or "failed <code>", and holds what it opened or
// locked until its standard input closes.
//
//   xbe_peer open <table> <mode>
//   xbe_peer rlock <table> <record>
//   xbe_peer rewrite <table> <record> <field>=<text>...
//       (shared; locks the record, stores the texts, unlocks)
//   xbe_peer append <table> <count> <tag>    (shared; field ID gets tag + number)
//   xbe_peer work <table> <mode> <count>
//       opens the table (0 shared, 2 exclusive) and appends count records
//       with an ID, an amount and a memo, after each one rewriting an
//       earlier record's amount and memo and, every third, deleting one;
//       an exclusive open then packs the table; exits 0 at the end without
//       waiting (the crash tests stop it before one of its writes)
//   xbe_peer work <table> <mode> <count> <commit-every> <durable>
//       the same, with a commit after every commit-every records (0: none,
//       -1: the whole work one group of writes) and durable writes on (1)
//       or off (0), the pack left out of a group; with XBE_WRITE_LOG set, each finished call that writes
//       appends "M" (after a commit, or the group's end, "M C") to that
//       log, after the engine's own events
//   xbe_peer pack <table> <durable>
//       opens the table exclusively, durable writes on (1) or off (0), packs
//       it and exits 0
//   xbe_peer churn <table> <count>
//       (shared) count times gives a record, each in turn, the fields
//       ID "R<i>", NAME "N<i>" and NUM i in one locked record write; then
//       prints "ready"
//   xbe_peer lockedappend <table> <count> <tag>
//       (shared) takes the file lock, prints "locked", and after a line on
//       its input and a pause appends as above, field N getting the number,
//       then unlocks
//   xbe_peer appendseek <table> <count> <tag> <other>
//       appends as above, prints "appended", and after a line on its input
//       seeks the IDs other + 1 .. other + count in the first order

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tests/xbengine/xbebinding.h"

namespace {

int Report(bool ok)
{
    XbeBinding& e = Xbe();
    if (ok)
        std::printf("ready\n");
    else
        std::printf("failed %d %s\n", e.xbx_LastError(), e.xbx_LastErrorText());
    std::fflush(stdout);
    while (std::getchar() != EOF) { }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    XbeBinding& e = Xbe();
    e.xb_ErrorLevel(0);
    std::string command = argv[1];
    if (command == "open")
        return Report(e.xb_Use(argv[2], "", XBSHORT(std::atoi(argv[3])), 2) > 0);
    if (command == "rlock")
        return Report(e.xb_Use(argv[2], "", 0, 2) > 0 && e.xb_Rlock(std::atoi(argv[3])));
    if (command == "rewrite" && argc >= 5) {
        if (e.xb_Use(argv[2], "", 0, 2) <= 0)
            return Report(false);
        int record = std::atoi(argv[3]);
        e.xb_Go(record);
        bool ok = e.xb_Rlock(record) != 0;
        for (int i = 4; ok && i < argc; ++i) {
            std::string assignment = argv[i];
            std::size_t equals = assignment.find('=');
            ok = equals != std::string::npos &&
                 e.xb_Replace(assignment.substr(0, equals).c_str(), 1024, assignment.c_str() + equals + 1);
        }
        e.xb_Unlock(record);
        return Report(ok);
    }
    if (command == "work" && (argc == 5 || argc == 7)) {
        int commitEvery = argc == 7 ? std::atoi(argv[5]) : 0;
        if (argc == 7)
            e.xb_SysProp(1011, XBPROP(std::atoi(argv[6])));
        const char* logPath = std::getenv("XBE_WRITE_LOG");
        std::FILE* log = logPath ? std::fopen(logPath, "a") : nullptr;
        bool grouped = commitEvery < 0;
        auto done = [&](bool ok, const char* mark = "M\n") {
            if (ok && log && (!grouped || mark[2] == 'C')) {
                std::fputs(mark, log);
                std::fflush(log);
            }
            return ok;
        };
        if (e.xb_Use(argv[2], "", XBSHORT(std::atoi(argv[3])), 2) <= 0 || (grouped && !e.xb_SysProp(3010, 0)))
            return 1;
        for (int i = 1, count = std::atoi(argv[4]); i <= count; ++i) {
            std::string id = "R" + std::to_string(i), amount = std::to_string(i) + ".25";
            std::string memo(std::size_t(10 + 37 * i % 200), char('a' + i % 26));
            if (!done(e.xb_AppendBlank()) || !done(e.xb_Replace("ID", 1024, id.c_str())) ||
                !done(e.xb_Replace("AMT", 1024, amount.c_str())) ||
                !done(e.xb_Replace("NOTE", 3072, memo.c_str())))
                return 1;
            int earlier = e.xb_RecNo() / 2;
            e.xb_Go(earlier);
            std::string changed = std::to_string(100 * i) + ".5";
            std::string longer(std::size_t(40 + 53 * i % 300), char('A' + i % 26));
            if (!done(e.xb_Replace("AMT", 1024, changed.c_str())) ||
                !done(e.xb_Replace("NOTE", 3072, longer.c_str())))
                return 1;
            if (i % 3 == 0 && (e.xb_Go(earlier + 1), !done(e.xb_Delete())))
                return 1;
            if (commitEvery > 0 && i % commitEvery == 0 && !done(e.xb_Commit(), "M C\n"))
                return 1;
        }
        if (grouped && !done(e.xb_SysProp(3011, 0) != 0, "M C\n"))
            return 1;
        if (std::atoi(argv[3]) == 2 && !grouped && !done(e.xb_Pack() != 0))
            return 1;
        e.xb_Close();
        return 0;
    }
    if (command == "pack") {
        e.xb_SysProp(1011, XBPROP(std::atoi(argv[3])));
        if (e.xb_Use(argv[2], "", 2, 2) <= 0 || !e.xb_Pack())
            return 1;
        e.xb_Close();
        return 0;
    }
    if (command == "churn" && argc == 4) {
        e.xb_SetLockTimeout(-1);
        if (e.xb_Use(argv[2], "", 0, 2) <= 0)
            return Report(false);
        std::string image(std::size_t(e.xb_RecSize()) + 1, '\0');
        auto put = [&](const char* field, const std::string& text, bool right) {
            std::size_t width = std::size_t(e.xb_FieldWidth(field));
            std::string padded = right ? std::string(width - text.size(), ' ') + text
                                       : text + std::string(width - text.size(), ' ');
            image.replace(std::size_t(e.xb_FieldOffset(field) - 1), width, padded);
        };
        for (int i = 1, count = std::atoi(argv[3]); i <= count; ++i) {
            int record = 1 + i % e.xb_RecCount();
            e.xb_Go(record);
            if (!e.xb_Rlock(record))
                return Report(false);
            e.xb_GetRecord(image.data());
            std::string n = std::to_string(i);
            put("ID", "R" + n, false);
            put("NAME", "N" + n, false);
            put("NUM", n, true);
            bool ok = e.xb_PutRecord(image.data()) != 0;
            e.xb_Unlock(record);
            if (!ok)
                return Report(false);
        }
        return Report(true);
    }
    if (command == "lockedappend" && argc == 5) {
        if (e.xb_Use(argv[2], "", 0, 2) <= 0 || !e.xb_Flock())
            return Report(false);
        std::printf("locked\n");
        std::fflush(stdout);
        for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) { }
        // Time for the other process to come to its first append and wait.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        for (int i = 1, count = std::atoi(argv[3]); i <= count; ++i) {
            std::string id = std::string(argv[4]) + std::to_string(i), number = std::to_string(i);
            if (!e.xb_AppendBlank() || !e.xb_Replace("ID", 1024, id.c_str()) ||
                !e.xb_Replace("N", 1024, number.c_str()))
                return Report(false);
        }
        e.xb_Unlock(0);
        return Report(true);
    }
    if ((command == "append" && argc == 5) || (command == "appendseek" && argc == 6)) {
        e.xb_SetLockTimeout(-1);
        if (e.xb_Use(argv[2], "", 0, 2) <= 0)
            return Report(false);
        int count = std::atoi(argv[3]);
        for (int i = 1; i <= count; ++i) {
            std::string id = std::string(argv[4]) + std::to_string(i);
            if (!e.xb_AppendBlank() || !e.xb_Replace("ID", 1024, id.c_str()))
                return Report(false);
        }
        if (command == "append")
            return Report(true);
        std::printf("appended\n");
        std::fflush(stdout);
        for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) { }
        e.xb_SetOrder(1);
        e.xb_SetExact(1);
        for (int i = 1; i <= count; ++i) {
            std::string id = std::string(argv[5]) + std::to_string(i);
            if (!e.xb_Seek(id.c_str()))
                return Report(false);
        }
        return Report(true);
    }
    return 2;
}
