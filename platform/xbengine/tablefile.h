#pragma once
// One open table file (DBF, FPT, DBT, CDX) with positioned reads and writes.
// Its locks are sharelocks::OfdLock objects on Handle(), released before the
// file closes. Writes and cuts first hand the journal of the table's change
// under way the bytes they replace. Writes made during a change wait in the
// file, merged into runs, until the journal has written the old bytes of the
// whole change; reads see them meanwhile. A write over bytes the journal
// already holds on the disk, with nothing waiting, goes to the file at once
// (see Journal::Holds).
//
// For crash tests, the environment variable XBE_STOP_AT_WRITE=n kills the
// process just before its n-th write or cut of any table or journal file,
// and XBE_WRITE_LOG=path appends to that file each write ("W <path>
// <offset> <length>" and the bytes), cut ("T <path> <size>"), sync
// ("S <path>"), creation ("C <path>") and removal ("U <path>") once it is
// done, from which the power-cut tests rebuild the files as a disk may have
// kept them.

#include <cstddef>
#include <cstdint>
#include <map>

#include "platform/rtl/types.h"

class Journal;

class TableFile {
public:
    TableFile() = default;
    ~TableFile();
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    // Opens an existing file; fails with XBE_E_NOT_FOUND or XBE_E_ACCESS.
    void Open(const String& path, bool writable);
    // Creates or empties a file for writing.
    void Create(const String& path);
    void Close();
    bool IsOpen() const { return FHandle >= 0; }
    const String& Path() const { return FPath; }
    int Handle() const { return FHandle; }

    Int64 Size() const;
    // Reads exactly n bytes or fails with XBE_E_IO.
    void ReadAt(Int64 offset, void* buffer, std::size_t n) const;
    // Reads up to n bytes; returns how many the file held.
    std::size_t ReadSome(Int64 offset, void* buffer, std::size_t n) const;
    void WriteAt(Int64 offset, const void* buffer, std::size_t n);
    void Truncate(Int64 size);
    void Sync();
    // Starts putting what was written on the disk without waiting for it,
    // so that a Sync later waits less; it promises nothing by itself.
    void StartSync() noexcept;
    void SetJournal(Journal* journal) { FJournal = journal; }
    // Notes a table or journal file's removal in the crash tests' write log.
    static void LogRemoval(const String& path);

    // Reads n bytes through a read-only shared mapping of the file, which
    // shows the file as it is now without a system call; false when they
    // cannot be had so (bytes still deferred, a file cut short), for the
    // caller to read them from the file. For bytes the file holds: past its
    // end, the rest of its last page reads as zeros.
    bool ReadMapped(Int64 offset, void* buffer, std::size_t n);
    // The same for the bytes the file itself holds, under any deferred ones:
    // the old bytes a change's journal keeps.
    bool ReadStoredMapped(Int64 offset, void* buffer, std::size_t n);
    // Asks the processor to bring n mapped bytes at offset into its caches
    // ahead of a read of them; nothing when they are not mapped. A prefetch
    // never faults, not even past the file's end.
    void PrefetchMapped(Int64 offset, std::size_t n) const noexcept;

    // Bytes written during the change under way and not yet in the file.
    std::size_t DeferredBytes() const { return FDeferredBytes; }
    // Writes them, one call per run of adjacent bytes, the furthest first;
    // for the journal, once it holds what they replace.
    void WriteDeferred();
    // Forgets them, for a change that failed to write.
    void DropDeferred();

private:
    void WriteThrough(Int64 offset, const void* buffer, std::size_t n);
    void Defer(Int64 offset, const char* bytes, std::size_t n);
    // What Size() and reads see beyond the file: the end of the deferred bytes.
    Int64 DeferredEnd() const;

    int FHandle = -1;
    bool FWritable = false;
    String FPath;
    Journal* FJournal = nullptr;
    void Unmap() noexcept;

    // The mapping ReadMapped reads, longer than the file when it was made so
    // that appends after it fall inside it.
    const char* FView = nullptr;
    std::size_t FViewLength = 0;
    // Disjoint, non-adjacent runs of deferred bytes by their offset.
    std::map<Int64, String> FDeferred;
    std::size_t FDeferredBytes = 0;
};
