#pragma once

#include <optional>
#include <string>

namespace tessival::media {

// Quick looks at a media file that read its headers only. Paths that are not regular files are
// never opened (a FIFO or a device would block).

// True when some container format recognises the file and finds audio in it (text files and
// pictures that a format happens to open do not count).
bool HasAudioStream(const std::string& path);

// True when some container format recognises the file's first bytes as its own, whatever the
// file is named: a damaged media file is recognised, random bytes or a text are not.
bool IsRecognisedMedia(const std::string& path);

// The name of the audio codec a file holds when this computer has no decoder for it ("wav
// format 0x1234" for a code that names no codec); empty when it decodes or has no audio.
std::string UndecodableAudioCodec(const std::string& path);
// The playing time in seconds as the container tells it, or nothing when it is unknown.
std::optional<double> ProbeMediaDuration(const std::string& path);

}  // namespace tessival::media
