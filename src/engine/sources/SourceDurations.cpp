#include "engine/sources/SourceDurations.h"

#include <algorithm>

#include "platform/devices/CdDisc.h"
#include "platform/devices/CdTrackPath.h"
#include "platform/io/TrackPath.h"
#include "platform/media/MediaProbe.h"

namespace tessival {
namespace {

constexpr double kCdFramesPerSecond = 75;

// A disc's track from its table of contents, an album file's track from its cue sheet's range
// (the last one runs to the file's end), anything else from its container.
std::optional<double> SourceLength(const std::string& path) {
    std::string drive;
    int number = 0;
    if (ParseTrackPath(path, drive, number)) {
        DiscProblem problem;
        const std::unique_ptr<CdDisc> disc = CdDisc::Open(drive, problem);
        const DiscTrack* track = disc ? disc->FindAudioTrack(number) : nullptr;
        if (!track) return std::nullopt;
        return track->SectorCount() / kCdFramesPerSecond;
    }
    if (const SourceLocation album = LocateSource(path); album.track) {
        const TrackRange& range = *album.track;
        const double start = static_cast<double>(range.firstFrame) / kCdFramesPerSecond;
        if (range.endFrame >= 0) return static_cast<double>(range.endFrame - range.firstFrame) / kCdFramesPerSecond;
        const std::optional<double> whole = media::ProbeMediaDuration(album.file);
        if (!whole || *whole <= start) return std::nullopt;
        return *whole - start;
    }
    return media::ProbeMediaDuration(path);
}

}  // namespace

SourceDurations::SourceDurations() : prober_([this](std::stop_token stop) { Probe(stop); }) {}

SourceDurations::Answer SourceDurations::Lookup(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (const auto found = known_.find(path); found != known_.end()) {
        if (!found->second) return {State::Unknown, 0};
        return {State::Known, *found->second};
    }
    if (std::find(queue_.begin(), queue_.end(), path) == queue_.end()) {
        queue_.push_back(path);
        queued_.notify_one();
    }
    return {};
}

void SourceDurations::Probe(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (queued_.wait(lock, stop, [this] { return !queue_.empty(); })) {
        const std::string path = queue_.front();
        lock.unlock();
        const std::optional<double> seconds = SourceLength(path);
        lock.lock();
        queue_.pop_front();
        known_[path] = seconds;
    }
}

}  // namespace tessival
