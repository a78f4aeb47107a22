#include "engine/RunProgress.h"

#include "engine/loudness/ItemLoudness.h"

namespace tessival {

void RunProgress::Attach(std::shared_ptr<media::IMediaPosition> position,
                         std::shared_ptr<media::IAudioLevels> levels, std::shared_ptr<ItemLoudness> loudness) {
    std::lock_guard lock(mutex_);
    position_ = std::move(position);
    levels_ = std::move(levels);
    loudness_ = std::move(loudness);
}

void RunProgress::Detach() { Attach(nullptr, nullptr); }

ProgressSnapshot RunProgress::Read() const {
    // Asked under the lock: the worker detaches before it releases the graph, so nothing is
    // asked of a graph that is being taken apart.
    std::lock_guard lock(mutex_);
    ProgressSnapshot snapshot;
    ReadPositionLocked(snapshot);
    if (levels_) snapshot.peaks = levels_->TakePeakLevels();
    if (loudness_) snapshot.momentaryLufs = loudness_->Momentary();
    return snapshot;
}

ProgressSnapshot RunProgress::ReadPosition() const {
    std::lock_guard lock(mutex_);
    ProgressSnapshot snapshot;
    ReadPositionLocked(snapshot);
    return snapshot;
}

void RunProgress::ReadPositionLocked(ProgressSnapshot& snapshot) const {
    if (!position_) return;
    double seconds = 0;
    if (media::SUCCEEDED(position_->get_CurrentPosition(seconds))) snapshot.positionSeconds = seconds;
    if (media::SUCCEEDED(position_->get_Duration(seconds)) && seconds > 0) snapshot.durationSeconds = seconds;
}

}  // namespace tessival
