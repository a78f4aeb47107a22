#include "engine/loudness/ItemLoudness.h"

#include "platform/media/PcmSamples.h"

namespace tessival {

ItemLoudness::ItemLoudness(double gain) : gain_(gain), thread_([this] { MeasureQueued(); }) {}

ItemLoudness::~ItemLoudness() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void ItemLoudness::Tap(const media::WAVEFORMATEX& format, std::span<std::uint8_t> data) {
    if (gain_ != 1.0) media::ScalePcm(format, data, gain_);
    std::vector<std::uint8_t> copy(data.begin(), data.end());
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kMostQueued || ending_; });
    queue_.emplace_back(format, std::move(copy));
    lock.unlock();
    changed_.notify_all();
}

void ItemLoudness::MeasureQueued() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !queue_.empty() || ending_; });
        if (queue_.empty()) return;
        auto [format, data] = std::move(queue_.front());
        queue_.pop_front();
        measuring_ = true;
        lock.unlock();
        changed_.notify_all();
        meter_.Measure(format, data);
        if (watched_.load(std::memory_order_relaxed)) momentary_.store(meter_.Momentary(), std::memory_order_relaxed);
        lock.lock();
        measuring_ = false;
        changed_.notify_all();
    }
}

double ItemLoudness::Momentary() {
    watched_.store(true, std::memory_order_relaxed);
    return momentary_.load(std::memory_order_relaxed);
}

const media::LoudnessMeter& ItemLoudness::Meter() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.empty() && !measuring_; });
    return meter_;
}

}  // namespace tessival
