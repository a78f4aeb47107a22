#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/devices/AccurateRipEntry.h"
#include "platform/devices/TrackRip.h"

namespace tessival {

// The log of one disc's rip: the disc, its ids, the read offset, and one line per track read with
// its position, test and copy CRCs, AccurateRip v1 and v2 checksums and what reading it cost.
// "All tracks accurately ripped" is written only when AccurateRip confirmed every audio track of
// the disc; without that the log says that the rip is not proven.
class RipLog {
public:
    // What asking AccurateRip about the disc gave.
    struct Lookup {
        bool asked = false;
        bool reached = false;  // the service answered (a disc it does not know included)
        std::optional<AccurateRipEntry> entry;
    };

    explicit RipLog(DiscToc disc) : disc_(std::move(disc)) {}
    static Lookup LookUp(const DiscToc& disc, const std::string& baseUrl);
    void SetLookup(Lookup lookup) { lookup_ = std::move(lookup); }

    // Adds the track, replacing an earlier line of the same track.
    void Record(const TrackRip& rip) { tracks_[rip.number] = rip; }
    std::string Text() const;

    // The log's file name for a disc: "NAME.log" after the image's name or the drive's node.
    static std::string FileName(const std::string& discSource);

private:
    std::string LookupText() const;

    DiscToc disc_;
    std::map<int, TrackRip> tracks_;
    Lookup lookup_;
};

// The logs of a run, one a disc and destination folder: each track recorded rewrites its log as
// NAME.log in that folder, so the log on disk always lists what was ripped so far. Any thread.
class RipLogBook {
public:
    static RipLogBook& Shared();
    // 0 or the errno of writing the log. A disc's first track looks the disc up when the settings
    // ask for it.
    int Record(const TrackRip& rip, const std::string& folder);

private:
    std::mutex mutex_;
    std::map<std::pair<std::string, std::string>, RipLog> logs_;  // by disc source and folder
};

}  // namespace tessival
