#pragma once

#include <pulse/context.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

#include <string>

#include "platform/devices/CaptureBuffer.h"
#include "platform/devices/CaptureSourceInfo.h"
#include "platform/devices/CaptureStream.h"

namespace tessival {

// A recording from one PulseAudio source on a client connection of its own. The server's
// thread hands the samples to a bounded buffer; losing the server ends the recording with a
// reason after what was buffered.
class PulseCaptureStream : public CaptureStream {
public:
    PulseCaptureStream(std::string source, const CaptureFormat& format, std::size_t bufferBytes);
    ~PulseCaptureStream() override;
    PulseCaptureStream(const PulseCaptureStream&) = delete;
    PulseCaptureStream& operator=(const PulseCaptureStream&) = delete;

    // False when the client could not even be set up.
    bool Started() const { return started_; }

    ReadResult Read(std::vector<std::uint8_t>& bytes, std::chrono::milliseconds timeout) override;
    std::uint64_t DroppedBytes() const override { return buffer_.DroppedBytes(); }
    std::string EndReason() const override { return buffer_.EndReason(); }

private:
    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnRead(pa_stream* stream, std::size_t length, void* self);
    void ConnectStream();
    void Fail(const char* what);

    std::string source_;
    CaptureFormat format_;
    CaptureBuffer buffer_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    bool started_ = false;
    bool closing_ = false;  // guarded by the loop's lock
};

}  // namespace tessival
