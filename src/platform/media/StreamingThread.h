#pragma once

#include <atomic>
#include <functional>
#include <thread>

namespace tessival::media {

// The one streaming thread of a source or parser: calls step until it returns false or Stop is
// requested. Steps should be short (a few milliseconds) so that Stop joins promptly.
class StreamingThread {
public:
    StreamingThread() = default;
    ~StreamingThread();
    StreamingThread(const StreamingThread&) = delete;
    StreamingThread& operator=(const StreamingThread&) = delete;

    void Start(std::function<bool()> step);
    // Requests the end and joins. Not to be called from the streaming thread itself.
    void Stop();
    bool StopRequested() const { return stopRequested_.load(std::memory_order_relaxed); }

private:
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
};

}  // namespace tessival::media
