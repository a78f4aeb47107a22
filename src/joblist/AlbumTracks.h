#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "joblist/ConvertItem.h"
#include "platform/devices/DiscProblem.h"

namespace tessival {

// An album rip added through its cue sheet becomes one item per track: the source is the
// track's audio file with its frame range (see TrackPath and CueAlbum for where a track starts
// and ends), the type "CUE", the names "NN - Title". A cue sheet over a disc image (BINARY), one that cannot be read, and every item
// that is not a cue sheet stay as they are.
//
// A sheet with an INDEX 01 time that cannot be read, or a track that starts at or after the end
// of its audio file (by `durationOf`, in seconds, when it can tell), adds nothing: `problems`
// says which line.
using DurationOf = std::function<std::optional<double>(const std::string& path)>;
std::vector<ConvertItem> ExpandAlbumTracks(const std::vector<ConvertItem>& items, std::vector<DiscProblem>& problems,
                                           const DurationOf& durationOf = {});

}  // namespace tessival
