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

void ByteStreamIo::KeepFrom(std::int64_t offset) {
    keepFrom_ = offset;
    kept_.clear();
}

std::vector<std::uint8_t> ByteStreamIo::TakeKept() { return std::move(kept_); }

int ByteStreamIo::Write(void* opaque, std::uint8_t* data, int size) {
    auto& self = *static_cast<ByteStreamIo*>(opaque);
    if (FAILED(self.failure_)) return AVERROR(EIO);
    self.sample_ = MediaSample{};
    self.sample_.data.assign(data, data + size);
    self.sample_.start = self.position_;
    self.sample_.stop = self.position_ + size;
    const HRESULT hr = self.deliver_(self.sample_);
    if (FAILED(hr)) {
        self.failure_ = hr;
        return AVERROR(EIO);
    }
    if (self.keepFrom_ >= 0 && self.position_ + size > self.keepFrom_) {
        const std::int64_t skip = std::max<std::int64_t>(self.keepFrom_ - self.position_, 0);
        const auto at = static_cast<std::size_t>(self.position_ + skip - self.keepFrom_);
        if (self.kept_.size() < at + (size - skip)) self.kept_.resize(at + (size - skip));
        std::copy(data + skip, data + size, self.kept_.begin() + static_cast<std::ptrdiff_t>(at));
    }
    self.position_ += size;
    self.size_ = std::max(self.size_, self.position_);
    return size;
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
