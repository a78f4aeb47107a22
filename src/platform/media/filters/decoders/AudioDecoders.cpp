#include "platform/media/filters/decoders/AudioDecoders.h"

#include <algorithm>

namespace tessival::media {

AudioDecoder::AudioDecoder(const Guid& clsid, std::vector<std::uint16_t> formatTags)
    : AcmWrapper(clsid), formatTags_(std::move(formatTags)) {}

HRESULT AudioDecoder::CheckInput(const MediaType& type) const {
    const WAVEFORMATEX* wave = type.WaveFormat();
    if (!wave || std::find(formatTags_.begin(), formatTags_.end(), wave->wFormatTag) == formatTags_.end())
        return VFW_E_TYPE_NOT_ACCEPTED;
    return AcmWrapper::CheckInput(type);
}

FilterEntry AudioDecoder::EntryFor(const char* name, const Guid& clsid, std::uint32_t merit,
                                   std::vector<std::uint16_t> formatTags) {
    FilterEntry entry;
    entry.category = CLSID_LegacyAmFilterCategory;
    entry.clsid = clsid;
    entry.friendlyName = name;
    entry.merit = merit;
    for (std::uint16_t tag : formatTags) entry.inputTypes.push_back(MediaTypePattern(MEDIATYPE_Audio, WaveFormatSubtype(tag)));
    entry.factory = [clsid, formatTags] { return std::make_shared<AudioDecoder>(clsid, formatTags); };
    return entry;
}

FilterEntry AudioDecoder::MpegAudioEntry() {
    static constexpr Guid clsid{0x4A2286E0, 0x7BEF, 0x11CE, {0x9B, 0xD9, 0x00, 0x00, 0xE2, 0x02, 0x59, 0x9C}};
    return EntryFor("MPEG Audio Decoder", clsid, MERIT_NORMAL + 0x80, {WAVE_FORMAT_MPEG, WAVE_FORMAT_MPEGLAYER3});
}

FilterEntry AudioDecoder::MpegLayer3Entry() {
    static constexpr Guid clsid{0x38BE3000, 0xDBF4, 0x11D0, {0x86, 0x0E, 0x00, 0xA0, 0x24, 0xCF, 0xEF, 0x6D}};
    return EntryFor("MPEG Layer-3 Decoder", clsid, MERIT_NORMAL + 0x100, {WAVE_FORMAT_MPEGLAYER3});
}

FilterEntry AudioDecoder::WindowsMediaAudioEntry() {
    static constexpr Guid clsid{0x22E24591, 0x49D0, 0x11D2, {0xBB, 0x50, 0x00, 0x60, 0x08, 0x32, 0x00, 0x64}};
    return EntryFor("Windows Media Audio Decoder", clsid, MERIT_NORMAL + 0x80, {0x0160, 0x0161, 0x0162, 0x0163});
}

FilterEntry AudioDecoder::Ac3Entry() {
    static constexpr Guid clsid{0xA753A1EC, 0x973E, 0x4718, {0xAF, 0x8E, 0xA3, 0xF5, 0x54, 0xD4, 0x5C, 0x44}};
    return EntryFor("AC3Filter", clsid, MERIT_NORMAL + 0x80, {WAVE_FORMAT_DOLBY_AC3});
}

}  // namespace tessival::media
