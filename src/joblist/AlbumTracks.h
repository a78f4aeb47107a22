#pragma once

#include <vector>

#include "joblist/ConvertItem.h"

namespace tessival {

// A one-file album rip added through its cue sheet becomes one item per track: the source is
// the album's audio file with the track's frame range (see TrackPath), from its INDEX 01 up to
// the next track's INDEX 01 in the same file (or the file's end), the type "CUE", the names
// "NN - Title". A cue sheet over a disc image (BINARY), one that cannot be read, and every item
// that is not a cue sheet stay as they are.
std::vector<ConvertItem> ExpandAlbumTracks(const std::vector<ConvertItem>& items);

}  // namespace tessival
