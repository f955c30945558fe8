#pragma once
// The pages of an index file of an open table, kept in a TableFile so that
// its writes go through the table's journal like those of the DBF and memo.

#include "platform/xbengine/cdx/cdxpagestore.h"
#include "platform/xbengine/tablefile.h"

class IndexPageStore : public CdxPageStore {
public:
    enum class Mode { Open, OpenReadOnly, Create };
    // Fails with an EEngineError when the file cannot be opened or created.
    IndexPageStore(const String& path, Mode mode, Journal* journal);

    void ReadPage(std::uint32_t offset, Byte* page) override;
    void WritePage(std::uint32_t offset, const Byte* page) override;
    std::uint64_t Length() override { return std::uint64_t(FFile.Size()); }
    void SetLength(std::uint64_t length) override { FFile.Truncate(Int64(length)); }
    void Sync() override { FFile.Sync(); }
    int Handle() const { return FFile.Handle(); }

private:
    TableFile FFile;
};
