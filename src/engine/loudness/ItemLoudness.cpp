#include "engine/loudness/ItemLoudness.h"

#include "platform/media/PcmSamples.h"

namespace tessival {

void ItemLoudness::Tap(const media::WAVEFORMATEX& format, std::span<std::uint8_t> data) {
    if (gain_ != 1.0) media::ScalePcm(format, data, gain_);
    meter_.Measure(format, data);
}

}  // namespace tessival
