#include "platform/media/ffmpeg/SampleConverter.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <memory>

extern "C" {
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "platform/media/ffmpeg/LavcAudioDecoder.h"
#include "platform/media/ffmpeg/PlainDownmix.h"

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
    bool dithered = false;
    bool roundedTo16 = false;
    SwrContextPtr swr;
};
thread_local IdleResampler idle;
std::atomic<bool> ditherOn{true};
constexpr int kFlushFrames = 4096;

int WidthOf(AVSampleFormat format) { return av_get_bytes_per_sample(format) * 8; }

bool IsInteger(AVSampleFormat format) {
    const AVSampleFormat packed = av_get_packed_sample_fmt(format);
    return packed == AV_SAMPLE_FMT_U8 || packed == AV_SAMPLE_FMT_S16 || packed == AV_SAMPLE_FMT_S32 ||
           packed == AV_SAMPLE_FMT_S64;
}

// Output bits of 32-bit samples that are kept (24 when packed to three bytes, FLAC's 24 of 32).
int KeptBitsOf32(const SampleConverter::Format& out) {
    const int precision = SampleConverter::PrecisionOf(out);
    return av_get_packed_sample_fmt(out.sampleFormat) == AV_SAMPLE_FMT_S32 && precision < 32 ? precision : 32;
}

// 32-bit samples, already rounded to their top 16 bits, to 16-bit ones in place.
void NarrowTo16InPlace(std::vector<std::uint8_t>& data, std::size_t from) {
    const std::size_t samples = (data.size() - from) / 4;
    std::uint8_t* p = data.data() + from;
    for (std::size_t i = 0; i < samples; ++i) std::memmove(p + 2 * i, p + 4 * i + 2, 2);
    data.resize(from + samples * 2);
}

}  // namespace

AVChannelLayout StandardLayout(int channels) {
    AVChannelLayout layout{};
    if (channels == 3)
        layout = AV_CHANNEL_LAYOUT_SURROUND;
    else
        av_channel_layout_default(&layout, channels);
    return layout;
}

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
    idle.dithered = dithered_;
    idle.roundedTo16 = roundedTo16_;
    idle.swr = std::move(swr_);
}

void SampleConverter::SetDither(bool on) { ditherOn = on; }

bool SampleConverter::Dither() { return ditherOn; }

int SampleConverter::PrecisionOf(const Format& format) {
    if (format.packed24) return format.bits > 0 && format.bits < 24 ? format.bits : 24;
    const int width = WidthOf(format.sampleFormat);
    if (format.bits > 0 && format.bits < width) return format.bits;
    const AVSampleFormat packed = av_get_packed_sample_fmt(format.sampleFormat);
    if (packed == AV_SAMPLE_FMT_FLT) return 24;
    if (packed == AV_SAMPLE_FMT_DBL) return 53;
    return width;
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
                in.sampleRate == out.sampleRate && in.packed24 == out.packed24 && !av_sample_fmt_is_planar(in.sampleFormat) &&
                PrecisionOf(out) >= PrecisionOf(in);
    framesIn_ = framesOut_ = 0;
    dithered_ = roundedTo16_ = false;
    if (identity_) return S_OK;
    const bool reducing = IsInteger(out.sampleFormat) && PrecisionOf(out) < PrecisionOf(in);
    dithered_ = Dither() && reducing;
    // Without dither libswresample would truncate to 16 bits (half a step of DC offset): it makes
    // 32 bits here, rounded down to 16 afterwards.
    roundedTo16_ = reducing && !dithered_ && av_get_packed_sample_fmt(out.sampleFormat) == AV_SAMPLE_FMT_S16;
    int ret = 0;
    // A kept resampler's dither goes on where the last item left it (initialising again does not
    // rewind it), so an item's bytes would depend on the items before it.
    if (idle.swr && !dithered_ && idle.in == in && idle.out == out && !idle.dithered &&
        idle.roundedTo16 == roundedTo16_) {
        swr_ = std::move(idle.swr);
    } else {
        AVChannelLayout inLayout = StandardLayout(in.channels), outLayout = StandardLayout(out.channels);
        SwrContext* made = nullptr;
        ret = swr_alloc_set_opts2(&made, &outLayout, SwrOutputFormat(), out.sampleRate, &inLayout, in.sampleFormat,
                                  in.sampleRate, 0, nullptr);
        swr_.reset(made);
        // A count without a standard layout names no speakers for libswresample to mix from.
        if (const auto matrix = inLayout.order == AV_CHANNEL_ORDER_UNSPEC ? PlainDownmix(in.channels, out.channels)
                                                                           : std::vector<double>{};
            ret >= 0 && !matrix.empty())
            ret = swr_set_matrix(made, matrix.data(), in.channels);
        if (ret >= 0 && dithered_) {
            ret = av_opt_set_int(made, "dither_method", SWR_DITHER_TRIANGULAR, 0);
            // Noise of one step of the bits kept, not of the 32-bit container.
            if (ret >= 0 && KeptBitsOf32(out) < 32) ret = av_opt_set_int(made, "output_sample_bits", KeptBitsOf32(out), 0);
        }
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

AVSampleFormat SampleConverter::SwrOutputFormat() const {
    return roundedTo16_ ? AV_SAMPLE_FMT_S32 : out_.sampleFormat;
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
    const std::size_t from = out.size();
    HRESULT hr = S_OK;
    // A resampler gives nothing back until its filter has seen enough input, so a source of a few
    // samples would vanish: silence after the end pushes them through, and the output is cut to
    // the length the source stands for at the new rate.
    const bool resampling = in_.sampleRate != out_.sampleRate;
    if (resampling) hr = PushSilence(kFlushFrames, out);
    for (std::size_t before = out.size() + 1; SUCCEEDED(hr) && out.size() != before;) {
        before = out.size();
        hr = Run(nullptr, 0, out);
    }
    if (FAILED(hr) || !resampling) return hr;
    const std::int64_t wanted = av_rescale_rnd(framesIn_, out_.sampleRate, in_.sampleRate, AV_ROUND_NEAR_INF);
    const std::int64_t made = framesOut_;
    const std::size_t frameBytes = static_cast<std::size_t>(OutputFrameBytes());
    if (made > wanted) {
        const std::size_t excess = static_cast<std::size_t>(made - wanted) * frameBytes;
        out.resize(out.size() - std::min(excess, out.size() - from));
    }
    return S_OK;
}

HRESULT SampleConverter::PushSilence(int frames, std::vector<std::uint8_t>& out) {
    std::uint8_t** planes = nullptr;
    if (av_samples_alloc_array_and_samples(&planes, nullptr, in_.channels, frames, in_.sampleFormat, 0) < 0)
        return E_OUTOFMEMORY;
    av_samples_set_silence(planes, 0, frames, in_.channels, in_.sampleFormat);
    const std::int64_t counted = framesIn_;
    const HRESULT hr = Run(planes, frames, out);
    framesIn_ = counted;  // the padding is not the source's
    av_freep(&planes[0]);
    av_freep(&planes);
    return hr;
}

HRESULT SampleConverter::Run(const std::uint8_t* const* in, int frames, std::vector<std::uint8_t>& out) {
    if (!swr_) return E_UNEXPECTED;
    int capacity = swr_get_out_samples(swr_.get(), frames);
    if (capacity < 0) return E_FAIL;
    if (!in) capacity = std::max(capacity, kFlushFrames);
    const int wideFrame = out_.channels * av_get_bytes_per_sample(SwrOutputFormat());
    const std::size_t from = out.size();
    out.resize(from + static_cast<std::size_t>(capacity) * wideFrame);
    std::uint8_t* target[] = {out.data() + from};
    const int made = swr_convert(swr_.get(), target, capacity, const_cast<const std::uint8_t**>(in), frames);
    if (made < 0) {
        out.resize(from);
        return E_FAIL;
    }
    out.resize(from + static_cast<std::size_t>(made) * wideFrame);
    framesIn_ += frames;
    framesOut_ += made;
    RoundToKeptBits(out, from);
    if (out_.packed24) Pack24InPlace(out, from);
    if (roundedTo16_) NarrowTo16InPlace(out, from);
    return S_OK;
}

void SampleConverter::RoundToKeptBits(std::vector<std::uint8_t>& out, std::size_t from) const {
    const int kept = roundedTo16_ ? 16 : KeptBitsOf32(out_);
    if (kept >= 32) return;
    const int shift = 32 - kept;
    const std::int64_t half = std::int64_t{1} << (shift - 1);
    const std::int64_t top = (std::int64_t{std::numeric_limits<std::int32_t>::max()} >> shift) << shift;
    for (std::size_t at = from; at + 4 <= out.size(); at += 4) {
        std::int32_t sample;
        std::memcpy(&sample, out.data() + at, 4);
        sample = static_cast<std::int32_t>(std::min(((sample + half) >> shift) << shift, top));
        std::memcpy(out.data() + at, &sample, 4);
    }
}

}  // namespace tessival::media
