#include "platform/xbengine/memofile.h"

#include <vector>

#include "platform/rtl/sharelocks.h"
#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/lockmanager.h"
#include "platform/xbengine/xbe50.h"

namespace {

constexpr int HeaderSize = 512;
constexpr int DbtBlockSize = 512;
constexpr int FptBlockHeader = 8;

std::uint32_t ReadBE32(const Byte* p)
{
    return (std::uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

std::uint32_t ReadLE32(const Byte* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

void PutBE32(Byte* p, std::uint32_t v)
{
    p[0] = Byte(v >> 24);
    p[1] = Byte(v >> 16);
    p[2] = Byte(v >> 8);
    p[3] = Byte(v);
}

void PutLE32(Byte* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = Byte(v >> (8 * i));
}

[[noreturn]] void Corrupt(const String& path, std::uint32_t block, const String& what)
{
    throw EEngineError(XBE_E_CORRUPT_DATA,
                       "Bad memo reference " + std::to_string(block) + " in " + path + ": " + what);
}

}  // namespace

void MemoFile::Open(const String& path, MemoKind kind, bool writable, bool lengthPrefixed)
{
    FFile.Open(path, writable);
    FKind = kind;
    FLengthPrefixed = lengthPrefixed;
    Byte header[HeaderSize] = {};
    FFile.ReadSome(0, header, sizeof header);
    if (kind == MemoKind::Fpt) {
        FBlockSize = (header[6] << 8) | header[7];
    } else {
        int declared = header[20] | (header[21] << 8);
        FBlockSize = (lengthPrefixed && declared > 0) ? declared : DbtBlockSize;
    }
}

void MemoFile::Create(const String& path, MemoKind kind, int blockSize)
{
    FFile.Create(path);
    FKind = kind;
    FLengthPrefixed = false;
    FBlockSize = kind == MemoKind::Fpt ? blockSize : DbtBlockSize;
    std::vector<Byte> header(HeaderSize, 0);
    if (kind == MemoKind::Fpt) {
        PutBE32(header.data(), BlocksFor(HeaderSize - FptBlockHeader));
        header[6] = Byte(FBlockSize >> 8);
        header[7] = Byte(FBlockSize);
    } else {
        PutLE32(header.data(), 1);
    }
    FFile.WriteAt(0, header.data(), header.size());
}

std::uint32_t MemoFile::BlocksFor(std::size_t bytes) const
{
    std::size_t total = FKind == MemoKind::Fpt ? bytes + FptBlockHeader : bytes;
    return std::uint32_t((total + FBlockSize - 1) / FBlockSize);
}

String MemoFile::Read(std::uint32_t block) const
{
    if (block == 0)
        return String();
    if (FBlockSize <= 0)
        Corrupt(FFile.Path(), block, "the memo file has no block size");
    Int64 size = FFile.Size();
    Int64 offset = Int64(block) * FBlockSize;
    if (offset < (FKind == MemoKind::Fpt ? HeaderSize : FBlockSize) || offset >= size)
        Corrupt(FFile.Path(), block, "beyond the memo file");

    if (FKind == MemoKind::Fpt) {
        Byte head[FptBlockHeader];
        if (FFile.ReadSome(offset, head, sizeof head) != sizeof head)
            Corrupt(FFile.Path(), block, "truncated block header");
        Int64 length = ReadBE32(head + 4);
        if (offset + FptBlockHeader + length > size)
            Corrupt(FFile.Path(), block, "the length runs past the end of the file");
        String data(std::size_t(length), '\0');
        FFile.ReadAt(offset + FptBlockHeader, data.data(), data.size());
        return data;
    }

    Byte head[8];
    std::size_t got = FFile.ReadSome(offset, head, sizeof head);
    if (got == sizeof head && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 && head[3] == 0x00) {
        Int64 length = Int64(ReadLE32(head + 4)) - 8;
        if (length < 0 || offset + 8 + length > size)
            Corrupt(FFile.Path(), block, "the length runs past the end of the file");
        String data(std::size_t(length), '\0');
        FFile.ReadAt(offset + 8, data.data(), data.size());
        return data;
    }
    // Text up to the end marker, or to the end of the file.
    String data;
    std::vector<char> chunk(DbtBlockSize);
    for (Int64 at = offset; at < size; at += DbtBlockSize) {
        std::size_t n = FFile.ReadSome(at, chunk.data(), chunk.size());
        data.append(chunk.data(), n);
        std::size_t end = data.find("\x1A\x1A");
        if (end != String::npos) {
            data.resize(end);
            return data;
        }
    }
    if (!data.empty() && data.back() == '\x1A')
        data.pop_back();
    return data;
}

std::uint32_t MemoFile::Write(std::uint32_t oldBlock, const String& data, bool text, bool shared,
                              int lockTimeout)
{
    if (data.empty())
        return 0;
    if (FBlockSize <= 0)
        throw EEngineError(XBE_E_CORRUPT_DATA, "The memo file has no block size: " + FFile.Path());
    String image;
    if (FKind == MemoKind::Fpt) {
        image.assign(FptBlockHeader, '\0');
        PutBE32(reinterpret_cast<Byte*>(image.data()), text ? 1 : 0);
        PutBE32(reinterpret_cast<Byte*>(image.data()) + 4, std::uint32_t(data.size()));
        image += data;
    } else if (FLengthPrefixed) {
        image.assign(8, '\0');
        Byte* p = reinterpret_cast<Byte*>(image.data());
        p[0] = 0xFF;
        p[1] = 0xFF;
        p[2] = 0x08;
        PutLE32(p + 4, std::uint32_t(data.size() + 8));
        image += data;
    } else {
        image = data + "\x1A\x1A";
    }
    std::uint32_t needed = std::uint32_t((image.size() + FBlockSize - 1) / FBlockSize);

    if (FKind == MemoKind::Fpt && oldBlock > 0) {
        try {
            std::uint32_t oldBlocks = BlocksFor(Read(oldBlock).size());
            if (needed <= oldBlocks) {
                FFile.WriteAt(Int64(oldBlock) * FBlockSize, image.data(), image.size());
                return oldBlock;
            }
        } catch (const EEngineError&) {
            // A bad old reference: the data goes to a fresh run.
        }
    }
    return Allocate(needed, shared, lockTimeout, image);
}

std::uint32_t MemoFile::Allocate(std::uint32_t blocks, bool shared, int lockTimeout, const String& image)
{
    sharelocks::OfdLock header;
    if (shared && !AcquireWithin(header, FFile.Handle(), sharelocks::HeaderOffset, 1, lockTimeout))
        throw EEngineError(XBE_E_LOCK, "The memo file is locked by another user: " + FFile.Path());
    Byte head[4];
    FFile.ReadAt(0, head, sizeof head);
    std::uint32_t next = FKind == MemoKind::Fpt ? ReadBE32(head) : ReadLE32(head);
    // New blocks go at the end of the file. A pointer inside the header (a
    // wrong block size) or past the end (a file cut short) is damage; one
    // below the end would hand out blocks in use, so it is taken as the end.
    Int64 minimum = FKind == MemoKind::Fpt ? HeaderSize : FBlockSize;
    Int64 end = (FFile.Size() + FBlockSize - 1) / FBlockSize;
    if (Int64(next) * FBlockSize < minimum || Int64(next) > end)
        throw EEngineError(XBE_E_CORRUPT_DATA,
                           "The memo file's next free block " + std::to_string(next) +
                                   " lies past its end or inside its header (block size " +
                                   std::to_string(FBlockSize) + "): " + FFile.Path());
    next = std::uint32_t(end);
    String padded = image;
    padded.resize(std::size_t(blocks) * FBlockSize, '\0');
    FFile.WriteAt(Int64(next) * FBlockSize, padded.data(), padded.size());
    Byte update[4];
    if (FKind == MemoKind::Fpt)
        PutBE32(update, next + blocks);
    else
        PutLE32(update, next + blocks);
    FFile.WriteAt(0, update, sizeof update);
    return next;
}
