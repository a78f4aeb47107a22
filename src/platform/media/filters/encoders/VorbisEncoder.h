#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/AudioEncoderFilter.h"
#include "platform/media/ffmpeg/SampleConverter.h"
#include "platform/media/filters/encoders/VorbisStream.h"

namespace tessival::media {

// The Vorbis compressor on libvorbis itself: PCM of any rate, width and channel count in
// (converted to float at the chosen rate and channels), one packet per sample out, with the times
// a muxer needs for exact length: the first packet starts before zero (the priming), and the last
// ends where the source ends.
class VorbisEncoder : public AudioEncoderFilter {
public:
    // The choices libvorbis has a setting for (mono and stereo only: their channel order is the
    // same in WAVE and Vorbis), described without headers: those need the codebooks built.
    static std::vector<MediaType> Offered(const std::vector<WAVEFORMATEX>& choices);

    // capabilities: from Offered, kept by the caller for the process.
    VorbisEncoder(const Guid& clsid, const std::vector<MediaType>& capabilities);
    ~VorbisEncoder() override;

    const std::vector<MediaType>& Capabilities() const override { return capabilities_; }
    MediaType DefaultFormat(const MediaType& input) const override;
    // The choice with its headers, from an encoder opened for it; that encoder is kept for the
    // stream, so an item builds the codebooks once.
    MediaType ForInput(const MediaType& chosen, const MediaType& input) const override;

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT StartStreaming() override;
    void StopStreaming() override;
    HRESULT Transform(MediaSample& sample) override;
    HRESULT Drain() override;

private:
    // The encoder opened for a choice, the one ForInput opened when it is for the same.
    std::unique_ptr<VorbisStream> TakeStream(const WAVEFORMATEX& choice);
    HRESULT EncodeConverted();
    HRESULT OnPacket(const VorbisStream::Packet& packet);

    const std::vector<MediaType>& capabilities_;
    mutable std::mutex primedMutex_;
    mutable std::unique_ptr<VorbisStream> primed_;
    mutable WAVEFORMATEX primedFor_{};

    SampleConverter converter_;
    std::unique_ptr<VorbisStream> stream_;
    VorbisStream::PacketSink sink_;
    std::vector<std::uint8_t> converted_;  // interleaved float samples
};

}  // namespace tessival::media
