#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/media/MediaTags.h"

namespace tessival::media {

// The "NAME=value" comments that carry tags in FLAC, Ogg Vorbis and Opus files: one comment per
// value, so several artists stay several ARTIST comments.
std::vector<std::string> VorbisCommentsFor(const MediaTags& tags);

// Adds the fields of a comment list (vendor length, vendor, count, then length and "NAME=value"
// each, little-endian) to tags under their MediaTags keys; false when the list is cut short.
bool ParseVorbisComments(std::string_view list, MediaTags& tags);

// The comment list of a FLAC file or of the first stream of an Ogg file (Vorbis or Opus), read
// straight from the file: libavformat joins repeated names into one value. None when the file is
// neither or holds no list.
std::optional<std::string> ReadVorbisCommentList(const std::string& path);

}  // namespace tessival::media
