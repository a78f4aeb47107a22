#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

// The loudness of source files from a first pass over each, kept by path, size and modification
// time in $XDG_CACHE_HOME/tessival/loudness (~/.cache without it), so that converting a library
// again measures only what changed. Safe from several workers and processes at once: entries are
// appended whole, the last one for a file counts.
class SourceLoudnessCache {
public:
    explicit SourceLoudnessCache(std::string cacheFile);
    static SourceLoudnessCache& Shared();

    // Nothing when the file has no audio that decodes, or when stop was set meanwhile.
    std::optional<media::LoudnessReading> Measure(const std::string& path, const std::atomic<bool>& stop);

private:
    struct Entry {
        long long size;
        long long mtime;  // nanoseconds
        media::LoudnessReading reading;
    };
    void Load();
    void Append(const std::string& path, const Entry& entry);

    std::string file_;
    std::mutex mutex_;
    bool loaded_ = false;                  // guarded by mutex_
    std::map<std::string, Entry> entries_;  // guarded by mutex_
};

}  // namespace tessival
