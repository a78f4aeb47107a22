#pragma once

#include <optional>

#include "platform/io/TrackPath.h"
#include "platform/media/MediaType.h"

namespace tessival::media {

// The byte stream of one track of a one-file album: the whole file, with the track's range in
// the format block, for the one splitter that can cut it ("Media Splitter"). The graph builder
// gives it to the file source when it adds an album track.
inline constexpr Guid MEDIASUBTYPE_AlbumTrack{0x6B617254, 0x4C41, 0x5643, {0x74, 0x72, 0x61, 0x63, 0x6B, 0x00, 0x00, 0x00}};
inline constexpr Guid FORMAT_TrackRange{0x676E6152, 0x4C41, 0x5643, {0x72, 0x61, 0x6E, 0x67, 0x65, 0x00, 0x00, 0x00}};

MediaType TrackStreamType(const TrackRange& range);
// The range of a track stream; nullopt for any other type.
std::optional<TrackRange> TrackRangeOf(const MediaType& type);

}  // namespace tessival::media
