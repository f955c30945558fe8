#pragma once
// A position in a tag, moving in the tag's order: ascending keys, or
// descending keys for a descending tag; equal keys by record number, reversed
// with the keys. A cursor survives changes to the tag: it finds its entry
// again, or the place where the entry was.

#include <cstdint>
#include <memory>

#include "platform/rtl/types.h"
#include "platform/xbengine/cdx/cdxnode.h"

class CdxTag;

class CdxCursor {
public:
    explicit CdxCursor(CdxTag& tag);

    // Each returns true when the cursor stands on an entry afterwards; false
    // means past the end (or before the start) with no entry.
    bool First();
    bool Last();
    bool Next();
    bool Prev();
    // The first entry in order whose key starts with prefix (a prefix longer
    // than the key is cut). True when one exists; otherwise the cursor stands
    // on the entry that follows in order where such a key would be, if any.
    bool Seek(const String& prefix);
    // Stands on exactly (key, recNo); false when the tag lacks that entry.
    bool GoTo(const String& key, std::uint32_t recNo);
    // The 0-based place in order of the current entry, and the reverse.
    std::uint32_t Position();
    bool GoToPosition(std::uint32_t position);

    bool Valid() const { return FValid; }
    const String& Key() const { return FKey; }
    std::uint32_t RecNo() const { return FRecNo; }
    // Whether the current key starts with prefix.
    bool KeyStartsWith(const String& prefix) const;
    // The record number of the entry steps on from the current one in the
    // direction Next() (or Prev()) walks; 0 when that entry lies outside the
    // leaf the cursor reads, or the cursor stands on no entry.
    std::uint32_t RecNoAhead(bool forward, std::size_t steps) const;

private:
    // In ascending order whatever the tag's direction.
    void Place(const String& key, std::uint32_t recNo);
    bool Forward();
    bool Backward();
    // Moves along the leaf chain from a position outside the current leaf;
    // keys must keep their order across leaves, or the chain is broken.
    bool Settle(bool forward);
    // Finds the entry again after a change to the tag; true when it is still there.
    bool Recover();
    bool AscendingFirst();
    bool AscendingLast();
    bool AscendingNext();
    bool AscendingPrev();
    std::uint32_t AscendingPosition();
    bool AscendingGoToPosition(std::uint32_t position);

    // Sets the leaf the cursor stands in and its place there.
    void Enter(std::shared_ptr<const CdxNode> leaf, std::ptrdiff_t pos);
    const CdxNode& Leaf() const { return *FLeaf; }

    CdxTag& FTag;
    // The leaf as the index file's cache shares it: read, never changed.
    std::shared_ptr<const CdxNode> FLeaf;
    std::ptrdiff_t FPos = 0;
    bool FValid = false;
    bool FWalking = false;  // FKey and FRecNo hold the entry the walk came from
    String FKey;
    std::uint32_t FRecNo = 0;
    std::uint64_t FStamp = 0;
};
