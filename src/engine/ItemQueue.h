#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

namespace tessival {

// The list positions a run converts, handed out in order to one or more workers. Next may be
// called from any thread; Reset only while no worker takes from the queue.
class ItemQueue {
public:
    ItemQueue() = default;
    explicit ItemQueue(std::vector<int> positions) : positions_(std::move(positions)) {}

    // Every position from 0 to count-1.
    static std::vector<int> AllPositions(std::size_t count);
    // The positions below count whose remainder by shardCount is shardIndex (0-based).
    static std::vector<int> ShardPositions(std::size_t count, int shardIndex, int shardCount);

    void Reset(std::vector<int> positions);
    // The next position, or -1 when none is left.
    int Next();
    const std::vector<int>& Positions() const { return positions_; }

private:
    std::vector<int> positions_;
    std::atomic<std::size_t> next_{0};
};

}  // namespace tessival
