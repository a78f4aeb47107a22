#pragma once

#include <cstddef>
#include <cstdint>

namespace tessival {

// The checksums a ripper reports for one track, computed over its samples in order as they are
// read: the CRC-32 of the bytes (zlib's) and the AccurateRip v1 and v2 checksums, which leave out
// the first five sectors but one sample of the disc's first track and the last five sectors of
// its last track.
class RipChecksums {
public:
    RipChecksums(std::int64_t trackFrames, bool firstTrack, bool lastTrack);

    // Little-endian 16-bit stereo frames that follow what was added before.
    void Add(const std::uint8_t* bytes, std::size_t size);

    std::uint32_t Crc32() const { return crc_; }
    std::uint32_t AccurateRipV1() const { return v1_; }
    std::uint32_t AccurateRipV2() const { return v2_; }

private:
    std::int64_t firstCounted_;
    std::int64_t lastCounted_;
    std::int64_t position_ = 0;  // 1-based index of the next frame, less one
    std::uint32_t crc_ = 0;
    std::uint32_t v1_ = 0;
    std::uint32_t v2_ = 0;
};

}  // namespace tessival
