#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace tessival {

// The list positions a run converts, in ascending order, handed out in order to one or more workers. Next, MarkEnded,
// WaitUntilEnded and Cancel may be called from any thread; Reset only while no worker takes from
// the queue.
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
    // The place of position among the handed-out ones, counted from 0; -1 when not among them.
    int PlaceOf(int position) const;

    // A worker has finished with this position (converted, failed or stopped).
    void MarkEnded(int position);
    // Blocks until position has ended; at once when this queue does not hand it out (another
    // shard's). False when the run was cancelled first.
    bool WaitUntilEnded(int position);
    // Wakes every waiter for good: the run is stopping.
    void Cancel();

private:
    std::vector<int> positions_;
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable endedChanged_;
    std::unordered_set<int> ended_;
    bool cancelled_ = false;
};

}  // namespace tessival
