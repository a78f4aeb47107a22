#include "platform/media/MediaType.h"

#include <algorithm>
#include <cstring>

namespace tessival::media {

MediaType MediaType::Stream(const Guid& subtype) {
    MediaType type;
    type.majorType = MEDIATYPE_Stream;
    type.subtype = subtype;
    return type;
}

MediaType MediaType::Audio(const WAVEFORMATEX& format, std::span<const std::uint8_t> extra) {
    MediaType type;
    type.majorType = MEDIATYPE_Audio;
    type.subtype = WaveFormatSubtype(format.wFormatTag);
    type.formatType = FORMAT_WaveFormatEx;
    WAVEFORMATEX header = format;
    header.cbSize = static_cast<std::uint16_t>(extra.size());
    type.format.resize(sizeof header + extra.size());
    std::memcpy(type.format.data(), &header, sizeof header);
    std::copy(extra.begin(), extra.end(), type.format.begin() + sizeof header);
    return type;
}

const WAVEFORMATEX* MediaType::WaveFormat() const {
    if (formatType != FORMAT_WaveFormatEx || format.size() < sizeof(WAVEFORMATEX)) return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(format.data());
}

std::span<const std::uint8_t> MediaType::ExtraBytes() const {
    const WAVEFORMATEX* wave = WaveFormat();
    if (!wave) return {};
    const std::size_t available = format.size() - sizeof(WAVEFORMATEX);
    return {format.data() + sizeof(WAVEFORMATEX), std::min<std::size_t>(wave->cbSize, available)};
}

int MediaType::ContentBits() const {
    const WAVEFORMATEX* wave = WaveFormat();
    if (!wave) return 0;
    const int width = wave->wBitsPerSample;
    if (contentBits > 0 && contentBits < width) return contentBits;
    const auto extra = ExtraBytes();
    if (wave->wFormatTag == WAVE_FORMAT_EXTENSIBLE && extra.size() >= 2) {
        const int valid = extra[0] | extra[1] << 8;
        if (valid > 0 && valid < width) return valid;
    }
    return width;
}

bool MediaType::Matches(const MediaType& pattern) const {
    if (!pattern.majorType.IsNull() && pattern.majorType != majorType) return false;
    return pattern.subtype.IsNull() || pattern.subtype == subtype;
}

bool MediaType::operator==(const MediaType& other) const {
    return majorType == other.majorType && subtype == other.subtype && formatType == other.formatType &&
           format == other.format;
}

MediaType MediaTypePattern(const Guid& majorType, const Guid& subtype) {
    MediaType type;
    type.majorType = majorType;
    type.subtype = subtype;
    return type;
}

}  // namespace tessival::media
