#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/devices/DiscProblem.h"

namespace tessival {

// What a cue sheet or a cdrdao toc file says a disc holds, in disc order: which bytes of which
// file (or silence) make up each stretch of the disc, where each track starts, and the text that
// comes with it. Positions are in bytes of CD audio (2352 a sector) from the disc's sector 0.
struct DiscLayout {
    static constexpr std::int64_t kSectorBytes = 2352;

    struct File {
        std::string name;  // as the sheet writes it
        std::string path;  // resolved against the sheet's folder
    };

    // One stretch of the disc. Audio of a file is read from `fileOffset` on; silence (file -1)
    // reads as zeros; a data track's stretch (file -2) is never read as audio.
    struct Segment {
        static constexpr int kSilence = -1;
        static constexpr int kData = -2;
        std::int64_t discStart = 0;
        std::int64_t length = 0;
        int file = kSilence;
        std::int64_t fileOffset = 0;
        bool bigEndian = false;
    };

    struct Text {
        std::string title;
        std::string performer;
        std::string songwriter;
        std::string genre;
    };

    struct Track {
        int number = 0;
        bool audio = true;
        std::int32_t firstSector = 0;  // its index 1
        std::int32_t lastSector = -1;  // inclusive; below firstSector for a track of no length
        std::string isrc;
        Text text;
    };

    std::vector<File> files;
    std::vector<Segment> segments;
    std::vector<Track> tracks;
    Text discText;
    std::string catalog;
    std::string date;     // REM DATE
    std::string discId;   // REM DISCID
    std::string comment;  // REM COMMENT

    // The first sector past the disc's last segment, a sector that a file holds only in part counted.
    std::int32_t EndSector() const;
};

// Converts text in the sheet's encoding to UTF-8: UTF-8 stays (a byte-order mark is dropped), and
// anything else is taken as Windows-1252, the code page Windows rippers write sheets in.
std::string SheetTextToUtf8(const std::string& bytes);

// Reads a whole cue sheet or toc file; ImageMissing or NoPermission when it cannot.
DiscProblem ReadSheetFile(const std::string& path, std::string& bytes);
// DataFileMissing or NoPermission (detail: `name`) unless `path` is a regular file this process may read.
DiscProblem CheckImageFile(const std::string& path, const std::string& name);

}  // namespace tessival
