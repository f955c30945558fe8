#pragma once
// A cache whose entries together cost at most Limit(): when they cost more,
// it gives up the entry used longest ago, one entry at a time, never all at
// once, and never the one used last. An entry costs 1 unless set otherwise.
//
// A lookup is a look into an open-addressed table of slot numbers; the
// entries live in slots that are reused, linked in the order of their use,
// so that neither a lookup nor an entry made again allocates. An entry's
// value stays where it is while it is cached.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

template<class Key, class Value> class LruCache {
public:
    explicit LruCache(std::size_t limit = 1) : FLimit(std::max<std::size_t>(limit, 1)) { }

    std::size_t Limit() const { return FLimit; }
    void SetLimit(std::size_t limit)
    {
        FLimit = std::max<std::size_t>(limit, 1);
        Trim();
    }
    std::size_t Size() const { return FCount; }
    // What the entries cost together.
    std::size_t Cost() const { return FCost; }

    // The entry, now the most recently used; nullptr when not cached.
    Value* Find(const Key& key)
    {
        // A change reads and writes the same entry in turn: the one used last
        // is found without the index.
        if (FNewest != None && FLinks[FNewest].Id == key)
            return &FData[FNewest];
        std::uint32_t slot = SlotOf(key);
        if (slot == None)
            return nullptr;
        Unlink(slot);
        LinkNewest(slot);
        return &FData[slot];
    }
    // The entry, made (value-initialised, costing 1) when missing.
    Value& Put(const Key& key)
    {
        if (Value* value = Find(key))
            return *value;
        std::uint32_t slot;
        if (!FFree.empty()) {
            slot = FFree.back();
            FFree.pop_back();
        } else {
            slot = std::uint32_t(FLinks.size());
            FLinks.emplace_back();
            FData.emplace_back();
        }
        Link& entry = FLinks[slot];
        entry.Id = key;
        entry.Cost = 1;
        LinkNewest(slot);
        AddToIndex(slot);
        ++FCount;
        ++FCost;
        Trim();
        return FData[slot];
    }
    // Sets the cost of the entry used last, which Find or Put just gave.
    void SetCostOfLatest(std::size_t cost)
    {
        if (FNewest == None)
            return;
        FCost = FCost - FLinks[FNewest].Cost + cost;
        FLinks[FNewest].Cost = cost;
        Trim();
    }
    template<class Visit> void ForEach(Visit&& visit)
    {
        for (std::uint32_t slot = FNewest; slot != None; slot = FLinks[slot].Older)
            visit(FLinks[slot].Id, FData[slot]);
    }
    void Clear()
    {
        FLinks.clear();
        FData.clear();
        FFree.clear();
        FIndex.clear();
        FNewest = FOldest = None;
        FCount = 0;
        FCost = 0;
    }

private:
    static constexpr std::uint32_t None = 0xFFFFFFFFu;

    // What finding and ordering an entry reads, apart from its value: a
    // lookup and the links it mends touch these few bytes only.
    struct Link {
        Key Id {};
        std::size_t Cost = 0;
        std::uint32_t Newer = None;
        std::uint32_t Older = None;
    };

    // Where key's search in FIndex starts (FIndex has a power-of-two size).
    std::size_t Home(const Key& key) const
    {
        std::uint64_t hash = std::uint64_t(std::hash<Key> {}(key)) * 0x9E3779B97F4A7C15ull;
        return std::size_t(hash >> 32) & (FIndex.size() - 1);
    }
    std::uint32_t SlotOf(const Key& key) const
    {
        if (FIndex.empty())
            return None;
        for (std::size_t at = Home(key);; at = (at + 1) & (FIndex.size() - 1)) {
            std::uint32_t slot = FIndex[at];
            if (slot == None || FLinks[slot].Id == key)
                return slot;
        }
    }
    void AddToIndex(std::uint32_t slot)
    {
        // At most half full, so that searches stay short.
        if ((FCount + 1) * 2 > FIndex.size()) {
            std::vector<std::uint32_t> old(std::max<std::size_t>(FIndex.size() * 2, 16), None);
            old.swap(FIndex);
            for (std::uint32_t kept : old)
                if (kept != None)
                    Place(kept);
        }
        Place(slot);
    }
    void Place(std::uint32_t slot)
    {
        std::size_t at = Home(FLinks[slot].Id);
        while (FIndex[at] != None)
            at = (at + 1) & (FIndex.size() - 1);
        FIndex[at] = slot;
    }
    // Takes the slot out of FIndex, moving back the entries after it that
    // would otherwise no longer be found from their home.
    void RemoveFromIndex(std::uint32_t slot)
    {
        const std::size_t mask = FIndex.size() - 1;
        std::size_t hole = Home(FLinks[slot].Id);
        while (FIndex[hole] != slot)
            hole = (hole + 1) & mask;
        for (std::size_t at = (hole + 1) & mask; FIndex[at] != None; at = (at + 1) & mask) {
            std::size_t home = Home(FLinks[FIndex[at]].Id);
            // The entry at at may fill the hole when its home is not in (hole, at].
            if (((at - home) & mask) >= ((at - hole) & mask)) {
                FIndex[hole] = FIndex[at];
                hole = at;
            }
        }
        FIndex[hole] = None;
    }
    void Unlink(std::uint32_t slot)
    {
        Link& entry = FLinks[slot];
        (entry.Newer == None ? FNewest : FLinks[entry.Newer].Older) = entry.Older;
        (entry.Older == None ? FOldest : FLinks[entry.Older].Newer) = entry.Newer;
    }
    void LinkNewest(std::uint32_t slot)
    {
        Link& entry = FLinks[slot];
        entry.Newer = None;
        entry.Older = FNewest;
        (FNewest == None ? FOldest : FLinks[FNewest].Newer) = slot;
        FNewest = slot;
    }
    void Trim()
    {
        while (FCost > FLimit && FCount > 1) {
            std::uint32_t oldest = FOldest;
            Link& entry = FLinks[oldest];
            FCost -= entry.Cost;
            RemoveFromIndex(oldest);
            Unlink(oldest);
            FData[oldest] = Value {};  // what it holds is let go now
            FFree.push_back(oldest);
            --FCount;
        }
    }

    // Values in blocks of a fixed count, which stay in place as blocks are
    // added: a value is found by two shifts, without a block per value.
    class ValueStore {
    public:
        Value& operator[](std::uint32_t slot) { return FBlocks[slot >> BlockBits][slot & BlockMask]; }
        const Value& operator[](std::uint32_t slot) const
        {
            return FBlocks[slot >> BlockBits][slot & BlockMask];
        }
        std::size_t size() const { return FSize; }
        void emplace_back()
        {
            if ((FSize & BlockMask) == 0)
                FBlocks.push_back(std::make_unique<Value[]>(std::size_t(1) << BlockBits));
            ++FSize;
        }
        void clear()
        {
            FBlocks.clear();
            FSize = 0;
        }

    private:
        static constexpr unsigned BlockBits = 6;
        static constexpr std::uint32_t BlockMask = (1u << BlockBits) - 1;
        std::vector<std::unique_ptr<Value[]>> FBlocks;
        std::size_t FSize = 0;
    };

    std::vector<Link> FLinks;  // by slot
    ValueStore FData;          // by slot; a value stays in place while cached
    std::vector<std::uint32_t> FFree;
    std::vector<std::uint32_t> FIndex;  // slot numbers; None where empty
    std::uint32_t FNewest = None;
    std::uint32_t FOldest = None;
    std::size_t FCount = 0;
    std::size_t FLimit;
    std::size_t FCost = 0;
};
