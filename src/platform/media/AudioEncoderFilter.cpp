#include "platform/media/AudioEncoderFilter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tessival::media {
namespace {

bool SameFormat(const MediaType& a, const MediaType& b) {
    const WAVEFORMATEX* x = a.WaveFormat();
    const WAVEFORMATEX* y = b.WaveFormat();
    return x && y && std::memcmp(x, y, sizeof(WAVEFORMATEX)) == 0 && a.ExtraBytes().size() == b.ExtraBytes().size() &&
           std::equal(a.ExtraBytes().begin(), a.ExtraBytes().end(), b.ExtraBytes().begin());
}

}  // namespace

class AudioEncoderFilter::StreamConfigPin : public OutputPin, public IAMStreamConfig {
public:
    StreamConfigPin(BaseFilter& owner, std::string name) : OutputPin(owner, std::move(name)) {}

    HRESULT GetNumberOfCapabilities(int& count, int& size) override {
        count = static_cast<int>(Encoder().Capabilities().size());
        size = sizeof(AUDIO_STREAM_CONFIG_CAPS);
        return S_OK;
    }

    HRESULT GetStreamCaps(int index, MediaType& type, AUDIO_STREAM_CONFIG_CAPS* caps) override {
        const auto& all = Encoder().Capabilities();
        if (index < 0) return E_INVALIDARG;
        if (static_cast<std::size_t>(index) >= all.size()) return S_FALSE;
        type = all[index];
        if (caps) *caps = CapsOf(*type.WaveFormat());
        return S_OK;
    }

    HRESULT SetFormat(const MediaType& type) override { return Encoder().SetFormat(type); }

    HRESULT GetFormat(MediaType& type) override {
        return Encoder().ChosenFormat(type) ? S_OK : VFW_E_NOT_CONNECTED;
    }

private:
    AudioEncoderFilter& Encoder() const { return static_cast<AudioEncoderFilter&>(Owner()); }

    static AUDIO_STREAM_CONFIG_CAPS CapsOf(const WAVEFORMATEX& format) {
        AUDIO_STREAM_CONFIG_CAPS caps;
        caps.MinimumChannels = caps.MaximumChannels = format.nChannels;
        caps.MinimumBitsPerSample = caps.MaximumBitsPerSample = format.wBitsPerSample;
        caps.MinimumSampleFrequency = caps.MaximumSampleFrequency = format.nSamplesPerSec;
        return caps;
    }
};

AudioEncoderFilter::AudioEncoderFilter(const Guid& clsid, std::string inputName, std::string outputName)
    : TransformFilter(clsid, std::move(inputName), std::move(outputName), std::type_identity<StreamConfigPin>{}) {}

HRESULT AudioEncoderFilter::SetFormat(const MediaType& type) {
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (Output().IsConnected()) return VFW_E_ALREADY_CONNECTED;
    for (const MediaType& capability : Capabilities()) {
        if (SameFormat(capability, type)) {
            setFormat_ = capability;
            return S_OK;
        }
    }
    return VFW_E_INVALIDMEDIATYPE;
}

bool AudioEncoderFilter::ChosenFormat(MediaType& type) const {
    if (setFormat_) {
        type = *setFormat_;
        return true;
    }
    if (!Input().IsConnected()) return false;
    type = DefaultFormat(InputType());
    return true;
}

MediaType AudioEncoderFilter::Nearest(const std::vector<MediaType>& all, const MediaType& input,
                                      std::uint32_t byteRate) {
    const WAVEFORMATEX* in = input.WaveFormat();
    const std::int64_t target = byteRate;
    const auto distance = [in, target](const MediaType& type) {
        const WAVEFORMATEX& wave = *type.WaveFormat();
        const bool followsSource = wave.nSamplesPerSec == 0;
        const std::int64_t rate = in && !followsSource
                                      ? std::abs(static_cast<std::int64_t>(wave.nSamplesPerSec) - in->nSamplesPerSec)
                                      : 0;
        const bool sameChannels = !in || wave.nChannels == in->nChannels || wave.nChannels == kSourceChannels;
        const std::int64_t channels = sameChannels ? 0 : 1;
        const std::int64_t bytes = std::abs(static_cast<std::int64_t>(wave.nAvgBytesPerSec) - target);
        return rate * 1'000'000'000 + channels * 100'000'000 + bytes;
    };
    if (all.empty()) return MediaType{};
    return *std::min_element(all.begin(), all.end(),
                             [&](const MediaType& a, const MediaType& b) { return distance(a) < distance(b); });
}

HRESULT AudioEncoderFilter::OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const {
    MediaType chosen;
    if (!ChosenFormat(chosen)) return S_OK;
    MediaType output = ForInput(chosen, input);
    if (output.WaveFormat()) types.push_back(std::move(output));
    return S_OK;
}

HRESULT AudioEncoderFilter::PreferredInputTypes(std::vector<MediaType>& types) const {
    const WAVEFORMATEX* chosen = setFormat_ ? setFormat_->WaveFormat() : nullptr;
    if (!chosen) return S_OK;
    for (std::uint16_t bits : {16, 24, 32, 8})
        types.push_back(MediaType::Audio(MakePcmFormat(chosen->nSamplesPerSec, chosen->nChannels, bits)));
    return S_OK;
}

void AudioEncoderFilter::OnInput(MediaSample& sample) {
    const WAVEFORMATEX* format = InputType().WaveFormat();
    if (!format) return;
    if (tap_) tap_->Tap(*format, sample.data);
    meter_.Measure(*format, sample.data);
    if (format->nBlockAlign > 0 && format->nSamplesPerSec > 0)
        received_ += static_cast<REFERENCE_TIME>(sample.data.size() / format->nBlockAlign) * kUnitsPerSecond /
                     format->nSamplesPerSec;
}

HRESULT AudioEncoderFilter::AcceptEnd() { return endCheck_ ? endCheck_(received_) : S_OK; }

HRESULT AudioEncoderFilter::OnPrepare() {
    received_ = 0;
    return TransformFilter::OnPrepare();
}

}  // namespace tessival::media
