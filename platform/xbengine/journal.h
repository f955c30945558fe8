#pragma once
// The rollback journal of a table: a file beside the DBF (other xBase tools
// ignore it) that holds, while a change of the table is under way, what the
// change is about to write over. Before a change first writes into a 512-byte
// page of the DBF, its memo file or one of its index files, the page's old
// bytes go to the journal, and the first write to a file notes the file's
// length; the change ends by marking the journal empty. A process stopped in the
// middle of a change leaves the journal full, and the next open or change
// that finds it writes the old pages back and cuts the files to their old
// lengths, so the table is again as it was before that change.
//
// The writes of a change wait in their files while the change goes on; at its
// end the journal's entries go out in one write, then each file's runs of new
// bytes, then the mark that the journal is empty. A change too large to wait
// whole goes out in the same order in parts. A change that knows ahead what it
// will write over (a pack, from its first moved record to the end) has the
// journal take those bytes first, a part at a time, started to the disk as
// each is written (WriteAhead) and synced once (Flush); its writes there then
// go straight to the file (Holds) instead of waiting in memory.
//
// A durable journal (the default) also covers a loss of power, by the order in
// which the writes reach the disk: the journal's entries are synced before
// any byte they protect is written, the files the change wrote are synced
// before the journal is marked empty, and that mark is synced before the
// change returns. A power cut thus leaves either the journal holding the
// change (the next open rolls it back, so the table is as before it) or the
// change whole on the disk. (The mark is synced at once, not later: a write
// that needs no journal, or another process's, may follow, and a journal
// still full on the disk would roll old pages back over it.) A journal file
// this open makes has its directory synced before it is relied on. A
// rollback syncs what it put back before it marks the journal empty. Two
// syncs of the journal and one of each file written per change; a group of
// writes made as one change (Table::BeginGroup) pays them once, and a change
// whose parts go out early (see above) syncs the journal before each part,
// as a pack does once before its moves.
// Without it (scratch tables) nothing is synced before a commit or the
// close, and a power cut may leave a change half-written.
//
// Each entry of the journal carries a checksum, so that one cut short by a
// stop ends the journal instead of being written back. Entries are checked
// with CRC-32C; a journal left by an older build, whose entries name the
// byte-wise hash it used, is still read and rolled back. An entry that names
// a checksum this build does not know is treated as damaged, as one whose
// checksum fails (see journal.cpp).

#include <cstdint>
#include <map>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/xbengine/tablefile.h"

class Journal {
public:
    explicit Journal(const String& tablePath);
    // The journal of the table at tablePath.
    static String PathOf(const String& tablePath);
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // The journal holds an interrupted change.
    bool Pending() const;
    // No other open writes the journal (the table is open exclusively):
    // once the journal is known to be empty, Pending answers from memory
    // until this open writes it.
    void SetSoleWriter(bool sole) { FSoleWriter = sole; }
    // Syncs each change as described above.
    void SetDurable(bool durable) { FDurable = durable; }
    bool Durable() const { return FDurable; }
    // Syncs the journal's own writes (its empty mark after a change).
    void Sync();
    // Writes back what the interrupted change wrote over and marks the
    // journal empty. Fails with XBE_E_CORRUPT_DATA when a file it names cannot be
    // put back; the journal then stays for a later try.
    void RollBack();

    // A change of the table's files. Changes nest; the outermost Begin rolls
    // back an interrupted change first (true when it did), and the outermost
    // Finish writes what the change holds and marks the journal empty. A
    // failure there leaves the journal full, for the next change to roll
    // back. End is Finish for a change given up by an exception: failures
    // are recorded, not thrown.
    bool Begin();
    // For writes that need no journal (each leaves the table whole): rolls
    // back an interrupted change first, as Begin does (true when it did).
    bool Settle();
    void Finish();
    void End() noexcept;
    bool Active() const { return FDepth > 0; }

    // Keeps the old bytes of [offset, offset + length) of file before the
    // change under way writes there (nothing outside a change).
    void Protect(TableFile& file, Int64 offset, Int64 length);
    // The journal already holds on the disk (synced when durable) the old
    // bytes of [offset, offset + length) of file, and no file waits with
    // writes of the change: a write there may go to the file at once, in
    // the order a flush would give it. A change that writes much over
    // bytes it knows in advance (a pack) protects them, flushes, and so
    // does not hold its new bytes in memory.
    bool Holds(TableFile& file, Int64 offset, Int64 length) const;
    // file holds deferred writes of the change under way.
    void Deferred(TableFile& file);
    // Writes the entries kept so far (synced when durable), then the files'
    // deferred writes.
    void Flush();
    // Writes the entries kept so far and starts putting them on the disk
    // without waiting: a change that protects much at once does so in
    // parts, so that the sync of its Flush waits for little and its entries
    // are not all held in memory.
    void WriteAhead();
    // file closes during the change under way: what it holds of the change
    // goes to the disk now (synced when durable).
    void Closing(TableFile& file);
    // Deletes an empty journal; for a table that no other open holds.
    void RemoveIfEmpty() noexcept;

private:
    struct FileState {
        std::uint8_t Number = 0;
        Int64 Length = 0;
        // The pages whose old bytes the journal keeps: runs [first, end) by first.
        std::map<Int64, Int64> SavedPages;
    };
    // Adds an entry whose size bytes the caller writes at the place returned
    // before it calls SealEntry with that place and the checksum: the
    // CRC-32C of the bytes continued from HeadCrc.
    char* OpenEntry(char kind, std::uint8_t number, Int64 value, std::size_t size);
    std::uint32_t HeadCrc(const char* payload) const;
    void SealEntry(char* payload, std::uint32_t crc);
    void AddEntry(char kind, std::uint8_t number, Int64 value, const char* bytes, std::size_t size);
    // Writes the entries kept so far, unsynced.
    void WriteEntries();
    // Marks the journal as holding no change (durably in a durable journal).
    void Clear();
    // Makes the journal's file, its name synced into the directory when durable.
    void CreateFile();
    // Opens the journal's file for writing if there is one; true when open.
    bool OpenExisting() const;

    String FPath;
    String FDirectory;
    // Opened by the first look that finds the journal.
    mutable TableFile FFile;
    Int64 FEnd = 0;
    // The mark of the change under way, in the journal's bytes.
    String FMark;
    // Entries not yet written, and the files with deferred writes.
    String FEntries;
    // in the order of their first deferred write.
    std::vector<TableFile*> FDeferring;
    // Entries were written since the journal was last synced.
    bool FEntriesUnsynced = false;
    // Deferred writes counted, to weigh the bytes held now and then.
    std::size_t FDeferredWrites = 0;
    int FDepth = 0;
    bool FSoleWriter = false;
    // Set when a look at the journal or this open's last write of it left it empty.
    mutable bool FKnownEmpty = false;
    std::map<TableFile*, FileState> FFiles;
    bool FDurable = true;
    // The journal file was made by this open and its directory not synced yet.
    bool FDirectoryOwed = false;
};
