#pragma once

#include <cstdint>

namespace tessival::media {

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 0x0001;
inline constexpr std::uint16_t WAVE_FORMAT_ADPCM = 0x0002;
inline constexpr std::uint16_t WAVE_FORMAT_IEEE_FLOAT = 0x0003;
inline constexpr std::uint16_t WAVE_FORMAT_ALAW = 0x0006;
inline constexpr std::uint16_t WAVE_FORMAT_MULAW = 0x0007;
inline constexpr std::uint16_t WAVE_FORMAT_IMA_ADPCM = 0x0011;
inline constexpr std::uint16_t WAVE_FORMAT_GSM610 = 0x0031;
inline constexpr std::uint16_t WAVE_FORMAT_MPEG = 0x0050;
inline constexpr std::uint16_t WAVE_FORMAT_MPEGLAYER3 = 0x0055;
inline constexpr std::uint16_t WAVE_FORMAT_WMAUDIO2 = 0x0161;
inline constexpr std::uint16_t WAVE_FORMAT_DOLBY_AC3 = 0x2000;
inline constexpr std::uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

#pragma pack(push, 1)
// The 18-byte wave format header, little-endian and packed as in a fmt chunk. cbSize extra
// bytes (codec private data) follow it in a media type's format block.
struct WAVEFORMATEX {
    std::uint16_t wFormatTag = 0;
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX must be packed");

// Plain PCM: block align and byte rate follow from the three values.
constexpr WAVEFORMATEX MakePcmFormat(std::uint32_t sampleRate, std::uint16_t channels, std::uint16_t bits) {
    WAVEFORMATEX format;
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = sampleRate;
    format.nBlockAlign = static_cast<std::uint16_t>(channels * (bits / 8));
    format.nAvgBytesPerSec = sampleRate * format.nBlockAlign;
    format.wBitsPerSample = bits;
    format.cbSize = 0;
    return format;
}

}  // namespace tessival::media
