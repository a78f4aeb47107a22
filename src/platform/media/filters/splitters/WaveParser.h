#pragma once

#include <cstdint>
#include <vector>

#include "platform/media/FilterRegistry.h"
#include "platform/media/SplitterFilter.h"

namespace tessival::media {

// Where the audio of a RIFF WAVE (or RF64) file lies and what it is.
struct WaveLayout {
    WAVEFORMATEX format;
    std::vector<std::uint8_t> extra;
    std::int64_t dataOffset = 0;
    std::int64_t dataSize = 0;  // clamped to what the file really holds
    bool bigEndian = false;     // RIFX: header fields and samples most significant byte first
};

// Reads the chunk structure; VFW_E_INVALID_FILE_FORMAT for anything that is not a usable WAVE
// file (truncated header, no fmt or data chunk, impossible format values).
HRESULT ParseWaveLayout(IAsyncReader& reader, WaveLayout& layout);

// "Wave Parser": RIFF WAVE files to their audio format (PCM, ADPCM, MP3-in-WAV, ...), one output
// pin "output", whole blocks per sample.
class WaveParser : public SplitterFilter {
public:
    WaveParser();
    static FilterEntry Entry();

protected:
    bool AcceptsStream(const MediaType& type) const override;
    HRESULT OpenStream(IAsyncReader& reader) override;
    void CloseStream() override;
    HRESULT DeliverNext() override;

private:
    WaveLayout layout_;
    OutputPin* output_ = nullptr;
    std::int64_t delivered_ = 0;
    std::int32_t chunkBytes_ = 0;
    MediaSample sample_;
};

}  // namespace tessival::media
