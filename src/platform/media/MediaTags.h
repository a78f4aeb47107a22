#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessival::media {

// What a file says about its music, under libavformat's generic keys ("title", "artist", "album",
// "album_artist", "track", "disc", "date", "genre", "comment"), and its front cover.
struct MediaTags {
    std::vector<std::pair<std::string, std::string>> fields;  // in the order of the keys above
    std::vector<std::uint8_t> cover;                          // the picture file's bytes
    std::string coverMime;                                    // "image/jpeg" or "image/png"
    int coverWidth = 0;                                       // from the picture's own header
    int coverHeight = 0;

    bool Empty() const { return fields.empty() && cover.empty(); }
    // The value of a generic key; empty when absent.
    std::string Get(const std::string& key) const;
};

// The tags of a media file (ID3v1/v2, Vorbis comments, MP4 atoms, RIFF INFO, ...) and its first
// attached picture; nothing when the file is not a regular file, cannot be opened or carries none.
MediaTags ReadMediaTags(const std::string& path);

// Sinks that write tags into their file; set before the graph runs.
class ITagSink {
public:
    virtual ~ITagSink() = default;
    virtual void SetTags(const MediaTags& tags) = 0;
};

}  // namespace tessival::media
