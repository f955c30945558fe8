#pragma once
// A compound index file: a tag directory (itself a tree keyed by tag name)
// over the tags, each with its own header and tree, and one list of free
// pages. In shared use the caller holds the index lock around every call and
// calls Refresh() first, so the file reloads what another process changed.

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/xbengine/cdx/cdxpagestore.h"
#include "platform/xbengine/cdx/cdxtag.h"
#include "platform/xbengine/cdx/lrucache.h"

class CdxIndexFile {
public:
    // An empty compound file over an empty (or cut) store.
    static std::unique_ptr<CdxIndexFile> Create(std::unique_ptr<CdxPageStore> store);
    // Raises ECdxCorrupt when the directory or a tag header breaks the format.
    static std::unique_ptr<CdxIndexFile> Open(std::unique_ptr<CdxPageStore> store);
    CdxIndexFile(const CdxIndexFile&) = delete;
    CdxIndexFile& operator=(const CdxIndexFile&) = delete;

    // The tags in the order they were created.
    std::vector<CdxTag*> Tags() const;
    // Case-insensitive; nullptr when missing.
    CdxTag* FindTag(const String& name) const;
    // A tag of the same name is replaced. Raises ERangeError for a bad name,
    // key length or expression.
    CdxTag& CreateTag(const CdxTagDefinition& definition);
    bool DropTag(const String& name);

    // Rereads the header and the tag roots when another process changed the
    // file, or always, dropping every page read before. Each call begins a
    // new hold of the file: its first change raises the change counter again.
    void Refresh(bool always = false);
    // Counts the holds of the file that changed it, for other processes'
    // caches: raised by the first change after opening or after Refresh(),
    // as no other process reads the file between two Refresh() calls.
    std::uint32_t ChangeCounter() const;
    // Raised by each Refresh that reloaded: what was read from the file
    // before may have moved.
    std::uint64_t Generation() const { return FGeneration; }
    // The header in the file is still the one this open read or wrote last:
    // no other process has written the file since.
    bool HeaderUnchanged();
    // Raises the change counter for a change of the table beside the index
    // (at the end of the changes under way), so that other processes drop
    // what they read of both.
    void MarkChanged();
    // Between the two, the change counter is raised once for all changes and
    // written at the end; the caller holds the index lock across both.
    void BeginChanges() { ++FBatchDepth; }
    void EndChanges();

    CdxPageStore& Store() { return *FStore; }
    // The memory the cached pages may take, the nodes decoded from them
    // included (4 MiB unless set).
    static constexpr std::size_t DefaultCacheBytes = std::size_t(4) << 20;
    void SetCacheBytes(std::size_t bytes) { FCache.SetLimit(bytes); }
    std::size_t CachedBytes() const { return FCache.Cost(); }
    // While on, a page read that misses the cache raises ECdxCacheMiss
    // instead of reading the file: for reads made without the index lock,
    // which may use only what was read under it.
    void SetCacheOnly(bool on) { FCacheOnly = on; }

private:
    friend class CdxTag;
    explicit CdxIndexFile(std::unique_ptr<CdxPageStore> store);
    void Load();
    std::uint32_t AllocatePage();
    // Offset of bytes more at the end of the file.
    std::uint32_t Grow(std::uint32_t bytes);
    void FreePage(std::uint32_t offset) { FreePages({offset}); }
    // Puts the pages on the free list, writing the header once.
    void FreePages(const std::vector<std::uint32_t>& offsets);
    // Raises ECdxCorrupt unless offset is a whole page inside the tag area.
    void CheckPage(std::uint32_t offset) const;
    std::uint32_t PageCount() const { return std::uint32_t(FEnd / CdxPageSize); }
    // Writes value at byte at of the header page of the tag at headerOffset.
    void PatchHeader(std::uint32_t headerOffset, std::size_t at, std::uint32_t value);
    void WriteHeaderPage();
    void WriteEmptyRoot(std::uint32_t offset, int keyLength, Byte fill);
    void Changed();
    // The store's pages through a cache that Refresh() drops when another
    // process has written.
    void ReadPage(std::uint32_t offset, Byte* page);
    // The page's bytes where the cache holds them, valid until the next read
    // or write; else the page read into scratch.
    const Byte* PageBytes(std::uint32_t offset, Byte* scratch);
    void WritePage(std::uint32_t offset, const Byte* page);
    // Writes the page of node, which the cache keeps decoded as node where
    // it has room for it.
    void WriteNode(const Byte* page, std::shared_ptr<const CdxNode> node, Byte fill);
    // Interior nodes are always kept decoded: they are few, and every
    // descent reads them. A leaf is, while the cache has room to spare: once
    // the pages fill it, its memory goes to pages, which a read would
    // otherwise miss, rather than to decoded leaves.
    bool HasRoomFor(const CdxNode& node) const;
    bool HasRoomForLeaf(std::size_t count, int keyLength) const;
    // The node the cache keeps decoded for the page at offset, with that key
    // length and fill; nullptr when none.
    std::shared_ptr<const CdxNode> CachedNode(std::uint32_t offset, int keyLength, Byte fill);
    void Remember(std::uint32_t offset, const Byte* page);
    // The node on the page at offset, decoded once and shared by every read
    // while the page stays cached and unchanged. Raises ECdxCorrupt when the
    // page breaks the format.
    std::shared_ptr<const CdxNode> ReadNode(std::uint32_t offset, int keyLength, Byte fill);

    struct CachedPage {
        std::array<Byte, CdxPageSize> Bytes;
        // The page decoded, with the key length and fill it was decoded
        // for; none until a tag reads the page as a node.
        std::shared_ptr<const CdxNode> Node;
        int NodeKeyLength = 0;
        Byte NodeFill = 0;
    };

    std::unique_ptr<CdxPageStore> FStore;
    Byte FHeader[CdxPageSize] = {};
    std::uint64_t FEnd = 0;
    std::unique_ptr<CdxTag> FDirectory;
    std::vector<std::unique_ptr<CdxTag>> FTags;                      // by header offset
    LruCache<std::uint32_t, CachedPage> FCache {DefaultCacheBytes};  // costs in bytes
    int FBatchDepth = 0;
    bool FBatchChanged = false;
    bool FCounterRaised = false;  // in this hold of the file
    std::uint64_t FGeneration = 1;
    bool FCacheOnly = false;
};
