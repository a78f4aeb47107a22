#include "platform/media/AudioLevelMeter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tessival::media {
namespace {

template <class T>
T Load(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

float Int24(const std::uint8_t* at) {
    const auto bits = static_cast<std::uint32_t>(at[0]) << 8 | static_cast<std::uint32_t>(at[1]) << 16 |
                      static_cast<std::uint32_t>(at[2]) << 24;
    return static_cast<float>(static_cast<std::int32_t>(bits)) / 2147483648.0f;
}

// The reader of one sample as a value from -1 to 1, or null for formats the meter does not read.
using SampleReader = float (*)(const std::uint8_t*);

SampleReader ReaderFor(const WAVEFORMATEX& format) {
    if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT && format.wBitsPerSample == 32)
        return [](const std::uint8_t* at) { return Load<float>(at); };
    if (format.wFormatTag != WAVE_FORMAT_PCM && format.wFormatTag != WAVE_FORMAT_EXTENSIBLE) return nullptr;
    switch (format.wBitsPerSample) {
        case 8: return [](const std::uint8_t* at) { return (static_cast<int>(at[0]) - 128) / 128.0f; };
        case 16: return [](const std::uint8_t* at) { return Load<std::int16_t>(at) / 32768.0f; };
        case 24: return &Int24;
        case 32: return [](const std::uint8_t* at) { return static_cast<float>(Load<std::int32_t>(at)) / 2147483648.0f; };
        default: return nullptr;
    }
}

}  // namespace

void AudioLevelMeter::Measure(const WAVEFORMATEX& format, std::span<const std::uint8_t> data) {
    if (!watched_.load(std::memory_order_relaxed)) return;
    const SampleReader read = ReaderFor(format);
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
