#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/media/HResult.h"
#include "platform/media/MediaSample.h"

namespace tessival::media {

// Hands one stream's samples from the thread that makes them to a thread of its own that works
// on them, through a bounded queue: the maker runs at most `limit` bytes ahead (plus the sample
// it hands over), so memory stays flat however long the stream. Samples and the end of the
// stream arrive in the order they were pushed; after the consumer's first failure nothing more
// is worked on and every push returns that failure.
//
// Threads: Start and Finish from the thread that drives the filter's state; Push and
// PushEndOfStream from the one streaming thread upstream; the consumer's calls on the thread this
// object owns.
class SampleHandoff {
public:
    struct Consumer {
        std::function<HRESULT(MediaSample&)> sample;
        std::function<HRESULT()> endOfStream;
        // The first failure of either, unless it came while finishing.
        std::function<void(HRESULT)> failed;
    };

    SampleHandoff() = default;
    ~SampleHandoff();
    SampleHandoff(const SampleHandoff&) = delete;
    SampleHandoff& operator=(const SampleHandoff&) = delete;

    void Start(std::size_t limit, Consumer consumer);
    // Waits for room, then queues the sample: its data becomes the queue's, and the sample gets a
    // spent buffer (empty) in exchange. The consumer's failure once there is one;
    // VFW_E_WRONG_STATE when not started or finishing.
    HRESULT Push(MediaSample& sample);
    HRESULT PushEndOfStream();
    // Lets the consumer work off what is queued (a stop keeps what was made before it), then
    // joins its thread. Pushes waiting for room return at once.
    void Finish();

private:
    struct Entry {
        MediaSample sample;
        bool end = false;
    };

    void Consume();
    HRESULT Work(Entry& entry);
    void Settle(Entry& entry, HRESULT hr);

    Consumer consumer_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable room_;
    std::condition_variable work_;
    // Guarded by mutex_.
    std::deque<Entry> queue_;
    std::vector<std::vector<std::uint8_t>> spare_;  // buffers to hand back to the maker
    std::size_t queuedBytes_ = 0;
    std::size_t limit_ = 0;
    bool open_ = false;       // started and not finishing
    bool finishing_ = false;
    HRESULT failure_ = S_OK;
};

}  // namespace tessival::media
