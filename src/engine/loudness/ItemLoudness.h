#pragma once

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/media/IPcmTap.h"
#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

// What an item's encoder is fed, measured after the item's gain (1 unless normalising) is applied.
// The gain is applied on the streaming thread; the measuring runs on a thread of its own beside the
// encoder, fed copies of the audio, so that it adds next to nothing to a conversion's time.
class ItemLoudness : public media::IPcmTap {
public:
    explicit ItemLoudness(double gain = 1.0);
    // Ends and joins the measuring thread.
    ~ItemLoudness() override;
    ItemLoudness(const ItemLoudness&) = delete;
    ItemLoudness& operator=(const ItemLoudness&) = delete;

    void Tap(const media::WAVEFORMATEX& format, std::span<std::uint8_t> data) override;
    // The meter once all that was tapped is measured; called after streaming has ended.
    const media::LoudnessMeter& Meter();
    // The loudness of the last 400 ms measured, LUFS, -inf in silence; from any thread. Worked out
    // only from the first ask on (-inf until then), so a conversion nobody watches pays nothing.
    double Momentary();

private:
    void MeasureQueued();

    // Buffers waiting at most: the streaming thread waits beyond that, so memory stays bounded.
    static constexpr std::size_t kMostQueued = 64;

    const double gain_;
    media::LoudnessMeter meter_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<media::WAVEFORMATEX, std::vector<std::uint8_t>>> queue_;  // guarded by mutex_
    bool measuring_ = false;  // guarded by mutex_: the thread holds a buffer
    bool ending_ = false;     // guarded by mutex_
    std::atomic<bool> watched_{false};
    std::atomic<double> momentary_{-HUGE_VAL};  // handed over per buffer: the reader never waits
    std::thread thread_;      // last: started once the rest exists
};

}  // namespace tessival
