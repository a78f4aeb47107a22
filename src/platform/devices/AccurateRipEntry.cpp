#include "platform/devices/AccurateRipEntry.h"

#include <algorithm>
#include <cstdio>

namespace tessival {
namespace {

class LittleEndianReader {
public:
    explicit LittleEndianReader(const std::string& bytes) : bytes_(bytes) {}
    bool AtEnd() const { return at_ >= bytes_.size(); }
    bool Byte(std::uint32_t& value) { return Take(1, value); }
    bool Word(std::uint32_t& value) { return Take(4, value); }

private:
    bool Take(std::size_t size, std::uint32_t& value) {
        if (at_ + size > bytes_.size()) return false;
        value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
        at_ += size;
        return true;
    }

    const std::string& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

std::optional<AccurateRipEntry> AccurateRipEntry::Parse(const std::string& bytes, const DiscIds& ids) {
    AccurateRipEntry entry;
    LittleEndianReader reader(bytes);
    while (!reader.AtEnd()) {
        std::uint32_t count = 0, id1 = 0, id2 = 0, freedb = 0;
        if (!reader.Byte(count) || !reader.Word(id1) || !reader.Word(id2) || !reader.Word(freedb)) return std::nullopt;
        std::vector<Track> tracks(count);
        for (Track& track : tracks) {
            std::uint32_t confidence = 0, offsetChecksum = 0;
            if (!reader.Byte(confidence) || !reader.Word(track.checksum) || !reader.Word(offsetChecksum))
                return std::nullopt;
            track.confidence = static_cast<int>(confidence);
        }
        if (id1 == ids.accurateRip1 && id2 == ids.accurateRip2 && freedb == ids.freedb)
            entry.pressings_.push_back(std::move(tracks));
    }
    if (entry.pressings_.empty()) return std::nullopt;
    return entry;
}

std::string AccurateRipEntry::Url(const std::string& base, const DiscIds& ids) {
    char path[96];
    std::snprintf(path, sizeof path, "/accuraterip/%x/%x/%x/dBAR-%s.bin", ids.accurateRip1 & 0xF,
                  (ids.accurateRip1 >> 4) & 0xF, (ids.accurateRip1 >> 8) & 0xF, ids.AccurateRipId().c_str());
    return base + path;
}

int AccurateRipEntry::Confidence(int audioTrack, std::uint32_t v1, std::uint32_t v2) const {
    int best = 0;
    for (const auto& pressing : pressings_) {
        if (audioTrack < 1 || audioTrack > static_cast<int>(pressing.size())) continue;
        const Track& track = pressing[static_cast<std::size_t>(audioTrack - 1)];
        if (track.checksum == v1 || track.checksum == v2) best = std::max(best, track.confidence);
    }
    return best;
}

}  // namespace tessival
