#pragma once

#include <array>
#include <memory>
#include <optional>
#include <mutex>

#include "platform/media/AudioLevelMeter.h"
#include "platform/media/GraphInterfaces.h"

namespace tessival {

// What a display shows of the item that converts now.
struct ProgressSnapshot {
    double positionSeconds = -1;  // -1 while unknown
    double durationSeconds = -1;  // -1 while unknown (a recording has none)
    std::array<float, media::AudioLevelMeter::kChannels> peaks{};
    std::optional<double> momentaryLufs;  // LUFS, -inf in silence; none when the item is not measured
};

class ItemLoudness;

// The running graph's position and levels, readable from any thread while the worker converts.
// The worker attaches the graph when it starts running and detaches it before releasing it.
class RunProgress {
public:
    // loudness: the item's meter when it measures loudness, else null.
    void Attach(std::shared_ptr<media::IMediaPosition> position, std::shared_ptr<media::IAudioLevels> levels,
                std::shared_ptr<ItemLoudness> loudness = nullptr);
    void Detach();
    ProgressSnapshot Read() const;
    // Position and duration only: the peaks stay for the display that takes them.
    ProgressSnapshot ReadPosition() const;

private:
    void ReadPositionLocked(ProgressSnapshot& snapshot) const;

    mutable std::mutex mutex_;
    std::shared_ptr<media::IMediaPosition> position_;  // guarded by mutex_
    std::shared_ptr<media::IAudioLevels> levels_;      // guarded by mutex_
    std::shared_ptr<ItemLoudness> loudness_;           // guarded by mutex_
};

}  // namespace tessival
