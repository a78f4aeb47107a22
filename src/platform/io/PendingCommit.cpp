#include "platform/io/PendingCommit.h"

#include <utility>

namespace tessival {

int PendingCommit::Wait() {
    std::unique_lock lock(mutex_);
    if (!error_ && hurry_) {
        lock.unlock();
        hurry_();
        lock.lock();
    }
    settled_.wait(lock, [this] { return error_.has_value(); });
    return *error_;
}

void PendingCommit::WhenDone(Done done) {
    std::unique_lock lock(mutex_);
    if (!error_) {
        done_ = std::move(done);
        return;
    }
    const int error = *error_;
    lock.unlock();
    done(error);
}

void PendingCommit::Settle(int error) {
    Done done;
    {
        std::lock_guard lock(mutex_);
        error_ = error;
        done = std::exchange(done_, nullptr);
    }
    settled_.notify_all();
    if (done) done(error);
}

}  // namespace tessival
