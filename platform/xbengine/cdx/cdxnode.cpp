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

}  // namespace

std::uint32_t CdxGetLE32(const Byte* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void CdxPutLE32(Byte* p, std::uint32_t v)
{
    p[0] = Byte(v);
    p[1] = Byte(v >> 8);
    p[2] = Byte(v >> 16);
    p[3] = Byte(v >> 24);
}

std::uint16_t CdxGetLE16(const Byte* p) { return std::uint16_t(p[0] | p[1] << 8); }

void CdxPutLE16(Byte* p, std::uint16_t v)
{
    p[0] = Byte(v);
    p[1] = Byte(v >> 8);
}

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
    node.Attributes = CdxGetLE16(page);
    node.Left = CdxGetLE32(page + 4);
    node.Right = CdxGetLE32(page + 8);
    // Every entry is written over below: a node decoded again keeps its
    // arrays' room without clearing them first.
    node.Checked = false;
    node.Children.clear();
    node.FreeBytesAgree = true;
    if (node.Attributes > 7)
        Corrupt(offset, "unknown node attributes");
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
    const Byte* h = page + HeaderBytes;
    int recBits = h[8], dupBits = h[9], trailBits = h[10], entryBytes = h[11];
    if (entryBytes < 1 || entryBytes > 8 || recBits > 32 || dupBits > 16 || trailBits > 16 ||
        recBits + dupBits + trailBits > entryBytes * 8)
        Corrupt(offset, "bad leaf bit widths");
    if (count * std::size_t(entryBytes) > CdxLeafSpace)
        Corrupt(offset, "more keys than a leaf holds");
    node.Keys.resize(count * len);
    node.RecNos.resize(count);
    std::size_t keyEnd = CdxPageSize;  // key bytes run backwards from the page end
    const std::size_t keyFloor = LeafHeaderBytes + count * std::size_t(entryBytes);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t bits = EntryBits(page, i, std::size_t(entryBytes));
        std::uint32_t recNo = std::uint32_t(bits & ((std::uint64_t(1) << recBits) - 1));
        std::size_t dup = std::size_t((bits >> recBits) & ((std::uint64_t(1) << dupBits) - 1));
        std::size_t trail =
                std::size_t((bits >> (recBits + dupBits)) & ((std::uint64_t(1) << trailBits) - 1));
        if (dup + trail > len || (i == 0 && dup > 0))
            Corrupt(offset, "bad duplicate or trailing count");
        std::size_t stored = len - dup - trail;
        if (keyEnd < keyFloor + stored)
            Corrupt(offset, "key bytes overrun the entries");
        keyEnd -= stored;
        Byte* key = node.Keys.data() + i * len;
        CopyShort(key, key - len, dup);
        CopyShort(key + dup, page + keyEnd, stored);
        FillShort(key + dup + stored, fill, trail);
        node.RecNos[i] = recNo;
    }
    node.FreeBytesAgree = CdxGetLE16(h) == keyEnd - keyFloor;
}

void CdxPutInteriorEntry(Byte* page, const CdxNode& node, std::size_t i)
{
    const std::size_t len = std::size_t(node.KeyLength);
    Byte* p = page + HeaderBytes + i * (len + 8);
    std::memcpy(p, node.Key(i), len);
    PutBE32(p + len, node.RecNos[i]);
    PutBE32(p + len + 4, node.Children[i]);
}

bool CdxSpliceLeaf(Byte* page, const CdxNode& leaf, std::size_t at, bool inserted, Byte fill)
{
    const std::size_t count = leaf.Count();
    const std::size_t oldCount = inserted ? count - 1 : count + 1;
    const Byte* h = page + HeaderBytes;
    if (!(CdxGetLE16(page) & CdxNodeLeaf) || CdxGetLE16(page + 2) != oldCount)
        return false;
    const std::uint32_t maxRecNo = count ? *std::max_element(leaf.RecNos.begin(), leaf.RecNos.end()) : 0;
    const LeafLayout layout = LayoutFor(maxRecNo, leaf.KeyLength);
    if (h[8] != layout.RecBits || h[9] != layout.DupBits || h[10] != layout.TrailBits ||
        h[11] != layout.EntryBytes)
        return false;
    const std::size_t len = std::size_t(leaf.KeyLength);
    const std::size_t entryBytes = std::size_t(layout.EntryBytes);
    const Byte* entries = page + LeafHeaderBytes;
    auto storedAt = [&](std::size_t i) {
        const std::uint64_t bits = EntryBits(page, i, entryBytes);
        std::size_t dup = std::size_t((bits >> layout.RecBits) & ((1u << layout.DupBits) - 1));
        std::size_t trail =
                std::size_t((bits >> (layout.RecBits + layout.DupBits)) & ((1u << layout.TrailBits) - 1));
        return len - dup - trail;
    };
    // Key bytes run backwards from the page end: those of the entries before
    // at stay where they are, those after the replaced ones move as a block.
    std::size_t end = CdxPageSize;
    for (std::size_t i = 0; i < at; ++i)
        end -= storedAt(i);
    const std::size_t oldEntries = inserted ? (at < oldCount ? 1 : 0) : (at + 1 < oldCount ? 2 : 1);
    const std::size_t newEntries = inserted ? (at + 1 < count ? 2 : 1) : (at < count ? 1 : 0);
    std::size_t oldBytes = 0;
    for (std::size_t i = at; i < at + oldEntries; ++i)
        oldBytes += storedAt(i);
    struct Packed {
        std::size_t Dup, Trail;
    } packed[2];
    std::size_t newBytes = 0;
    for (std::size_t j = 0; j < newEntries; ++j) {
        const std::size_t i = at + j;
        std::size_t trail = std::size_t(Trailing(leaf.Key(i), leaf.KeyLength, fill));
        std::size_t dup = i == 0 ? 0 : std::size_t(Shared(leaf.Key(i), leaf.Key(i - 1), int(len - trail)));
        packed[j] = {dup, trail};
        newBytes += len - dup - trail;
    }
    const std::size_t oldFree = CdxGetLE16(h);
    const std::size_t keyFloor = LeafHeaderBytes + oldCount * entryBytes + oldFree;
    const std::size_t used = LeafHeaderBytes + count * entryBytes + (CdxPageSize - end) + newBytes +
                             (end - oldBytes - keyFloor);
    if (keyFloor > end - oldBytes || used > CdxPageSize)
        return false;

    Byte out[CdxPageSize] = {};
    std::memcpy(out, page, LeafHeaderBytes);
    CdxPutLE16(out + 2, std::uint16_t(count));
    CdxPutLE16(out + HeaderBytes, std::uint16_t(CdxPageSize - used));
    Byte* outEntries = out + LeafHeaderBytes;
    std::memcpy(outEntries, entries, at * entryBytes);
    std::memcpy(outEntries + (at + newEntries) * entryBytes, entries + (at + oldEntries) * entryBytes,
                (oldCount - at - oldEntries) * entryBytes);
    std::memcpy(out + end, page + end, CdxPageSize - end);
    std::size_t keyAt = end;
    for (std::size_t j = 0; j < newEntries; ++j) {
        const std::size_t i = at + j;
        const std::size_t stored = len - packed[j].Dup - packed[j].Trail;
        keyAt -= stored;
        std::memcpy(out + keyAt, leaf.Key(i) + packed[j].Dup, stored);
        std::uint64_t bits = leaf.RecNos[i] | std::uint64_t(packed[j].Dup) << layout.RecBits |
                             std::uint64_t(packed[j].Trail) << (layout.RecBits + layout.DupBits);
        for (std::size_t b = 0; b < entryBytes; ++b, bits >>= 8)
            outEntries[i * entryBytes + b] = Byte(bits);
    }
    const std::size_t rest = end - oldBytes - keyFloor;
    std::memcpy(out + keyAt - rest, page + keyFloor, rest);
    std::memcpy(page, out, CdxPageSize);
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
