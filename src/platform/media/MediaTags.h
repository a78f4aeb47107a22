#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessival::media {

// A picture a file carries beside its front cover (back cover, booklet, artist...).
struct MediaPicture {
    std::vector<std::uint8_t> data;  // the picture file's bytes
    std::string mime;                // "image/jpeg" or "image/png"
    int type = 0;                    // the ID3v2/FLAC picture type: 4 back cover, 8 artist, ...
    std::string description;
    int width = 0;
    int height = 0;
};

// What a file says about its music and its front cover. The nine main fields are under
// libavformat's generic keys ("title", "artist", "album", "album_artist", "track", "disc",
// "date", "genre", "comment"), every other field under its Vorbis comment name ("COMPOSER",
// "REPLAYGAIN_TRACK_GAIN", "MUSICBRAINZ_TRACKID", ...; see TagMapping.h) or, for a text no
// tag format names, its own. A field with several values (two artists) appears once per value.
struct MediaTags {
    std::vector<std::pair<std::string, std::string>> fields;
    std::vector<std::uint8_t> cover;                          // the picture file's bytes
    std::string coverMime;                                    // "image/jpeg" or "image/png"
    int coverWidth = 0;                                       // from the picture's own header
    int coverHeight = 0;
    std::vector<MediaPicture> otherPictures;

    bool Empty() const { return fields.empty() && cover.empty(); }
    // The first value of a key; empty when absent.
    std::string Get(const std::string& key) const;
    // Every value of a key, in order.
    std::vector<std::string> GetAll(const std::string& key) const;
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
