#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/MediaTags.h"

namespace tessival::media {

// The iTunes item list of an M4A file, written here because libavformat's MP4 muxer knows only
// some atoms and no freeform ("----") ones: every field goes to its atom (see TagMapping.h),
// several values to several data atoms, ReplayGain, MusicBrainz ids and any text no atom names
// to freeform atoms under com.apple.iTunes. The cover stays with the muxer.
std::vector<std::uint8_t> Mp4IlstItems(const MediaTags& tags);

// Adds items at the end of the item list in a moov box (udta/meta/ilst, made when missing) and
// grows the sizes of the boxes around it; false when the box cannot be read as a moov.
bool AddToMoovIlst(std::vector<std::uint8_t>& moov, const std::vector<std::uint8_t>& items);

}  // namespace tessival::media
