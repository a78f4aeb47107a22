#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/media/MediaTags.h"

namespace tessival::media {

// Adds the fields of an iTunes item list (the ilst box's contents) to tags under their MediaTags
// keys (see TagMapping.h): each data atom of an item is one value, freeform ("----") items give
// their name's field, trkn and disk their number and total, tmpo and cpil their numbers. Cover
// art is left to the caller. A damaged list gives the items before the damage.
void ParseMp4Ilst(std::span<const std::uint8_t> items, MediaTags& tags);

// The contents of an MP4 file's item list (moov/udta/meta/ilst); none when the file is no MP4
// file or has no list.
std::optional<std::vector<std::uint8_t>> ReadMp4Ilst(const std::string& path);

}  // namespace tessival::media
