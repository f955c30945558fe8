#pragma once
// One open table file (DBF, FPT, DBT, CDX) with positioned reads and writes.
// Its locks are sharelocks::OfdLock objects on Handle(), released before the
// file closes. Writes and cuts first hand the journal of the table's change
// under way the bytes they replace.
//
// For crash tests, the environment variable XBE_STOP_AT_WRITE=n kills the
// process just before its n-th write or cut of any table or journal file.

#include <cstddef>
#include <cstdint>

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
    void SetJournal(Journal* journal) { FJournal = journal; }

private:
    int FHandle = -1;
    String FPath;
    Journal* FJournal = nullptr;
};
