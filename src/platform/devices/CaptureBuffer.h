#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace tessival {

// The bounded hand-over between a device's thread (Push) and the reader (Take). When the reader
// falls behind, the newest bytes that do not fit are dropped and counted; a recording never
// blocks the device and never grows without bound.
class CaptureBuffer {
public:
    CaptureBuffer(std::size_t capacityBytes, std::size_t frameBytes);

    void Push(std::span<const std::uint8_t> bytes);
    // Marks the end of the recording (the reason is empty for a normal end).
    void End(std::string reason);
    // Moves everything buffered into out; false when nothing came within the timeout.
    bool Take(std::vector<std::uint8_t>& out, std::chrono::milliseconds timeout);
    bool Ended() const;
    std::uint64_t DroppedBytes() const;
    std::string EndReason() const;

private:
    const std::size_t capacity_;
    const std::size_t frameBytes_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::uint8_t> bytes_;
    std::uint64_t dropped_ = 0;
    bool ended_ = false;
    std::string reason_;
};

}  // namespace tessival
