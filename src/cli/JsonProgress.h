#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "engine/BatchProgress.h"
#include "joblist/ItemList.h"

namespace tessival::cli {

// Writes a run's changes as one JSON object a line, for scripts and schedulers:
//   {"item":3,"status":"Complete(2s)","elapsed":2.04,"output":"/music/a.mp3"}
//   {"item":4,"status":"Error: ...","elapsed":0.01,"output":"...","error":137}
//   {"item":3,"position":12.40,"duration":40.00,"elapsed":1.52}   while item 3 converts
//   {"item":5,"status":"Skipped (up to date)","elapsed":0.00,"output":"...","skipped":true}
//   {"finished":"Convert Complete!","id":125,"failed":0,"items":12}
// Not thread-safe: the caller serialises the calls.
class JsonProgress {
public:
    // listPositions: each item's place in its list file, when the items are a part of it (a
    // shard); empty when they are the whole list.
    JsonProgress(const ItemList& items, const std::vector<int>& listPositions)
        : items_(items), listPositions_(listPositions) {}

    // A row's new status; failed marks the item's error text, whose string id the line carries.
    std::string StatusLine(int index, const std::string& status, bool failed);
    // failed of ran items ended with an error.
    std::string FinishedLine(int messageId, std::size_t failed, std::size_t ran) const;
    // How far a running item is; position and duration are null while unknown (a recording has
    // no duration).
    std::string PositionLine(const RunningItem& item);

private:
    double ElapsedSeconds(int index, const std::string& status);

    const ItemList& items_;
    const std::vector<int>& listPositions_;
    std::map<int, std::chrono::steady_clock::time_point> started_;
};

// The number an item shows (its place in the list file, from 1) for its index among the items run.
inline int ItemNumber(const std::vector<int>& listPositions, int index) {
    const bool mapped = index >= 0 && static_cast<std::size_t>(index) < listPositions.size();
    return (mapped ? listPositions[static_cast<std::size_t>(index)] : index) + 1;
}

// text as a JSON string literal; a byte that is not part of valid UTF-8 is written as the lone
// surrogate \udc80-\udcff (Python's surrogateescape), so file names survive the trip byte for byte.
std::string JsonString(const std::string& text);

}  // namespace tessival::cli
