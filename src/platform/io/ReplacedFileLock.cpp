#include "platform/io/ReplacedFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

namespace tessival {

int ReplacedFileLock::Acquire(const std::string& path) { return Take(path, true); }

int ReplacedFileLock::TryAcquire(const std::string& path) { return Take(path, false); }

int ReplacedFileLock::Take(const std::string& path, bool wait) {
    fd_.Close();
    for (;;) {
        UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666));
        struct stat opened {};
        if (!fd.Valid() || ::fstat(fd.Get(), &opened) != 0) return errno;
        if (!S_ISREG(opened.st_mode)) return EINVAL;
        int locked;
        while ((locked = ::flock(fd.Get(), wait ? LOCK_EX : LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (locked != 0) return errno;
        // The holder before us may have renamed a new file over the one we waited on.
        struct stat named {};
        if (::stat(path.c_str(), &named) != 0) continue;
        if (named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
            fd_ = std::move(fd);
            return 0;
        }
    }
}

}  // namespace tessival
