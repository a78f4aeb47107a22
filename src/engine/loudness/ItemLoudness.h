#pragma once

#include "platform/media/IPcmTap.h"
#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

// What an item's encoder is fed, measured after the item's gain (1 unless normalising) is applied.
// Tapped on the streaming thread; read once the graph has stopped.
class ItemLoudness : public media::IPcmTap {
public:
    explicit ItemLoudness(double gain = 1.0) : gain_(gain) {}

    void Tap(const media::WAVEFORMATEX& format, std::span<std::uint8_t> data) override;
    const media::LoudnessMeter& Meter() const { return meter_; }

private:
    double gain_;
    media::LoudnessMeter meter_;
};

}  // namespace tessival
