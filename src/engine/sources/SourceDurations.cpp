#include "engine/sources/SourceDurations.h"

#include <algorithm>

#include "platform/media/MediaProbe.h"

namespace tessival {

SourceDurations::SourceDurations() : prober_([this](std::stop_token stop) { Probe(stop); }) {}

SourceDurations::Answer SourceDurations::Lookup(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (const auto found = known_.find(path); found != known_.end()) {
        if (!found->second) return {State::Unknown, 0};
        return {State::Known, *found->second};
    }
    if (std::find(queue_.begin(), queue_.end(), path) == queue_.end()) {
        queue_.push_back(path);
        queued_.notify_one();
    }
    return {};
}

void SourceDurations::Probe(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (queued_.wait(lock, stop, [this] { return !queue_.empty(); })) {
        const std::string path = queue_.front();
        lock.unlock();
        const std::optional<double> seconds = media::ProbeMediaDuration(path);
        lock.lock();
        queue_.pop_front();
        known_[path] = seconds;
    }
}

}  // namespace tessival
