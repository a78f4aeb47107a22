#pragma once

#include <unistd.h>

#include <utility>

namespace tessival {

// Owns a POSIX file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now; false when close reported an error (a delayed write failure).
    bool Close() {
        if (fd_ < 0) return true;
        const bool ok = ::close(std::exchange(fd_, -1)) == 0;
        return ok;
    }
    void Reset() { Close(); }

private:
    int fd_ = -1;
};

}  // namespace tessival
