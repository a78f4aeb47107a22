#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessival {

// One input line of a capture source (a PulseAudio source port).
struct CapturePort {
    std::string name;         // the server's port name, used to switch to it
    std::string description;  // what the user sees
};

// The samples a capture stream delivers, interleaved, little-endian.
struct CaptureFormat {
    std::uint32_t sampleRate = 44100;
    std::uint16_t channels = 2;
    std::uint16_t bitsPerSample = 16;
    bool isFloat = false;  // 32-bit IEEE float samples

    std::uint32_t BytesPerFrame() const { return static_cast<std::uint32_t>(channels) * (bitsPerSample / 8); }
    bool operator==(const CaptureFormat&) const = default;
};

// One audio capture device: a PulseAudio source, monitor sources of outputs included.
struct CaptureSourceInfo {
    std::uint32_t serverIndex = 0;
    std::string name;         // the server's source name, used to open it
    std::string description;  // what the user sees
    bool isMonitor = false;
    CaptureFormat nativeFormat;
    std::vector<CapturePort> ports;
    std::string activePort;  // empty for a source without ports
};

}  // namespace tessival
