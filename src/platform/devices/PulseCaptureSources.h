#pragma once

#include <chrono>

#include "platform/devices/CaptureSources.h"

namespace tessival {

// The sources of the user's PulseAudio (or PipeWire) server. Each call makes its own short
// connection, so a server that starts or stops while the program runs is followed; no server
// simply means no sources.
class PulseCaptureSources : public CaptureSources {
public:
    explicit PulseCaptureSources(std::chrono::milliseconds timeout = std::chrono::seconds(3));

    std::vector<CaptureSourceInfo> ListSources() override;
    bool SetActivePort(const std::string& source, const std::string& port) override;
    std::unique_ptr<CaptureStream> OpenStream(const std::string& source, const CaptureFormat& format,
                                              std::size_t bufferBytes) override;

private:
    std::chrono::milliseconds timeout_;
};

}  // namespace tessival
