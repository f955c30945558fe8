#include "platform/rtl/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/rtl/fileops.h"

Int64 TStream::Size()
{
    Int64 position = Seek(0, soFromCurrent);
    Int64 size = Seek(0, soFromEnd);
    Seek(position, soFromBeginning);
    return size;
}

void TStream::ReadBuffer(void* Buffer, Int64 Count)
{
    if (Count != 0 && Read(Buffer, Count) != Count)
        throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, Int64 Count)
{
    if (Count != 0 && Write(Buffer, Count) != Count)
        throw EWriteError("Stream write error");
}

Int64 TStream::CopyFrom(TStream& Source, Int64 Count)
{
    if (Count == 0) {
        Source.SetPosition(0);
        Count = Source.Size();
    }
    std::vector<Byte> buffer(static_cast<size_t>(std::min<Int64>(Count, 65536)));
    for (Int64 left = Count; left > 0;) {
        Int64 n = std::min<Int64>(left, static_cast<Int64>(buffer.size()));
        Source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return Count;
}

// ---------------------------------------------------------------------------

namespace {

[[noreturn]] void FileError(bool Create, const String& FileName, const String& Reason)
{
    String message =
            String(Create ? "Cannot create file \"" : "Cannot open file \"") + FileName + "\". " + Reason;
    if (Create)
        throw EFCreateError(message);
    throw EFOpenError(message);
}

// Repeats a read or write (Step, given the bytes done so far) until Count bytes
// are done, the end of the file or an error; returns the bytes done.
template<class Step> Int64 Transfer(Int64 Count, Step StepOnce)
{
    Int64 done = 0;
    while (done < Count) {
        ssize_t n = StepOnce(done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

const char* const InUseReason = "The file is in use by another user or program.";

}  // namespace

TFileStream::TFileStream(const String& FileName, Word Mode)
{
    bool create = (Mode & 0xFF00) == fmCreate;
    Word share = Mode & 0x00F0;
    // The name as it exists on disk; a new file gets the name as given.
    FFileName = ResolvePath(FileName);
    int flags = O_CLOEXEC;
    if (create)
        flags |= O_RDWR | O_CREAT;
    else if ((Mode & 0x0003) == fmOpenWrite)
        flags |= O_WRONLY;
    else if ((Mode & 0x0003) == fmOpenReadWrite)
        flags |= O_RDWR;
    else
        flags |= O_RDONLY;
    do {
        FHandle = ::open(FFileName.c_str(), flags, 0666);
    } while (FHandle < 0 && errno == EINTR);
    if (FHandle < 0)
        FileError(create, FFileName, std::strerror(errno));
    try {
        struct stat st;
        if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode))
            FileError(create, FFileName, std::strerror(EISDIR));
        // An exclusive lock needs a descriptor open for writing; a read-only
        // exclusive open settles for the shared lock.
        bool exclusive = (share == fmShareExclusive || (create && share == fmShareCompat)) &&
                         (flags & (O_WRONLY | O_RDWR));
        if (!FOpenLock.TryAcquire(FHandle, sharelocks::OpenModeOffset,
                                  exclusive ? sharelocks::LockKind::Exclusive : sharelocks::LockKind::Shared))
            FileError(create, FFileName, InUseReason);
        // Emptied only once the file is ours.
        if (create && ::ftruncate(FHandle, 0) != 0)
            FileError(create, FFileName, std::strerror(errno));
    } catch (...) {
        FOpenLock.Release();
        ::close(FHandle);
        throw;
    }
}

TFileStream::~TFileStream()
{
    FOpenLock.Release();
    if (FHandle >= 0)
        ::close(FHandle);
}

Int64 TFileStream::Read(void* Buffer, Int64 Count)
{
    return Transfer(Count, [&](Int64 Done) {
        return ::read(FHandle, static_cast<char*>(Buffer) + Done, static_cast<size_t>(Count - Done));
    });
}

Int64 TFileStream::Write(const void* Buffer, Int64 Count)
{
    return Transfer(Count, [&](Int64 Done) {
        return ::write(FHandle, static_cast<const char*>(Buffer) + Done, static_cast<size_t>(Count - Done));
    });
}

Int64 TFileStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
    int whence = Origin == soFromBeginning ? SEEK_SET : Origin == soFromCurrent ? SEEK_CUR : SEEK_END;
    off_t result = ::lseek(FHandle, Offset, whence);
    if (result < 0)
        throw EStreamError("Cannot seek in \"" + FFileName + "\". " + std::strerror(errno));
    return result;
}

void TFileStream::SetSize(Int64 NewSize)
{
    if (::ftruncate(FHandle, NewSize) != 0)
        throw EStreamError("Cannot set the size of \"" + FFileName + "\". " + std::strerror(errno));
    if (Position() > NewSize)
        SetPosition(NewSize);
}

// ---------------------------------------------------------------------------

Int64 TMemoryStream::Read(void* Buffer, Int64 Count)
{
    Int64 n = std::clamp<Int64>(Size() - FPosition, 0, std::max<Int64>(Count, 0));
    if (n > 0)
        std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

Int64 TMemoryStream::Write(const void* Buffer, Int64 Count)
{
    if (Count <= 0)
        return 0;
    Int64 end = FPosition + Count;
    if (end > Size()) {
        // Grows by half again so that many small writes stay cheap.
        if (static_cast<size_t>(end) > FData.capacity())
            FData.reserve(std::max<size_t>(static_cast<size_t>(end), FData.capacity() * 3 / 2));
        FData.resize(static_cast<size_t>(end));
    }
    std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
    FPosition = end;
    return Count;
}

Int64 TMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
    Int64 base = Origin == soFromBeginning ? 0 : Origin == soFromCurrent ? FPosition : Size();
    Int64 position = base + Offset;
    if (position < 0)
        throw EStreamError("Cannot seek before the start of the stream");
    FPosition = position;
    return FPosition;
}

void TMemoryStream::SetSize(Int64 NewSize)
{
    if (NewSize < 0)
        throw EStreamError("Invalid stream size");
    FData.resize(static_cast<size_t>(NewSize));
    FPosition = std::min(FPosition, NewSize);
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream)
{
    Stream.SetPosition(0);
    Int64 size = Stream.Size();
    std::vector<Byte> data(static_cast<size_t>(size));
    Stream.ReadBuffer(data.data(), size);
    FData = std::move(data);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName)
{
    TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& Stream) const
{
    Stream.WriteBuffer(FData.data(), static_cast<Int64>(FData.size()));
}

void TMemoryStream::SaveToFile(const String& FileName) const
{
    TFileStream file(FileName, fmCreate);
    SaveToStream(file);
}

// ---------------------------------------------------------------------------

TStringStream::TStringStream(const String& Text)
{
    WriteString(Text);
    SetPosition(0);
}

String TStringStream::DataString() const { return String(FData.begin(), FData.end()); }

String TStringStream::ReadString(Int64 Count)
{
    String text(static_cast<size_t>(std::clamp<Int64>(Size() - Position(), 0, std::max<Int64>(Count, 0))),
                '\0');
    text.resize(static_cast<size_t>(Read(text.data(), static_cast<Int64>(text.size()))));
    return text;
}

void TStringStream::WriteString(const String& Text)
{
    WriteBuffer(Text.data(), static_cast<Int64>(Text.size()));
}
