#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/devices/CueSheet.h"
#include "platform/io/TrackPath.h"

namespace tessival {

// An album rip described by a cue sheet over audio files (one file for the album, or one a
// track): each audio track's file beside the sheet and its stretch of it in CD frames.
struct CueAlbum {
    struct Track {
        std::size_t sheetTrack = 0;  // into sheet.tracks
        std::string audioFile;
        TrackRange range;
    };

    std::string cuePath;
    CueSheet sheet;
    std::vector<Track> tracks;  // audio tracks with an INDEX 01, in sheet order
    // The first line (from 1) whose INDEX 01 time cannot be read, 0 when there is none: a track
    // that would silently go missing.
    int unreadableIndexLine = 0;
    // A track that ends at or before its start: the sheet cannot be cut as it says.
    bool overlapping = false;

    const CueSheet::Track& SheetTrack(const Track& track) const { return sheet.tracks[track.sheetTrack]; }
    // The number of the album's last audio track: the total a track's number is out of.
    int LastTrackNumber() const;
};

// The album a cue sheet describes; nullopt when the sheet cannot be read, names raw sector files
// (a disc image), or holds no audio track and no INDEX 01 line of one.
//
// A track runs from its INDEX 01 up to the next track's INDEX 01 in the same file, or to its
// file's end, so the gap before a track that the rip left in the previous file stays there. A
// track that starts a later file of the sheet keeps what its file holds before its INDEX 01 (its
// pregap), since no track of that file could carry it.
std::optional<CueAlbum> ReadCueAlbum(const std::string& cuePath);

// The album track that a source location names: looked for among the cue sheets in its file's
// folder, as `add` would have cut them. Nullopt when no sheet there has that track.
std::optional<std::pair<CueAlbum, std::size_t>> FindCueAlbumTrack(const SourceLocation& location);

}  // namespace tessival
