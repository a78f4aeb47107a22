#pragma once

#include <cstdint>

namespace tessival::media {

// Decoders that skip what they cannot decode and go on: how much they skipped in the current
// (or last) stream, for the run to report. Read once the graph has stopped streaming.
class IDamagedDataCount {
public:
    virtual ~IDamagedDataCount() = default;
    virtual std::int64_t SkippedPackets() const = 0;
};

}  // namespace tessival::media
