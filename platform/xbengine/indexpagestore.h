#pragma once
// The pages of an index file of an open table, kept in a TableFile so that
// its writes go through the table's journal like those of the DBF and memo.
// The header page is looked at through a shared read-only mapping of the
// file, which shows what another process wrote as soon as its write is done,
// without a system call for each look; a file another program cut short
// under the mapping is seen as changed.

#include "platform/xbengine/cdx/cdxpagestore.h"
#include "platform/xbengine/tablefile.h"

class IndexPageStore : public CdxPageStore {
public:
    enum class Mode { Open, OpenReadOnly, Create };
    // Fails with an EEngineError when the file cannot be opened or created.
    IndexPageStore(const String& path, Mode mode, Journal* journal);
    ~IndexPageStore() override;
    IndexPageStore(const IndexPageStore&) = delete;
    IndexPageStore& operator=(const IndexPageStore&) = delete;

    void ReadPage(std::uint32_t offset, Byte* page) override;
    void WritePage(std::uint32_t offset, const Byte* page) override;
    std::uint64_t Length() override { return std::uint64_t(FFile.Size()); }
    void SetLength(std::uint64_t length) override;
    void Sync() override { FFile.Sync(); }
    bool FirstPageIs(const Byte* page) override;
    int Handle() const { return FFile.Handle(); }

private:
    void Unmap() noexcept;

    TableFile FFile;
    // The mapped header page; none while the file is shorter than a page
    // (a mapped page wholly past the end would fault when read).
    const Byte* FHeaderView = nullptr;
};
