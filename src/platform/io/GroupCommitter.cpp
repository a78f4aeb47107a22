#include "platform/io/GroupCommitter.h"

#include <map>
#include <string>

namespace tessival {
namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

GroupCommitter::~GroupCommitter() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    arrived_.notify_all();
    if (thread_.joinable()) thread_.join();
}

std::shared_ptr<PendingCommit> GroupCommitter::Submit(AtomicFile file) {
    // A whole output may wait a while for its batch; killed meanwhile, it is not a partial one.
    file.MarkWritten();
    // A committer not held by a shared_ptr lets its waiters wait out the gathering.
    auto pending = std::make_shared<PendingCommit>([committer = weak_from_this()] {
        if (const auto alive = committer.lock()) alive->CommitQueuedNow();
    });
    {
        std::unique_lock lock(mutex_);
        roomMade_.wait(lock, [this] { return queue_.size() < kMaxWaiting; });
        if (queue_.empty()) oldest_ = std::chrono::steady_clock::now();
        queue_.push_back({std::move(file), pending, 0});
        if (!thread_.joinable()) thread_ = std::thread(&GroupCommitter::ThreadProc, this);
    }
    arrived_.notify_one();
    return pending;
}

void GroupCommitter::CommitQueuedNow() {
    {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return;
        hurried_ = true;
    }
    arrived_.notify_one();
}

void GroupCommitter::ThreadProc() {
    for (;;) {
        std::vector<Waiting> batch = TakeBatch();
        if (batch.empty()) return;
        CommitBatch(batch);
        for (Waiting& done : batch) done.pending->Settle(done.error);
    }
}

std::vector<GroupCommitter::Waiting> GroupCommitter::TakeBatch() {
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [this] { return !queue_.empty() || closing_; });
    // A closing committer has no more files to wait for.
    arrived_.wait_until(lock, oldest_ + gatherTime_,
                        [this] { return queue_.size() >= kMaxBatch || closing_ || hurried_; });
    std::vector<Waiting> batch;
    while (!queue_.empty() && batch.size() < kMaxBatch) {
        batch.push_back(std::move(queue_.front()));
        queue_.pop_front();
    }
    oldest_ = std::chrono::steady_clock::now();
    if (queue_.empty()) hurried_ = false;
    lock.unlock();
    roomMade_.notify_all();
    return batch;
}

// Every file's writing starts before the first sync waits, so the syncs after it find little
// or nothing left to do; the renames follow, and each folder is synced once for all of them.
void GroupCommitter::CommitBatch(std::vector<Waiting>& batch) {
    for (Waiting& file : batch) file.error = file.file.PrepareCommit();
    for (Waiting& file : batch)
        if (!file.error) file.error = file.file.SyncData();
    for (Waiting& file : batch)
        if (!file.error) file.error = file.file.MoveIntoPlace();
    std::map<std::string, int> folders;  // each folder's sync, by folder
    for (Waiting& file : batch) {
        if (file.error) continue;
        const std::string& destination = file.file.Destination();
        const auto [folder, fresh] = folders.try_emplace(FolderOf(destination));
        if (fresh) folder->second = SyncContainingFolder(destination);
        file.error = folder->second;
    }
}

}  // namespace tessival
