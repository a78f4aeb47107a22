#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>

#include "platform/media/WaveFormat.h"

namespace tessival::media {

// The peak levels of the PCM passing a filter, for a display that reads them now and then from
// another thread. Measure runs on the streaming thread; TakePeaks returns the loudest sample of
// each channel since the last call (0 to 1) and starts over. Nothing is measured until somebody
// first asks, so conversions that nobody watches pay nothing.
class AudioLevelMeter {
public:
    static constexpr std::size_t kChannels = 2;  // more channels fold onto the last one

    void Measure(const WAVEFORMATEX& format, std::span<const std::uint8_t> data);
    std::array<float, kChannels> TakePeaks();

private:
    std::array<std::atomic<float>, kChannels> peaks_{};
    std::atomic<bool> watched_{false};
};

// A filter that shows the levels of the audio it takes in.
class IAudioLevels {
public:
    virtual ~IAudioLevels() = default;
    virtual std::array<float, AudioLevelMeter::kChannels> TakePeakLevels() = 0;
};

}  // namespace tessival::media
