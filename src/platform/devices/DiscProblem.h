#pragma once

#include <string>

namespace tessival {

// Why a disc, a disc image or one of its tracks cannot be read. The layers above turn it into a
// text for the user; `source` is the device node or image file concerned.
struct DiscProblem {
    enum class Kind {
        None,
        NoDisc,            // the drive is empty (or holds no disc it can read)
        ImageMissing,      // the disc image file itself is gone
        DataFileMissing,   // a file that the cue sheet or toc file names is gone (detail: its name)
        BadImage,          // not a disc image libcdio can open: a malformed cue sheet, a damaged file
        NoSuchTrack,       // the disc has no audio track of that number
        UnreadableSector,  // a sector of the track stays unreadable after the retries
        NoPermission,      // the image or a file it names may not be read (detail: its name)
        EmptyTrack,        // the image gives the track no sectors
        TrackPastEnd,      // the track starts past the end of the image's data
        TestCopyDiffer,    // the test and the copy read differ (detail, detail2: their CRCs)
        CueIndexUnreadable,  // an album's cue sheet gives an INDEX 01 time that cannot be read (line)
        CueTrackPastEnd,     // an album's cue sheet starts a track after its file's end (line)
    };

    Kind kind = Kind::None;
    std::string source;
    std::string detail;
    std::string detail2;
    int track = 0;
    int secondsIntoTrack = 0;  // where the unreadable sector lies
    int line = 0;              // the cue sheet's line concerned, from 1

    explicit operator bool() const { return kind != Kind::None; }
};

}  // namespace tessival
