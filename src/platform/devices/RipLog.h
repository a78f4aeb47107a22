#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/devices/TrackRip.h"

namespace tessival {

// The log of one disc's rip: the disc, its ids, the read offset, and one line per track read with
// its position, test and copy CRCs, AccurateRip v1 and v2 checksums and what reading it cost.
// "All tracks accurately ripped" is written only when AccurateRip confirmed every track; without
// a confirmation the log says that the rip is not proven.
class RipLog {
public:
    explicit RipLog(DiscToc disc) : disc_(std::move(disc)) {}

    // Adds the track, replacing an earlier line of the same track.
    void Record(const TrackRip& rip) { tracks_[rip.number] = rip; }
    std::string Text() const;

    // The log's file name for a disc: "NAME.log" after the image's name or the drive's node.
    static std::string FileName(const std::string& discSource);

private:
    DiscToc disc_;
    std::map<int, TrackRip> tracks_;
};

// The logs of a run, one a disc and destination folder: each track recorded rewrites its log as
// NAME.log in that folder, so the log on disk always lists what was ripped so far. Any thread.
class RipLogBook {
public:
    static RipLogBook& Shared();
    // 0 or the errno of writing the log.
    int Record(const TrackRip& rip, const std::string& folder);

private:
    std::mutex mutex_;
    std::map<std::pair<std::string, std::string>, RipLog> logs_;  // by disc source and folder
};

}  // namespace tessival
