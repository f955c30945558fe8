#include "platform/xbengine/cdx/cdxcursor.h"

#include "platform/xbengine/cdx/cdxerror.h"
#include "platform/xbengine/cdx/cdxindexfile.h"
#include "platform/xbengine/cdx/cdxtag.h"

namespace {

const std::shared_ptr<const CdxNode>& NoLeaf()
{
    static const std::shared_ptr<const CdxNode> none = std::make_shared<const CdxNode>();
    return none;
}

}  // namespace

CdxCursor::CdxCursor(CdxTag& tag) : FTag(tag), FLeaf(NoLeaf()) { }

void CdxCursor::Enter(std::shared_ptr<const CdxNode> leaf, std::ptrdiff_t pos)
{
    FLeaf = std::move(leaf);
    FPos = pos;
    FStamp = FTag.Stamp();
    FWalking = false;
}

void CdxCursor::Place(const String& key, std::uint32_t recNo)
{
    CdxTag::SharedPath path = FTag.Descend(reinterpret_cast<const Byte*>(key.data()), recNo);
    Enter(std::move(path.back().Node), std::ptrdiff_t(path.back().Index));
}

bool CdxCursor::Settle(bool forward)
{
    // Steps along the leaf chain while the position lies outside the leaf,
    // at most once per page of the file.
    for (std::uint32_t steps = 0;; ++steps) {
        if (FPos >= 0 && std::size_t(FPos) < Leaf().Count())
            break;
        std::uint32_t next = forward ? Leaf().Right : Leaf().Left;
        if (next == CdxNone) {
            FValid = FWalking = false;
            return false;
        }
        if (steps > FTag.PageLimit())
            throw ECdxCorrupt("Index tag " + FTag.Name() + " has a cycle among its leaves");
        FLeaf = FTag.ReadNode(next);
        const CdxNode& leaf = Leaf();
        if (!leaf.IsLeaf())
            throw ECdxCorrupt("Index tag " + FTag.Name() + " links a leaf to an interior node");
        FPos = forward ? 0 : std::ptrdiff_t(leaf.Count()) - 1;
        if (FWalking && FPos >= 0 && std::size_t(FPos) < leaf.Count()) {
            int order = CdxCompare(leaf.Key(std::size_t(FPos)), leaf.RecNos[std::size_t(FPos)],
                                   reinterpret_cast<const Byte*>(FKey.data()), FRecNo, FTag.KeyLength());
            if (forward ? order <= 0 : order >= 0)
                throw ECdxCorrupt("Index tag " + FTag.Name() + " has its leaves linked out of order");
        }
    }
    FValid = FWalking = true;
    FKey.assign(reinterpret_cast<const char*>(Leaf().Key(std::size_t(FPos))), std::size_t(FTag.KeyLength()));
    FRecNo = Leaf().RecNos[std::size_t(FPos)];
    return true;
}

bool CdxCursor::Recover()
{
    if (FStamp == FTag.Stamp())
        return true;
    FKey.resize(std::size_t(FTag.KeyLength()), '\0');  // another process may have remade the tag
    Place(FKey, FRecNo);
    return std::size_t(FPos) < Leaf().Count() &&
           CdxCompare(Leaf().Key(std::size_t(FPos)), Leaf().RecNos[std::size_t(FPos)],
                      reinterpret_cast<const Byte*>(FKey.data()), FRecNo, FTag.KeyLength()) == 0;
}

bool CdxCursor::AscendingFirst()
{
    Enter(std::move(FTag.DescendEdge(false).back().Node), 0);
    return Settle(true);
}

bool CdxCursor::AscendingLast()
{
    std::shared_ptr<const CdxNode> last = std::move(FTag.DescendEdge(true).back().Node);
    const std::ptrdiff_t pos = std::ptrdiff_t(last->Count()) - 1;
    Enter(std::move(last), pos);
    return Settle(false);
}

bool CdxCursor::AscendingNext()
{
    if (!FValid)
        return false;
    if (Recover())
        ++FPos;
    return Settle(true);
}

bool CdxCursor::AscendingPrev()
{
    if (!FValid)
        return false;
    Recover();
    --FPos;
    return Settle(false);
}

std::uint32_t CdxCursor::AscendingPosition()
{
    Recover();
    std::uint32_t before = 0;
    const std::uint32_t leaf = Leaf().Offset;
    FTag.WalkLeaves([&](std::uint32_t offset, std::uint32_t count) {
        if (offset == leaf)
            return false;
        before += count;
        return true;
    });
    return before + std::uint32_t(FPos);
}

bool CdxCursor::AscendingGoToPosition(std::uint32_t position)
{
    std::uint32_t target = CdxNone;
    FTag.WalkLeaves([&](std::uint32_t offset, std::uint32_t count) {
        if (position < count) {
            target = offset;
            return false;
        }
        position -= count;
        return true;
    });
    if (target == CdxNone) {
        FValid = false;
        return false;
    }
    Enter(FTag.ReadNode(target), std::ptrdiff_t(position));
    return Settle(true);
}

bool CdxCursor::First() { return FTag.Descending() ? AscendingLast() : AscendingFirst(); }

bool CdxCursor::Last() { return FTag.Descending() ? AscendingFirst() : AscendingLast(); }

bool CdxCursor::Next() { return FTag.Descending() ? AscendingPrev() : AscendingNext(); }

bool CdxCursor::Prev() { return FTag.Descending() ? AscendingNext() : AscendingPrev(); }

bool CdxCursor::Seek(const String& prefix)
{
    const String cut = prefix.substr(0, std::size_t(FTag.KeyLength()));
    String key = cut;
    if (FTag.Descending()) {
        // The last entry whose key begins with the prefix or sorts below it.
        key.resize(std::size_t(FTag.KeyLength()), '\xFF');
        Place(key, CdxNone);
        --FPos;
        Settle(false);
    } else {
        key.resize(std::size_t(FTag.KeyLength()), '\0');
        Place(key, 0);
        Settle(true);
    }
    return FValid && KeyStartsWith(cut);
}

bool CdxCursor::GoTo(const String& key, std::uint32_t recNo)
{
    if (key.size() != std::size_t(FTag.KeyLength()))
        return false;
    Place(key, recNo);
    return Settle(true) && FKey == key && FRecNo == recNo;
}

std::uint32_t CdxCursor::Position()
{
    std::uint32_t ascending = AscendingPosition();
    return FTag.Descending() ? FTag.Count() - 1 - ascending : ascending;
}

bool CdxCursor::GoToPosition(std::uint32_t position)
{
    if (FTag.Descending()) {
        std::uint32_t count = FTag.Count();
        if (position >= count) {
            FValid = false;
            return false;
        }
        position = count - 1 - position;
    }
    return AscendingGoToPosition(position);
}

bool CdxCursor::KeyStartsWith(const String& prefix) const
{
    return FValid && FKey.compare(0, prefix.size(), prefix) == 0 && prefix.size() <= FKey.size();
}

std::uint32_t CdxCursor::RecNoAhead(bool forward, std::size_t steps) const
{
    if (!FValid || FStamp != FTag.Stamp())
        return 0;
    const std::ptrdiff_t pos =
            forward != FTag.Descending() ? FPos + std::ptrdiff_t(steps) : FPos - std::ptrdiff_t(steps);
    return pos >= 0 && std::size_t(pos) < Leaf().Count() ? Leaf().RecNos[std::size_t(pos)] : 0;
}
