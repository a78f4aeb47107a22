#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/media/WaveFormat.h"

namespace tessival::media {

// Sees, and may change, the PCM an encoder takes in: on the streaming thread, before the encoder
// encodes it. How a conversion measures the very audio it writes, or sets its level.
class IPcmTap {
public:
    virtual ~IPcmTap() = default;
    virtual void Tap(const WAVEFORMATEX& format, std::span<std::uint8_t> data) = 0;
};

// Encoders that take a tap. Set while the graph is stopped; without one nothing is spent on it.
class IPcmTapHost {
public:
    virtual ~IPcmTapHost() = default;
    virtual void SetPcmTap(std::shared_ptr<IPcmTap> tap) = 0;
};

}  // namespace tessival::media
