#pragma once

#include <optional>

#include "platform/devices/DiscProblem.h"
#include "platform/devices/TrackRip.h"
#include "platform/media/HResult.h"

namespace tessival::media {

// A CD track source ends its graph with STG_E_READFAULT, a read fault of the medium.
// On sources that read audio CD tracks: why the last Load failed, or where reading stopped.
class IDiscTrackStatus {
public:
    virtual ~IDiscTrackStatus() = default;
    virtual DiscProblem Problem() const = 0;
    // What reading the track produced, once it was read to its end; empty before.
    virtual std::optional<TrackRip> Rip() const = 0;
};

}  // namespace tessival::media
