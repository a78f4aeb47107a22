#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <vorbis/codec.h>

#include "platform/media/HResult.h"

namespace tessival::media {

// One libvorbis encoder at an average bit rate, set up exactly as FFmpeg's libvorbis wrapper sets
// it up for a bit rate (managed, then its slow rate management turned off), so a file is the same
// quality at the same rate as one that wrapper writes. Its headers are made when it opens.
class VorbisStream {
public:
    struct Packet {
        const std::uint8_t* data;
        std::size_t size;
        std::int64_t granule;  // the sample the packet decodes up to
        long blockSize;        // its window, which with the previous one's gives its length
    };
    using PacketSink = std::function<HRESULT(const Packet&)>;

    // Null when libvorbis has no setting for the bit rate at that rate and channel count.
    static std::unique_ptr<VorbisStream> Open(int channels, long rate, long bitRate);
    // Whether Open would succeed, without building the codebooks (a few milliseconds each).
    static bool Accepts(int channels, long rate, long bitRate);

    ~VorbisStream();
    VorbisStream(const VorbisStream&) = delete;
    VorbisStream& operator=(const VorbisStream&) = delete;

    // Identification, comment and setup headers in Xiph lacing, as Ogg muxers take them.
    const std::vector<std::uint8_t>& Headers() const { return headers_; }
    // The short window: a stream's first packet is one, and the one before it counts as one too.
    long ShortBlock() const { return shortBlock_; }
    long LongBlock() const { return longBlock_; }
    int Channels() const { return info_.channels; }
    long Rate() const { return info_.rate; }

    // Each channel's room for `frames` samples, to be filled and then handed over with Wrote.
    float** Buffer(int frames);
    // Encodes what was put in the buffer and hands out every packet that is ready; 0 frames ends
    // the stream and hands out the rest.
    HRESULT Wrote(int frames, const PacketSink& sink);

private:
    VorbisStream();
    bool Start(int channels, long rate, long bitRate);

    vorbis_info info_;
    vorbis_dsp_state dsp_;
    vorbis_block block_;
    bool dspReady_ = false;
    bool blockReady_ = false;
    long shortBlock_ = 0;
    long longBlock_ = 0;
    std::vector<std::uint8_t> headers_;
};

}  // namespace tessival::media
