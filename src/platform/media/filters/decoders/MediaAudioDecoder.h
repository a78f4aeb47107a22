#pragma once

#include "platform/media/filters/decoders/AcmWrapper.h"

namespace tessival::media {

inline constexpr Guid CLSID_MediaAudioDecoder{0x8A1F3C53, 0x4C41, 0x5643, {0x64, 0x65, 0x63, 0x6F, 0x64, 0x00, 0x00, 0x00}};

// "Audio Decoder": any audio libavcodec decodes, below "ACM Wrapper" and the named decoders in
// merit, so it takes what they leave: the codec-typed audio of "Media Splitter". It decodes as
// "ACM Wrapper" does, but keeps the source's resolution: 8, 16 or 24-bit sources give PCM of
// their own width, 32-bit and floating-point ones 32-bit PCM, so that high-resolution audio
// reaches the encoder whole and is reduced only once, to the chosen quality.
class MediaAudioDecoder : public AcmWrapper {
public:
    MediaAudioDecoder();
    static FilterEntry Entry();

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const override;
};

// The PCM width that keeps a decoder's output whole.
int NativePcmBits(const MediaType& input);
// How many of those bits carry the decoder's signal (24 for 32-bit float, a FLAC's own depth).
int NativeContentBits(const MediaType& input);

}  // namespace tessival::media
