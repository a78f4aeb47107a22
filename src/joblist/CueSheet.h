#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessival {

// What a cue sheet says about its tracks. Times are CD frames (1/75 s).
struct CueTrack {
    int number = 0;
    std::string title;
    std::string file;             // as the FILE line names it
    std::int64_t index01 = -1;    // where the track starts
};

struct CueSheet {
    std::vector<CueTrack> tracks;  // audio tracks with an INDEX 01, in sheet order
    // A FILE of type BINARY or MOTOROLA: a disc image, not an album's audio file.
    bool discImage = false;
};

// Reads the sheet's FILE, TRACK, TITLE and INDEX lines; other lines are ignored. Nullopt when
// the text holds no audio track.
std::optional<CueSheet> ParseCueSheet(std::string_view text);

}  // namespace tessival
