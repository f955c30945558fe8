#include "platform/rtl/sharelocks.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileops.h"
#include "tests/support/tempdir.h"

extern char** environ;

namespace {

using sharelocks::LockKind;
using sharelocks::OfdLock;
using sharelocks::OpenModeOffset;

int OpenFile(const String& Name, int Flags)
{
    int fd = ::open(Name.c_str(), Flags | O_CLOEXEC);
    EXPECT_GE(fd, 0) << Name;
    return fd;
}

TEST(OfdLockTest, TwoOpensInOneProcessConflict)
{
    TempDir dir;
    String name = dir.Write("t.dbf", "data");
    int a = OpenFile(name, O_RDWR);
    int b = OpenFile(name, O_RDWR);
    {
        OfdLock shared1, shared2, exclusive;
        EXPECT_TRUE(shared1.TryAcquire(a, OpenModeOffset, LockKind::Shared));
        EXPECT_TRUE(shared2.TryAcquire(b, OpenModeOffset, LockKind::Shared));
        int c = OpenFile(name, O_RDWR);
        EXPECT_FALSE(exclusive.TryAcquire(c, OpenModeOffset, LockKind::Exclusive));
        EXPECT_FALSE(exclusive.Held());
        ::close(c);
        EXPECT_TRUE(sharelocks::FileInUse(name));
        shared1.Release();
        shared2.Release();
        EXPECT_FALSE(sharelocks::FileInUse(name));

        OfdLock record1, record1Again, record2;
        EXPECT_TRUE(record1.TryAcquire(a, sharelocks::RecordOffset(1), LockKind::Exclusive));
        EXPECT_FALSE(record1Again.TryAcquire(b, sharelocks::RecordOffset(1), LockKind::Exclusive));
        EXPECT_FALSE(record1Again.Held());
        EXPECT_TRUE(record2.TryAcquire(b, sharelocks::RecordOffset(2), LockKind::Exclusive));
        // Moving a lock keeps it held exactly once.
        OfdLock moved = std::move(record1);
        EXPECT_FALSE(record1.Held());
        EXPECT_TRUE(moved.Held());
        EXPECT_FALSE(record1Again.TryAcquire(b, sharelocks::RecordOffset(1), LockKind::Exclusive));
        moved.Release();
        EXPECT_TRUE(record1Again.TryAcquire(b, sharelocks::RecordOffset(1), LockKind::Exclusive));
    }
    // Destruction released everything.
    OfdLock whole;
    EXPECT_TRUE(whole.TryAcquire(a, 0, LockKind::Exclusive, 0));
    ::close(a);
    ::close(b);

    int readOnly = OpenFile(name, O_RDONLY);
    OfdLock bad;
    EXPECT_THROW(bad.TryAcquire(readOnly, OpenModeOffset, LockKind::Exclusive), EInOutError);
    ::close(readOnly);
}

TEST(OfdLockTest, ClosingTheDescriptorDropsOnlyItsLocks)
{
    TempDir dir;
    String name = dir.Write("t.dbf", "data");
    int a = OpenFile(name, O_RDWR);
    int b = OpenFile(name, O_RDWR);
    OfdLock lockA, lockB;
    ASSERT_TRUE(lockA.TryAcquire(a, OpenModeOffset, LockKind::Shared));
    ASSERT_TRUE(lockB.TryAcquire(b, OpenModeOffset, LockKind::Shared));
    ::close(a);
    EXPECT_TRUE(sharelocks::FileInUse(name));  // b still holds it
    lockB.Release();
    EXPECT_FALSE(sharelocks::FileInUse(name));
    ::close(b);
}

TEST(FileInUseTest, MissingAndUnlockedFilesAreFree)
{
    TempDir dir;
    EXPECT_FALSE(sharelocks::FileInUse(dir / "missing.dbf"));
    String name = dir.Write("plain.dbf", "");
    int fd = OpenFile(name, O_RDONLY);  // opened without the open-mode lock
    EXPECT_FALSE(sharelocks::FileInUse(name));
    ::close(fd);
}

// The helper process holding a file open, as another computer's program would.
class Holder {
public:
    explicit Holder(const String& FileName)
    {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        String program = RTL_LOCKHOLDER;
        char* argv[] = {program.data(), const_cast<char*>(FileName.c_str()), nullptr};
        int rc = ::posix_spawn(&FPid, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        FInput = in[1];
        FOutput = out[0];
        if (rc != 0)
            throw std::runtime_error("cannot start " + program);
    }
    ~Holder() { Stop(); }

    // The first line the helper printed.
    String ReadLine()
    {
        String line;
        char c;
        while (::read(FOutput, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    }
    // Ends its input and waits for it; returns its exit status.
    int Stop()
    {
        if (FPid <= 0)
            return -1;
        ::close(FInput);
        ::close(FOutput);
        int status = 0;
        ::waitpid(FPid, &status, 0);
        FPid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t FPid = 0;
    int FInput = -1;
    int FOutput = -1;
};

TEST(SharingTest, FileHeldByAnotherProcessIsNotDeletedOrReplaced)
{
    TempDir dir;
    String table = dir.Write("CLIENT.DBF", "table data");
    String backup = dir.Write("backup.dbf", "backup data");

    Holder holder(table);
    ASSERT_EQ(holder.ReadLine(), "ready");
    EXPECT_TRUE(sharelocks::FileInUse(table));
    EXPECT_FALSE(DeleteFile(table));
    EXPECT_FALSE(DeleteFile(dir / "client.dbf"));
    EXPECT_FALSE(CopyFile(backup, table, false));
    EXPECT_FALSE(RenameFile(backup, table));
    EXPECT_FALSE(RenameFile(table, dir / "moved.dbf"));
    EXPECT_EQ(dir.Read("CLIENT.DBF"), "table data");
    EXPECT_EQ(dir.Read("backup.dbf"), "backup data");
    // Reading it is still allowed.
    EXPECT_TRUE(CopyFile(table, dir / "copy.dbf", true));
    EXPECT_EQ(dir.Read("copy.dbf"), "table data");

    ASSERT_EQ(holder.Stop(), 0);
    EXPECT_FALSE(sharelocks::FileInUse(table));
    EXPECT_TRUE(CopyFile(backup, table, false));
    EXPECT_EQ(dir.Read("CLIENT.DBF"), "backup data");
    EXPECT_TRUE(DeleteFile(table));
    EXPECT_EQ(dir.Read("CLIENT.DBF"), "<missing>");
}

TEST(SharingTest, HelperRefusesAFileHeldExclusively)
{
    TempDir dir;
    String table = dir.Write("t.dbf", "");
    int fd = OpenFile(table, O_RDWR);
    OfdLock exclusive;
    ASSERT_TRUE(exclusive.TryAcquire(fd, OpenModeOffset, LockKind::Exclusive));
    Holder holder(table);
    EXPECT_EQ(holder.ReadLine(), "");
    EXPECT_EQ(holder.Stop(), 1);
    ::close(fd);
}

}  // namespace

TEST(LocksWorkIn, LocalDirectoryHoldsLocksAndLeavesNoProbe)
{
    const std::string dir = ::testing::TempDir() + "lockswork/";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(sharelocks::LocksWorkIn(dir));
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    EXPECT_FALSE(sharelocks::LocksWorkIn(dir + "missing/"));
    std::filesystem::remove_all(dir);
}
