#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/devices/DiscIds.h"

namespace tessival {

// A disc's entry in the AccurateRip database, from its dBAR file: for each pressing the database
// knows, a checksum and a confidence (how many rips agreed) per audio track. The file is a series
// of little-endian chunks: a track count (1 byte), the disc's two AccurateRip ids and its freedb id
// (4 bytes each), then per track its confidence (1 byte), its checksum and its offset-detection
// checksum (4 bytes each).
class AccurateRipEntry {
public:
    // The pressings of the file whose ids are the disc's; empty when the file holds none or is
    // malformed.
    static std::optional<AccurateRipEntry> Parse(const std::string& bytes, const DiscIds& ids);
    // Where the database keeps the disc's file, under the service's base URL.
    static std::string Url(const std::string& base, const DiscIds& ids);

    // The highest confidence of a pressing whose checksum for that audio track (1-based among the
    // audio tracks) is the v1 or the v2 checksum given; 0 when none has it.
    int Confidence(int audioTrack, std::uint32_t v1, std::uint32_t v2) const;
    std::size_t Pressings() const { return pressings_.size(); }

private:
    struct Track {
        int confidence = 0;
        std::uint32_t checksum = 0;
    };
    std::vector<std::vector<Track>> pressings_;
};

}  // namespace tessival
