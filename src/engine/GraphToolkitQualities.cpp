// The encoder output-format operations of GraphToolkit.
#include <cstring>

#include "engine/GraphToolkit.h"
#include "platform/media/QueryInterface.h"
#include "platform/shell/Shell.h"

namespace tessival {

using namespace media;

namespace {

constexpr int kEncoderOutputPins = 2;

QualityInfo QualityOf(const MediaType& type) {
    QualityInfo quality{};
    if (const WAVEFORMATEX* format = type.WaveFormat()) std::memcpy(&quality, format, sizeof quality);
    return quality;
}

}  // namespace

std::vector<QualityInfo> GraphToolkit::QualitiesOf(const std::shared_ptr<IBaseFilter>& encoder) {
    std::vector<QualityInfo> qualities;
    for (int pinIndex = 0; pinIndex < kEncoderOutputPins; ++pinIndex) {
        auto pin = GetPin(encoder, PINDIR_OUTPUT, pinIndex);
        if (!pin) break;
        auto config = QueryInterface<IAMStreamConfig>(pin);
        if (!config) {
            shell_.MessageBox("Fail to Create IID_IAMStreamConfig");
            break;
        }
        int count = 0, size = 0;
        if (FAILED(config->GetNumberOfCapabilities(count, size))) break;
        for (int j = 0; j < count; ++j) {
            MediaType type;
            AUDIO_STREAM_CONFIG_CAPS caps;
            // A capability that is not a wave format block is left out.
            if (config->GetStreamCaps(j, type, &caps) == S_OK && type.WaveFormat()) qualities.push_back(QualityOf(type));
        }
    }
    return qualities;
}

int GraphToolkit::ListQualities(const std::shared_ptr<IBaseFilter>& encoder) {
    lastQualities_ = QualitiesOf(encoder);
    return static_cast<int>(lastQualities_.size());
}

QualityInfo GraphToolkit::GetQuality(int index) const {
    if (index < 0 || index >= static_cast<int>(lastQualities_.size())) return QualityInfo{};
    return lastQualities_[static_cast<std::size_t>(index)];
}

bool GraphToolkit::ApplyQuality(const std::shared_ptr<IBaseFilter>& encoder, const QualityInfo& quality) {
    bool applied = false;
    for (int pinIndex = 0; pinIndex < kEncoderOutputPins; ++pinIndex) {
        auto pin = GetPin(encoder, PINDIR_OUTPUT, pinIndex);
        if (!pin) break;
        auto config = QueryInterface<IAMStreamConfig>(pin);
        if (!config) break;
        int count = 0, size = 0;
        if (FAILED(config->GetNumberOfCapabilities(count, size))) count = 0;
        for (int j = 0; j < count; ++j) {
            MediaType type;
            AUDIO_STREAM_CONFIG_CAPS caps;
            if (config->GetStreamCaps(j, type, &caps) != S_OK || !type.WaveFormat()) continue;
            if (!IsSameQuality(QualityOf(type), quality)) continue;
            applied = true;
            config->SetFormat(type);
            break;
        }
    }
    return applied;
}

}  // namespace tessival
