#pragma once

#include "platform/media/AudioEncoderFilter.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/ffmpeg/SampleConverter.h"

namespace tessival::media {

// The audio compressor "PCM": PCM of any rate, width and channel count in, PCM in the chosen
// format out (8, 16 or 24 bit, mono or stereo, 8000 to 96000 Hz, or the source's own rate, depth
// and channels), converted with libswresample. Without a chosen format it keeps the input's format
// when it can produce it, else 44100 Hz 16-bit stereo.
class PcmEncoder : public AudioEncoderFilter {
public:
    PcmEncoder();
    static FilterEntry Entry();

    const std::vector<MediaType>& Capabilities() const override;
    MediaType DefaultFormat(const MediaType& input) const override;
    // The "Source" choice: the input's rate and channels (WAVE_FORMAT_EXTENSIBLE with its channel
    // mask past two), and its depth up to 32 bits.
    MediaType ForInput(const MediaType& chosen, const MediaType& input) const override;

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT StartStreaming() override;
    void StopStreaming() override;
    HRESULT Transform(MediaSample& sample) override;
    HRESULT Drain() override;

private:
    HRESULT DeliverConverted(bool discontinuity);

    SampleConverter converter_;
    std::int64_t framesOut_ = 0;
    MediaSample out_;
};

}  // namespace tessival::media
