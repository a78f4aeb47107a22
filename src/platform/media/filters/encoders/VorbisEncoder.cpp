#include "platform/media/filters/encoders/VorbisEncoder.h"

#include <algorithm>
#include <cstring>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/mem.h>
}

namespace tessival::media {
namespace {

// oggenc's chunk: libvorbis analyses in windows of up to 2048 samples, and much smaller chunks
// (FFmpeg's 64) cost it a fifth more time.
constexpr int kChunkFrames = 1024;
// libvorbis extrapolates the stream's start backwards from all it holds once that is more than a
// long window. Up to then the frames go in in FFmpeg's wrapper's steps, so it holds what it held
// there, and the packets are the very ones that wrapper makes.
constexpr int kWrapperFrames = 64;

// The most frames the next chunk may have, when `fed` went in before and `left` wait.
std::int64_t ChunkAfter(std::int64_t fed, std::int64_t left, long longBlock) {
    const std::int64_t chunk = std::min<std::int64_t>(kChunkFrames, left);
    if (fed >= longBlock + kWrapperFrames) return chunk;
    const std::int64_t stop = fed < longBlock ? longBlock : longBlock + kWrapperFrames;
    return std::min(chunk, stop - fed) / kWrapperFrames * kWrapperFrames;
}
constexpr std::uint32_t kDefaultByteRate = 128 * 125;

long BitRate(const WAVEFORMATEX& choice) { return static_cast<long>(choice.nAvgBytesPerSec) * 8; }

bool SameChoice(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
    return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec && a.nAvgBytesPerSec == b.nAvgBytesPerSec;
}

// What the muxer is told: the codec, rate, channels and bit rate, and the headers when known.
MediaType Described(const WAVEFORMATEX& choice, const std::vector<std::uint8_t>* headers) {
    std::shared_ptr<AVCodecParameters> parameters(avcodec_parameters_alloc(), [](AVCodecParameters* p) {
        avcodec_parameters_free(&p);
    });
    MediaType type = MediaType::Audio(choice);
    if (!parameters) return type;
    parameters->codec_type = AVMEDIA_TYPE_AUDIO;
    parameters->codec_id = AV_CODEC_ID_VORBIS;
    parameters->sample_rate = static_cast<int>(choice.nSamplesPerSec);
    parameters->ch_layout = StandardLayout(choice.nChannels);
    parameters->bit_rate = BitRate(choice);
    if (headers) {
        auto* extradata = static_cast<std::uint8_t*>(av_mallocz(headers->size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!extradata) return MediaType{};
        std::memcpy(extradata, headers->data(), headers->size());
        parameters->extradata = extradata;
        parameters->extradata_size = static_cast<int>(headers->size());
    }
    type.codecParameters = std::move(parameters);
    return type;
}

REFERENCE_TIME TimeOf(std::int64_t frames, long rate) { return frames * kUnitsPerSecond / rate; }

}  // namespace

std::vector<MediaType> VorbisEncoder::Offered(const std::vector<WAVEFORMATEX>& choices) {
    std::vector<MediaType> offered;
    for (const WAVEFORMATEX& choice : choices)
        if ((choice.nChannels == 1 || choice.nChannels == 2) &&
            VorbisStream::Accepts(choice.nChannels, static_cast<long>(choice.nSamplesPerSec), BitRate(choice)))
            offered.push_back(Described(choice, nullptr));
    return offered;
}

VorbisEncoder::VorbisEncoder(const Guid& clsid, const std::vector<MediaType>& capabilities)
    : AudioEncoderFilter(clsid, "Input", "Output"), capabilities_(capabilities) {
    sink_ = [this](const VorbisStream::Packet& packet) { return OnPacket(packet); };
}

VorbisEncoder::~VorbisEncoder() { StopStreaming(); }

MediaType VorbisEncoder::DefaultFormat(const MediaType& input) const {
    return Nearest(capabilities_, input, kDefaultByteRate);
}

MediaType VorbisEncoder::ForInput(const MediaType& chosen, const MediaType&) const {
    const WAVEFORMATEX* choice = chosen.WaveFormat();
    if (!choice) return MediaType{};
    std::lock_guard lock(primedMutex_);
    if (!primed_ || !SameChoice(primedFor_, *choice)) {
        primed_ = VorbisStream::Open(choice->nChannels, static_cast<long>(choice->nSamplesPerSec), BitRate(*choice));
        primedFor_ = *choice;
    }
    return primed_ ? Described(*choice, &primed_->Headers()) : MediaType{};
}

std::unique_ptr<VorbisStream> VorbisEncoder::TakeStream(const WAVEFORMATEX& choice) {
    {
        std::lock_guard lock(primedMutex_);
        if (primed_ && SameChoice(primedFor_, choice)) return std::move(primed_);
    }
    return VorbisStream::Open(choice.nChannels, static_cast<long>(choice.nSamplesPerSec), BitRate(choice));
}

HRESULT VorbisEncoder::CheckInput(const MediaType& type) const {
    return IsConvertiblePcm(type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT VorbisEncoder::StartStreaming() {
    StopStreaming();
    const WAVEFORMATEX& in = *InputType().WaveFormat();
    const WAVEFORMATEX& out = *OutputType().WaveFormat();
    stream_ = TakeStream(out);
    if (!stream_) return VFW_E_TYPE_NOT_ACCEPTED;
    SampleConverter::Format source =
        SampleConverter::PcmFormat(in.wBitsPerSample, in.nChannels, static_cast<int>(in.nSamplesPerSec));
    source.bits = InputType().ContentBits();
    SampleConverter::Format target;
    target.sampleFormat = AV_SAMPLE_FMT_FLT;
    target.channels = out.nChannels;
    target.sampleRate = static_cast<int>(out.nSamplesPerSec);
    framesFed_ = packetEnd_ = 0;
    previousBlock_ = stream_->ShortBlock();
    held_.reset();
    converted_.clear();
    return converter_.Open(source, target);
}

void VorbisEncoder::StopStreaming() {
    converter_.Close();
    stream_.reset();
    held_.reset();
}

HRESULT VorbisEncoder::Transform(MediaSample& sample) {
    if (!stream_) return E_UNEXPECTED;
    const std::uint16_t block = InputType().WaveFormat()->nBlockAlign;
    const std::uint8_t* planes[] = {sample.data.data()};
    const HRESULT hr = converter_.Convert(planes, static_cast<int>(sample.data.size() / block), converted_);
    return FAILED(hr) ? hr : EncodeConverted(false);
}

HRESULT VorbisEncoder::Drain() {
    if (!stream_) return E_UNEXPECTED;
    HRESULT hr = converter_.Flush(converted_);
    if (SUCCEEDED(hr)) hr = EncodeConverted(true);
    if (SUCCEEDED(hr)) hr = stream_->Wrote(0, sink_);
    return FAILED(hr) ? hr : DeliverLast();
}

HRESULT VorbisEncoder::EncodeConverted(bool final) {
    const int channels = stream_->Channels();
    const auto* samples = reinterpret_cast<const float*>(converted_.data());
    const std::int64_t frames = static_cast<std::int64_t>(converted_.size() / sizeof(float)) / channels;
    std::int64_t done = 0;
    while (done < frames) {
        std::int64_t chunk = ChunkAfter(framesFed_, frames - done, stream_->LongBlock());
        if (chunk == 0 && !final) break;  // a step's remainder waits for the next samples
        if (chunk == 0) chunk = frames - done;
        float** planes = stream_->Buffer(static_cast<int>(chunk));
        const float* from = samples + done * channels;
        for (int c = 0; c < channels; ++c)
            for (std::int64_t i = 0; i < chunk; ++i) planes[c][i] = from[i * channels + c];
        done += chunk;
        framesFed_ += chunk;
        const HRESULT hr = stream_->Wrote(static_cast<int>(chunk), sink_);
        if (FAILED(hr)) return hr;
    }
    converted_.erase(converted_.begin(), converted_.begin() + static_cast<std::ptrdiff_t>(done * channels * sizeof(float)));
    return S_OK;
}

// A packet decodes to half of each window it overlaps: a quarter of the previous one and a
// quarter of its own. The first starts that far before zero, and none ends past what was fed.
HRESULT VorbisEncoder::OnPacket(const VorbisStream::Packet& packet) {
    const std::int64_t length = (previousBlock_ + packet.blockSize) / 4;
    previousBlock_ = packet.blockSize;
    if (!held_) packetEnd_ = -length;  // nothing held yet: the stream's first packet
    const std::int64_t first = packetEnd_;
    packetEnd_ = std::max(first, std::min(first + length, framesFed_));
    const long rate = stream_->Rate();
    MediaSample out;
    out.data.assign(packet.data, packet.data + packet.size);
    out.start = TimeOf(first, rate);
    out.stop = TimeOf(packetEnd_, rate);
    out.frameCount = packetEnd_ - first;
    std::optional<MediaSample> previous = std::exchange(held_, std::move(out));
    heldFirst_ = first;
    return previous ? Deliver(*previous) : S_OK;
}

HRESULT VorbisEncoder::DeliverLast() {
    std::optional<MediaSample> last = std::exchange(held_, std::nullopt);
    if (!last || framesFed_ == 0) return S_OK;  // an empty source has no audio to write
    if (heldFirst_ < framesFed_) {
        last->frameCount = framesFed_ - heldFirst_;
        last->stop = TimeOf(framesFed_, stream_->Rate());
    }
    return Deliver(*last);
}

}  // namespace tessival::media
