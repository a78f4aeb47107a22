#pragma once

#include <string>

#include "platform/media/ffmpeg/AvPtr.h"

namespace tessival::media {

// Opens a regular file with libavformat for a look at its headers; null when it is not a
// regular file (a FIFO or a device would block the open or never end) or no format opens it.
// A WAVE, FLAC or Ogg file, known by its first bytes, skips probing every format FFmpeg has: a
// tenth of a millisecond a file, which a run of many short items pays several times an item.
AvInputFormatPtr OpenMediaFile(const std::string& path);

}  // namespace tessival::media
