#include "platform/rtl/sharelocks.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <utility>

#include "platform/rtl/exceptions.h"

namespace sharelocks {

namespace {

struct flock MakeRange(short Type, std::int64_t Offset, std::int64_t Length)
{
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = Type;
    fl.l_whence = SEEK_SET;
    fl.l_start = Offset;
    fl.l_len = Length;
    return fl;
}

// Non-blocking, so that probing a pipe's name never waits for a writer.
int OpenPath(const String& Path, int Flags)
{
    int fd;
    do {
        fd = ::open(Path.c_str(), Flags | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

OfdLock::~OfdLock() { Release(); }

OfdLock::OfdLock(OfdLock&& Other) noexcept
    : FFd(std::exchange(Other.FFd, -1)), FOffset(Other.FOffset), FLength(Other.FLength)
{
}

OfdLock& OfdLock::operator=(OfdLock&& Other) noexcept
{
    if (this != &Other) {
        Release();
        FFd = std::exchange(Other.FFd, -1);
        FOffset = Other.FOffset;
        FLength = Other.FLength;
    }
    return *this;
}

bool OfdLock::Set(int Fd, std::int64_t Offset, LockKind Kind, std::int64_t Length, bool Wait)
{
    Release();
    struct flock fl = MakeRange(Kind == LockKind::Exclusive ? F_WRLCK : F_RDLCK, Offset, Length);
    int rc;
    do {
        rc = ::fcntl(Fd, Wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        int err = errno;
        if (!Wait && (err == EAGAIN || err == EACCES))
            return false;
        throw EInOutError(String("Cannot lock the file: ") + std::strerror(err), err);
    }
    FFd = Fd;
    FOffset = Offset;
    FLength = Length;
    return true;
}

bool OfdLock::TryAcquire(int Fd, std::int64_t Offset, LockKind Kind, std::int64_t Length)
{
    return Set(Fd, Offset, Kind, Length, false);
}

void OfdLock::Acquire(int Fd, std::int64_t Offset, LockKind Kind, std::int64_t Length)
{
    Set(Fd, Offset, Kind, Length, true);
}

void OfdLock::Release()
{
    if (FFd < 0)
        return;
    struct flock fl = MakeRange(F_UNLCK, FOffset, FLength);
    ::fcntl(FFd, F_OFD_SETLK, &fl);
    FFd = -1;
}

bool FileInUse(const String& Path)
{
    int fd = OpenPath(Path, O_RDONLY);
    if (fd < 0)
        return false;
    // Asks whether a write lock could be placed, which needs no write access.
    struct flock fl = MakeRange(F_WRLCK, OpenModeOffset, 1);
    bool inUse = ::fcntl(fd, F_OFD_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    ::close(fd);
    return inUse;
}

bool LocksWorkIn(const String& Dir)
{
    const String probe = Dir + (Dir.empty() || Dir.back() == '/' ? "" : "/") + "LOCKTEST.TMP";
    const int first = ::open(probe.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (first < 0)
        return false;
    const int second = OpenPath(probe, O_RDWR);
    bool works = false;
    try {
        OfdLock held, rival;
        works = second >= 0 && held.TryAcquire(first, OpenModeOffset, LockKind::Exclusive) &&
                !rival.TryAcquire(second, OpenModeOffset, LockKind::Exclusive);
    } catch (const Exception&) {
        works = false;
    }
    if (second >= 0)
        ::close(second);
    ::close(first);
    ::unlink(probe.c_str());
    return works;
}

FileClaim::~FileClaim()
{
    FLock.Release();
    if (FFd >= 0)
        ::close(FFd);
}

bool FileClaim::Claim(const String& Path)
{
    FLock.Release();
    if (FFd >= 0) {
        ::close(FFd);
        FFd = -1;
    }
    FFd = OpenPath(Path, O_RDWR);
    if (FFd < 0) {
        // A read-only file (or a missing one) cannot carry our write lock: probe only.
        return !FileInUse(Path);
    }
    try {
        return FLock.TryAcquire(FFd, OpenModeOffset, LockKind::Exclusive);
    } catch (const EInOutError&) {
        return !FileInUse(Path);
    }
}

}  // namespace sharelocks
