#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tessival {

// One track of a one-file album: a stretch of the file in CD frames (1/75 s), from firstFrame up
// to endFrame (excluded; -1: to the end of the file).
struct TrackRange {
    std::int64_t firstFrame = 0;
    std::int64_t endFrame = -1;
};

// Where an item's audio is: a file, and for an album track the stretch of it to convert. This is
// the form the engine and the media layer pass around.
struct SourceLocation {
    std::string file;
    std::optional<TrackRange> track;
};

// In a list record a track is stored as its file's path with a suffix, "album.flac#frames=150-22575",
// so that it fits the record's one path field. These two convert between that stored form and
// SourceLocation; nothing past the record boundary parses the suffix.
std::string MakeTrackPath(const std::string& file, const TrackRange& range);
// A path without a well-formed suffix, or naming a file that really exists under the whole name,
// is a plain file.
SourceLocation LocateSource(const std::string& recordPath);

}  // namespace tessival
