#pragma once

#include <cstdint>
#include <functional>

#include "platform/media/HResult.h"
#include "platform/media/MediaType.h"
#include "platform/media/ffmpeg/AvPtr.h"

namespace tessival::media {

// A libavcodec audio decoder opened from a wave-format media type (or from the stream
// parameters a libavformat splitter attached to it). Data it cannot decode is skipped and
// counted, as players do, so that one damaged frame does not cost the rest of the stream; the
// caller judges the counts at the end.
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
    // Decodes one packet. data is copied, so the caller keeps it; each decoded frame goes to sink
    // before Decode returns and is lent for that call only (it is reused for the next frame).
    // trimStart and trimEnd: decoded frames of this packet to drop at its front and back.
    // A decoder is used from one thread at a time: the streaming thread of its filter.
    HRESULT Decode(const std::uint8_t* data, std::size_t size, const FrameSink& sink, std::uint32_t trimStart = 0,
                   std::uint32_t trimEnd = 0);
    // Drains the decoder at the end of the stream; frames go to sink as in Decode.
    HRESULT Flush(const FrameSink& sink);

    const AVCodecContext* Context() const { return context_.get(); }
    // Since Open: packets (or parts of them) skipped as undecodable, and frames decoded.
    std::int64_t SkippedPackets() const { return skippedPackets_; }
    std::int64_t DecodedFrames() const { return decodedFrames_; }

private:
    HRESULT Send(const AVPacket* packet, const FrameSink& sink);

    AvCodecContextPtr context_;
    AvFramePtr frame_;
    AvPacketPtr packet_;
    std::int64_t skippedPackets_ = 0;
    std::int64_t decodedFrames_ = 0;
};

// The format tag a wave format really carries (WAVE_FORMAT_EXTENSIBLE resolved to its subformat).
std::uint16_t EffectiveFormatTag(const MediaType& type);

}  // namespace tessival::media
