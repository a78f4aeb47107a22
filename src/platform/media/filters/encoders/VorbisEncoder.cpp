#include "platform/media/filters/encoders/VorbisEncoder.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/mem.h>
}

namespace tessival::media {
namespace {

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
    converted_.clear();
    return converter_.Open(source, target);
}

void VorbisEncoder::StopStreaming() {
    converter_.Close();
    stream_.reset();
}

HRESULT VorbisEncoder::Transform(MediaSample& sample) {
    if (!stream_) return E_UNEXPECTED;
    const std::uint16_t block = InputType().WaveFormat()->nBlockAlign;
    const std::uint8_t* planes[] = {sample.data.data()};
    const HRESULT hr = converter_.Convert(planes, static_cast<int>(sample.data.size() / block), converted_);
    return FAILED(hr) ? hr : EncodeConverted();
}

HRESULT VorbisEncoder::Drain() {
    if (!stream_) return E_UNEXPECTED;
    HRESULT hr = converter_.Flush(converted_);
    if (SUCCEEDED(hr)) hr = EncodeConverted();
    return FAILED(hr) ? hr : stream_->Finish(sink_);
}

HRESULT VorbisEncoder::EncodeConverted() {
    const std::int64_t frames = static_cast<std::int64_t>(converted_.size() / sizeof(float)) / stream_->Channels();
    const HRESULT hr = stream_->Write(reinterpret_cast<const float*>(converted_.data()), frames, sink_);
    converted_.clear();
    return hr;
}

HRESULT VorbisEncoder::OnPacket(const VorbisStream::Packet& packet) {
    const long rate = stream_->Rate();
    MediaSample out;
    out.data.assign(packet.data, packet.data + packet.size);
    out.start = TimeOf(packet.first, rate);
    out.stop = TimeOf(packet.first + packet.frames, rate);
    out.frameCount = packet.frames;
    return Deliver(out);
}

}  // namespace tessival::media
