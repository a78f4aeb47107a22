#include "platform/media/SampleHandoff.h"

#include <algorithm>

namespace tessival::media {
namespace {

// Enough to give the maker a used buffer back for every sample in flight.
constexpr std::size_t kSpareBuffers = 4;

}  // namespace

SampleHandoff::~SampleHandoff() { Finish(); }

void SampleHandoff::Start(std::size_t limit, Consumer consumer) {
    Finish();
    consumer_ = std::move(consumer);
    {
        std::lock_guard lock(mutex_);
        limit_ = std::max<std::size_t>(limit, 1);
        open_ = true;
        finishing_ = false;
        failure_ = S_OK;
    }
    thread_ = std::thread([this] { Consume(); });
}

HRESULT SampleHandoff::Push(MediaSample& sample) {
    std::unique_lock lock(mutex_);
    // A full queue lets the maker go on once it is half empty, not at every sample taken from it:
    // the two threads then wake each other once per half a queue, not once per sample.
    if (queuedBytes_ >= limit_)
        room_.wait(lock, [this] { return !open_ || FAILED(failure_) || queuedBytes_ <= limit_ / 2; });
    if (FAILED(failure_)) return failure_;
    if (!open_) return VFW_E_WRONG_STATE;
    queuedBytes_ += sample.data.size();
    queue_.push_back({std::move(sample), false});
    sample.data.clear();
    sample.finalHeader.clear();
    if (!spare_.empty()) {
        sample.data = std::move(spare_.back());
        spare_.pop_back();
    }
    lock.unlock();
    work_.notify_one();
    return S_OK;
}

HRESULT SampleHandoff::PushEndOfStream() {
    {
        std::lock_guard lock(mutex_);
        if (FAILED(failure_)) return failure_;
        if (!open_) return VFW_E_WRONG_STATE;
        queue_.push_back({MediaSample{}, true});
    }
    work_.notify_one();
    return S_OK;
}

void SampleHandoff::Finish() {
    {
        std::lock_guard lock(mutex_);
        open_ = false;
        finishing_ = true;
    }
    room_.notify_all();
    work_.notify_all();
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    queue_.clear();  // left only after a failure
    queuedBytes_ = 0;
}

void SampleHandoff::Consume() {
    for (;;) {
        Entry entry;
        bool roomForMaker = false;
        {
            std::unique_lock lock(mutex_);
            work_.wait(lock, [this] { return !queue_.empty() || finishing_; });
            if (queue_.empty()) return;
            entry = std::move(queue_.front());
            queue_.pop_front();
            queuedBytes_ -= entry.sample.data.size();
            roomForMaker = queuedBytes_ <= limit_ / 2;
        }
        if (roomForMaker) room_.notify_one();
        Settle(entry, Work(entry));
    }
}

HRESULT SampleHandoff::Work(Entry& entry) {
    // This thread alone writes failure_, so it reads it without the lock.
    if (FAILED(failure_)) return failure_;
    return entry.end ? consumer_.endOfStream() : consumer_.sample(entry.sample);
}

void SampleHandoff::Settle(Entry& entry, HRESULT hr) {
    bool report = false;
    {
        std::lock_guard lock(mutex_);
        auto& buffer = entry.sample.data;
        if (buffer.capacity() > 0 && spare_.size() < kSpareBuffers) {
            buffer.clear();
            spare_.push_back(std::move(buffer));
        }
        if (FAILED(hr) && SUCCEEDED(failure_)) {
            failure_ = hr;
            // As with a streaming thread: what fails while the graph stops is no error of the stream.
            report = !finishing_;
        }
    }
    if (FAILED(hr)) room_.notify_all();
    if (report && consumer_.failed) consumer_.failed(hr);
}

}  // namespace tessival::media
