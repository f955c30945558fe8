#pragma once
// A cache whose entries together cost at most Limit(): when they cost more,
// it gives up the entry used longest ago, one entry at a time, never all at
// once, and never the one used last. An entry costs 1 unless set otherwise.

#include <algorithm>
#include <cstddef>
#include <list>
#include <unordered_map>
#include <utility>

template <class Key, class Value>
class LruCache {
public:
    explicit LruCache(std::size_t limit = 1) : FLimit(std::max<std::size_t>(limit, 1)) {}

    std::size_t Limit() const { return FLimit; }
    void SetLimit(std::size_t limit)
    {
        FLimit = std::max<std::size_t>(limit, 1);
        Trim();
    }
    std::size_t Size() const { return FIndex.size(); }
    // What the entries cost together.
    std::size_t Cost() const { return FCost; }

    // The entry, now the most recently used; nullptr when not cached.
    Value* Find(const Key& key)
    {
        // A change reads and writes the same entry in turn: the one used last
        // is found without the index.
        if (!FOrder.empty() && FOrder.front().Id == key)
            return &FOrder.front().Data;
        auto found = FIndex.find(key);
        if (found == FIndex.end())
            return nullptr;
        FOrder.splice(FOrder.begin(), FOrder, found->second);
        return &found->second->Data;
    }
    // The entry, made (value-initialised, costing 1) when missing.
    Value& Put(const Key& key)
    {
        if (Value* value = Find(key))
            return *value;
        FOrder.push_front(Entry {key, Value {}, 1});
        FIndex.emplace(key, FOrder.begin());
        ++FCost;
        Trim();
        return FOrder.front().Data;
    }
    // Sets the cost of the entry used last, which Find or Put just gave.
    void SetCostOfLatest(std::size_t cost)
    {
        if (FOrder.empty())
            return;
        FCost = FCost - FOrder.front().Cost + cost;
        FOrder.front().Cost = cost;
        Trim();
    }
    template <class Visit>
    void ForEach(Visit&& visit)
    {
        for (auto& entry : FOrder)
            visit(entry.Id, entry.Data);
    }
    void Clear()
    {
        FIndex.clear();
        FOrder.clear();
        FCost = 0;
    }

private:
    struct Entry {
        Key Id;
        Value Data;
        std::size_t Cost;
    };

    void Trim()
    {
        while (FCost > FLimit && FOrder.size() > 1) {
            FCost -= FOrder.back().Cost;
            FIndex.erase(FOrder.back().Id);
            FOrder.pop_back();
        }
    }

    std::list<Entry> FOrder;  // most recently used first
    std::unordered_map<Key, typename std::list<Entry>::iterator> FIndex;
    std::size_t FLimit;
    std::size_t FCost = 0;
};
