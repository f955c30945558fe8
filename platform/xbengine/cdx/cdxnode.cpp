#include "platform/xbengine/cdx/cdxnode.h"

#include <algorithm>
#include <bit>

#include "platform/xbengine/cdx/cdxerror.h"

namespace {

constexpr std::size_t HeaderBytes = 12;
constexpr std::size_t LeafHeaderBytes = 24;

int BitLength(std::uint32_t v)
{
    int bits = 0;
    for (; v; v >>= 1)
        ++bits;
    return bits;
}

std::uint32_t GetBE32(const Byte* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void PutBE32(Byte* p, std::uint32_t v)
{
    p[0] = Byte(v >> 24);
    p[1] = Byte(v >> 16);
    p[2] = Byte(v >> 8);
    p[3] = Byte(v);
}

struct LeafLayout {
    int RecBits, DupBits, TrailBits, EntryBytes;
};

// The widths a page needs: duplicate and trailing counts as wide as the key
// length, the record number filling the rest of whole bytes.
LeafLayout LayoutFor(std::uint32_t maxRecNo, int keyLength)
{
    int countBits = BitLength(std::uint32_t(keyLength));
    int needed = std::max(BitLength(maxRecNo), 1) + 2 * countBits;
    int bytes = (needed + 7) / 8;
    int recBits = std::min(bytes * 8 - 2 * countBits, 32);
    return {recBits, countBits, countBits, bytes};
}

// Both count eight bytes at a time where they can: they run for every key
// a page holds.
int Trailing(const Byte* key, int keyLength, Byte fill)
{
    const std::uint64_t fills = 0x0101010101010101ull * fill;
    int n = 0;
    for (std::uint64_t word; n + 8 <= keyLength; n += 8) {
        std::memcpy(&word, key + keyLength - n - 8, 8);
        if (word != fills)
            break;
    }
    while (n < keyLength && key[keyLength - 1 - n] == fill)
        ++n;
    return n;
}

int Shared(const Byte* a, const Byte* b, int limit)
{
    int n = 0;
    for (std::uint64_t x, y; n + 8 <= limit; n += 8) {
        std::memcpy(&x, a + n, 8);
        std::memcpy(&y, b + n, 8);
        if (x != y)
            break;
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

// How many of the n bytes at p are fill bytes before the first that is not.
std::size_t LeadingFill(const Byte* p, std::size_t n, Byte fill)
{
    const std::uint64_t fills = 0x0101010101010101ull * fill;
    std::size_t i = 0;
    for (std::uint64_t word; i + 8 <= n; i += 8) {
        std::memcpy(&word, p + i, 8);
        if (word != fills)
            break;
    }
    while (i < n && p[i] == fill)
        ++i;
    return i;
}

// Orders the key part made of the stored bytes at s followed by fill bytes
// against the n bytes at other, other's bytes past n being fill bytes; same
// is set to the length of their common start. Most keys of a page differ
// from the one before at their first stored byte: that is looked at first.
inline int CompareStored(const Byte* s, std::size_t stored, Byte fill, const Byte* other, std::size_t n,
                         std::size_t& same)
{
    if (stored > 0 && s[0] != other[0]) {
        same = 0;
        return int(s[0]) - int(other[0]);
    }
    same = std::size_t(Shared(s, other, int(stored)));
    if (same < stored)
        return int(s[same]) - int(other[same]);
    same = stored + LeadingFill(other + stored, n - stored, fill);
    return same == n ? 0 : int(fill) - int(other[same]);
}

// Copy and fill the few bytes of a key's part eight at a time: a library
// call for each would cost more than the bytes.
inline void CopyShort(Byte* to, const Byte* from, std::size_t n)
{
    for (; n >= 8; n -= 8, to += 8, from += 8)
        std::memcpy(to, from, 8);
    for (; n > 0; --n)
        *to++ = *from++;
}

inline void FillShort(Byte* to, Byte fill, std::size_t n)
{
    const std::uint64_t fills = 0x0101010101010101ull * fill;
    for (; n >= 8; n -= 8, to += 8)
        std::memcpy(to, &fills, 8);
    for (; n > 0; --n)
        *to++ = fill;
}

// The bits of entry i of a leaf page whose entries take entryBytes bytes.
std::uint64_t EntryBits(const Byte* page, std::size_t i, std::size_t entryBytes)
{
    const std::size_t at = LeafHeaderBytes + i * entryBytes;
    std::uint64_t bits = 0;
    if (std::endian::native == std::endian::little && at + 8 <= CdxPageSize) {
        // One read for the whole entry, the bytes after it masked off.
        std::memcpy(&bits, page + at, 8);
        return entryBytes == 8 ? bits : bits & ((std::uint64_t(1) << (8 * entryBytes)) - 1);
    }
    for (std::size_t b = entryBytes; b-- > 0;)
        bits = bits << 8 | page[at + b];
    return bits;
}

[[noreturn]] void Corrupt(std::uint32_t offset, const char* what)
{
    throw ECdxCorrupt(String("Index node at offset ") + std::to_string(offset) + ": " + what);
}

std::uint16_t CheckedAttributes(const Byte* page, std::uint32_t offset)
{
    const std::uint16_t attributes = CdxGetLE16(page);
    if (attributes > 7)
        Corrupt(offset, "unknown node attributes");
    return attributes;
}

// Reads a leaf page's entries in their order, each key rebuilt from the one
// before it; raises ECdxCorrupt where the page breaks the format.
class LeafWalk {
public:
    LeafWalk(const Byte* page, std::uint32_t offset, int keyLength, Byte fill)
        : FPage(page), FOffset(offset), FLength(std::size_t(keyLength)), FFill(fill)
    {
        const Byte* h = page + HeaderBytes;
        FCount = CdxGetLE16(page + 2);
        FRecBits = h[8];
        FDupBits = h[9];
        FTrailBits = h[10];
        FEntryBytes = h[11];
        if (FEntryBytes < 1 || FEntryBytes > 8 || FRecBits > 32 || FDupBits > 16 || FTrailBits > 16 ||
            std::size_t(FRecBits + FDupBits + FTrailBits) > FEntryBytes * 8)
            Corrupt(offset, "bad leaf bit widths");
        if (FCount * FEntryBytes > CdxLeafSpace)
            Corrupt(offset, "more keys than a leaf holds");
        FKeyFloor = LeafHeaderBytes + FCount * FEntryBytes;
    }
    std::size_t Count() const { return FCount; }
    // The key bytes entry i stores, for a page read whole before.
    std::size_t StoredAt(std::size_t i) const
    {
        const std::uint64_t bits = EntryBits(FPage, i, FEntryBytes);
        return FLength - std::size_t((bits >> FRecBits) & ((std::uint64_t(1) << FDupBits) - 1)) -
               std::size_t((bits >> (FRecBits + FDupBits)) & ((std::uint64_t(1) << FTrailBits) - 1));
    }
    // Where the entries' bits end.
    std::size_t EntriesEnd() const { return FKeyFloor; }
    // Where the key bytes read so far begin.
    std::size_t KeyEnd() const { return FKeyEnd; }
    // The duplicate count and the stored key bytes of the entry read last.
    std::size_t LastDuplicates() const { return FDup; }
    std::size_t LastStored() const { return FStored; }
    const Byte* LastBytes() const { return FPage + FKeyEnd; }
    // Whether the free-byte count agrees with the keys, once all are read.
    bool FreeBytesAgree() const { return CdxGetLE16(FPage + HeaderBytes) == FKeyEnd - FKeyFloor; }

    // Reads the next entry's counts, its key left unbuilt; returns its record number.
    std::uint32_t Step()
    {
        const std::uint64_t bits = EntryBits(FPage, FIndex, FEntryBytes);
        const std::uint32_t recNo = std::uint32_t(bits & ((std::uint64_t(1) << FRecBits) - 1));
        FDup = std::size_t((bits >> FRecBits) & ((std::uint64_t(1) << FDupBits) - 1));
        const std::size_t trail =
                std::size_t((bits >> (FRecBits + FDupBits)) & ((std::uint64_t(1) << FTrailBits) - 1));
        if (FDup + trail > FLength || (FIndex == 0 && FDup > 0))
            Corrupt(FOffset, "bad duplicate or trailing count");
        FStored = FLength - FDup - trail;
        if (FKeyEnd < FKeyFloor + FStored)
            Corrupt(FOffset, "key bytes overrun the entries");
        FKeyEnd -= FStored;
        ++FIndex;
        return recNo;
    }
    // Reads the next entry: its record number returned, its key written to
    // key, whose shared bytes come from previous (the key before it).
    std::uint32_t Next(Byte* key, const Byte* previous)
    {
        const std::uint32_t recNo = Step();
        CopyShort(key, previous, FDup);
        CopyShort(key + FDup, LastBytes(), FStored);
        FillShort(key + FDup + FStored, FFill, FLength - FDup - FStored);
        return recNo;
    }

private:
    const Byte* FPage;
    std::uint32_t FOffset;
    std::size_t FLength;
    Byte FFill;
    std::size_t FCount;
    int FRecBits, FDupBits, FTrailBits;
    std::size_t FEntryBytes;
    std::size_t FKeyFloor;
    std::size_t FKeyEnd = CdxPageSize;  // key bytes run backwards from the page end
    std::size_t FIndex = 0;
    std::size_t FDup = 0, FStored = 0;
};

// Sets the highest record numbers from those of the entries before and
// after the place found.
void SetHighest(CdxLeafScan& scan, std::uint32_t before, std::uint32_t after)
{
    scan.RestMaxRecNo = std::max(before, after);
    scan.MaxRecNo = scan.At < scan.Count ? std::max(scan.RestMaxRecNo, scan.Here.RecNo) : scan.RestMaxRecNo;
}

void Keep(CdxLeafEntry& entry, const Byte* key, std::uint32_t recNo, std::size_t keyLength)
{
    std::memcpy(entry.Key, key, keyLength);
    entry.RecNo = recNo;
}

}  // namespace

std::size_t CdxNode::LowerBound(const Byte* key, std::uint32_t recNo) const
{
    std::size_t lo = 0, hi = Count();
    while (lo < hi) {
        std::size_t mid = (lo + hi) / 2;
        if (CdxCompare(Key(mid), RecNos[mid], key, recNo, KeyLength) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

void CdxNode::Insert(std::size_t at, const Byte* key, std::uint32_t recNo, std::uint32_t child)
{
    Checked = false;
    Keys.insert(Keys.begin() + std::ptrdiff_t(at * std::size_t(KeyLength)), key, key + KeyLength);
    RecNos.insert(RecNos.begin() + std::ptrdiff_t(at), recNo);
    if (!IsLeaf())
        Children.insert(Children.begin() + std::ptrdiff_t(at), child);
}

void CdxNode::Erase(std::size_t from, std::size_t to)
{
    Checked = false;
    Keys.erase(Keys.begin() + std::ptrdiff_t(from * std::size_t(KeyLength)),
               Keys.begin() + std::ptrdiff_t(to * std::size_t(KeyLength)));
    RecNos.erase(RecNos.begin() + std::ptrdiff_t(from), RecNos.begin() + std::ptrdiff_t(to));
    if (!IsLeaf())
        Children.erase(Children.begin() + std::ptrdiff_t(from), Children.begin() + std::ptrdiff_t(to));
}

void CdxNode::Append(const CdxNode& other, std::size_t from, std::size_t to)
{
    Checked = false;
    Keys.insert(Keys.end(), other.Key(from), other.Key(from) + (to - from) * std::size_t(KeyLength));
    RecNos.insert(RecNos.end(), other.RecNos.begin() + std::ptrdiff_t(from),
                  other.RecNos.begin() + std::ptrdiff_t(to));
    if (!IsLeaf())
        Children.insert(Children.end(), other.Children.begin() + std::ptrdiff_t(from),
                        other.Children.begin() + std::ptrdiff_t(to));
}

void CdxNode::Clear()
{
    Checked = false;
    Keys.clear();
    RecNos.clear();
    Children.clear();
}

void CdxDecodeNode(const Byte* page, std::uint32_t offset, int keyLength, Byte fill, CdxNode& node)
{
    node.Offset = offset;
    node.KeyLength = keyLength;
    node.Attributes = CheckedAttributes(page, offset);
    node.Left = CdxGetLE32(page + 4);
    node.Right = CdxGetLE32(page + 8);
    // Every entry is written over below: a node decoded again keeps its
    // arrays' room without clearing them first.
    node.Checked = false;
    node.Children.clear();
    node.FreeBytesAgree = true;
    std::size_t count = CdxGetLE16(page + 2);
    const std::size_t len = std::size_t(keyLength);
    if (!node.IsLeaf()) {
        if (count > CdxInteriorCapacity(keyLength))
            Corrupt(offset, "more keys than an interior node holds");
        node.Keys.resize(count * len);
        node.RecNos.resize(count);
        node.Children.resize(count);
        const Byte* p = page + HeaderBytes;
        for (std::size_t i = 0; i < count; ++i, p += len + 8) {
            std::memcpy(node.Keys.data() + i * len, p, len);
            node.RecNos[i] = GetBE32(p + len);
            node.Children[i] = GetBE32(p + len + 4);
        }
        return;
    }
    LeafWalk walk(page, offset, keyLength, fill);
    node.Keys.resize(walk.Count() * len);
    node.RecNos.resize(walk.Count());
    for (std::size_t i = 0; i < walk.Count(); ++i) {
        Byte* key = node.Keys.data() + i * len;
        node.RecNos[i] = walk.Next(key, key - len);
    }
    node.FreeBytesAgree = walk.FreeBytesAgree();
}

void CdxScanLeaf(const Byte* page, std::uint32_t offset, int keyLength, Byte fill, const Byte* key,
                 std::uint32_t recNo, CdxLeafScan& scan)
{
    if (!(CheckedAttributes(page, offset) & CdxNodeLeaf))
        Corrupt(offset, "not a leaf");
    LeafWalk walk(page, offset, keyLength, fill);
    const std::size_t count = walk.Count(), len = std::size_t(keyLength);
    scan.Count = count;
    scan.At = count;
    scan.InOrder = true;
    std::uint32_t highest[2] = {0, 0};  // of the entries before and after the place
    // The key read last, each next one written over it from its duplicate
    // count on; its bytes from fillFrom on are fill bytes. Each new key is
    // compared, before it is written, from where it leaves the last one.
    Byte current[CdxMaxKeyLength + 8];  // with room for whole words written past the key
    std::size_t fillFrom = len;
    std::uint32_t previousRecNo = 0;
    // While the place is sought, the previous key lies below the one sought
    // and shares its first match bytes: a key sharing more with the previous
    // one lies below too.
    std::size_t match = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t keyEnd = walk.KeyEnd();
        const std::uint32_t rec = walk.Step();
        const std::size_t dup = walk.LastDuplicates(), stored = walk.LastStored();
        const Byte* bytes = walk.LastBytes();
        std::size_t same = 0;
        if (i > 0) {
            const std::size_t known = std::max(stored, fillFrom > dup ? fillFrom - dup : 0);
            const int order = CompareStored(bytes, stored, fill, current + dup, known, same);
            if (order < 0 || (order == 0 && rec <= previousRecNo))
                scan.InOrder = false;
        }
        bool here = false;
        if (scan.At == count && (i == 0 || dup <= match)) {
            const int order = CompareStored(bytes, stored, fill, key + dup, len - dup, same);
            match = dup + same;
            here = order > 0 || (order == 0 && rec >= recNo);
        }
        if (here && i > 0)
            Keep(scan.Before, current, previousRecNo, len);
        // A short part is copied as one word where the page has the bytes,
        // and fill bytes go as whole words: the bytes written past the key
        // part are filled again, those past the key are never read.
        std::size_t written = dup + stored;
        if (stored <= 8 && keyEnd - stored + 8 <= CdxPageSize) {
            std::memcpy(current + dup, bytes, 8);
            written = dup + 8;
        } else {
            CopyShort(current + dup, bytes, stored);
        }
        const std::size_t fillEnd = std::min(std::max(fillFrom, written), len);
        const std::uint64_t fills = 0x0101010101010101ull * fill;
        for (std::size_t at = dup + stored; at < fillEnd; at += 8)
            std::memcpy(current + at, &fills, 8);
        fillFrom = dup + stored;
        if (i == 0)
            Keep(scan.First, current, rec, len);
        if (here) {
            scan.At = i;
            scan.HereKeyEnd = keyEnd;
            scan.HereStored = stored;
            Keep(scan.Here, current, rec, len);
        } else {
            std::uint32_t& high = highest[scan.At < count ? 1 : 0];
            high = std::max(high, rec);
            if (i == scan.At + 1) {
                scan.AfterStored = stored;
                Keep(scan.After, current, rec, len);
            }
        }
        previousRecNo = rec;
    }
    if (count > 0) {
        Keep(scan.Last, current, previousRecNo, len);
        if (scan.At == count) {
            scan.HereKeyEnd = walk.KeyEnd();
            scan.Before = scan.Last;
        }
    } else {
        scan.HereKeyEnd = CdxPageSize;
    }
    scan.KeyFloor = walk.KeyEnd();
    scan.FreeBytesAgree = walk.FreeBytesAgree();
    SetHighest(scan, highest[0], highest[1]);
}

void CdxScanDecodedLeaf(const Byte* page, const CdxNode& leaf, Byte fill, const Byte* key,
                        std::uint32_t recNo, CdxLeafScan& scan)
{
    const LeafWalk walk(page, leaf.Offset, leaf.KeyLength, fill);
    const std::size_t count = leaf.Count(), len = std::size_t(leaf.KeyLength);
    if (walk.Count() != count)
        Corrupt(leaf.Offset, "key count differs from its decoded leaf");
    const std::size_t at = leaf.LowerBound(key, recNo);
    scan.Count = count;
    scan.At = at;
    scan.InOrder = true;  // the caller checks the decoded leaf
    scan.FreeBytesAgree = leaf.FreeBytesAgree;
    if (count > 0) {
        Keep(scan.First, leaf.Key(0), leaf.RecNos[0], len);
        Keep(scan.Last, leaf.Key(count - 1), leaf.RecNos[count - 1], len);
    }
    if (at > 0)
        Keep(scan.Before, leaf.Key(at - 1), leaf.RecNos[at - 1], len);
    if (at < count) {
        scan.HereStored = walk.StoredAt(at);
        Keep(scan.Here, leaf.Key(at), leaf.RecNos[at], len);
    }
    if (at + 1 < count) {
        scan.AfterStored = walk.StoredAt(at + 1);
        Keep(scan.After, leaf.Key(at + 1), leaf.RecNos[at + 1], len);
    }
    scan.KeyFloor = walk.EntriesEnd() + std::size_t(CdxLeafFreeBytes(page));
    // Where the key bytes of entry at end, counted from the nearer end of
    // the keys' area: only the entries' counts on that side are read.
    std::size_t stored = 0;
    if (at <= count / 2) {
        for (std::size_t i = 0; i < at; ++i)
            stored += walk.StoredAt(i);
        scan.HereKeyEnd = CdxPageSize - stored;
    } else {
        for (std::size_t i = at; i < count; ++i)
            stored += walk.StoredAt(i);
        scan.HereKeyEnd = scan.KeyFloor + stored;
    }
    std::uint32_t before = 0, after = 0;
    for (std::size_t i = 0; i < at; ++i)
        before = std::max(before, leaf.RecNos[i]);
    for (std::size_t i = at + 1; i < count; ++i)
        after = std::max(after, leaf.RecNos[i]);
    SetHighest(scan, before, after);
}

void CdxPutInteriorEntry(Byte* page, const CdxNode& node, std::size_t i)
{
    const std::size_t len = std::size_t(node.KeyLength);
    Byte* p = page + HeaderBytes + i * (len + 8);
    std::memcpy(p, node.Key(i), len);
    PutBE32(p + len, node.RecNos[i]);
    PutBE32(p + len + 4, node.Children[i]);
}

bool CdxSpliceLeaf(const Byte* page, const CdxLeafScan& scan, const Byte* key, std::uint32_t recNo,
                   bool insert, int keyLength, Byte fill, Byte* out)
{
    const std::size_t at = scan.At, oldCount = scan.Count;
    if (!insert && at >= oldCount)
        return false;
    const std::size_t count = insert ? oldCount + 1 : oldCount - 1;
    const std::uint32_t maxRecNo = insert ? std::max(scan.MaxRecNo, recNo) : scan.RestMaxRecNo;
    const LeafLayout layout = LayoutFor(count ? maxRecNo : 0, keyLength);
    const Byte* h = page + HeaderBytes;
    if (h[8] != layout.RecBits || h[9] != layout.DupBits || h[10] != layout.TrailBits ||
        h[11] != layout.EntryBytes)
        return false;
    const std::size_t len = std::size_t(keyLength);
    const std::size_t entryBytes = std::size_t(layout.EntryBytes);

    // The entries packed again: the one inserted and the one after it, or
    // the one after the erased one; the others' bytes move as they are.
    struct Packed {
        const Byte* Key;
        const Byte* Previous;  // nullptr for the page's first
        std::uint32_t RecNo;
        std::size_t Dup = 0, Trail = 0;
    } packed[2];
    std::size_t newEntries = 0;
    const Byte* before = at > 0 ? scan.Before.Key : nullptr;
    if (insert) {
        packed[newEntries++] = {key, before, recNo};
        if (at < oldCount)
            packed[newEntries++] = {scan.Here.Key, key, scan.Here.RecNo};
    } else if (at + 1 < oldCount) {
        packed[newEntries++] = {scan.After.Key, before, scan.After.RecNo};
    }
    const std::size_t oldEntries = insert ? (at < oldCount ? 1 : 0) : (at + 1 < oldCount ? 2 : 1);
    const std::size_t oldBytes =
            (oldEntries > 0 ? scan.HereStored : 0) + (oldEntries > 1 ? scan.AfterStored : 0);
    std::size_t newBytes = 0;
    for (std::size_t j = 0; j < newEntries; ++j) {
        Packed& entry = packed[j];
        entry.Trail = std::size_t(Trailing(entry.Key, keyLength, fill));
        entry.Dup =
                entry.Previous ? std::size_t(Shared(entry.Key, entry.Previous, int(len - entry.Trail))) : 0;
        newBytes += len - entry.Dup - entry.Trail;
    }
    // Key bytes run backwards from the page end: those of the entries before
    // at stay where they are, those after the replaced ones move as a block.
    const std::size_t end = scan.HereKeyEnd;
    const std::size_t rest = end - oldBytes - scan.KeyFloor;
    const std::size_t used = LeafHeaderBytes + count * entryBytes + (CdxPageSize - end) + newBytes + rest;
    if (used > CdxPageSize)
        return false;

    std::memcpy(out, page, LeafHeaderBytes);
    CdxPutLE16(out + 2, std::uint16_t(count));
    CdxPutLE16(out + HeaderBytes, std::uint16_t(CdxPageSize - used));
    const Byte* entries = page + LeafHeaderBytes;
    Byte* outEntries = out + LeafHeaderBytes;
    std::memcpy(outEntries, entries, at * entryBytes);
    std::memcpy(outEntries + (at + newEntries) * entryBytes, entries + (at + oldEntries) * entryBytes,
                (oldCount - at - oldEntries) * entryBytes);
    std::memcpy(out + end, page + end, CdxPageSize - end);
    std::size_t keyAt = end;
    for (std::size_t j = 0; j < newEntries; ++j) {
        const Packed& entry = packed[j];
        const std::size_t stored = len - entry.Dup - entry.Trail;
        keyAt -= stored;
        std::memcpy(out + keyAt, entry.Key + entry.Dup, stored);
        std::uint64_t bits = entry.RecNo | std::uint64_t(entry.Dup) << layout.RecBits |
                             std::uint64_t(entry.Trail) << (layout.RecBits + layout.DupBits);
        for (std::size_t b = 0; b < entryBytes; ++b, bits >>= 8)
            outEntries[(at + j) * entryBytes + b] = Byte(bits);
    }
    std::memcpy(out + keyAt - rest, page + scan.KeyFloor, rest);
    // The free bytes between entries and keys are zero, as an encoding leaves them.
    const std::size_t entriesEnd = LeafHeaderBytes + count * entryBytes;
    std::memset(out + entriesEnd, 0, keyAt - rest - entriesEnd);
    return true;
}

int CdxLeafEntryBytes(std::uint32_t maxRecNo, int keyLength)
{
    return LayoutFor(maxRecNo, keyLength).EntryBytes;
}

int CdxPackedKeyBytes(const Byte* key, const Byte* previous, int keyLength, Byte fill)
{
    int trail = Trailing(key, keyLength, fill);
    int dup = previous ? Shared(key, previous, keyLength - trail) : 0;
    return keyLength - dup - trail;
}

int CdxLeafBytes(const CdxNode& leaf, std::size_t from, std::size_t to, Byte fill)
{
    if (from >= to)
        return 0;
    std::uint32_t maxRecNo = *std::max_element(leaf.RecNos.begin() + std::ptrdiff_t(from),
                                               leaf.RecNos.begin() + std::ptrdiff_t(to));
    int total = int(to - from) * CdxLeafEntryBytes(maxRecNo, leaf.KeyLength);
    for (std::size_t i = from; i < to; ++i)
        total += CdxPackedKeyBytes(leaf.Key(i), i == from ? nullptr : leaf.Key(i - 1), leaf.KeyLength, fill);
    return total;
}

bool CdxFits(const CdxNode& node, std::size_t from, std::size_t to, Byte fill)
{
    if (!node.IsLeaf())
        return to - from <= CdxInteriorCapacity(node.KeyLength);
    return CdxLeafBytes(node, from, to, fill) <= CdxLeafSpace;
}

CdxNodeMeasure::CdxNodeMeasure(const CdxNode& node, Byte fill) : FNode(node), FFill(fill)
{
    if (!node.IsLeaf())
        return;
    FPacked.assign(node.Count() + 1, 0);
    for (std::size_t i = 1; i < node.Count(); ++i)
        FPacked[i + 1] = FPacked[i] + CdxPackedKeyBytes(node.Key(i), node.Key(i - 1), node.KeyLength, fill);
}

bool CdxNodeMeasure::Fits(std::size_t from, std::size_t to) const
{
    if (!FNode.IsLeaf() || from >= to)
        return CdxFits(FNode, from, to, FFill);
    const std::uint32_t maxRecNo = *std::max_element(FNode.RecNos.begin() + std::ptrdiff_t(from),
                                                     FNode.RecNos.begin() + std::ptrdiff_t(to));
    const int bytes = int(to - from) * CdxLeafEntryBytes(maxRecNo, FNode.KeyLength) +
                      CdxPackedKeyBytes(FNode.Key(from), nullptr, FNode.KeyLength, FFill) + FPacked[to] -
                      FPacked[from + 1];
    return bytes <= CdxLeafSpace;
}

bool CdxEncodeNode(const CdxNode& node, Byte fill, Byte* page)
{
    if (!node.IsLeaf() && !CdxFits(node, 0, node.Count(), fill))
        return false;
    std::memset(page, 0, CdxPageSize);
    CdxPutLE16(page, node.Attributes);
    CdxPutLE16(page + 2, std::uint16_t(node.Count()));
    CdxPutLE32(page + 4, node.Left);
    CdxPutLE32(page + 8, node.Right);
    const std::size_t len = std::size_t(node.KeyLength);
    if (!node.IsLeaf()) {
        Byte* p = page + HeaderBytes;
        for (std::size_t i = 0; i < node.Count(); ++i, p += len + 8) {
            std::memcpy(p, node.Key(i), len);
            PutBE32(p + len, node.RecNos[i]);
            PutBE32(p + len + 4, node.Children[i]);
        }
        return true;
    }
    std::uint32_t maxRecNo = node.Count() ? *std::max_element(node.RecNos.begin(), node.RecNos.end()) : 0;
    LeafLayout layout = LayoutFor(maxRecNo, node.KeyLength);
    Byte* h = page + HeaderBytes;
    CdxPutLE32(h + 2, layout.RecBits == 32 ? 0xFFFFFFFFu : (1u << layout.RecBits) - 1);
    h[6] = Byte((1u << layout.DupBits) - 1);
    h[7] = Byte((1u << layout.TrailBits) - 1);
    h[8] = Byte(layout.RecBits);
    h[9] = Byte(layout.DupBits);
    h[10] = Byte(layout.TrailBits);
    h[11] = Byte(layout.EntryBytes);
    std::size_t keyEnd = CdxPageSize;
    Byte* entries = page + LeafHeaderBytes;
    // The entries' bits grow from the front, the key bytes from the back.
    const std::size_t keyFloor = LeafHeaderBytes + node.Count() * std::size_t(layout.EntryBytes);
    if (keyFloor > CdxPageSize)
        return false;
    for (std::size_t i = 0; i < node.Count(); ++i) {
        int trail = Trailing(node.Key(i), node.KeyLength, fill);
        int dup = i == 0 ? 0 : Shared(node.Key(i), node.Key(i - 1), node.KeyLength - trail);
        std::size_t stored = len - std::size_t(dup + trail);
        if (keyEnd < keyFloor + stored)
            return false;
        keyEnd -= stored;
        std::memcpy(page + keyEnd, node.Key(i) + dup, stored);
        std::uint64_t bits = node.RecNos[i] | std::uint64_t(dup) << layout.RecBits |
                             std::uint64_t(trail) << (layout.RecBits + layout.DupBits);
        for (int b = 0; b < layout.EntryBytes; ++b, bits >>= 8)
            entries[i * std::size_t(layout.EntryBytes) + std::size_t(b)] = Byte(bits);
    }
    CdxPutLE16(h, std::uint16_t(keyEnd - LeafHeaderBytes - node.Count() * std::size_t(layout.EntryBytes)));
    return true;
}
