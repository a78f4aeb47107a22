#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "engine/ItemQueue.h"

namespace tessival {
namespace {

TEST(ItemQueue, ShardsSplitTheListByRemainder) {
    EXPECT_EQ(ItemQueue::ShardPositions(7, 0, 3), (std::vector<int>{0, 3, 6}));
    EXPECT_EQ(ItemQueue::ShardPositions(7, 2, 3), (std::vector<int>{2, 5}));
    EXPECT_EQ(ItemQueue::ShardPositions(2, 2, 3), (std::vector<int>{}));
    EXPECT_EQ(ItemQueue::ShardPositions(4, 3, 3), (std::vector<int>{}));
    EXPECT_EQ(ItemQueue::AllPositions(3), (std::vector<int>{0, 1, 2}));
}

TEST(ItemQueue, WorkersTakeEveryPositionOnceInOrder) {
    ItemQueue queue(ItemQueue::AllPositions(20000));
    std::vector<std::vector<int>> taken(4);
    std::vector<std::thread> workers;
    for (auto& mine : taken) {
        workers.emplace_back([&queue, &mine] {
            for (int i; (i = queue.Next()) >= 0;) mine.push_back(i);
        });
    }
    for (auto& worker : workers) worker.join();
    std::vector<int> all;
    for (const auto& mine : taken) {
        EXPECT_TRUE(std::is_sorted(mine.begin(), mine.end()));
        all.insert(all.end(), mine.begin(), mine.end());
    }
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, ItemQueue::AllPositions(20000));
    EXPECT_EQ(queue.Next(), -1);
}

}  // namespace
}  // namespace tessival
