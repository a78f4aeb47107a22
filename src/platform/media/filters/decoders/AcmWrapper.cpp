#include "platform/media/filters/decoders/AcmWrapper.h"

#include <algorithm>

#include "platform/media/filters/decoders/CodecSubtype.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace tessival::media {
namespace {

bool IsPcm(const MediaType& type) { return EffectiveFormatTag(type) == WAVE_FORMAT_PCM; }

// Formats whose blocks must reach the decoder one by one.
bool IsBlockCodec(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_ADPCM || format.wFormatTag == WAVE_FORMAT_IMA_ADPCM ||
           format.wFormatTag == WAVE_FORMAT_GSM610;
}

}  // namespace

AcmWrapper::AcmWrapper() : AcmWrapper(CLSID_ACMWrapper) {}

AcmWrapper::AcmWrapper(const Guid& clsid) : TransformFilter(clsid, "Input", "Output") {}

HRESULT AcmWrapper::CheckInput(const MediaType& type) const {
    const WAVEFORMATEX* wave = type.WaveFormat();
    if (type.majorType != MEDIATYPE_Audio || !wave || wave->nChannels == 0 || wave->nSamplesPerSec == 0)
        return VFW_E_TYPE_NOT_ACCEPTED;
    // Codec-typed audio is for "Audio Decoder".
    if (IsCodecSubtype(type.subtype)) return VFW_E_TYPE_NOT_ACCEPTED;
    if (IsPcm(type)) return S_OK;
    return LavcAudioDecoder::CanDecode(type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT AcmWrapper::OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const {
    const WAVEFORMATEX& wave = *input.WaveFormat();
    if (wave.wFormatTag == WAVE_FORMAT_PCM) {
        types.push_back(input);
        return S_OK;
    }
    const bool floating = EffectiveFormatTag(input) == WAVE_FORMAT_IEEE_FLOAT;
    // Float keeps its precision as 32-bit integers: a 32-bit float's 24-bit mantissa, all of a double's.
    const std::uint16_t bits = IsPcm(input) ? wave.wBitsPerSample : floating ? 32 : 16;
    MediaType output = MediaType::Audio(MakePcmFormat(wave.nSamplesPerSec, wave.nChannels, bits));
    if (IsPcm(input)) output.contentBits = static_cast<std::uint16_t>(input.ContentBits());
    if (floating) output.contentBits = wave.wBitsPerSample == 32 ? 24 : 32;
    types.push_back(std::move(output));
    return S_OK;
}

HRESULT AcmWrapper::CheckOutputType(const BasePin& pin, const MediaType& type) const {
    if (TransformFilter::CheckOutputType(pin, type) == S_OK) return S_OK;
    if (!Input().IsConnected() || !IsConvertiblePcm(type) || type.WaveFormat()->wFormatTag != WAVE_FORMAT_PCM)
        return VFW_E_TYPE_NOT_ACCEPTED;
    std::vector<MediaType> own;
    OutputTypesFor(InputType(), own);
    if (own.empty() || own.front().WaveFormat()->wBitsPerSample != type.WaveFormat()->wBitsPerSample)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return !PassesThrough() || DecoderBeforeMakes(type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

// Only a decoder converts anyway; a device or a file keeps its own format.
bool AcmWrapper::DecoderBeforeMakes(const MediaType& type) const {
    std::shared_ptr<IPin> upstream;
    if (InputType().WaveFormat()->wFormatTag != WAVE_FORMAT_PCM || FAILED(Input().ConnectedTo(upstream))) return false;
    const auto* upstreamPin = dynamic_cast<const BasePin*>(upstream.get());
    const auto* decoder = upstreamPin ? dynamic_cast<const AcmWrapper*>(&upstreamPin->Owner()) : nullptr;
    return decoder && !decoder->PassesThrough() && upstream->QueryAccept(type) == S_OK;
}

HRESULT AcmWrapper::OnConnected(BasePin& pin) {
    if (&pin != &Output() || !PassesThrough() || TransformFilter::CheckOutputType(pin, OutputType()) == S_OK)
        return TransformFilter::OnConnected(pin);
    return RetypeInput(OutputType());
}

void AcmWrapper::OnDisconnected(BasePin& pin) {
    if (!retypingInput_) TransformFilter::OnDisconnected(pin);
}

HRESULT AcmWrapper::RetypeInput(const MediaType& type) {
    std::shared_ptr<IPin> upstream;
    if (FAILED(Input().ConnectedTo(upstream))) return VFW_E_NOT_CONNECTED;
    const MediaType previous = InputType();
    retypingInput_ = true;
    upstream->Disconnect();
    Input().Disconnect();
    HRESULT hr = upstream->Connect(Input().Self(), &type);
    if (FAILED(hr)) upstream->Connect(Input().Self(), &previous);
    retypingInput_ = false;
    return hr;
}

bool AcmWrapper::PassesThrough() const { return IsPcm(InputType()); }

HRESULT AcmWrapper::StartStreaming() {
    framesOut_ = 0;
    pending_ = MediaSample{};
    converterOpen_ = false;
    if (PassesThrough()) return S_OK;
    const WAVEFORMATEX& wave = *InputType().WaveFormat();
    packetBytes_ = IsBlockCodec(wave) ? wave.nBlockAlign : 0;
    return decoder_.Open(InputType());
}

void AcmWrapper::StopStreaming() {
    decoder_.Close();
    converter_.Close();
}

HRESULT AcmWrapper::Transform(MediaSample& sample) {
    if (PassesThrough()) return Deliver(sample);
    auto sink = [this](const AVFrame& frame) { return TakeFrame(frame); };
    const std::uint8_t* data = sample.data.data();
    std::size_t left = sample.data.size();
    const std::size_t step = packetBytes_ ? packetBytes_ : left;
    while (left > 0) {
        const std::size_t size = std::min(step, left);
        // Encoder delay and padding that the container reports apply to the whole sample.
        const std::uint32_t trimStart = data == sample.data.data() ? sample.trimStart : 0;
        const std::uint32_t trimEnd = size == left ? sample.trimEnd : 0;
        const HRESULT hr = decoder_.Decode(data, size, sink, trimStart, trimEnd);
        if (FAILED(hr)) return hr;
        data += size;
        left -= size;
    }
    return DeliverPending(sample.discontinuity);
}

HRESULT AcmWrapper::Drain() {
    if (PassesThrough()) return S_OK;
    HRESULT hr = decoder_.Flush([this](const AVFrame& frame) { return TakeFrame(frame); });
    if (SUCCEEDED(hr) && converterOpen_) hr = converter_.Flush(pending_.data);
    if (FAILED(hr)) return hr;
    // Damage here and there is skipped; a stream of nothing but damage is not a stream.
    if (decoder_.DecodedFrames() == 0 && decoder_.SkippedPackets() > 0) return VFW_E_INVALID_FILE_FORMAT;
    return DeliverPending(false);
}

HRESULT AcmWrapper::TakeFrame(const AVFrame& frame) {
    SampleConverter::Format in;
    in.sampleFormat = static_cast<AVSampleFormat>(frame.format);
    in.channels = frame.ch_layout.nb_channels;
    in.sampleRate = frame.sample_rate;
    in.bits = decoder_.Context() ? decoder_.Context()->bits_per_raw_sample : 0;
    if (in.channels <= 0 || in.sampleRate <= 0) return S_OK;  // nothing that could be played
    // Every frame may bring another layout; the output keeps the negotiated one.
    if (!converterOpen_ || in != converterInput_) {
        HRESULT hr = converterOpen_ ? converter_.Flush(pending_.data) : S_OK;
        converterOpen_ = false;
        const WAVEFORMATEX& out = *OutputType().WaveFormat();
        SampleConverter::Format target =
            SampleConverter::PcmFormat(out.wBitsPerSample, out.nChannels, static_cast<int>(out.nSamplesPerSec));
        target.bits = OutputType().ContentBits();
        if (SUCCEEDED(hr)) hr = converter_.Open(in, target);
        if (FAILED(hr)) return hr;
        converterOpen_ = true;
        converterInput_ = in;
    }
    return converter_.Convert(frame.extended_data, frame.nb_samples, pending_.data);
}

HRESULT AcmWrapper::DeliverPending(bool discontinuity) {
    const HRESULT hr = DeliverAudio(pending_, framesOut_, discontinuity);
    pending_.data.clear();
    return hr;
}

FilterEntry AcmWrapper::Entry() {
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_ACMWrapper, "ACM Wrapper", MERIT_NORMAL,
                           {MediaTypePattern(MEDIATYPE_Audio)}, [] { return std::make_shared<AcmWrapper>(); });
}

}  // namespace tessival::media
