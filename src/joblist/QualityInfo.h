#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tessival {

#pragma pack(push, 1)
// The leading 18 bytes of a WAVEFORMATEX, packed, little-endian: one output format of an encoder.
struct QualityInfo {
    uint16_t wFormatTag;
    uint16_t nChannels;  // 0 = no quality chosen
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
};
#pragma pack(pop)

static_assert(sizeof(QualityInfo) == 18);

// Two qualities are the same when channels, rate, byte rate and bits agree; tag, block align and
// extra size play no part.
bool IsSameQuality(const QualityInfo& a, const QualityInfo& b);

inline bool HasQuality(const QualityInfo& q) { return q.nChannels != 0; }

// The channel count of a quality that keeps the source's channels, as the encoders list it.
inline constexpr std::uint16_t kQualitySourceChannels = 0xFFFF;

// Kilobits per second as shown to the user: byte rate / 125, truncated.
inline unsigned QualityKbps(const QualityInfo& q) { return q.nAvgBytesPerSec / 125u; }

// The four numbers a quality is shown as: channels, kbps, bits, frequency. A quality with no rate
// keeps the source's: its frequency (and bits, when it has none, and channels) show as "Source".
std::array<std::string, 4> QualityCells(const QualityInfo& q);
// The four cells joined by commas: how a command line names a quality (add --quality=).
std::string QualityArgument(const QualityInfo& q);

}  // namespace tessival
