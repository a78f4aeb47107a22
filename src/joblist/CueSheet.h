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
    int indexLine = 0;            // the sheet's line (from 1) that gives it
};

struct CueSheet {
    std::vector<CueTrack> tracks;  // audio tracks with an INDEX 01, in sheet order
    // A FILE of type BINARY or MOTOROLA: a disc image, not an album's audio file.
    bool discImage = false;
    // The first line (from 1) whose INDEX 01 time cannot be read, 0 when there is none: a track
    // that would silently go missing.
    int unreadableIndexLine = 0;
};

// Reads the sheet's FILE, TRACK, TITLE and INDEX lines; other lines are ignored. Nullopt when
// the text holds no audio track and no INDEX 01 line of one.
std::optional<CueSheet> ParseCueSheet(std::string_view text);

}  // namespace tessival
