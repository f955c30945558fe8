#pragma once
// The memo file of a table: FPT (block size from its header, 8-byte block
// headers, big-endian) or DBT (512-byte blocks, text ended by 0x1A 0x1A, or
// length-prefixed blocks in the later variant).

#include <cstdint>

#include "platform/rtl/types.h"
#include "platform/xbengine/dbfheader.h"
#include "platform/xbengine/tablefile.h"

class MemoFile {
public:
    void Open(const String& path, MemoKind kind, bool writable, bool lengthPrefixed);
    // Creates an empty memo file; blockSize in bytes (FPT only).
    void Create(const String& path, MemoKind kind, int blockSize);
    void Close() { FFile.Close(); }
    bool IsOpen() const { return FFile.IsOpen(); }
    TableFile& File() { return FFile; }
    int BlockSize() const { return FBlockSize; }

    // The data of the memo starting at block (0: none). A reference outside
    // the file or a length beyond it fails with XBE_E_CORRUPT_DATA.
    String Read(std::uint32_t block) const;
    // Stores data, in the old block run when it fits, else at the end; gives
    // the new block number (0 for empty data). text picks the FPT block type.
    // lockTimeout >= -1 takes the memo header lock around the allocation.
    std::uint32_t Write(std::uint32_t oldBlock, const String& data, bool text, bool shared, int lockTimeout);

private:
    std::uint32_t Allocate(std::uint32_t blocks, bool shared, int lockTimeout, const String& image);
    std::uint32_t BlocksFor(std::size_t bytes) const;

    TableFile FFile;
    MemoKind FKind = MemoKind::None;
    int FBlockSize = 64;
    bool FLengthPrefixed = false;
};
