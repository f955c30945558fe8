#include "platform/xbengine/tablefile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/xbengine/engineerror.h"
#include "platform/xbengine/journal.h"
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
    case ENOTDIR:
        return XBE_E_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return XBE_E_ACCESS;
    case ENAMETOOLONG:
        return XBE_E_LIMIT;
    default:
        return XBE_E_IO;
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

}  // namespace

TableFile::~TableFile()
{
    Close();
}

void TableFile::Open(const String& path, bool writable)
{
    Close();
    int handle = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (handle < 0)
        Fail(OpenErrorCode(errno), "Cannot open file", path, errno);
    FHandle = handle;
    FPath = path;
}

void TableFile::Create(const String& path)
{
    Close();
    int handle = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle < 0)
        Fail(OpenErrorCode(errno), "Cannot create file", path, errno);
    FHandle = handle;
    FPath = path;
}

void TableFile::Close()
{
    if (FHandle >= 0)
        ::close(FHandle);
    FHandle = -1;
}

Int64 TableFile::Size() const
{
    struct stat info;
    if (::fstat(FHandle, &info) != 0)
        Fail(XBE_E_IO, "Cannot read file size", FPath, errno);
    return info.st_size;
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
    return done;
}

void TableFile::ReadAt(Int64 offset, void* buffer, std::size_t n) const
{
    if (ReadSome(offset, buffer, n) != n)
        throw EEngineError(XBE_E_IO, "Unexpected end of file: " + FPath);
}

void TableFile::WriteAt(Int64 offset, const void* buffer, std::size_t n)
{
    if (FJournal)
        FJournal->Protect(*this, offset, Int64(n));
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
}

void TableFile::Truncate(Int64 size)
{
    if (FJournal)
        FJournal->Protect(*this, size, Size() - size);
    BeforeWrite();
    if (::ftruncate(FHandle, size) != 0)
        Fail(XBE_E_IO, "Cannot truncate file", FPath, errno);
}

void TableFile::Sync()
{
    if (::fdatasync(FHandle) != 0)
        Fail(XBE_E_IO, "Cannot flush file", FPath, errno);
}
