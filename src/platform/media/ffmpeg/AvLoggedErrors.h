#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace tessival::media {

// Counts the errors FFmpeg logs for one of its contexts while it is watched. Some demuxers skip
// damage by scanning ahead to the next packet they recognise and say so only in their log, so
// the log is the one place that damage shows. Messages still print (or not) at FFmpeg's level.
// Any thread may log; the count is read on any thread.
class AvLoggedErrors {
public:
    AvLoggedErrors() = default;
    ~AvLoggedErrors();
    AvLoggedErrors(const AvLoggedErrors&) = delete;
    AvLoggedErrors& operator=(const AvLoggedErrors&) = delete;

    // Counts from zero the errors logged for context from now on, until Stop or destruction.
    void Watch(const void* context);
    void Stop();
    std::int64_t Count() const { return count_ ? count_->load() : 0; }

private:
    const void* context_ = nullptr;
    std::shared_ptr<std::atomic<std::int64_t>> count_;
};

}  // namespace tessival::media
