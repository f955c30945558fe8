#pragma once
// The cached-updates store of a table: one item per record position, with the
// record's image and update status. Items are made only when a position is
// used; until then every position holds a blank item. Records appended to the
// file while the store lives are held after the last position, whatever order
// the engine gives them.

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "platform/db/dbtypes.h"
#include "platform/rtl/types.h"

struct TCachedItem {
    TUpdateStatus Status = usUnmodified;
    std::uint8_t Flag = 0;
    std::int32_t BeforeImage = -1;  // in the before-image list; -1 none
    std::int32_t FetchPosition = 0;
    std::int32_t RecNo = 0;  // 0: a free item
    String Image;
};

class TDrUpdateCache {
public:
    // Forgets everything and holds Count blank items.
    void SetLength(int Count);
    // Count blank items followed by the added records, which keep their changes.
    void SetLengthKeepingAdded(int Count);
    void Clear();
    int Count() const { return FLength; }
    bool Pending() const { return FPending; }
    void SetPending(bool Value) { FPending = Value; }

    // The item at a 1-based position, made when first used.
    TCachedItem& At(int Position);
    // The item at a 1-based position when it was made; null otherwise.
    TCachedItem* Made(int Position);
    // Whether the position's record was fetched since the last Invalidate.
    bool Fetched(int Position) const;
    void MarkFetched(int Position);
    // The first item with the record number, or null.
    TCachedItem* Find(int RecNo);
    // Stores the image under the record number: its item, else the first free
    // one, else a new item marked inserted.
    TCachedItem& Put(int RecNo, TUpdateStatus Status, const String& Image);
    // Holds a record just added to the file at Position: fetched, inserted, with
    // Image, the record as the file has it, as its before-image.
    TCachedItem& Insert(int Position, int RecNo, const String& Image);
    // Whether the record was added to the file while the store held it.
    bool IsAdded(int RecNo) const { return FAdded.count(RecNo) != 0; }
    const std::set<int>& AddedRecNos() const { return FAdded; }
    // Keeps the image as first read before the item's first change.
    void SaveBeforeImage(TCachedItem& Item);
    // The item's change was handed on: unmodified, with no before-image.
    void MarkApplied(TCachedItem& Item);
    // Forgets which positions were fetched and the before-images, but for the
    // added records; the updates stay pending while an added record waits.
    void Invalidate();
    // Takes the before-images back into changed items; every item unmodified.
    void CancelUpdates();
    // The made items with a status other than unmodified, in position order.
    std::vector<TCachedItem*> Changed();

private:
    // The before-image list keeps only the added items' entries.
    void KeepOnlyAddedBeforeImages();

    int FLength = 0;
    bool FPending = false;
    std::vector<std::unique_ptr<TCachedItem>> FItems;  // made items; null for blank ones
    std::vector<int> FSlots;                           // fetch position per position; 0 not fetched
    std::vector<String> FBeforeImages;
    std::set<int> FAdded;  // record numbers of the added items
};
