#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/devices/TrackRip.h"

namespace tessival {

// The ids that name a disc in the databases of rips and metadata, from its table of contents:
// MusicBrainz's disc id and the freedb/CDDB id (both through libdiscid) and AccurateRip's two
// sums. A data track after the audio (an enhanced CD) is left out as those databases do: the
// audio session then ends 11400 sectors before it.
struct DiscIds {
    std::string musicBrainz;  // empty when the table of contents is unusable
    std::uint32_t freedb = 0;
    std::uint32_t accurateRip1 = 0;
    std::uint32_t accurateRip2 = 0;
    int audioTracks = 0;
    // What a freedb/CDDB query names the disc by besides its id: each track's start and the
    // lead-out in CD frames from the disc's start (the 2 s lead-in included).
    std::vector<std::int32_t> trackOffsets;
    std::int32_t leadOutOffset = 0;

    static DiscIds Of(const DiscToc& toc);
    // "NNN-XXXXXXXX-XXXXXXXX-XXXXXXXX", as AccurateRip names the disc's entry.
    std::string AccurateRipId() const;
};

}  // namespace tessival
