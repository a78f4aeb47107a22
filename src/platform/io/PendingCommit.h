#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

namespace tessival {

// How the commit of one finished file ended, shared by the GroupCommitter that commits it and
// whoever waits for it. Any thread.
class PendingCommit {
public:
    using Done = std::function<void(int error)>;

    PendingCommit() = default;
    // `hurry` asks the committer to commit now; Wait calls it before it blocks.
    explicit PendingCommit(std::function<void()> hurry) : hurry_(std::move(hurry)) {}

    // Blocks until the file is committed (or has failed to be); 0 or an errno value.
    int Wait();
    // Calls `done` with that result: at once, on the caller's thread, when the commit is over;
    // else on the committer's thread, which `done` should not keep long. Once per commit.
    void WhenDone(Done done);
    // The committer's part: the commit is over.
    void Settle(int error);

private:
    std::mutex mutex_;
    std::condition_variable settled_;
    std::optional<int> error_;  // guarded by mutex_
    Done done_;                 // guarded by mutex_
    const std::function<void()> hurry_;
};

}  // namespace tessival
