#pragma once

#include <vector>

#include "platform/devices/CdTrackReader.h"
#include "platform/devices/DiscLayout.h"
#include "platform/io/UniqueFd.h"

namespace tessival {

// Reads a track of a cue sheet or toc image straight from the files its layout names: the bytes
// are the disc's, so there is nothing to verify; big-endian files are swapped, silence is zeros,
// and a sector that the files do not hold in full is unreadable at once.
class ImageTrackReader : public CdTrackReader {
public:
    static std::unique_ptr<CdTrackReader> Open(const CdDisc& disc, const DiscTrack& track, CdReadOptions options);

protected:
    bool ReadDiscSector(std::int32_t sector, std::uint8_t* out) override;

private:
    ImageTrackReader(const CdDisc& disc, const DiscTrack& track, CdReadOptions options);
    bool ReadStretch(const DiscLayout::Segment& segment, std::int64_t from, std::int64_t length, std::uint8_t* out);

    const DiscLayout& layout_;
    std::vector<UniqueFd> files_;
    std::size_t segment_ = 0;  // where the last sector was found
};

}  // namespace tessival
