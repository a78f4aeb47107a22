#include "platform/media/filters/decoders/AsfAcmHandler.h"

namespace tessival::media {
namespace {

constexpr Guid kAsfAcmHandlerClass{0x6F5B5F10, 0xD3A1, 0x11D2, {0xA5, 0x0C, 0x00, 0x60, 0x97, 0x6A, 0x2A, 0x1F}};

}  // namespace

bool IsWindowsMediaAudio(std::uint16_t formatTag) { return formatTag >= 0x0160 && formatTag <= 0x0163; }

AsfAcmHandler::AsfAcmHandler() : TransformFilter(kAsfAcmHandlerClass, "In", "Out") {}

HRESULT AsfAcmHandler::CheckInput(const MediaType& type) const {
    const WAVEFORMATEX* wave = type.WaveFormat();
    return type.majorType == MEDIATYPE_Audio && wave && IsWindowsMediaAudio(wave->wFormatTag) ? S_OK
                                                                                               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT AsfAcmHandler::OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const {
    types.push_back(input);
    return S_OK;
}

HRESULT AsfAcmHandler::Transform(MediaSample& sample) { return Deliver(sample); }

FilterEntry AsfAcmHandler::Entry() {
    FilterEntry entry;
    entry.category = CLSID_LegacyAmFilterCategory;
    entry.clsid = kAsfAcmHandlerClass;
    entry.friendlyName = "ASF ACM Handler";
    // Only taken by name: automatic connection goes to the decoder directly.
    entry.merit = MERIT_DO_NOT_USE;
    for (std::uint16_t tag = 0x0160; tag <= 0x0163; ++tag)
        entry.inputTypes.push_back(MediaTypePattern(MEDIATYPE_Audio, WaveFormatSubtype(tag)));
    entry.factory = [] { return std::make_shared<AsfAcmHandler>(); };
    return entry;
}

}  // namespace tessival::media
