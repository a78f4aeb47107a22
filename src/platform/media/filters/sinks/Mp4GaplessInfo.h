#pragma once

#include <cstdint>
#include <vector>

namespace tessival::media {

// The gapless figures of an M4A file, put into its movie box once the stream has ended: the
// iTunSMPB comment that players read (priming, padding, length) and the presented length in the
// edit list and in the movie and track headers, counted in samples (the movie's time scale).
class Mp4GaplessInfo {
public:
    Mp4GaplessInfo(std::int64_t priming, std::int64_t padding, std::int64_t length)
        : priming_(priming), padding_(padding), length_(length) {}

    // The movie box with these figures; empty when the bytes are no movie box.
    std::vector<std::uint8_t> Apply(std::vector<std::uint8_t> moov) const;

private:
    std::vector<std::uint8_t> SmpbAtom() const;
    void SetDurations(std::vector<std::uint8_t>& moov) const;

    std::int64_t priming_;
    std::int64_t padding_;
    std::int64_t length_;
};

}  // namespace tessival::media
