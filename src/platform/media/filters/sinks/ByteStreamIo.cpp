#include "platform/media/filters/sinks/ByteStreamIo.h"

#include <algorithm>
#include <cstdio>

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

namespace tessival::media {
namespace {

constexpr int kBufferSize = 64 * 1024;

}  // namespace

ByteStreamIo::ByteStreamIo(Deliver deliver) : deliver_(std::move(deliver)) {
    AvBufferPtr buffer(static_cast<std::uint8_t*>(av_malloc(kBufferSize)));
    if (!buffer) return;
    context_.reset(
        avio_alloc_context(buffer.get(), kBufferSize, 1, this, nullptr, &ByteStreamIo::Write, &ByteStreamIo::Seek));
    if (context_) buffer.release();  // context_ owns it now
}

ByteStreamIo::~ByteStreamIo() = default;

HRESULT ByteStreamIo::Flush() {
    if (context_) avio_flush(context_.get());
    return failure_;
}

void ByteStreamIo::HoldFrom(std::int64_t offset) {
    holdFrom_ = offset;
    held_.clear();
}

std::vector<std::uint8_t> ByteStreamIo::ReleaseHeld() {
    holdFrom_ = -1;
    return std::move(held_);
}

int ByteStreamIo::Write(void* opaque, std::uint8_t* data, int size) {
    auto& self = *static_cast<ByteStreamIo*>(opaque);
    if (FAILED(self.failure_)) return AVERROR(EIO);
    const int total = size;
    if (self.holdFrom_ >= 0 && self.position_ + size > self.holdFrom_) {
        const std::int64_t before = std::max<std::int64_t>(0, self.holdFrom_ - self.position_);
        const std::size_t at = static_cast<std::size_t>(self.position_ + before - self.holdFrom_);
        if (self.held_.size() < at + (size - before)) self.held_.resize(at + (size - before));
        std::copy(data + before, data + size, self.held_.begin() + static_cast<std::ptrdiff_t>(at));
        self.size_ = std::max(self.size_, self.position_ + size);
        size = static_cast<int>(before);
        if (size == 0) {
            self.position_ += total;
            return total;
        }
    }
    self.sample_ = MediaSample{};
    self.sample_.data.assign(data, data + size);
    self.sample_.start = self.position_;
    self.sample_.stop = self.position_ + size;
    const HRESULT hr = self.deliver_(self.sample_);
    if (FAILED(hr)) {
        self.failure_ = hr;
        return AVERROR(EIO);
    }
    self.position_ += total;
    self.size_ = std::max(self.size_, self.position_);
    return total;
}

std::int64_t ByteStreamIo::Seek(void* opaque, std::int64_t offset, int whence) {
    auto& self = *static_cast<ByteStreamIo*>(opaque);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return self.size_;
    case SEEK_SET: self.position_ = offset; break;
    case SEEK_CUR: self.position_ += offset; break;
    case SEEK_END: self.position_ = self.size_ + offset; break;
    default: return AVERROR(EINVAL);
    }
    return self.position_;
}

}  // namespace tessival::media
