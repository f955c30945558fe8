#pragma once
// A cache of at most Limit() entries that, when full, gives up the entry
// used longest ago: one entry at a time, never all at once.

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

    // The entry, now the most recently used; nullptr when not cached.
    Value* Find(const Key& key)
    {
        auto found = FIndex.find(key);
        if (found == FIndex.end())
            return nullptr;
        FOrder.splice(FOrder.begin(), FOrder, found->second);
        return &found->second->second;
    }
    // The entry, made (value-initialised) when missing.
    Value& Put(const Key& key)
    {
        if (Value* value = Find(key))
            return *value;
        FOrder.emplace_front(key, Value{});
        FIndex.emplace(key, FOrder.begin());
        Trim();
        return FOrder.front().second;
    }
    template <class Visit>
    void ForEach(Visit&& visit)
    {
        for (auto& entry : FOrder)
            visit(entry.first, entry.second);
    }
    void Clear()
    {
        FIndex.clear();
        FOrder.clear();
    }

private:
    void Trim()
    {
        while (FOrder.size() > FLimit) {
            FIndex.erase(FOrder.back().first);
            FOrder.pop_back();
        }
    }

    std::list<std::pair<Key, Value>> FOrder;  // most recently used first
    std::unordered_map<Key, typename std::list<std::pair<Key, Value>>::iterator> FIndex;
    std::size_t FLimit;
};
