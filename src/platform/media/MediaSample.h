#pragma once

#include <cstdint>
#include <vector>

namespace tessival::media {

// Stream times count 100-nanosecond units: finer than a sample at any rate we handle, and no
// length of audio overflows 64 bits.
using REFERENCE_TIME = std::int64_t;
inline constexpr REFERENCE_TIME kUnitsPerSecond = 10'000'000;

// One buffer pushed downstream. Receivers may take the data (swap it out) instead of copying;
// a sender that keeps a sample across calls must not rely on its contents afterwards.
struct MediaSample {
    std::vector<std::uint8_t> data;
    // Stream time of the first and past the last sample; -1 when unknown. On byte streams
    // (MEDIATYPE_Stream) start is the byte offset at which the data belongs.
    REFERENCE_TIME start = -1;
    REFERENCE_TIME stop = -1;
    // Audio frames that the data decodes to; compressed formats set it for the fact chunk.
    std::int64_t frameCount = -1;
    bool discontinuity = false;
    // Decoded frames to drop from the front and the back of what this sample decodes to: the
    // encoder delay and padding that the container reports.
    std::uint32_t trimStart = 0;
    std::uint32_t trimEnd = 0;
    // The codec header as the encoder rewrote it at the end (FLAC's STREAMINFO with its MD5
    // signature and frame sizes); empty on every other sample.
    std::vector<std::uint8_t> finalHeader;
};

}  // namespace tessival::media
