#pragma once

#include <string>

#include "platform/io/UniqueFd.h"

namespace tessival {

// An advisory lock (flock) on a file that its writers replace by renaming a new file over it (a
// list file), held while a process reads, changes and writes the file back, so that others doing
// the same wait their turn instead of writing over each other's changes. A lock taken on a file
// that was replaced meanwhile is taken again on the new one. Released when the object goes.
class ReplacedFileLock {
public:
    ReplacedFileLock() = default;

    // Waits for the lock on `path`, following links, creating an empty file when none exists.
    // 0, an errno value, or EINVAL when the name is not a regular file (a FIFO is not opened).
    int Acquire(const std::string& path);
    // Takes the lock as Acquire does only if no one holds it: EWOULDBLOCK when someone does.
    int TryAcquire(const std::string& path);
    bool Held() const { return fd_.Valid(); }

private:
    int Take(const std::string& path, bool wait);

    UniqueFd fd_;
};

}  // namespace tessival
