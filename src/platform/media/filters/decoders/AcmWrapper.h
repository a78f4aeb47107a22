#pragma once

#include "platform/media/FilterRegistry.h"
#include "platform/media/IDamagedDataCount.h"
#include "platform/media/TransformFilter.h"
#include "platform/media/ffmpeg/LavcAudioDecoder.h"
#include "platform/media/ffmpeg/SampleConverter.h"

namespace tessival::media {

// "ACM Wrapper": any wave format with a decoder to PCM; PCM passes through untouched (and
// WAVE_FORMAT_EXTENSIBLE PCM leaves as plain PCM). Decoded audio is 16-bit at the input's rate
// and channel count, or at those the filter after it asks for, also when the stream changes its
// rate or channels on the way (joined files, a DVD's AC-3 going from 5.1 to stereo). Undecodable
// data is skipped; a stream of which nothing decodes fails at its end.
class AcmWrapper : public TransformFilter, public IDamagedDataCount {
public:
    AcmWrapper();
    static FilterEntry Entry();

    std::int64_t SkippedPackets() const override { return decoder_.SkippedPackets(); }

protected:
    // For decoders of a few formats that share this decoding (a class id of their own).
    explicit AcmWrapper(const Guid& clsid);

    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const override;
    // Also PCM of its own width at any rate and channel count: decoding, its one conversion
    // makes it; passing PCM through, the decoder before it does, its input then reconnected.
    HRESULT CheckOutputType(const BasePin& pin, const MediaType& type) const override;
    HRESULT OnConnected(BasePin& pin) override;
    void OnDisconnected(BasePin& pin) override;
    HRESULT StartStreaming() override;
    void StopStreaming() override;
    HRESULT Transform(MediaSample& sample) override;
    HRESULT Drain() override;

private:
    bool PassesThrough() const;
    bool DecoderBeforeMakes(const MediaType& type) const;
    HRESULT RetypeInput(const MediaType& type);
    HRESULT TakeFrame(const AVFrame& frame);
    HRESULT DeliverPending(bool discontinuity);

    LavcAudioDecoder decoder_;
    SampleConverter converter_;
    bool converterOpen_ = false;
    bool retypingInput_ = false;  // the input's old connection goes, the output's stays
    SampleConverter::Format converterInput_;
    std::size_t packetBytes_ = 0;
    std::int64_t framesOut_ = 0;
    MediaSample pending_;
};

}  // namespace tessival::media
