#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/devices/CdDisc.h"

namespace tessival {

// What reading a track cost: cd-paranoia's reads, repairs and skipped sectors (zero for images,
// which are read directly).
struct CdReadStats {
    std::int64_t reads = 0;
    std::int64_t fixups = 0;
    std::int64_t skips = 0;
};

// A disc's table of contents as the rip log and the disc ids need it.
struct DiscToc {
    std::string source;  // the device node or image file
    std::vector<DiscTrack> tracks;
    std::int32_t leadOut = 0;
};

// What reading one track produced, for the rip log: where it lies on the disc, its checksums and
// what the reading cost. The test CRC is there when the track was read twice (test and copy).
struct TrackRip {
    int number = 0;
    std::int32_t firstSector = 0;
    std::int32_t sectors = 0;
    int readOffset = 0;
    std::optional<std::uint32_t> testCrc;
    std::uint32_t copyCrc = 0;
    std::uint32_t accurateRipV1 = 0;
    std::uint32_t accurateRipV2 = 0;
    CdReadStats stats;
    DiscToc disc;
};

}  // namespace tessival
