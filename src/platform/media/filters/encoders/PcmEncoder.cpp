#include "platform/media/filters/encoders/PcmEncoder.h"

#include <algorithm>
#include <iterator>

#include "platform/media/ffmpeg/LavcAudioDecoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace tessival::media {
namespace {

constexpr std::uint32_t kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 88200, 96000};
constexpr std::uint16_t kBits[] = {8, 16, 24};
// The rates studio and mastering work keeps in 32-bit float.
constexpr std::uint32_t kFloatRates[] = {44100, 48000, 88200, 96000};

WAVEFORMATEX FloatFormat(std::uint32_t rate, std::uint16_t channels) {
    WAVEFORMATEX format = MakePcmFormat(rate, channels, 32);
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    return format;
}

std::vector<MediaType> BuildCapabilities() {
    std::vector<MediaType> all;
    for (std::uint32_t rate : kRates)
        for (std::uint16_t bits : kBits)
            for (std::uint16_t channels : {1, 2}) all.push_back(MediaType::Audio(MakePcmFormat(rate, channels, bits)));
    for (std::uint32_t rate : kFloatRates)
        for (std::uint16_t channels : {1, 2}) all.push_back(MediaType::Audio(FloatFormat(rate, channels)));
    all.push_back(MediaType::Audio(MakePcmFormat(0, kSourceChannels, 0)));
    return all;
}

// WAVEFORMATEXTENSIBLE's extra bytes: valid bits, channel mask, the PCM subformat.
std::vector<std::uint8_t> ExtensiblePcm(std::uint16_t bits, std::uint16_t channels) {
    static const std::uint8_t kPcmSubformat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                   0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    AVChannelLayout layout = StandardLayout(channels);
    // FFmpeg's channel bits are the WAVE speaker positions.
    const std::uint32_t mask = layout.order == AV_CHANNEL_ORDER_NATIVE ? static_cast<std::uint32_t>(layout.u.mask) : 0;
    av_channel_layout_uninit(&layout);
    std::vector<std::uint8_t> extra = {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8)};
    for (int shift = 0; shift < 32; shift += 8) extra.push_back(static_cast<std::uint8_t>(mask >> shift));
    extra.insert(extra.end(), std::begin(kPcmSubformat), std::end(kPcmSubformat));
    return extra;
}

SampleConverter::Format FormatOf(const WAVEFORMATEX& wave) {
    SampleConverter::Format format =
        SampleConverter::PcmFormat(wave.wBitsPerSample, wave.nChannels, static_cast<int>(wave.nSamplesPerSec));
    if (wave.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) format.sampleFormat = AV_SAMPLE_FMT_FLT;
    return format;
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

MediaType PcmEncoder::ForInput(const MediaType& chosen, const MediaType& input) const {
    const WAVEFORMATEX* choice = chosen.WaveFormat();
    const WAVEFORMATEX* source = input.WaveFormat();
    if (!choice || choice->nSamplesPerSec != 0) return chosen;
    if (!source) return MediaType{};
    const int content = input.ContentBits();
    const std::uint16_t bits = content <= 8 ? 8 : content <= 16 ? 16 : content <= 24 ? 24 : 32;
    WAVEFORMATEX format = MakePcmFormat(source->nSamplesPerSec, source->nChannels, bits);
    if (source->nChannels <= 2) return MediaType::Audio(format);
    format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    return MediaType::Audio(format, ExtensiblePcm(bits, source->nChannels));
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
