#include "platform/xbengine/tablefile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/errorstate.h"
#include "platform/xbengine/journal.h"
#include "platform/xbengine/mappedread.h"
#include "platform/xbengine/xbe50.h"

namespace {

[[noreturn]] void Fail(int code, const String& what, const String& path, int err)
{
    throw EEngineError(code, what + ": " + path + " (" + std::strerror(err) + ")");
}

int OpenErrorCode(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR: return XBE_E_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS: return XBE_E_ACCESS;
    case ENAMETOOLONG: return XBE_E_LIMIT;
    default: return XBE_E_IO;
    }
}

// Counts the writes of the process and stops it before the one the crash
// tests ask for.
void BeforeWrite()
{
    static const long stopAt = [] {
        const char* text = std::getenv("XBE_STOP_AT_WRITE");
        return text ? std::atol(text) : 0L;
    }();
    static long writes = 0;
    if (stopAt > 0 && ++writes == stopAt)
        ::raise(SIGKILL);
}

// Appends one event, with the bytes written, to the log XBE_WRITE_LOG names.
void LogEvent(const char* kind, const String& path, const String& numbers = String(),
              const void* bytes = nullptr, std::size_t n = 0)
{
    static const int log = [] {
        const char* path = std::getenv("XBE_WRITE_LOG");
        return path ? ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666) : -1;
    }();
    if (log < 0)
        return;
    String event = String(kind) + " " + path + numbers + "\n";
    if (bytes)
        event.append(static_cast<const char*>(bytes), n);
    if (::write(log, event.data(), event.size()) != ssize_t(event.size()))
        ::raise(SIGKILL);
}

}  // namespace

void TableFile::LogRemoval(const String& path) { LogEvent("U", path); }

TableFile::~TableFile() { Close(); }

void TableFile::Open(const String& path, bool writable)
{
    Close();
    int handle = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (handle < 0)
        Fail(OpenErrorCode(errno), "Cannot open file", path, errno);
    FHandle = handle;
    FWritable = writable;
    FPath = path;
}

void TableFile::Create(const String& path)
{
    Close();
    int handle = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle < 0)
        Fail(OpenErrorCode(errno), "Cannot create file", path, errno);
    LogEvent("C", path);
    FHandle = handle;
    FWritable = true;
    FPath = path;
}

void TableFile::Close()
{
    if (FHandle >= 0 && FJournal && (FDeferredBytes > 0 || FJournal->Active())) {
        try {
            FJournal->Closing(*this);
        } catch (const Exception& error) {
            Errors().Record(XBE_E_IO, "A change was not written whole: " + error.Message());
        }
    }
    DropDeferred();
    Unmap();
    if (FHandle >= 0)
        ::close(FHandle);
    FHandle = -1;
}

Int64 TableFile::Size() const
{
    struct stat info;
    if (::fstat(FHandle, &info) != 0)
        Fail(XBE_E_IO, "Cannot read file size", FPath, errno);
    return std::max<Int64>(info.st_size, DeferredEnd());
}

Int64 TableFile::DeferredEnd() const
{
    if (FDeferred.empty())
        return 0;
    auto last = std::prev(FDeferred.end());
    return last->first + Int64(last->second.size());
}

std::size_t TableFile::ReadSome(Int64 offset, void* buffer, std::size_t n) const
{
    std::size_t done = 0;
    while (done < n) {
        ssize_t got = ::pread(FHandle, static_cast<char*>(buffer) + done, n - done, offset + done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            Fail(XBE_E_IO, "Read error", FPath, errno);
        }
        if (got == 0)
            break;
        done += got;
    }
    if (FDeferred.empty())
        return done;
    // Deferred bytes lie over what the file holds, and may reach past its end.
    Int64 end = std::min(offset + Int64(n), std::max(offset + Int64(done), DeferredEnd()));
    if (end - offset > Int64(done)) {
        std::fill(static_cast<char*>(buffer) + done, static_cast<char*>(buffer) + (end - offset), '\0');
        done = std::size_t(end - offset);
    }
    auto run = FDeferred.upper_bound(offset);
    if (run != FDeferred.begin())
        --run;
    for (; run != FDeferred.end() && run->first < end; ++run) {
        Int64 from = std::max(offset, run->first);
        Int64 to = std::min(end, run->first + Int64(run->second.size()));
        if (from < to)
            std::memcpy(static_cast<char*>(buffer) + (from - offset),
                        run->second.data() + (from - run->first), std::size_t(to - from));
    }
    return done;
}

void TableFile::ReadAt(Int64 offset, void* buffer, std::size_t n) const
{
    if (ReadSome(offset, buffer, n) != n)
        throw EEngineError(XBE_E_IO, "Unexpected end of file: " + FPath);
}

bool TableFile::ReadMapped(Int64 offset, void* buffer, std::size_t n)
{
    return FDeferred.empty() && ReadStoredMapped(offset, buffer, n);
}

bool TableFile::ReadStoredMapped(Int64 offset, void* buffer, std::size_t n)
{
    if (offset < 0)
        return false;
    std::size_t end = std::size_t(offset) + n;
    if (end > FViewLength) {
        Unmap();
        // Twice what is asked for, so that a growing file is not mapped anew at each append.
        std::size_t length = std::max<std::size_t>(end, std::size_t(Size())) * 2;
        void* view = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, FHandle, 0);
        if (view == MAP_FAILED)
            return false;
        FView = static_cast<const char*>(view);
        FViewLength = length;
    }
    return mappedread::Copy(buffer, FView + offset, n);
}

void TableFile::PrefetchMapped(Int64 offset, std::size_t n) const noexcept
{
    if (!FView || offset < 0 || n == 0 || std::size_t(offset) + n > FViewLength)
        return;
    constexpr std::size_t CacheLine = 64;
    const char* first = FView + offset;
    for (const char* line = first; line < first + n; line += CacheLine)
        __builtin_prefetch(line);
    __builtin_prefetch(first + n - 1);
}

void TableFile::Unmap() noexcept
{
    if (FView)
        ::munmap(const_cast<char*>(FView), FViewLength);
    FView = nullptr;
    FViewLength = 0;
}

void TableFile::WriteAt(Int64 offset, const void* buffer, std::size_t n)
{
    if (!FWritable)
        throw EEngineError(XBE_E_READ_ONLY, "Write error: " + FPath + " is open for reading only");
    if (n == 0)
        return;
    if (FJournal && FJournal->Active() && !FJournal->Holds(*this, offset, Int64(n))) {
        FJournal->Protect(*this, offset, Int64(n));
        Defer(offset, static_cast<const char*>(buffer), n);
        FJournal->Deferred(*this);
        return;
    }
    WriteThrough(offset, buffer, n);
}

void TableFile::WriteThrough(Int64 offset, const void* buffer, std::size_t n)
{
    BeforeWrite();
    std::size_t done = 0;
    while (done < n) {
        ssize_t put = ::pwrite(FHandle, static_cast<const char*>(buffer) + done, n - done, offset + done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno == EBADF ? XBE_E_READ_ONLY : XBE_E_IO, "Write error", FPath, errno);
        }
        done += put;
    }
    LogEvent("W", FPath, " " + std::to_string(offset) + " " + std::to_string(n), buffer, n);
}

void TableFile::Defer(Int64 offset, const char* bytes, std::size_t n)
{
    Int64 end = offset + Int64(n);
    // The runs this write overlaps become one run with it, and so does a run it
    // continues. A run that merely begins where the write ends stays apart: joining
    // it would copy it whole, again at each write below it (pages freed downwards).
    auto first = FDeferred.upper_bound(offset);
    if (first != FDeferred.begin() &&
        std::prev(first)->first + Int64(std::prev(first)->second.size()) >= offset)
        --first;
    auto last = first;
    Int64 to = end;
    while (last != FDeferred.end() && last->first < end) {
        to = std::max(to, last->first + Int64(last->second.size()));
        ++last;
    }
    // The merged run grows in place from the first run when the write starts
    // inside or just past it (a group's appends, an index's pages written
    // upwards), so that each byte held is copied about once, not at every merge.
    const bool fromFirst = first != last && first->first <= offset;
    const Int64 from = fromFirst ? first->first : offset;
    String run = fromFirst ? std::move(first->second) : String();
    FDeferredBytes -= run.size();
    run.resize(std::size_t(to - from));
    for (auto old = fromFirst ? std::next(first) : first; old != last; ++old) {
        std::memcpy(run.data() + (old->first - from), old->second.data(), old->second.size());
        FDeferredBytes -= old->second.size();
    }
    std::memcpy(run.data() + (offset - from), bytes, n);
    FDeferredBytes += run.size();
    FDeferred.erase(first, last);
    FDeferred.emplace(from, std::move(run));
}

void TableFile::WriteDeferred()
{
    // The furthest run first: a record goes out before the count that takes
    // it in, a memo block before the header that hands it out.
    while (!FDeferred.empty()) {
        auto run = std::prev(FDeferred.end());
        WriteThrough(run->first, run->second.data(), run->second.size());
        FDeferredBytes -= run->second.size();
        FDeferred.erase(run);
    }
}

void TableFile::DropDeferred()
{
    FDeferred.clear();
    FDeferredBytes = 0;
}

void TableFile::Truncate(Int64 size)
{
    if (FJournal) {
        // A cut comes after the writes before it.
        FJournal->Flush();
        FJournal->Protect(*this, size, Size() - size);
        FJournal->Flush();
    }
    BeforeWrite();
    if (::ftruncate(FHandle, size) != 0)
        Fail(XBE_E_IO, "Cannot truncate file", FPath, errno);
    LogEvent("T", FPath, " " + std::to_string(size));
}

void TableFile::Sync()
{
    if (FJournal)
        FJournal->Flush();
    if (::fdatasync(FHandle) != 0)
        Fail(XBE_E_IO, "Cannot flush file", FPath, errno);
    LogEvent("S", FPath);
}

void TableFile::StartSync() noexcept
{
    if (FHandle >= 0)
        ::sync_file_range(FHandle, 0, 0, SYNC_FILE_RANGE_WRITE);
}
