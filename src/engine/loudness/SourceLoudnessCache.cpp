#include "engine/loudness/SourceLoudnessCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/io/UniqueFd.h"
#include "platform/media/filters/analysis/FileLoudness.h"

namespace tessival {
namespace {

std::string DefaultCacheFile() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    const std::string base = xdg && *xdg ? xdg : std::string(home ? home : "/tmp") + "/.cache";
    return base + "/tessival/loudness";
}

}  // namespace

SourceLoudnessCache::SourceLoudnessCache(std::string cacheFile) : file_(std::move(cacheFile)) {}

SourceLoudnessCache& SourceLoudnessCache::Shared() {
    static SourceLoudnessCache cache(DefaultCacheFile());
    return cache;
}

// Lines: size, mtime, integrated, range, true peak, sample peak, then the path to the line's end.
void SourceLoudnessCache::Load() {
    std::ifstream in(file_);
    for (std::string line; std::getline(in, line);) {
        Entry entry{};
        int pathAt = 0;
        // sscanf reads "-inf", the loudness of silence, where streams do not.
        if (std::sscanf(line.c_str(), "%lld %lld %lf %lf %lf %lf\t%n", &entry.size, &entry.mtime, &entry.reading.integrated,
                        &entry.reading.range, &entry.reading.truePeak, &entry.reading.samplePeak, &pathAt) < 6 ||
            pathAt == 0 || static_cast<std::size_t>(pathAt) >= line.size())
            continue;
        entries_[line.substr(static_cast<std::size_t>(pathAt))] = entry;
    }
}

void SourceLoudnessCache::Append(const std::string& path, const Entry& entry) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), ignored);
    UniqueFd fd(::open(file_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (!fd.Valid()) return;  // a cache that cannot be kept only costs another pass
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "%lld %lld %.17g %.17g %.17g %.17g\t", entry.size, entry.mtime,
                  entry.reading.integrated, entry.reading.range, entry.reading.truePeak, entry.reading.samplePeak);
    const std::string line = numbers + path + "\n";
    // One write, so that lines of several processes never interleave.
    [[maybe_unused]] const ssize_t written = ::write(fd.Get(), line.data(), line.size());
}

std::optional<media::LoudnessReading> SourceLoudnessCache::Measure(const std::string& path, const std::atomic<bool>& stop) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    const Entry wanted{static_cast<long long>(info.st_size),
                       static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec, {}};
    {
        std::lock_guard lock(mutex_);
        if (!loaded_) Load();
        loaded_ = true;
        const auto found = entries_.find(path);
        if (found != entries_.end() && found->second.size == wanted.size && found->second.mtime == wanted.mtime)
            return found->second.reading;
    }
    media::LoudnessMeter meter;
    if (media::MeasureFileLoudness(path, meter, &stop) != media::S_OK) return std::nullopt;
    Entry entry = wanted;
    entry.reading = meter.Reading();
    Append(path, entry);
    std::lock_guard lock(mutex_);
    entries_[path] = entry;
    return entry.reading;
}

}  // namespace tessival
