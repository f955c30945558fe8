#pragma once
// One 512-byte node of a tag's B-tree, decoded. Interior nodes hold full keys
// with the record number and child of each entry; leaf nodes pack record
// number, duplicate and trailing counts into a few bits per entry and keep
// the key bytes from the end of the page backwards.

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/rtl/types.h"
#include "platform/xbengine/cdx/cdxpagestore.h"

constexpr std::uint32_t CdxNone = 0xFFFFFFFFu;
constexpr int CdxMaxKeyLength = 240;

enum : std::uint16_t { CdxNodeRoot = 1, CdxNodeLeaf = 2 };

// Orders entries by key bytes, then by record number.
inline int CdxCompare(const Byte* a, std::uint32_t recA, const Byte* b, std::uint32_t recB, int keyLength)
{
    if (int c = std::memcmp(a, b, std::size_t(keyLength)))
        return c;
    return recA < recB ? -1 : recA > recB ? 1 : 0;
}

struct CdxNode {
    std::uint32_t Offset = CdxNone;
    std::uint16_t Attributes = CdxNodeLeaf;
    std::uint32_t Left = CdxNone;
    std::uint32_t Right = CdxNone;
    int KeyLength = 0;
    std::vector<Byte> Keys;  // Count() keys of KeyLength bytes
    std::vector<std::uint32_t> RecNos;
    std::vector<std::uint32_t> Children;  // interior nodes only
    // A decoded leaf's free-byte count agrees with its keys: its key count
    // was not changed alone.
    bool FreeBytesAgree = true;
    // The node passed its check (links inside the file, keys in order): set
    // by the first check of a node the cache shares, so that later changes
    // through it check it no more (the file only grows while its pages stay
    // cached); a change of the entries clears it, unless its maker made it
    // from a checked node and knows the order kept.
    mutable bool Checked = false;

    bool IsLeaf() const { return Attributes & CdxNodeLeaf; }
    std::size_t Count() const { return RecNos.size(); }
    const Byte* Key(std::size_t i) const { return Keys.data() + i * std::size_t(KeyLength); }
    // Index of the first entry not below (key, recNo); Count() when none.
    std::size_t LowerBound(const Byte* key, std::uint32_t recNo) const;
    void Insert(std::size_t at, const Byte* key, std::uint32_t recNo, std::uint32_t child);
    void Erase(std::size_t from, std::size_t to);
    // Copies entries [from, to) of another node of the same kind to the end.
    void Append(const CdxNode& other, std::size_t from, std::size_t to);
    void Clear();
};

// Raises ECdxCorrupt when the page breaks the format.
void CdxDecodeNode(const Byte* page, std::uint32_t offset, int keyLength, Byte fill, CdxNode& node);
// False when the entries do not fit in one page.
bool CdxEncodeNode(const CdxNode& node, Byte fill, Byte* page);

// Bytes one leaf entry takes in a page whose highest record number is maxRecNo.
int CdxLeafEntryBytes(std::uint32_t maxRecNo, int keyLength);
// Key bytes a leaf stores for key after previous (nullptr for a page's first).
int CdxPackedKeyBytes(const Byte* key, const Byte* previous, int keyLength, Byte fill);
// Bytes that entries [from, to) of a leaf take in the packed area.
int CdxLeafBytes(const CdxNode& leaf, std::size_t from, std::size_t to, Byte fill);
constexpr int CdxLeafSpace = 488;
inline std::size_t CdxInteriorCapacity(int keyLength) { return std::size_t(500 / (keyLength + 8)); }
// Whether entries [from, to) of a node fit one page.
bool CdxFits(const CdxNode& node, std::size_t from, std::size_t to, Byte fill);
// The same for the many ranges a split tries: each leaf entry's packed key
// is measured once.
class CdxNodeMeasure {
public:
    CdxNodeMeasure(const CdxNode& node, Byte fill);
    bool Fits(std::size_t from, std::size_t to) const;

private:
    const CdxNode& FNode;
    Byte FFill;
    std::vector<int> FPacked;  // leaves: key bytes entries 1 to i - 1 store after the one before each
};

// One entry of a leaf, its key whole.
struct CdxLeafEntry {
    Byte Key[CdxMaxKeyLength];
    std::uint32_t RecNo = 0;
};

// A leaf page looked over for a change without decoding it: where an entry
// goes, the entries around that place and at the page's ends, and what the
// check of a decoded leaf would find.
struct CdxLeafScan {
    std::size_t Count = 0;
    std::size_t At = 0;  // the first entry not below the one looked for; Count when none
    std::uint32_t MaxRecNo = 0;
    std::uint32_t RestMaxRecNo = 0;  // the highest without entry At
    bool FreeBytesAgree = true;
    bool InOrder = true;  // each entry above the one before it
    CdxLeafEntry First, Last;
    // Entries At - 1, At and At + 1 where there are such (Before is the
    // last entry when At is Count).
    CdxLeafEntry Before, Here, After;
    // The page offsets where the key bytes of entry At end and of the last
    // entry begin, and the key bytes entries At and At + 1 store.
    std::size_t HereKeyEnd = 0, KeyFloor = 0;
    std::size_t HereStored = 0, AfterStored = 0;
};

// One pass over a leaf page for an entry (key, recNo). Raises ECdxCorrupt
// where CdxDecodeNode would.
void CdxScanLeaf(const Byte* page, std::uint32_t offset, int keyLength, Byte fill, const Byte* key,
                 std::uint32_t recNo, CdxLeafScan& scan);
// The same from the leaf decoded from page, found by binary search, with only
// the entries' counts up to the place read from the page. The caller checks
// the decoded leaf: its keys' order and free-byte count are taken as they are.
void CdxScanDecodedLeaf(const Byte* page, const CdxNode& leaf, Byte fill, const Byte* key,
                        std::uint32_t recNo, CdxLeafScan& scan);
// Writes to out the scanned leaf page with (key, recNo) inserted at scan.At,
// or the entry there erased: only the changed entry and its follower are
// packed again, the others' bytes move as they are. Out holds the page as
// CdxEncodeNode would write the entries. False when they no longer fit one
// page or need other bit widths.
bool CdxSpliceLeaf(const Byte* page, const CdxLeafScan& scan, const Byte* key, std::uint32_t recNo,
                   bool insert, int keyLength, Byte fill, Byte* out);
// Bytes of the packed area a leaf's page leaves free.
inline int CdxLeafFreeBytes(const Byte* page) { return page[12] | page[13] << 8; }
// Writes entry i of an interior node into its encoded page.
void CdxPutInteriorEntry(Byte* page, const CdxNode& node, std::size_t i);

inline std::uint32_t CdxGetLE32(const Byte* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

inline void CdxPutLE32(Byte* p, std::uint32_t v)
{
    p[0] = Byte(v);
    p[1] = Byte(v >> 8);
    p[2] = Byte(v >> 16);
    p[3] = Byte(v >> 24);
}

inline std::uint16_t CdxGetLE16(const Byte* p) { return std::uint16_t(p[0] | p[1] << 8); }

inline void CdxPutLE16(Byte* p, std::uint16_t v)
{
    p[0] = Byte(v);
    p[1] = Byte(v >> 8);
}
