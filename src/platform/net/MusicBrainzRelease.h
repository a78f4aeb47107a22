#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessival {

// What MusicBrainz says of the release a disc belongs to: its title, artist and date, and the
// title and artist of each track of the disc's medium, in the medium's order (the disc's audio
// tracks).
struct MusicBrainzRelease {
    struct Track {
        std::string title;
        std::string artist;
    };
    std::string album;
    std::string albumArtist;
    std::string date;
    std::vector<Track> tracks;

    // From the JSON answer to /ws/2/discid/ID?inc=recordings+artist-credits&fmt=json: the first
    // release with a medium that holds the disc id. Empty when there is none or the JSON is not
    // such an answer.
    static std::optional<MusicBrainzRelease> Parse(const std::string& json, const std::string& discId);

    // The release of a disc id, asked of the service at `baseUrl` at most once a second and once a
    // process per disc id. Any thread; waits for the second to pass.
    static std::optional<MusicBrainzRelease> LookUp(const std::string& baseUrl, const std::string& discId);
};

}  // namespace tessival
