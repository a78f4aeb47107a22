#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/MediaTags.h"

namespace tessival::media {

// The RIFF "LIST"/"INFO" chunk for what of the tags a WAVE file can hold (title, artist, album,
// track, date, genre, comment), padded to even; empty when none of them is set.
std::vector<std::uint8_t> RiffInfoChunk(const MediaTags& tags);

}  // namespace tessival::media
