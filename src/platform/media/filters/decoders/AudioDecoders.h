#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/filters/decoders/AcmWrapper.h"

namespace tessival::media {

// The decoders of one compressed format family to PCM: "MPEG Audio Decoder" (MPEG-1/2 layers
// I to III), "MPEG Layer-3 Decoder" (layer III), "Windows Media Audio Decoder" (WMA v1, v2, Pro,
// Lossless) and "AC3Filter" (AC-3). They decode as "ACM Wrapper" does, encoder delay and padding
// dropped as the container reports them, but only their own formats and with a merit above it,
// so that rendering a file picks them.
class AudioDecoder : public AcmWrapper {
public:
    AudioDecoder(const Guid& clsid, std::vector<std::uint16_t> formatTags);

    static FilterEntry MpegAudioEntry();
    static FilterEntry MpegLayer3Entry();
    static FilterEntry WindowsMediaAudioEntry();
    static FilterEntry Ac3Entry();

protected:
    HRESULT CheckInput(const MediaType& type) const override;

private:
    static FilterEntry EntryFor(const char* name, const Guid& clsid, std::uint32_t merit,
                                std::vector<std::uint16_t> formatTags);

    std::vector<std::uint16_t> formatTags_;
};

}  // namespace tessival::media
