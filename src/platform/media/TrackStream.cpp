#include "platform/media/TrackStream.h"

#include <cstring>

namespace tessival::media {

MediaType TrackStreamType(const TrackRange& range) {
    MediaType type = MediaType::Stream(MEDIASUBTYPE_AlbumTrack);
    type.formatType = FORMAT_TrackRange;
    type.format.resize(sizeof range);
    std::memcpy(type.format.data(), &range, sizeof range);
    return type;
}

std::optional<TrackRange> TrackRangeOf(const MediaType& type) {
    if (type.subtype != MEDIASUBTYPE_AlbumTrack || type.formatType != FORMAT_TrackRange ||
        type.format.size() != sizeof(TrackRange))
        return std::nullopt;
    TrackRange range;
    std::memcpy(&range, type.format.data(), sizeof range);
    return range;
}

}  // namespace tessival::media
