#include "platform/xbengine/indexpagestore.h"

#include <sys/mman.h>

#include "platform/xbengine/cdx/cdxerror.h"
#include "platform/xbengine/mappedread.h"

IndexPageStore::IndexPageStore(const String& path, Mode mode, Journal* journal)
{
    if (mode == Mode::Create)
        FFile.Create(path);
    else
        FFile.Open(path, mode == Mode::Open);
    FFile.SetJournal(journal);
}

void IndexPageStore::ReadPage(std::uint32_t offset, Byte* page)
{
    if (FFile.ReadSome(offset, page, CdxPageSize) != CdxPageSize)
        throw ECdxCorrupt("Index page at offset " + std::to_string(offset) + " lies outside the file");
}

void IndexPageStore::WritePage(std::uint32_t offset, const Byte* page)
{
    FFile.WriteAt(offset, page, CdxPageSize);
}

IndexPageStore::~IndexPageStore() { Unmap(); }

void IndexPageStore::SetLength(std::uint64_t length)
{
    if (length < CdxPageSize)
        Unmap();
    FFile.Truncate(Int64(length));
}

bool IndexPageStore::FirstPageIs(const Byte* page)
{
    // Bytes written but still waiting in the file are not in the mapping.
    if (!FHeaderView && FFile.DeferredBytes() == 0 && FFile.Size() >= Int64(CdxPageSize)) {
        void* view = ::mmap(nullptr, CdxPageSize, PROT_READ, MAP_SHARED, FFile.Handle(), 0);
        if (view != MAP_FAILED)
            FHeaderView = static_cast<const Byte*>(view);
    }
    if (!FHeaderView || FFile.DeferredBytes() > 0)
        return CdxPageStore::FirstPageIs(page);
    bool equal = false;
    if (mappedread::Compare(FHeaderView, page, CdxPageSize, equal))
        return equal;
    // Another program cut the file short: it is read again from the file.
    Unmap();
    return false;
}

void IndexPageStore::Unmap() noexcept
{
    if (FHeaderView)
        ::munmap(const_cast<Byte*>(FHeaderView), CdxPageSize);
    FHeaderView = nullptr;
}
