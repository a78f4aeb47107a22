#pragma once

#include <optional>
#include <string_view>

namespace tessival {

// The quality a new item of a destination type gets when none is chosen, as the four numbers the
// quality list shows it (channels, kbps, bits, frequency, comma-separated): CD quality for WAVE,
// a common bit rate for the lossy types, FLAC's default level at the source's own bits and
// frequency. None for a type that has no obvious choice (the ADPCM, GSM and G.711 compressors).
std::optional<std::string_view> DefaultQualityText(std::string_view destType);

}  // namespace tessival
