#pragma once
// One tag of a compound index: its header and its B-tree of (key, record
// number) entries, kept ordered by key bytes and then by record number.
// Every change reads and writes only the pages on its path.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/xbengine/cdx/cdxkey.h"
#include "platform/xbengine/cdx/cdxnode.h"

class CdxIndexFile;

struct CdxTagDefinition {
    String Name;  // 1 to 10 letters, digits or "_", starting with a letter
    String KeyExpression;
    String ForExpression;  // empty: every record has a key
    CdxKeyType KeyType = CdxKeyType::Character;
    int KeyLength = 0;       // character keys only; the other types have fixed lengths
    bool Unique = false;     // the first record of each key only
    bool Candidate = false;  // a second record with a key already present is refused
    bool Descending = false;
};

struct CdxKeyEntry {
    String Key;
    std::uint32_t RecNo = 0;
};

// Keys gathered for a build, side by side in one block: a tag's keys all
// have its key length.
class CdxKeyList {
public:
    explicit CdxKeyList(int keyLength) : FKeyLength(std::size_t(keyLength)) { }
    std::size_t KeyLength() const { return FKeyLength; }
    std::size_t Count() const { return FRecNos.size(); }
    const Byte* Key(std::size_t i) const { return FKeys.data() + i * FKeyLength; }
    std::uint32_t RecNo(std::size_t i) const { return FRecNos[i]; }
    void Reserve(std::size_t count)
    {
        FKeys.resize(std::max(FKeys.size(), count * FKeyLength));
        FRecNos.reserve(count);
    }
    // Room for one more entry's key, for the caller to fill. The block grows
    // by doubling, not key by key.
    Byte* Add(std::uint32_t recNo)
    {
        const std::size_t used = FRecNos.size() * FKeyLength;
        if (used + FKeyLength > FKeys.size())
            FKeys.resize(std::max(FKeys.size() * 2, used + FKeyLength));
        FRecNos.push_back(recNo);
        return FKeys.data() + used;
    }
    // Takes back the entry Add() gave last.
    void DropLast() { FRecNos.pop_back(); }

private:
    std::size_t FKeyLength;
    std::vector<Byte> FKeys;  // room for more keys than Count() at its end
    std::vector<std::uint32_t> FRecNos;
};

enum : Byte {
    CdxOptionUnique = 0x01,
    CdxOptionCandidate = 0x04,
    CdxOptionFor = 0x08,
    CdxOptionCompact = 0x20,
    CdxOptionCompound = 0x40,
    CdxOptionDirectory = 0x80,
};

class CdxTag {
public:
    CdxTag(CdxIndexFile& file, String name, std::uint32_t headerOffset, CdxKeyType keyType);
    CdxTag(const CdxTag&) = delete;
    CdxTag& operator=(const CdxTag&) = delete;

    const String& Name() const { return FName; }
    std::uint32_t HeaderOffset() const { return FHeaderOffset; }
    int KeyLength() const { return FKeyLength; }
    Byte Options() const { return FOptions; }
    bool Unique() const { return FOptions & CdxOptionUnique; }
    bool Candidate() const { return FOptions & CdxOptionCandidate; }
    bool HasFor() const { return FOptions & CdxOptionFor; }
    bool Descending() const { return FDescending; }
    const String& KeyExpression() const { return FKeyExpression; }
    const String& ForExpression() const { return FForExpression; }
    // The header does not say how keys are typed; the owner of the key
    // expression sets it after opening (blank-filled character keys until then).
    CdxKeyType KeyType() const { return FKeyType; }
    void SetKeyType(CdxKeyType type) { FKeyType = type; }

    // Keys are exactly KeyLength() bytes (ERangeError otherwise).
    // False when the entry is there already, or when a unique or candidate tag
    // holds the key for another record.
    bool Insert(const String& key, std::uint32_t recNo);
    // False when the entry is not there.
    bool Delete(const String& key, std::uint32_t recNo);
    bool Contains(const String& key);
    // Replaces every entry; the entries need not be sorted, but are built
    // fastest in their order, or in the order given (the indexes of all
    // entries, each once). A unique or candidate tag keeps the lowest record
    // number of each key. Raises ERangeError for keys of another length.
    void Build(const CdxKeyList& keys, std::vector<std::uint32_t> order = {});
    void Build(const std::vector<CdxKeyEntry>& entries);
    std::uint32_t Count();
    // The record numbers of the entries in their order. Raises ECdxCorrupt
    // when the tree is damaged.
    std::vector<std::uint32_t> RecNos();

    // Changes whenever the entries may have moved.
    std::uint64_t Stamp() const { return FStamp; }

private:
    friend class CdxCursor;
    friend class CdxIndexFile;

    // A path to change: each node a copy of its own.
    struct Step {
        CdxNode Node;
        std::size_t Index = 0;
    };
    using Path = std::vector<Step>;
    // A path to read: the nodes as the file's cache shares them.
    struct SharedStep {
        std::shared_ptr<const CdxNode> Node;
        std::size_t Index = 0;
    };
    using SharedPath = std::vector<SharedStep>;
    // A leaf read for a change: its page as read, scanned for the entry,
    // and the leaf decoded where the cache keeps it so.
    struct LeafToChange {
        std::uint32_t Offset = CdxNone;
        Byte Page[CdxPageSize];
        CdxLeafScan Scan;
        std::shared_ptr<const CdxNode> Decoded;
    };
    // What a node's place in the tree is checked by.
    struct NodeEdges {
        std::uint32_t Offset, Left, Right;
        std::uint16_t Attributes;
        std::size_t Count;
        const Byte* FirstKey;
        std::uint32_t FirstRecNo;
        const Byte* LastKey;
        std::uint32_t LastRecNo;
    };

    Byte Fill() const { return CdxFillByte(FKeyType); }
    void ReadHeader();
    void SetRoot(std::uint32_t offset);
    std::shared_ptr<const CdxNode> ReadNode(std::uint32_t offset);
    void WriteNode(const CdxNode& node);
    void PatchLink(std::uint32_t offset, bool left, std::uint32_t value);
    void CheckKey(const String& key) const;
    // Root to leaf towards (key, recNo); each step's Index is the entry taken.
    // With leaf, the path ends above the leaf, which is scanned into *leaf:
    // as the cache keeps it decoded, or else from its page, decoded first
    // only where the cache has room to keep it so.
    SharedPath Descend(const Byte* key, std::uint32_t recNo, LeafToChange* leaf = nullptr);
    SharedPath DescendEdge(bool last);
    // Descend for a change: each node on the path, the leaf included, is checked first.
    SharedPath DescendToChange(const Byte* key, std::uint32_t recNo, LeafToChange& leaf);
    // The path to change, the leaf decoded at its end.
    Path Copied(const SharedPath& path, const LeafToChange& leaf);
    // Raises ECdxCorrupt unless the node's links stay inside the file, its
    // keys are in order and a leaf's key count fits its keys.
    void CheckLinks(const CdxNode& node) const;
    void CheckSiblings(std::uint32_t offset, std::uint32_t left, std::uint32_t right) const;
    // Whether a link from the page at from leads to another page inside the file.
    bool LinkInFile(std::uint32_t from, std::uint32_t to) const;
    // Raises ECdxCorrupt unless each node also fits the place the path found it in.
    void CheckPath(const SharedPath& path) const;
    // The same for the node at path[level] (the leaf below the path when level is its size).
    void CheckPlace(const SharedPath& path, std::size_t level, const NodeEdges& node) const;
    // Inserts or erases the entry at the leaf's place by changing its page in
    // place, and the parents' entries for its highest key where that moved.
    // False, with nothing written, where the leaf must split, empties or
    // would be left less than half full: Settle() does those.
    bool ChangeLeafInPlace(const SharedPath& path, LeafToChange& leaf, const Byte* key, std::uint32_t recNo,
                           bool insert);
    [[noreturn]] void Damaged(const String& what) const;
    // Writes the changed node at path[level], splitting or joining it, and
    // carries the change up to the root.
    void Settle(Path& path, std::size_t level);
    bool JoinNeighbour(Path& path, std::size_t level, std::size_t& first, std::size_t& count);
    // Gives pieces without an offset a page, chains all of them between left
    // and right, writes them.
    void WriteRun(std::vector<CdxNode>& pieces, std::uint32_t left, std::uint32_t right);
    void ShrinkRoot(CdxNode root);
    // The entries' indices ordered by key bytes, then by record number.
    std::vector<std::uint32_t> SortedOrder(const CdxKeyList& keys) const;
    // Calls visit(offset, key count) for each leaf from the first until it returns false.
    void WalkLeaves(const std::function<bool(std::uint32_t, std::uint32_t)>& visit);
    std::vector<std::uint32_t> TreePages();
    // Pages in the file: no walk along links takes more steps.
    std::uint32_t PageLimit() const;
    void Changed();

    CdxIndexFile& FFile;
    String FName;
    std::uint32_t FHeaderOffset;
    CdxKeyType FKeyType;
    std::uint32_t FRoot = CdxNone;
    int FKeyLength = 0;
    Byte FOptions = 0;
    bool FDescending = false;
    String FKeyExpression;
    String FForExpression;
    std::uint64_t FStamp = 0;
};
