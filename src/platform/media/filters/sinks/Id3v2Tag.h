#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/MediaTags.h"

namespace tessival::media {

// The ID3v2 tag an MP3 file begins with, written here rather than by libavformat, which knows
// neither COMM nor USLT frames nor several values in one frame. Every field goes to its frame
// (see TagMapping.h), several comments or lyrics to one COMM or USLT frame each (numbered
// descriptions), a text no frame names to TXXX under its own name, the cover and the other
// pictures to APIC frames. Version 4 writes UTF-8 with several values NUL-separated; version 3
// writes Latin-1 or UTF-16, several values joined with "/" and the date as TYER and TDAT.
// Empty when there is nothing to write.
std::vector<std::uint8_t> Id3v2Tag(const MediaTags& tags, int version);

}  // namespace tessival::media
