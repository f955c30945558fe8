#pragma once
// Where the pages of a compound index live. The engine keeps an open table's
// index pages in its own store, whose writes go through the table's rollback
// journal; the file store here serves the format's tests and benchmarks.

#include <cstdint>
#include <vector>

#include "platform/rtl/types.h"

constexpr std::uint32_t CdxPageSize = 512;

class CdxPageStore {
public:
    virtual ~CdxPageStore() = default;
    // Reads CdxPageSize bytes at offset; a page not wholly inside the file
    // raises ECdxCorrupt.
    virtual void ReadPage(std::uint32_t offset, Byte* page) = 0;
    // Writes CdxPageSize bytes at offset, growing the file as needed.
    virtual void WritePage(std::uint32_t offset, const Byte* page) = 0;
    virtual std::uint64_t Length() = 0;
    // Cuts or extends the file to length bytes.
    virtual void SetLength(std::uint64_t length) = 0;
    // Puts what was written on the disk.
    virtual void Sync() { }
    // The first page holds what page holds: the look at a file's header by
    // which a process finds whether others changed the file.
    virtual bool FirstPageIs(const Byte* page);
};

class CdxFileStore : public CdxPageStore {
public:
    enum class Mode { Open, OpenReadOnly, Create };
    // Raises EInOutError when the file cannot be opened or created.
    CdxFileStore(const String& path, Mode mode);
    ~CdxFileStore() override;
    CdxFileStore(const CdxFileStore&) = delete;
    CdxFileStore& operator=(const CdxFileStore&) = delete;

    void ReadPage(std::uint32_t offset, Byte* page) override;
    void WritePage(std::uint32_t offset, const Byte* page) override;
    std::uint64_t Length() override;
    void SetLength(std::uint64_t length) override;
    void Sync() override;
    int Handle() const { return FHandle; }

private:
    String FPath;
    int FHandle = -1;
};

// A store in memory, for index images that are not files.
class CdxMemoryStore : public CdxPageStore {
public:
    CdxMemoryStore() = default;
    explicit CdxMemoryStore(std::vector<Byte> bytes) : FBytes(std::move(bytes)) { }

    void ReadPage(std::uint32_t offset, Byte* page) override;
    void WritePage(std::uint32_t offset, const Byte* page) override;
    std::uint64_t Length() override { return FBytes.size(); }
    void SetLength(std::uint64_t length) override { FBytes.resize(length); }
    const std::vector<Byte>& Bytes() const { return FBytes; }

private:
    std::vector<Byte> FBytes;
};
