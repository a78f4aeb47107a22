#include "platform/media/AudioLevelMeter.h"

#include <algorithm>
#include <cmath>

#include "platform/media/PcmSamples.h"

namespace tessival::media {

void AudioLevelMeter::Measure(const WAVEFORMATEX& format, std::span<const std::uint8_t> data) {
    if (!watched_.load(std::memory_order_relaxed)) return;
    const SampleReader read = PcmReader(format);
    const std::size_t bytesPerSample = format.wBitsPerSample / 8;
    if (!read || format.nChannels == 0 || format.nBlockAlign < format.nChannels * bytesPerSample) return;
    std::array<float, kChannels> loudest{};
    for (std::size_t frame = 0; frame + format.nBlockAlign <= data.size(); frame += format.nBlockAlign) {
        for (std::size_t channel = 0; channel < format.nChannels; ++channel) {
            float& slot = loudest[std::min(channel, kChannels - 1)];
            slot = std::max(slot, std::fabs(read(data.data() + frame + channel * bytesPerSample)));
        }
    }
    // A mono source shows on both sides.
    if (format.nChannels == 1) loudest[1] = loudest[0];
    for (std::size_t i = 0; i < kChannels; ++i) {
        const float level = std::min(loudest[i], 1.0f);
        float seen = peaks_[i].load(std::memory_order_relaxed);
        while (level > seen && !peaks_[i].compare_exchange_weak(seen, level, std::memory_order_relaxed)) continue;
    }
}

std::array<float, AudioLevelMeter::kChannels> AudioLevelMeter::TakePeaks() {
    watched_.store(true, std::memory_order_relaxed);
    std::array<float, kChannels> taken{};
    for (std::size_t i = 0; i < kChannels; ++i) taken[i] = peaks_[i].exchange(0.0f, std::memory_order_relaxed);
    return taken;
}

}  // namespace tessival::media
