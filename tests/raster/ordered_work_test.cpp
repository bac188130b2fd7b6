// The ordered worker pool the stitch and the exports read tiles through: every item comes back
// processed and in the order it went in, for any number of threads and any capacity, also when
// fewer items than a wake-up batch are handed in before the consumer asks for them.
#include "raster/combine/ordered_work.h"

#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Item {
    int index = 0;
    int squared = -1;
};

TEST(OrderedWork, GivesEveryItemBackProcessedInOrder) {
    struct Case {
        int threads;
        std::size_t capacity;
        int items;
    };
    const Case cases[] = {{1, 1, 50}, {3, 7, 200}, {8, 200, 3000}, {8, 18, 100}, {4, 256, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.threads << " threads, capacity " << c.capacity);
        raster::OrderedWork<Item> pool(c.threads, c.capacity, [](Item& item) {
            if (item.index % 17 == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));  // a slow tile
            }
            item.squared = item.index * item.index;
        });
        std::vector<int> seen;
        auto take = [&] {
            const Item item = pool.Next();
            EXPECT_EQ(item.squared, item.index * item.index);
            seen.push_back(item.index);
        };
        for (int i = 0; i < c.items; ++i) {
            if (pool.Full()) {
                take();
            }
            pool.Submit(Item{i});
        }
        while (pool.Pending() > 0) {
            take();
        }
        std::vector<int> expected(static_cast<std::size_t>(c.items));
        for (int i = 0; i < c.items; ++i) {
            expected[std::size_t(i)] = i;
        }
        EXPECT_EQ(seen, expected);
    }
}

TEST(OrderedWork, AnItemAskedForAtOnceIsProcessedThoughNoBatchHasGathered) {
    raster::OrderedWork<Item> pool(4, 256, [](Item& item) { item.squared = item.index * 2; });
    for (int i = 1; i <= 3; ++i) {
        pool.Submit(Item{i});
        const Item item = pool.Next();
        EXPECT_EQ(item.squared, i * 2);
    }
}

}  // namespace
