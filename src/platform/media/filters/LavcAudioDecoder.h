#pragma once

#include <cstdint>
#include <functional>

#include "platform/media/HResult.h"
#include "platform/media/MediaType.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

namespace tessival::media {

// A libavcodec audio decoder opened from a wave-format media type (or from the stream
// parameters a libavformat splitter attached to it). Decoding errors come back as
// VFW_E_INVALID_FILE_FORMAT rather than being dropped.
class LavcAudioDecoder {
public:
    using FrameSink = std::function<HRESULT(const AVFrame& frame)>;

    LavcAudioDecoder();
    ~LavcAudioDecoder();
    LavcAudioDecoder(const LavcAudioDecoder&) = delete;
    LavcAudioDecoder& operator=(const LavcAudioDecoder&) = delete;

    // Whether a decoder exists for the type (no codec is opened).
    static bool CanDecode(const MediaType& type);
    HRESULT Open(const MediaType& type);
    void Close();
    // trimStart and trimEnd: decoded frames of this packet to drop at its front and back.
    HRESULT Decode(const std::uint8_t* data, std::size_t size, const FrameSink& sink, std::uint32_t trimStart = 0,
                   std::uint32_t trimEnd = 0);
    // Drains the decoder at the end of the stream.
    HRESULT Flush(const FrameSink& sink);

    const AVCodecContext* Context() const { return context_; }

private:
    HRESULT Send(const AVPacket* packet, const FrameSink& sink);

    AVCodecContext* context_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
};

// The format tag a wave format really carries (WAVE_FORMAT_EXTENSIBLE resolved to its subformat).
std::uint16_t EffectiveFormatTag(const MediaType& type);

}  // namespace tessival::media
