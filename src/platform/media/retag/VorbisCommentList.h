#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/media/retag/TagEdit.h"

namespace tessival::media {

// A Vorbis comment list as FLAC, Vorbis and Opus store it: vendor, then "NAME=value" fields, all
// lengths 32-bit little-endian. Applies the edit to the list at the start of `list`; whatever
// follows the fields (Vorbis's framing bit, Opus's binary data) is kept. False when it does not parse.
bool EditVorbisComments(std::span<const std::uint8_t> list, const TagEdit& edit, std::vector<std::uint8_t>& out);

}  // namespace tessival::media
