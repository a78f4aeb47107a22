#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/devices/DiscLayout.h"

namespace tessival {

// What a cue sheet says, line by line, before any file it names is looked at. Both readers of
// cue sheets start here: the disc image reader (raw sector files) and the album reader (one or
// more audio files). Texts are UTF-8 whatever the sheet's encoding (UTF-8 with or without a
// byte-order mark, or Windows-1252); FILE names keep the sheet's own bytes, since they name files
// on this disk as they are. Times are CD frames (1/75 s).
struct CueSheet {
    struct File {
        std::string name;
        std::string type;  // upper-cased: BINARY, MOTOROLA, WAVE, FLAC, MP3, ...
    };

    struct Track {
        int number = 0;
        std::string mode;  // upper-cased: AUDIO, MODE1/2352, ...
        int file = -1;     // the FILE in force at its TRACK line; -1 before any
        std::int64_t index0 = -1, index1 = -1;
        int index0File = -1, index1File = -1;  // the FILE in force at each INDEX line
        int index1Line = 0;                    // the line (from 1) of its INDEX 01, readable or not
        std::int64_t pregap = 0, postgap = 0;  // silence the sheet adds
        std::string isrc;
        DiscLayout::Text text;

        bool Audio() const { return mode == "AUDIO"; }
        // Its INDEX 01 line gives a time that cannot be read.
        bool UnreadableIndex1() const { return index1Line > 0 && index1 < 0; }
    };

    std::vector<File> files;
    std::vector<Track> tracks;  // every TRACK line with a number from 0 to 99, in sheet order
    DiscLayout::Text discText;
    std::string catalog;
    std::string date;     // REM DATE
    std::string discId;   // REM DISCID
    std::string comment;  // REM COMMENT
    // The first line (from 1) that a strict reader refuses: a TRACK before any FILE, out of order
    // or of an unknown mode, a malformed FILE, INDEX or gap, an INDEX outside its track's file.
    // 0 when there is none.
    int firstBadLine = 0;

    // Every FILE holds raw sectors (BINARY or MOTOROLA): the sheet of a disc image.
    bool OverRawSectors() const;
};

CueSheet ParseCueSheet(std::string_view bytes);

}  // namespace tessival
