#pragma once

#include <cstdint>
#include <vector>

namespace tessival::media {

// The SEEKTABLE of a FLAC file, made from the frames as they are muxed. The muxer reserves a
// PADDING block as the last metadata block; the table is written over its front at the end, so
// the file's size and its audio offsets do not change.
class FlacSeekTable {
public:
    explicit FlacSeekTable(int sampleRate) : sampleRate_(sampleRate) {}

    // A frame starting at `sample`, `offset` bytes after the first frame's header.
    void Note(std::int64_t sample, std::int64_t offset, std::uint32_t frames);
    // SEEKTABLE then the PADDING left over, `space` bytes in all (the padding block with its
    // header); the points are spread over the stream, about one per ten seconds, as many as fit.
    // Empty when not even one point fits.
    std::vector<std::uint8_t> Blocks(std::size_t space) const;

private:
    struct Point {
        std::int64_t sample;
        std::int64_t offset;
        std::uint32_t frames;
    };
    int sampleRate_;
    std::vector<Point> points_;  // at most one per second
};

}  // namespace tessival::media
