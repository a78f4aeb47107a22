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

// A track travels as its file's path with a suffix, "album.flac#frames=150-22575", so that it
// fits wherever a path does (the item record, the list file, a graph's source filter).
std::string MakeTrackPath(const std::string& file, const TrackRange& range);

// The file and range of a track path; nullopt for a plain path. A file that really exists under
// the whole name is taken as a plain path.
struct TrackLocation {
    std::string file;
    TrackRange range;
};
std::optional<TrackLocation> ParseTrackPath(const std::string& path);

// The file to open for a path, track or not.
std::string SourceFileOf(const std::string& path);

}  // namespace tessival
