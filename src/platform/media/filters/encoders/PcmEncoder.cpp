#include "platform/media/filters/encoders/PcmEncoder.h"

#include <algorithm>

#include "platform/media/ffmpeg/LavcAudioDecoder.h"

namespace tessival::media {
namespace {

constexpr std::uint32_t kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 88200, 96000};
constexpr std::uint16_t kBits[] = {8, 16, 24};

std::vector<MediaType> BuildCapabilities() {
    std::vector<MediaType> all;
    for (std::uint32_t rate : kRates)
        for (std::uint16_t bits : kBits)
            for (std::uint16_t channels : {1, 2}) all.push_back(MediaType::Audio(MakePcmFormat(rate, channels, bits)));
    return all;
}

SampleConverter::Format FormatOf(const WAVEFORMATEX& wave) {
    return SampleConverter::PcmFormat(wave.wBitsPerSample, wave.nChannels, static_cast<int>(wave.nSamplesPerSec));
}

}  // namespace

PcmEncoder::PcmEncoder() : AudioEncoderFilter(AudioCompressorClass(WAVE_FORMAT_PCM), "Input", "Output") {}

const std::vector<MediaType>& PcmEncoder::Capabilities() const {
    static const std::vector<MediaType> capabilities = BuildCapabilities();
    return capabilities;
}

MediaType PcmEncoder::DefaultFormat(const MediaType& input) const {
    const WAVEFORMATEX* wave = input.WaveFormat();
    if (wave) {
        // The source's own depth, as far as WAVE PCM here goes: 32-bit and float sources give 24.
        const int content = input.ContentBits();
        const std::uint16_t bits = content <= 8 ? 8 : content <= 16 ? 16 : 24;
        const MediaType same = MediaType::Audio(MakePcmFormat(wave->nSamplesPerSec, wave->nChannels, bits));
        const auto& all = Capabilities();
        if (std::find(all.begin(), all.end(), same) != all.end()) return same;
    }
    return MediaType::Audio(MakePcmFormat(44100, 2, 16));
}

HRESULT PcmEncoder::CheckInput(const MediaType& type) const {
    return IsConvertiblePcm(type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT PcmEncoder::StartStreaming() {
    framesOut_ = 0;
    out_ = MediaSample{};
    SampleConverter::Format source = FormatOf(*InputType().WaveFormat());
    source.bits = InputType().ContentBits();
    return converter_.Open(source, FormatOf(*OutputType().WaveFormat()));
}

void PcmEncoder::StopStreaming() { converter_.Close(); }

HRESULT PcmEncoder::Transform(MediaSample& sample) {
    const std::uint16_t inBlock = InputType().WaveFormat()->nBlockAlign;
    const int frames = static_cast<int>(sample.data.size() / inBlock);
    if (converter_.IsIdentity()) {
        sample.frameCount = frames;
        return Deliver(sample);
    }
    const std::uint8_t* planes[] = {sample.data.data()};
    const HRESULT hr = converter_.Convert(planes, frames, out_.data);
    if (FAILED(hr)) return hr;
    return DeliverConverted(sample.discontinuity);
}

HRESULT PcmEncoder::Drain() {
    const HRESULT hr = converter_.Flush(out_.data);
    if (FAILED(hr)) return hr;
    return DeliverConverted(false);
}

HRESULT PcmEncoder::DeliverConverted(bool discontinuity) {
    const HRESULT hr = DeliverAudio(out_, framesOut_, discontinuity);
    out_.data.clear();
    return hr;
}

FilterEntry PcmEncoder::Entry() {
    return MakeFilterEntry(CLSID_AudioCompressorCategory, AudioCompressorClass(WAVE_FORMAT_PCM), "PCM",
                           MERIT_DO_NOT_USE, {MediaTypePattern(MEDIATYPE_Audio, MEDIASUBTYPE_PCM)},
                           [] { return std::make_shared<PcmEncoder>(); });
}

}  // namespace tessival::media
