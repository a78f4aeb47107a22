#pragma once

#include <optional>
#include <string>

#include "platform/media/MediaTags.h"

namespace tessival {

// The Vorbis comments of a FLAC file under the media layer's keys (see TagMapping.h), read
// straight from its metadata blocks: adding a library names ten thousand files, and a FLAC file
// needs no format probing.
// None when the file does not begin as a FLAC stream; the caller then asks the media layer.
std::optional<media::MediaTags> ReadFlacComments(const std::string& path);

}  // namespace tessival
