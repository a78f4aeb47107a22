#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/devices/CaptureSourceInfo.h"
#include "platform/devices/CaptureStream.h"

namespace tessival {

// The audio capture devices of the machine and their input lines. The program uses the
// PulseAudio implementation; tests without hardware substitute devices with ports.
// Every operation may be called from any thread and returns within a few seconds, also when no
// sound server answers.
class CaptureSources {
public:
    virtual ~CaptureSources() = default;
    // The sources in a stable order (the order the server created them); empty without a server.
    virtual std::vector<CaptureSourceInfo> ListSources() = 0;
    // Makes `port` the active input line of the source; false when the server refuses.
    virtual bool SetActivePort(const std::string& source, const std::string& port) = 0;
    // Starts recording from the source in that format, buffering at most bufferBytes.
    // Null when the source cannot be opened.
    virtual std::unique_ptr<CaptureStream> OpenStream(const std::string& source, const CaptureFormat& format,
                                                      std::size_t bufferBytes) = 0;
};

// The machine's sources, through the user's PulseAudio (or PipeWire) server.
std::shared_ptr<CaptureSources> SystemCaptureSources();

}  // namespace tessival
