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
    // Integer PCM that carries a narrower signal than its width (a float source decoded to 32
    // bits holds 24 bits of mantissa) says how many bits are real, so "Source" keeps exactly those
    // and a narrower output knows to dither; 0 when every bit is.
    std::uint16_t contentBits = 0;

    static MediaType Stream(const Guid& subtype);
    // An audio type whose subtype follows the format tag.
    static MediaType Audio(const WAVEFORMATEX& format, std::span<const std::uint8_t> extra = {});

    // The wave format, or null when the block is not one (too short, or not audio).
    const WAVEFORMATEX* WaveFormat() const;
    std::span<const std::uint8_t> ExtraBytes() const;
    // The bits of each sample that carry the signal: contentBits, else an extensible format's
    // valid bits, else the sample width; 0 without a wave format.
    int ContentBits() const;
    // Matches a pattern whose null major type or subtype stands for any.
    bool Matches(const MediaType& pattern) const;
    bool operator==(const MediaType& other) const;
};

// A pattern for registry entries and type checks: null fields match anything.
MediaType MediaTypePattern(const Guid& majorType, const Guid& subtype = GUID_NULL);

}  // namespace tessival::media
