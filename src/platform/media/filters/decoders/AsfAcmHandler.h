#pragma once

#include "platform/media/FilterRegistry.h"
#include "platform/media/TransformFilter.h"

namespace tessival::media {

// "ASF ACM Handler": hands a compressed Windows Media Audio stream of an ASF source on as the
// wave-format audio type it is, for the decoder or "ACM Wrapper" behind it. Samples pass
// untouched.
class AsfAcmHandler : public TransformFilter {
public:
    AsfAcmHandler();
    static FilterEntry Entry();

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const override;
    HRESULT Transform(MediaSample& sample) override;
};

// Windows Media Audio v1, v2, Pro and Lossless.
bool IsWindowsMediaAudio(std::uint16_t formatTag);

}  // namespace tessival::media
