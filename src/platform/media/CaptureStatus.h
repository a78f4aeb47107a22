#pragma once

#include <cstdint>
#include <string>

namespace tessival::media {

// On capture devices: how the last recording went. Valid once the graph has stopped or the
// recording has ended by itself.
class ICaptureStatus {
public:
    virtual ~ICaptureStatus() = default;
    // Audio frames lost because the chain behind the device could not keep up.
    virtual std::int64_t DroppedFrames() const = 0;
    // Audio frames delivered downstream.
    virtual std::int64_t CapturedFrames() const = 0;
    // Why the recording ended before it was stopped (the device went away); empty otherwise.
    virtual std::string EndReason() const = 0;
};

}  // namespace tessival::media
