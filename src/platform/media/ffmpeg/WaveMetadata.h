#pragma once

#include <optional>
#include <string>

#include "platform/media/ffmpeg/AvPtr.h"

namespace tessival::media {

// The file metadata libavformat's WAVE demuxer gives a RIFF WAVE file (its LIST INFO and bext
// chunks, under the same keys, in the same order), read from the chunks alone: opening the file as
// media also reads and scans 64 KiB of its audio, a third of a one-second item's time. None when
// the file is not a plain RIFF WAVE file or holds what only libavformat should judge: an ID3 or
// SMV chunk, a chunk longer than the file, an INFO list whose entries do not add up.
std::optional<AvDictionaryPtr> ReadWaveMetadata(const std::string& path);

}  // namespace tessival::media
