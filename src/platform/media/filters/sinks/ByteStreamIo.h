#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/media/HResult.h"
#include "platform/media/MediaSample.h"
#include "platform/media/ffmpeg/AvPtr.h"

namespace tessival::media {

// A libavformat output whose bytes go downstream as byte-stream samples, each stamped with the
// offset it belongs at, so a muxer that seeks back (sizes, seek tables, headers rewritten at the
// end) writes through "File Writer" like any other sink.
class ByteStreamIo {
public:
    using Deliver = std::function<HRESULT(MediaSample&)>;
    explicit ByteStreamIo(Deliver deliver);
    ~ByteStreamIo();
    ByteStreamIo(const ByteStreamIo&) = delete;
    ByteStreamIo& operator=(const ByteStreamIo&) = delete;

    // Null when it could not be allocated.
    AVIOContext* Context() const { return context_.get(); }
    // Pushes out what the context still buffers; the first delivery failure, else S_OK.
    HRESULT Flush();
    HRESULT Failure() const { return failure_; }
    // Keeps a copy of every byte written at or after offset (a header to rewrite once the muxer
    // has laid it out); a negative offset stops keeping. TakeKept hands the copy over.
    void KeepFrom(std::int64_t offset);
    std::vector<std::uint8_t> TakeKept();

private:
    static int Write(void* opaque, std::uint8_t* data, int size);
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

    Deliver deliver_;
    AvIoContextPtr context_;
    std::int64_t position_ = 0;
    std::int64_t size_ = 0;
    HRESULT failure_ = S_OK;
    MediaSample sample_;
    std::int64_t keepFrom_ = -1;
    std::vector<std::uint8_t> kept_;
};

}  // namespace tessival::media
