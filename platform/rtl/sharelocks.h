#pragma once
// Where the table files are locked. Several computers may share one data
// directory, so every open and every data lock is a Linux open-file-description
// lock (F_OFD_SETLK): such locks conflict between processes and between two
// opens within one process, and vanish with the process that held them.
//
// The data locks sit at the offsets FoxPro-compatible tools use, so those tools
// see our locks on a shared directory and we see theirs.

#include <cstdint>

namespace sharelocks {

// Every open of a table file (DBF, FPT, CDX) holds this byte: a read lock for a
// shared or read-only open, a write lock (taken without waiting) for an
// exclusive open.
constexpr std::int64_t OpenModeOffset = 0x7FFFFFFF00000000LL;

// The DBF header lock (appends, file locks) and the CDX lock.
constexpr std::int64_t HeaderOffset = 0x7FFFFFFELL;
constexpr std::int64_t IndexOffset = 0x7FFFFFFELL;

// Record n (1-based) is locked at HeaderOffset - n.
constexpr std::int64_t RecordOffset(std::int64_t recno) { return HeaderOffset - recno; }

}  // namespace sharelocks
