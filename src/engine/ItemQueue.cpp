#include "engine/ItemQueue.h"

#include <algorithm>

namespace tessival {

std::vector<int> ItemQueue::AllPositions(std::size_t count) { return ShardPositions(count, 0, 1); }

std::vector<int> ItemQueue::ShardPositions(std::size_t count, int shardIndex, int shardCount) {
    std::vector<int> positions;
    if (shardCount < 1 || shardIndex < 0 || shardIndex >= shardCount) return positions;
    for (std::size_t i = static_cast<std::size_t>(shardIndex); i < count; i += static_cast<std::size_t>(shardCount))
        positions.push_back(static_cast<int>(i));
    return positions;
}

void ItemQueue::Reset(std::vector<int> positions) {
    positions_ = std::move(positions);
    next_ = 0;
    std::lock_guard lock(mutex_);
    ended_.clear();
    cancelled_ = false;
}

int ItemQueue::Next() {
    const std::size_t taken = next_.fetch_add(1);
    return taken < positions_.size() ? positions_[taken] : -1;
}

void ItemQueue::MarkEnded(int position) {
    {
        std::lock_guard lock(mutex_);
        ended_.insert(position);
    }
    endedChanged_.notify_all();
}

int ItemQueue::PlaceOf(int position) const {
    const auto found = std::lower_bound(positions_.begin(), positions_.end(), position);
    return found != positions_.end() && *found == position ? static_cast<int>(found - positions_.begin()) : -1;
}

bool ItemQueue::WaitUntilEnded(int position) {
    if (PlaceOf(position) < 0) return true;
    std::unique_lock lock(mutex_);
    endedChanged_.wait(lock, [&] { return cancelled_ || ended_.count(position) > 0; });
    return !cancelled_;
}

void ItemQueue::Cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    endedChanged_.notify_all();
}

}  // namespace tessival
