#include "platform/media/ffmpeg/Mp3InfoFrame.h"

#include <cstring>

namespace tessival::media {
namespace {

constexpr std::size_t kJunkAllowed = 1024;
constexpr std::uint32_t kFramesFlag = 1, kBytesFlag = 2, kTocFlag = 4, kQualityFlag = 8;
constexpr std::size_t kTocBytes = 100;
// Encoder name (9), revision, lowpass, peak (4), two gains (2 each), flags, bit rate: then the trim.
constexpr std::size_t kTrimInLame = 21;

std::uint32_t Be32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// A layer III frame header: sync, a known version, bit rate and sample rate.
bool IsLayer3Header(const std::uint8_t* p) {
    return p[0] == 0xFF && (p[1] & 0xE0) == 0xE0 && (p[1] & 0x18) != 0x08 && (p[1] & 0x06) == 0x02 &&
           (p[2] & 0xF0) != 0xF0 && (p[2] & 0x0C) != 0x0C;
}

// The side information between the header and the Info frame's tag.
std::size_t SideInfoBytes(const std::uint8_t* header) {
    const bool mpeg1 = (header[1] & 0x18) == 0x18;
    const bool mono = (header[3] & 0xC0) == 0xC0;
    return mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 21);
}

bool Named(const std::uint8_t* p, const char* name) { return std::memcmp(p, name, 4) == 0; }

}  // namespace

std::optional<Mp3EncoderTrim> ReadMp3EncoderTrim(std::span<const std::uint8_t> bytes) {
    std::size_t frame = 0;
    while (frame + 4 <= bytes.size() && frame <= kJunkAllowed && !IsLayer3Header(&bytes[frame])) ++frame;
    if (frame + 4 > bytes.size() || frame > kJunkAllowed) return std::nullopt;
    std::size_t at = frame + 4 + SideInfoBytes(&bytes[frame]);
    if (at + 8 > bytes.size() || (!Named(&bytes[at], "Xing") && !Named(&bytes[at], "Info"))) return std::nullopt;
    const std::uint32_t flags = Be32(&bytes[at + 4]);
    if (!(flags & kFramesFlag)) return std::nullopt;  // without a frame count the length is a guess anyway
    at += 8 + 4 + ((flags & kBytesFlag) ? 4 : 0) + ((flags & kTocFlag) ? kTocBytes : 0) +
          ((flags & kQualityFlag) ? 4 : 0);
    if (at + kTrimInLame + 3 > bytes.size()) return std::nullopt;
    if (!Named(&bytes[at], "LAME") && !Named(&bytes[at], "Lavf") && !Named(&bytes[at], "Lavc")) return std::nullopt;
    const std::uint8_t* trim = &bytes[at + kTrimInLame];
    return Mp3EncoderTrim{trim[0] << 4 | trim[1] >> 4, (trim[1] & 0x0F) << 8 | trim[2]};
}

}  // namespace tessival::media
