#pragma once

#include <cstdint>
#include <span>

#include "platform/media/WaveFormat.h"

namespace tessival::media {

// One sample of interleaved PCM as a value from -1 to 1, and back. Integer PCM of 8 to 32 bits
// and 32-bit float; null for formats that are not plain PCM.
using SampleReader = float (*)(const std::uint8_t*);
using SampleWriter = void (*)(float, std::uint8_t*);
SampleReader PcmReader(const WAVEFORMATEX& format);
SampleWriter PcmWriter(const WAVEFORMATEX& format);

// Multiplies the PCM in place, rounding and clipping at full scale; false for formats it does not read.
bool ScalePcm(const WAVEFORMATEX& format, std::span<std::uint8_t> data, double gain);

}  // namespace tessival::media
