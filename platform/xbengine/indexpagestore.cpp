#include "platform/xbengine/indexpagestore.h"

#include "platform/xbengine/cdx/cdxerror.h"

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
