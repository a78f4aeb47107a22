#include "platform/media/filters/encoders/LavcAudioEncoder.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/intreadwrite.h>
}

#include "platform/media/Enumerator.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/QueryInterface.h"
#include "platform/media/ffmpeg/LavcAudioDecoder.h"

namespace tessival::media {
namespace {

// The encoder's sample format that takes `preferred` (interleaved) with the least conversion:
// the same layout or its planar twin, else the encoder's first.
AVSampleFormat EncoderFormatFor(const AVCodec& codec, AVSampleFormat preferred) {
    if (!codec.sample_fmts) return AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* f = codec.sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
        if (av_get_packed_sample_fmt(*f) == preferred) return *f;
    return codec.sample_fmts[0];
}

template <class Sample>
void Deinterleave(const std::uint8_t* source, int frames, int channels, std::uint8_t* const* planes) {
    const auto* in = reinterpret_cast<const Sample*>(source);
    for (int c = 0; c < channels; ++c) {
        auto* out = reinterpret_cast<Sample*>(planes[c]);
        for (int i = 0; i < frames; ++i) out[i] = in[i * channels + c];
    }
}

// Interleaved converter output into the frame's planes.
void SplitPlanes(const std::uint8_t* source, int frames, const AVCodecContext& context, AVFrame& frame) {
    const int channels = context.ch_layout.nb_channels;
    switch (av_get_bytes_per_sample(context.sample_fmt)) {
    case 2: Deinterleave<std::uint16_t>(source, frames, channels, frame.extended_data); break;
    case 4: Deinterleave<std::uint32_t>(source, frames, channels, frame.extended_data); break;
    default: Deinterleave<std::uint64_t>(source, frames, channels, frame.extended_data); break;
    }
}

bool FixedFrameSize(const AVCodecContext& context) {
    return context.frame_size > 0 && !(context.codec->capabilities & (AV_CODEC_CAP_VARIABLE_FRAME_SIZE |
                                                                       AV_CODEC_CAP_SMALL_LAST_FRAME));
}

// The bits an integer encoder keeps of each sample (FLAC's 24 of 32); 0 for float input.
int IntegerBits(const AVCodecContext& context) {
    const AVSampleFormat packed = av_get_packed_sample_fmt(context.sample_fmt);
    if (packed != AV_SAMPLE_FMT_U8 && packed != AV_SAMPLE_FMT_S16 && packed != AV_SAMPLE_FMT_S32) return 0;
    const int width = av_get_bytes_per_sample(packed) * 8;
    return context.bits_per_raw_sample > 0 && context.bits_per_raw_sample < width ? context.bits_per_raw_sample
                                                                                   : width;
}

// A choice that follows the source: no rate of its own.
bool FollowsSource(const WAVEFORMATEX& choice) { return choice.nSamplesPerSec == 0; }

// What a choice that follows the source is tried with while the list is made: a CD's format.
WAVEFORMATEX TrialSource(const WAVEFORMATEX& choice) {
    return MakePcmFormat(44100, choice.nChannels == kSourceChannels ? 2 : choice.nChannels, 16);
}

// Whether the codec lists the candidate's rate and channel count, or leaves them open.
bool Declares(const AVCodec& codec, const WAVEFORMATEX& candidate) {
    bool rate = !codec.supported_samplerates;
    for (const int* r = codec.supported_samplerates; r && *r && !rate; ++r)
        rate = *r == static_cast<int>(candidate.nSamplesPerSec);
    bool channels = !codec.ch_layouts;
    for (const AVChannelLayout* layout = codec.ch_layouts; layout && layout->nb_channels && !channels; ++layout)
        channels = layout->nb_channels == candidate.nChannels;
    return rate && channels;
}

// The priming that starts the first packet and the padding that ends the last, which the encoder
// tells muxers that store them (the MP3 file's header), so players trim them.
void CopyTrimming(const AVPacket& packet, MediaSample& sample) {
    std::size_t size = 0;
    const std::uint8_t* skip = av_packet_get_side_data(&packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
    sample.trimStart = skip && size >= 8 ? AV_RL32(skip) : 0;
    sample.trimEnd = skip && size >= 8 ? AV_RL32(skip + 4) : 0;
}

void CopyFinalHeader(const AVPacket& packet, MediaSample& sample) {
    std::size_t size = 0;
    const std::uint8_t* header = av_packet_get_side_data(&packet, AV_PKT_DATA_NEW_EXTRADATA, &size);
    if (header) sample.finalHeader.assign(header, header + size);
    else sample.finalHeader.clear();
}

// The duration the nearest filter upstream that knows one announces (a splitter, a source).
std::optional<REFERENCE_TIME> UpstreamDuration(const IPin& input) {
    std::shared_ptr<IPin> pin;
    if (FAILED(input.ConnectedTo(pin))) return std::nullopt;
    for (int depth = 0; depth < 16 && pin; ++depth) {
        PIN_INFO info;
        if (FAILED(pin->QueryPinInfo(info)) || !info.pFilter) return std::nullopt;
        REFERENCE_TIME duration = 0;
        if (auto seeking = QueryInterface<IMediaSeeking>(info.pFilter))
            if (SUCCEEDED(seeking->GetDuration(duration)) && duration > 0) return duration;
        std::shared_ptr<IEnumPins> pins;
        if (FAILED(info.pFilter->EnumPins(pins)) || !pins) return std::nullopt;
        std::shared_ptr<IPin> candidate, next;
        while (!next && pins->Next(candidate) == S_OK) {
            PIN_DIRECTION direction;
            if (SUCCEEDED(candidate->QueryDirection(direction)) && direction == PINDIR_INPUT)
                candidate->ConnectedTo(next);
        }
        pin = next;
    }
    return std::nullopt;
}

}  // namespace

const std::vector<MediaType>& EncoderProfile::Capabilities() const {
    std::call_once(built_, [this] {
        const AVCodec* codec = avcodec_find_encoder_by_name(codecName);
        std::map<std::uint32_t, AvCodecContextPtr> probes;
        // Only whether each key opens: a FLAC encoder holds megabytes, freed at once.
        std::map<std::uint32_t, bool> opens;
        for (const WAVEFORMATEX& candidate : candidates) {
            const bool follows = FollowsSource(candidate);
            if (follows && !followSource) continue;
            const WAVEFORMATEX trial = follows ? followSource(candidate, TrialSource(candidate)) : candidate;
            if (!probeKey) {
                const AvCodecContextPtr context = LavcAudioEncoder::OpenEncoder(*this, trial);
                if (context) capabilities_.push_back(describe(*context, candidate));
                continue;
            }
            if (!codec || !Declares(*codec, trial)) continue;
            if (describeWhenUsed) {
                const auto [known, fresh] = opens.try_emplace(probeKey(trial), false);
                if (fresh) known->second = LavcAudioEncoder::OpenEncoder(*this, trial) != nullptr;
                if (known->second) capabilities_.push_back(MediaType::Audio(candidate));
                continue;
            }
            AvCodecContextPtr& probe = probes[probeKey(trial)];
            if (!probe) probe = LavcAudioEncoder::OpenEncoder(*this, trial);
            if (probe) capabilities_.push_back(describe(*probe, candidate));
        }
    });
    return capabilities_;
}

MediaType EncoderProfile::DescribedFor(const WAVEFORMATEX& format) const {
    std::lock_guard lock(describedMutex_);
    for (const auto& [known, type] : described_)
        if (std::memcmp(&known, &format, sizeof format) == 0) return type;
    const AvCodecContextPtr context = LavcAudioEncoder::OpenEncoder(*this, format);
    MediaType type = context ? describe(*context, format) : MediaType{};
    described_.emplace_back(format, type);
    return type;
}

AvCodecContextPtr LavcAudioEncoder::OpenEncoder(const EncoderProfile& profile, const WAVEFORMATEX& format,
                                                AVSampleFormat preferred) {
    const AVCodec* codec = avcodec_find_encoder_by_name(profile.codecName);
    if (!codec) return nullptr;
    AvCodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context) return nullptr;
    context->sample_rate = static_cast<int>(format.nSamplesPerSec);
    context->ch_layout = StandardLayout(format.nChannels);
    context->sample_fmt = EncoderFormatFor(*codec, preferred);
    context->bit_rate = static_cast<std::int64_t>(format.nAvgBytesPerSec) * 8;
    if (profile.configure) profile.configure(*context, format);
    if (avcodec_open2(context.get(), codec, nullptr) < 0) return nullptr;
    return context;
}

LavcAudioEncoder::LavcAudioEncoder(const EncoderProfile& profile)
    : AudioEncoderFilter(profile.clsid, "Input", "Output"), profile_(profile) {}

LavcAudioEncoder::~LavcAudioEncoder() { StopStreaming(); }

const std::vector<MediaType>& LavcAudioEncoder::Capabilities() const { return profile_.Capabilities(); }

MediaType LavcAudioEncoder::DefaultFormat(const MediaType& input) const {
    return Nearest(Capabilities(), input, profile_.defaultByteRate);
}

MediaType LavcAudioEncoder::ForInput(const MediaType& chosen, const MediaType& input) const {
    const WAVEFORMATEX* choice = chosen.WaveFormat();
    const WAVEFORMATEX* source = input.WaveFormat();
    if (choice && !FollowsSource(*choice)) return profile_.describeWhenUsed ? profile_.DescribedFor(*choice) : chosen;
    if (!choice || !source || !profile_.followSource) return MediaType{};
    // The source's real depth, not its container's: float and padded samples say how many bits count.
    WAVEFORMATEX content = *source;
    content.wBitsPerSample = static_cast<std::uint16_t>(input.ContentBits());
    return profile_.DescribedFor(profile_.followSource(*choice, content));
}

HRESULT LavcAudioEncoder::EncodeOnTwoThreads(bool twoThreads) {
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
    twoThreads_ = twoThreads;
    return S_OK;
}

HRESULT LavcAudioEncoder::CheckInput(const MediaType& type) const {
    return IsConvertiblePcm(type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT LavcAudioEncoder::StartStreaming() {
    StopStreaming();
    const WAVEFORMATEX& in = *InputType().WaveFormat();
    const WAVEFORMATEX& out = *OutputType().WaveFormat();
    SampleConverter::Format source =
        SampleConverter::PcmFormat(in.wBitsPerSample, in.nChannels, static_cast<int>(in.nSamplesPerSec));
    source.bits = InputType().ContentBits();
    context_ = OpenEncoder(profile_, out, source.packed24 ? AV_SAMPLE_FMT_NONE : source.sampleFormat);
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!context_ || !frame_ || !packet_) return VFW_E_TYPE_NOT_ACCEPTED;
    if (twoThreads_ && context_->codec_id == AV_CODEC_ID_FLAC)
        twoThreadEncoder_ = TwoThreadFlacEncoder::Create(
            [&profile = profile_, format = out, preferred = context_->sample_fmt] {
                return OpenEncoder(profile, format, preferred);
            },
            *context_);
    SampleConverter::Format target;
    target.sampleFormat = av_get_packed_sample_fmt(context_->sample_fmt);
    target.channels = out.nChannels;
    target.sampleRate = static_cast<int>(out.nSamplesPerSec);
    target.bits = IntegerBits(*context_);
    frameBytes_ = static_cast<std::size_t>(out.nChannels) * av_get_bytes_per_sample(target.sampleFormat);
    framesIn_ = framesOut_ = 0;
    sourceFrames_ = -1;
    packetsSeen_ = 0;
    naturalFrames_ = 0;
    signalsTrim_ = false;
    queue_.clear();
    frontPadding_ = 0;
    const std::int64_t expected = profile_.wholeFirstFrame && context_->frame_size > 0 ? ExpectedFrames() : -1;
    if (expected > 0) {
        frontPadding_ = (context_->frame_size - expected % context_->frame_size) % context_->frame_size;
        queue_.resize(static_cast<std::size_t>(frontPadding_) * frameBytes_, 0);  // zeros: silence in s16/s32/float
    }
    out_ = MediaSample{};
    return converter_.Open(source, target);
}

void LavcAudioEncoder::StopStreaming() {
    twoThreadEncoder_.reset();
    converter_.Close();
    context_.reset();
    frame_.reset();
    packet_.reset();
}

HRESULT LavcAudioEncoder::Transform(MediaSample& sample) {
    if (!context_) return E_UNEXPECTED;
    const std::uint16_t block = InputType().WaveFormat()->nBlockAlign;
    const std::uint8_t* planes[] = {sample.data.data()};
    const HRESULT hr = converter_.Convert(planes, static_cast<int>(sample.data.size() / block), queue_);
    if (FAILED(hr)) return hr;
    return EncodeQueued(false);
}

HRESULT LavcAudioEncoder::Drain() {
    if (!context_) return E_UNEXPECTED;
    HRESULT hr = converter_.Flush(queue_);
    sourceFrames_ = framesIn_ + static_cast<std::int64_t>(queue_.size() / frameBytes_) - frontPadding_;
    if (profile_.wholeFirstFrame && sourceFrames_ > 0 && frontPadding_ + sourceFrames_ < context_->frame_size)
        queue_.resize(static_cast<std::size_t>(context_->frame_size) * frameBytes_, 0);
    // An encoder that starts late by its delay but keeps no frames for a flush needs that much
    // silence after the end, or the source's last samples never reach the file.
    if (context_->initial_padding > 0 && !(context_->codec->capabilities & AV_CODEC_CAP_DELAY))
        queue_.resize(queue_.size() + static_cast<std::size_t>(context_->initial_padding) * frameBytes_, 0);
    // FFmpeg's MP4 reader takes the edit's length for the last packet's, and drops that packet
    // when the edit starts inside it: one frame of silence after the end, outside the edit, keeps it.
    if (frontPadding_ > 0 && sourceFrames_ > 0 && 2 * sourceFrames_ <= context_->frame_size)
        queue_.resize(queue_.size() + static_cast<std::size_t>(context_->frame_size) * frameBytes_, 0);
    if (SUCCEEDED(hr)) hr = EncodeQueued(true);
    if (FAILED(hr)) return hr;
    if (SendToEncoder(nullptr) < 0) return E_FAIL;
    hr = ReceivePackets();
    return FAILED(hr) ? hr : DeliverLast();
}

HRESULT LavcAudioEncoder::EncodeQueued(bool final) {
    const int frameSize = context_->frame_size > 0 ? context_->frame_size : 4096;
    std::size_t queued = queue_.size() / frameBytes_;
    std::size_t offset = 0;
    while (queued >= static_cast<std::size_t>(frameSize) || (final && queued > 0)) {
        const int frames = static_cast<int>(std::min<std::size_t>(queued, frameSize));
        if (FAILED(PrepareFrame(FixedFrameSize(*context_) ? frameSize : frames))) return E_OUTOFMEMORY;
        // Silence pads a last frame that the encoder needs whole.
        if (frames < frame_->nb_samples)
            av_samples_set_silence(frame_->extended_data, frames, frame_->nb_samples - frames,
                                   context_->ch_layout.nb_channels, context_->sample_fmt);
        const std::uint8_t* source = queue_.data() + offset * frameBytes_;
        if (av_sample_fmt_is_planar(context_->sample_fmt)) {
            SplitPlanes(source, frames, *context_, *frame_);
        } else {
            std::memcpy(frame_->data[0], source, static_cast<std::size_t>(frames) * frameBytes_);
        }
        frame_->pts = framesIn_;
        framesIn_ += frames;
        const HRESULT hr = SendFrame();
        if (FAILED(hr)) return hr;
        offset += frames;
        queued -= frames;
    }
    queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(offset * frameBytes_));
    return S_OK;
}

// One buffer serves every frame of the stream: the encoders copy what they are sent. Should one
// keep it (the FLAC threads do), the next frame takes a new buffer; every sample of a frame is
// written anew, so nothing of the old one needs copying.
HRESULT LavcAudioEncoder::PrepareFrame(int samples) {
    if (frame_->buf[0] && frame_->nb_samples == samples && av_frame_is_writable(frame_.get())) return S_OK;
    av_frame_unref(frame_.get());
    frame_->nb_samples = samples;
    frame_->format = context_->sample_fmt;
    frame_->sample_rate = context_->sample_rate;
    if (av_channel_layout_copy(&frame_->ch_layout, &context_->ch_layout) < 0 ||
        av_frame_get_buffer(frame_.get(), 0) < 0)
        return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT LavcAudioEncoder::SendFrame() {
    const int ret = SendToEncoder(frame_.get());
    if (ret < 0) return E_FAIL;
    return ReceivePackets();
}

int LavcAudioEncoder::SendToEncoder(const AVFrame* frame) {
    return twoThreadEncoder_ ? twoThreadEncoder_->Send(frame) : avcodec_send_frame(context_.get(), frame);
}

int LavcAudioEncoder::ReceiveFromEncoder(AVPacket* packet) {
    return twoThreadEncoder_ ? twoThreadEncoder_->Receive(packet) : avcodec_receive_packet(context_.get(), packet);
}

HRESULT LavcAudioEncoder::ReceivePackets() {
    const WAVEFORMATEX& out = *OutputType().WaveFormat();
    for (;;) {
        const int ret = ReceiveFromEncoder(packet_.get());
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return S_OK;
        if (ret < 0) return E_FAIL;
        // The fact chunk counts the source's frames, not the padding of a last block.
        std::int64_t frames = packet_->duration > 0 ? packet_->duration : context_->frame_size;
        const std::int64_t known = sourceFrames_ >= 0 ? sourceFrames_ : framesIn_;
        frames = std::max<std::int64_t>(0, std::min(frames, known - framesOut_));
        std::int64_t first = framesOut_;
        if (profile_.packetTimes && packet_->pts != AV_NOPTS_VALUE) {
            first = packet_->pts - frontPadding_;  // the silence in front counts as priming
            frames = packet_->duration;
        }
        out_.data.assign(packet_->data, packet_->data + packet_->size);
        out_.start = first * kUnitsPerSecond / out.nSamplesPerSec;
        framesOut_ += frames;
        out_.stop = (first + frames) * kUnitsPerSecond / out.nSamplesPerSec;
        out_.frameCount = frames;
        if (profile_.packetTimes) CopyTrimming(*packet_, out_);
        CopyFinalHeader(*packet_, out_);
        av_packet_unref(packet_.get());
        const HRESULT hr = profile_.packetTimes ? HoldBack(first) : Deliver(out_);
        if (FAILED(hr)) return hr;
    }
}

HRESULT LavcAudioEncoder::HoldBack(std::int64_t first) {
    if (packetsSeen_++ == 0) timelineStart_ = first;
    naturalFrames_ += out_.frameCount + out_.trimEnd;
    signalsTrim_ = signalsTrim_ || out_.trimStart > 0 || out_.trimEnd > 0;
    std::swap(out_, held_);
    const HRESULT hr = packetsSeen_ > 1 ? Deliver(out_) : S_OK;
    heldFirst_ = first;
    return hr;
}

std::int64_t LavcAudioEncoder::ExpectedFrames() const {
    const std::optional<REFERENCE_TIME> duration = UpstreamDuration(Input());
    if (!duration) return -1;
    const std::int64_t rate = OutputType().WaveFormat()->nSamplesPerSec;
    return (*duration * rate + kUnitsPerSecond / 2) / kUnitsPerSecond;
}

HRESULT LavcAudioEncoder::DeliverLast() {
    if (packetsSeen_ == 0) return S_OK;
    packetsSeen_ = 0;
    const std::int64_t rate = OutputType().WaveFormat()->nSamplesPerSec;
    // Encoders round their last packet to their own bookkeeping (a padded first frame counts
    // whole): the last packet ends where the source ends.
    if (heldFirst_ < sourceFrames_) {
        held_.frameCount = sourceFrames_ - heldFirst_;
        held_.stop = sourceFrames_ * kUnitsPerSecond / rate;
    } else if (frontPadding_ > 0) {
        held_.frameCount = 0;  // the silence after a tiny source: outside the source, no length
        held_.stop = held_.start;
    }
    // The MP3 header keeps one padding figure, read from the last packet: it has to cover every
    // sample after the source's end, not only the last packet's own.
    if (signalsTrim_)
        held_.trimEnd = static_cast<std::uint32_t>(
            std::max<std::int64_t>(0, timelineStart_ + naturalFrames_ - sourceFrames_));
    return Deliver(held_);
}

}  // namespace tessival::media
