#include "platform/io/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace tessival {

UniqueFd OpenRegularFile(const std::string& path, int& error) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0) {
        error = errno;
        return UniqueFd();
    }
    if (!S_ISREG(info.st_mode)) {
        error = EINVAL;
        return UniqueFd();
    }
    // Reads of a regular file never wait anyway; the flag only has to keep the open from waiting.
    ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    error = 0;
    return fd;
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes, int& error) {
    const UniqueFd fd = OpenRegularFile(path, error);
    if (!fd.Valid()) return std::nullopt;
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = errno;
            return std::nullopt;
        }
        if (got == 0) return text;
        if (text.size() + static_cast<std::size_t>(got) > maxBytes) {
            error = EFBIG;
            return std::nullopt;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

bool IsSpecialFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

}  // namespace tessival
