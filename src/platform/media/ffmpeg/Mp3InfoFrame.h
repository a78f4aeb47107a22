#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace tessival::media {

// The samples an MP3 encoder added in front (its delay) and at the end (padding to a whole frame),
// as the LAME extension of a Xing or Info frame records them; decoders drop both.
struct Mp3EncoderTrim {
    int delay = 0;
    int padding = 0;
};

// The trim recorded in the first frame of an MP3 stream: bytes starts where the audio starts
// (after any ID3v2 tag); a little junk before the frame is passed over. None when the first
// frame is no Info frame with a frame count and a LAME extension.
std::optional<Mp3EncoderTrim> ReadMp3EncoderTrim(std::span<const std::uint8_t> bytes);

}  // namespace tessival::media
