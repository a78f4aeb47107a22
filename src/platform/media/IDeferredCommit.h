#pragma once

#include <memory>

#include "platform/io/GroupCommitter.h"

namespace tessival::media {

// A file sink that can hand its finished output to a committer shared with other graphs instead
// of syncing it on its own, so that many short outputs share their syncs.
class IDeferredCommit {
public:
    virtual ~IDeferredCommit() = default;
    // Set while the graph is stopped; null (the default) commits each output at its end of stream.
    virtual void CommitThrough(std::shared_ptr<GroupCommitter> committer) = 0;
    // The commit of the output that ended cleanly, once the graph has stopped; null when the
    // output was committed at once, kept as stopped or discarded. Taken once.
    virtual std::shared_ptr<PendingCommit> TakePendingCommit() = 0;
};

}  // namespace tessival::media
