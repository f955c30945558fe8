#pragma once
// Where the table files are locked. Several computers may share one data
// directory, so every open and every data lock is a Linux open-file-description
// lock (F_OFD_SETLK): such locks conflict between processes and between two
// opens within one process, and vanish with the process that held them.
//
// The data locks sit at the offsets FoxPro-compatible tools use, so those tools
// see our locks on a shared directory and we see theirs.

#include <cstdint>

#include "platform/rtl/types.h"

namespace sharelocks {

// Every open of a table file (DBF, FPT, CDX) holds this byte: a read lock for a
// shared or read-only open, a write lock (taken without waiting) for an
// exclusive open.
constexpr std::int64_t OpenModeOffset = 0x7FFFFFFF00000000LL;

// The DBF header lock (appends, file locks) and the CDX lock.
constexpr std::int64_t HeaderOffset = 0x7FFFFFFELL;
constexpr std::int64_t IndexOffset = 0x7FFFFFFELL;

// The DBF byte an open holds while it changes the table's files and their
// rollback journal: one change at a time, above FoxPro's range.
constexpr std::int64_t JournalOffset = OpenModeOffset + 1;

// Record n (1-based) is locked at HeaderOffset - n.
constexpr std::int64_t RecordOffset(std::int64_t recno) { return HeaderOffset - recno; }

enum class LockKind { Shared, Exclusive };

// One open-file-description lock on a byte range of a descriptor; released
// by Release, by destruction, or when the descriptor's last copy closes.
class OfdLock {
public:
    OfdLock() = default;
    ~OfdLock();
    OfdLock(OfdLock&& Other) noexcept;
    OfdLock& operator=(OfdLock&& Other) noexcept;
    OfdLock(const OfdLock&) = delete;
    OfdLock& operator=(const OfdLock&) = delete;

    // Without waiting: false when another open holds a conflicting lock. An
    // exclusive lock needs a descriptor open for writing. Other failures raise
    // EInOutError.
    bool TryAcquire(int Fd, std::int64_t Offset, LockKind Kind, std::int64_t Length = 1);
    // Waits until the lock is granted; failures raise EInOutError.
    void Acquire(int Fd, std::int64_t Offset, LockKind Kind, std::int64_t Length = 1);
    // Drops a held lock; nothing when none is held.
    void Release();
    bool Held() const { return FFd >= 0; }

private:
    bool Set(int Fd, std::int64_t Offset, LockKind Kind, std::int64_t Length, bool Wait);

    int FFd = -1;
    std::int64_t FOffset = 0;
    std::int64_t FLength = 0;
};

// True when another open of the file (in this process or another) holds a lock
// on its open-mode byte. A missing or unreadable file is not in use.
bool FileInUse(const String& Path);

// True when locks work in the directory: two opens of a probe file there
// conflict as two computers' opens would. False on a file system without lock
// support, or when the directory cannot be written.
bool LocksWorkIn(const String& Dir);

// Keeps a file from being opened by others while it is deleted, replaced or
// renamed: holds the write lock on its open-mode byte through its own open.
// Claim is false when the file is in use; a missing file can be claimed.
class FileClaim {
public:
    FileClaim() = default;
    ~FileClaim();
    FileClaim(const FileClaim&) = delete;
    FileClaim& operator=(const FileClaim&) = delete;

    bool Claim(const String& Path);

private:
    int FFd = -1;
    OfdLock FLock;
};

}  // namespace sharelocks
