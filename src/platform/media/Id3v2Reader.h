#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/media/MediaTags.h"

namespace tessival::media {

// Adds the fields of an ID3v2.3 or 2.4 tag (its whole bytes, header first) to tags under their
// MediaTags keys (see TagMapping.h): several values of a 2.4 frame stay several values, a 2.3 text
// stays whole (a "/" is as often part of a name as a separator), COMM and USLT frames give
// comments and lyrics, TXXX frames their description's field, UFID the MusicBrainz recording id,
// TRCK and TPOS their number and total. Pictures are left to the caller. False when the bytes are
// no tag of those versions; a tag damaged part way gives what comes before the damage.
bool ParseId3v2Tag(std::span<const std::uint8_t> tag, MediaTags& tags);

// The bytes an ID3v2 tag of any version takes at the start of a file (header, frames, footer),
// from its first ten bytes; 0 when they start no tag.
std::size_t Id3v2TagLength(std::span<const std::uint8_t> start);

// The ID3v2.3 or 2.4 tag a file begins with, as far as the file holds it; none when it has none.
std::optional<std::vector<std::uint8_t>> ReadId3v2Tag(const std::string& path);

}  // namespace tessival::media
