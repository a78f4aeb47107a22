#pragma once

#include "platform/devices/DiscProblem.h"
#include "platform/media/HResult.h"

namespace tessival::media {

// A read fault of the medium: the error a CD track source ends its graph with.
inline constexpr HRESULT STG_E_READFAULT = MakeHResult(0x8003001E);

// On sources that read audio CD tracks: why the last Load failed, or where reading stopped.
class IDiscTrackStatus {
public:
    virtual ~IDiscTrackStatus() = default;
    virtual DiscProblem Problem() const = 0;
};

}  // namespace tessival::media
