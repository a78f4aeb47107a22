#include "platform/devices/DiscIds.h"

#include <discid/discid.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tessival {
namespace {

constexpr std::int32_t kLeadIn = 150;
constexpr std::int32_t kSessionGap = 11400;

struct DiscIdFree {
    void operator()(DiscId* disc) const { discid_free(disc); }
};

}  // namespace

DiscIds DiscIds::Of(const DiscToc& toc) {
    DiscIds ids;
    std::vector<DiscTrack> tracks = toc.tracks;
    std::int32_t leadOut = toc.leadOut;
    if (tracks.size() > 1 && !tracks.back().audio) {
        // An image that leaves out the gap between the sessions ends its audio at the data track.
        const std::int32_t dataStart = tracks.back().firstSector;
        tracks.pop_back();
        leadOut = dataStart - kSessionGap > tracks.back().firstSector ? dataStart - kSessionGap : dataStart;
    }
    if (tracks.empty() || tracks.size() > 99) return ids;
    std::int32_t offsets[100] = {};
    offsets[0] = leadOut + kLeadIn;
    for (const DiscTrack& track : tracks) {
        if (track.number < 1 || track.number > 99) return ids;
        offsets[track.number] = track.firstSector + kLeadIn;
    }
    std::unique_ptr<DiscId, DiscIdFree> disc(discid_new());
    if (disc && discid_put(disc.get(), tracks.front().number, tracks.back().number, offsets)) {
        ids.musicBrainz = discid_get_id(disc.get());
        ids.freedb = static_cast<std::uint32_t>(std::strtoul(discid_get_freedb_id(disc.get()), nullptr, 16));
        for (const DiscTrack& track : tracks) ids.trackOffsets.push_back(offsets[track.number]);
        ids.leadOutOffset = offsets[0];
    }
    for (const DiscTrack& track : tracks) {
        if (!track.audio) continue;
        ++ids.audioTracks;
        const auto offset = static_cast<std::uint32_t>(track.firstSector);
        ids.accurateRip1 += offset;
        ids.accurateRip2 += std::max<std::uint32_t>(offset, 1) * static_cast<std::uint32_t>(track.number);
    }
    ids.accurateRip1 += static_cast<std::uint32_t>(leadOut);
    ids.accurateRip2 += static_cast<std::uint32_t>(leadOut) * static_cast<std::uint32_t>(tracks.back().number + 1);
    return ids;
}

std::string DiscIds::AccurateRipId() const {
    char text[40];
    std::snprintf(text, sizeof text, "%03d-%08x-%08x-%08x", audioTracks, accurateRip1, accurateRip2, freedb);
    return text;
}

}  // namespace tessival
