#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/io/AtomicFile.h"
#include "platform/io/PendingCommit.h"

namespace tessival {

// Commits finished AtomicFiles on a thread of its own, many at a time: the files that are
// ready together are written to the disk together, then renamed into place, then each folder
// is synced once. A file never has its destination's name before its bytes are on the disk,
// yet a thousand short outputs pay for a few syncs instead of two thousand.
//
// A file waits for others to join it for at most the gather time, and not at all once somebody
// waits for its commit (PendingCommit::Wait) or asks for it (CommitQueuedNow).
//
// Threads: Submit from any thread. Callers go on at once; a caller waits only while
// kMaxWaiting files are queued already (each holds a file descriptor). The destructor commits
// everything submitted before it returns.
class GroupCommitter : public std::enable_shared_from_this<GroupCommitter> {
public:
    // Files that arrive within this time of the first of a batch share its syncs. Nobody waits
    // for it but the item's final status: a worker goes on with its next item at once.
    static constexpr std::chrono::milliseconds kGatherTime{20};
    static constexpr std::size_t kMaxBatch = 128;
    static constexpr std::size_t kMaxWaiting = 256;

    explicit GroupCommitter(std::chrono::milliseconds gatherTime = kGatherTime) : gatherTime_(gatherTime) {}
    ~GroupCommitter();
    GroupCommitter(const GroupCommitter&) = delete;
    GroupCommitter& operator=(const GroupCommitter&) = delete;

    // Takes an open AtomicFile whose bytes are all written and commits it soon.
    std::shared_ptr<PendingCommit> Submit(AtomicFile file);
    // Commits the files queued now without waiting for more to join them: for a caller about to
    // wait for one of them, or that has no more to submit.
    void CommitQueuedNow();

private:
    struct Waiting {
        AtomicFile file;
        std::shared_ptr<PendingCommit> pending;
        int error = 0;
    };

    void ThreadProc();
    // The next batch, once the first file has waited gatherTime_ or the batch is full; empty
    // when the committer is closing and nothing is left.
    std::vector<Waiting> TakeBatch();
    static void CommitBatch(std::vector<Waiting>& batch);

    const std::chrono::milliseconds gatherTime_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::condition_variable roomMade_;
    std::deque<Waiting> queue_;                       // guarded by mutex_
    std::chrono::steady_clock::time_point oldest_{};  // when queue_'s first file came; guarded by mutex_
    bool closing_ = false;                            // guarded by mutex_
    bool hurried_ = false;  // the queued files go without gathering; guarded by mutex_
    std::thread thread_;  // started by the first Submit
};

}  // namespace tessival
