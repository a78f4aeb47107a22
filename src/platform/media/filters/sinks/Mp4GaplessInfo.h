#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace tessival::media {

// The gapless figures of an M4A file, known once the stream has ended: the iTunSMPB comment
// players read (priming, padding, length) and the presented length, counted in samples (the
// movie's time scale), in the edit list and in the movie and track headers.
class Mp4GaplessInfo {
public:
    // A length before zero (packets that all end before the source starts) presents nothing.
    Mp4GaplessInfo(std::int64_t priming, std::int64_t padding, std::int64_t length)
        : priming_(priming), padding_(padding), length_(std::max<std::int64_t>(length, 0)) {}

    // The comment's text as iTunes writes it: hexadecimal fields, the second to fourth ours.
    std::string SmpbText() const;
    // Puts the length into the movie box's headers and the first track's first edit; false when
    // the bytes are no movie box.
    bool SetLength(std::vector<std::uint8_t>& moov) const;

private:
    std::int64_t priming_;
    std::int64_t padding_;
    std::int64_t length_;
};

}  // namespace tessival::media
