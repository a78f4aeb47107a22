#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/media/Guid.h"
#include "platform/media/WaveFormat.h"

struct AVCodecParameters;

namespace tessival::media {

// What flows over a pin connection: major type, subtype and a format block. For audio the
// block is a WAVEFORMATEX followed by its cbSize extra bytes.
struct MediaType {
    Guid majorType;
    Guid subtype;
    Guid formatType;
    std::vector<std::uint8_t> format;
    // Splitters built on libavformat may hand the stream's full parameters to the decoder
    // behind them; filters that do not know it go by the format block alone.
    std::shared_ptr<const AVCodecParameters> codecParameters;

    static MediaType Stream(const Guid& subtype);
    // An audio type whose subtype follows the format tag.
    static MediaType Audio(const WAVEFORMATEX& format, std::span<const std::uint8_t> extra = {});

    // The wave format, or null when the block is not one (too short, or not audio).
    const WAVEFORMATEX* WaveFormat() const;
    std::span<const std::uint8_t> ExtraBytes() const;
    // Matches a pattern whose null major type or subtype stands for any.
    bool Matches(const MediaType& pattern) const;
    bool operator==(const MediaType& other) const;
};

// A pattern for registry entries and type checks: null fields match anything.
MediaType MediaTypePattern(const Guid& majorType, const Guid& subtype = GUID_NULL);

}  // namespace tessival::media
