#include "platform/devices/RipChecksums.h"

#include <zlib.h>

#include <algorithm>

namespace tessival {
namespace {

constexpr std::int64_t kSkippedFrames = 5 * 588;

}  // namespace

RipChecksums::RipChecksums(std::int64_t trackFrames, bool firstTrack, bool lastTrack)
    : firstCounted_(firstTrack ? kSkippedFrames : 1),
      lastCounted_(lastTrack ? trackFrames - kSkippedFrames : trackFrames) {
    crc_ = static_cast<std::uint32_t>(crc32(0L, Z_NULL, 0));
}

void RipChecksums::Add(const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        // zlib takes an unsigned int length.
        const auto chunk = static_cast<uInt>(std::min<std::size_t>(size - done, 1u << 30));
        crc_ = static_cast<std::uint32_t>(crc32(crc_, bytes + done, chunk));
        done += chunk;
    }
    const std::size_t frames = size / 4;
    const std::int64_t from = std::max<std::int64_t>(position_ + 1, firstCounted_);
    const std::int64_t to = std::min<std::int64_t>(position_ + static_cast<std::int64_t>(frames), lastCounted_);
    std::uint32_t v1 = v1_, v2 = v2_;
    for (std::int64_t index = from; index <= to; ++index) {
        const std::uint8_t* frame = bytes + (index - position_ - 1) * 4;
        const std::uint32_t value = static_cast<std::uint32_t>(frame[0]) | static_cast<std::uint32_t>(frame[1]) << 8 |
                                    static_cast<std::uint32_t>(frame[2]) << 16 |
                                    static_cast<std::uint32_t>(frame[3]) << 24;
        const std::uint64_t product = static_cast<std::uint64_t>(value) * static_cast<std::uint32_t>(index);
        v1 += static_cast<std::uint32_t>(product);
        v2 += static_cast<std::uint32_t>(product) + static_cast<std::uint32_t>(product >> 32);
    }
    v1_ = v1;
    v2_ = v2;
    position_ += static_cast<std::int64_t>(frames);
}

}  // namespace tessival
