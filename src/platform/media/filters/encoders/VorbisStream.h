#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <vorbis/codec.h>

#include "platform/media/HResult.h"

namespace tessival::media {

// One libvorbis encoder at an average bit rate, set up and fed as FFmpeg's libvorbis wrapper sets
// up and feeds one, so its packets are the very ones that wrapper makes, only faster: after the
// stream's start it takes oggenc's chunks of 1024 frames, not the wrapper's 64. Its headers are
// made when it opens.
class VorbisStream {
public:
    // A packet and the samples it decodes to: the first one's start before zero (the priming),
    // and the last one's end where the samples written end.
    struct Packet {
        const std::uint8_t* data;
        std::size_t size;
        std::int64_t first;
        std::int64_t frames;
    };
    using PacketSink = std::function<HRESULT(const Packet&)>;

    // Null when libvorbis has no setting for the bit rate at that rate and channel count.
    static std::unique_ptr<VorbisStream> Open(int channels, long rate, long bitRate);
    // Whether Open would succeed, without building the codebooks (milliseconds each).
    static bool Accepts(int channels, long rate, long bitRate);

    ~VorbisStream();
    VorbisStream(const VorbisStream&) = delete;
    VorbisStream& operator=(const VorbisStream&) = delete;

    // Identification, comment (no comments) and setup headers in Xiph lacing, as muxers take them.
    const std::vector<std::uint8_t>& Headers() const { return headers_; }
    int Channels() const { return info_.channels; }
    long Rate() const { return info_.rate; }

    // Encodes interleaved samples and hands out every packet that is ready.
    HRESULT Write(const float* samples, std::int64_t frames, const PacketSink& sink);
    // Encodes what is left, ends the stream and hands out the rest; a stream with no samples
    // has no packets.
    HRESULT Finish(const PacketSink& sink);

private:
    VorbisStream();
    bool Start(int channels, long rate, long bitRate);
    // final: whatever is left goes in, whole steps or not.
    HRESULT Encode(const float* samples, std::int64_t frames, bool final, const PacketSink& sink);
    HRESULT Wrote(int frames, const PacketSink& sink);
    HRESULT HandOut(const ogg_packet& packet, const PacketSink& sink);

    vorbis_info info_;
    vorbis_dsp_state dsp_;
    vorbis_block block_;
    bool dspReady_ = false;
    bool blockReady_ = false;
    long longBlock_ = 0;
    std::vector<std::uint8_t> headers_;
    std::vector<float> pending_;  // a step's remainder at the start, waiting for more samples
    std::int64_t fed_ = 0;
    std::int64_t packets_ = 0;
    long previousBlock_ = 0;
    std::int64_t end_ = 0;  // where the last packet ends
};

}  // namespace tessival::media
