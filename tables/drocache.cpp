#include "tables/drocache.h"

void TDrUpdateCache::SetLength(int Count)
{
    Clear();
    FLength = Count > 0 ? Count : 0;
}

void TDrUpdateCache::SetLengthKeepingAdded(int Count)
{
    KeepOnlyAddedBeforeImages();
    std::vector<std::unique_ptr<TCachedItem>> added;
    for (auto& item : FItems)
        if (item && IsAdded(item->RecNo))
            added.push_back(std::move(item));
    FItems.clear();
    FSlots.clear();
    FLength = Count > 0 ? Count : 0;
    for (auto& item : added) {
        const int position = FLength + 1;
        item->FetchPosition = position;
        At(position) = std::move(*item);
        MarkFetched(position);
    }
}

void TDrUpdateCache::Clear()
{
    FItems.clear();
    FSlots.clear();
    FBeforeImages.clear();
    FAdded.clear();
    FLength = 0;
}

TCachedItem& TDrUpdateCache::At(int Position)
{
    const auto index = static_cast<size_t>(Position - 1);
    if (index >= FItems.size())
        FItems.resize(index + 1);
    if (!FItems[index])
        FItems[index] = std::make_unique<TCachedItem>();
    if (Position > FLength)
        FLength = Position;
    return *FItems[index];
}

TCachedItem* TDrUpdateCache::Made(int Position)
{
    const auto index = static_cast<size_t>(Position - 1);
    return index < FItems.size() ? FItems[index].get() : nullptr;
}

bool TDrUpdateCache::Fetched(int Position) const
{
    const auto index = static_cast<size_t>(Position - 1);
    return index < FSlots.size() && FSlots[index] != 0;
}

void TDrUpdateCache::MarkFetched(int Position)
{
    const auto index = static_cast<size_t>(Position - 1);
    if (index >= FSlots.size())
        FSlots.resize(index + 1, 0);
    FSlots[index] = Position;
}

TCachedItem* TDrUpdateCache::Find(int RecNo)
{
    for (auto& item : FItems)
        if (item && item->RecNo == RecNo)
            return item.get();
    return nullptr;
}

TCachedItem& TDrUpdateCache::Put(int RecNo, TUpdateStatus Status, const String& Image)
{
    FPending = true;
    if (TCachedItem* item = Find(RecNo)) {
        item->Status = Status;
        item->Image = Image;
        return *item;
    }
    for (int position = 1; position <= FLength; ++position) {
        const auto index = static_cast<size_t>(position - 1);
        if (index < FItems.size() && FItems[index] && FItems[index]->RecNo != 0)
            continue;
        TCachedItem& item = At(position);
        item.RecNo = RecNo;
        item.Status = Status;
        item.Image = Image;
        return item;
    }
    TCachedItem& item = At(FLength + 1);
    item.RecNo = RecNo;
    item.Status = usInserted;
    item.Image = Image;
    return item;
}

TCachedItem& TDrUpdateCache::Insert(int Position, int RecNo, const String& Image)
{
    TCachedItem& item = At(Position);
    item = TCachedItem {};
    item.RecNo = RecNo;
    item.FetchPosition = Position;
    item.Image = Image;
    SaveBeforeImage(item);
    item.Status = usInserted;
    FAdded.insert(RecNo);
    MarkFetched(Position);
    FPending = true;
    return item;
}

void TDrUpdateCache::SaveBeforeImage(TCachedItem& Item)
{
    if (Item.Status != usUnmodified || Item.BeforeImage >= 0)
        return;
    Item.BeforeImage = static_cast<std::int32_t>(FBeforeImages.size());
    FBeforeImages.push_back(Item.Image);
}

void TDrUpdateCache::MarkApplied(TCachedItem& Item)
{
    Item.Status = usUnmodified;
    Item.BeforeImage = -1;
}

void TDrUpdateCache::KeepOnlyAddedBeforeImages()
{
    std::vector<String> kept;
    for (auto& item : FItems) {
        if (!item)
            continue;
        if (IsAdded(item->RecNo) && item->BeforeImage >= 0) {
            kept.push_back(FBeforeImages[static_cast<size_t>(item->BeforeImage)]);
            item->BeforeImage = static_cast<std::int32_t>(kept.size() - 1);
        } else {
            item->BeforeImage = -1;
        }
    }
    FBeforeImages = std::move(kept);
}

void TDrUpdateCache::Invalidate()
{
    KeepOnlyAddedBeforeImages();
    FPending = false;
    FSlots.clear();
    for (size_t index = 0; index < FItems.size(); ++index) {
        const TCachedItem* item = FItems[index].get();
        if (!item || !IsAdded(item->RecNo))
            continue;
        MarkFetched(static_cast<int>(index + 1));
        if (item->Status != usUnmodified)
            FPending = true;
    }
}

void TDrUpdateCache::CancelUpdates()
{
    FPending = false;
    for (auto& item : FItems) {
        if (!item)
            continue;
        if (item->Status != usUnmodified && item->BeforeImage >= 0 &&
            item->BeforeImage < static_cast<std::int32_t>(FBeforeImages.size()))
            item->Image = FBeforeImages[static_cast<size_t>(item->BeforeImage)];
        item->Status = usUnmodified;
        item->BeforeImage = -1;
    }
    FBeforeImages.clear();
}

std::vector<TCachedItem*> TDrUpdateCache::Changed()
{
    std::vector<TCachedItem*> result;
    for (auto& item : FItems)
        if (item && item->Status != usUnmodified)
            result.push_back(item.get());
    return result;
}
