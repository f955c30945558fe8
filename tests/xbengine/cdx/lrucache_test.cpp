// The cache against a plain model of it (a list, most recently used first)
// over long random runs of finds, puts, cost changes and limit changes:
// the same entries in the same order, the same total cost, values kept.

#include <list>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "platform/xbengine/cdx/lrucache.h"

namespace {

struct Model {
    struct Entry {
        int Key;
        int Value;
        std::size_t Cost;
    };
    std::list<Entry> Order;  // most recently used first
    std::size_t Limit = 1;

    Entry* Find(int key)
    {
        for (auto at = Order.begin(); at != Order.end(); ++at)
            if (at->Key == key) {
                Order.splice(Order.begin(), Order, at);
                return &Order.front();
            }
        return nullptr;
    }
    std::size_t Cost() const
    {
        std::size_t cost = 0;
        for (const Entry& entry : Order)
            cost += entry.Cost;
        return cost;
    }
    void Trim()
    {
        while (Cost() > Limit && Order.size() > 1)
            Order.pop_back();
    }
};

TEST(LruCache, KeepsTheEntriesAPlainListWouldKeepOverRandomRuns)
{
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        // Keys from a small range, so that entries are found, given up and made again.
        const int keys = seed == 3 ? 2000 : 60;
        LruCache<int, int> cache(40);
        Model model;
        model.Limit = 40;
        // Where each entry was made: it stays there while cached.
        std::map<int, int*> places;
        for (int step = 0; step < 20000; ++step) {
            int key = int(random() % keys);
            switch (random() % 8) {
            case 0:
            case 1:
            case 2: {
                int* found = cache.Find(key);
                Model::Entry* expected = model.Find(key);
                ASSERT_EQ(found != nullptr, expected != nullptr) << step;
                if (found) {
                    ASSERT_EQ(*found, expected->Value) << step;
                    ASSERT_EQ(found, places[key]) << step;
                }
                break;
            }
            case 3:
            case 4:
            case 5: {
                int& value = cache.Put(key);
                Model::Entry* expected = model.Find(key);
                if (!expected) {
                    ASSERT_EQ(value, 0) << "a new entry starts value-initialised, step " << step;
                    model.Order.push_front({key, 0, 1});
                    places[key] = &value;
                    expected = &model.Order.front();
                }
                value = expected->Value = step;
                model.Trim();
                break;
            }
            case 6: {
                if (model.Order.empty())
                    break;
                std::size_t cost = random() % 6;
                cache.SetCostOfLatest(cost);
                model.Order.front().Cost = cost;
                model.Trim();
                break;
            }
            default:
                if (random() % 50 == 0) {
                    model.Limit = 1 + random() % 80;
                    cache.SetLimit(model.Limit);
                    model.Trim();
                }
            }
            ASSERT_EQ(cache.Size(), model.Order.size()) << step;
            ASSERT_EQ(cache.Cost(), model.Cost()) << step;
        }
        std::vector<std::pair<int, int>> seen, expected;
        cache.ForEach([&](int key, int value) { seen.emplace_back(key, value); });
        for (const Model::Entry& entry : model.Order)
            expected.emplace_back(entry.Key, entry.Value);
        EXPECT_EQ(seen, expected);
        cache.Clear();
        EXPECT_EQ(cache.Size(), 0u);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(cache.Find(expected.front().first), nullptr);
    }
}

}  // namespace
