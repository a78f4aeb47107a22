#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/MediaType.h"

namespace tessival::media {

// The chunks before the audio data of a WAVE file written by "WAV Dest":
//   RIFF/RF64, JUNK or ds64 (28 bytes, so the header keeps its size when it becomes RF64),
//   fmt (the WAVEFORMATEX with its extra bytes, padded to even), fact (compressed formats),
//   LIST/INFO (the source's tags, when it has any), data.
// Past 4 GiB the file is RF64 with the real sizes in ds64, as FFmpeg's rf64=auto writes.
class WaveHeader {
public:
    explicit WaveHeader(const MediaType& format);

    std::size_t Size() const;
    // The header for that much data; dataBytes excludes the pad byte after odd data.
    std::vector<std::uint8_t> Build(std::uint64_t dataBytes, std::uint64_t sampleFrames) const;
    bool HasFact() const { return hasFact_; }
    // A chunk (a LIST/INFO of tags) that goes before data; set before the first Build.
    void SetInfo(std::vector<std::uint8_t> chunk) { info_ = std::move(chunk); }

private:
    std::vector<std::uint8_t> fmt_;  // the fmt chunk body, unpadded
    bool hasFact_;
    std::vector<std::uint8_t> info_;
};

}  // namespace tessival::media
