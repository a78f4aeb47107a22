#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
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

TEST(ItemQueue, AWaitEndsWhenThePositionEndsOrTheRunIsCancelled) {
    ItemQueue queue({0, 2, 4});
    EXPECT_EQ(queue.PlaceOf(4), 2);
    EXPECT_EQ(queue.PlaceOf(3), -1);
    // Another shard's position is never waited for.
    EXPECT_TRUE(queue.WaitUntilEnded(1));
    std::atomic<int> waited{0};
    std::thread waiter([&] { waited = queue.WaitUntilEnded(2) ? 1 : -1; });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(waited, 0);  // still waiting: 2 has not ended
    queue.MarkEnded(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(waited, 0);
    queue.MarkEnded(2);
    waiter.join();
    EXPECT_EQ(waited, 1);

    std::thread cancelled([&] { waited = queue.WaitUntilEnded(4) ? 1 : -1; });
    queue.Cancel();
    cancelled.join();
    EXPECT_EQ(waited, -1);
    queue.Reset({0, 2, 4});
    queue.MarkEnded(4);
    EXPECT_TRUE(queue.WaitUntilEnded(4));  // Reset starts a run that is not cancelled
}

}  // namespace
}  // namespace tessival
