#include "platform/media/filters/decoders/MediaAudioDecoder.h"

extern "C" {
#include <libavcodec/codec_par.h>
#include <libavutil/samplefmt.h>
}

namespace tessival::media {

int NativePcmBits(const MediaType& input) {
    const AVCodecParameters* par = input.codecParameters.get();
    if (!par) return 16;
    switch (av_get_packed_sample_fmt(static_cast<AVSampleFormat>(par->format))) {
    case AV_SAMPLE_FMT_U8: return 8;
    case AV_SAMPLE_FMT_S16: return 16;
    case AV_SAMPLE_FMT_S32: return par->bits_per_raw_sample > 0 && par->bits_per_raw_sample <= 24 ? 24 : 32;
    case AV_SAMPLE_FMT_FLT:
    case AV_SAMPLE_FMT_DBL:
    case AV_SAMPLE_FMT_S64: return 32;
    default: return 16;
    }
}

int NativeContentBits(const MediaType& input) {
    const AVCodecParameters* par = input.codecParameters.get();
    const int width = NativePcmBits(input);
    if (!par) return width;
    switch (av_get_packed_sample_fmt(static_cast<AVSampleFormat>(par->format))) {
    case AV_SAMPLE_FMT_FLT: return 24;  // the mantissa of a 32-bit float
    case AV_SAMPLE_FMT_S16:
    case AV_SAMPLE_FMT_S32:
        return par->bits_per_raw_sample > 0 && par->bits_per_raw_sample < width ? par->bits_per_raw_sample : width;
    default: return width;
    }
}

MediaAudioDecoder::MediaAudioDecoder() : AcmWrapper(CLSID_MediaAudioDecoder) {}

HRESULT MediaAudioDecoder::CheckInput(const MediaType& type) const {
    const WAVEFORMATEX* wave = type.WaveFormat();
    if (type.majorType != MEDIATYPE_Audio || !wave || wave->nChannels == 0 || wave->nSamplesPerSec == 0)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return LavcAudioDecoder::CanDecode(type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT MediaAudioDecoder::OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const {
    const WAVEFORMATEX& wave = *input.WaveFormat();
    MediaType output = MediaType::Audio(
        MakePcmFormat(wave.nSamplesPerSec, wave.nChannels, static_cast<std::uint16_t>(NativePcmBits(input))));
    output.contentBits = static_cast<std::uint16_t>(NativeContentBits(input));
    types.push_back(std::move(output));
    return S_OK;
}

FilterEntry MediaAudioDecoder::Entry() {
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_MediaAudioDecoder, "Audio Decoder", MERIT_UNLIKELY,
                           {MediaTypePattern(MEDIATYPE_Audio)}, [] { return std::make_shared<MediaAudioDecoder>(); });
}

}  // namespace tessival::media
