#include "platform/devices/CaptureBuffer.h"

#include <algorithm>

namespace tessival {

CaptureBuffer::CaptureBuffer(std::size_t capacityBytes, std::size_t frameBytes)
    : capacity_(std::max(capacityBytes, frameBytes)), frameBytes_(std::max<std::size_t>(frameBytes, 1)) {}

void CaptureBuffer::Push(std::span<const std::uint8_t> bytes) {
    {
        std::lock_guard lock(mutex_);
        if (ended_) return;
        std::size_t room = capacity_ - bytes_.size();
        room -= room % frameBytes_;
        const std::size_t taken = std::min(room, bytes.size());
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(taken));
        dropped_ += bytes.size() - taken;
    }
    ready_.notify_one();
}

void CaptureBuffer::End(std::string reason) {
    {
        std::lock_guard lock(mutex_);
        if (ended_) return;
        ended_ = true;
        reason_ = std::move(reason);
    }
    ready_.notify_all();
}

bool CaptureBuffer::Take(std::vector<std::uint8_t>& out, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    ready_.wait_for(lock, timeout, [this] { return bytes_.size() >= frameBytes_ || ended_; });
    // Whole frames only: the device's thread may have handed over part of one.
    const std::size_t whole = bytes_.size() - bytes_.size() % frameBytes_;
    if (whole == 0) return false;
    out.assign(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(whole));
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(whole));
    return true;
}

bool CaptureBuffer::Ended() const {
    std::lock_guard lock(mutex_);
    return ended_;
}

std::uint64_t CaptureBuffer::DroppedBytes() const {
    std::lock_guard lock(mutex_);
    return dropped_;
}

std::string CaptureBuffer::EndReason() const {
    std::lock_guard lock(mutex_);
    return reason_;
}

}  // namespace tessival
