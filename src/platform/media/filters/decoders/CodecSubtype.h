#pragma once

#include <cstdint>

#include "platform/media/Guid.h"

namespace tessival::media {

// Audio that "Media Splitter" finds in containers of no wave format family travels under a
// subtype of its libavcodec codec rather than a wave format tag, so that "ACM Wrapper" and the
// named decoders leave it to "Audio Decoder".
constexpr Guid CodecSubtype(std::uint32_t codecId) {
    return {codecId, 0x4C41, 0x5643, {0x63, 0x6F, 0x64, 0x65, 0x63, 0x00, 0x00, 0x00}};
}

constexpr bool IsCodecSubtype(const Guid& subtype) {
    const Guid family = CodecSubtype(0);
    return subtype.data2 == family.data2 && subtype.data3 == family.data3 && subtype.data4 == family.data4;
}

}  // namespace tessival::media
