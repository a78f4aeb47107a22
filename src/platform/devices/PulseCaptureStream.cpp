#include "platform/devices/PulseCaptureStream.h"

#include <pulse/error.h>

namespace tessival {
namespace {

pa_sample_format_t SampleFormat(const CaptureFormat& format) {
    if (format.isFloat) return PA_SAMPLE_FLOAT32LE;
    switch (format.bitsPerSample) {
    case 8: return PA_SAMPLE_U8;
    case 24: return PA_SAMPLE_S24LE;
    case 32: return PA_SAMPLE_S32LE;
    default: return PA_SAMPLE_S16LE;
    }
}

// Fragments of about 50 ms keep the hand-over prompt without waking the reader too often.
constexpr std::uint32_t kFragmentMs = 50;

}  // namespace

PulseCaptureStream::PulseCaptureStream(std::string source, const CaptureFormat& format, std::size_t bufferBytes)
    : source_(std::move(source)), format_(format), buffer_(bufferBytes, format.BytesPerFrame()) {
    loop_ = pa_threaded_mainloop_new();
    if (loop_) context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tessival recording");
    if (context_) {
        pa_context_set_state_callback(context_, &PulseCaptureStream::OnContextState, this);
        started_ = pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
                   pa_threaded_mainloop_start(loop_) >= 0;
    }
    if (!started_) buffer_.End("the sound server cannot be reached");
}

PulseCaptureStream::~PulseCaptureStream() {
    if (loop_ && started_) {
        pa_threaded_mainloop_lock(loop_);
        closing_ = true;
        if (stream_) pa_stream_disconnect(stream_);
        if (context_) pa_context_disconnect(context_);
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
    }
    if (stream_) pa_stream_unref(stream_);
    if (context_) pa_context_unref(context_);
    if (loop_) pa_threaded_mainloop_free(loop_);
}

CaptureStream::ReadResult PulseCaptureStream::Read(std::vector<std::uint8_t>& bytes, std::chrono::milliseconds timeout) {
    if (buffer_.Take(bytes, timeout)) return ReadResult::Data;
    return buffer_.Ended() ? ReadResult::Ended : ReadResult::Timeout;
}

void PulseCaptureStream::OnContextState(pa_context* context, void* self) {
    auto& stream = *static_cast<PulseCaptureStream*>(self);
    if (stream.closing_) return;
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: stream.ConnectStream(); break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED: stream.Fail("the sound server went away"); break;
    default: break;
    }
}

void PulseCaptureStream::ConnectStream() {
    const pa_sample_spec spec{SampleFormat(format_), format_.sampleRate, static_cast<std::uint8_t>(format_.channels)};
    stream_ = pa_stream_new(context_, "Tessival recording", &spec, nullptr);
    if (!stream_) return Fail("the sound server refused the recording");
    pa_stream_set_state_callback(stream_, &PulseCaptureStream::OnStreamState, this);
    pa_stream_set_read_callback(stream_, &PulseCaptureStream::OnRead, this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(kFragmentMs * 1000, &spec));
    // The source is opened by name; a source that vanished makes the stream fail.
    if (pa_stream_connect_record(stream_, source_.c_str(), &attr,
                                 static_cast<pa_stream_flags_t>(PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE)) < 0)
        Fail("the capture device cannot be opened");
}

void PulseCaptureStream::OnStreamState(pa_stream* stream, void* self) {
    auto& capture = *static_cast<PulseCaptureStream*>(self);
    if (capture.closing_) return;
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED) capture.Fail("the capture device went away");
}

void PulseCaptureStream::OnRead(pa_stream* stream, std::size_t, void* self) {
    auto& capture = *static_cast<PulseCaptureStream*>(self);
    const void* data = nullptr;
    std::size_t length = 0;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &length) < 0) return capture.Fail("the capture device went away");
        if (length == 0) break;
        if (data) {
            capture.buffer_.Push({static_cast<const std::uint8_t*>(data), length});
        } else {
            // A hole in the recording: keep the timing with silence.
            capture.buffer_.Push(std::vector<std::uint8_t>(length, capture.format_.bitsPerSample == 8 ? 0x80 : 0));
        }
        pa_stream_drop(stream);
    }
}

void PulseCaptureStream::Fail(const char* what) { buffer_.End(what); }

}  // namespace tessival
