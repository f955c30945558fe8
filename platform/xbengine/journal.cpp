#include "platform/xbengine/journal.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "platform/xbengine/crc32c.h"
#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/errorstate.h"
#include "platform/xbengine/tablepaths.h"
#include "platform/xbengine/xbe50.h"

// A journal that holds a change starts with Magic and an 8-byte mark of the
// change; each entry then has a 20-byte head: its kind
// ('F' a file and its length before the change, 'P' old bytes of a file),
// the file's number, the kind of its checksum, a zero byte, the size of what
// follows the head, a value (the length for 'F', the offset of the bytes for
// 'P') and a checksum of the mark, the head's first 16 bytes and what
// follows. The checksum is a CRC-32C (kind 1) or, in journals of older
// builds, a byte-wise FNV-1a hash (kind 0); any other kind is damage. What follows is
// the file's name (beside the table: its name alone) or the old bytes. An
// entry cut short or failing its checksum ends the journal: it was being
// written when the process stopped, and nothing it would protect had been
// written yet; entries of earlier changes further on fail on their mark.
//
// A change ends by overwriting Magic and the mark with zeros: cheaper than
// cutting the file, whose pages the next change writes over again.

namespace {

constexpr char Magic[8] = {'X', 'B', 'E', 'J', 'R', 'N', 'L', '1'};
constexpr std::size_t MarkSize = 8;
constexpr std::size_t StartSize = sizeof Magic + MarkSize;
constexpr std::size_t HeadSize = 20;
constexpr Int64 PageSize = 512;
// The deferred bytes a change holds in memory before it writes a part.
constexpr std::size_t DeferLimit = 8u << 20;

// A mark no other change of any process is likely to have had.
std::uint64_t NewMark()
{
    static std::uint64_t changes = 0;
    auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return (std::uint64_t(::getpid()) << 40) ^ std::uint64_t(now) ^ (++changes * 0x9E3779B97F4A7C15ull);
}

void PutLE(char* p, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = char(value >> (8 * i));
}

std::uint64_t GetLE(const char* p, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(p[i]);
    return value;
}

// The checksum kinds an entry's head names.
constexpr char ByteHash = 0;
constexpr char Crc = 1;

std::uint32_t ByteHashOf(const char* mark, const char* head, const char* bytes, std::size_t size)
{
    std::uint32_t hash = 2166136261u;
    auto add = [&](const char* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            hash = (hash ^ static_cast<unsigned char>(p[i])) * 16777619u;
    };
    add(mark, MarkSize);
    add(head, 16);
    add(bytes, size);
    return hash;
}

std::uint32_t CrcOf(const char* mark, const char* head, const char* bytes, std::size_t size)
{
    return Crc32c(Crc32c(Crc32c(0, mark, MarkSize), head, 16), bytes, size);
}

// The entry's checksum is whole (and of a kind this build reads).
bool ChecksumHolds(const char* mark, const char* head, const char* bytes, std::size_t size)
{
    std::uint32_t stored = std::uint32_t(GetLE(head + 16, 4));
    switch (head[2]) {
    case Crc: return stored == CrcOf(mark, head, bytes, size);
    case ByteHash: return stored == ByteHashOf(mark, head, bytes, size);
    default: return false;
    }
}

String DirectoryOf(const String& path)
{
    std::size_t slash = path.rfind('/');
    return slash == String::npos ? String() : path.substr(0, slash + 1);
}

// A file made in the directory is there after a power cut once the directory is synced.
void SyncDirectory(const String& directory)
{
    int handle = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        throw EEngineError(XBE_E_IO, "Cannot open the directory " + directory);
    int synced = ::fsync(handle);
    ::close(handle);
    if (synced != 0)
        throw EEngineError(XBE_E_IO, "Cannot flush the directory " + directory);
}

[[noreturn]] void CannotRollBack(const String& journal, const String& why)
{
    throw EEngineError(XBE_E_CORRUPT_DATA,
                       "The interrupted change recorded in " + journal + " cannot be rolled back: " + why);
}

}  // namespace

Journal::Journal(const String& tablePath) : FPath(PathOf(tablePath)), FDirectory(DirectoryOf(FPath)) { }

String Journal::PathOf(const String& tablePath) { return tablepaths::Sibling(tablePath, ".JNL"); }

bool Journal::Pending() const
{
    if (FSoleWriter && FKnownEmpty)
        return false;
    char start[sizeof Magic] = {};
    if (OpenExisting())
        FFile.ReadSome(0, start, sizeof start);
    else
        std::ifstream(FPath, std::ios::binary).read(start, sizeof start);
    bool pending = std::memcmp(start, Magic, sizeof Magic) == 0;
    FKnownEmpty = !pending;
    return pending;
}

bool Journal::OpenExisting() const
{
    if (FFile.IsOpen())
        return true;
    try {
        FFile.Open(FPath, true);
        return true;
    } catch (const EEngineError&) {
        // None there, or one this open may only read.
        return false;
    }
}

void Journal::RollBack()
{
    if (!FFile.IsOpen())
        FFile.Open(FPath, true);
    Int64 size = FFile.Size();
    std::vector<char> journal(std::size_t(size), '\0');
    FFile.ReadAt(0, journal.data(), journal.size());
    if (journal.size() < StartSize || std::memcmp(journal.data(), Magic, sizeof Magic) != 0)
        return;
    const char* mark = journal.data() + sizeof Magic;

    // Every entry is read and every file opened before anything is written.
    struct Target {
        std::unique_ptr<TableFile> File;  // none: the file is gone
        String Name;
        Int64 Length = 0;
    };
    struct Page {
        std::uint8_t Number;
        Int64 Offset;
        const char* Bytes;
        std::size_t Size;
    };
    std::map<std::uint8_t, Target> targets;
    std::vector<Page> pages;
    std::size_t at = StartSize;
    while (journal.size() - at >= HeadSize) {
        const char* head = journal.data() + at;
        std::size_t payload = std::size_t(GetLE(head + 4, 4));
        if (payload > journal.size() - at - HeadSize || !ChecksumHolds(mark, head, head + HeadSize, payload))
            break;
        const char* bytes = head + HeadSize;
        std::uint8_t number = std::uint8_t(head[1]);
        Int64 value = Int64(GetLE(head + 8, 8));
        if (head[0] == 'F') {
            Target& target = targets[number];
            target.Name.assign(bytes, payload);
            target.Length = value;
            target.File = std::make_unique<TableFile>();
            try {
                target.File->Open(
                        target.Name.find('/') == String::npos ? FDirectory + target.Name : target.Name, true);
            } catch (const EEngineError& error) {
                if (error.Code() != XBE_E_NOT_FOUND)
                    CannotRollBack(FPath, error.Message());
                target.File.reset();
            }
        } else if (head[0] == 'P') {
            auto found = targets.find(number);
            if (found == targets.end() || value < 0 || value + Int64(payload) > found->second.Length)
                CannotRollBack(FPath, "an entry does not fit its file");
            pages.push_back({number, value, bytes, payload});
        } else {
            break;
        }
        at += HeadSize + payload;
    }

    String missing;
    for (const Page& page : pages)
        if (TableFile* file = targets[page.Number].File.get())
            file->WriteAt(page.Offset, page.Bytes, page.Size);
    for (auto& [number, target] : targets) {
        if (!target.File)
            missing += (missing.empty() ? "" : ", ") + target.Name;
        else if (target.File->Size() > target.Length)
            target.File->Truncate(target.Length);
    }
    // What was put back is on the disk before the journal lets it go, in
    // either mode: a rollback is rare, and one half-undone by a power cut
    // would leave nothing to undo it with.
    for (auto& [number, target] : targets)
        if (target.File)
            target.File->Sync();
    Clear();
    if (!FDurable)
        Sync();
    // What is there is whole again; a missing index is mended by a reindex.
    if (!missing.empty())
        Errors().Warn(XBE_E_CORRUPT_DATA, "The interrupted change recorded in " + FPath +
                                                  " was rolled back without " + missing +
                                                  ", which is missing");
}

void Journal::Clear()
{
    const char zeros[StartSize] = {};
    FFile.WriteAt(0, zeros, sizeof zeros);
    FKnownEmpty = true;
    if (FDurable)
        FFile.Sync();
}

void Journal::Sync()
{
    if (FFile.IsOpen())
        FFile.Sync();
}

void Journal::CreateFile()
{
    FFile.Create(FPath);
    FDirectoryOwed = true;
}

bool Journal::Begin()
{
    if (FDepth++ > 0)
        return false;
    FFiles.clear();
    FEntries.clear();
    FEntriesUnsynced = false;
    FDeferredWrites = 0;
    FEnd = 0;
    FMark.assign(MarkSize, '\0');
    PutLE(FMark.data(), NewMark(), MarkSize);
    if (!Pending())
        return false;
    try {
        RollBack();
    } catch (...) {
        --FDepth;
        throw;
    }
    return true;
}

bool Journal::Settle()
{
    if (Pending()) {
        RollBack();
        return true;
    }
    // Made now, the journal is read by the next looks instead of searched
    // for in the directory; one that cannot be made is searched for again.
    if (!FSoleWriter && !FFile.IsOpen()) {
        try {
            CreateFile();
        } catch (const EEngineError&) {
        }
    }
    return false;
}

void Journal::Finish()
{
    if (FDepth == 0 || FDepth > 1) {
        FDepth = std::max(0, FDepth - 1);
        return;
    }
    try {
        Flush();
    } catch (...) {
        // Whatever of the change reached the files, the journal holds it.
        FDepth = 0;
        FFiles.clear();
        FEntries.clear();
        FEntriesUnsynced = false;
        for (TableFile* file : FDeferring)
            file->DropDeferred();
        FDeferring.clear();
        FDeferredWrites = 0;
        FEnd = 0;
        throw;
    }
    FDepth = 0;
    std::map<TableFile*, FileState> written;
    written.swap(FFiles);
    if (FEnd == 0)
        return;
    // The change is on the disk before the journal lets it go; a file that
    // cannot be synced leaves the journal full, for the next change to roll back.
    if (FDurable)
        for (auto& [file, state] : written)
            if (file->IsOpen())
                file->Sync();
    FEnd = 0;
    try {
        Clear();
    } catch (const Exception& error) {
        Errors().Record(XBE_E_IO, "A finished change is still in the journal: " + error.Message());
    }
}

void Journal::End() noexcept
{
    try {
        Finish();
    } catch (const Exception& error) {
        Errors().Record(XBE_E_IO, "A change was not written whole: " + error.Message());
    }
}

void Journal::Deferred(TableFile& file)
{
    if (std::find(FDeferring.begin(), FDeferring.end(), &file) == FDeferring.end())
        FDeferring.push_back(&file);
    if (++FDeferredWrites % 64 == 0) {
        std::size_t held = 0;
        for (TableFile* deferring : FDeferring)
            held += deferring->DeferredBytes();
        if (held > DeferLimit)
            Flush();
    }
}

void Journal::WriteEntries()
{
    if (FEntries.empty())
        return;
    if (FEnd == 0 && !FFile.IsOpen())
        CreateFile();
    FKnownEmpty = false;
    FFile.WriteAt(FEnd, FEntries.data(), FEntries.size());
    FEnd += Int64(FEntries.size());
    FEntries.clear();
    FEntriesUnsynced = true;
}

void Journal::WriteAhead()
{
    WriteEntries();
    if (FDurable)
        FFile.StartSync();
}

void Journal::Flush()
{
    WriteEntries();
    // The old bytes are on the disk before the new ones go over them.
    if (FEntriesUnsynced && FDurable) {
        if (FDirectoryOwed)
            SyncDirectory(FDirectory);
        FDirectoryOwed = false;
        FFile.Sync();
    }
    FEntriesUnsynced = false;
    // Only now that the journal holds the old bytes may the new ones go out,
    // file by file in the order the change first wrote them (a memo block
    // before the record that names it).
    while (!FDeferring.empty()) {
        FDeferring.front()->WriteDeferred();
        FDeferring.erase(FDeferring.begin());
    }
}

void Journal::Closing(TableFile& file)
{
    Flush();
    auto found = FFiles.find(&file);
    if (found == FFiles.end())
        return;
    if (FDurable)
        file.Sync();
    FFiles.erase(found);
}

void Journal::Protect(TableFile& file, Int64 offset, Int64 length)
{
    if (FDepth == 0 || length <= 0)
        return;
    auto [found, fresh] = FFiles.try_emplace(&file);
    FileState& state = found->second;
    if (fresh) {
        if (FFiles.size() > 255)
            throw EEngineError(XBE_E_LIMIT, "A change touches too many files: " + FPath);
        state.Number = std::uint8_t(FFiles.size() - 1);
        state.Length = file.Size();
        String name = file.Path();
        if (DirectoryOf(name) == FDirectory)
            name = name.substr(FDirectory.size());
        AddEntry('F', state.Number, state.Length, name.data(), name.size());
    }
    Int64 end = std::min(offset + length, state.Length);
    std::map<Int64, Int64>& saved = state.SavedPages;
    for (Int64 page = offset / PageSize; page * PageSize < end;) {
        auto next = saved.upper_bound(page);
        if (next != saved.begin() && std::prev(next)->second > page) {
            page = std::prev(next)->second;
            continue;
        }
        // A run of pages not saved yet goes in one entry, and joins the
        // saved runs it touches.
        Int64 last = (end + PageSize - 1) / PageSize;
        if (next != saved.end())
            last = std::min(last, next->first);
        Int64 from = page * PageSize, to = std::min(last * PageSize, state.Length);
        Int64 runFirst = page, runEnd = last;
        if (next != saved.begin() && std::prev(next)->second == page) {
            runFirst = std::prev(next)->first;
            saved.erase(std::prev(next));
        }
        if (next != saved.end() && next->first == last) {
            runEnd = next->second;
            saved.erase(next);
        }
        saved.emplace(runFirst, runEnd);
        page = last;
        // Pages not saved yet hold no deferred bytes: the file has them as
        // they were. Each piece is checked as soon as it is read, while the
        // processor's cache still holds it.
        constexpr std::size_t Piece = 64 * 1024;
        const std::size_t size = std::size_t(to - from);
        char* old = OpenEntry('P', state.Number, from, size);
        std::uint32_t crc = HeadCrc(old);
        for (std::size_t at = 0; at < size; at += Piece) {
            const std::size_t n = std::min(Piece, size - at);
            if (!file.ReadStoredMapped(from + Int64(at), old + at, n))
                file.ReadAt(from + Int64(at), old + at, n);
            crc = Crc32c(crc, old + at, n);
        }
        SealEntry(old, crc);
    }
}

bool Journal::Holds(TableFile& file, Int64 offset, Int64 length) const
{
    if (FDepth == 0 || !FEntries.empty() || FEntriesUnsynced || !FDeferring.empty())
        return false;
    auto found = FFiles.find(&file);
    if (found == FFiles.end())
        return false;
    const FileState& state = found->second;
    // Bytes past the file's old end are cut off by a rollback: nothing to keep.
    Int64 end = std::min(offset + length, state.Length);
    if (offset >= end)
        return true;
    auto run = state.SavedPages.upper_bound(offset / PageSize);
    return run != state.SavedPages.begin() && std::prev(run)->second * PageSize >= end;
}

char* Journal::OpenEntry(char kind, std::uint8_t number, Int64 value, std::size_t size)
{
    // The first entry of a change not written yet comes after the journal's start.
    if (FEntries.empty() && FEnd == 0)
        FEntries.append(Magic, sizeof Magic).append(FMark);
    std::size_t start = FEntries.size();
    FEntries.resize(start + HeadSize + size);
    char* head = FEntries.data() + start;
    head[0] = kind;
    head[1] = char(number);
    head[2] = Crc;
    head[3] = 0;
    PutLE(head + 4, size, 4);
    PutLE(head + 8, std::uint64_t(value), 8);
    return head + HeadSize;
}

std::uint32_t Journal::HeadCrc(const char* payload) const
{
    return Crc32c(Crc32c(0, FMark.data(), MarkSize), payload - HeadSize, 16);
}

void Journal::SealEntry(char* payload, std::uint32_t crc) { PutLE(payload - HeadSize + 16, crc, 4); }

void Journal::AddEntry(char kind, std::uint8_t number, Int64 value, const char* bytes, std::size_t size)
{
    char* payload = OpenEntry(kind, number, value, size);
    if (size > 0)
        std::memcpy(payload, bytes, size);
    SealEntry(payload, Crc32c(HeadCrc(payload), payload, size));
}

void Journal::RemoveIfEmpty() noexcept
{
    try {
        if (FDepth == 0 && !Pending() && ::unlink(FPath.c_str()) == 0)
            TableFile::LogRemoval(FPath);
    } catch (const Exception&) {
        // A journal that cannot be looked at stays.
    }
}
