#include "platform/media/filters/sinks/FlacSeekTable.h"

#include <algorithm>

namespace tessival::media {
namespace {

constexpr std::size_t kBlockHeader = 4;
constexpr std::size_t kPointBytes = 18;
constexpr int kSecondsPerPoint = 10;
constexpr std::uint8_t kSeekTableType = 3;
constexpr std::uint8_t kPaddingType = 1;
constexpr std::uint8_t kLastBlock = 0x80;

void PutBe(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutHeader(std::vector<std::uint8_t>& out, std::uint8_t type, std::size_t length) {
    out.push_back(type);
    PutBe(out, length, 3);
}

}  // namespace

void FlacSeekTable::Note(std::int64_t sample, std::int64_t offset, std::uint32_t frames) {
    if (sample < 0 || frames == 0) return;
    if (!points_.empty() && sample < points_.back().sample + sampleRate_) return;
    points_.push_back({sample, offset, frames});
}

std::vector<std::uint8_t> FlacSeekTable::Blocks(std::size_t space) const {
    if (space < 2 * kBlockHeader + kPointBytes || points_.empty()) return {};
    const std::size_t fit = (space - 2 * kBlockHeader) / kPointBytes;
    // Every tenth second, thinned further when a long stream has more points than fit.
    std::vector<Point> chosen;
    for (std::size_t i = 0; i < points_.size(); i += kSecondsPerPoint) chosen.push_back(points_[i]);
    if (chosen.size() > fit) {
        std::vector<Point> thinned;
        for (std::size_t i = 0; i < fit; ++i) thinned.push_back(chosen[i * chosen.size() / fit]);
        chosen = std::move(thinned);
    }
    std::vector<std::uint8_t> out;
    out.reserve(space);
    PutHeader(out, kSeekTableType, chosen.size() * kPointBytes);
    for (const Point& point : chosen) {
        PutBe(out, static_cast<std::uint64_t>(point.sample), 8);
        PutBe(out, static_cast<std::uint64_t>(point.offset), 8);
        PutBe(out, std::min<std::uint32_t>(point.frames, 0xFFFF), 2);
    }
    const std::size_t padding = space - out.size() - kBlockHeader;
    PutHeader(out, kPaddingType | kLastBlock, padding);
    out.resize(space, 0);
    return out;
}

}  // namespace tessival::media
