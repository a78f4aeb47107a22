#include "platform/media/ffmpeg/SampleConverter.h"

#include <cstring>
#include <memory>

extern "C" {
#include <libswresample/swresample.h>
}

#include "platform/media/ffmpeg/LavcAudioDecoder.h"

namespace tessival::media {
namespace {

// 3-byte little-endian samples to 32-bit ones (the value in the top bytes) and back.
void Unpack24(const std::uint8_t* in, std::size_t samples, std::uint8_t* out) {
    for (std::size_t i = 0; i < samples; ++i, in += 3, out += 4) {
        out[0] = 0;
        out[1] = in[0];
        out[2] = in[1];
        out[3] = in[2];
    }
}

void Pack24InPlace(std::vector<std::uint8_t>& data, std::size_t from) {
    const std::size_t samples = (data.size() - from) / 4;
    std::uint8_t* p = data.data() + from;
    for (std::size_t i = 0; i < samples; ++i) std::memmove(p + 3 * i, p + 4 * i + 1, 3);
    data.resize(from + samples * 3);
}

// The last resampler this thread closed. Building a resampler's filter takes about a third of
// the time that converting a second of audio does, so a batch of short items of one format
// builds it once.
struct IdleResampler {
    SampleConverter::Format in, out;
    SwrContextPtr swr;
};
thread_local IdleResampler idle;

AVChannelLayout DefaultLayout(int channels) {
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channels);
    return layout;
}

}  // namespace

bool IsConvertiblePcm(const MediaType& type) {
    const WAVEFORMATEX* wave = type.WaveFormat();
    if (type.majorType != MEDIATYPE_Audio || !wave || EffectiveFormatTag(type) != WAVE_FORMAT_PCM) return false;
    const int bits = wave->wBitsPerSample;
    const bool widthOk = bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool blockOk = wave->nBlockAlign == wave->nChannels * bits / 8;
    return widthOk && blockOk && wave->nChannels > 0 && wave->nSamplesPerSec > 0;
}

SampleConverter::~SampleConverter() { Close(); }

void SampleConverter::Close() {
    if (!swr_) return;
    idle.in = in_;
    idle.out = out_;
    idle.swr = std::move(swr_);
}

SampleConverter::Format SampleConverter::PcmFormat(int bits, int channels, int sampleRate) {
    Format format;
    format.channels = channels;
    format.sampleRate = sampleRate;
    format.sampleFormat = bits == 8 ? AV_SAMPLE_FMT_U8 : bits == 16 ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_S32;
    format.packed24 = bits == 24;
    return format;
}

HRESULT SampleConverter::Open(const Format& in, const Format& out) {
    Close();
    in_ = in;
    out_ = out;
    identity_ = in.sampleFormat == out.sampleFormat && in.channels == out.channels &&
                in.sampleRate == out.sampleRate && in.packed24 == out.packed24 && !av_sample_fmt_is_planar(in.sampleFormat);
    if (identity_) return S_OK;
    int ret = 0;
    if (idle.swr && idle.in == in && idle.out == out) {
        swr_ = std::move(idle.swr);
    } else {
        AVChannelLayout inLayout = DefaultLayout(in.channels), outLayout = DefaultLayout(out.channels);
        SwrContext* made = nullptr;
        ret = swr_alloc_set_opts2(&made, &outLayout, out.sampleFormat, out.sampleRate, &inLayout, in.sampleFormat,
                                  in.sampleRate, 0, nullptr);
        swr_.reset(made);
        av_channel_layout_uninit(&inLayout);
        av_channel_layout_uninit(&outLayout);
    }
    // Initialising again clears what a kept resampler held and keeps its filter.
    if (ret >= 0) ret = swr_init(swr_.get());
    if (ret < 0) {
        swr_.reset();
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

int SampleConverter::OutputFrameBytes() const {
    return out_.channels * (out_.packed24 ? 3 : av_get_bytes_per_sample(out_.sampleFormat));
}

HRESULT SampleConverter::Convert(const std::uint8_t* const* in, int frames, std::vector<std::uint8_t>& out) {
    if (frames <= 0) return S_OK;
    if (identity_) {
        const std::size_t bytes = static_cast<std::size_t>(frames) * OutputFrameBytes();
        out.insert(out.end(), in[0], in[0] + bytes);
        return S_OK;
    }
    if (!in_.packed24) return Run(in, frames, out);
    const std::size_t samples = static_cast<std::size_t>(frames) * in_.channels;
    unpacked_.resize(samples * 4);
    Unpack24(in[0], samples, unpacked_.data());
    const std::uint8_t* planes[] = {unpacked_.data()};
    return Run(planes, frames, out);
}

HRESULT SampleConverter::Flush(std::vector<std::uint8_t>& out) {
    if (identity_ || !swr_) return S_OK;
    return Run(nullptr, 0, out);
}

HRESULT SampleConverter::Run(const std::uint8_t* const* in, int frames, std::vector<std::uint8_t>& out) {
    if (!swr_) return E_UNEXPECTED;
    const int capacity = swr_get_out_samples(swr_.get(), frames);
    if (capacity < 0) return E_FAIL;
    const int wideFrame = out_.channels * av_get_bytes_per_sample(out_.sampleFormat);
    const std::size_t from = out.size();
    out.resize(from + static_cast<std::size_t>(capacity) * wideFrame);
    std::uint8_t* target[] = {out.data() + from};
    const int made = swr_convert(swr_.get(), target, capacity, const_cast<const std::uint8_t**>(in), frames);
    if (made < 0) {
        out.resize(from);
        return E_FAIL;
    }
    out.resize(from + static_cast<std::size_t>(made) * wideFrame);
    if (out_.packed24) Pack24InPlace(out, from);
    return S_OK;
}

}  // namespace tessival::media
