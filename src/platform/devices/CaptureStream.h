#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tessival {

// A running recording. Samples arrive on the server's thread and wait in a bounded buffer until
// the reader takes them; what does not fit is dropped and counted, never silently lost.
class CaptureStream {
public:
    enum class ReadResult { Data, Timeout, Ended };

    virtual ~CaptureStream() = default;
    // Waits up to timeout for recorded bytes and moves all that are buffered into `bytes`
    // (whole frames). Ended once the device has gone away and the buffer is empty.
    virtual ReadResult Read(std::vector<std::uint8_t>& bytes, std::chrono::milliseconds timeout) = 0;
    // Bytes dropped because the reader fell behind.
    virtual std::uint64_t DroppedBytes() const = 0;
    // Why the recording ended by itself (empty while it runs or after a normal stop).
    virtual std::string EndReason() const = 0;
};

}  // namespace tessival
