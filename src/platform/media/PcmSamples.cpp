#include "platform/media/PcmSamples.h"

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

template <class T>
void Store(T value, std::uint8_t* at) {
    std::memcpy(at, &value, sizeof value);
}

float Int24(const std::uint8_t* at) {
    const auto bits = static_cast<std::uint32_t>(at[0]) << 8 | static_cast<std::uint32_t>(at[1]) << 16 |
                      static_cast<std::uint32_t>(at[2]) << 24;
    return static_cast<float>(static_cast<std::int32_t>(bits)) / 2147483648.0f;
}

// Full scale of a signed integer of `bits`, rounded and held inside its range.
std::int64_t ToInteger(float value, int bits) {
    const double scale = static_cast<double>(std::int64_t{1} << (bits - 1));
    const double rounded = std::nearbyint(static_cast<double>(value) * scale);
    return static_cast<std::int64_t>(std::clamp(rounded, -scale, scale - 1));
}

void PutInt24(float value, std::uint8_t* at) {
    const auto bits = static_cast<std::uint32_t>(ToInteger(value, 24));
    at[0] = static_cast<std::uint8_t>(bits);
    at[1] = static_cast<std::uint8_t>(bits >> 8);
    at[2] = static_cast<std::uint8_t>(bits >> 16);
}

bool IsInteger(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_PCM || format.wFormatTag == WAVE_FORMAT_EXTENSIBLE;
}

}  // namespace

SampleReader PcmReader(const WAVEFORMATEX& format) {
    if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT && format.wBitsPerSample == 32)
        return [](const std::uint8_t* at) { return Load<float>(at); };
    if (!IsInteger(format)) return nullptr;
    switch (format.wBitsPerSample) {
        case 8: return [](const std::uint8_t* at) { return (static_cast<int>(at[0]) - 128) / 128.0f; };
        case 16: return [](const std::uint8_t* at) { return Load<std::int16_t>(at) / 32768.0f; };
        case 24: return &Int24;
        case 32: return [](const std::uint8_t* at) { return static_cast<float>(Load<std::int32_t>(at)) / 2147483648.0f; };
        default: return nullptr;
    }
}

SampleWriter PcmWriter(const WAVEFORMATEX& format) {
    if (format.wFormatTag == WAVE_FORMAT_IEEE_FLOAT && format.wBitsPerSample == 32)
        return [](float value, std::uint8_t* at) { Store(value, at); };
    if (!IsInteger(format)) return nullptr;
    switch (format.wBitsPerSample) {
        case 8: return [](float value, std::uint8_t* at) { *at = static_cast<std::uint8_t>(ToInteger(value, 8) + 128); };
        case 16: return [](float value, std::uint8_t* at) { Store(static_cast<std::int16_t>(ToInteger(value, 16)), at); };
        case 24: return &PutInt24;
        case 32: return [](float value, std::uint8_t* at) { Store(static_cast<std::int32_t>(ToInteger(value, 32)), at); };
        default: return nullptr;
    }
}

bool ScalePcm(const WAVEFORMATEX& format, std::span<std::uint8_t> data, double gain) {
    const SampleReader read = PcmReader(format);
    const SampleWriter write = PcmWriter(format);
    const std::size_t bytes = format.wBitsPerSample / 8;
    if (!read || !write || bytes == 0) return false;
    const auto factor = static_cast<float>(gain);
    for (std::size_t at = 0; at + bytes <= data.size(); at += bytes) write(read(data.data() + at) * factor, data.data() + at);
    return true;
}

}  // namespace tessival::media
