#include "platform/xbengine/cdx/cdxpagestore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/xbengine/cdx/cdxerror.h"

namespace {

[[noreturn]] void RaiseBeyondEnd(std::uint32_t offset)
{
    throw ECdxCorrupt("Index page at offset " + std::to_string(offset) + " lies outside the file");
}

}  // namespace

bool CdxPageStore::FirstPageIs(const Byte* page)
{
    Byte first[CdxPageSize];
    ReadPage(0, first);
    return std::memcmp(first, page, CdxPageSize) == 0;
}

CdxFileStore::CdxFileStore(const String& path, Mode mode) : FPath(path)
{
    int flags = O_RDWR | O_CLOEXEC;
    if (mode == Mode::OpenReadOnly)
        flags = O_RDONLY | O_CLOEXEC;
    else if (mode == Mode::Create)
        flags |= O_CREAT | O_TRUNC;
    FHandle = ::open(path.c_str(), flags, 0666);
    if (FHandle < 0)
        throw EInOutError("Cannot open index file " + path + ": " + std::strerror(errno), errno);
}

void CdxFileStore::Sync()
{
    if (::fdatasync(FHandle) != 0)
        throw EInOutError("Cannot flush index file " + FPath + ": " + std::strerror(errno), errno);
}

CdxFileStore::~CdxFileStore()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

void CdxFileStore::ReadPage(std::uint32_t offset, Byte* page)
{
    std::size_t done = 0;
    while (done < CdxPageSize) {
        ssize_t n = ::pread(FHandle, page + done, CdxPageSize - done, off_t(offset) + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EInOutError("Cannot read index file " + FPath + ": " + std::strerror(errno), errno);
        if (n == 0)
            RaiseBeyondEnd(offset);
        done += std::size_t(n);
    }
}

void CdxFileStore::WritePage(std::uint32_t offset, const Byte* page)
{
    std::size_t done = 0;
    while (done < CdxPageSize) {
        ssize_t n = ::pwrite(FHandle, page + done, CdxPageSize - done, off_t(offset) + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EInOutError("Cannot write index file " + FPath + ": " + std::strerror(errno), errno);
        done += std::size_t(n);
    }
}

std::uint64_t CdxFileStore::Length()
{
    struct stat st { };
    if (::fstat(FHandle, &st) != 0)
        throw EInOutError("Cannot read index file " + FPath + ": " + std::strerror(errno), errno);
    return std::uint64_t(st.st_size);
}

void CdxFileStore::SetLength(std::uint64_t length)
{
    if (::ftruncate(FHandle, off_t(length)) != 0)
        throw EInOutError("Cannot write index file " + FPath + ": " + std::strerror(errno), errno);
}

void CdxMemoryStore::ReadPage(std::uint32_t offset, Byte* page)
{
    if (std::uint64_t(offset) + CdxPageSize > FBytes.size())
        RaiseBeyondEnd(offset);
    std::memcpy(page, FBytes.data() + offset, CdxPageSize);
}

void CdxMemoryStore::WritePage(std::uint32_t offset, const Byte* page)
{
    if (std::uint64_t(offset) + CdxPageSize > FBytes.size())
        FBytes.resize(std::size_t(offset) + CdxPageSize);
    std::memcpy(FBytes.data() + offset, page, CdxPageSize);
}
