#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/BaseFilter.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/OptionalInterfaces.h"

namespace tessival::test {

using namespace media;

inline const Guid kTestClass{0x7E570001, 1, 2, {1, 2, 3, 4, 5, 6, 7, 8}};

// An output pin offering a fixed list of formats through IAMStreamConfig; remembers the last set.
class ConfigurablePin : public OutputPin, public IAMStreamConfig {
public:
    ConfigurablePin(BaseFilter& owner, std::string name, std::vector<WAVEFORMATEX> formats)
        : OutputPin(owner, std::move(name)), formats_(std::move(formats)) {}

    HRESULT GetNumberOfCapabilities(int& count, int& size) override {
        count = static_cast<int>(formats_.size());
        size = sizeof(AUDIO_STREAM_CONFIG_CAPS);
        return S_OK;
    }
    HRESULT GetStreamCaps(int index, MediaType& type, AUDIO_STREAM_CONFIG_CAPS*) override {
        if (index < 0) return E_INVALIDARG;
        if (index >= static_cast<int>(formats_.size())) return S_FALSE;
        type = MediaType::Audio(formats_[static_cast<std::size_t>(index)]);
        return S_OK;
    }
    HRESULT SetFormat(const MediaType& type) override {
        set.push_back(*type.WaveFormat());
        return S_OK;
    }
    HRESULT GetFormat(MediaType& type) override {
        if (set.empty()) return E_FAIL;
        type = MediaType::Audio(set.back());
        return S_OK;
    }
    std::vector<WAVEFORMATEX> set;

private:
    std::vector<WAVEFORMATEX> formats_;
};

// A capture input line: remembers whether it is enabled.
class MixerPin : public InputPin, public IAMAudioInputMixer {
public:
    MixerPin(BaseFilter& owner, std::string name) : InputPin(owner, std::move(name)) {}
    HRESULT put_Enable(bool value) override {
        enabled = value;
        ++calls;
        return S_OK;
    }
    HRESULT get_Enable(bool& value) override {
        value = enabled;
        return S_OK;
    }
    bool enabled = true;
    int calls = 0;
};

// A filter with the pins a test asks for.
class PinFilter : public BaseFilter {
public:
    PinFilter() : BaseFilter(kTestClass) {}
    template <class PinT, class... Args>
    PinT& Add(Args&&... args) {
        return AddPin<PinT>(std::forward<Args>(args)...);
    }
};

inline FilterEntry Entry(const Guid& category, std::optional<std::string> name,
                         std::function<std::shared_ptr<IBaseFilter>()> factory) {
    FilterEntry entry;
    entry.category = category;
    entry.clsid = kTestClass;
    entry.friendlyName = std::move(name);
    entry.factory = std::move(factory);
    return entry;
}

inline std::function<std::shared_ptr<IBaseFilter>()> PlainFilter() {
    return [] { return std::make_shared<PinFilter>(); };
}

inline WAVEFORMATEX Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint32_t bytesPerSecond,
                           std::uint16_t blockAlign, std::uint16_t bits) {
    WAVEFORMATEX format;
    format.wFormatTag = tag;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.nAvgBytesPerSec = bytesPerSecond;
    format.nBlockAlign = blockAlign;
    format.wBitsPerSample = bits;
    return format;
}

}  // namespace tessival::test
