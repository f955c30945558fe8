#include "platform/xbengine/cdx/cdxtag.h"

#include <algorithm>
#include <bit>
#include <unordered_set>

#include "platform/rtl/exceptions.h"
#include "platform/xbengine/cdx/cdxerror.h"
#include "platform/xbengine/cdx/cdxindexfile.h"

namespace {

// A tree deeper than this is a cycle: even two keys per node reach 2^64 keys.
constexpr std::size_t MaxDepth = 64;

String PoolText(const Byte* pool, std::size_t offset, std::size_t length)
{
    if (offset + length > CdxPageSize)
        throw ECdxCorrupt("Index tag expression lies outside its header");
    const char* text = reinterpret_cast<const char*>(pool + offset);
    return String(text, std::find(text, text + length, '\0'));
}

}  // namespace

CdxTag::CdxTag(CdxIndexFile& file, String name, std::uint32_t headerOffset, CdxKeyType keyType)
    : FFile(file), FName(std::move(name)), FHeaderOffset(headerOffset), FKeyType(keyType)
{
    ReadHeader();
}

void CdxTag::ReadHeader()
{
    Byte head[CdxPageSize];
    FFile.ReadPage(FHeaderOffset, head);
    FRoot = CdxGetLE32(head);
    FKeyLength = CdxGetLE16(head + 12);
    FOptions = head[14];
    if (head[15] != 1)
        throw ECdxCorrupt("Index tag " + FName + " has a wrong signature");
    if (FKeyLength < 1 || FKeyLength > CdxMaxKeyLength)
        throw ECdxCorrupt("Index tag " + FName + " has a bad key length");
    if (!(FOptions & CdxOptionCompact))
        throw ECdxCorrupt("Index tag " + FName + " is not in the compact format");
    FDescending = CdxGetLE16(head + 502) != 0;
    if (FHeaderOffset != 0) {
        Byte pool[CdxPageSize];
        FFile.ReadPage(FHeaderOffset + CdxPageSize, pool);
        FForExpression = PoolText(pool, CdxGetLE16(head + 504), CdxGetLE16(head + 506));
        FKeyExpression = PoolText(pool, CdxGetLE16(head + 508), CdxGetLE16(head + 510));
    }
    ++FStamp;
}

void CdxTag::SetRoot(std::uint32_t offset)
{
    FRoot = offset;
    FFile.PatchHeader(FHeaderOffset, 0, offset);
}

std::shared_ptr<const CdxNode> CdxTag::ReadNode(std::uint32_t offset)
{
    FFile.CheckPage(offset);
    return FFile.ReadNode(offset, FKeyLength, Fill());
}

void CdxTag::WriteNode(const CdxNode& node)
{
    Byte page[CdxPageSize];
    if (!CdxEncodeNode(node, Fill(), page))
        throw EAssertionFailed("Index node overfilled");
    if (!FFile.HasRoomFor(node)) {
        FFile.WritePage(node.Offset, page);
        return;
    }
    // Kept decoded as written, so that the next change finds it without decoding.
    auto kept = std::make_shared<CdxNode>(node);
    kept->FreeBytesAgree = true;
    FFile.WriteNode(page, std::move(kept), Fill());
}

void CdxTag::PatchLink(std::uint32_t offset, bool left, std::uint32_t value)
{
    if (offset == CdxNone)
        return;
    FFile.CheckPage(offset);
    Byte page[CdxPageSize];
    FFile.ReadPage(offset, page);
    CdxPutLE32(page + (left ? 4 : 8), value);
    FFile.WritePage(offset, page);
}

void CdxTag::CheckKey(const String& key) const
{
    if (key.size() != std::size_t(FKeyLength))
        throw ERangeError("Index key of " + std::to_string(key.size()) + " bytes for tag " + FName + " of " +
                          std::to_string(FKeyLength));
}

CdxTag::SharedPath CdxTag::Descend(const Byte* key, std::uint32_t recNo, LeafToChange* leaf)
{
    SharedPath path;
    path.reserve(4);
    std::uint32_t offset = FRoot;
    while (true) {
        if (path.size() >= MaxDepth)
            throw ECdxCorrupt("Index tag " + FName + " has a cycle in its tree");
        if (leaf) {
            FFile.CheckPage(offset);
            const Byte* page = FFile.PageBytes(offset, leaf->Page);
            if (CdxGetLE16(page) & CdxNodeLeaf) {
                if (page != leaf->Page)
                    std::memcpy(leaf->Page, page, CdxPageSize);
                leaf->Offset = offset;
                leaf->Decoded = FFile.CachedNode(offset, FKeyLength, Fill());
                if (!leaf->Decoded && FFile.HasRoomForLeaf(CdxGetLE16(leaf->Page + 2), FKeyLength))
                    leaf->Decoded = ReadNode(offset);
                if (leaf->Decoded)
                    CdxScanDecodedLeaf(leaf->Page, *leaf->Decoded, Fill(), key, recNo, leaf->Scan);
                else
                    CdxScanLeaf(leaf->Page, offset, FKeyLength, Fill(), key, recNo, leaf->Scan);
                return path;
            }
        }
        SharedStep& step = path.emplace_back();
        step.Node = ReadNode(offset);
        const CdxNode& node = *step.Node;
        step.Index = node.LowerBound(key, recNo);
        if (node.IsLeaf())
            return path;
        if (node.Count() == 0)
            throw ECdxCorrupt("Index tag " + FName + " has an empty interior node");
        step.Index = std::min(step.Index, node.Count() - 1);
        offset = node.Children[step.Index];
    }
}

CdxTag::SharedPath CdxTag::DescendEdge(bool last)
{
    String edge(std::size_t(FKeyLength), last ? '\xFF' : '\0');
    return Descend(reinterpret_cast<const Byte*>(edge.data()), last ? CdxNone : 0);
}

bool CdxTag::Contains(const String& key)
{
    CheckKey(key);
    const Byte* k = reinterpret_cast<const Byte*>(key.data());
    SharedPath path = Descend(k, 0);
    const SharedStep& leaf = path.back();
    return leaf.Index < leaf.Node->Count() && std::memcmp(leaf.Node->Key(leaf.Index), k, key.size()) == 0;
}

[[noreturn]] void CdxTag::Damaged(const String& what) const
{
    throw ECdxCorrupt("Index tag " + FName + " is damaged (" + what + "); reindex the table to rebuild it");
}

bool CdxTag::LinkInFile(std::uint32_t from, std::uint32_t to) const
{
    if (to == from)
        return false;
    try {
        FFile.CheckPage(to);
    } catch (const ECdxCorrupt&) {
        return false;
    }
    return true;
}

void CdxTag::CheckSiblings(std::uint32_t offset, std::uint32_t left, std::uint32_t right) const
{
    for (std::uint32_t sibling : {left, right})
        if (sibling != CdxNone && !LinkInFile(offset, sibling))
            Damaged("node " + std::to_string(offset) + " links to a sibling outside the file");
}

void CdxTag::CheckLinks(const CdxNode& node) const
{
    if (node.Checked)
        return;
    CheckSiblings(node.Offset, node.Left, node.Right);
    for (std::uint32_t child : node.Children)
        if (!LinkInFile(node.Offset, child))
            Damaged("node " + std::to_string(node.Offset) + " has a child outside the file");
    if (!node.FreeBytesAgree)
        Damaged("the key count of node " + std::to_string(node.Offset) + " does not fit its keys");
    for (std::size_t i = 1; i < node.Count(); ++i)
        if (CdxCompare(node.Key(i - 1), node.RecNos[i - 1], node.Key(i), node.RecNos[i], FKeyLength) >= 0)
            Damaged("the keys of node " + std::to_string(node.Offset) + " are out of order");
    node.Checked = true;
}

void CdxTag::CheckPath(const SharedPath& path) const
{
    for (std::size_t level = 0; level < path.size(); ++level) {
        const CdxNode& node = *path[level].Node;
        CheckLinks(node);
        const bool empty = node.Count() == 0;
        CheckPlace(path, level,
                   {node.Offset, node.Left, node.Right, node.Attributes, node.Count(),
                    empty ? nullptr : node.Key(0), empty ? 0 : node.RecNos.front(),
                    empty ? nullptr : node.Key(node.Count() - 1), empty ? 0 : node.RecNos.back()});
    }
}

void CdxTag::CheckPlace(const SharedPath& path, std::size_t level, const NodeEdges& node) const
{
    const bool isRoot = level == 0;
    if (bool(node.Attributes & CdxNodeRoot) != isRoot ||
        (isRoot && (node.Left != CdxNone || node.Right != CdxNone)))
        Damaged("node " + std::to_string(node.Offset) + " is marked as what it is not");
    if (isRoot || node.Count == 0)
        return;
    // The parent's entry holds the node's highest key, the entry before it
    // the highest of the node to its left, the one it is linked to.
    const CdxNode& parent = *path[level - 1].Node;
    const std::size_t at = path[level - 1].Index;
    bool fits = CdxCompare(node.LastKey, node.LastRecNo, parent.Key(at), parent.RecNos[at], FKeyLength) <= 0;
    if (at > 0)
        fits = fits && node.Left == parent.Children[at - 1] &&
               CdxCompare(parent.Key(at - 1), parent.RecNos[at - 1], node.FirstKey, node.FirstRecNo,
                          FKeyLength) < 0;
    if (at + 1 < parent.Count())
        fits = fits && node.Right == parent.Children[at + 1];
    if (!fits)
        Damaged("node " + std::to_string(node.Offset) + " does not fit its place in the tree");
}

CdxTag::SharedPath CdxTag::DescendToChange(const Byte* key, std::uint32_t recNo, LeafToChange& leaf)
{
    SharedPath path = Descend(key, recNo, &leaf);
    CheckPath(path);
    const CdxLeafScan& scan = leaf.Scan;
    const std::uint32_t left = CdxGetLE32(leaf.Page + 4), right = CdxGetLE32(leaf.Page + 8);
    if (leaf.Decoded) {
        CheckLinks(*leaf.Decoded);
    } else {
        CheckSiblings(leaf.Offset, left, right);
        if (!scan.FreeBytesAgree)
            Damaged("the key count of node " + std::to_string(leaf.Offset) + " does not fit its keys");
        if (!scan.InOrder)
            Damaged("the keys of node " + std::to_string(leaf.Offset) + " are out of order");
    }
    CheckPlace(path, path.size(),
               {leaf.Offset, left, right, CdxGetLE16(leaf.Page), scan.Count, scan.First.Key, scan.First.RecNo,
                scan.Last.Key, scan.Last.RecNo});
    return path;
}

CdxTag::Path CdxTag::Copied(const SharedPath& path, const LeafToChange& leaf)
{
    // The shared nodes are copied: other readers keep them as they are.
    Path copy;
    for (const SharedStep& step : path)
        copy.push_back({*step.Node, step.Index});
    copy.push_back({*ReadNode(leaf.Offset), leaf.Scan.At});
    return copy;
}

bool CdxTag::ChangeLeafInPlace(const SharedPath& path, LeafToChange& leaf, const Byte* key,
                               std::uint32_t recNo, bool insert)
{
    const CdxLeafScan& scan = leaf.Scan;
    const std::size_t at = scan.At;
    const std::size_t count = insert ? scan.Count + 1 : scan.Count - 1;
    const bool isRoot = path.empty();
    if (!isRoot && count == 0)
        return false;
    Byte page[CdxPageSize];
    if (!CdxSpliceLeaf(leaf.Page, scan, key, recNo, insert, FKeyLength, Fill(), page))
        return false;
    if (!insert && !isRoot && CdxLeafSpace - CdxLeafFreeBytes(page) < CdxLeafSpace / 2)
        return false;
    if (leaf.Decoded) {
        // The decoded leaf changes with its page: in place where only the
        // cache holds it, else as a copy, as readers keep what they hold.
        const bool onlyCached = leaf.Decoded.use_count() == 2 &&
                                FFile.CachedNode(leaf.Offset, FKeyLength, Fill()) == leaf.Decoded;
        const std::shared_ptr<CdxNode> changed = onlyCached ? std::const_pointer_cast<CdxNode>(leaf.Decoded)
                                                            : std::make_shared<CdxNode>(*leaf.Decoded);
        if (insert)
            changed->Insert(at, key, recNo, 0);
        else
            changed->Erase(at, at + 1);
        changed->Checked = true;  // the entry went where its order puts it
        FFile.WriteNode(page, changed, Fill());
    } else {
        FFile.WritePage(leaf.Offset, page);
    }
    if (at + (insert ? 1 : 0) < count)
        return true;
    // The entries above that name the leaf's highest key follow it, as far
    // up as each node is the last of its parent.
    const Byte* lastKey = insert ? key : scan.Before.Key;
    const std::uint32_t lastRecNo = insert ? recNo : scan.Before.RecNo;
    for (std::size_t level = path.size(); level-- > 0;) {
        const std::size_t i = path[level].Index;
        auto parent = std::make_shared<CdxNode>(*path[level].Node);
        std::memcpy(parent->Keys.data() + i * std::size_t(FKeyLength), lastKey, std::size_t(FKeyLength));
        parent->RecNos[i] = lastRecNo;
        // Between the highest keys of its neighbours, as before.
        parent->Checked = path[level].Node->Checked;
        FFile.ReadPage(parent->Offset, page);
        CdxPutInteriorEntry(page, *parent, i);
        FFile.WriteNode(page, parent, Fill());
        if (i + 1 < parent->Count())
            break;
    }
    return true;
}

bool CdxTag::Insert(const String& key, std::uint32_t recNo)
{
    CheckKey(key);
    if ((Unique() || Candidate()) && Contains(key))
        return false;
    const Byte* k = reinterpret_cast<const Byte*>(key.data());
    LeafToChange leaf;
    SharedPath found = DescendToChange(k, recNo, leaf);
    const CdxLeafScan& scan = leaf.Scan;
    if (scan.At < scan.Count && CdxCompare(scan.Here.Key, scan.Here.RecNo, k, recNo, FKeyLength) == 0)
        return false;
    if (!ChangeLeafInPlace(found, leaf, k, recNo, true)) {
        Path path = Copied(found, leaf);
        path.back().Node.Insert(path.back().Index, k, recNo, 0);
        Settle(path, path.size() - 1);
    }
    Changed();
    return true;
}

bool CdxTag::Delete(const String& key, std::uint32_t recNo)
{
    CheckKey(key);
    const Byte* k = reinterpret_cast<const Byte*>(key.data());
    LeafToChange leaf;
    SharedPath found = DescendToChange(k, recNo, leaf);
    const CdxLeafScan& scan = leaf.Scan;
    if (scan.At >= scan.Count || CdxCompare(scan.Here.Key, scan.Here.RecNo, k, recNo, FKeyLength) != 0)
        return false;
    if (!ChangeLeafInPlace(found, leaf, k, recNo, false)) {
        Path path = Copied(found, leaf);
        path.back().Node.Erase(path.back().Index, path.back().Index + 1);
        Settle(path, path.size() - 1);
    }
    Changed();
    return true;
}

void CdxTag::Settle(Path& path, std::size_t level)
{
    CdxNode& node = path[level].Node;
    const bool isRoot = level == 0;
    std::size_t first = isRoot ? 0 : path[level - 1].Index;  // parent entries the node stood for
    std::size_t count = 1;
    std::vector<CdxNode> pieces;
    const CdxNodeMeasure measure(node, Fill());
    if (!isRoot && node.Count() == 0) {
        PatchLink(node.Left, false, node.Right);
        PatchLink(node.Right, true, node.Left);
        FFile.FreePage(node.Offset);
    } else if (measure.Fits(0, node.Count())) {
        if (!isRoot)
            JoinNeighbour(path, level, first, count);
        pieces.push_back(std::move(path[level].Node));
    } else {
        // Halve until every piece fits; one entry always fits a page.
        std::vector<std::pair<std::size_t, std::size_t>> ranges {{0, node.Count()}};
        for (std::size_t i = 0; i < ranges.size();) {
            auto [from, to] = ranges[i];
            if (measure.Fits(from, to)) {
                ++i;
                continue;
            }
            std::size_t mid = from + (to - from) / 2;
            ranges[i] = {from, mid};
            ranges.insert(ranges.begin() + std::ptrdiff_t(i) + 1, {mid, to});
        }
        for (auto [from, to] : ranges) {
            CdxNode& piece = pieces.emplace_back();
            piece.KeyLength = FKeyLength;
            piece.Attributes = node.Attributes;
            piece.Offset = pieces.size() == 1 ? node.Offset : CdxNone;
            piece.Left = node.Left;
            piece.Right = node.Right;
            piece.Append(node, from, to);
        }
    }
    if (!pieces.empty()) {
        const bool soleRoot = isRoot && pieces.size() == 1;
        for (CdxNode& piece : pieces)
            piece.Attributes = std::uint16_t((piece.Attributes & CdxNodeLeaf) | (soleRoot ? CdxNodeRoot : 0));
        const std::uint32_t left = pieces.front().Left, right = pieces.back().Right;
        WriteRun(pieces, left, right);
    }
    if (isRoot) {
        if (pieces.size() > 1) {
            CdxNode root;
            root.KeyLength = FKeyLength;
            root.Attributes = CdxNodeRoot;
            for (const CdxNode& piece : pieces)
                root.Insert(root.Count(), piece.Key(piece.Count() - 1), piece.RecNos.back(), piece.Offset);
            root.Offset = FFile.AllocatePage();
            WriteNode(root);
            SetRoot(root.Offset);
        } else {
            ShrinkRoot(std::move(pieces.front()));
        }
        return;
    }
    CdxNode& parent = path[level - 1].Node;
    if (pieces.size() == 1 && count == 1 && parent.Children[first] == pieces[0].Offset &&
        CdxCompare(parent.Key(first), parent.RecNos[first], pieces[0].Key(pieces[0].Count() - 1),
                   pieces[0].RecNos.back(), FKeyLength) == 0)
        return;  // the parent's entry still names this node and its highest key
    parent.Erase(first, first + count);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        parent.Insert(first + i, pieces[i].Key(pieces[i].Count() - 1), pieces[i].RecNos.back(),
                      pieces[i].Offset);
    Settle(path, level - 1);
}

bool CdxTag::JoinNeighbour(Path& path, std::size_t level, std::size_t& first, std::size_t& count)
{
    CdxNode& node = path[level].Node;
    const bool underfull = node.IsLeaf() ? CdxLeafBytes(node, 0, node.Count(), Fill()) < CdxLeafSpace / 2
                                         : node.Count() < CdxInteriorCapacity(FKeyLength) / 2;
    const CdxNode& parent = path[level - 1].Node;
    if (!underfull || parent.Count() < 2)
        return false;
    const bool withRight = first + 1 < parent.Count();
    const std::shared_ptr<const CdxNode> neighbour =
            ReadNode(parent.Children[withRight ? first + 1 : first - 1]);
    const CdxNode& other = *neighbour;
    if (other.IsLeaf() != node.IsLeaf())
        throw ECdxCorrupt("Index tag " + FName + " mixes leaf and interior nodes on one level");
    CheckLinks(other);
    if ((withRight ? other.Left : other.Right) != node.Offset)
        Damaged("node " + std::to_string(other.Offset) + " is not linked to its neighbour");
    const CdxNode& left = withRight ? node : other;
    const CdxNode& right = withRight ? other : node;
    CdxNode joined = left;
    joined.Append(right, 0, right.Count());
    if (!CdxFits(joined, 0, joined.Count(), Fill()))
        return false;
    joined.Right = right.Right;
    PatchLink(right.Right, true, joined.Offset);
    FFile.FreePage(right.Offset);
    node = std::move(joined);
    if (!withRight)
        --first;
    count = 2;
    return true;
}

void CdxTag::WriteRun(std::vector<CdxNode>& pieces, std::uint32_t left, std::uint32_t right)
{
    for (CdxNode& piece : pieces)
        if (piece.Offset == CdxNone)
            piece.Offset = FFile.AllocatePage();
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        pieces[i].Left = i == 0 ? left : pieces[i - 1].Offset;
        pieces[i].Right = i + 1 == pieces.size() ? right : pieces[i + 1].Offset;
        WriteNode(pieces[i]);
    }
    if (pieces.size() > 1)
        PatchLink(right, true, pieces.back().Offset);
}

void CdxTag::ShrinkRoot(CdxNode root)
{
    // An interior root with one child hands the root over to that child; one
    // left with no entries becomes an empty leaf.
    bool moved = false;
    for (std::size_t depth = 0; !root.IsLeaf() && root.Count() <= 1; ++depth) {
        if (depth >= MaxDepth)
            throw ECdxCorrupt("Index tag " + FName + " has a cycle in its tree");
        if (root.Count() == 0) {
            root.Attributes = CdxNodeRoot | CdxNodeLeaf;
            root.Clear();
            WriteNode(root);
            break;
        }
        // The child's page is patched, not coded again: it keeps its packing.
        const std::uint32_t old = root.Offset, child = root.Children[0];
        if (child == old)
            throw ECdxCorrupt("Index tag " + FName + " has a cycle in its tree");
        FFile.CheckPage(child);
        Byte page[CdxPageSize];
        FFile.ReadPage(child, page);
        CdxDecodeNode(page, child, FKeyLength, Fill(), root);
        CdxPutLE16(page, root.Attributes | CdxNodeRoot);
        CdxPutLE32(page + 4, CdxNone);
        CdxPutLE32(page + 8, CdxNone);
        FFile.WritePage(child, page);
        FFile.FreePage(old);
        moved = true;
    }
    if (moved)
        SetRoot(root.Offset);
}

std::vector<std::uint32_t> CdxTag::SortedOrder(const CdxKeyList& keys) const
{
    // Past the bytes all keys share, each key's next sixteen bytes as two
    // numbers settle most comparisons without reading the key.
    const std::size_t length = std::size_t(FKeyLength), count = keys.Count();
    std::size_t shared = count == 0 ? 0 : length;
    for (std::size_t i = 1; i < count; ++i)
        while (shared > 0 && std::memcmp(keys.Key(i), keys.Key(0), shared) != 0)
            --shared;
    const std::size_t prefixEnd = std::min(length, shared + 16);
    struct Item {
        std::uint64_t High, Low;
        std::uint32_t RecNo, Index;
    };
    std::vector<Item> items(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Byte* key = keys.Key(i);
        std::uint64_t word[2] = {0, 0};
        for (std::size_t b = 0; b < 16; ++b)
            word[b / 8] = word[b / 8] << 8 | (shared + b < prefixEnd ? key[shared + b] : 0);
        items[i] = {word[0], word[1], keys.RecNo(i), std::uint32_t(i)};
    }
    const std::size_t restBytes = length - prefixEnd;
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        if (a.High != b.High)
            return a.High < b.High;
        if (a.Low != b.Low)
            return a.Low < b.Low;
        if (restBytes > 0)
            if (int order =
                        std::memcmp(keys.Key(a.Index) + prefixEnd, keys.Key(b.Index) + prefixEnd, restBytes))
                return order < 0;
        return a.RecNo < b.RecNo;
    });
    std::vector<std::uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = items[i].Index;
    return order;
}

void CdxTag::Build(const std::vector<CdxKeyEntry>& entries)
{
    CdxKeyList keys(FKeyLength);
    keys.Reserve(entries.size());
    for (const CdxKeyEntry& entry : entries) {
        CheckKey(entry.Key);
        std::memcpy(keys.Add(entry.RecNo), entry.Key.data(), entry.Key.size());
    }
    Build(keys);
}

void CdxTag::Build(const CdxKeyList& keys, std::vector<std::uint32_t> order)
{
    if (keys.KeyLength() != std::size_t(FKeyLength))
        throw ERangeError("Index keys of " + std::to_string(keys.KeyLength()) + " bytes for tag " + FName +
                          " of " + std::to_string(FKeyLength));
    if (!order.empty() && order.size() != keys.Count())
        throw ERangeError("An order of " + std::to_string(order.size()) + " entries for " +
                          std::to_string(keys.Count()) + " index keys");
    // The entries in key order: as given when they are so already. Entries
    // taken through an order are asked of the memory a few steps ahead.
    constexpr std::size_t Ahead = 8;
    auto entry = [&](std::size_t i) {
        if (order.empty())
            return i;
        if (i + Ahead < order.size())
            __builtin_prefetch(keys.Key(order[i + Ahead]));
        return std::size_t(order[i]);
    };
    for (std::size_t i = 1; i < keys.Count(); ++i) {
        const std::size_t a = entry(i - 1), b = entry(i);
        if (CdxCompare(keys.Key(a), keys.RecNo(a), keys.Key(b), keys.RecNo(b), FKeyLength) > 0) {
            order = SortedOrder(keys);
            break;
        }
    }

    // The new tree takes the old tree's pages first, lowest first; those
    // left over go to the free list at the end.
    std::vector<std::uint32_t> spare;
    try {
        spare = TreePages();
    } catch (const ECdxCorrupt&) {
        // A broken tree's pages are left unused rather than freed twice.
    }
    std::sort(spare.begin(), spare.end(), std::greater<>());
    spare.erase(std::unique(spare.begin(), spare.end()), spare.end());
    auto takePage = [this, &spare] {
        if (spare.empty())
            return FFile.AllocatePage();
        const std::uint32_t page = spare.back();
        spare.pop_back();
        return page;
    };

    // The level above the one being written: each node below gives it its
    // last entry and its page.
    const std::size_t capacity = CdxInteriorCapacity(FKeyLength);
    std::vector<CdxNode> upper;
    auto addChild = [&](const CdxNode& child) {
        if (upper.empty() || upper.back().Count() == capacity) {
            CdxNode& node = upper.emplace_back();
            node.KeyLength = FKeyLength;
            node.Attributes = 0;
        }
        upper.back().Insert(upper.back().Count(), child.Key(child.Count() - 1), child.RecNos.back(),
                            child.Offset);
    };

    // Leaves, each filled as far as its packing allows and written as soon
    // as the next one begins: one leaf is held at a time, its page coded once
    // and kept in the cache undecoded.
    const Byte fill = Fill();
    const bool oneRecordPerKey = Unique() || Candidate();
    CdxNode leaf;
    leaf.KeyLength = FKeyLength;
    leaf.Attributes = CdxNodeLeaf;
    leaf.Offset = takePage();
    auto writeLeaf = [&] {
        Byte page[CdxPageSize];
        if (!CdxEncodeNode(leaf, fill, page))
            throw EAssertionFailed("Index node overfilled");
        FFile.WritePage(leaf.Offset, page);
    };
    int used = 0;
    std::uint32_t maxRecNo = 0;
    int entryBytes = 0;  // for maxRecNo
    // The entries' width changes only with a record number of more bits.
    auto sameWidthUpTo = [](std::uint32_t recNo) {
        return std::uint32_t((std::uint64_t(1) << std::bit_width(std::max(recNo, 1u))) - 1);
    };
    std::uint32_t widthLimit = 0;
    for (std::size_t i = 0; i < keys.Count(); ++i) {
        const std::size_t at = entry(i);
        const Byte* key = keys.Key(at);
        const std::uint32_t recNo = keys.RecNo(at);
        if (leaf.Count() > 0) {
            // An entry given twice is kept once; a unique tag's key, for its first record.
            const Byte* last = leaf.Key(leaf.Count() - 1);
            if ((oneRecordPerKey || recNo == leaf.RecNos.back()) &&
                std::memcmp(key, last, std::size_t(FKeyLength)) == 0)
                continue;
            const int packed = CdxPackedKeyBytes(key, last, FKeyLength, fill);
            const bool wider = recNo > maxRecNo;
            const int bytes = recNo > widthLimit ? CdxLeafEntryBytes(recNo, FKeyLength) : entryBytes;
            if (int(leaf.Count() + 1) * bytes + used + packed <= CdxLeafSpace) {
                leaf.Keys.insert(leaf.Keys.end(), key, key + FKeyLength);
                leaf.RecNos.push_back(recNo);
                used += packed;
                if (wider) {
                    maxRecNo = recNo;
                    entryBytes = bytes;
                    widthLimit = sameWidthUpTo(recNo);
                }
                continue;
            }
            // Full: the next leaf begins with this entry.
            leaf.Right = takePage();
            writeLeaf();
            addChild(leaf);
            leaf.Left = leaf.Offset;
            leaf.Offset = leaf.Right;
            leaf.Keys.clear();
            leaf.RecNos.clear();
        }
        leaf.Keys.insert(leaf.Keys.end(), key, key + FKeyLength);
        leaf.RecNos.push_back(recNo);
        used = CdxPackedKeyBytes(key, nullptr, FKeyLength, fill);
        maxRecNo = recNo;
        entryBytes = CdxLeafEntryBytes(maxRecNo, FKeyLength);
        widthLimit = sameWidthUpTo(recNo);
    }
    leaf.Right = CdxNone;
    if (upper.empty())
        leaf.Attributes |= CdxNodeRoot;
    writeLeaf();
    std::uint32_t root = leaf.Offset;
    // Then the interior levels above them, up to a single root.
    if (!upper.empty())
        addChild(leaf);
    while (!upper.empty()) {
        std::vector<CdxNode> level = std::move(upper);
        upper.clear();
        if (level.size() == 1)
            level[0].Attributes |= CdxNodeRoot;
        for (CdxNode& node : level)
            node.Offset = takePage();
        WriteRun(level, CdxNone, CdxNone);
        if (level.size() == 1) {
            root = level[0].Offset;
            break;
        }
        for (const CdxNode& node : level)
            addChild(node);
    }
    SetRoot(root);
    FFile.FreePages(spare);
    Changed();
}

void CdxTag::WalkLeaves(const std::function<bool(std::uint32_t, std::uint32_t)>& visit)
{
    std::uint32_t offset = DescendEdge(false).back().Node->Offset;
    for (std::uint32_t steps = 0; offset != CdxNone; ++steps) {
        if (steps > PageLimit())
            throw ECdxCorrupt("Index tag " + FName + " has a cycle among its leaves");
        FFile.CheckPage(offset);
        Byte page[CdxPageSize];
        FFile.ReadPage(offset, page);
        if (!(CdxGetLE16(page) & CdxNodeLeaf))
            throw ECdxCorrupt("Index tag " + FName + " links a leaf to an interior node");
        if (!visit(offset, CdxGetLE16(page + 2)))
            return;
        offset = CdxGetLE32(page + 8);
    }
}

std::uint32_t CdxTag::Count()
{
    std::uint32_t total = 0;
    WalkLeaves([&](std::uint32_t, std::uint32_t count) {
        total += count;
        return true;
    });
    return total;
}

std::vector<std::uint32_t> CdxTag::RecNos()
{
    std::vector<std::uint32_t> recNos;
    std::uint32_t offset = DescendEdge(false).back().Node->Offset;
    // Each leaf is decoded into the one node, which nothing keeps.
    CdxNode leaf;
    for (std::uint32_t steps = 0; offset != CdxNone; ++steps) {
        if (steps > PageLimit())
            throw ECdxCorrupt("Index tag " + FName + " has a cycle among its leaves");
        FFile.CheckPage(offset);
        Byte page[CdxPageSize];
        FFile.ReadPage(offset, page);
        CdxDecodeNode(page, offset, FKeyLength, Fill(), leaf);
        if (!leaf.IsLeaf())
            throw ECdxCorrupt("Index tag " + FName + " links a leaf to an interior node");
        recNos.insert(recNos.end(), leaf.RecNos.begin(), leaf.RecNos.end());
        offset = leaf.Right;
    }
    return recNos;
}

std::vector<std::uint32_t> CdxTag::TreePages()
{
    std::vector<std::uint32_t> pages;
    std::unordered_set<std::uint32_t> seen;
    std::vector<std::pair<std::uint32_t, std::size_t>> pending {{FRoot, 0}};
    while (!pending.empty()) {
        auto [offset, depth] = pending.back();
        pending.pop_back();
        if (depth >= MaxDepth || !seen.insert(offset).second)
            throw ECdxCorrupt("Index tag " + FName + " has a cycle in its tree");
        pages.push_back(offset);
        // Leaves name no pages: only their attributes are read.
        FFile.CheckPage(offset);
        Byte page[CdxPageSize];
        FFile.ReadPage(offset, page);
        if (CdxGetLE16(page) & CdxNodeLeaf)
            continue;
        for (std::uint32_t child : ReadNode(offset)->Children)
            pending.emplace_back(child, depth + 1);
    }
    return pages;
}

std::uint32_t CdxTag::PageLimit() const { return FFile.PageCount(); }

void CdxTag::Changed()
{
    ++FStamp;
    FFile.Changed();
}
